#!/usr/bin/env bash
# An order is found again: the program started with an order's path (as a file manager starts
# it) works on that order; the orders it opens and saves join the desktop's recent files, next
# to another program's entries, and the Load PO dialog offers them (Alt+R, by keys alone). A
# path that is no order gets a message and the start-up sheet, and is left as it was.
# Usage: order_files.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
ORDERS="$WORK/My Orders.2026"
mkdir -p "$ORDERS"
ORDER="$ORDERS/Order 17.pof"
printf '%s\r\n' '[Label2]' 'TextValue=Northwind Order' '[Table00]' 'TextValue=5' > "$ORDER"
LIST="$HOME/.local/share/recently-used.xbel"
mkdir -p "$(dirname "$LIST")"
cat > "$LIST" <<'XBEL'
<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0"
      xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info"
>
  <bookmark href="file:///home/someone/notes.txt" added="2026-01-02T10:00:00.000000Z" modified="2026-01-02T10:00:00.000000Z" visited="2026-01-02T10:00:00.000000Z">
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="text/plain"/>
        <bookmark:applications>
          <bookmark:application name="gedit" exec="&apos;gedit %u&apos;" modified="2026-01-02T10:00:00.000000Z" count="3"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
</xbel>
XBEL
OTHERS=$(sed -n '/<bookmark href="file:\/\/\/home\/someone/,/<\/bookmark>/p' "$LIST")

# Started on the order: what is typed goes into it.
PROGRAM_ARGS=("$ORDER")
start_program
read -r QX QY <<<"$(cell 20 1)"
type_at "$QX" "$QY" "7"
grep -q 'href="file://.*/My%20Orders.2026/Order%2017.pof"' "$LIST" || fail "the order is not in the recent files"
[ "$(sed -n '/<bookmark href="file:\/\/\/home\/someone/,/<\/bookmark>/p' "$LIST")" = "$OTHERS" ] ||
  fail "another program's entry changed"

# Save PO As a new order beside it; then Load PO offers both, the latest first: Alt+R, the
# second one down, Return opens it.
panel_button 100                         # "&Save PO As..."
use_window '^Save Purchase Order Form File'
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "$ORDERS/Order 18"
xdotool key Return
gone '^Save Purchase Order Form File'
use_window ' Saved\.\.\.'
xdotool key Escape                       # No: not loaded at the next start
gone ' Saved\.\.\.'
grep -q 'Order%2018.pof' "$LIST" || fail "the saved order is not in the recent files"
check_file "$ORDERS/Order 18.pof" Table01 TextValue 7
panel_button 3                           # "&Load PO..."
use_window '^Save Current File'
xdotool key Escape                       # No
use_window '^Open Purchase Order Form File'
sleep 0.3
xdotool key alt+r Down Down Return
gone '^Open Purchase Order Form File'
loaded
alive
read -r QX QY <<<"$(cell 20 2)"
type_at "$QX" "$QY" "9"
exit_saving
check_file "$ORDER" Table02 TextValue 9
check_file "$ORDER" Label2 TextValue "Northwind Order"
check_file "$ORDERS/Order 18.pof" Table02 TextValue ""
check Table01 ""                         # the start-up sheet was never written

# Paths that are no order: a message naming the path, the start-up sheet, nothing written.
mkfifo "$WORK/pipe.pof"
for bad in "$WORK/missing.pof" "$WORK/pipe.pof"; do
  PROGRAM_ARGS=("$bad")
  start_program
  use_message
  xdotool key Return
  no_message
  alive
  kill "$APP_PID"; wait "$APP_PID" 2>/dev/null
done
[ ! -e "$WORK/missing.pof" ] || fail "the missing order was made"
[ -p "$WORK/pipe.pof" ] || fail "the pipe was replaced"
echo "e2e: 1 passed, 0 failed"
