#!/usr/bin/env bash
# Without a mouse, under a window manager: Tab runs through the sheet's texts in reading order
# and Return opens a text's editor; the table is one stop that Ctrl+Tab leaves; F2 in a cell
# opens the line-item dialog; the Menu key and F10 call up the command panel at the focused
# text, Escape puts it away; Save PO As, Taxes (a rate, then its box ticked), Print (a PDF saved
# from the preview) and Exit run from it. No key here goes to a window the test focused
# itself: each dialog must get the keyboard as a person sees it.
# Usage: keyboard.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
start_openbox
start_program
xdotool mousemove 0 0
key() { xdotool key --delay 150 "$@"; sleep 0.3; }
tabs() { local i; for ((i = 0; i < $1; i++)); do xdotool key --delay 60 Tab; done; sleep 0.3; }

key Tab Return                              # the first text: the company's name
window '^Enter Company Name$' >/dev/null
key ctrl+a
xdotool type --delay 40 "Keyboard Co"
key Return                                  # "&Close", the default button
gone '^Enter Company Name$'
check Label2 "Keyboard Co"

tabs 10                                     # the address, the title, the notes, the PO number
key Return                                  # ... and the PO date beside its caption
window '^Set Purchase Order Date' >/dev/null
key Escape
gone '^Set Purchase Order Date'

tabs 25                                     # the order block, both frames, the headings
xdotool type --delay 60 "3"                 # the table: its first cell
tabs 3
xdotool type --delay 60 "Widget"            # the product, which the tax dialog lists
tabs 2
xdotool type --delay 60 "2.50"
key F2                                      # the keyboard's double-click
window '^Modify a Purchase Order Line Item$' >/dev/null
key Escape
gone '^Modify a Purchase Order Line Item$'

key ctrl+Tab Menu                           # out of the table: "Subtotal", then its panel
PANEL=$(window '^Purchase Order Form Menubar')
eval "$(xdotool getwindowgeometry --shell "$PANEL")"
[ "$Y" -gt $((SY + 600)) ] || fail "the panel opened at $X,$Y, not below the subtotal (sheet at $SX,$SY)"
key Escape                                  # put away, not closed: the program goes on
gone '^Purchase Order Form Menubar'
alive

key F10 Tab Tab Tab Return                  # Exit, Print, Load PO, "&Save PO As..."
window '^Save Purchase Order Form File' >/dev/null
sleep 0.3
key ctrl+a
xdotool type --delay 40 "Keyed"
key Return
window ' Saved\.\.\.' >/dev/null
key Return                                  # Yes: it opens at the next start
gone ' Saved\.\.\.'
check_file "$WORK/Keyed.pof" Label2 TextValue "Keyboard Co"
check_file "$WORK/Keyed.pof" Table00 TextValue 3
check_file "$WORK/Keyed.pof" Table50 TextValue 2.50
check_file "$WORK/Keyed.pof" Table60 TextValue 7.50

key Escape F10 Tab Tab Tab Tab Return       # "&Taxes..."
window '^Enter Tax Percentage' >/dev/null
key Down Right                              # "Widget", then its percentage, selected
xdotool type --delay 60 "8.25"
key ctrl+Tab space                          # out of the grid: "Do not show this again"
key Return                                  # OK, from the box
gone '^Enter Tax Percentage'
check_file "$WORK/Keyed.pof" Tax-On-Table40 TextValue 8.25
check_file "$WORK/Keyed.pof" TaxForm NoShow 1
[ "$(xdotool getactivewindow getwindowname)" = "Purchase Order Form Menubar" ] ||
  fail "after the tax dialog the keyboard is in '$(xdotool getactivewindow getwindowname)', not the panel"
key Tab Tab Tab Return                      # from "&Taxes...": Help, Exit, then "&Print"
window '^Using .* as PO Number' >/dev/null
key Return                                  # "&Print", the default
PREVIEW=$(window 'Printout$')
wait_for 10 bash -c "[ \"\$(xdotool getactivewindow)\" = $PREVIEW ]" || fail "the preview has no keyboard"
key ctrl+s                                  # "Save as PDF..."
window '^Save Purchase Order as PDF' >/dev/null
sleep 0.3
key ctrl+a
xdotool type --delay 30 "$WORK/keyed.pdf"
key Return
gone '^Save Purchase Order as PDF'
wait_for 10 test -s "$WORK/keyed.pdf" || fail "no PDF written"
text=$(pdftotext "$WORK/keyed.pdf" - 2>/dev/null)
for want in "Keyboard Co" "Widget" "7.50" "0.62" "8.12"; do    # 8.25% of 7.50, rounded
  grep -qF -- "$want" <<<"$text" || fail "the PDF lacks '$want'"
done
key Escape                                  # the preview closes; the sheet is back
gone 'Printout$'
alive

key Escape F10 Return                       # the panel again, at the sheet's focus: "E&xit"
window '^Pelmora PO Form$' >/dev/null
key Return                                  # "E&xit Program", saving
wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the program did not end"
echo "e2e: 1 passed, 0 failed"
