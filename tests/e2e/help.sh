#!/usr/bin/env bash
# Help opens the About window; its help button opens the guide, which can be scrolled and
# closed while About stays open; OK closes About and the program lives on.
# Usage: help.sh PATH-TO-pelmora-po   (E2E_XWINDOW: the close-box helper)
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

panel_button 384                         # "&Help"
use_window '^About'
press 16 90                              # "Open P.O. Form Help File"
use_window '^Purchase Order Form Help'
HELP=$(window '^Purchase Order Form Help')
click $((WX + 200)) $((WY + 200))
xdotool key Next Next ctrl+End
"$E2E_XWINDOW" close "$HELP"
gone '^Purchase Order Form Help'         # a window blocked by About would refuse to close
alive
use_window '^About'
press 112 90                             # OK
gone '^About'
alive
exit_saving
echo "e2e: 1 passed, 0 failed"
