#!/usr/bin/env bash
# Edits killed as they are stored: the company name is given a new text and a new font (by
# turns Liberation Serif and Liberation Mono) and the program is killed within 10 ms of the dialog's
# Close. After each kill the file holds every edit whole or not at all: each text's parity
# matches its font.
# Usage: kill_during_edits.sh PATH-TO-pelmora-po [RUNS]
source "$(dirname "$0")/lib.sh"
RUNS=${2:-6}
e2e_start "$1"
RANDOM=20261208
families=("Liberation Serif" "Liberation Mono") # no family name begins another

for ((run = 1; run <= RUNS; run++)); do
  [ "$run" -eq 1 ] || start_program
  read -r LX LY <<<"$(at 60 15)"          # Label2, the company name
  click "$LX" "$LY"
  use_window '^Enter Company Name'
  xdotool key ctrl+a
  xdotool type --delay 20 "$run Acme Tools"
  press 37 62                              # "Set Font..."
  use_window '^Select Font'
  xdotool key ctrl+a
  xdotool type --delay 20 "${families[run % 2]}"
  xdotool key Return
  gone '^Select Font'
  use_window '^Enter Company Name'
  # "&Close" stores the edit on its release: the kill races the release by up to 10 ms.
  xdotool mousemove $((WX + 142 + 10)) $((WY + 62 + 10)) mousedown 1
  sleep 0.1
  xdotool mouseup 1 &
  release=$!
  sleep "0.00$((RANDOM % 10))"
  kill -KILL "$APP_PID"
  wait "$APP_PID" 2>/dev/null
  wait "$release"

  text=$(stored Label2) font=$(stored Label2 FontName)
  case "$text" in
    "Acme Tools Ltd.") [ -z "$font" ] || fail "run $run: the old text with the font '$font'" ;;
    [0-9]*" Acme Tools") [ "$font" = "${families[${text%% *} % 2]}" ] ||
                          fail "run $run: text '$text' with the font '$font'" ;;
    *) fail "run $run: the text is '$text'" ;;
  esac
  echo "e2e: run $run: '$text' in '${font:-its old font}'"
done
echo "e2e: 1 passed, 0 failed"
