#!/usr/bin/env bash
# Runs every benchmark script bench/*/run.sh against a built test tree. Each prints lines of the form
# "BENCH <name> <key>=<number> ...", where ratio= is our time divided by the named peer's time
# measured in the same run.
# usage: run-bench.sh <test build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
prefix="$build/wineprefix"
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" TOVIK_BUILD_DIR=$build TOVIK_SOURCE_DIR=$root
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
for n in $(seq 141 180); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  break
done
wineserver -p
wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
found=0
for script in "$root"/bench/*/run.sh; do
  [ -f "$script" ] || continue
  found=1
  bash "$script"
done
[ $found -eq 1 ] || echo "run-bench: no benchmarks yet"
