# Sourced by each real-window test: the program copied alone into a fresh folder, run in a
# private X server and driven as a person would with xdotool.
#
#   e2e_start PROGRAM [SHEET-LINES]  copies the program, writes template.ini, starts both
#                                    (on a screen of E2E_SCREEN, default 1024x800x24)
#   e2e_start_files PROGRAM [LINES]  the same without starting the program
#   start_program                    starts the program again, after it has ended, and
#                                    waits for its load to end
#                                    (under the locale E2E_LOCALE when it is set, given
#                                    the arguments in the array PROGRAM_ARGS)
#   window NAME-REGEX                the id of the program's visible window of that title
#   click X Y [BUTTON] / dclick X Y  at screen coordinates
#   type_at X Y TEXT                 a click there, then TEXT typed
#   cell COLUMN-X ROW                screen point inside a cell of the line-item table
#   at X Y                           screen point of a point of the sheet's scroll box
#   use_window NAME-REGEX            focuses that window; WX, WY are then its top-left corner
#   use_message / no_message         the program's message titled as the sheet is: focus
#                                    (MESSAGE is then its id) / gone
#   press X Y / rate_cell ROW        a button of that window / a tax dialog's percentage cell
#   type_rate ROW TEXT               TEXT typed into that cell, in place of what it held
#   loaded                           waits for a load's progress window to come and go
#   stored SECTION [KEY]             a value of the sheet file, as saved
#   alive                            fails unless the program still runs
#   start_openbox                    a window manager (openbox) on the test's X server
#   load_po NAME                     Load PO, No to saving first, NAME (in the program's folder)
#                                    chosen; returns as the load begins
#   start_on_blank                   the sheet file becomes "blank.ini" and the program starts
#                                    anew on it (SHEETFILE follows)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xserver.sh"

WORK=$(mktemp -d)
APP_PID="" XVFB_PID=""
PROGRAM_ARGS=()
SHEETFILE="$WORK/template.ini"
CUPSD_PID=""
cleanup() {
  kill $APP_PID $XVFB_PID $CUPSD_PID 2>/dev/null
  [ -z "$CUPSD_PID" ] || wait "$CUPSD_PID" 2>/dev/null # it writes its state as it ends
  rm -rf "$WORK" "$WORK.home"
}
trap cleanup EXIT
# The program's home and runtime folders are the test's own, never the user's, and lie
# outside the program's folder, whose listing the file dialogs show.
export HOME="$WORK.home/home" XDG_RUNTIME_DIR="$WORK.home/run"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() {
  echo "e2e: $*" >&2
  [ -s "$WORK/program.log" ] && sed 's/^/program: /' "$WORK/program.log" | head -60 >&2
  [ -n "${E2E_SHOT:-}" ] && import -window root "$E2E_SHOT" 2>/dev/null
  # Inside $(...) an exit would end only that subshell: end the test itself.
  [ "$BASH_SUBSHELL" -eq 0 ] || kill -TERM $$
  exit 1
}
trap 'exit 1' TERM

# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

window() {
  wait_for 10 xdotool search --onlyvisible --name "$1" || fail "no window '$1'"
  xdotool search --onlyvisible --name "$1" | head -1
}

# Waits for a load (its progress window "Loading ...") to end: input made meanwhile is dropped.
loaded() {
  wait_for 3 xdotool search --onlyvisible --name '^Loading'
  wait_for 15 bash -c "! xdotool search --onlyvisible --name '^Loading'" || fail "the load did not end"
}

# Fails unless the window of that title has closed within 5 seconds.
gone() {
  wait_for 5 bash -c "! xdotool search --onlyvisible --name '$1'" || fail "'$1' stayed open"
}

e2e_start() {
  e2e_start_files "$@"
  start_program
}
e2e_start_files() {
  cp "$1" "$WORK/pelmora-po"
  printf '%s\r\n' '[Label2]' 'TextValue=Acme Tools Ltd.' "${@:2}" > "$SHEETFILE"
  start_xserver "$WORK" "${E2E_SCREEN:-1024x800x24}" || fail "Xvfb did not start"
}

