#!/usr/bin/env bash
# Under locales whose separators the files can hold (de_DE) the amounts and the date use
# them; under one whose separators they cannot hold (ar_EG) "." and "/" stand in, so that a
# saved order still adds up after a restart.
# Usage: locales.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
cp "$1" "$WORK/pelmora-po"
start_xserver "$WORK" 1024x800x24 || fail "Xvfb did not start"
today=$(date +%m.%d.%Y)

for case in "de_DE.UTF-8 , ." "ar_EG.UTF-8 . /"; do
  read -r E2E_LOCALE decimal dateSep <<<"$case"
  printf '%s\r\n' '[Label2]' 'TextValue=Acme Tools Ltd.' > "$SHEETFILE"
  start_program
  read -r QX QY <<<"$(cell 20 0)"
  read -r PX PY <<<"$(cell 640 0)"
  click "$QX" "$QY"
  xdotool type --delay 50 "2"
  click "$PX" "$PY"
  xdotool type --delay 50 "3"
  sleep 0.3
  exit_saving
  check Table60 "6${decimal}00"
  check Label14 "6${decimal}00"
  check labelPODate "${today:0:2}$dateSep${today:3:2}$dateSep${today:6:4}"
done
echo "e2e: 1 passed, 0 failed"
