#!/usr/bin/env bash
# Size of the shipped program, skin included (goal: at most 1.5 MiB). Prints "BENCH exe_size bytes=<n>".
set -euo pipefail
exe=$TOVIK_SOURCE_DIR/out/TovikSetup.exe
[ -f "$exe" ] || { echo "bench exe_size: $exe is missing (make release)" >&2; exit 1; }
bytes=$(stat -c %s "$exe")
echo "BENCH exe_size bytes=$bytes"
