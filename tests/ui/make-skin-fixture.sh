#!/usr/bin/env bash
# Packs the small skin archive the UI tests read: markup, an image, an empty item and one item
# over the 4 MB limit, enciphered with the skin password.
# usage: make-skin-fixture.sh <output zip> <password>
set -euo pipefail
out=$1
password=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pages" "$(dirname "$out")"
printf '<Window size="800,550"><Button name="ok" text="OK"/></Window>' > "$work/main.xml"
printf '<Page><Label name="p"/></Page>' > "$work/pages/Page.xml"
: > "$work/empty.xml"
head -c 4194305 /dev/zero | tr '\0' ' ' > "$work/big.xml"
python3 - "$work/dot.png" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
width, height = 3, 2
raw = b"".join(b"\x00" + b"\x00\xff\x00\xff" * width for _ in range(height))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
open(sys.argv[1], "wb").write(png)
PY
rm -f "$out"
(cd "$work" && zip -q -r -P "$password" "$out.tmp" main.xml pages empty.xml big.xml dot.png)
mv "$out.tmp" "$out"
