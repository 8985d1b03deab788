#!/usr/bin/env bash
# Print through a warning and both checks: a line whose price is no number is named first
# (Return goes back, nothing printed; "Print Anyway" goes on), a tax rate in the tax dialog,
# "Edit" at the PO number check and a new number in its editor, then the preview, saved as a
# PDF that shows the saved order. A second Print while the preview is open brings back the
# same preview.
# Usage: print.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1" '[Table00]' 'TextValue=2' '[Table30]' 'TextValue=Hammer' '[Table50]' \
  'TextValue=123456789.00' '[Table60]' 'TextValue=40.00' '[Table01]' 'TextValue=2' \
  '[Table51]' 'TextValue=$3.50'

panel_button 289                         # "&Print"
use_window '^Lines Left Out of the Total$'
xdotool key Return                       # "&Go Back", the default
gone '^Lines Left Out of the Total$'
sleep 0.5
xdotool search --onlyvisible --name 'Printout$|^Enter Tax Percentage' >/dev/null &&
  fail "Print went on after Go Back"
grep -q '^\[Table68\]' "$SHEETFILE" && fail "the order was saved after Go Back"
alive
panel_button 289
use_window '^Lines Left Out of the Total$'
xdotool key alt+p                        # "&Print Anyway"
gone '^Lines Left Out of the Total$'
use_window '^Enter Tax Percentage For Taxable Items'
type_rate 1 10
press 149 248                            # OK
gone '^Enter Tax Percentage'
use_window '^Using .* as PO Number'
press 86 88                              # "&Edit": the PO number editor follows
gone '^Using .* as PO Number'
use_window '^Enter PO Number'
xdotool key ctrl+a
xdotool type --delay 40 "PO-555"
press 142 62                             # "&Close"
gone '^Enter PO Number'
use_window 'Printout$'
PREVIEW=$(window 'Printout$')
check labelPONumber PO-555               # saved before the preview
check Tax-On-Table40 10
check PONumber 0 NoShow
check Label17 4.00

click $((WX + 740)) $((WY + 19))         # "Save as PDF..."
use_window '^Save Purchase Order as PDF'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "$WORK/order.pdf"
xdotool key Return
gone '^Save Purchase Order as PDF'
wait_for 10 test -s "$WORK/order.pdf" || fail "no PDF written"
[ "$(head -c 4 "$WORK/order.pdf")" = "%PDF" ] || fail "order.pdf is no PDF"
text=$(pdftotext "$WORK/order.pdf" - 2>/dev/null)
for want in "Acme Tools Ltd." "PO-555" "Hammer" "40.00" "4.00" "123456789.00"; do   # amounts whole
  grep -qF -- "$want" <<<"$text" || fail "the PDF lacks '$want'"
done
alive

# The panel still answers beside the preview; Print again only raises the open preview.
panel=$(window '^Purchase Order Form Menubar')
xdotool windowraise "$panel"
eval "$(xdotool getwindowgeometry --shell "$panel")"
click $((X + 289 + 46)) $((Y + 2 + 12))
sleep 0.5
[ "$(xdotool search --onlyvisible --name 'Printout$' | head -1)" = "$(xdotool getwindowfocus)" ] ||
  fail "the preview did not come back to the front"
[ "$(xdotool search --onlyvisible --name 'Printout$' | wc -l)" = 1 ] || fail "a second preview"
xdotool search --onlyvisible --name '^Enter Tax Percentage' >/dev/null && fail "Print ran again"
xdotool windowfocus --sync "$PREVIEW"
xdotool key Escape
gone 'Printout$'
alive
exit_saving
echo "e2e: 1 passed, 0 failed"
