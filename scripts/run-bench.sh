#!/usr/bin/env bash
# Runs every benchmark script bench/*/run.sh against a built test tree. Each prints lines of the form
# "BENCH <name> <key>=<number> ...", where ratio= is our time divided by the named peer's time
# measured in the same run.
# usage: run-bench.sh <test build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-session.sh" "$build/wineprefix" xvfb
export TOVIK_BUILD_DIR=$build TOVIK_SOURCE_DIR=$root
found=0
for script in "$root"/bench/*/run.sh; do
  [ -f "$script" ] || continue
  found=1
  bash "$script"
done
[ $found -eq 1 ] || echo "run-bench: no benchmarks yet"
