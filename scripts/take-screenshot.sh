#!/usr/bin/env bash
# Takes docs/screenshot.png: ramulet.exe (64-bit, under Wine) showing the sample project, on a
# private headless X display with a fresh Wine prefix that draws its own window frames and
# links a Chinese font to the captions' fonts.
#
# Usage: scripts/take-screenshot.sh [OUT.png]   (needs scripts/install-deps.sh first)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$repo/docs/screenshot.png}
build=$repo/build/win64
shot=$repo/build/screenshot
mkdir -p "$shot" "$(dirname "$out")"

cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw64.cmake" \
    >"$shot/configure.log" 2>&1 || { cat "$shot/configure.log"; exit 1; }
cmake --build "$build" -j2 --target ramulet ramulet-make-sample >"$shot/build.log" 2>&1 ||
    { tail -n 40 "$shot/build.log"; exit 1; }

export WINEPREFIX=$shot/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

display=
for n in $(seq 200 260); do
    if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then
        display=$n
        break
    fi
done
[[ -n $display ]] || { echo "no free X display number" >&2; exit 1; }
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >"$shot/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wineboot -i >"$shot/wineboot.log" 2>&1
fi
# The frame buttons are glyphs of Wine's Marlett font, which this Wine does not find by itself.
cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# No window manager: Wine draws the frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Wine's own UI fonts have no Chinese: link the installed Chinese font behind them.
for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done

sample=$shot/sample.e
wine "$build/tools/ramulet-make-sample.exe" "$(winepath -w "$sample")" >/dev/null
wine "$build/app/ramulet.exe" "$(winepath -w "$sample")" >"$shot/ramulet.log" 2>&1 &
for _ in $(seq 150); do
    xwininfo -root -tree 2>/dev/null | grep -q 'Ramulet - ' && break
    sleep 0.1
done
sleep 2  # let the tree and the text box paint
# The window's frame: 500 x 500 at (50, 50).
import -window root -crop 500x500+50+50 +repage "$out"
echo "wrote $out"
