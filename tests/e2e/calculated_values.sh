#!/usr/bin/env bash
# The subtotal refuses editing and offers the footer font (OK opens the font dialog, Cancel
# does nothing); the tax amount runs the tax dialog, then offers the font as well.
# Usage: calculated_values.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1" '[Table00]' 'TextValue=2' '[Table30]' 'TextValue=Hammer' '[Table50]' 'TextValue=10' '[Table60]' 'TextValue=20.00'

read -r TX TY <<<"$(at 747 613)"         # Label14, the subtotal
click "$TX" "$TY"
use_window '^Cannot Edit Subtotal'
xdotool key Escape                       # Cancel
gone '^Cannot Edit Subtotal'
alive
[ -z "$(stored Label14 FontName)" ] || fail "Cancel recorded the footer fonts"
click "$TX" "$TY"
use_window '^Cannot Edit Subtotal'
xdotool key Return                       # OK: the font dialog for the footer values
use_window '^Select Font'
xdotool key Escape
gone '^Select Font'
alive
# A cancelled font dialog still records the group's fonts, each under its own name.
check Label14 "MS Sans Serif" FontName
check Label19 "MS Sans Serif" FontName

read -r AX AY <<<"$(at 747 675)"         # Label17, the tax amount
click "$AX" "$AY"
use_window '^Enter Tax Percentage For Taxable Items'
type_rate 1 8.25
press 149 248                            # OK
gone '^Enter Tax Percentage'
use_window '^Tax Updated'
xdotool key Escape
gone '^Tax Updated'
alive
check Tax-On-Table40 8.25
exit_saving
check Label17 1.65
echo "e2e: 1 passed, 0 failed"
