#!/usr/bin/env bash
# GetFileMd5 of a 256 MB file against `openssl md5` of the same file in the same run (best of
# three each, the file in the page cache for both).
set -euo pipefail
work=$TOVIK_BUILD_DIR/bench_md5
mkdir -p "$work"
big=$work/big.bin
[ "$(stat -c %s "$big" 2>/dev/null || echo 0)" = 268435456 ] || head -c 268435456 /dev/urandom > "$big"
cat "$big" > /dev/null
winpath="Z:$(echo "$big" | tr / '\\')"
best_ours=999999; best_openssl=999999
for _ in 1 2 3; do
  start=$(date +%s.%N)
  theirs=$(openssl md5 -r "$big" | cut -d' ' -f1)
  end=$(date +%s.%N)
  best_openssl=$(python3 -c "print(min($best_openssl, $end - $start))")
  line=$(wine "$TOVIK_BUILD_DIR/bin/bench_md5.exe" "$winpath")
  ours=$(echo "$line" | sed -n 's/.*md5=\([0-9a-f]*\).*/\1/p')
  seconds=$(echo "$line" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p')
  best_ours=$(python3 -c "print(min($best_ours, $seconds))")
done
[ "$ours" = "$theirs" ] || { echo "bench md5: digests differ ($ours vs $theirs)" >&2; exit 1; }
python3 -c "print('BENCH md5 ratio=%.3f ours_s=%.3f openssl_s=%.3f' % ($best_ours / $best_openssl, $best_ours, $best_openssl))"
