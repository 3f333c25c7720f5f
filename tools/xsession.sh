# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the scripts that drive a real window share (sourced): an X server of
# their own, bounded waits, and the processes they start, stopped when they
# end.

started=""
trap 'for pid in $started; do kill "$pid" 2>/dev/null || true; done' EXIT INT TERM

# Waits up to $1 seconds for the command that follows to succeed.
within() {
    tries=$(($1 * 10)); shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# The visible window titled $1 exactly.
window() { xdotool search --onlyvisible --name "^$1\$" | head -n 1 | grep .; }

# Starts Xvfb at $2 DPI on the first free display and makes it DISPLAY; its
# log is $1.log. Sets $xvfb to its process.
start_xvfb() {
    Xvfb -displayfd 3 -dpi "$2" -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$1.display" 2>"$1.log" &
    xvfb=$!
    started="$xvfb $started"
    within 20 test -s "$1.display" || return 1
    export DISPLAY=":$(cat "$1.display")"
    within 20 xdotool getdisplaygeometry
}
