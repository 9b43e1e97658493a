#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR, unpacks it into a fresh root and
# checks what it holds; then extracts the bundled sample with the unpacked
# pixtrel-extract, started through its /usr/bin link, so that the data files
# must be found beside the installed executable. The glyph file must equal
# the one the build's own pixtrel-extract writes.
#
#   package_test.sh BUILD_DIR SAMPLES_DIR WITH_WINDOW(ON|OFF) VERSION
set -euo pipefail
build_dir=$1 samples=$2 with_window=$3 version=$4

work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build_dir" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
deb="$work/out/pixtrel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb; made: $(ls "$work/out")"

dpkg-deb -x "$deb" "$work/root"
root="$work/root"
expected=(usr/lib/pixtrel/pixtrel-extract usr/lib/pixtrel/GB2312.bin usr/lib/pixtrel/GB2312.tbl
          usr/lib/pixtrel/half-width.bin usr/lib/pixtrel/placeholder.bin usr/lib/pixtrel/font-set.txt
          usr/bin/pixtrel-extract usr/share/man/man1/pixtrel-extract.1.gz
          usr/bin/pixtrel-mkfont usr/share/man/man1/pixtrel-mkfont.1.gz
          usr/share/pixtrel/fonts/efont/GB2312.bin usr/share/pixtrel/fonts/efont/LICENSE
          usr/share/pixtrel/fonts/guob16/GB2312.tbl usr/share/pixtrel/fonts/guob16/LICENSE
          usr/share/pixtrel/fonts/efont-12/half-width.bin usr/share/pixtrel/fonts/efont-24/font-set.txt
          usr/share/doc/pixtrel/copyright usr/share/doc/pixtrel/changelog.gz
          usr/share/doc/pixtrel/README.md usr/share/doc/pixtrel/docs/studio-api.md
          usr/lib/cmake/Pixtrel/PixtrelConfig.cmake usr/lib/cmake/Pixtrel/PixtrelConfigVersion.cmake)
[ "$with_window" = ON ] && expected+=(usr/lib/pixtrel/Pixtrel usr/bin/Pixtrel usr/share/man/man1/Pixtrel.1.gz
          usr/share/applications/pixtrel.desktop usr/share/icons/hicolor/32x32/apps/pixtrel.png)
for path in "${expected[@]}"; do
  [ -e "$root/$path" ] || fail "the package lacks /$path"
done
[ "$(readlink "$root/usr/bin/pixtrel-extract")" = ../lib/pixtrel/pixtrel-extract ] || fail "/usr/bin/pixtrel-extract is no link into /usr/lib/pixtrel"

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libc6* && $depends == *libstdc++6* ]] || fail "Depends lacks the C and C++ libraries: $depends"
[ "$with_window" = OFF ] || [[ $depends == *libqt6widgets6* && $depends == *qt6-qpa-plugins* &&
  $depends == *"fonts-wqy-microhei | fonts-noto-cjk"* ]] || fail "Depends lacks Qt Widgets, its plugins or a CJK font: $depends"

lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
! grep -E '^E: ' "$work/lintian.log" || fail "lintian reports errors"

mkdir "$work/installed" "$work/built"
cp "$samples/menu.txt" "$work/installed/menu.txt"
cp "$samples/menu.txt" "$work/built/menu.txt"
"$root/usr/bin/pixtrel-extract" -q "$work/installed/menu.txt" >"$work/installed.out" || fail "the installed pixtrel-extract: exit $?"
"$build_dir/bin/pixtrel-extract" -q "$work/built/menu.txt" >/dev/null
[ ! -s "$work/installed.out" ] || fail "the installed pixtrel-extract said, though quiet: $(cat "$work/installed.out")"
cmp "$work/installed/menu.bin" "$work/built/menu.bin" || fail "the installed pixtrel-extract wrote another glyph file"
"$root/usr/bin/pixtrel-extract" -q --data-dir "$root/usr/share/pixtrel/fonts/efont-12" --half-width --placeholder \
  -o "$work/installed/menu12.bin" "$work/installed/menu.txt" || fail "the installed efont-12 set: exit $?"
echo "$deb: ok"
