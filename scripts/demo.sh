#!/usr/bin/env bash
# The demo: builds what it needs, writes the sample project with ramulet-make-sample, and opens
# it in the window program (ramulet.exe under Wine) when a display is available ($DISPLAY set).
# Without a display it runs the command-line demo instead: show the sample, sort it, show the
# sorted file and check the sample.
#
# Usage: scripts/demo.sh   (on a fresh Debian machine run it as root once, so that it can
# install what is missing)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo=$repo/build/demo
mkdir -p "$demo"

"$repo/scripts/install-deps.sh"

echo "== building the sample writer and ramulet-cli"
native=$repo/build/demo-native
cmake -S "$repo" -B "$native" -DRAMULET_BUILD_TESTS=OFF -DRAMULET_SANITIZE=OFF \
    >"$demo/native.configure.log" 2>&1 || { cat "$demo/native.configure.log"; exit 1; }
cmake --build "$native" -j2 --target ramulet-make-sample ramulet-cli >"$demo/native.build.log" 2>&1 ||
    { tail -n 40 "$demo/native.build.log"; exit 1; }

sample=$demo/sample.e
"$native/tools/ramulet-make-sample" "$sample"

if [[ -n ${DISPLAY:-} ]]; then
    echo "== building ramulet.exe"
    win=$repo/build/demo-win64
    cmake -S "$repo" -B "$win" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw64.cmake" \
        -DRAMULET_BUILD_TESTS=OFF >"$demo/win64.configure.log" 2>&1 ||
        { cat "$demo/win64.configure.log"; exit 1; }
    cmake --build "$win" -j2 --target ramulet >"$demo/win64.build.log" 2>&1 ||
        { tail -n 40 "$demo/win64.build.log"; exit 1; }
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
    if [[ ! -f ${WINEPREFIX:-$HOME/.wine}/system.reg ]]; then
        echo "== making the Wine prefix ${WINEPREFIX:-$HOME/.wine}"
        wineboot -i >"$demo/wineboot.log" 2>&1
    fi
    echo "== opening $sample in ramulet.exe"
    echo "   drag the items under 程序数据, try 自动排序, and close the window to save"
    exec wine "$win/app/ramulet.exe" "$(winepath -w "$sample")"
fi

cli=$native/cli/ramulet-cli
sorted=$demo/sorted.e
echo "== no display: the command-line demo"
echo "\$ ramulet-cli show sample.e"
"$cli" show "$sample"
echo
echo "\$ ramulet-cli sort sample.e -o sorted.e"
"$cli" sort "$sample" -o "$sorted"
echo
echo "\$ ramulet-cli show sorted.e"
"$cli" show "$sorted"
echo
echo "\$ ramulet-cli check sample.e"
# The sample keeps one item apart, which a save writes after the others, so check reports the
# program section as changed and ends with status 1; everything else comes back byte for byte.
"$cli" check "$sample" || true
echo
echo "demo files are in $demo"
