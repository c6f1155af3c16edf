#!/usr/bin/env python3
"""Writes Server.gif: a small animated picture of a server whose lights run, shown while
the program works. Run once; the picture is committed next to this script.

    python3 make-server-gif.py Server.gif
"""
import struct
import sys

WIDTH, HEIGHT = 32, 32
# 0 background, 1 case, 2 outline and slots, 3 lit light
PALETTE = [(0xFF, 0xFF, 0xFF), (0xB8, 0xB8, 0xB8), (0x40, 0x40, 0x40), (0x20, 0xD0, 0x40)]
FRAMES = 4
DELAY = 25  # hundredths of a second


def frame(lit):
    px = [[0] * WIDTH for _ in range(HEIGHT)]
    for y in range(2, 30):
        for x in range(8, 24):
            edge = y in (2, 29) or x in (8, 23)
            px[y][x] = 2 if edge else 1
    for slot in range(4):  # four drive bays, each with one light
        top = 5 + slot * 6
        for x in range(11, 18):
            px[top][x] = px[top + 2][x] = 2
        for y in range(top, top + 3):
            px[y][11] = px[y][17] = 2
        light = 3 if slot == lit else 2
        for y in (top, top + 1):
            for x in (19, 20):
                px[y][x] = light
    return [c for row in px for c in row]


def lzw(pixels):
    # Code size 3 for a 4-colour table. A clear code after every second pixel keeps the
    # code table from growing, so every code stays 3 bits wide.
    clear, end, bits = 4, 5, 3
    codes = [clear]
    for i, p in enumerate(pixels):
        codes.append(p)
        if i % 2 == 1:
            codes.append(clear)
    codes.append(end)
    out, acc, n = bytearray(), 0, 0
    for c in codes:
        acc |= c << n
        n += bits
        while n >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            n -= 8
    if n:
        out.append(acc & 0xFF)
    blocks = bytearray()
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes([2]) + bytes(blocks) + b"\x00"


def main(path):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", WIDTH, HEIGHT, 0x91, 0, 0)
    for rgb in PALETTE:
        data += bytes(rgb)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for f in range(FRAMES):
        data += b"\x21\xF9\x04\x04" + struct.pack("<H", DELAY) + b"\x00\x00"
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0)
        data += lzw(frame(f))
    data += b"\x3B"
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Server.gif")
