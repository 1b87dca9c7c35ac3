#!/usr/bin/env bash
# DownloadFile of a 256 MB file over loopback HTTPS from the API stand-in, against native
# `curl -o` of the same URL in the same run (best of three each).
set -euo pipefail
build=$TOVIK_BUILD_DIR
work=$build/bench_download
mkdir -p "$work"
big=$work/big.bin
[ "$(stat -c %s "$big" 2>/dev/null || echo 0)" = 268435456 ] || head -c 268435456 /dev/urandom > "$big"
bash "$TOVIK_SOURCE_DIR/tools/api_standin/start.sh" "$work" --big-file "$big"
trap 'bash "$TOVIK_SOURCE_DIR/tools/api_standin/stop.sh" "$work"; rm -f "$work/ours.bin" "$work/curl.bin"' EXIT
port=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["port"])' "$work/standin.json")
url=https://127.0.0.1:$port/big
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

best_curl=999999; best_ours=999999; growth=0
for _ in 1 2 3; do
  start=$(date +%s.%N)
  curl -s --fail --cacert "$work/certs/ca.pem" -o "$work/curl.bin" "$url"
  end=$(date +%s.%N)
  best_curl=$(python3 -c "print(min($best_curl, $end - $start))")
  line=$(wine "$build/bin/bench_download.exe" "$url" "$(winpath "$work/ours.bin")" "$(winpath "$work/certs/ca.der")")
  seconds=$(echo "$line" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p')
  g=$(echo "$line" | sed -n 's/.*rss_growth_mb=\([0-9.]*\).*/\1/p')
  best_ours=$(python3 -c "print(min($best_ours, $seconds))")
  growth=$(python3 -c "print(max($growth, $g))")
done
cmp -s "$big" "$work/ours.bin" || { echo "bench download: our copy differs from the source" >&2; exit 1; }
python3 -c "print('BENCH download ratio=%.3f ours_s=%.3f curl_s=%.3f rss_growth_mb=%.1f' % ($best_ours / $best_curl, $best_ours, $best_curl, $growth))"
