#!/usr/bin/env bash
# Builds the skin archive: renders every SVG source to a PNG of the size the SVG declares, keeps
# markup and other files as they are, and packs the result into a traditional-encrypted ZIP.
# usage: pack-skin.sh <skin source folder> <output zip> <password>
set -euo pipefail
src=$(cd "$1" && pwd)
out=$2
password=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

cd "$src"
while IFS= read -r -d '' f; do
  rel=${f#./}
  case "$rel" in icon/app.svg) continue ;; esac
  mkdir -p "$stage/$(dirname "$rel")"
  case "$rel" in
    *.svg) rsvg-convert -o "$stage/${rel%.svg}.png" "$rel" ;;
    *) cp "$rel" "$stage/$rel" ;;
  esac
done < <(find . -type f ! -name '*.md' -print0)

rm -f "$out.tmp"
(cd "$stage" && zip -q -r -X -P "$password" "$out.tmp" .)
mv "$out.tmp" "$out"
