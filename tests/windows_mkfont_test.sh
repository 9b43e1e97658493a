#!/bin/bash
# windows_mkfont_test.sh WINE_RUN PREFIX WINDOWS_BIN LINUX_BIN FONT...: makes a
# set of each FONT (FILE:SIZE) with the Windows pixtrel-mkfont.exe under Wine
# and with the Linux build's pixtrel-mkfont, the font in a folder of Chinese
# name, and holds the two sets and the reports alike, byte for byte.
set -u
wine_run=$1 prefix=$2 windows_bin=$3 linux_bin=$4
shift 4
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir 字体
for font in "$@"; do
  file=${font%:*} size=${font##*:}
  name=$(basename "$file")
  cp "$file" "字体/$name"
  mkdir "windows-$name" "linux-$name"
  "$wine_run" "$prefix" "$windows_bin/pixtrel-mkfont.exe" --size "$size" -o "windows-$name" "字体\\$name" 2>windows.err ||
    fail "$name: exit $? on Windows: $(cat windows.err)"
  "$linux_bin/pixtrel-mkfont" --size "$size" -o "linux-$name" "字体/$name" 2>linux.err || fail "$name: exit $? on Linux"
  diff -r "windows-$name" "linux-$name" >&2 || fail "$name: the sets differ"
  cmp -s windows.err linux.err || fail "$name: the reports differ"
done
[ $failures = 0 ]
