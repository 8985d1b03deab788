#!/usr/bin/env bash
# What a killed copy left is removed only by the user's own "Discard": SIGTERM while the
# recovery question is open, Escape and its close box all keep it for the next start. A
# recovery keeps the PO number typed after the last cell. A journal older than its file
# says so, and Return then keeps the file as it is.
# Usage: recovery_answers.sh PATH-TO-pelmora-po   (E2E_XWINDOW: the close-box helper)
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
JOURNALS="$HOME/.local/share/pelmora-po/recovery"
journals() { find "$JOURNALS" -name '*.journal' 2>/dev/null | wc -l; }
killed() { kill -KILL "$APP_PID"; wait "$APP_PID" 2>/dev/null; }

read -r CX CY <<<"$(cell 200 0)"
type_at "$CX" "$CY" "Hinges"
read -r LX LY <<<"$(at 610 136)"         # labelPONumber, after the last cell
click "$LX" "$LY"
use_window '^Enter PO Number'
xdotool key ctrl+a
xdotool type --delay 40 "PO-2026-123"
press 142 62                             # "&Close"
gone '^Enter PO Number'
wait_for 5 bash -c "grep -qs 'PO-2026-123' '$JOURNALS'/*.journal" || fail "the journal did not follow the PO number"
killed

# No answer: a signal while the question waits ends the program and keeps the journal.
start_program
use_message
kill -TERM "$APP_PID"
wait_for 10 bash -c "! kill -0 $APP_PID" || fail "SIGTERM did not end the program during the question"
[ "$(journals)" = 1 ] || fail "a signal during the question removed the journal"

# Escape and the close box mean "not now".
for how in escape closebox; do
  start_program
  use_message
  if [ $how = escape ]; then
    xdotool key Escape
  else
    "$E2E_XWINDOW" close "$MESSAGE" || fail "no close-box helper"
  fi
  no_message
  alive
  [ "$(journals)" = 1 ] || fail "$how removed the journal"
  kill -TERM "$APP_PID"; wait "$APP_PID" 2>/dev/null
done

# Return recovers, the number typed last included.
start_program
use_message
xdotool key Return
no_message
alive
exit_saving
check Table30 Hinges
check labelPONumber PO-2026-123
[ "$(journals)" = 0 ] || fail "the journal outlived a full save"

# The file changed after the journal was written: Return now keeps the file.
start_program
read -r CX CY <<<"$(cell 200 1)"
type_at "$CX" "$CY" "Nails"
wait_for 5 bash -c "grep -qs 'Nails' '$JOURNALS'/*.journal" || fail "no journal of the typing"
killed
sed -i 's/Acme Tools Ltd\./Acme Tools GmbH/' "$SHEETFILE"  # another program, a restored copy
changed=$(cat "$SHEETFILE")
start_program
use_message
xdotool key Return                       # the default: keep for later
no_message
alive
[ "$(journals)" = 1 ] || fail "Return removed the journal of a changed file"
kill -TERM "$APP_PID"; wait "$APP_PID" 2>/dev/null
[ "$(cat "$SHEETFILE")" = "$changed" ] || fail "the changed file was written over"

# Discard, and only Discard, removes it.
start_program
use_message
xdotool key d                            # "&Discard"
no_message
alive
[ "$(journals)" = 0 ] || fail "Discard kept the journal"
echo "e2e: 1 passed, 0 failed"
