#!/usr/bin/env bash
# An order taxed at 8.25 % and priced in pounds keeps its tax and currency when it is saved
# under a new name with Save PO As: the new file holds the rate, the currency, the tax and
# the balance due that the window shows.
# Usage: save_as_taxes.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1" '[Table30]' 'TextValue=Hammer' '[Currency]' 'TextValue=£' '[Country]' 'TextValue=GBP'
iconv -f UTF-8 -t WINDOWS-1252 "$SHEETFILE" > "$SHEETFILE.1252" && mv "$SHEETFILE.1252" "$SHEETFILE"
start_program

read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "4"
read -r PX PY <<<"$(cell 640 0)"
type_at "$PX" "$PY" "25"
panel_button 193                         # "&Taxes..."
use_window '^Enter Tax Percentage For Taxable Items$'
type_rate 1 8.25
press 149 248                            # OK
gone '^Enter Tax Percentage'

panel_button 100                         # "&Save PO As..."
use_window '^Save Purchase Order Form File'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "Order 18"
xdotool key Return
use_window ' Saved\.\.\.'
xdotool key Escape                       # no auto-load
gone ' Saved\.\.\.'
alive
NEW="$WORK/Order 18.pof"
check_file "$NEW" Table60 TextValue 100.00
check_file "$NEW" Tax-On-Table40 TextValue 8.25
check_file "$NEW" Label17 TextValue 8.25
check_file "$NEW" Label19 TextValue 108.25
check_file "$NEW" Country TextValue GBP
[ "$(SHEETFILE="$NEW" stored Currency | iconv -f WINDOWS-1252 -t UTF-8)" = "£" ] || fail "the currency stayed behind"
echo "e2e: 1 passed, 0 failed"
