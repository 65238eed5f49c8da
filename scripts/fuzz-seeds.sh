#!/usr/bin/env bash
# Makes the fuzz targets' seed corpora from real files: a demo card filled from the local content
# service by torvane-cli (its Default.dat, Diy.dat and rec.tbl deciphered), the service's own
# answers, and its system packages. Usage: scripts/fuzz-seeds.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=${1:-build}
out=${2:-fuzz/corpus}
cli="$build/cli/torvane-cli"
work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-seeds.XXXXXX")
trap 'kill "${service_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$out"/{default_dat,diy_dat,service_answers,text_codec,zip_extract}

"$build/tools/torvane-demo-service" --port 0 >"$work/service.out" 2>&1 &
service_pid=$!
for _ in $(seq 50); do [ -s "$work/service.out" ] && break; sleep 0.1; done
port=$(head -1 "$work/service.out" | grep -o '[0-9]*$')
url="http://127.0.0.1:$port"

# A card made by the service's reset package, with contents of several kinds, games, the DIY
# content and a recording.
mkdir -p "$work/card"
export TORVANE_SERVICE_URL="$url" TORVANE_PASSWORD=demo1234
cli() { "$cli" --user demo --device "$work/card" "$@" >/dev/null 2>&1 </dev/null || true; }
cli updates install 2 --drive "$work/card" --kind reset --yes
cli install L0001 L0002 M0001 S0001 B0001 C0001 E0001
cli game add L0001 L0002
cli diy select L0002
printf 'RIFF\x10\x00\x00\x00WAVE a recording' >"$work/우리아기.wav"
cli diy assign 1 1 "$work/우리아기.wav"
for file in Default.dat Diy.dat; do
    [ -f "$work/card/$file" ] && "$cli" cipher decipher "$work/card/$file" "$work/$file.plain" \
        >/dev/null 2>&1 && cp "$work/$file.plain" "$out/${file%.dat}_dat/" 2>/dev/null || true
done
[ -f "$work/Default.dat.plain" ] && cp "$work/Default.dat.plain" "$out/default_dat/card"
if [ -f "$work/Diy.dat.plain" ]; then
    # The DIY target's first byte splits the input into Diy.dat and rec.tbl.
    { printf '\xff'; head -c 4000 "$work/Diy.dat.plain"; cat "$work/card/ck9/rec.tbl" 2>/dev/null; } \
        >"$out/diy_dat/card"
fi
cp "$work/card/ck9/rec.tbl" "$out/text_codec/rec.tbl" 2>/dev/null || true

# The service's answers, each behind the byte that picks its reader.
answer() { curl -s "$url$2" | { printf "\\x$1"; cat; } >"$out/service_answers/$3"; }
answer 00 "/torvane/pc_contentsList.asp?userID=demo&soundType=larkspin&cookie=demo1234" catalogue
answer 01 "/torvane/pc_childrenList.asp?userID=demo&cookie=demo1234" children
answer 02 "/torvane/pc_systemUpdateFiles.asp" updates
answer 03 "/torvane/pc_bannerList.asp" banners
answer 04 "/torvane/pc_login.asp?id=demo&pw=demo1234" login
# The system packages as they are served.
grep -o 'http[^<]*' "$out/service_answers/updates" | sed 's/&amp;/\&/g' | head -3 |
    while read -r package; do
        curl -s "$package" >"$out/zip_extract/$(basename "${package%%\?*}")"
    done
ls -R "$out" | head -40
