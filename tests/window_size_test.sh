#!/usr/bin/env bash
# Holds the window to its outer size of 320 x 107 pixels on a real X server
# (Xvfb): bare, where a resize from outside must be undone, and under a
# window manager (openbox), whose frame is known only after the window shows,
# at the start and after a minimize and restore.
#
#   window_size_test.sh PIXTREL
set -euo pipefail
pixtrel=$1

work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-window-XXXXXX")
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
source "$(dirname "$0")/x_server.sh"
start_x_server
export QT_QPA_PLATFORM=xcb

window=
start_pixtrel() {
  "$pixtrel" >"$work/pixtrel.log" 2>&1 &
  pids+=($!)
  until_true 10 eval 'window=$(xdotool search --onlyvisible --name "8\*16" 2>/dev/null | head -n 1); [ -n "$window" ]' ||
    fail "the window did not show on $DISPLAY: $(cat "$work/pixtrel.log"); windows: $(xwininfo -root -tree | grep -E "\"" | head -5)"
}

# The window's outer size: its own size and the frame a window manager put round it.
outer_size() {
  local width height left=0 right=0 top=0 bottom=0 extents
  width=$(xwininfo -id "$window" | awk '/Width:/ {print $2}')
  height=$(xwininfo -id "$window" | awk '/Height:/ {print $2}')
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$extents" ] && IFS=, read -r left right top bottom <<<"$extents"
  echo "$((width + left + right))x$((height + top + bottom))"
}

expect_size() {
  until_true 5 eval '[ "$(outer_size)" = 320x107 ]' || fail "$1: outer size $(outer_size), not 320x107"
}

start_pixtrel
expect_size "bare, at the start"
xdotool windowsize "$window" 500 300
expect_size "bare, resized from outside to 500x300"
xdotool windowsize "$window" 200 50
expect_size "bare, resized from outside to 200x50"
kill "${pids[-1]}"

start_window_manager
start_pixtrel
until_true 5 eval 'xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | grep -q =' || fail "openbox did not frame the window"
expect_size "under openbox, at the start"
xdotool windowminimize "$window"
until_true 5 eval 'xwininfo -id "$window" | grep -q IsUnMapped' || fail "the window did not minimize"
xdotool windowmap "$window"
expect_size "under openbox, restored"
echo "window size: ok"
