#!/usr/bin/env bash
# The order reaches its vendor: "E-mail..." in the print preview (Ctrl+E) hands the desktop's
# mail program (here a handler of the test's own, registered for mailto: links in the test's
# home) the vendor's address, the subject "Purchase Order <number>" and the order's PDF. With
# no mail program the user is told where the PDF is.
# Usage: mail.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
command -v xdg-email >/dev/null || { echo "e2e: xdg-email (xdg-utils) is not installed"; exit 77; }
e2e_start_files "$1" '[labelPONumber]' 'TextValue=PO-2026/17' '[Label42]' 'TextValue=orders@northwind.example.com' \
  '[PONumber]' 'NoShow=1' '[TaxForm]' 'NoShow=1' \
  '[Table00]' 'TextValue=2' '[Table30]' 'TextValue=Hammer' '[Table50]' 'TextValue=3.50' '[Table60]' 'TextValue=7.00'
mkdir -p "$HOME/.local/share/applications" "$HOME/.config"
cat > "$WORK.home/record-mail" <<REC
#!/bin/sh
printf '%s\n' "\$@" > "$WORK.home/mail.url"
REC
chmod +x "$WORK.home/record-mail"
printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=Test Mail' "Exec=$WORK.home/record-mail %u" \
  'MimeType=x-scheme-handler/mailto;' > "$HOME/.local/share/applications/test-mail.desktop"
printf '%s\n' '[Default Applications]' 'x-scheme-handler/mailto=test-mail.desktop' > "$HOME/.config/mimeapps.list"
start_program

panel_button 289                         # "&Print"
PREVIEW=$(window 'Printout$')
xdotool windowfocus --sync "$PREVIEW"
sleep 0.5
xdotool key ctrl+e                       # "E-mail..."
wait_for 20 test -s "$WORK.home/mail.url" || fail "the mail program was given nothing"
URL=$(cat "$WORK.home/mail.url")
decode() { printf '%b' "${1//%/\\x}"; }
case "$URL" in
  mailto:orders@northwind.example.com\?*) ;;
  *) fail "not to the vendor: $URL" ;;
esac
SUBJECT=$(decode "$(sed -n 's/.*[?&]subject=\([^&]*\).*/\1/p' <<<"$URL")")
[ "$SUBJECT" = "Purchase Order PO-2026/17" ] || fail "subject '$SUBJECT' in $URL"
PDF=$(decode "$(sed -n 's/.*[?&]attach=\([^&]*\).*/\1/p' <<<"$URL")")
[ "$PDF" = "$HOME/.cache/pelmora-po/mail/PO-2026-17.pdf" ] || fail "attached '$PDF'"
TEXT=$(pdftotext "$PDF" -) || fail "no PDF at $PDF"
for want in PO-2026/17 Hammer 7.00; do
  grep -qF "$want" <<<"$TEXT" || fail "the PDF lacks '$want'"
done
[ "$(stat -c %a "$HOME/.cache/pelmora-po/mail")" = 700 ] || fail "the mail folder is open to others"
alive

# Without a mail program: told where the PDF is, the preview still open.
rm "$HOME/.config/mimeapps.list" "$HOME/.local/share/applications/test-mail.desktop" "$WORK.home/mail.url"
xdotool windowfocus --sync "$PREVIEW"
xdotool key ctrl+e
use_window '^No Mail Program$'
xdotool key Return
gone '^No Mail Program$'
[ ! -e "$WORK.home/mail.url" ] || fail "a mail program was started"
[ -s "$PDF" ] || fail "the PDF it names is not there"
xdotool windowfocus --sync "$PREVIEW"
xdotool key Escape
gone 'Printout$'
alive
echo "e2e: 1 passed, 0 failed"
