#!/usr/bin/env bash
# Exit and Help pressed at once: both commands are queued, and the exit question and the About
# window are open together. "E&xit Program" ends the program, although the About window is still
# open.
# Usage: exit_over_about.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

click $((SX + 200)) $((SY + 620)) 3
panel=$(window '^Purchase Order Form Menubar')
eval "$(xdotool getwindowgeometry --shell "$panel")"
xdotool windowfocus --sync "$panel"
# Alt+X for "E&xit", and before its question opens, "&Help": both commands are queued.
xdotool mousemove $((X + 384 + 46)) $((Y + 2 + 12)) key alt+x click 1
window '^About$' >/dev/null
use_window '^Pelmora PO Form$'
xdotool key Return                       # "E&xit Program", the box ticked
wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the program went on after Exit"
wait "$APP_PID" || fail "the program ended with status $?"
echo "e2e: 1 passed, 0 failed"
