#!/usr/bin/env bash
# The whole job through Pixtrel.exe under Wine on an X server of its own:
# click Open, type the sample's path into the real Open dialog, press
# Start, and find the glyph file the Linux build's pixtrel-extract writes
# and the "Over !" box; then close the window. Screenshots of the window,
# the dialog and the box are left in SHOTS. DPI is the resolution of the
# prefix's screen (96 unless its LogPixels says otherwise).
#
#   windows_window_test.sh WINE_RUN PREFIX WINDOWS_BIN LINUX_BIN SAMPLES SHOTS [DPI]
set -euo pipefail
wine_run=$1 prefix=$2 windows_bin=$3 linux_bin=$4 samples=$5 shots=$6 dpi=${7:-96}

work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-wine-window-XXXXXX")
pids=()
# A running Wine server keeps drawing on the display it started with.
end_wine() { WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; }
cleanup() { end_wine; kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
source "$(dirname "$0")/x_server.sh"
wine_do() { "$wine_run" "$prefix" "$@"; }
# visible NAME: the first visible window whose name is NAME, if any.
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
wait_for() {
  until_true 30 eval "[ -n \"\$(visible '$1')\" ]" || fail "no window '$1' showed: $(cat "$work/pixtrel.log")"
  visible "$1"
}
# click WINDOW LEFT TOP WIDTH HEIGHT: clicks the middle of a control given in
# twips, at DPI, in the client area of WINDOW.
click() {
  local left top
  left=$(xwininfo -id "$1" | awk '/Absolute upper-left X:/ {print $4}')
  top=$(xwininfo -id "$1" | awk '/Absolute upper-left Y:/ {print $4}')
  xdotool mousemove "$((left + ($2 + $4 / 2) * dpi / 1440))" "$((top + ($3 + $5 / 2) * dpi / 1440))" click 1
}
shoot() { mkdir -p "$shots" && import -window root "$shots/$1.png"; }

end_wine
start_x_server
start_window_manager

# The dialogs' font, SimSun, and the default one drawn with a font that has the hanzi.
wine_do reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
for font in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2'; do
  wine_do reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$font" \
    /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done

cp "$samples/menu.txt" "$work/menu.txt"
"$linux_bin/pixtrel-extract" -q -o "$work/linux.bin" "$work/menu.txt"
source_path=$(wine_do winepath -w "$work/menu.txt" 2>/dev/null | tr -d '\r')

wine_do "$windows_bin/Pixtrel.exe" >"$work/pixtrel.log" 2>&1 &
pixtrel=$!
window=$(wait_for '^8\*16字模前端 060408 \(by velk\)$')
shoot window
click "$window" 2880 120 1695 375  # Command2
dialog=$(wait_for '^(Open|打开)$')
shoot dialog
xdotool windowactivate --sync "$dialog"
xdotool type --delay 20 "$source_path"
xdotool key Return
until_true 20 eval '[ -z "$(visible "^(Open|打开)$")" ]' || fail "the Open dialog did not close"
click "$window" 1560 720 1575 375  # Command1
box=$(wait_for '^Pixtrel$')
shoot message
until_true 10 cmp -s "$work/menu.bin" "$work/linux.bin" || fail "menu.bin is not the Linux build's glyph file"
xdotool windowactivate --sync "$box"
xdotool key Return
until_true 10 eval '[ -z "$(visible "^Pixtrel$")" ]' || fail "the message box did not close"
xdotool windowactivate --sync "$window"
xdotool key alt+F4
until_true 20 eval '! kill -0 $pixtrel 2>/dev/null' || fail "Pixtrel.exe did not end when its window closed"
wait $pixtrel || fail "Pixtrel.exe ended with status $?"
echo "the window under Wine: ok"
