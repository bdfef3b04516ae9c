#!/usr/bin/env python3
"""Writes the sample folder: tiny valid JPEG and PNG pictures whose names show
the file-name formats. Run from anywhere: tools/make_sample.py [FOLDER]

The pictures are mosaics of 8x8 tiles coloured from the name, so that every
file looks different in the Viewer. Only the standard library is used; the
JPEG writer codes each tile by its DC coefficient alone, which any decoder
reads and which keeps the files at a few hundred bytes.
"""
import hashlib
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 64, 48  # multiples of 8: whole JPEG blocks

# The sample names: Good, Warn and Fail examples of each format.
NAMES = [
    # Lorvane Data 2.x
    "{DT=2024-05-17 @14-30}{SU=Ann;Ben}{PL=Harbour}.jpg",
    "{DT=2023-08}{SU=Harbour seals{PS=Left}}{PL=North pier}{CR=Ada}.jpg",
    "{DT=1999-12-31 @23-59-59}{TL=Last light}{DV=Pinhole}{QU=80}.png",
    "{DT=2021-06-05 ~ 2021-06-07}{AC=Sailing}{PL=Lake Orta}{KW=boat;wind}.jpg",
    "{SU=Ann}{Colour=Blue}{PL=Harbour}.jpg",
    "{DT=2024-05-17}{SU=Ann;Ann}{PL=Harbour}.png",
    "{SU}{PL=Harbour}.jpg",
    "{SU=Ann} and {PL=Harbour}.jpg",
    "{=Ann}{PL=Harbour}.png",
    # Lorvane Data 1.x
    "2024-05-17 @14-30 #012 Harbour seals.jpg",
    "2021-06-05 ~ 2021-06-07 #3 Sailing on the lake.jpg",
    "2023-08 Summer.png",
    "2024-02-30 #1 Impossible day.jpg",
    # Neither format
    "holiday photo.jpg",
]


def colours(name):
    """A small palette derived from the name."""
    digest = hashlib.sha256(name.encode("utf-8")).digest()
    return [tuple(digest[i:i + 3]) for i in range(0, 24, 3)]


def tile_colour(palette, bx, by):
    return palette[(bx * 3 + by * 5 + (bx * by)) % len(palette)]


# --- PNG ---------------------------------------------------------------------

def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, palette):
    rows = bytearray()
    for y in range(HEIGHT):
        rows.append(0)  # filter: none
        for x in range(WIDTH):
            rows.extend(tile_colour(palette, x // 8, y // 8))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0))
    data += png_chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# --- JPEG (baseline, 4:4:4, DC-only tiles) -----------------------------------

# The usual luminance DC code lengths: categories 0..11.
DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_VALS = list(range(12))
# Only end-of-block is ever written; a second symbol keeps the table well formed.
AC_BITS = [0, 2] + [0] * 14
AC_VALS = [0x00, 0x01]


def huffman_codes(bits, vals):
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[vals[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, code, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((code >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)  # byte stuffing
                self.acc, self.n = 0, 0

    def flush(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)  # pad with ones


def ycbcr(rgb):
    r, g, b = rgb
    y = 0.299 * r + 0.587 * g + 0.114 * b
    cb = 128 - 0.168736 * r - 0.331264 * g + 0.5 * b
    cr = 128 + 0.5 * r - 0.418688 * g - 0.081312 * b
    return [max(0, min(255, round(v))) for v in (y, cb, cr)]


def segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def write_jpeg(path, palette):
    dc = huffman_codes(DC_BITS, DC_VALS)
    ac = huffman_codes(AC_BITS, AC_VALS)
    bw = BitWriter()
    previous = [0, 0, 0]
    for by in range(HEIGHT // 8):
        for bx in range(WIDTH // 8):
            levels = ycbcr(tile_colour(palette, bx, by))
            for c in range(3):
                # With a DC quantiser of 8 the quantised DC of a flat block is its level - 128.
                value = levels[c] - 128
                diff = value - previous[c]
                previous[c] = value
                category = abs(diff).bit_length()
                bw.put(*dc[category])
                if category:
                    bits = diff if diff > 0 else diff + (1 << category) - 1
                    bw.put(bits, category)
                bw.put(*ac[0x00])  # end of block
    bw.flush()

    quant = bytes([8] + [16] * 63)
    data = b"\xFF\xD8"
    data += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    data += segment(0xDB, b"\x00" + quant)
    data += segment(0xC0, struct.pack(">BHHB", 8, HEIGHT, WIDTH, 3) +
                    b"\x01\x11\x00" + b"\x02\x11\x00" + b"\x03\x11\x00")
    data += segment(0xC4, b"\x00" + bytes(DC_BITS) + bytes(DC_VALS))
    data += segment(0xC4, b"\x10" + bytes(AC_BITS) + bytes(AC_VALS))
    data += segment(0xDA, b"\x03" + b"\x01\x00" + b"\x02\x00" + b"\x03\x00" + b"\x00\x3F\x00")
    data += bytes(bw.out) + b"\xFF\xD9"
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "sample")
    os.makedirs(folder, exist_ok=True)
    for name in NAMES:
        path = os.path.join(folder, name)
        palette = colours(name)
        if name.lower().endswith(".png"):
            write_png(path, palette)
        else:
            write_jpeg(path, palette)
    print(f"Wrote {len(NAMES)} files to {folder}")


if __name__ == "__main__":
    main()
