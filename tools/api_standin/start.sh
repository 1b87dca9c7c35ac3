#!/usr/bin/env bash
# Starts the stand-in in the background and waits until it has written its ports.
# usage: start.sh <state folder> [extra standin.py arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
shift
bash "$here/make-certs.sh" "$dir/certs"
rm -f "$dir/standin.json"
setsid python3 "$here/standin.py" --certs "$dir/certs" --state "$dir/standin.json" "$@" \
  </dev/null >"$dir/standin.log" 2>&1 &
for _ in $(seq 100); do
  [ -f "$dir/standin.json" ] && exit 0
  sleep 0.1
done
echo "api stand-in did not start; see $dir/standin.log" >&2
exit 1
