#!/usr/bin/env bash
# Clicks and keys made while Load PO reads a sheet are dropped: no label dialog opens after the
# load, and the loaded sheet is as its file says.
# Usage: input_during_load.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
printf '%s\r\n' '[Label2]' 'TextValue=Other Supplier Co.' > "$WORK/other.pof"

load_po other.pof
# The load takes five seconds: three labels clicked and a key typed meanwhile.
sleep 0.5
for x in 60 610 300; do
  read -r LX LY <<<"$(at "$x" 136)"
  click "$LX" "$LY"
done
xdotool type "z"
sleep 6
alive
xdotool search --onlyvisible --name '^Enter ' >/dev/null && fail "a click made during the load opened a dialog"
check_file "$WORK/other.pof" Label2 TextValue "Other Supplier Co."
echo "e2e: 1 passed, 0 failed"
