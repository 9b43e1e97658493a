#!/usr/bin/env bash
# doc_pictures.sh BUILD: draws every picture README.md and docs/ show, with
# the programs of the build folder BUILD: those the documents' commands draw
# (recipes.sh), the studio's screenshots its browser test left in
# BUILD/studio-shots/, and the comparison of one bit a pixel, docs/one-bit-SIZE.png:
# the same menu line at 12, 16 and 24 pixels from an outline font at one bit
# a pixel and from the bitmap fonts Debian ships (WenQuanYi Zen Hei Sharp's
# strikes, efont, WenQuanYi's bitmap fonts), each under its name.
set -euo pipefail
build=$1 root=$(cd "$(dirname "$0")/.." && pwd)
bin=$build/bin docs=$root/docs
bash "$root/scripts/recipes.sh" pictures "$build" "$root/README.md" "$docs"/*.md
[ ! -f "$build/studio-shots/studio-tft.png" ] || cp "$build/studio-shots/studio-tft.png" "$docs/"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '设置 屏幕亮度 置量幕 Settings 25°C\n' >"$work/menu.txt"
misc=/usr/share/fonts/X11/misc

# row NAME LABEL FONT_OPTIONS...: the menu drawn so, its label above it.
row() {
  local name=$1 label=$2
  shift 2
  "$bin/pixtrel-extract" -q "$@" --format u8g2 --png "$work/$name.png" --png-scale 3 -o "$work/$name.c" "$work/menu.txt"
  convert -background '#080C14' -fill '#D8F0FF' -font DejaVu-Sans -pointsize 14 label:"$label" \
    "$work/$name.png" -gravity west -append "$work/$name-row.png"
}

for size in 12 16 24; do
  rows=()
  row outline "WenQuanYi Micro Hei, outlines at 1 bit a pixel" --font wqy-microhei.ttc --size $size
  rows+=("$work/outline-row.png")
  if [ $size -le 16 ]; then
    row sharp "WenQuanYi Zen Hei Sharp, its $size-pixel strike" --font wqy-zenhei.ttc --face 2 --size $size
    rows+=("$work/sharp-row.png")
  fi
  row efont "efont (b$size.pcf.gz)" --font "$misc/b$size.pcf.gz"
  rows+=("$work/efont-row.png")
  case $size in
    12) wqy=wenquanyi_9pt.pcf ;;
    16) wqy=wenquanyi_12pt.pcf ;;
    *) wqy= ;;
  esac
  if [ -n "$wqy" ]; then
    row wqy "WenQuanYi Bitmap Song ($wqy)" --font "$misc/$wqy"
    rows+=("$work/wqy-row.png")
  fi
  convert -background '#080C14' "${rows[@]}" -gravity west -splice 0x6 -append "$docs/one-bit-$size.png"
done
