#!/usr/bin/env bash
# In a Wayland session (a headless weston with a socket of the test's own) that also has an X
# server, the program runs on X when no Qt platform was chosen: its sheet shows on the X
# display and the command panel opens at the right-click, where the program puts it. With no
# X display it runs natively, its pop-ups the sheet's children.
# Usage: wayland.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
cp "$1" "$WORK/pelmora-po"
printf '%s\r\n' '[Label2]' 'TextValue=Acme Tools Ltd.' > "$SHEETFILE"
start_xserver "$WORK" 1024x800x24 || fail "Xvfb did not start"

ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  fail "Qt's Wayland plugin (qt6-wayland) is not installed"
weston --backend=headless-backend.so --socket=po-e2e-wayland --idle-time=0 >"$WORK/weston.log" 2>&1 &
WESTON_PID=$!
trap 'kill $WESTON_PID 2>/dev/null; cleanup' EXIT
wait_for 10 test -S "$XDG_RUNTIME_DIR/po-e2e-wayland" || fail "weston did not start: $(tail -3 "$WORK/weston.log")"

# Right-clicks the sheet and prints where the panel lands.
panel_position() {
  click $((SX + 200)) $((SY + 620)) 3
  eval "$(xdotool getwindowgeometry --shell "$(window '^Purchase Order Form Menubar')")"
  echo "$X,$Y"
}

# On X, as the user would have chosen it.
start_program
ON_X=$(panel_position)
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^The Purchase Order Form\$'" || fail "the first run did not end"

# In the Wayland session, no platform chosen.
(cd "$WORK" && unset QT_QPA_PLATFORM &&
 WAYLAND_DISPLAY=po-e2e-wayland XDG_SESSION_TYPE=wayland exec ./pelmora-po) >>"$WORK/program.log" 2>&1 &
APP_PID=$!
wait_for 30 xdotool search --onlyvisible --name '^The Purchase Order Form$' ||
  fail "the sheet never showed on the X display"
SHEET=$(xdotool search --onlyvisible --name '^The Purchase Order Form$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$SHEET")"
SX=$X; SY=$Y
loaded
IN_WAYLAND=$(panel_position)
[ "$IN_WAYLAND" = "$ON_X" ] || fail "the panel is at $IN_WAYLAND in the Wayland session, at $ON_X on X"
alive
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null

# With no X display it runs natively, and its pop-ups are the sheet's: the progress window of
# the start-up load is made the sheet's child (Wayland's protocol log, WAYLAND_DEBUG).
(cd "$WORK" && unset QT_QPA_PLATFORM DISPLAY &&
 WAYLAND_DISPLAY=po-e2e-wayland XDG_SESSION_TYPE=wayland WAYLAND_DEBUG=client exec ./pelmora-po) \
  >"$WORK/wayland.log" 2>&1 &
APP_PID=$!
toplevel() { grep -o "xdg_toplevel@[0-9]*\.set_title(\"$1" "$WORK/wayland.log" | head -1 | cut -d. -f1; }
wait_for 15 bash -c "grep -q 'set_title(\"Loading' '$WORK/wayland.log'" || fail "no progress window in the native run"
SHEET_TOP=$(toplevel 'The Purchase Order Form')
PROGRESS_TOP=$(toplevel 'Loading')
grep -q "$PROGRESS_TOP\.set_parent($SHEET_TOP)" "$WORK/wayland.log" ||
  fail "the progress window ($PROGRESS_TOP) is not the sheet's ($SHEET_TOP) child in the native run"
sleep 1
alive
echo "e2e: 1 passed, 0 failed"
