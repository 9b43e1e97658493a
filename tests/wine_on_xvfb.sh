#!/usr/bin/env bash
# wine_on_xvfb.sh WINE_RUN PREFIX PROGRAM [ARGUMENT]...: runs the Windows
# PROGRAM under Wine (WINE_RUN PREFIX PROGRAM ...) on an X server of its own
# (Xvfb); exits as PROGRAM does. The prefix's Wine server is ended before
# and after: a running one keeps drawing on the display it started with.
set -uo pipefail
wine_run=$1 prefix=$2
shift 2
work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-xvfb-XXXXXX")
pids=()
end_wine() { WINEPREFIX="$prefix" wineserver -k 2>/dev/null; }
trap 'end_wine; kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/x_server.sh"
end_wine
start_x_server
"$wine_run" "$prefix" "$@"
