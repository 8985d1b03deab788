#!/usr/bin/env bash
# Double-click a table cell while its editor is open, close the line-item dialog with Close
# and with Escape, clear a row with Clear Row; the program lives on and the file shows it.
# The dialog opens with "Clear Row" under the pointer on the first two rows: a triple-click,
# or one more click there within a second, clears nothing; a click a second later does.
# Usage: line_item_dialog.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "3"
read -r PX PY <<<"$(cell 640 0)"
type_at "$PX" "$PY" "2"

TITLE='^Modify a Purchase Order Line Item$'
# Double-clicks the cell at X Y and waits for the dialog (titled $3, else $TITLE); X and Y
# are then the dialog's.
open_dialog() {
  dclick "$1" "$2"
  local dialog
  dialog=$(window "${3:-$TITLE}")
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

# Fails unless "Clear Row" of the dialog at X Y lies under the point $1 $2.
under_clear_row() {
  [ "$1" -ge $((X + 3)) ] && [ "$1" -lt $((X + 93)) ] && [ "$2" -ge $((Y + 8)) ] && [ "$2" -lt $((Y + 33)) ] ||
    fail "Clear Row is not under the pointer ($1,$2; dialog at $X,$Y)"
}
read -r QX QY <<<"$(cell 20 0)"
xdotool mousemove "$QX" "$QY" click --repeat 3 --delay 80 1
DIALOG=$(window "$TITLE")
eval "$(xdotool getwindowgeometry --shell "$DIALOG")"
under_clear_row "$QX" "$QY"
sleep 0.5
alive
xdotool windowfocus --sync "$DIALOG" key Escape
gone "$TITLE"
# One more click at the same spot 0.4 s after the double-click, as if the dialog had seemed
# slow. (Should the dialog not show that fast on a loaded machine, the click lands on the
# cell, which clears nothing either.)
xdotool mousemove "$QX" "$QY" click --repeat 2 --delay 80 1 sleep 0.4 click 1
DIALOG=$(window "$TITLE")
eval "$(xdotool getwindowgeometry --shell "$DIALOG")"
under_clear_row "$QX" "$QY"
sleep 0.5
xdotool windowfocus --sync "$DIALOG" key Escape
gone "$TITLE"
sleep 0.5
alive

# Row 2 typed, then cleared by the dialog's Clear Row.
read -r QX QY <<<"$(cell 20 1)"
type_at "$QX" "$QY" "5"
open_dialog "$QX" "$QY"
click $((X + 3 + 45)) $((Y + 8 + 12))   # "Clear Row &2"
xdotool key Escape
gone "$TITLE"
sleep 0.5
alive

# Row 1 once more: its dialog still says "Modify ..." (the clicks above cleared nothing),
# and a click a second after the double-click, without moving, clears it; typed in again.
read -r QX QY <<<"$(cell 20 0)"
open_dialog "$QX" "$QY"
under_clear_row "$QX" "$QY"
sleep 1.2
xdotool click 1
xdotool key Escape
gone "$TITLE"
sleep 0.5
alive
open_dialog "$QX" "$QY" '^Set Font for Line Items Group$'   # the title of an empty row
xdotool key Escape
gone '^Set Font'
sleep 0.5
# The price first: a click on the cell that was current when the dialog closed may find
# its editor closing (see the README's known limits), and the typed digit would be lost.
type_at "$PX" "$PY" "2"
type_at "$QX" "$QY" "3"
sleep 0.3
exit_saving
check Table00 3
check Table60 6.00
check Table01 ""
check Label14 6.00
echo "e2e: 1 passed, 0 failed"
