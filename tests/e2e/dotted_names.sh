#!/usr/bin/env bash
# Orders whose names hold dots keep fonts of their own: "Order.17.pof" has "Order.17.ini",
# "Order.18.pof" has "Order.18.ini", and Load PO reads the loaded order's own font file.
# Usage: dotted_names.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

save_as() {
  panel_button 100                       # "&Save PO As..."
  use_window '^Save Purchase Order Form File'
  sleep 0.3
  xdotool key ctrl+a
  xdotool type --delay 30 "$1"
  xdotool key Return
  gone '^Save Purchase Order Form File'
  use_window ' Saved\.\.\.'
  xdotool key Escape                     # No auto-load
  gone ' Saved\.\.\.'
}
save_as "Order.17.pof"
save_as "Order.18.pof"
check_file "$WORK/Order.17.ini" Label2 FontName Arial
check_file "$WORK/Order.18.ini" Label2 FontName Arial
[ -e "$WORK/Order.ini" ] && fail "the two orders share Order.ini"

# Order 17's own fonts, given it by hand, come back with it.
printf '%s\r\n' '[Label2]' 'FontName=DejaVu Serif' 'FontSize=12' 'FontColor=0' 'FontStyle=1' \
  > "$WORK/Order.17.ini"
panel_button 3                           # "&Load PO..."
use_window '^Save Current File'
xdotool key Escape                       # No
use_window '^Open Purchase Order Form File'
sleep 0.3
xdotool type --delay 30 "Order.17.pof"
xdotool key Return
gone '^Open Purchase Order Form File'
loaded                                   # input during the load is dropped
alive
exit_saving
check_file "$WORK/Order.17.pof" Label2 FontName "DejaVu Serif"
check_file "$WORK/Order.18.ini" Label2 FontName Arial
echo "e2e: 1 passed, 0 failed"
