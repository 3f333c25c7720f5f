#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program in a real X window (Xvfb), driven as a user would with xdotool,
# on a display at 100 % and at 150 %: the window tests' check that every text
# is whole, run in that display, then one export and one import through the
# real file dialogs, in a translator's folder, and "Quitter". On Linux the
# folder is /home/marie/Traductions, in a mount of the program's own where it
# can have one; a PROGRAM.exe runs under Wine, with Qt's windows platform and
# Wine's dialogs, at 150 % in the Wine prefix $WINEPREFIX_150, and the folder
# is C:\users\Marie\Documents\Traductions.
#
#   realwindow.sh PROGRAM LAYOUT_TEST WORKDIR [SCREENSHOT.png]
#
# The screenshot at 150 % is SCREENSHOT-150.png, and the report of the
# import at 100 % SCREENSHOT-report.png. Every wait is bounded; only the
# processes started here are stopped.
set -eu
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
layout_test=$2
data=$(cd "$(dirname "$0")/data" && pwd)
rm -rf "$3" && mkdir -p "$3"
work=$(cd "$3" && pwd)

case "$program" in
*.exe)   # paths as Windows names them, CR LF line ends, Wine's folder dialog
    scaled_display() { [ "$1" = 1 ] || export WINEPREFIX="$WINEPREFIX_150"; }
    translators_folder() { echo "$WINEPREFIX/drive_c/users/Marie/Documents/Traductions"; }
    run_program() { unset WINEQT_QPA_PLATFORM; exec wine "$@"; }
    native() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
    as_written() { sed 's/$/\r/' "$1"; }
    folder_dialog="Sélectionnez un dossier" ;;
*)
    scaled_display() { dpi=$(echo "$1" | awk '{ print $1 * 96 }'); }
    translators_folder() { echo "$session/home/marie/Traductions"; }
    # The program sees the session's home as /home, where it may mount it.
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root="--map-root-user"
    if unshare --mount $as_root sh -c "mount --bind '$work' /home" 2>/dev/null; then
        in_home() { exec unshare --mount $as_root sh -c 'mount --bind "$0" /home && exec "$@"' "$session/home" "$@"; }
        native() { echo "$1" | sed "s|^$session/home|/home|"; }
    else
        in_home() { exec "$@"; }
        native() { echo "$1"; }
    fi
    run_program() { export QT_QPA_PLATFORM=xcb; in_home "$@"; }
    as_written() { cat "$1"; }
    folder_dialog="Selectionner le Dossier de Sortie" ;;
esac

. "$(dirname "$0")/../tools/xsession.sh"
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log "$work"/*/*.log; do
        [ -s "$log" ] && { echo "--- $log"; cat "$log"; } >&2
    done
    exit 1
}

no_window() { ! window "$1"; }
# Clicks at a point given in the window's coordinates at 100 %.
click() { xdotool mousemove --sync $((x + $1 * width / 550)) $((y + $2 * width / 550)) click 1; }

# Types $2 into the dialog titled $1, if given, and presses Return until it closes.
answer() {
    within 60 window "$1" || fail "no window '$1'"
    xdotool windowfocus "$(window "$1")" 2>/dev/null || true
    sleep 0.3
    [ -z "${2:-}" ] || { xdotool key --clearmodifiers ctrl+a; xdotool type --delay 10 "$2"; }
    # The first Return may only close the completer's list of names.
    for attempt in 1 2 3; do
        xdotool key Return
        within 3 no_window "$1" && return 0
    done
    fail "'$1' stayed open"
}

# Converts the case $1 of tests/data, put in a translator's folder under
# the name $2, into the folder's Quorvale/$3, and compares that with the
# case's output $4: the window, and so its pictures, show what a translator
# sees. The report is taken as a picture into $5, if given.
convert() {
    cp "$data/$1" "$translations/$2"
    click 480 55                     # "Rechercher"
    answer "Selectionner le Fichier a Traduire" "$(native "$translations/$2")"
    click 480 125                    # "Selectionner"
    answer "$folder_dialog" "$(native "$translations/Quorvale")"
    click 175 165                    # the name field
    xdotool key --clearmodifiers ctrl+a type --delay 10 "$(basename "$3" | cut -d. -f1)"
    click 260 265                    # "Convertir"
    [ -z "${5:-}" ] || { within 60 window Rapport && import -window "$(window Rapport)" "$5"; } ||
        fail "no report to take"
    answer Rapport
    as_written "$data/$4" | cmp -s - "$translations/Quorvale/$3" || fail "$3: $(cat -A "$translations/Quorvale/$3")"
}

# The whole test on a display at the scale $1 (1 is 100 %), in an X server of
# its own; $2 is where the screenshot goes.
session() {
    session="$work/$1"
    scaled_display "$1"
    translations=$(translators_folder)
    rm -rf "$translations" && mkdir -p "$translations/Quorvale" "$session/cwd"
    start_xvfb "$session/xvfb" "${dpi:-96}" || fail "Xvfb did not start"

    (cd "$session/cwd" && QUORVALE_DISPLAY_SCALE=$1 WINEQT_FORCE_STDERR_LOGGING=1 run_program "$layout_test" readable) \
        >"$work/layout.log" 2>&1 || fail "at $1: the texts do not fit their widgets"
    (cd "$session/cwd" && run_program "$program") >"$work/program.log" 2>&1 &
    app=$!
    started="$app $started"
    within 60 window Quorvale || fail "no window titled Quorvale"
    wid=$(window Quorvale)
    info=$(xwininfo -id "$wid")
    width=$(echo "$info" | sed -n 's/.*Width: *//p')
    height=$(echo "$info" | sed -n 's/.*Height: *//p')
    x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
    # At least 550 x 300 times the scale, in those proportions, and the
    # window at 100 % times the scale.
    awk -v w="$width" -v h="$height" -v s="$1" -v w1="${width_at_1:-$width}" 'BEGIN {
            exit !(w >= int(550 * s) && h >= int(300 * s) && (w * 300 - h * 550) ^ 2 <= 1100 ^ 2 \
                   && (w - w1 * s) ^ 2 <= 4) }' ||
        fail "at $1: the window is $width x $height"
    width_at_1=${width_at_1:-$width}

    convert export/one-element-per-line.ts app_fr.ts app_fr.csv export/one-element-per-line.csv
    convert import/what-the-translator-typed-is-checked.txt app_fr.txt app_fr.ts \
        import/what-the-translator-typed-is-checked.ts "${3:-}"
    [ -z "$2" ] || { mkdir -p "$(dirname "$2")" && import -window "$wid" "$2"; }

    click 480 265                    # "Quitter"
    within 20 sh -c "! kill -0 $app" || fail "the program did not end"
    status=0
    wait "$app" || status=$?
    [ "$status" -eq 0 ] || fail "exit status $status"
    [ -z "$(ls -A "$session/cwd")" ] || fail "files left in the current directory: $(ls -A "$session/cwd")"
    kill "$xvfb"
    echo "real window at $1: $width x $height, texts whole; export, import and quit passed"
}

session 1 "${4:-}" "${4:+${4%.png}-report.png}"
session 1.5 "${4:+${4%.png}-150.png}"
