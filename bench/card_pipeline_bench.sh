#!/usr/bin/env bash
# Measures an install of 20 contents of 10 x 1 MiB onto a FAT card image mounted through FUSE,
# against the downloads alone and the copies alone, in one run:
#   1. the copy alone onto the card gives the card's copy rate;
#   2. the local content service is started throttled to about that rate;
#   3. downloads alone, copies alone and the install run in three rounds, the best of each counts;
#   install time / max(download alone, copy alone)                      (goal: <= 1.15)
# Usage: bench/card_pipeline_bench.sh [BUILD_DIR [REFERENCE_BENCH]]   (default: build)
# REFERENCE_BENCH, another build's card_pipeline_bench (an earlier engine), installs in the same
# rounds for comparison.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/best_time.sh
build=${1:-build}
service_bin=$build/tools/torvane-demo-service
bench_bin=$build/bench/card_pipeline_bench
reference_bin=${2:-}
[ -x "$service_bin" ] && [ -x "$bench_bin" ] || { echo "build $service_bin and $bench_bin first"; exit 2; }
tests/support/fat-card.sh check >/dev/null || { tests/support/fat-card.sh check; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-pipeline-bench.XXXXXX")
card=$work/card
service_pid=
cleanup() {
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
    mountpoint -q "$card" && tests/support/fat-card.sh umount "$card" || true
    rm -rf "$work"
}
trap cleanup EXIT
tests/support/fat-card.sh create "$work/card.img" 320
tests/support/fat-card.sh mount "$work/card.img" "$card"

# Starts the service with the given extra options; sets service_pid and base.
start_service() {
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
    local port=$((20000 + RANDOM % 20000))
    "$service_bin" --port "$port" "$@" >"$work/service.log" 2>&1 &
    service_pid=$!
    base=http://127.0.0.1:$port
    for _ in $(seq 1 600); do
        curl -s -o /dev/null "$base/torvane/bench/x.mp3?bytes=1" && return
        sleep 0.1
    done
    echo "the local content service did not start"; exit 1
}


start_service
TORVANE_BENCH_SERVICE=$base TORVANE_BENCH_CARD=$card "$bench_bin" --benchmark_filter=BM_CopyAlone \
    --benchmark_out="$work/copy.json" --benchmark_out_format=json >&2
t_copy=$(best BM_CopyAlone "$work/copy.json")
# Pieces of 64 KiB, each followed by a pause that makes the service as fast as the card.
delay_ms=$(awk -v t="$t_copy" 'BEGIN { d = t * 1000 / (200 * 16); printf "%d", (d < 1 ? 1 : d + 0.5) }')
start_service --fault-path /torvane/bench/ --fault-body slow --slow-chunk 65536 \
    --slow-delay-ms "$delay_ms"

# Three rounds, the reference's install right after each; the best of each counts.
export TORVANE_BENCH_SERVICE=$base TORVANE_BENCH_CARD=$card
for round in 1 2 3; do
    "$bench_bin" --benchmark_out="$work/runs-$round.json" --benchmark_out_format=json >&2
    if [ -n "$reference_bin" ]; then
        "$reference_bin" --benchmark_filter=BM_Install --benchmark_out="$work/reference-$round.json" \
            --benchmark_out_format=json >&2
    fi
done
t_download=$(best BM_DownloadAlone "$work"/runs-*.json)
t_copy=$(best BM_CopyAlone "$work"/runs-*.json)
t_install=$(best BM_Install "$work"/runs-*.json)
awk -v d="$t_download" -v c="$t_copy" -v i="$t_install" -v ms="$delay_ms" 'BEGIN {
    slower = d > c ? d : c
    printf "service throttled to 64 KiB per %d ms\n", ms
    printf "200 x 1 MiB onto a FAT card: download alone %.2f s, copy alone %.2f s, install %.2f s\n", d, c, i
    printf "install / max(download, copy): %.2f (goal <= 1.15); / (download + copy): %.2f\n", i / slower, i / (d + c)
}'
if [ -n "$reference_bin" ]; then
    t_reference=$(best BM_Install "$work"/reference-*.json)
    awk -v d="$t_download" -v c="$t_copy" -v r="$t_reference" -v i="$t_install" 'BEGIN {
        slower = d > c ? d : c
        printf "reference install %.2f s: / max(download, copy) %.2f; this install / reference %.2f\n", r, r / slower, i / r
    }'
fi
