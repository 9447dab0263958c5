#!/usr/bin/env python3
"""Turns a binary PPM (P6) or a 32-bit TGA into a PNG: window pictures for the
README and for looking at screens. Usage: ppm2png.py IN OUT.png"""
import struct
import sys
import zlib


def readppm(data):
    fields, pos = [], 2
    while len(fields) < 3:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(int(data[start:pos]))
    w, h, _ = fields
    pixels = data[pos + 1:pos + 1 + w * h * 3]
    return w, h, 3, [pixels[y * w * 3:(y + 1) * w * 3] for y in range(h)]


def readtga(data):
    w, h = struct.unpack("<HH", data[12:16])
    bpp, desc = data[16], data[17]
    if data[2] != 2 or bpp != 32:
        sys.exit("only plain 32-bit TGA files")
    body = data[18 + data[0]:]
    rows = []
    for y in range(h):
        row = bytearray(body[y * w * 4:(y + 1) * w * 4])
        row[0::4], row[2::4] = row[2::4], row[0::4]
        rows.append(bytes(row))
    if not desc & 0x20:
        rows.reverse()
    return w, h, 4, rows


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def main():
    data = open(sys.argv[1], "rb").read()
    w, h, channels, rows = readppm(data) if data[:2] == b"P6" else readtga(data)
    raw = b"".join(b"\0" + row for row in rows)
    colour = 2 if channels == 3 else 6
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    open(sys.argv[2], "wb").write(png)


main()
