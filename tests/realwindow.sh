#!/bin/sh
# The program in a real X window (Xvfb), driven as a user would with xdotool:
# one export and one import through the real file dialogs, then "Quitter".
# A PROGRAM.exe runs under Wine, with Qt's windows platform and Wine's
# dialogs, and the program that $QUORVALE_WINDOWSIZE names asks Windows to
# resize it.
#
#   realwindow.sh PROGRAM WORKDIR [SCREENSHOT.png]
#
# Every wait is bounded; only the processes started here are stopped.
set -eu
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
data=$(cd "$(dirname "$0")/data" && pwd)
rm -rf "$2" && mkdir -p "$2/out" "$2/cwd"
work=$(cd "$2" && pwd)

case "$program" in
*.exe)   # paths as Windows names them, CR LF line ends, Wine's folder dialog
    run_program() { unset WINEQT_QPA_PLATFORM; exec wine "$program"; }
    keeps_its_size() { [ "$(wine "$QUORVALE_WINDOWSIZE" | tr -d '\r')" = "550x300 550x300" ]; }
    native() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
    as_written() { sed 's/$/\r/' "$1"; }
    folder_dialog="Sélectionnez un dossier" ;;
*)
    run_program() { QT_QPA_PLATFORM=xcb exec "$program"; }
    # The size hints tell the window manager that it may not resize the window.
    keeps_its_size() { [ "$(xprop -id "$wid" WM_NORMAL_HINTS | grep -c "m[a-z]* size: 550 by 300")" -eq 2 ]; }
    native() { echo "$1"; }
    as_written() { cat "$1"; }
    folder_dialog="Selectionner le Dossier de Sortie" ;;
esac

started=""
trap 'for pid in $started; do kill "$pid" 2>/dev/null || true; done' EXIT INT TERM
fail() {
    echo "FAIL: $*" >&2
    for log in "$work/xvfb.log" "$work/program.log"; do
        [ -s "$log" ] && { echo "--- $log"; cat "$log"; } >&2
    done
    exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
within() {
    tries=$(($1 * 10)); shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}
window() { xdotool search --onlyvisible --name "^$1\$" | head -n 1 | grep .; }
no_window() { ! window "$1"; }

# An X server of our own, on the first free display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
started="$!"
within 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
within 20 xdotool getdisplaygeometry || fail "Xvfb does not answer on $DISPLAY"

(cd "$work/cwd" && run_program) >"$work/program.log" 2>&1 &
app=$!
started="$app $started"
within 60 window Quorvale || fail "no window titled Quorvale"
wid=$(window Quorvale)
info=$(xwininfo -id "$wid")
echo "$info" | grep -q "Width: 550" && echo "$info" | grep -q "Height: 300" || fail "size: $info"
keeps_its_size || fail "the window can be resized"
x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
click() { xdotool mousemove --sync $((x + $1)) $((y + $2)) click 1; }

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

# Converts the case $1 of tests/data into out/$2 and compares it with the case's output.
convert() {
    click 480 55                     # "Rechercher"
    answer "Selectionner le Fichier a Traduire" "$(native "$data/$1")"
    click 480 125                    # "Selectionner"
    answer "$folder_dialog" "$(native "$work/out")"
    click 175 165                    # the name field
    xdotool key --clearmodifiers ctrl+a type --delay 10 "$(basename "$2" | cut -d. -f1)"
    click 260 265                    # "Convertir"
    answer Rapport
    as_written "$data/$3" | cmp -s - "$work/out/$2" || fail "$2: $(cat -A "$work/out/$2")"
}

convert export/one-element-per-line.ts app.csv export/one-element-per-line.csv
convert import/references-and-markup-stay.txt back.ts import/references-and-markup-stay.ts
[ -z "${3:-}" ] || { mkdir -p "$(dirname "$3")" && import -window "$wid" "$3"; }

click 480 265                        # "Quitter"
within 20 sh -c "! kill -0 $app" || fail "the program did not end"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ -z "$(ls -A "$work/cwd")" ] || fail "files left in the current directory: $(ls -A "$work/cwd")"
echo "real window: export, import and quit passed"
