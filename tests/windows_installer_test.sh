#!/usr/bin/env bash
# Makes the Windows installer, installs it silently into a Wine prefix of
# its own, runs the installed pixtrel-extract.exe on the sample against the
# Linux build's pixtrel-extract, tries the guard of the installed sets, and
# uninstalls it silently.
#
#   windows_installer_test.sh WINE_RUN BUILD_DIR LINUX_BIN SAMPLES VERSION
set -euo pipefail
wine_run=$1 build=$2 linux_bin=$3 samples=$4 version=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-installer-XXXXXX")
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
wine_do() { "$wine_run" "$work/prefix" "$@"; }
settle() { WINEPREFIX="$work/prefix" wineserver -w; }

(cd "$build" && cpack -G NSIS64 >"$work/cpack.log" 2>&1) || fail "cpack: $(tail -5 "$work/cpack.log")"
installer=$build/pixtrel-$version-win64.exe
[ -f "$installer" ] || fail "no $installer"

wine_do "$installer" /S '/D=C:\Pixtrel' || fail "the installer ended with status $?"
settle
folder=$work/prefix/drive_c/Pixtrel
for file in Pixtrel.exe pixtrel-extract.exe GB2312.bin GB2312.tbl half-width.bin placeholder.bin font-set.txt \
  LICENSE Uninstall.exe fonts/efont-12/GB2312.bin fonts/efont-12/LICENSE fonts/guob16/LICENSE; do
  [ -f "$folder/$file" ] || fail "not installed: $file"
done
find "$work/prefix/drive_c" -iname 'Pixtrel.lnk' | grep -q . || fail "no Start-menu entry"

cp "$samples/menu.txt" "$work/menu.txt"
source_path=$(wine_do winepath -w "$work/menu.txt" 2>/dev/null | tr -d '\r')
wine_do 'C:\Pixtrel\pixtrel-extract.exe' -q "$source_path" || fail "the installed pixtrel-extract.exe: status $?"
"$linux_bin/pixtrel-extract" -q -o "$work/linux.bin" "$work/menu.txt"
cmp -s "$work/menu.bin" "$work/linux.bin" || fail "the installed program writes another glyph file"
wine_do 'C:\Pixtrel\pixtrel-extract.exe' -q --data-dir 'C:\Pixtrel\fonts\efont-12' --format u8g2 --name ui_font \
  -o "$source_path.c" "$source_path" || fail "the installed sets: status $?"
"$linux_bin/pixtrel-extract" -q --data-dir "$build/fonts/efont-12" --format u8g2 --name ui_font -o "$work/linux.c" "$work/menu.txt"
cmp -s <(sed 1d "$work/menu.txt.c") <(sed 1d "$work/linux.c") || fail "the installed efont-12 gives another font"
before=$(sha256sum "$folder/fonts/efont-12/GB2312.bin")
if wine_do 'C:\Pixtrel\pixtrel-extract.exe' -q -o 'C:\Pixtrel\FONTS\efont-12\gb2312.bin' "$source_path" 2>"$work/err"; then
  fail "an installed set's font was replaced"
fi
grep -q "Dont't touch the backup !" "$work/err" || fail "the refusal says $(cat "$work/err")"
[ "$before" = "$(sha256sum "$folder/fonts/efont-12/GB2312.bin")" ] || fail "an installed set's font changed"

wine_do 'C:\Pixtrel\Uninstall.exe' /S || fail "the uninstaller ended with status $?"
settle
[ ! -e "$folder/pixtrel-extract.exe" ] || fail "the uninstaller left the programs"
[ ! -e "$folder/fonts" ] || fail "the uninstaller left the font sets"
! find "$work/prefix/drive_c" -iname 'Pixtrel.lnk' | grep -q . || fail "the uninstaller left the Start-menu entry"
echo "the installer under Wine: ok"
