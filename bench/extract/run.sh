#!/usr/bin/env bash
# Extraction benchmark: a 64 MB package of 1,000 files of mixed sizes, made with Info-ZIP, unpacked
# by ZipExtractor::ExtractAll under Wine and by Info-ZIP's unzip, each into a fresh folder, best of
# three runs each. Prints "BENCH extract ratio=<ours/unzip> peak_mb=<our peak working set> ...".
# Runs with TOVIK_BUILD_DIR and TOVIK_SOURCE_DIR set and a wineserver running (scripts/run-bench.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$TOVIK_BUILD_DIR/bench-extract
package=$work/package.zip
program=$TOVIK_BUILD_DIR/bin/tovik_bench_extract.exe
mkdir -p "$work"

if [ ! -f "$package" ] || [ "$here/make-package.py" -nt "$package" ]; then
  rm -rf "$work/files" "$package"
  python3 "$here/make-package.py" "$work/files"
  (cd "$work/files" && zip -q -r "$package" .)
  rm -rf "$work/files"
fi

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
best_ours=""
best_unzip=""
peak=""
for round in 1 2 3; do
  rm -rf "$work/ours" "$work/unzip"
  line=$(wine "$program" "Z:${package//\//\\}" "Z:${work//\//\\}\\ours" | tr -d '\r')
  ms=$(echo "$line" | sed -n 's/.*ms=\([0-9.]*\).*/\1/p')
  peak=$(echo "$line" | sed -n 's/.*peak_mb=\([0-9.]*\).*/\1/p')
  [ -n "$ms" ] || { echo "bench extract: our extraction failed: $line" >&2; exit 1; }
  start=$(now_ms)
  unzip -o -q "$package" -d "$work/unzip"
  unzip_ms=$(( $(now_ms) - start ))
  best_ours=$(python3 -c "print(min(x for x in [$ms, ${best_ours:-1e18}]))")
  best_unzip=$(python3 -c "print(min(x for x in [$unzip_ms, ${best_unzip:-1e18}]))")
done
# Both sides must have produced the same tree.
diff -r -q "$work/ours" "$work/unzip" >/dev/null || { echo "bench extract: trees differ" >&2; exit 1; }
rm -rf "$work/ours" "$work/unzip"
python3 - "$best_ours" "$best_unzip" "$peak" "$(stat -c %s "$package")" <<'PY'
import sys
ours, unzip, peak, size = float(sys.argv[1]), float(sys.argv[2]), sys.argv[3], int(sys.argv[4])
print("BENCH extract ratio=%.2f peak_mb=%s ours_ms=%.0f unzip_ms=%.0f package_mb=%.1f files=1000"
      % (ours / unzip, peak, ours, unzip, size / 1048576.0))
PY
