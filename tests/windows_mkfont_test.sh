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
# Reports to a file are in the ANSI code page of Wine's locale, as a
# Windows machine's are in its own: compared as ASCII, every run of what is
# not (and of "?") one "?".
as_ascii() { LC_ALL=C sed 's/[^ -~]\+/?/g; s/??*/?/g' "$@"; }
for font in "$@"; do
  file=${font%:*} size=${font##*:}
  name=$(basename "$file")
  cp "$file" "字体/$name"
  mkdir "windows-$name" "linux-$name"
  "$wine_run" "$prefix" "$windows_bin/pixtrel-mkfont.exe" --size "$size" -o "windows-$name" "字体\\$name" 2>windows.err ||
    fail "$name: exit $? on Windows: $(cat windows.err)"
  "$linux_bin/pixtrel-mkfont" --size "$size" -o "linux-$name" "字体/$name" 2>linux.err || fail "$name: exit $? on Linux"
  diff -r "windows-$name" "linux-$name" >&2 || fail "$name: the sets differ"
  cmp -s <(as_ascii windows.err) <(as_ascii linux.err) || fail "$name: the reports differ"
done
# Its failures read as pixtrel-extract.exe's do, in the system's words.
echo not a directory >file.txt
"$wine_run" "$prefix" "$windows_bin/pixtrel-mkfont.exe" -o file.txt "字体\\$name" 2>mkfont.err
[ $? = 2 ] || fail "-o a file: not refused"
"$wine_run" "$prefix" "$windows_bin/pixtrel-extract.exe" --data-dir file.txt file.txt 2>extract.err
[ "$(sed 's/^pixtrel-mkfont: //' mkfont.err)" = "$(sed 's/^pixtrel-extract: //' extract.err)" ] ||
  fail "the programs word a file that is no directory apart: $(cat mkfont.err) / $(cat extract.err)"
grep -q 'Not a directory' mkfont.err && fail "pixtrel-mkfont.exe words its failures as POSIX does"

[ $failures = 0 ]
