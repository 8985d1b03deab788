#!/usr/bin/env bash
# Right after the line-item dialog closes, a click on the cell it was opened from, and the
# digit typed then, reach the cell: five rounds, each digit replacing the last.
# Usage: cell_after_dialog.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
read -r QX QY <<<"$(cell 20 1)"
type_at "$QX" "$QY" "1"
for digit in 2 3 4 5 6; do
  dclick "$QX" "$QY"
  xdotool windowfocus --sync "$(window '^Modify a Purchase Order Line Item$')"
  xdotool key Escape
  gone '^Modify a Purchase Order Line Item$'
  xdotool windowfocus --sync "$SHEET"
  type_at "$QX" "$QY" "$digit"
  sleep 0.3
done
alive
exit_saving
check Table01 6
echo "e2e: 1 passed, 0 failed"
