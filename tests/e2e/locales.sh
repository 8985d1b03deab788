#!/usr/bin/env bash
# Under locales whose separators the files can hold (de_DE) the amounts and the date use
# them; under one whose separators they cannot hold (ar_EG) "." and "/" stand in, so that a
# saved order still adds up after a restart. Under ps_AF the C library's own locale is made
# too (its decimal point is two bytes in UTF-8), and the amounts still read "6.00".
# Usage: locales.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
cp "$1" "$WORK/pelmora-po"
start_xserver "$WORK" 1024x800x24 || fail "Xvfb did not start"
today=$(date +%m.%d.%Y)
# A private C library locale: nothing is installed into the system for it.
export LOCPATH="$WORK/locale"
mkdir -p "$LOCPATH"
localedef -c -i ps_AF -f UTF-8 "$LOCPATH/ps_AF.UTF-8" 2>/dev/null
[ -d "$LOCPATH/ps_AF.UTF-8" ] || fail "localedef could not make ps_AF.UTF-8"
[ "$(LC_ALL=ps_AF.UTF-8 locale decimal_point 2>/dev/null)" = "٫" ] || fail "the C library does not use ps_AF"

for case in "de_DE.UTF-8 , ." "ar_EG.UTF-8 . /" "ps_AF.UTF-8 . /"; do
  read -r E2E_LOCALE decimal dateSep <<<"$case"
  printf '%s\r\n' '[Label2]' 'TextValue=Acme Tools Ltd.' > "$SHEETFILE"
  start_program
  read -r QX QY <<<"$(cell 20 0)"
  read -r PX PY <<<"$(cell 640 0)"
  type_at "$QX" "$QY" "2"
  type_at "$PX" "$PY" "3"
  sleep 0.3
  exit_saving
  check Table60 "6${decimal}00"
  check Label14 "6${decimal}00"
  check labelPODate "${today:0:2}$dateSep${today:3:2}$dateSep${today:6:4}"
done
echo "e2e: 1 passed, 0 failed"
