#!/usr/bin/env bash
# Started on the blank sheet with a typed row, Load PO (Yes to saving first) and Print say
# that the blank sheet is kept and open Save PO As, as Exit does: cancelled, the command ends
# with the order still in the window; given a name, Load PO saves there and goes on.
# Usage: blank_load_print.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
start_on_blank
before=$(cat "$SHEETFILE")
read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "7"

# Up to the Save dialog that naming the order takes; $1: the panel button, $2: its question.
asks_for_a_name() {
  panel_button "$1"
  if [ -n "${2:-}" ]; then
    use_window "$2"
    xdotool key Return                   # Yes: save first
    gone "$2"
  fi
  use_message
  xdotool key Return                     # OK to the notice
  no_message
  use_window '^Save Purchase Order Form File'
}

asks_for_a_name 3 '^Save Current File'   # "&Load PO..."
xdotool key Escape                       # cancelled: back to the sheet, nothing lost
gone '^Save Purchase Order Form File'
sleep 0.5
xdotool search --onlyvisible --name '^Open Purchase Order Form File' >/dev/null && fail "Load PO went on"
alive

asks_for_a_name 289                      # "&Print"
xdotool key Escape
gone '^Save Purchase Order Form File'
sleep 0.5
xdotool search --onlyvisible --name 'Printout|^Tax' >/dev/null && fail "Print went on"
alive

asks_for_a_name 3 '^Save Current File'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "Order 9"
xdotool key Return
use_window ' Saved\.\.\.'
xdotool key Escape                       # no auto-load
use_window '^Open Purchase Order Form File'
xdotool key Escape
gone '^Open Purchase Order Form File'
alive
[ "$(cat "$SHEETFILE")" = "$before" ] || fail "the blank sheet was changed"
check_file "$WORK/Order 9.pof" Table00 TextValue 7
echo "e2e: 1 passed, 0 failed"
