#!/usr/bin/env bash
# The window manager's close of the sheet (WM_DELETE_WINDOW, as Alt+F4 sends) asks as Exit
# does: Cancel keeps the program running, "E&xit Program" with saving ends it saved. SIGTERM
# ends it without a question, its journal written.
# Usage: close_request.sh PATH-TO-pelmora-po   (E2E_XWINDOW: the close-box helper)
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
QUESTION='^Pelmora PO Form$'

read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "5"
"$E2E_XWINDOW" close "$SHEET" || fail "no close-box helper"
use_window "$QUESTION"
press 137 40                             # "&Cancel"
gone "$QUESTION"
alive
window '^Purchase Order Form Menubar' >/dev/null   # the panel comes back, as after Exit

"$E2E_XWINDOW" close "$SHEET"
use_window "$QUESTION"
xdotool key Return                       # "E&xit Program", the box ticked
wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the program did not end"
wait "$APP_PID" || fail "the program ended with status $?"
check Table00 5

# Ended by the system (SIGTERM, as a log-out without a session manager does) right after a
# keystroke, before the journal's own half second: the journal has it, and the next start
# offers it.
start_program
read -r QX QY <<<"$(cell 20 1)"
click "$QX" "$QY"
xdotool type "8"
sleep 0.1                                # the keystroke handled, the journal not yet written
kill -TERM "$APP_PID"
wait_for 10 bash -c "! kill -0 $APP_PID" || fail "SIGTERM did not end the program"
grep -qs 'TextValue=8' "$HOME"/.local/share/pelmora-po/recovery/*.journal || fail "the journal lacks the last keystroke"
echo "e2e: 1 passed, 0 failed"
