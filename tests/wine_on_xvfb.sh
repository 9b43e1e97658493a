#!/usr/bin/env bash
# wine_on_xvfb.sh WINE_RUN PREFIX PROGRAM [ARGUMENT]...: runs the Windows
# PROGRAM under Wine (WINE_RUN PREFIX PROGRAM ...) on an X server of its own
# (Xvfb); exits as PROGRAM does. The prefix's Wine server is ended before
# and after: a running one keeps drawing on the display it started with.
set -uo pipefail
wine_run=$1 prefix=$2
shift 2
work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-xvfb-XXXXXX")
end_wine() { WINEPREFIX="$prefix" wineserver -k 2>/dev/null; }
end_wine
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
server=$!
trap 'end_wine; kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(cat "$work/display") "$wine_run" "$prefix" "$@"
