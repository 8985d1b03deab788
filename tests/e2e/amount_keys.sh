#!/usr/bin/env bash
# With a currency symbol stored, an amount's dialog takes the typed amount into its text box:
# "25" becomes the discounts, the symbol stays "$".
# Usage: amount_keys.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1" '[Currency]' 'TextValue=$' '[Country]' 'TextValue=USD'

read -r DX DY <<<"$(at 747 634)"         # Label15, the discounts amount
click "$DX" "$DY"
use_window '^Enter Value for Discounts'
xdotool key ctrl+a
xdotool type --delay 40 "25"
press 142 62                             # "&Close"
gone '^Enter Value for Discounts'
alive
check Label15 25
check Currency '$'
exit_saving
check Label15 -25.00
echo "e2e: 1 passed, 0 failed"
