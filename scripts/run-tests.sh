#!/usr/bin/env bash
# Runs every test of a test build: an X display for the windows (Xvfb), one wineserver kept alive for
# the whole run (a program then starts in a fraction of a second), ctest, and clean-up afterwards.
# usage: run-tests.sh <test build folder> [ctest arguments...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
prefix="$build/wineprefix"
"$here/wine-prefix.sh" "$prefix"

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

# A display of our own, so tests never draw on (or depend on) a person's screen.
for n in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  break
done
wineserver -p
# Wine's own service processes start with the first program and stay as long as the server does;
# start them here with no ties to ctest's output pipes, or ctest would wait on them forever.
wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
