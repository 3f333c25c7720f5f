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
work=$2
screenshot=${3:-}

rm -rf "$work"
mkdir -p "$work/in" "$work/out" "$work/cwd"
work=$(cd "$work" && pwd)

case "$program" in
*.exe)   # Windows: paths as Windows names them, CR LF line ends, Wine's folder dialog
    run_program() { unset WINEQT_QPA_PLATFORM; exec wine "$program"; }
    keeps_its_size() { [ "$(wine "$QUORVALE_WINDOWSIZE" | tr -d '\r')" = "550x300 550x300" ]; }
    native() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
    eol='\r\n'
    folder_dialog="Sélectionnez un dossier" ;;
*)
    run_program() { QT_QPA_PLATFORM=xcb exec "$program"; }
    # The size hints tell the window manager that it may not resize the window.
    keeps_its_size() {
        xprop -id "$wid" WM_NORMAL_HINTS | grep -q "minimum size: 550 by 300" &&
            xprop -id "$wid" WM_NORMAL_HINTS | grep -q "maximum size: 550 by 300"
    }
    native() { echo "$1"; }
    eol='\n'
    folder_dialog="Selectionner le Dossier de Sortie" ;;
esac
started=""
cleanup() {
    for pid in $started; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $*" >&2
    for log in "$work/xvfb.log" "$work/program.log"; do
        [ -s "$log" ] && { echo "--- $log"; cat "$log"; } >&2
    done
    exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
within() {
    seconds=$1; shift
    tries=$((seconds * 10))
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

window_named() { xdotool search --onlyvisible --name "^$1\$" | head -n 1 | grep -q .; }
no_window_named() { ! window_named "$1"; }
file_exists() { [ -s "$1" ]; }

# An X server of our own, on the first free display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
started="$!"
within 20 file_exists "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
within 20 xdotool getdisplaygeometry || fail "Xvfb does not answer on $DISPLAY"

cat >"$work/in/app.ts" <<'TS'
<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../mainwindow.cpp" line="12"/>
        <source>Open &amp; close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../mainwindow.cpp" line="14"/>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
</context>
</TS>
TS

(cd "$work/cwd" && run_program) >"$work/program.log" 2>&1 &
app=$!
started="$app $started"

program_runs() { kill -0 "$app" 2>/dev/null; }
within 60 window_named Quorvale || {
    program_runs || fail "the program ended at once"
    fail "no window titled Quorvale"
}
wid=$(xdotool search --onlyvisible --name '^Quorvale$' | head -n 1)
[ "$(xdotool getwindowname "$wid")" = "Quorvale" ] || fail "title"
info=$(xwininfo -id "$wid")
echo "$info" | grep -q "Width: 550" || fail "width: $info"
echo "$info" | grep -q "Height: 300" || fail "height: $info"
keeps_its_size || fail "the window can be resized: $(xprop -id "$wid" WM_NORMAL_HINTS)"
x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')

click() {   # at a point of the window
    xdotool mousemove --sync $((x + $1)) $((y + $2)) click 1
}

# Types into the dialog titled $1 and presses Return, then waits for it to close.
answer_dialog() {
    within 20 window_named "$1" || fail "no dialog '$1'"
    dialog=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)
    xdotool windowfocus "$dialog" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 10 "$2"
    # The first Return may only close the completer's list of names.
    for attempt in 1 2 3; do
        xdotool key Return
        within 3 no_window_named "$1" && return 0
    done
    fail "dialog '$1' stayed open"
}

# Reads the box titled $1, closes it with its button.
close_box() {
    within 60 window_named "$1" || fail "no box '$1'"
    box=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)
    xdotool windowfocus "$box" 2>/dev/null || true
    sleep 0.3
    xdotool key Return
    within 20 no_window_named "$1" || fail "box '$1' stayed open"
}

convert() {   # input file, output name, box text expected on success
    click 480 55                     # "Rechercher"
    answer_dialog "Selectionner le Fichier a Traduire" "$(native "$1")"
    click 480 125                    # "Selectionner"
    answer_dialog "$folder_dialog" "$(native "$work/out")"
    click 175 165                    # the name field
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 10 "$2"
    click 260 265                    # "Convertir"
    close_box "Rapport"
}

# Export.
convert "$work/in/app.ts" app
[ -f "$work/out/app.csv" ] || fail "no table written"
printf "Origine \tTraduction${eol}Open &amp; close\t${eol}Quit\tQuitter${eol}" | cmp -s - "$work/out/app.csv" ||
    fail "table: $(cat -A "$work/out/app.csv")"

# The translator fills the table in and saves it as text.
printf 'Origine \tTraduction\nOpen &amp; close\tOuvrir & fermer\nQuit\tQuitter\n' >"$work/in/table.txt"

# Import.
convert "$work/in/table.txt" back
[ -f "$work/out/back.ts" ] || fail "no TS written"
grep -q '<translation>Ouvrir &amp; fermer</translation>' "$work/out/back.ts" || fail "TS: $(cat "$work/out/back.ts")"

if [ -n "$screenshot" ]; then
    mkdir -p "$(dirname "$screenshot")"
    import -window "$wid" "$screenshot"
fi

click 480 265                        # "Quitter"
within 20 sh -c "! kill -0 $app" || fail "the program did not end"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ -z "$(ls -A "$work/cwd")" ] || fail "files left in the current directory: $(ls -A "$work/cwd")"
echo "real window: export, import and quit passed"