# Starts the program in its folder and waits for the sheet, then makes it tall enough for
# the whole sheet, so that nothing needs scrolling (on the default screen, not on E2E_SCREEN).
start_program() {
  # A real window on the X server, whatever platform the test runner chose for others.
  (cd "$WORK" && [ -z "${E2E_LOCALE:-}" ] || export LC_ALL="$E2E_LOCALE"
   QT_QPA_PLATFORM=xcb exec ./pelmora-po "${PROGRAM_ARGS[@]}") >>"$WORK/program.log" 2>&1 &
  APP_PID=$!
  # The sheet shows, then fills in behind its load's progress window.
  wait_for 30 xdotool search --onlyvisible --name '^The Purchase Order Form$' || fail "the sheet never showed"
  SHEET=$(xdotool search --onlyvisible --name '^The Purchase Order Form$' | head -1)
  eval "$(xdotool getwindowgeometry --shell "$SHEET")"
  SX=$X; SY=$Y
  [ -n "${E2E_SCREEN:-}" ] || xdotool windowsize --sync "$SHEET" 786 790
  loaded
  xdotool windowfocus --sync "$SHEET"
}

click() { xdotool mousemove "$1" "$2" click "${3:-1}"; sleep 0.3; }
# Clicks X Y (a cell, say) and types TEXT there.
type_at() { click "$1" "$2"; xdotool type --delay 50 "$3"; }
dclick() { xdotool mousemove "$1" "$2" click --repeat 2 --delay 80 1; sleep 0.5; }

# The table starts at 4,387 inside the scroll box at 4,7; rows are 21 high.
cell() { echo $((SX + 4 + 2 + 4 + $1)) $((SY + 7 + 2 + 387 + 10 + 21 * $2)); }

# The scroll box lies at 4,7 in the sheet window, inside a 2-pixel frame.
at() { echo $((SX + 4 + 2 + $1)) $((SY + 7 + 2 + $2)); }

# In the tax dialog found by use_window: the percentage cell of ROW (1 = the first line item).
# Its grid lies at 11,11, the percentage column starts at 284, rows are 21 high.
rate_cell() { echo $((WX + 11 + 2 + 284 + 30)) $((WY + 11 + 2 + 21 * $1 + 10)); }
# In that dialog: clicks ROW's percentage cell, empties it and types TEXT there.
type_rate() {
  local rx ry
  read -r rx ry <<<"$(rate_cell "$1")"
  click "$rx" "$ry"
  xdotool key ctrl+a BackSpace
  xdotool type --delay 60 -- "$2"
  sleep 0.4
}

