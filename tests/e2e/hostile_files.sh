#!/usr/bin/env bash
# Hostile files through the real program, each as the start-up sheet or as its logo: the
# window shows and answers a right-click within 2 s, peak memory stays under 1 GB, a refused
# sheet is named in a message, and nothing is written that the user did not ask for.
# Usage: hostile_files.sh PATH-TO-pelmora-po   (E2E_PICTURE: the test-picture writer)
source "$(dirname "$0")/lib.sh"
[ -x "${E2E_PICTURE:-}" ] || fail "no test-picture writer"
e2e_start "$1"
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null
ELSEWHERE="$WORK.home/elsewhere"
mkdir -p "$ELSEWHERE"

# One row: the program starts on the present template.ini, shows, names a refused file in a
# message when $2 is "message", answers a right-click on the sheet within 2 s and has stayed
# under 1 GB; then it is ended without saving.
row() {
  local what=$1 peak
  start_program
  if [ "${2:-}" = message ]; then
    use_message # titled as the program is
    xdotool key Return
    no_message
  fi
  xdotool mousemove $((SX + 200)) $((SY + 620)) click 3
  wait_for 2 xdotool search --onlyvisible --name 'Purchase Order Form Menubar' ||
    fail "$what: no answer to a right-click within 2 s"
  alive
  peak=$(awk '/^VmHWM/ {print $2}' "/proc/$APP_PID/status")
  [ "$peak" -lt 1048576 ] || fail "$what: peak memory $peak kB"
  echo "e2e: $what: peak memory $((peak / 1024)) MB"
  kill "$APP_PID"; wait "$APP_PID" 2>/dev/null
}
sheet_with_logo() { printf '%s\r\n' '[Label2]' 'TextValue=Acme' '[Image1]' "TextValue=$1" > "$SHEETFILE"; }

"$E2E_PICTURE" "$ELSEWHERE/big.jpg" 6320 6320 || fail "no test picture"
sheet_with_logo "$ELSEWHERE/big.jpg"
row "a 6320 x 6320 JPEG as the logo"

ln -s /proc/self/pagemap "$ELSEWHERE/pagemap.jpg"
sheet_with_logo "$ELSEWHERE/pagemap.jpg"
row "a link to /proc/self/pagemap as the logo"

# A metafile header saying its largest record is 3.6 GB, and a little more.
printf '\x01\x00\x09\x00\x00\x03\x14\x00\x00\x00\x00\x00\x00\xd2\x49\x6b\x00\x00' > "$ELSEWHERE/tiny.wmf"
printf '\x03\x00\x00\x00\x00\x00\x05\x00\x00\x00\x0b\x02\x00\x00\x00\x00\x00' >> "$ELSEWHERE/tiny.wmf"
sheet_with_logo "$ELSEWHERE/tiny.wmf"
row "a 35-byte WMF as the logo"

mkfifo "$ELSEWHERE/pipe.jpg"
sheet_with_logo "$ELSEWHERE/pipe.jpg"
row "a FIFO as the logo"

{ printf '[Label2]\r\nTextValue=Huge\r\n'; yes 'a=b' | head -c 200M; } > "$SHEETFILE"
before=$(cksum < "$SHEETFILE")
row "a 200 MB sheet of short lines" message
[ "$(cksum < "$SHEETFILE")" = "$before" ] || fail "the 200 MB sheet was written"

{ printf '[Label2]\r\n'; yes 'TextValue=x' | head -c 238M; } > "$SHEETFILE"
before=$(cksum < "$SHEETFILE")
row "a 238 MB sheet of one key repeated" message
[ "$(cksum < "$SHEETFILE")" = "$before" ] || fail "the 238 MB sheet was written"

printf '%s\r\n' '[Label2]' 'TextValue=Linked Co.' > "$ELSEWHERE/real.pof"
rm -f "$SHEETFILE" && ln -s "$ELSEWHERE/real.pof" "$SHEETFILE"
before=$(cksum < "$ELSEWHERE/real.pof")
row "the sheet as a link to a file elsewhere"
[ -L "$SHEETFILE" ] && [ "$(cksum < "$ELSEWHERE/real.pof")" = "$before" ] || fail "the linked sheet changed"

rm -f "$SHEETFILE" && ln -s "$ELSEWHERE/none.pof" "$SHEETFILE"
row "a dangling link as the sheet"
[ ! -e "$ELSEWHERE/none.pof" ] || fail "the dangling link's file was created"

rm -f "$SHEETFILE" && ln -s template.ini "$SHEETFILE"
row "a link loop as the sheet"
[ -L "$SHEETFILE" ] || fail "the link loop was replaced"
echo "e2e: 1 passed, 0 failed"
