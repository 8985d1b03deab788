#!/usr/bin/env bash
# Remakes the README's pictures from a real order: starts the program from a copy in a fresh
# folder under a private Xvfb, types a believable order into it through the window as a person
# would (company, vendor, ship-to, PO fields, six line items, a discount, shipping, 20 % tax on
# everything, a logo), takes the sheet's screenshot, prints through the preview's
# "Save as PDF..." and turns page 1 into a picture. Writes sheet.png and printout.png.
# Usage: scripts/readme-pictures.sh [OUT-DIR]   (default: docs/; PO_PROGRAM: a built program)
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$(mkdir -p "${1:-$PO_ROOT/docs}" && cd "${1:-$PO_ROOT/docs}" && pwd)
if [ -z "${PO_PROGRAM:-}" ]; then
  source "$PO_ROOT/scripts/setup.sh"
  po_install_packages
  po_configure "$PO_ROOT/build"
  po_build "$PO_ROOT/build" --target pelmora-po
  PO_PROGRAM=$PO_ROOT/build/pelmora-po
fi
# The real-window tests' helpers: a fresh folder, a private X server, clicks and windows.
source "$PO_ROOT/tests/e2e/lib.sh"
set -e

e2e_start "$PO_PROGRAM"

# A text of the sheet at X Y (in the sheet's scroll box): its dialog, the new text, Return.
set_text() {
  local lx ly
  read -r lx ly <<<"$(at "$1" "$2")"
  click "$lx" "$ly"
  xdotool windowfocus --sync "$(window '^Enter ')"
  xdotool key ctrl+a
  xdotool type --delay 10 -- "$3"
  xdotool key Return
  gone '^Enter '
}
# A line item: its row, then the texts of its columns from the quantity on, Tab between them.
line_item() {
  local cx cy v first=1
  read -r cx cy <<<"$(cell 5 "$1")"
  click "$cx" "$cy"
  shift
  for v in "$@"; do
    [ $first = 1 ] || xdotool key Tab
    first=0
    xdotool type --delay 10 -- "$v"
  done
  sleep 0.3
}

set_text 95 15 "Pelmora Trading Ltd."
set_text 95 33 "Unit 4, Harbourside Business Park"
set_text 95 52 "Bristol BS1 5TY, United Kingdom"
set_text 95 70 "Tel. +44 117 496 0321"
set_text 95 89 "purchasing@pelmora-trading.co.uk"
set_text 35 128 "Deliver to loading dock 2, Monday to Friday, 8:00 to 16:00. Quote the PO number on every delivery note and invoice."
set_text 600 136 "PO-2026-0417"
set_text 600 177 "ACC-20931"
set_text 600 197 "Net 30 days"
set_text 600 217 "DHL Freight"
set_text 90 292 "Northwind Hardware"
set_text 240 292 "+49 30 901820"
set_text 90 309 "Friedrichstrasse 120"
set_text 90 327 "10117 Berlin, Germany"
set_text 430 273 "Dana Whitfield"
set_text 588 273 "+44 117 496 0388"
set_text 430 291 "Pelmora Trading Ltd."
set_text 430 309 "Unit 7, Avonmouth Docks"
set_text 430 327 "Bristol BS11 9FG"

line_item 0 12 Each NW-1042 "Claw hammer" "450 g head, fibreglass handle" 14.95
line_item 1 4 Box NW-2210 "Wood screws" "Countersunk 4 x 40 mm, zinc plated, box of 200" 8.40
line_item 2 2 Each NW-3301 "Cordless drill" "18 V brushless drill driver with two 2.0 Ah batteries, charger and case" 129.00
line_item 3 25 m NW-5120 "Rubber cable" "H07RN-F 3G1.5, sold by the metre" 2.35
line_item 4 6 Pair NW-7788 "Work gloves" "Nitrile coated, size 9" 3.80
line_item 5 1 Set NW-9001 "Drill bits" "HSS set, 1 to 10 mm, 19 pieces" 24.50

set_text 750 634 "25.00"   # the discount
set_text 750 654 "18.50"   # shipping

# 20 % on every line item and on shipping; the question is not asked again at Print.
panel_button 193           # "&Taxes..."
use_window '^Enter Tax Percentage For Taxable Items$'
for row in 1 2 3 4 5 6 9; do
  type_rate "$row" 20
done
press 11 227               # "Do not show this again when printing this P.O."
press 149 248              # OK
gone '^Enter Tax Percentage'

# The logo: a picture of the company's initials.
convert -size 240x120 xc:white -fill '#1f4e79' -draw 'roundrectangle 4,4 235,115 22,22' \
  -fill white -font DejaVu-Sans-Bold -pointsize 64 -gravity center -annotate 0 'PT' "$WORK/logo.jpg"
read -r LX LY <<<"$(at 310 653)"
click "$LX" "$LY"          # "Click here to add Logo."
use_window '^Select Company Logo'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 20 "$WORK/logo.jpg"
xdotool key Return
gone '^Select Company Logo'

# The sheet as it stands: the panel put away (Escape), the editor in an empty cell and the
# pointer away from any hint.
xdotool windowfocus --sync "$(window '^Purchase Order Form Menubar')"
xdotool key Escape
gone '^Purchase Order Form Menubar'
read -r CX CY <<<"$(cell 5 8)"
click "$CX" "$CY"
xdotool mousemove 0 0
sleep 1
import -window "$SHEET" "$OUT/sheet.png"

panel_button 289           # "&Print"
use_window '^Using .* as PO Number'
xdotool key Return         # "&Print", the default button
gone '^Using .* as PO Number'
use_window 'Printout$'
click $((WX + 740)) $((WY + 19))   # "Save as PDF..."
use_window '^Save Purchase Order as PDF'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 20 "$WORK/order.pdf"
xdotool key Return
gone '^Save Purchase Order as PDF'
wait_for 10 test -s "$WORK/order.pdf" || fail "no PDF written"
pdftoppm -f 1 -l 1 -r 75 -png "$WORK/order.pdf" "$WORK/page"
mv "$WORK"/page-*1.png "$OUT/printout.png"
alive
echo "readme-pictures: wrote $OUT/sheet.png and $OUT/printout.png"
