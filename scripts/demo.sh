#!/usr/bin/env bash
# Fresh machine to Torvane's main job on embedded defaults: installs the packages, builds, starts
# the local content service, turns an empty folder into a demo card with the service's reset
# package, installs contents onto it, chooses games and the DIY content, fills a DIY card and
# applies a child's name voice. With a display the desktop app then opens on the same service and
# card, the demo account filled in; without one the card's contents are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only what the demo runs: the command line, the local content service and, when it is configured,
# the desktop app's development build (the demo account filled in). The tests and benchmarks are
# scripts/test.sh's to build.
targets=(torvane-cli torvane-demo-service)
grep -q '^TORVANE_BUILD_APP:BOOL=ON$' build/CMakeCache.txt && targets+=(torvane-dev)
cmake --build build -j"$(nproc)" --target "${targets[@]}"

demo_dir=${TORVANE_DEMO_DIR:-$PWD/build/demo}
card="$demo_dir/card"
rm -rf "$card" && mkdir -p "$card"

service_log="$demo_dir/service.log"
build/tools/torvane-demo-service --port 0 >"$service_log" 2>&1 &
service_pid=$!
trap 'kill "$service_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    grep -q '^listening on' "$service_log" 2>/dev/null && break
    sleep 0.1
done
address=$(sed -n 's/^listening on //p' "$service_log" | head -n1)
[ -n "$address" ] || { echo "the local content service did not start:"; cat "$service_log"; exit 1; }

export TORVANE_SERVICE_URL="http://$address" TORVANE_PASSWORD=demo1234
cli() { echo "+ torvane-cli $*"; build/cli/torvane-cli --user demo --device "$card" "$@"; }

# A short WAV recording standing in for the parent's own voice on DIY card 1.
recording="$demo_dir/우리아기.wav"
printf 'RIFF\x24\x1f\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x00\x1f\x00\x00' >"$recording"
head -c 7936 /dev/zero | tr '\0' '\200' >>"$recording"

cli login
cli updates list
cli updates install 2 --drive "$card" --kind reset --yes
cli install L0001 L0002 M0001 S0001 B0001 C0001 E0001
cli game add L0001 L0002
cli diy select L0002
cli diy assign 1 1 "$recording"
cli children apply 101

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/tools/torvane-dev ]; then
    echo "Opening the desktop app on the local content service with the demo card attached."
    TORVANE_DRIVES="$card" build/tools/torvane-dev --service "http://$address" --demo-account
else
    if [ ! -x build/tools/torvane-dev ]; then
        echo "The desktop app was not built; showing the card through the command line."
    else
        echo "No display here (DISPLAY is not set); showing the card through the command line."
    fi
    cli device show
    cli diy show
fi
