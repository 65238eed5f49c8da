#!/usr/bin/env bash
# Measures the install engine against the usual tools on the same data, in one run, against the
# local content service on loopback:
#   DownloadToFile (+1 transform) vs `curl -o` of the same 256 MiB file   (goal: >= 0.8 of speed)
#   extraction of the 100 MiB package, step 1 vs `unzip -o`              (goal: >= 0.5 of speed)
#   install of 200 files of 1 MiB vs curl + cp of the same files          (goal: <= 1.3 x time)
# Usage: bench/install_bench.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/best_time.sh
build=${1:-build}
service_bin=$build/tools/torvane-demo-service
bench_bin=$build/bench/delivery_bench
[ -x "$service_bin" ] && [ -x "$bench_bin" ] || { echo "build $service_bin and $bench_bin first"; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-install-bench.XXXXXX")
port=$((20000 + RANDOM % 20000))
"$service_bin" --port "$port" --big-file-mib 256 --big-package-mib 100 >"$work/service.log" 2>&1 &
service_pid=$!
trap 'kill $service_pid 2>/dev/null || true; rm -rf "$work"' EXIT
base=http://127.0.0.1:$port
for _ in $(seq 1 600); do
    curl -s -o /dev/null "$base/torvane/bench/x.mp3?bytes=1" && break
    sleep 0.1
done

curl -s -o "$work/package.zip" "$base/torvane/system/torvane_bench_100MiB.zip"
# Ours and the tools' runs interleaved, so that both see the same load; the best of each counts.
TORVANE_BENCH_SERVICE=$base TORVANE_BENCH_PACKAGE=$work/package.zip \
    "$bench_bin" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_out="$work/runs.json" --benchmark_out_format=json >&2
t_download=$(best BM_DownloadToFileAddOne256MiB "$work/runs.json")
t_curl=$(best BM_CurlReference256MiB "$work/runs.json")
t_extract=$(best BM_ExtractPackageStep1 "$work/runs.json")
t_unzip=$(best BM_UnzipReference "$work/runs.json")
t_install=$(best BM_Install200FilesOf1MiB "$work/runs.json")
t_curlcp=$(best BM_CurlCpReference200Files "$work/runs.json")

awk -v c="$t_curl" -v d="$t_download" -v u="$t_unzip" -v x="$t_extract" -v cc="$t_curlcp" -v i="$t_install" 'BEGIN {
    printf "download 256 MiB (+1):  ours %.2f s, curl -o %.2f s: speed ratio %.2f (goal >= 0.8)\n", d, c, c / d
    printf "extract 100 MiB, step 1: ours %.2f s, unzip -o %.2f s: speed ratio %.2f (goal >= 0.5)\n", x, u, u / x
    printf "install 200 x 1 MiB:     ours %.2f s, curl+cp %.2f s: time ratio %.2f (goal <= 1.3)\n", i, cc, i / cc
}'
