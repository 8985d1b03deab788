#!/usr/bin/env bash
# With the package installed: the desktop knows an order by its name (xdg-mime), and opening
# one as a file manager does (xdg-open, through the desktop entry's %f) starts the program on
# it. Run under an X server (xvfb-run); scripts/fresh-machine.sh runs it in the fresh root.
set -uo pipefail
WORK=$(mktemp -d)
trap 'kill $PID 2>/dev/null; rm -rf "$WORK"' EXIT
PID=""
fail() { echo "open_from_desktop: $*" >&2; [ -s "$WORK/open.log" ] && cat "$WORK/open.log" >&2; exit 1; }
ORDER="$WORK/Desk Order.pof"
printf '[Label2]\r\nTextValue=Desktop Order\r\n' > "$ORDER"

type=$(xdg-mime query filetype "$ORDER")
[ "$type" = application/x-pelmora-po ] || fail "a .pof file is '$type'"
[ "$(xdg-mime query default application/x-pelmora-po)" = pelmora-po.desktop ] || fail "no program opens an order"

xdg-open "$ORDER" >"$WORK/open.log" 2>&1 &
for _ in $(seq 150); do
  PID=$(xdotool search --onlyvisible --name '^The Purchase Order Form$' getwindowpid 2>/dev/null | head -1)
  [ -n "$PID" ] && break
  sleep 0.1
done
[ -n "$PID" ] || fail "xdg-open showed no sheet"
args=$(tr '\0' '\n' <"/proc/$PID/cmdline")
grep -qxF "$ORDER" <<<"$args" || fail "the program was not given the order: $args"
echo "open_from_desktop: xdg-open on an order starts the program on it"
