#!/usr/bin/env bash
# xvfb_run.sh COMMAND [ARGUMENT]...: runs COMMAND with DISPLAY on an X server
# of its own (Xvfb) and ends the server after it; exits as COMMAND does.
set -uo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-xvfb-XXXXXX")
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(cat "$work/display") "$@"
