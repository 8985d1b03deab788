#!/usr/bin/env bash
# The sheet is on screen while its start-up load runs: when it first shows, the load's progress
# window is there above it and stays for seconds more, and the sheet is already drawn.
# Usage: sheet_while_loading.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
start_openbox
(cd "$WORK" && QT_QPA_PLATFORM=xcb exec ./pelmora-po) >>"$WORK/program.log" 2>&1 &
APP_PID=$!
wait_for 30 xdotool search --onlyvisible --name '^The Purchase Order Form$' || fail "the sheet never showed"
SHEET=$(xdotool search --onlyvisible --name '^The Purchase Order Form$' | head -1)
wait_for 2 xdotool search --onlyvisible --name '^Loading template\.ini' ||
  fail "the sheet showed with no load running: it showed only after its load"
PROGRESS=$(xdotool search --onlyvisible --name '^Loading template\.ini' | head -1)

# Drawn: the sheet's area holds more than one or two colours (text, lines, backgrounds).
eval "$(xdotool getwindowgeometry --shell "$SHEET")"
colours=$(import -window root -crop "300x300+$((X + 20))+$((Y + 20))" png:- | identify -format '%k' -)
[ "${colours:-0}" -gt 2 ] || fail "the sheet was not drawn while it loaded ($colours colours)"

# The progress window stacks above the sheet.
below="" above="" n=0
for w in $(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'); do
  n=$((n + 1))
  [ $((w)) -eq $((SHEET)) ] && below=$n
  [ $((w)) -eq $((PROGRESS)) ] && above=$n
done
[ -n "$below" ] && [ -n "$above" ] && [ "$above" -gt "$below" ] ||
  fail "the progress window ($above) is not above the sheet ($below) in the window manager's stacking"

sleep 1
xdotool search --onlyvisible --name '^Loading' >/dev/null ||
  fail "the load ended within a second of the sheet's showing: the sheet showed late"
loaded
alive
echo "e2e: 1 passed, 0 failed"
