#!/usr/bin/env bash
# The font dialog confirmed unchanged gives back the Windows face, size and style it was
# given: Arial 10 bold through the label dialog, MS Sans Serif 8 through the font-only editor.
# Usage: font_dialog.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r LX LY <<<"$(at 60 15)"           # Label2, Arial 10 bold
click "$LX" "$LY"
use_window '^Enter Company Name'
press 37 62                              # "Set Font..."
use_window '^Select Font'
xdotool key Return                       # OK, nothing touched
gone '^Select Font'
use_window '^Enter Company Name'
press 142 62
gone '^Enter Company Name'
check Label2 Arial FontName
check Label2 10 FontSize
check Label2 1 FontStyle                 # bold

read -r PX PY <<<"$(at 530 135)"         # Label20, "PO Number:", font only
click "$PX" "$PY"
use_window '^Select Font'
xdotool key Return
gone '^Select Font'
alive
check Label20 "MS Sans Serif" FontName
check Label20 8 FontSize
check Label20 0 FontStyle
echo "e2e: 1 passed, 0 failed"
