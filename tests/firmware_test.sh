#!/usr/bin/env bash
# Builds the firmware-like project in tests/firmware against Pixtrel
# installed into a prefix, as a firmware developer would: on the host, where
# its program draws the menu and an LVGL binary font of two font files is
# made beside it;
# again, where nothing must be done; after the text is touched, where the
# header is made again (under Ninja and make, the project asking for CMake
# 3.16 only, as ESP-IDF's template does); with a character the table lacks,
# where --strict fails the build and the old header stays; and
# cross-compiled for a Cortex-M0 with Debian's gcc-arm-none-eabi.
#
#   firmware_test.sh BUILD_DIR SAMPLES_DIR SOURCE_DIR
set -euo pipefail
build_dir=$1 samples=$2 project=$3/tests/firmware

work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-firmware-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
cp -r "$project" "$work/src"
cp "$samples/menu.txt" "$work/src/menu.txt"
cp "$samples/menu.txt" "$work/src/menu #2.txt"  # A name CMake's depfiles for Ninja do not keep as it is.
mkdir -p "$work/src/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$work/src/fonts/"
package=$work/prefix/lib/cmake/Pixtrel

cmake -S "$work/src" -B "$work/host" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >"$work/log" 2>&1 ||
  fail "configuring on the host: $(cat "$work/log")"
cmake --build "$work/host" >"$work/log" 2>&1 || fail "building on the host: $(cat "$work/log")"
header=$work/host/menu_glyphs/menu.h
"$work/host/firmware" >"$work/frame.pbm" || fail "the firmware found the title's glyphs wrong"
inked=$(tail -n +3 "$work/frame.pbm" | tr -cd 1 | wc -c)
[ "$inked" -gt 300 ] || fail "the firmware drew $inked pixels of the menu"

font=$(cat "$work/host/binary-fonts.txt")
[ "$font" = "$work/host/title_font/title_font.bin" ] || fail "title_font_OUTPUTS is $font"
# An LVGL binary font starts with its head table: its length, then "head".
[ "$(dd if="$font" bs=1 skip=4 count=4 2>/dev/null)" = head ] || fail "the binary font is no LVGL font"

cmake --build "$work/host" -- -n >"$work/log" 2>&1
grep -q "no work to do" "$work/log" || fail "a second build did something: $(cat "$work/log")"

cp "$header" "$work/menu.h.before"
touch -d '1 minute ago' "$header"
before=$(stat -c %Y "$header")
touch "$work/src/menu.txt"
cmake --build "$work/host" >"$work/log" 2>&1 || fail "building after touching the text: $(cat "$work/log")"
[ "$(stat -c %Y "$header")" -gt "$before" ] || fail "touching the text did not make the header again"

printf '\x81\x40\r\n' >>"$work/src/menu.txt"  # A character the code table lacks.
! cmake --build "$work/host" >"$work/log" 2>&1 || fail "a character the table lacks did not fail the build under --strict"
grep -q "missing" "$work/log" || fail "the failed build does not say what is missing: $(cat "$work/log")"
cmp -s "$header" "$work/menu.h.before" || fail "the failed build did not keep the old header"

cp "$samples/menu.txt" "$work/src/menu.txt"
cp "$samples/menu.txt" "$work/src/menu #2.txt"  # A name CMake's depfiles for Ninja do not keep as it is.
mkdir -p "$work/src/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$work/src/fonts/"
# Under Makefiles too, a build with nothing new does nothing, and a touched text remakes its header.
cmake -S "$work/src" -B "$work/make" -G "Unix Makefiles" -DCMAKE_PREFIX_PATH="$work/prefix" >"$work/log" 2>&1 ||
  fail "configuring for make: $(cat "$work/log")"
cmake --build "$work/make" >"$work/log" 2>&1 || fail "building with make: $(cat "$work/log")"
cmake --build "$work/make" >"$work/log" 2>&1
! grep -qE "Cutting|Building|Linking" "$work/log" || fail "a second build with make did something: $(cat "$work/log")"
touch "$work/src/menu.txt"
cmake --build "$work/make" >"$work/log" 2>&1
grep -q "Cutting the glyphs" "$work/log" || fail "touching the text did not make the header again with make"

cmake -S "$work/src" -B "$work/arm" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/src/cortex-m0.cmake" \
  -DPixtrel_DIR="$package" >"$work/log" 2>&1 || fail "configuring for the Cortex-M0: $(cat "$work/log")"
cmake --build "$work/arm" >"$work/log" 2>&1 || fail "building for the Cortex-M0: $(cat "$work/log")"
arm-none-eabi-size -A "$work/arm/firmware" | grep -E '^\.(text|rodata|bss) '
echo "firmware project: ok"
