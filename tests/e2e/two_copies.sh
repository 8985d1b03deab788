#!/usr/bin/env bash
# Two copies of the program on one sheet, each on a display of its own: the second is told
# that the first holds it and is offered nothing of the first's unsaved work; each copy's
# typing is kept apart, and the second's save leaves the first's journal alone. Killed, the
# first copy's work is offered at the next start.
# Usage: two_copies.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
JOURNALS="$HOME/.local/share/pelmora-po/recovery"
journals_with() { grep -ls -- "$1" "$JOURNALS"/*.journal 2>/dev/null | wc -l; }

FIRST_PID=$APP_PID FIRST_DISPLAY=$DISPLAY FIRST_XVFB=$XVFB_PID
trap 'kill $FIRST_PID $FIRST_XVFB 2>/dev/null; cleanup' EXIT
read -r CX CY <<<"$(cell 200 0)"
type_at "$CX" "$CY" "Hinges"
wait_for 5 bash -c "[ \$(grep -ls Hinges '$JOURNALS'/*.journal | wc -l) = 1 ]" || fail "the first copy wrote no journal"

mkdir "$WORK/second"
start_xserver "$WORK/second" || fail "the second Xvfb did not start"
start_program                            # the second copy, on the second display
use_message                              # told, before anything is typed
xdotool key Return
no_message                               # and asked nothing about the first copy's work
alive
read -r CX CY <<<"$(cell 200 1)"
type_at "$CX" "$CY" "Nails"
wait_for 5 bash -c "[ \$(grep -ls Nails '$JOURNALS'/*.journal | wc -l) = 1 ]" || fail "the second copy wrote no journal"
[ "$(journals_with Hinges)" = 1 ] || fail "the second copy's typing went over the first's journal"
exit_saving
check Table31 Nails
[ "$(journals_with Hinges)" = 1 ] || fail "the second copy's save removed the first copy's journal"
[ "$(journals_with Nails)" = 0 ] || fail "the second copy's own journal outlived its save"

# The first copy dies: its work is a crash's now, offered at the next start.
export DISPLAY=$FIRST_DISPLAY
kill -0 "$FIRST_PID" || fail "the first copy died"
kill -KILL "$FIRST_PID"; wait "$FIRST_PID" 2>/dev/null
start_program
use_message
xdotool key r                            # "&Recover" (the file changed since: not the default)
no_message
alive
exit_saving
check Table30 Hinges
echo "e2e: 1 passed, 0 failed"
