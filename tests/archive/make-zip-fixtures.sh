#!/usr/bin/env bash
# Makes the Info-ZIP archives the archive tests read, with the files they hold beside them in src/.
# usage: make-zip-fixtures.sh <output folder>
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out/src/pkg/sub/deeper" "$out/src/pkg/empty" "$out/src/skin/bkimage"
cd "$out/src"

python3 - <<'PY'
import random
rng = random.Random(4)
def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
write("pkg/readme.txt", b"tovik package\n" * 40)
write("pkg/zero.txt", b"")
write("pkg/readonly.txt", b"an old install made this read-only\n")
# Larger than one 16 KB chunk on both sides of the stream, and barely compressible.
write("pkg/sub/data.bin", bytes(rng.getrandbits(8) for _ in range(70000)))
write("pkg/sub/deeper/text.txt", b"".join(b"line %d of the text\r\n" % i for i in range(6000)))
write("skin/main.xml", b'<?xml version="1.0" encoding="utf-8"?>\n<Window size="800,550">\n' + b'  <Label text="x"/>\n' * 500 + b"</Window>\n")
write("skin/bkimage/main_bk.png", bytes(rng.getrandbits(8) for _ in range(30000)))
PY
# Fixed modes and times make the archives the same bytes on every run (the mutation test's seeds).
find pkg skin -type d -exec chmod 755 {} +
find pkg skin -type f -exec chmod 644 {} +
chmod 444 pkg/readonly.txt
find pkg skin -exec touch -d @1500000000 {} +
# An odd second: the extended timestamp keeps it, the DOS stamp cannot.
touch -d @1560594031 pkg/readme.txt

zip -q -r ../plain.zip pkg
zip -q -r -X ../noextra.zip pkg
cp ../plain.zip ../comment.zip
python3 -c "print('c' * 5000)" | zip -q -z ../comment.zip
head -c 3000 /dev/zero | tr '\0' 'S' > ../stub.bin
cat ../stub.bin ../plain.zip > ../stub.zip
head -c -22 ../plain.zip > ../noend.zip
(cd skin && zip -q -r -n .png -P skin-pass ../../skin.zip .)
