#!/usr/bin/env bash
# Load PO with Yes to its save offer: the sheet open until then is saved, the chosen file is
# shown and from then on edited and saved.
# Usage: load_po.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
OTHER="$WORK/other.pof"
printf '%s\r\n' '[Label2]' 'TextValue=Other Supplier Co.' '[Table00]' 'TextValue=7' > "$OTHER"
printf '%s\r\n' '[Label2]' 'FontName=DejaVu Serif' 'FontSize=12' 'FontColor=0' 'FontStyle=1' \
  > "$WORK/other.ini"

read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "4"
panel_button 3                           # "&Load PO..."
use_window '^Save Current File'
xdotool key Return                       # Yes
gone '^Save Current File'
check Table00 4
use_window '^Open Purchase Order Form File'
sleep 0.3
xdotool type --delay 30 "other.pof"
xdotool key Return
gone '^Open Purchase Order Form File'
gone '^Purchase Order Form Menubar'      # the panel hides for the load
loaded                                   # input during the load is dropped
alive

read -r QX QY <<<"$(cell 20 1)"
type_at "$QX" "$QY" "9"
exit_saving
check_file "$OTHER" Label2 TextValue "Other Supplier Co."
check_file "$OTHER" Label2 FontName "DejaVu Serif"
check_file "$OTHER" Table00 TextValue 7
check_file "$OTHER" Table01 TextValue 9
check Table01 ""
echo "e2e: 1 passed, 0 failed"
