#!/usr/bin/env bash
# Double-click a table cell while its editor is open, close the line-item dialog with Close
# and with Escape, clear a row with Clear Row; the program lives on and the file shows it.
# Usage: line_item_dialog.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r QX QY <<<"$(cell 20 0)"
click "$QX" "$QY"
xdotool type --delay 50 "3"
read -r PX PY <<<"$(cell 640 0)"
click "$PX" "$PY"
xdotool type --delay 50 "2"

TITLE='^Modify a Purchase Order Line Item$'
# Double-clicks the cell at X Y and waits for the dialog; X and Y are then the dialog's.
open_dialog() {
  dclick "$1" "$2"
  local dialog
  dialog=$(window "$TITLE")
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool windowfocus --sync "$dialog"
}

for close in button escape; do
  open_dialog "$PX" "$PY"
  if [ $close = button ]; then click $((X + 184 + 45)) $((Y + 8 + 12)); else xdotool key Escape; fi
  gone "$TITLE"
  sleep 0.5
  alive
done

# Row 2 typed, then cleared by the dialog's Clear Row.
read -r QX QY <<<"$(cell 20 1)"
click "$QX" "$QY"
xdotool type --delay 50 "5"
open_dialog "$QX" "$QY"
click $((X + 3 + 45)) $((Y + 8 + 12))   # "Clear Row &2"
xdotool key Escape
sleep 0.5
alive
exit_saving
check Table00 3
check Table60 6.00
check Table01 ""
check Label14 6.00
echo "e2e: 1 passed, 0 failed"
