#!/usr/bin/env bash
# SIGTERM while the start-up sheet loads ends the program there, cleanly, without a
# question and without writing the half-read sheet anywhere.
# Usage: term_during_load.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
before=$(cat "$SHEETFILE")
(cd "$WORK" && QT_QPA_PLATFORM=xcb exec ./pelmora-po) >>"$WORK/program.log" 2>&1 &
APP_PID=$!
wait_for 30 xdotool search --onlyvisible --name '^Loading' || fail "no load to interrupt"
kill -TERM "$APP_PID"
# The load's remaining pauses are skipped: the program ends while its progress window would
# still be counting, which a person sees as the window closing at once.
wait_for 15 bash -c "! kill -0 $APP_PID" || fail "SIGTERM did not end the program"
wait "$APP_PID" || fail "the program ended with status $?"
[ "$(cat "$SHEETFILE")" = "$before" ] || fail "the half-read sheet was written"
[ -z "$(find "$HOME" -name '*.journal')" ] || fail "a journal of nothing typed"
echo "e2e: 1 passed, 0 failed"
