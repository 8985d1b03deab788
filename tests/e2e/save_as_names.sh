#!/usr/bin/env bash
# Save PO As proposes the whole PO number ("2026/017" gives "2026-017.pof"), and asks before
# it replaces another order, Return and Escape answering No: No brings the dialog back and the older order stays as it was.
# Usage: save_as_names.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
printf '%s\r\n' '[Label2]' 'TextValue=Older order' > "$WORK/other.pof"
older=$(cat "$WORK/other.pof")

read -r LX LY <<<"$(at 610 136)"         # labelPONumber
click "$LX" "$LY"
use_window '^Enter PO Number'
xdotool key ctrl+a
xdotool type --delay 40 "2026/017"
press 142 62                             # "&Close"
gone '^Enter PO Number'

panel_button 100                         # "&Save PO As..."
use_window '^Save Purchase Order Form File'
sleep 0.3
xdotool key Return                       # the name proposed
gone '^Save Purchase Order Form File'
use_window ' Saved\.\.\.'
xdotool key Escape                       # No auto-load
gone ' Saved\.\.\.'
[ -f "$WORK/2026-017.pof" ] || fail "no 2026-017.pof: $(ls "$WORK")"
check_file "$WORK/2026-017.pof" labelPONumber TextValue "2026/017"

panel_button 100
use_window '^Save Purchase Order Form File'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "other"
xdotool key Return
use_window '^Confirm Save As'
xdotool key Return                       # Return answers No: the older order stays
gone '^Confirm Save As'
use_window '^Save Purchase Order Form File'   # back in the dialog
sleep 0.3
xdotool key Return                       # "other" once more
use_window '^Confirm Save As'
xdotool key Escape                       # so does Escape
gone '^Confirm Save As'
use_window '^Save Purchase Order Form File'
xdotool key Escape
gone '^Save Purchase Order Form File'
alive
[ "$(cat "$WORK/other.pof")" = "$older" ] || fail "the older order was replaced"
echo "e2e: 1 passed, 0 failed"
