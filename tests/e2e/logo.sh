#!/usr/bin/env bash
# The logo: a picture picked from the picture dialog's list under its default filter, replaced
# by another after No to the removal question, saved; after a restart removed with Yes.
# Usage: logo.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
bmp "$WORK/logo-a.bmp" 40 30
bmp "$WORK/logo-b.bmp" 60 20 '\x20\xc0\x20'

DIALOG='^Select Company Logo'
# Double-clicks the Nth file listed in the picture dialog, which opens in the program's folder
# with the default filter "All (...)": only the two pictures are listed.
pick() {
  use_window "$DIALOG"
  # The dialog lists the folder in the background: a double-click before the list is there
  # meets an empty view, so it is given again.
  local try
  for try in 1 2 3 4 5; do
    dclick $((WX + 160)) $((WY + 70 + 18 * ($1 - 1)))
    wait_for 2 bash -c "! xdotool search --onlyvisible --name '$DIALOG'" && return
  done
  fail "no picture was picked from the list"
}
# The removal question comes only for a click on a picture that is shown.
ask_removal() {
  read -r IX IY <<<"$(at 20 12)"
  click "$IX" "$IY"
  use_window '^Clear Logo'
}

read -r PX PY <<<"$(at 360 653)"         # "Click here to add Logo."
click "$PX" "$PY"
pick 1
alive
ask_removal
xdotool key Escape                       # No: another picture is to be picked
gone '^Clear Logo'
pick 2
alive
exit_saving
check Image1 "$WORK/logo-b.bmp"

start_program                            # the saved sheet shows logo-b again
ask_removal
xdotool key Return                       # Yes
gone '^Clear Logo'
alive
check Image1 ""                          # stored at once
click "$PX" "$PY"                        # the prompt is back
use_window "$DIALOG"
xdotool key Escape
gone "$DIALOG"
alive
echo "e2e: 1 passed, 0 failed"
