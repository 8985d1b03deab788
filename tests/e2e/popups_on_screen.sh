#!/usr/bin/env bash
# On an 800x600 screen every pop-up lies wholly on it: the command panel called up at the far
# right of the table (its Exit button works there), and the label dialog opened near the
# right edge.
# Usage: popups_on_screen.sh PATH-TO-pelmora-po
E2E_SCREEN=800x600x24
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

# Fails unless the window of that title lies wholly on the 800x600 screen.
on_screen() {
  local w
  w=$(window "$1")
  eval "$(xdotool getwindowgeometry --shell "$w")"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 800 ] && [ $((Y + HEIGHT)) -le 600 ] ||
    fail "'$1' at $X,$Y size ${WIDTH}x$HEIGHT is not wholly on the screen"
}

read -r TX TY <<<"$(cell 730 2)"         # the Extended column, right end of the table
click "$TX" "$TY" 3
on_screen '^Purchase Order Form Menubar'
[ -n "${E2E_SHOT:-}" ] && import -window root "$E2E_SHOT"
xdotool windowfocus --sync "$(window '^Purchase Order Form Menubar')"
click $((X + 479 + 46)) $((Y + 2 + 12))  # "E&xit", reachable
use_window '^Pelmora PO Form$'
press 137 40                             # "&Cancel"
gone '^Pelmora PO Form$'
on_screen '^Purchase Order Form Menubar'
alive

read -r LX LY <<<"$(at 650 216)"         # Label36, "Shipping Method"
click "$LX" "$LY"
on_screen '^Enter Value for Ship Via'
use_window '^Enter Value for Ship Via'
press 142 62
gone '^Enter Value for Ship Via'
alive
echo "e2e: 1 passed, 0 failed"
