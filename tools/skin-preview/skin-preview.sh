#!/usr/bin/env bash
# Renders a skin markup file to a PNG with the skin preview tool, under Wine with a display of its
# own. Paths are Unix paths; the tool sees them as Z:\...
# usage: skin-preview.sh <markup file> <output.png> [--folder <dir>] [--archive <zip> --password <text>]
#                        [--size <w>,<h>]
# The markup file is a name inside the folder or archive. TOVIK_BUILD_DIR picks the test build
# (default: build/x86_64 of this checkout).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${TOVIK_BUILD_DIR:-$root/build/x86_64}
tool="$build/bin/SkinPreview.exe"
[ -f "$tool" ] || { echo "skin-preview: $tool is missing; build the test build first" >&2; exit 1; }
winpath() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }

args=()
markup=${1:?markup file}
output=${2:?output png}
shift 2
args+=("$markup" "$(winpath "$output")")
while [ $# -gt 0 ]; do
  case "$1" in
    --folder|--archive) args+=("$1" "$(winpath "$2")"); shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
if [ -z "${DISPLAY:-}" ]; then
  source "$root/scripts/wine-session.sh" "$build/wineprefix" xvfb
else
  source "$root/scripts/wine-session.sh" "$build/wineprefix"
fi
wine "$tool" "${args[@]}"
