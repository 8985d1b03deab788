#!/usr/bin/env bash
# Printing from the preview through the print dialog into a real CUPS queue: the job carries
# the printout's title and its PDF holds the order's page; the preview closes after it.
# Usage: print_queue.sh PATH-TO-pelmora-po   (as root: it runs a CUPS scheduler of its own)
if [ "$(id -u)" -ne 0 ]; then
  echo "e2e: skipped: a CUPS scheduler of the test's own needs root"
  exit 77
fi
source "$(dirname "$0")/lib.sh"
cp "$1" "$WORK/pelmora-po"
printf '%s\r\n' '[Label2]' 'TextValue=Acme Tools Ltd.' '[TaxForm]' 'NoShow=1' '[PONumber]' 'NoShow=1' \
  '[Table00]' 'TextValue=2' '[Table30]' 'TextValue=Hammer' > "$SHEETFILE"
start_cups
start_xserver "$WORK" 1024x800x24 || fail "Xvfb did not start"
start_program

panel_button 289                         # "&Print": both checks are switched off
use_window 'Printout$'
title=$(xdotool getwindowname "$(window 'Printout$')")
[[ $title =~ ^Pelmora\ PO\ Form:\ PO\ Number\ .+\ Printout$ ]] || fail "preview titled '$title'"
click $((WX + 671)) $((WY + 19))         # the preview's Print button
use_window '^Print$'
sleep 0.5
xdotool key Return                       # "Print", to the default queue
gone '^Print$'
wait_for 20 test -s "$CUPS_OUT/job.pdf" || fail "no job reached the queue: $(tail -5 "$CUPS_DIR/log/error_log")"
wait_for 10 bash -c "lpstat -W completed -o po-pdf | grep -q po-pdf" || fail "the job did not complete"
pages=$(pdfinfo "$CUPS_OUT/job.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || fail "the job has '$pages' pages"
text=$(pdftotext "$CUPS_OUT/job.pdf" - 2>/dev/null)
for want in "Acme Tools Ltd." "Hammer" "PURCHASE ORDER"; do
  grep -qF -- "$want" <<<"$text" || fail "the printed page lacks '$want'"
done
# The scheduler keeps each job's attributes in its spool folder, written soon after the job.
wait_for 15 bash -c 'grep -aqF -- "$1" "$2"/spool/c*' _ "$title" "$CUPS_DIR" ||
  fail "no job titled '$title'"
gone 'Printout$'                         # a print from the preview ends the preview
alive
echo "e2e: 1 passed, 0 failed"
