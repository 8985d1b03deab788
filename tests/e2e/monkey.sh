#!/usr/bin/env bash
# A seeded random exerciser: random clicks, double-clicks, right-clicks and keys into whatever
# window of the program is on top, for SECONDS. File and print dialogs are answered with
# Escape, so nothing is written outside the test's own folder. Fails with the seed and the
# last 50 actions when the program dies by a signal or a sanitizer report, or stops answering
# for 10 seconds; a normal end (Exit was pressed) starts it again.
# Usage: monkey.sh PATH-TO-pelmora-po SECONDS [SEED]   (E2E_XWINDOW: the ping helper)
source "$(dirname "$0")/lib.sh"
DURATION=${2:?usage: monkey.sh PROGRAM SECONDS [SEED]}
SEED=${3:-$(( $(date +%s%N) / 1000 % 1000000 ))}
RANDOM=$SEED
e2e_start "$1" '[Table00]' 'TextValue=2' '[Table30]' 'TextValue=Hammer' '[Table60]' 'TextValue=40.00'

ACTIONS=() COUNT=0 RESTARTS=0
note() {
  ACTIONS+=("$COUNT: $*")
  [ ${#ACTIONS[@]} -le 50 ] || ACTIONS=("${ACTIONS[@]:1}")
}
report() {
  echo "monkey: $1 after $COUNT actions ($RESTARTS restarts), seed $SEED; the last actions:" >&2
  printf '  %s\n' "${ACTIONS[@]}" >&2
  fail "$1 (seed $SEED)"
}
# A normal end starts the program again; any other end is a crash.
check_ended() {
  kill -0 "$APP_PID" 2>/dev/null && return 0
  local status=0
  wait "$APP_PID" || status=$?
  [ $status -eq 0 ] || report "the program ended with status $status"
  grep -q 'ERROR: AddressSanitizer\|runtime error:' "$WORK/program.log" && report "a sanitizer report"
  RESTARTS=$((RESTARTS + 1))
  note "the program ended normally; started again"
  start_program
}

ESCAPED='^(Save Purchase Order Form File|Open Purchase Order Form File|Select Company Logo|Save Purchase Order as PDF|Print|Page Setup|Export PDF)'
PRINTABLE='0123456789.-,abcxyzABCXYZ %$'
ACCESS='xcpelsthoi2'
end=$((SECONDS + DURATION))
while [ $SECONDS -lt $end ]; do
  check_ended
  COUNT=$((COUNT + 1))
  # The topmost visible window of the program: the X server lists them bottom to top.
  top=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | tail -1)
  [ -n "$top" ] || { sleep 0.2; continue; }
  name=$(xdotool getwindowname "$top" 2>/dev/null) || continue
  geometry=$(xdotool getwindowgeometry --shell "$top" 2>/dev/null) || continue
  eval "$geometry"
  if [[ $name =~ $ESCAPED ]]; then
    xdotool windowfocus "$top" key Escape 2>/dev/null
    note "Escape in '$name'"
    sleep 0.2
    continue
  fi
  # A point inside the window and on the 1024x800 screen.
  w=$(( WIDTH < 1024 - X ? WIDTH : 1024 - X )); h=$(( HEIGHT < 800 - Y ? HEIGHT : 800 - Y ))
  px=$(( X + RANDOM % (w > 1 ? w : 1) )); py=$(( Y + RANDOM % (h > 1 ? h : 1) ))
  r=$((RANDOM % 100))
  if [ $r -lt 35 ]; then
    note "click $px,$py in '$name'"; xdotool mousemove $px $py click 1
  elif [ $r -lt 43 ]; then
    note "double-click $px,$py in '$name'"; xdotool mousemove $px $py click --repeat 2 --delay 60 1
  elif [ $r -lt 53 ]; then
    note "right-click $px,$py in '$name'"; xdotool mousemove $px $py click 3
  else
    xdotool windowfocus "$top" 2>/dev/null
    if [ $r -lt 75 ]; then
      c=${PRINTABLE:$((RANDOM % ${#PRINTABLE})):1}
      note "type '$c' in '$name'"; xdotool type -- "$c"
    elif [ $r -lt 80 ]; then note "Tab in '$name'"; xdotool key Tab
    elif [ $r -lt 85 ]; then note "Return in '$name'"; xdotool key Return
    elif [ $r -lt 90 ]; then note "Escape in '$name'"; xdotool key Escape
    else
      c=${ACCESS:$((RANDOM % ${#ACCESS})):1}
      note "Alt+$c in '$name'"; xdotool key "alt+$c"
    fi
  fi
  sleep 0.0$((RANDOM % 10))
  # Every few actions the program must answer within 10 seconds, modal loops and pauses included.
  if [ $((COUNT % 5)) -eq 0 ] && kill -0 "$APP_PID" 2>/dev/null; then
    if ! "$E2E_XWINDOW" ping "$SHEET" 10 && kill -0 "$APP_PID" 2>/dev/null; then
      xdotool search --onlyvisible --pid "$APP_PID" >/dev/null 2>&1 && report "no answer for 10 seconds"
    fi
  fi
done
check_ended
echo "monkey: $COUNT actions, $RESTARTS restarts, no crash (seed $SEED)"
echo "e2e: 1 passed, 0 failed"
