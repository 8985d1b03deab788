#!/usr/bin/env bash
# Started on the blank sheet, a typed row and Exit with saving: the program says the blank
# sheet is kept and opens Save PO As; cancelled, it goes on; given a name, it saves there.
# Usage: blank_exit.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
start_on_blank
before=$(cat "$SHEETFILE")

exit_asking() {
  panel_button 479                       # "E&xit"
  use_window '^Pelmora PO Form$'
  xdotool key Return                     # "E&xit Program", the box ticked
  use_message
  xdotool key Return                     # OK to the notice
  use_window '^Save Purchase Order Form File'
}
read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "7"
exit_asking
xdotool key Escape                       # cancelled: the program goes on
gone '^Save Purchase Order Form File'
alive

exit_asking
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "Order 9"
xdotool key Return
use_window ' Saved\.\.\.'
xdotool key Return                       # Yes: the named order opens next time
wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the program did not end"
[ "$(cat "$SHEETFILE")" = "$before" ] || fail "the blank sheet was changed"
check_file "$WORK/Order 9.pof" Table00 TextValue 7
echo "e2e: 1 passed, 0 failed"
