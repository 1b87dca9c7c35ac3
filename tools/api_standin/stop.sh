#!/usr/bin/env bash
# Stops the stand-in started by start.sh for this state folder.
# usage: stop.sh <state folder>
set -euo pipefail
state=$1/standin.json
[ -f "$state" ] || exit 0
pid=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["pid"])' "$state")
kill "$pid" 2>/dev/null || true
rm -f "$state"
