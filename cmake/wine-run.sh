#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGUMENT]...: runs the Windows program PROGRAM
# under Wine in the Wine prefix PREFIX, made on its first use; never in the
# one of the home directory.
prefix=$1
shift
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
exec wine "$@"
