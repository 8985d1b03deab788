#!/usr/bin/env bash
# Unsaved work in another order than the start-up sheet is not hidden: the next start names
# that order; Return keeps it for later, "Open" loads it as Load PO would and offers the work.
# A double-click that answers the question before it does not answer it too.
# Usage: left_behind.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
JOURNALS="$HOME/.local/share/pelmora-po/recovery"
OTHER="$WORK/other.pof"
printf '%s\r\n' '[Label2]' 'TextValue=Other Supplier Co.' '[Table30]' 'TextValue=Saw' > "$OTHER"

load_po other.pof
loaded
read -r CX CY <<<"$(cell 200 1)"
type_at "$CX" "$CY" "Blade"
wait_for 5 bash -c "grep -qs Blade '$JOURNALS'/*.journal" || fail "no journal of the typing"
kill -KILL "$APP_PID"; wait "$APP_PID" 2>/dev/null

start_program                            # on the start-up sheet, not other.pof
use_message
xdotool key Return                       # keep for later, the default
no_message
alive
kill -TERM "$APP_PID"; wait "$APP_PID" 2>/dev/null
grep -qs Blade "$JOURNALS"/*.journal || fail "keeping it removed it"

start_program
use_message
xdotool key o                            # "&Open"
loaded
use_message                              # other.pof's own question
xdotool key Return                       # Recover
no_message
alive
exit_saving
check_file "$OTHER" Table30 TextValue Saw
check_file "$OTHER" Table31 TextValue Blade

# Work left in both orders: the start-up order's question comes first, the other order's
# where it was. A double-click on "Discard" answers the first one only.
start_program
load_po other.pof
loaded
type_at "$CX" "$CY" "Chisel"
wait_for 5 bash -c "grep -qs Chisel '$JOURNALS'/*.journal" || fail "no journal of the other order"
kill -KILL "$APP_PID"; wait "$APP_PID" 2>/dev/null
start_program
use_message                              # other.pof's work named
xdotool key Return                       # kept for later
no_message
read -r CX CY <<<"$(cell 200 2)"
type_at "$CX" "$CY" "Hinges"
wait_for 5 bash -c "grep -qs Hinges '$JOURNALS'/*.journal" || fail "no journal of the start-up order"
kill -KILL "$APP_PID"; wait "$APP_PID" 2>/dev/null
start_program
use_message                              # the start-up order's question, Discard at its right
eval "$(xdotool getwindowgeometry --shell "$MESSAGE")"
dclick $((X + WIDTH - 51)) $((Y + HEIGHT - 22))
use_message                              # the other order's question is still open
grep -qs Chisel "$JOURNALS"/*.journal || fail "the double-click discarded the other order's work too"
grep -qs Hinges "$JOURNALS"/*.journal && fail "Discard kept the start-up order's journal"
xdotool key Return                       # keep it for later
no_message
alive
grep -qs Chisel "$JOURNALS"/*.journal || fail "keeping the other order's work removed it"
echo "e2e: 1 passed, 0 failed"
