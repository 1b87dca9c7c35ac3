#!/usr/bin/env bash
# Packs the stand-in client package: tvgate.exe and unins000.exe at the root, a readme in a subfolder
# (so the package has item paths to keep), and files.lst naming every file for the uninstaller.
# usage: make-package.sh <out.zip> <tvgate.exe> <unins000.exe> <readme.txt>
set -euo pipefail
out=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/docs" "$(dirname "$out")"
cp "$2" "$stage/tvgate.exe"
cp "$3" "$stage/unins000.exe"
cp "$4" "$stage/docs/readme.txt"
(cd "$stage" && find . -type f | sed 's|^\./||' | sort > files.lst && echo files.lst >> files.lst)
rm -f "$out"
(cd "$stage" && zip -q -r -X "$out" .)
