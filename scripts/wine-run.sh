#!/usr/bin/env bash
# Runs a Windows program in the given Wine prefix (the emulator of the test build).
# usage: wine-run.sh <prefix folder> <program.exe> [arguments...]
set -euo pipefail
prefix=$1
shift
"$(dirname "$0")/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
