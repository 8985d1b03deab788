#!/usr/bin/env bash
# Window titles are the program's own captions, whole: no application name after them; the
# sheet window is titled as the program is, for the task bar and the window list, and carries
# the program's icon.
# Usage: titles.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

title_is() {
  local got
  got=$(xdotool getwindowname "$(window "^$1")")
  [ "$got" = "$1" ] || fail "title '$got', expected '$1'"
}
title_is "The Purchase Order Form"
# Read whole first: grep -q would stop xprop with SIGPIPE, which pipefail counts as failure.
icon=$(xprop -id "$SHEET" _NET_WM_ICON)
[[ $icon == *"Icon ("* ]] || fail "the sheet window has no icon"
read -r LX LY <<<"$(at 60 15)"
click "$LX" "$LY"
title_is "Enter Company Name"
use_window '^Enter Company Name'
press 142 62
gone '^Enter Company Name'
click $((SX + 200)) $((SY + 620)) 3
title_is "Purchase Order Form Menubar"
alive
echo "e2e: 1 passed, 0 failed"
