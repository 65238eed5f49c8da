#!/usr/bin/env bash
# Measures `torvane-cli device backup` against `zip -0` over the same card: 100 MiB of DIY
# recordings (100 files of 1 MiB of noise, as compressed audio is) in the four slot folders.
# Goal: the backup runs at least at half the speed of `zip -0` (ratio >= 0.5).
# Both write to the same folder; the best of five runs of each counts, interleaved so that both
# see the same load and a warm page cache.
# Usage: bench/card_backup_bench.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli=$build/cli/torvane-cli
[ -x "$cli" ] || { echo "build $cli first"; exit 2; }
command -v zip >/dev/null || { echo "zip is not installed"; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-backup-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
card=$work/card
for i in $(seq 1 100); do
    slot=$(((i - 1) % 4 + 1))
    mkdir -p "$card/ck9/re$slot"
    head -c 1048576 /dev/urandom >"$card/ck9/re$slot/$(printf '%08d' "$i").mp3"
done
printf '' >"$card/ck9/rec.tbl"

now() { date +%s.%N; }
best_ours=999999
best_zip=999999
for _ in 1 2 3 4 5; do
    rm -f "$work/ours.tvbackup"
    start=$(now)
    "$cli" --device "$card" device backup "$work/ours.tvbackup" >/dev/null
    t=$(echo "$(now) - $start" | bc -l)
    best_ours=$(echo "if ($t < $best_ours) $t else $best_ours" | bc -l)

    rm -f "$work/zip.zip"
    start=$(now)
    (cd "$card" && zip -0 -q -r "$work/zip.zip" ck9)
    t=$(echo "$(now) - $start" | bc -l)
    best_zip=$(echo "if ($t < $best_zip) $t else $best_zip" | bc -l)
done
printf 'device backup: %.3f s (%.0f MiB/s)\n' "$best_ours" "$(echo "100 / $best_ours" | bc -l)"
printf 'zip -0:        %.3f s (%.0f MiB/s)\n' "$best_zip" "$(echo "100 / $best_zip" | bc -l)"
ratio=$(echo "$best_zip / $best_ours" | bc -l)
printf 'speed ratio (ours / zip -0): %.2f (goal >= 0.5)\n' "$ratio"
