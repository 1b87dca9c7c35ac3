#!/usr/bin/env bash
# Runs every test of a test build under Wine, with an Xvfb display of its own for the windows and
# one wineserver kept alive for the run (a program then starts in a fraction of a second).
# usage: run-tests.sh <test build folder> [ctest arguments...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
source "$(dirname "$0")/wine-session.sh" "$build/wineprefix" xvfb
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
