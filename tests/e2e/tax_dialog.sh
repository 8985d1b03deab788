#!/usr/bin/env bash
# The tax dialog through the panel: 101 and -5 are refused (each message closed with Return),
# a lone "-" is kept as typed (no number), 8.25 is taken; the program lives on and the file
# holds the percentages.
# Usage: tax_dialog.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1" '[Table30]' 'TextValue=Hammer' '[Table31]' 'TextValue=Nails' '[Table32]' 'TextValue=Saw' \
  '[Table33]' 'TextValue=Glue'

panel_button 193   # "&Taxes..."
use_window '^Enter Tax Percentage For Taxable Items$'
form=$(window '^Enter Tax Percentage For Taxable Items$')

# The refusal comes; Return closes it and the dialog goes on.
refused() {
  msg=$(window '^Invalid Tax$')
  xdotool windowfocus --sync "$msg"
  xdotool key Return
  sleep 0.5
  alive
  xdotool windowfocus --sync "$form"
}

type_rate 1 101
refused
type_rate 2 -5
refused
type_rate 3 -
type_rate 4 8.25
alive
xdotool search --onlyvisible --name '^Invalid Tax$' >/dev/null && fail "a refusal for a valid rate"
press 149 248   # OK
gone '^Enter Tax Percentage'
alive
check Tax-On-Table40 ""
check Tax-On-Table41 ""
check Tax-On-Table42 -
check Tax-On-Table43 8.25
echo "e2e: 1 passed, 0 failed"
