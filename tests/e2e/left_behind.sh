#!/usr/bin/env bash
# Unsaved work in another order than the start-up sheet is not hidden: the next start names
# that order; Return keeps it for later, "Open" loads it as Load PO would and offers the work.
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
echo "e2e: 1 passed, 0 failed"
