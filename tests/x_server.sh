# The X server of a window test, for the scripts that source this file.
# They set `work` (a scratch directory) and `pids` (an array of the
# processes to end on exit) before they call start_x_server.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# until_true SECONDS COMMAND...: runs COMMAND until it succeeds, for SECONDS at most.
until_true() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# start_x_server: starts Xvfb on a free display and exports DISPLAY.
start_x_server() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
  pids+=($!)
  until_true 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=:$(cat "$work/display")
}

# start_window_manager: starts openbox on DISPLAY.
start_window_manager() {
  openbox --startup "touch $work/openbox-ready" >/dev/null 2>&1 &
  pids+=($!)
  until_true 10 test -e "$work/openbox-ready" || fail "openbox did not start"
}
