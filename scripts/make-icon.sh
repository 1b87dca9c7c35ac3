#!/usr/bin/env bash
# Renders the icon's SVG source at the usual icon sizes and packs them into one .ico file.
# usage: make-icon.sh <svg> <output ico>
set -euo pipefail
svg=$1
out=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
pngs=()
for s in 16 24 32 48 64 256; do
  rsvg-convert -w "$s" -h "$s" -o "$stage/icon-$s.png" "$svg"
  pngs+=("$stage/icon-$s.png")
done
python3 "$(dirname "$0")/../tools/make_ico.py" "$out" "${pngs[@]}"
