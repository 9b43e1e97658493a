#!/usr/bin/env bash
# Makes the Windows installer, installs it silently into a Wine prefix of
# its own, runs the installed pixtrel-extract.exe on the sample against the
# Linux build's pixtrel-extract, tries the guard of the installed sets, and
# uninstalls it silently; then installs it with the folder on the user's
# PATH, runs the programs by name, upgrades it silently (the PATH kept) and
# cancels a graphical upgrade (the old copy kept), and uninstalls it: the
# user's PATH is as it was before each installation.
#
#   windows_installer_test.sh WINE_RUN BUILD_DIR LINUX_BIN SAMPLES VERSION
set -euo pipefail
wine_run=$1 build=$2 linux_bin=$3 samples=$4 version=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-installer-XXXXXX")
pids=()
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
wine_do() { "$wine_run" "$work/prefix" "$@"; }
settle() { WINEPREFIX="$work/prefix" wineserver -w; }
# The user's own PATH, as the registry holds it.
user_path() { wine_do reg query 'HKCU\Environment' /v Path 2>/dev/null | tr -d '\r' | sed -n 's/^ *Path *REG_[A-Z_]*SZ *//p'; }
uninstall() {
  wine_do 'C:\Pixtrel\Uninstall Pixtrel.exe' /S || fail "the uninstaller ended with status $?"
  settle
}

(cd "$build" && cpack -G NSIS64 >"$work/cpack.log" 2>&1) || fail "cpack: $(tail -5 "$work/cpack.log")"
installer=$build/pixtrel-$version-win64.exe
[ -f "$installer" ] || fail "no $installer"

wine_do reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\Other' /f >/dev/null 2>&1
wine_do "$installer" /S '/D=C:\Pixtrel' || fail "the installer ended with status $?"
settle
[ "$(user_path)" = 'C:\Other' ] || fail "the installer changed the PATH unasked: $(user_path)"
folder=$work/prefix/drive_c/Pixtrel
for file in Pixtrel.exe pixtrel-extract.exe pixtrel-mkfont.exe pixtrel-studio.exe GB2312.bin GB2312.tbl half-width.bin placeholder.bin \
  font-set.txt LICENSE 'Uninstall Pixtrel.exe' fonts/efont-12/GB2312.bin fonts/efont-12/LICENSE fonts/guob16/LICENSE \
  licenses/zlib/copyright licenses/libpng1.6/copyright licenses/freetype/copyright licenses/cpp-httplib/copyright; do
  [ -f "$folder/$file" ] || fail "not installed: $file"
done
for entry in Pixtrel 'Pixtrel Studio'; do
  find "$work/prefix/drive_c" -iname "$entry.lnk" | grep -q . || fail "no Start-menu entry $entry"
done

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

uninstall
[ ! -e "$folder" ] || fail "the uninstaller left $(find "$folder")"
! find "$work/prefix/drive_c" -iname 'Pixtrel*.lnk' | grep -q . || fail "the uninstaller left a Start-menu entry"

wine_do "$installer" /S /PATH '/D=C:\Pixtrel' || fail "the installer with /PATH ended with status $?"
settle
[ "$(user_path)" = 'C:\Other;C:\Pixtrel' ] || fail "the installer with /PATH made the PATH $(user_path)"
for program in pixtrel-extract pixtrel-mkfont; do
  wine_do cmd /c "cd /d C:\windows && $program --version" 2>/dev/null | grep -q "^$program " || fail "$program is not on the PATH"
done
# The README's commands for a Windows prompt, as they stand, in a folder that holds the samples.
mkdir "$work/recipes" && cp -r "$samples" "$work/recipes/samples"
recipes=$(wine_do winepath -w "$work/recipes" 2>/dev/null | tr -d '\r')
awk '/^```bat$/ { inside = 1; next } /^```$/ { inside = 0 } inside' "$samples/../README.md" >"$work/recipes.bat"
[ -s "$work/recipes.bat" ] || fail "the README shows no command for a Windows prompt"
while read -r command; do
  wine_do cmd /c "cd /d $recipes && $command" </dev/null >"$work/out" 2>&1 || fail "the README's $command: $(cat "$work/out")"
done <"$work/recipes.bat"
# An upgrade keeps the folder on the PATH, asked or not.
wine_do "$installer" /S '/D=C:\Pixtrel' || fail "the upgrade ended with status $?"
settle
[ "$(user_path)" = 'C:\Other;C:\Pixtrel' ] || fail "the upgrade made the PATH $(user_path)"
# The graphical upgrade, told to uninstall the old copy and then cancelled, leaves it as it was.
source "$(dirname "$0")/x_server.sh"
start_x_server
WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true  # A server started without the display would keep it so.
wine_do "$installer" >/dev/null 2>&1 &
upgrade=$!
until_true 60 eval '[ -n "$(xdotool search --onlyvisible --name "Pixtrel" 2>/dev/null)" ]' || fail "no upgrade asked"
sleep 1
xdotool key --window "$(xdotool search --onlyvisible --name "Pixtrel" | head -n 1)" Return  # Yes, uninstall it first.
until_true 30 eval '[ -n "$(xdotool search --onlyvisible --name "Setup" 2>/dev/null)" ]' || fail "no installer page"
sleep 2
kill "$upgrade" 2>/dev/null || true
WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
kill "${pids[@]}" 2>/dev/null || true
[ -f "$folder/pixtrel-extract.exe" ] || fail "the cancelled upgrade removed the installed copy"
uninstall
[ "$(user_path)" = 'C:\Other' ] || fail "the uninstaller left the PATH $(user_path)"
echo "the installer under Wine: ok"
