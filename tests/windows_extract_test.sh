#!/bin/bash
# windows_extract_test.sh WINE_RUN PREFIX WINDOWS_BIN LINUX_BIN SAMPLES: runs the
# Windows pixtrel-extract.exe under Wine (WINE_RUN PREFIX PROGRAM ...) and
# holds what it writes to what the Linux build's pixtrel-extract writes,
# byte for byte, from the font sets and from FONT; and tries the forms of the
# files it must not touch.
set -u
wine_run=$1 prefix=$2 windows_bin=$3 linux_bin=$4 samples=$5 font_file=$6
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
win() { "$wine_run" "$prefix" "$windows_bin/pixtrel-extract.exe" "$@"; }
lin() { "$linux_bin/pixtrel-extract" "$@"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir 菜单 字体 linux
cp "$samples/menu.txt" "$samples/menu.utf-8.txt" .
cp "$samples/menu.txt" 菜单/菜单.txt
cp "$font_file" 字体/某字体.ttc
{ cat menu.utf-8.txt; printf '體 镕 喆 설정 ™ 25°C AVAW\n'; } >mixed.txt

# Messages to a file are in the ANSI code page of Wine's locale, as a
# Windows machine's are in its own: compared as ASCII, every run of what is
# not (and of "?") one "?".
code_page=$("$wine_run" "$prefix" reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
  tr -d '\r' | awk '/ACP/ {print $3}')
as_ascii() { LC_ALL=C sed 's/[^ -~]\+/?/g; s/??*/?/g' "$@"; }

# same NAME OPTIONS...: both builds run in the same directory on the same
# files, the Windows one's output NAME (a picture when it ends in .png) then
# compared with the Linux one's, and the messages as each system shows them.
same() {
  local name=$1 output=(-o)
  shift
  [[ $name == *.png ]] && output=(-o - --png)
  win -q "${output[@]}" "$name" "$@" >win.out 2>win.err
  local win_status=$?
  lin -q "${output[@]}" "linux/$name" "$@" >lin.out 2>lin.err
  local lin_status=$?
  [ $win_status = $lin_status ] || fail "$*: exit $win_status on Windows, $lin_status on Linux"
  if [ -e "$name" ] || [ -e "linux/$name" ]; then cmp -s "$name" "linux/$name" || fail "$*: $name differs"; fi
  cmp -s <(as_ascii win.err) <(as_ascii lin.err) || fail "$*: the messages differ: $(cat win.err) / $(cat lin.err)"
}
same menu.bin menu.txt
same menu.bin menu.utf-8.txt
same page.bin --layout page-lsb --invert menu.utf-8.txt
same menu.h --format h --name menu menu.txt
same menuc.c --format c --name menu --unique menu.utf-8.txt
same whole.h --format h --name whole --half-width --placeholder --layout column-msb menu.txt
same lvgl.c --format lvgl --name ui_font menu.txt menu.utf-8.txt
same u8g2.c --format u8g2 --name ui_font menu.txt menu.utf-8.txt
printf '\xe5\xa5\xbd\xe5\xa5\xbd \xb0\xa1\n' >bad.txt
same bad.bin bad.txt
printf 'ab \xe9\x95\x95 \xe6\x96\x87\n' >missing.txt  # 镕, which no GB2312 set has.
same missing.bin --missing missing.txt
font=(--font 字体/某字体.ttc --size 24)
same lvgl4.c --format lvgl --name ui_font "${font[@]}" --bpp 4 --compress mixed.txt
same lvgl4.bin --format lvgl-bin "${font[@]}" --bpp 4 mixed.txt
same lvgl2.bin --format lvgl-bin "${font[@]}" --bpp 2 --compress mixed.txt
same mixed.png "${font[@]}" --bpp 4 mixed.txt
same mixed-set.png mixed.txt
same mixed-font.h --format h --name mixed "${font[@]}" --half-width --placeholder mixed.txt
win -q -o font.bin --font '字体\某字体.ttc' --size 24 --format lvgl-bin --bpp 4 mixed.txt || fail "字体\某字体.ttc: exit $?"
cmp -s font.bin linux/lvgl4.bin || fail "字体\某字体.ttc gives other bytes"

# A pipe in and out.
win -q -o - - <menu.txt >piped.bin || fail "a pipe: exit $?"
cmp -s piped.bin linux/menu.bin || fail "a pipe gives other bytes"

# Chinese names, and the default name beside the source.
win -q '菜单\菜单.txt' || fail "菜单\\菜单.txt: exit $?"
cmp -s 菜单/菜单.bin linux/menu.bin || fail "菜单/菜单.bin differs"

# Never the source, never a data file, in any form.
refused() {
  local what=$1
  shift
  win -q "$@" >win.out 2>win.err
  local status=$?
  [ $status = 2 ] || fail "$what: exit $status, not 2"
  grep -q "$what" win.err || fail "$what: the message says $(cat win.err)"
}
before=$(sha256sum 菜单/菜单.txt "$windows_bin"/GB2312.*)
refused "would overwrite its own source" -o '菜单\菜单.TXT' '菜单/菜单.txt'
refused "would overwrite its own source" -o '.\菜单\..\菜单\菜单.txt' '菜单\菜单.txt'
bin_dir=$("$wine_run" "$prefix" winepath -w "$windows_bin" 2>/dev/null | tr -d '\r')
for data in "$bin_dir\\gb2312.BIN" "$bin_dir\\GB2312.TBL" "$windows_bin/GB2312.bin" "$bin_dir\\.\\font-set.txt"; do
  refused "Dont't touch the backup !" -o "$data" menu.txt
done
refused "Dont't touch the backup !" "$bin_dir\\GB2312.TBL"
refused "Not a regular file" -o NUL menu.txt
[ "$before" = "$(sha256sum 菜单/菜单.txt "$windows_bin"/GB2312.*)" ] || fail "a guarded file changed"
ls -A | grep -q '^\.pixtrel-' && fail "a temporary file was left"

# Windows habits: wildcards expanded by the program, /?, the code page of
# messages, read-only targets refused, sets and fonts found by their names.
same glob.c --format u8g2 --name ui_font menu.txt menu.utf-8.txt
win -q --format u8g2 --name ui_font -o glob.c 'menu*.txt' || fail "menu*.txt: exit $?"
cmp -s glob.c linux/glob.c || fail "menu*.txt is not menu.txt and menu.utf-8.txt"
win -q 'none*.txt' 2>win.err
[ "$(tr -d '\r' <win.err | head -n 1)" = "pixtrel-extract: none*.txt: no file matches" ] || fail "none*.txt: $(cat win.err)"
win /? >win.out 2>&1 && grep -q '^usage: pixtrel-extract' win.out || fail "/? is not --help"
win -q café.txt 2>win.err
grep -q "$(printf 'caf\xc3\xa9.txt: ' | iconv -f UTF-8 -t "CP$code_page")" win.err || fail "a message to a file is not in code page $code_page: $(od -c win.err | head -3)"
echo old >readonly.bin
"$wine_run" "$prefix" cmd /c attrib +r readonly.bin
win -q -o readonly.bin menu.txt 2>win.err
[ $? = 2 ] && grep -q 'readonly.bin: .* (read-only)' win.err || fail "a read-only target: $(cat win.err)"
[ "$(cat readonly.bin)" = old ] || fail "a read-only target was replaced"
"$wine_run" "$prefix" cmd /c attrib -r readonly.bin
same set.h --format h --name menu --half-width --data-dir "$(dirname "$windows_bin")/fonts/efont-12" menu.txt
win -q -o named-set.h --format h --name menu --half-width --data-dir efont-12 menu.txt || fail "--data-dir efont-12: $?"
cmp -s named-set.h linux/set.h || fail "--data-dir efont-12 is not the shipped set"
fonts=$("$wine_run" "$prefix" cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Fonts
mkdir -p "$("$wine_run" "$prefix" winepath -u "$fonts" 2>/dev/null)"
cp "$font_file" "$("$wine_run" "$prefix" winepath -u "$fonts" 2>/dev/null)/"
for name in "$(basename "$font_file")" 'WenQuanYi Micro Hei'; do
  win -q -o named.bin --font "$name" --size 24 --format lvgl-bin --bpp 4 mixed.txt || fail "--font $name: exit $?"
  cmp -s named.bin linux/lvgl4.bin || fail "--font $name is not the installed font"
done

[ $failures = 0 ]