# Focuses the program's message of the sheet's own title ("The Purchase Order Form"), the one
# window of that title that is not the sheet; WX, WY are then its top-left corner.
use_message() {
  wait_for 10 bash -c "xdotool search --onlyvisible --name '^The Purchase Order Form\$' | grep -qvx '$SHEET'" ||
    fail "no message titled 'The Purchase Order Form'"
  local w
  w=$(xdotool search --onlyvisible --name '^The Purchase Order Form$' | grep -vx "$SHEET" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$w")"
  WX=$X; WY=$Y MESSAGE=$w
  xdotool windowfocus --sync "$w"
}
# Fails unless no such message is open within 5 seconds.
no_message() {
  wait_for 5 bash -c "! xdotool search --onlyvisible --name '^The Purchase Order Form\$' | grep -qvx '$SHEET'" ||
    fail "the message titled 'The Purchase Order Form' stayed open"
}

use_window() {
  local w
  w=$(window "$1")
  eval "$(xdotool getwindowgeometry --shell "$w")"
  WX=$X; WY=$Y
  xdotool windowfocus --sync "$w"
}

# Presses the button of the focused window (found by use_window) whose top-left is X Y.
press() { click $((WX + $1 + 10)) $((WY + $2 + 10)); }

# Right-clicks the sheet's background below the table and presses a panel button at x.
panel_button() {
  click $((SX + 200)) $((SY + 620)) 3
  local panel
  panel=$(window 'Purchase Order Form Menubar')
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  xdotool windowfocus --sync "$panel"
  click $((X + $1 + 46)) $((Y + 2 + 12))
}

stored() {
  awk -v s="[$1]" -v k="${2:-TextValue}=" 'BEGIN{RS="\r\n"} $0==s{f=1;next} /^\[/{f=0}
    f && index($0,k)==1 {print substr($0,length(k)+1); exit}' "$SHEETFILE"
}
check() {
  local got
  got=$(stored "$1" "${3:-TextValue}")
  [ "$got" = "$2" ] || fail "$1 is '$got', expected '$2'"
}
# Fails unless FILE's SECTION holds KEY=VALUE.
check_file() {
  local got
  got=$(SHEETFILE="$1" stored "$2" "$3")
  [ "$got" = "$4" ] || fail "$1 [$2] $3 is '$got', expected '$4'"
}
start_openbox() {
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  WM_PID=$!
  trap 'kill $WM_PID 2>/dev/null; cleanup' EXIT
  wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK || fail "openbox did not start"
}
load_po() {
  panel_button 3                         # "&Load PO..."
  use_window '^Save Current File'
  xdotool key Escape                     # No
  use_window '^Open Purchase Order Form File'
  sleep 0.3
  xdotool type --delay 30 "$1"
  xdotool key Return
  gone '^Open Purchase Order Form File'
}
start_on_blank() {
  [ -z "$APP_PID" ] || { kill "$APP_PID"; wait "$APP_PID" 2>/dev/null; }
  mv "$SHEETFILE" "$WORK/blank.ini"
  SHEETFILE="$WORK/blank.ini"
  start_program
}
alive() { kill -0 "$APP_PID" 2>/dev/null || { wait "$APP_PID"; fail "the program died (exit $?)"; }; }

# Exit with saving, through the panel and the exit question; the program must end.
exit_saving() {
  panel_button 479   # "E&xit"
  local q
  q=$(window '^Pelmora PO Form$')
  xdotool windowfocus --sync "$q"
  xdotool key Return   # "E&xit Program" holds the focus; the box stays ticked
  wait_for 15 bash -c "! kill -0 $APP_PID" || fail "the program did not end"
}

# Writes a 24-bit BMP picture of WIDTH x HEIGHT pixels in one colour (blue, green, red bytes).
bmp() {
  local file=$1 w=$2 h=$3 colour=${4:-'\xc0\x60\x20'}
  local row=$(( (w * 3 + 3) / 4 * 4 )) pad x y
  le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
  {
    printf 'BM'; le32 $((54 + row * h)); le32 0; le32 54
    le32 40; le32 "$w"; le32 "$h"; printf '\x01\x00\x18\x00'; le32 0; le32 $((row * h))
    le32 2835; le32 2835; le32 0; le32 0
    pad=$(printf '%*s' $((row - w * 3)) '' | tr ' ' '\0')
    for ((y = 0; y < h; y++)); do
      for ((x = 0; x < w; x++)); do printf "$colour"; done
      printf '%s' "$pad"
    done
  } > "$file"
}

# Starts a CUPS scheduler of the test's own (as root, on a socket beside the test folder)
# with one queue, "po-pdf", the default, whose device writes each job into $CUPS_OUT/job.pdf.
# The program started afterwards prints there (CUPS_SERVER).
start_cups() {
  local d="$WORK.home/cups" x
  CUPS_DIR=$d CUPS_OUT="$d/out"
  mkdir -p "$d"/{spool,cache,state,log,tmp,bin/backend} && mkdir -m 1777 "$CUPS_OUT"
  for x in cgi-bin daemon filter monitor notifier; do ln -s "/usr/lib/cups/$x" "$d/bin/$x"; done
  cat >"$d/bin/backend/po-file" <<'BACKEND'
#!/bin/sh
# The queue's device: the job's data into the file its URI names (po-file:/path).
[ $# -eq 0 ] && { echo 'file po-file "Unknown" "Job data to a file"'; exit 0; }
if [ $# -ge 6 ]; then cat "$6"; else cat; fi > "${DEVICE_URI#po-file:}"
BACKEND
  chmod 700 "$d/bin/backend/po-file" # run as root: the test folders are private
  printf '%s\n' "Listen $d/cups.sock" 'LogLevel info' 'Browsing No' 'WebInterface No' \
    'DefaultAuthType None' '<Location />' '  Order allow,deny' '  Allow all' '</Location>' \
    '<Policy default>' '  <Limit All>' '    Order deny,allow' '  </Limit>' '</Policy>' >"$d/cupsd.conf"
  printf '%s\n' "ServerRoot $d" "RequestRoot $d/spool" "CacheDir $d/cache" "StateDir $d/state" \
    "TempDir $d/tmp" "ServerBin $d/bin" 'DataDir /usr/share/cups' 'Printcap /dev/null' \
    "ErrorLog $d/log/error_log" "AccessLog $d/log/access_log" "PageLog $d/log/page_log" \
    >"$d/cups-files.conf"
  cupsd -f -c "$d/cupsd.conf" -s "$d/cups-files.conf" >"$d/log/cupsd.out" 2>&1 &
  CUPSD_PID=$!
  export CUPS_SERVER="$d/cups.sock"
  # The scheduler takes requests once it listens; until then lpadmin is refused, so it is
  # tried again (adding the same queue twice is harmless).
  wait_for 10 test -S "$d/cups.sock" || fail "cupsd did not start: $(cat "$d/log/cupsd.out")"
  wait_for 10 lpadmin -p po-pdf -E -v "po-file:$CUPS_OUT/job.pdf" -m raw &&
    wait_for 10 lpadmin -d po-pdf || fail "no print queue: $(tail -5 "$d/log/error_log")"
}
