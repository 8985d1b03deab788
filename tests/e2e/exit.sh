#!/usr/bin/env bash
# Exit: Cancel brings the panel back where it was; Exit Program with the box unticked ends the
# program without saving; after a restart the panel's close box ends it without asking.
# Usage: exit.sh PATH-TO-pelmora-po   (E2E_XWINDOW: the close-box helper)
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
before=$(cat "$SHEETFILE")
QUESTION='^Pelmora PO Form$'

read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "5"
panel_button 479                         # "E&xit"; X and Y are the panel's corner
PX=$X PY=$Y
use_window "$QUESTION"
press 137 40                             # "&Cancel"
gone "$QUESTION"
panel=$(window '^Purchase Order Form Menubar')
eval "$(xdotool getwindowgeometry --shell "$panel")"
[ "$X,$Y" = "$PX,$PY" ] || fail "the panel came back at $X,$Y, not $PX,$PY"
alive

xdotool windowfocus --sync "$panel"
click $((X + 479 + 46)) $((Y + 2 + 12))  # "E&xit" again
use_window "$QUESTION"
press 18 10                              # untick "Save current file before exiting..."
press 18 40                              # "E&xit Program"
wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the program did not end"
[ "$(cat "$SHEETFILE")" = "$before" ] || fail "the sheet was saved"

start_program
type_at "$QX" "$QY" "6"
click $((SX + 200)) $((SY + 620)) 3
panel=$(window '^Purchase Order Form Menubar')
"$E2E_XWINDOW" close "$panel" || fail "no close-box helper"
wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the close box did not end the program"
wait "$APP_PID" || fail "the program ended with status $?"
[ "$(cat "$SHEETFILE")" = "$before" ] || fail "the close box saved the sheet"
echo "e2e: 1 passed, 0 failed"
