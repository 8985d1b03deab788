# Sourced by the real-window tests: a private X server of their own.
#
# start_xserver FOLDER [SCREEN] starts Xvfb on a display it picks itself (-displayfd: never a
# fixed or random number that another server may hold), waits until it reports that display,
# and exports DISPLAY and XVFB_PID. -noreset keeps the server from resetting when its last
# client disconnects, during which a connecting client would be refused.
start_xserver() {
  local folder=$1 screen=${2:-1024x800x24} number="" end=$((SECONDS + 15))
  local report="$folder/xvfb-display"
  : >"$report"
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$screen" 3>"$report" >"$folder/xvfb.log" 2>&1 &
  XVFB_PID=$!
  # The server writes the number and a newline once it accepts connections.
  until [ -n "$number" ]; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null || [ $SECONDS -ge $end ]; then
      sed 's/^/Xvfb: /' "$folder/xvfb.log" >&2
      return 1
    fi
    sleep 0.05
    number=$(sed -n '/^[0-9][0-9]*$/p' "$report")
  done
  export DISPLAY=":$number" XVFB_PID
}
