#!/usr/bin/env bash
# Ctrl+Z in a table cell undoes the typing there, and the amounts follow.
# Usage: cell_undo.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r QX QY <<<"$(cell 20 0)"          # quantity, row 0
read -r PX PY <<<"$(cell 640 0)"         # unit price, row 0
type_at "$QX" "$QY" "3"
type_at "$PX" "$PY" "2.5"
sleep 0.3
xdotool key ctrl+z
sleep 0.3
xdotool type --delay 50 "4"
sleep 0.3
exit_saving
check Table00 3
check Table50 4
check Table60 12.00
check Label14 12.00
echo "e2e: 1 passed, 0 failed"
