#!/usr/bin/env bash
# The date picker: one day back with the arrow key, a font by Set Font, then Close; the date
# label is stored with the picked date in the picked font.
# Usage: date_picker.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r DX DY <<<"$(at 610 156)"         # labelPODate
click "$DX" "$DY"
use_window '^Set Purchase Order Date'
xdotool key Left                         # the calendar holds the focus, on today
press 24 177                             # "Set Font..."
use_window '^Select Font'
xdotool key ctrl+a
xdotool type --delay 40 "DejaVu Sans Mono"
xdotool key Return
gone '^Select Font'
use_window '^Set Purchase Order Date'
press 129 177                            # "&Close"
gone '^Set Purchase Order Date'
alive
# Month, day, year of yesterday, with the locale's date separator between them.
expected=$(date -d yesterday +%m.%d.%Y)
got=$(stored labelPODate)
[[ $got =~ ^${expected:0:2}.${expected:3:2}.${expected:6:4}$ ]] || fail "date '$got', expected $expected"
check labelPODate "DejaVu Sans Mono" FontName
echo "e2e: 1 passed, 0 failed"
