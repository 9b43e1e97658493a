#!/usr/bin/env bash
# Pixtrel against LVGL's converter on the same glyphs: the 6763 hanzi of
# GB2312 at 24 px, 4 bits a pixel, from Debian's Droid Sans Fallback, to an
# LVGL C font and to LVGL's binary font, plain and compressed. The converter
# (lv_font_conv 1.5.3, from the npm registry) is installed in a scratch
# directory for the measurement only.
#
#   bash bench/lvgl_font_bench.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
font=/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
npm install --silent --no-audit --no-fund lv_font_conv@1.5.3 >/dev/null
conv=$scratch/node_modules/.bin/lv_font_conv
# The hanzi of GB2312: rows B0-F7, 94 a row, less the five unassigned at the end of D7.
python3 -c "
s = ''.join(bytes([r, c]).decode('gb2312') for r in range(0xB0, 0xF8) for c in range(0xA1, 0xFF)
            if not (r == 0xD7 and c > 0xF9))
open('hanzi.txt', 'w').write(s)"
# The best of three runs of a command, in seconds.
seconds() {
  local best=1000 start end
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    best=$(echo "t = $end - $start; if (t < $best) t else $best" | bc)
  done
  echo "$best"
}
printf '%-12s %10s %10s %12s %12s\n' "" pixtrel conv "pixtrel B" "conv B"
for compress in plain compressed; do
  [ $compress = plain ] && ours=() theirs=(--no-compress) || ours=(--compress) theirs=()
  for format in lvgl bin; do
    [ $format = lvgl ] && ext=c || ext=bin
    ours_format=$([ $format = lvgl ] && echo lvgl || echo lvgl-bin)
    t_ours=$(seconds "$build/bin/pixtrel-extract" -q --font $font --size 24 --bpp 4 "${ours[@]}" --format "$ours_format" \
      -o "p_$compress.$ext" hanzi.txt)
    t_conv=$(seconds "$conv" --font $font --size 24 --bpp 4 "${theirs[@]}" --symbols "$(cat hanzi.txt)" \
      --format $format -o "c_$compress.$ext")
    printf '%-12s %9.2fs %9.2fs %12s %12s\n' "$format/$compress" "$t_ours" "$t_conv" \
      "$(stat -c %s "p_$compress.$ext")" "$(stat -c %s "c_$compress.$ext")"
  done
done
