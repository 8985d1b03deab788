#!/usr/bin/env bash
# A journal folder that is full, then read-only (a small tmpfs): the user is told once per
# cause, in the window, and typing goes on; once there is room again the journal is written
# without waiting for another change.
# Usage: journal_folder.sh PATH-TO-pelmora-po   (as root: it mounts a tmpfs; skipped otherwise)
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
JOURNALS="$HOME/.local/share/pelmora-po/recovery"
mkdir -p "$JOURNALS"
mount -t tmpfs -o size=256k,mode=0700 tmpfs "$JOURNALS" 2>/dev/null || { echo "e2e: no tmpfs here, skipped"; exit 77; }
trap 'kill $APP_PID 2>/dev/null; wait $APP_PID 2>/dev/null; umount "$JOURNALS"; cleanup' EXIT
dd if=/dev/zero of="$JOURNALS/fill" bs=4k 2>/dev/null   # full to the last block
start_program

type_row() {
  read -r CX CY <<<"$(cell 200 "$1")"
  type_at "$CX" "$CY" "$2"
}
type_row 0 "Hinges"
use_message                              # the folder is full: said in the window
xdotool key Return
no_message
type_row 1 "Nails"
sleep 1.5                                # the journal's half second, twice over
no_message                               # said once, not at every change
alive

rm "$JOURNALS/fill"                      # room again: what was typed reaches the journal
wait_for 10 bash -c "grep -qs Nails '$JOURNALS'/*.journal" || fail "no journal once there was room"
grep -qs Hinges "$JOURNALS"/*.journal || fail "the first row typed into the full folder is missing"
type_row 2 "Glue"
wait_for 5 bash -c "grep -qs Glue '$JOURNALS'/*.journal" || fail "no journal of the next row"

# Read-only (the copy that ran ended first: its owner file was open for writing there).
kill -TERM "$APP_PID"; wait "$APP_PID" 2>/dev/null
mount -o remount,ro "$JOURNALS" || fail "no read-only remount"
start_program
use_message                              # the journal of the typing above, now a crash's
xdotool key k                            # "&Keep for Later"
no_message
type_row 3 "Tape"
use_message                              # another cause, said once more
xdotool key Return
no_message
alive
echo "e2e: 1 passed, 0 failed"
