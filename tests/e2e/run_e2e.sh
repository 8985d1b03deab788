#!/usr/bin/env bash
# End to end in a real X server: the program copied alone into a fresh folder with a
# prepared template.ini, driven as a person would with xdotool: type a line item,
# right-click the sheet, Exit with saving. Then the saved file is checked.
# Usage: run_e2e.sh PATH-TO-pelmora-po
set -uo pipefail
PROGRAM=$1
WORK=$(mktemp -d)
source "$(dirname "$0")/xserver.sh"
APP_PID="" XVFB_PID=""
trap 'kill $APP_PID $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
fail() {
  echo "e2e: $*" >&2
  [ -s "$WORK/program.log" ] && sed 's/^/program: /' "$WORK/program.log" | head -60 >&2
  [ -n "${E2E_SHOT:-}" ] && import -window root "$E2E_SHOT" 2>/dev/null
  exit 1
}

# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

cp "$PROGRAM" "$WORK/pelmora-po"
printf '[Label2]\r\nTextValue=Acme Tools Ltd.\r\n' > "$WORK/template.ini"

start_xserver "$WORK" 1024x800x24 || fail "Xvfb did not start"

# A real window on the X server, whatever platform the test runner chose for others.
(cd "$WORK" && QT_QPA_PLATFORM=xcb exec ./pelmora-po) >"$WORK/program.log" 2>&1 &
APP_PID=$!
# The sheet is loaded when its window is mapped (the load runs before it shows).
wait_for 30 xdotool search --onlyvisible --name '^PurchaseOrderForm$' || fail "the sheet never showed"
SHEET=$(xdotool search --onlyvisible --name '^PurchaseOrderForm$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$SHEET")"
SX=$X; SY=$Y
xdotool windowfocus --sync "$SHEET"

# The table starts at 4,387 inside the scroll box at 4,7; rows are 21 high.
cell() { echo $((SX + 4 + 2 + 4 + $1)) $((SY + 7 + 2 + 387 + 10)); }
read -r QX QY <<<"$(cell 20)"      # quantity, row 0
read -r PX PY <<<"$(cell 640)"     # unit price, row 0
xdotool mousemove "$QX" "$QY" click 1
sleep 0.3
xdotool type --delay 50 "3"
xdotool mousemove "$PX" "$PY" click 1
sleep 0.3
xdotool type --delay 50 "2.5"
sleep 0.3

# Right-click the sheet's background, below the table.
xdotool mousemove $((SX + 200)) $((SY + 620)) click 3
wait_for 10 xdotool search --onlyvisible --name 'Purchase Order Form Menubar' || fail "no command panel"
PANEL=$(xdotool search --onlyvisible --name 'Purchase Order Form Menubar' | head -1)
eval "$(xdotool getwindowgeometry --shell "$PANEL")"
xdotool windowfocus --sync "$PANEL"
xdotool mousemove $((X + 479 + 46)) $((Y + 2 + 12)) click 1   # "E&xit"
wait_for 10 xdotool search --onlyvisible --name '^Pelmora PO Form$' || fail "no exit question"
EXITQ=$(xdotool search --onlyvisible --name '^Pelmora PO Form$' | head -1)
xdotool windowfocus --sync "$EXITQ"
xdotool key Return   # "E&xit Program" holds the focus; the box stays ticked

wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the program did not end"

SHEETFILE="$WORK/template.ini"
value() { awk -v s="[$1]" 'BEGIN{RS="\r\n"} $0==s{f=1;next} /^\[/{f=0} f && /^TextValue=/{sub(/^TextValue=/,"");print;exit}' "$SHEETFILE"; }
check() { [ "$(value "$1")" = "$2" ] || fail "$1 is '$(value "$1")', expected '$2'"; }
check Table00 3
check Table50 2.5
check Table60 7.50
check Label14 7.50
check Label19 7.50
check Label2 "Acme Tools Ltd."
sections=$(grep -c '^\[' "$SHEETFILE")
[ "$sections" -ge $((2 + 50 + 63)) ] || fail "only $sections sections saved"
echo "e2e: 1 passed, 0 failed"
