#!/usr/bin/env bash
# Under a window manager (openbox) the command panel stays above the sheet: after a click on
# the sheet it is still on top, and a click on one of its buttons reaches it.
# Usage: stacking.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
start_openbox

start_program
# The window the window manager stacks on top of all the others.
top_window() { xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | tail -1; }
on_top() { [ $(($(top_window))) -eq $(($1)) ] || fail "$2 (on top: $(xdotool getwindowname "$(top_window)"))"; }

click $((SX + 200)) $((SY + 620)) 3
PANEL=$(window '^Purchase Order Form Menubar')
sleep 0.5
on_top "$PANEL" "the panel did not open on top"
read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "4"
sleep 0.5
on_top "$PANEL" "the panel sank behind the sheet after a click on the sheet"

# Relative to the panel itself: a reparenting window manager shifts what getwindowgeometry says.
xdotool mousemove --window "$PANEL" $((193 + 46)) $((2 + 12)) click 1   # "&Taxes..."
use_window '^Enter Tax Percentage For Taxable Items$'
xdotool key Escape
gone '^Enter Tax Percentage For Taxable Items$'
sleep 0.5
on_top "$PANEL" "the panel sank behind the sheet after its dialog closed"
alive
echo "e2e: 1 passed, 0 failed"
