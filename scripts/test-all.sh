#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native tests (with
# AddressSanitizer and UndefinedBehaviorSanitizer), a minute of fuzzing, and the Windows test
# programs of both bitnesses under Wine on a private headless display.
# Ends with one line "total: N passed, M failed".
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
fuzz_seconds=${RAMULET_FUZZ_SECONDS:-60}

"$repo/scripts/install-deps.sh"
mkdir -p build

passed=0
failed=0
count_ctest() {
    # "100% tests passed, 0 tests failed out of 57"
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1 || true)
    if [[ -z $line ]]; then
        failed=$((failed + 1))
        return
    fi
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

echo "== native build (sanitizers on)"
cmake -S . -B build/native -DRAMULET_BUILD_BENCHMARKS=ON >build/native.configure.log 2>&1 ||
    { cat build/native.configure.log; exit 1; }
cmake --build build/native -j2 2>&1 | tail -n 3
echo "== native tests"
(cd build/native && ctest -j2 --output-on-failure --timeout 600) 2>&1 | tee build/native.ctest.log |
    grep -E -v '^ *([0-9]+/[0-9]+ Test|Start +[0-9]+:)' || true
count_ctest build/native.ctest.log

echo "== fuzzing the load pipeline for ${fuzz_seconds}s"
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DRAMULET_BUILD_FUZZER=ON \
    -DRAMULET_BUILD_TESTS=OFF >build/fuzz.configure.log 2>&1 || { cat build/fuzz.configure.log; exit 1; }
cmake --build build/fuzz -j2 --target load_fuzzer ramulet-make-sample 2>&1 | tail -n 1
mkdir -p build/fuzz/corpus
build/fuzz/tools/ramulet-make-sample build/fuzz/corpus/sample.e >/dev/null
if build/fuzz/fuzz/load_fuzzer -max_total_time="$fuzz_seconds" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz/ build/fuzz/corpus >build/fuzz.log 2>&1; then
    echo "fuzzing: $(grep -E '^Done [0-9]+ runs' build/fuzz.log || tail -n 1 build/fuzz.log), no findings"
    passed=$((passed + 1))
else
    tail -n 40 build/fuzz.log
    echo "fuzzing: FOUND A FAULT (input saved under build/fuzz/)"
    failed=$((failed + 1))
fi

echo "== Windows tests under Wine (64 and 32 bits)"
if "$repo/scripts/run-windows-tests.sh" 2>&1 | tee build/windows.log; then :; fi
# The runner ends with "windows: N passed, M failed".
win_line=$(grep -E '^windows: [0-9]+ passed, [0-9]+ failed' build/windows.log | tail -n 1 || true)
if [[ -n $win_line ]]; then
    passed=$((passed + $(sed -E 's/^windows: ([0-9]+) passed.*/\1/' <<<"$win_line")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$win_line")))
else
    failed=$((failed + 1))
fi

echo "total: $passed passed, $failed failed"
((failed == 0))
