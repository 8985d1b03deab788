#!/usr/bin/env bash
# An error the program reports (Exit with saving into a read-only sheet) is titled with the
# program's title, "The Purchase Order Form", not the program file's name; the program goes on.
# Usage: error_title.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
chmod 444 "$SHEETFILE"

read -r QX QY <<<"$(cell 20 0)"
type_at "$QX" "$QY" "3"
sleep 0.3
panel_button 479   # "E&xit"
q=$(window '^Pelmora PO Form$')
xdotool windowfocus --sync "$q"
xdotool key Return # with saving: the read-only sheet refuses
use_message
if xdotool search --onlyvisible --name '^pelmora-po$' >/dev/null 2>&1; then
  fail "a message titled with the program file's name"
fi
xdotool key Return
no_message
sleep 0.5
alive
echo "e2e: 1 passed, 0 failed"
