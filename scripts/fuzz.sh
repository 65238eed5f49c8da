#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz) and runs each from its seed corpus.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#   scripts/fuzz.sh 5            a short run of every target (the test command does this)
#   scripts/fuzz.sh 3600 zip_extract   a long run of one target
# New inputs that cover more go to build-fuzz/corpus/<target>; crashes to build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(default_dat diy_dat service_answers text_codec zip_extract)
if ! command -v clang++ >/dev/null; then
    echo "fuzz: no clang++, fuzz targets skipped" >&2
    exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_FUZZ=ON \
    -DTORVANE_BUILD_APP=OFF -DTORVANE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
mkdir -p build-fuzz/findings
status=0
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    log=build-fuzz/findings/$target.log
    if ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" \
        -max_len=65536 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/findings/$target-" "$corpus" "fuzz/corpus/$target" \
        >"$log" 2>&1; then
        result=clean
    else
        result="FOUND (see $log)"
        status=1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    echo "fuzz $target: $runs executions in ${seconds}s, $result"
done
exit $status
