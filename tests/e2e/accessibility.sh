#!/usr/bin/env bash
# A screen reader's view (AT-SPI, on a private session bus of the test's own): roles and names
# of the windows, the amounts and the table, a press action that opens a text's editor, and
# the figures of a typed row told by events (accessibility.py).
# Usage: accessibility.sh PATH-TO-pelmora-po
if [ -z "${E2E_ON_PRIVATE_BUS:-}" ]; then
  E2E_ON_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'fd limit' >&2)
fi
source "$(dirname "$0")/lib.sh"
e2e_start_files "$1"
# The accessibility bus, on this session bus; Qt joins it as a screen reader would have it.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/atspi.log" 2>&1 &
ATSPI_PID=$!
trap 'kill $ATSPI_PID 2>/dev/null; cleanup' EXIT
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
E2E_LOCALE=C.UTF-8 # whatever the machine's: the days' names are compared in English
start_program
read -r CELL_X CELL_Y < <(cell 20 0)
TOMORROW=$(LC_ALL=C.UTF-8 date -d tomorrow '+%A %B %-d %Y') # the program's words, below
export CELL_X CELL_Y TOMORROW
# Debian's own Python, which the python3-pyatspi package serves.
/usr/bin/python3 "$(dirname "$0")/accessibility.py" || fail "a screen reader cannot read or use the sheet"
gone '^Enter Company Name$'
check Label2 "Read Aloud Co"
gone '^Set '                                # Return picked the day
check labelPODate "$(date -d tomorrow +%m/%d/%Y)"
alive
echo "e2e: 1 passed, 0 failed"
