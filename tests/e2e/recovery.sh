#!/usr/bin/env bash
# Three typed cells and a new logo survive a kill: at the next start the question comes and
# Return brings all of it back; after Exit with saving a restart asks nothing.
# Usage: recovery.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
bmp "$WORK/logo.bmp" 40 30
before=$(cat "$SHEETFILE")

type_cell() {
  read -r CX CY <<<"$(cell "$1" "$2")"
  type_at "$CX" "$CY" "$3"
}
type_cell 20 0 "3"
type_cell 200 0 "Hinges"
type_cell 640 0 "2.5"
read -r PX PY <<<"$(at 360 653)"         # "Click here to add Logo."
click "$PX" "$PY"
use_window '^Select Company Logo'
sleep 0.3
xdotool type --delay 30 "$WORK/logo.bmp"
xdotool key Return
gone '^Select Company Logo'
alive
# Within a second of the last change the journal is on disk, private to the user.
JOURNALS="$HOME/.local/share/pelmora-po/recovery"
wait_for 5 bash -c "grep -qs 'logo.bmp' '$JOURNALS'/*.journal" || fail "no journal within a second"
[ "$(stat -c %a "$JOURNALS"/*.journal)" = 600 ] || fail "the journal is not private"
[ -z "$(find "$WORK" -name '*.journal')" ] || fail "a journal in the program's folder"
kill -KILL "$APP_PID"
wait "$APP_PID" 2>/dev/null
[ "$(cat "$SHEETFILE")" = "$before" ] || fail "the sheet file changed before any save"

start_program
use_message                              # the question, titled as the sheet is
xdotool key Return                       # Yes, the default
no_message
alive
exit_saving
check Table00 3
check Table30 Hinges
check Table50 2.5
check Table60 7.50
check Label14 7.50
check Label19 7.50
check Image1 "$WORK/logo.bmp"
[ -z "$(ls -A "$JOURNALS" 2>/dev/null)" ] || fail "the journal outlived a full save"

start_program
sleep 1.5
xdotool search --onlyvisible --name '^The Purchase Order Form$' | grep -qvx "$SHEET" && fail "asked again after a save"
alive
echo "e2e: 1 passed, 0 failed"
