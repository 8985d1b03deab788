#!/usr/bin/env bash
# Save PO As under a new name with Yes to the auto-load question: the old file is saved first,
# the new one gets the sheet and its companion font file the fonts, the configuration names it.
# Usage: save_as.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "4"
panel_button 100                         # "&Save PO As..."
use_window '^Save Purchase Order Form File'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "Order 17"       # the default extension follows
xdotool key Return
gone '^Save Purchase Order Form File'
use_window ' Saved\.\.\.'
xdotool key Return                       # Yes
gone ' Saved\.\.\.'
alive
check Table00 4                          # saved into the file open until then
NEW="$WORK/Order 17.pof"
[ -f "$NEW" ] || fail "no $NEW"
check_file "$NEW" Label2 TextValue "Acme Tools Ltd."
check_file "$NEW" Table00 TextValue 4
check_file "$WORK/Order 17.ini" Label2 FontName Arial
check_file "$WORK/varnel.ini" Configuration AutoLoad 1
check_file "$WORK/varnel.ini" Configuration "AutoLoad File" "$NEW"

# Later edits go to the new file.
read -r PX PY <<<"$(cell 640 0)"
type_at "$PX" "$PY" "3"
exit_saving
check_file "$NEW" Table60 TextValue 12.00
check Table60 ""
echo "e2e: 1 passed, 0 failed"
