#!/usr/bin/env bash
# Under a dark desktop theme (GTK's Adwaita dark through Qt's GTK platform theme) the label
# dialog is dark, but its text box shows the label's text as the sheet does: dark on white.
# Usage: dark_theme.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
ls /usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so >/dev/null 2>&1 ||
  fail "Qt's GTK platform theme (qt6-gtk-platformtheme) is not installed"
export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
e2e_start "$1"

read -r LX LY <<<"$(at 95 15)"
click "$LX" "$LY"                                   # the company's name
DIALOG=$(window '^Enter Company Name$')
xdotool windowfocus --sync "$DIALOG"
xdotool key End                                     # the text as typed, not as selected
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$DIALOG")"
# Mean and darkest intensity (0 black .. 1 white) of a part of the screen: WIDTHxHEIGHT+X+Y.
shade() { import -window root -crop "$1" png:- | convert - -format '%[fx:mean] %[fx:minima.intensity]' info:; }
read -r around _ <<<"$(shade "10x10+$((X + 2))+$((Y + 40))")"
read -r field darkest <<<"$(shade "200x15+$((X + 16))+$((Y + 15))")"
awk -v a="$around" 'BEGIN { exit !(a < 0.4) }' || fail "the dark theme is not in force (dialog shade $around)"
awk -v f="$field" -v d="$darkest" 'BEGIN { exit !(f > 0.8 && d < 0.3) }' ||
  fail "the text box is not dark text on white (mean $field, darkest $darkest)"
xdotool key Escape
gone '^Enter Company Name$'
alive
echo "e2e: 1 passed, 0 failed"
