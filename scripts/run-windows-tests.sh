#!/usr/bin/env bash
# Builds the Windows test programs for 64 and 32 bits with MinGW-w64 and runs every one of them
# under Wine on a private headless X display. The window tests create real windows and drive
# them with real mouse input, so they need that display.
#
# Usage: scripts/run-windows-tests.sh [--no-build] [gtest arguments...]
# Environment: RAMULET_WIN_BITS ("64 32" by default), RAMULET_TEST_TIMEOUT (seconds per program).
# Exits non-zero when a program fails, cannot be started or times out.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=$repo/build
mkdir -p "$build_root"
bits_list=${RAMULET_WIN_BITS:-64 32}
timeout_s=${RAMULET_TEST_TIMEOUT:-300}

build=1
if [[ ${1:-} == --no-build ]]; then
    build=0
    shift
fi
gtest_args=("$@")

started=$(date +%s)

if ((build)); then
    for bits in $bits_list; do
        dir=$build_root/win$bits
        echo "== building win$bits"
        cmake -S "$repo" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw$bits.cmake" \
            >"$dir.configure.log" 2>&1 || {
            cat "$dir.configure.log"
            exit 1
        }
        cmake --build "$dir" -j2 >"$dir.build.log" 2>&1 || {
            tail -n 60 "$dir.build.log"
            exit 1
        }
    done
fi
built=$(date +%s)

# --- A private X display and Wine prefix, both torn down again on exit -------------------------
export WINEPREFIX=$build_root/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install prompts
xvfb_pid=

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

display=
for n in $(seq 90 190); do
    if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then
        display=$n
        break
    fi
done
[[ -n $display ]] || {
    echo "no free X display number" >&2
    exit 1
}
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$build_root/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || {
        cat "$build_root/xvfb.log"
        exit 1
    }
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || {
    echo "Xvfb did not start on :$display" >&2
    exit 1
}

mkdir -p "$WINEPREFIX"
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "== making the Wine prefix"
    wineboot -i >"$build_root/wineboot.log" 2>&1
    # The server of the boot lingers a moment; a second persistent one could not start.
    wineserver -w
fi
wineserver -p 2>/dev/null || true  # keep one server for the whole run instead of one per program
# There is no window manager on the private display: with Wine's default of managed windows,
# destroying each test window would wait two seconds for a manager that never answers.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
ready=$(date +%s)

# --- Run every test program of every bitness -----------------------------------------------------
total_passed=0
total_failed=0
bad_programs=()

for bits in $bits_list; do
    list=$build_root/win$bits/windows_tests.txt
    if [[ ! -f $list ]]; then
        echo "win$bits: no test list at $list" >&2
        bad_programs+=("win$bits (not built)")
        continue
    fi
    while IFS= read -r exe; do
        [[ -n $exe ]] || continue
        name="win$bits/$(basename "$exe" .exe)"
        log=$build_root/win$bits/$(basename "$exe" .exe).log
        t0=$(date +%s.%N)
        rc=0
        if [[ -f $exe ]]; then
            (cd "$(dirname "$exe")" && timeout --kill-after=10 "$timeout_s" \
                wine "$exe" --gtest_color=no "${gtest_args[@]}") >"$log" 2>&1 || rc=$?
        else
            echo "missing program $exe" >"$log"
            rc=127
        fi
        t1=$(date +%s.%N)
        secs=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }')

        ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$log" | tail -n 1)
        passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -n 1)
        failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$log" | tail -n 1)
        passed=${passed:-0}
        failed=${failed:-0}
        total_passed=$((total_passed + passed))
        total_failed=$((total_failed + failed))

        if [[ $rc -eq 0 && -n $ran ]]; then
            echo "PASS  $name: $passed passed, $failed failed (${secs}s)"
        else
            echo "FAIL  $name: exit code $rc, ${ran:-no} tests ran (${secs}s); log $log"
            grep -E '^\[  FAILED  \]|Failure$|^[^[].*(error|Error):' "$log" | head -n 40 || true
            [[ -n $ran ]] || tail -n 20 "$log"
            bad_programs+=("$name")
        fi
        grep -E '^\[==========\]|^\[  PASSED  \]|^\[  SKIPPED \]' "$log" | sed 's/^/      /'
    done <"$list"
done

finished=$(date +%s)
echo "== timings: build $((built - started))s, display and prefix $((ready - built))s," \
    "tests $((finished - ready))s, total $((finished - started))s"
if ((${#bad_programs[@]})); then
    echo "failing programs: ${bad_programs[*]}"
fi
echo "windows: $total_passed passed, $total_failed failed"
((${#bad_programs[@]} == 0))
