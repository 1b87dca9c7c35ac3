"""Writes the benchmark's 1,000 files of mixed sizes and kinds (text, binary, incompressible) into a
folder, deterministically. usage: make-package.py <folder>"""
import os
import random
import sys

root = sys.argv[1]
rng = random.Random(64)
words = [b"tovik", b"accelerator", b"route", b"server", b"latency", b"packet", b"config", b"client",
         b"update", b"node", b"region", b"game", b"session", b"socket", b"buffer", b"value"]
text_block = b" ".join(rng.choice(words) for _ in range(200000)) + b"\n"


def size_for(i):
    # Mostly small files, some medium, a few large: like an application package.
    if i % 100 == 0:
        return rng.randint(6 << 20, 12 << 20)
    if i % 10 == 0:
        return rng.randint(180 << 10, 1060 << 10)
    return rng.randint(350, 70 << 10)


for i in range(1000):
    folder = os.path.join(root, "dir%02d" % (i % 37), "sub%d" % (i % 5))
    os.makedirs(folder, exist_ok=True)
    size = size_for(i)
    kind = i % 3
    if kind == 0:
        start = rng.randint(0, len(text_block) - 1)
        data = (text_block[start:] + text_block)[:size]
        while len(data) < size:
            data += text_block[: size - len(data)]
        name = "file%04d.txt" % i
    elif kind == 1:
        data = rng.randbytes(size)
        name = "file%04d.dat" % i
    else:
        data = bytes((j * 7 + (j >> 9)) & 0xFF for j in range(min(size, 4096))) * (size // 4096 + 1)
        data = bytearray(data[:size])
        for _ in range(size // 64):
            data[rng.randrange(size)] = rng.randrange(256)
        data = bytes(data)
        name = "file%04d.bin" % i
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
