#!/usr/bin/env bash
# The label dialog: a new company name in a font picked with Set Font, then the discounts
# amount with the currency symbol ticked and GBP chosen from the right-click menu.
# Usage: label_dialog.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r LX LY <<<"$(at 60 15)"          # Label2, the company name
click "$LX" "$LY"
use_window '^Enter Company Name'
xdotool key ctrl+a
xdotool type --delay 40 "Pelmora Tools"
press 37 62                              # "Set Font..."
use_window '^Select Font'
xdotool key ctrl+a
xdotool type --delay 40 "DejaVu Serif"
xdotool key Return
gone '^Select Font'
use_window '^Enter Company Name'
press 142 62                             # "&Close"
gone '^Enter Company Name'
alive
check Label2 "Pelmora Tools"
check Label2 "DejaVu Serif" FontName

read -r DX DY <<<"$(at 747 634)"         # Label15, the discounts amount
click "$DX" "$DY"
use_window '^Enter Value for Discounts'
xdotool key ctrl+a
xdotool type --delay 40 "12.5"
press 13 39                              # tick "Use Currency Symbol"
click $((WX + 60)) $((WY + 47)) 3        # the currency menu, on the check box
xdotool key Down Down Down Return        # USD, CAD, GBP
sleep 0.3
check Country GBP                        # stored as soon as it is chosen
press 142 62
gone '^Enter Value for Discounts'
alive
check Label15 12.5
check Currency $'\xa3'                   # the pound sign, in the file's code page

exit_saving
check Label15 -12.50
check Label19 -12.50   # a save stores the balance without its symbol
echo "e2e: 1 passed, 0 failed"
