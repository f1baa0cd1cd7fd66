#!/usr/bin/env python3
"""Draws the programs' icons as 16-colour .ico files, with python3's standard library only.

    scripts/make-icons.py                 write every icon into resources/icons/
    scripts/make-icons.py --check         exit 1 when a committed icon differs from the drawing
    scripts/make-icons.py --preview DIR   also write each image, enlarged 8x, as PNG into DIR

To add an icon: write a function (size) -> rows of palette indices (None = transparent),
top row first, and add a line to ICONS naming the file and the sizes it holds.
"""

import argparse
import os
import struct
import sys
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
ICON_DIR = os.path.join(ROOT, "resources", "icons")

# The 16 colours of the standard Windows palette, in its order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREY, RED, GREEN, YELLOW, BLUE, WHITE = 0, 8, 9, 10, 11, 12, 15


def outline(mask, size, colour, inner):
    """Colours the pixels of `mask` with `colour` where they touch the outside, else `inner`."""
    def inside(x, y):
        return 0 <= x < size and 0 <= y < size and mask[y][x]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if not mask[y][x]:
                row.append(None)
            elif all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                row.append(inner(x, y))
            else:
                row.append(colour)
        rows.append(row)
    return rows


def ostrover_icon(size):
    """The puzzle seen from above (an octagon of four coloured pieces with white chamfers)
    and an arrow that hands it on."""
    half = size / 2.0

    def uv(x, y):  # pixel centre in -1..1, y up
        return (x + 0.5 - half) / half, (half - y - 0.5) / half

    radius, diagonal = 0.94, 0.94 * 1.414
    chamfer = (2.4 if size >= 32 else 1.0) / half  # a thin white rim, two pixels at 32

    def in_octagon(x, y):
        u, v = uv(x, y)
        return abs(u) <= radius and abs(v) <= radius and abs(u) + abs(v) <= diagonal

    def piece(x, y):
        u, v = uv(x, y)
        if abs(u) + abs(v) > diagonal - chamfer:
            return WHITE
        if abs(u) < 0.6 / half or abs(v) < 0.6 / half:
            return BLACK  # the seams between the pieces
        return (RED if v > 0 else BLUE) if u < 0 else (YELLOW if v > 0 else GREEN)

    # The small image needs a bolder arrow to stay an arrow.
    shaft, head_start, head_end, head_half = (0.17, 0.0, 0.7, 0.5) if size >= 32 else (0.2, -0.1, 0.72, 0.5)

    def in_arrow(x, y):
        u, v = uv(x, y)
        if -0.66 <= u <= head_start + 0.08 and abs(v) <= shaft:
            return True
        return head_start <= u <= head_end and abs(v) <= head_half * (head_end - u) / (head_end - head_start) + 0.01

    octagon = outline([[in_octagon(x, y) for x in range(size)] for y in range(size)], size, BLACK, piece)
    # At 16 pixels a black rim would eat the arrow's head; the seams frame it well enough.
    arrow = outline([[in_arrow(x, y) for x in range(size)] for y in range(size)], size,
                    BLACK if size >= 32 else WHITE, lambda x, y: WHITE)
    return [[a if a is not None else o for a, o in zip(arow, orow)] for arow, orow in zip(arrow, octagon)]


# file name in resources/icons, drawing function, image sizes in the order they are stored
ICONS = [
    ("ostrover.ico", ostrover_icon, (32, 16)),  # resource 107
    ("ostrover_small.ico", ostrover_icon, (16,)),  # resource 108
]


def dib(rows):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and the 1-bit mask, bottom up."""
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):
        packed = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, index in enumerate(row):
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0
            packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += packed
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def ico(images):
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for rows in images:
        data = dib(rows)
        size = len(rows)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(data), offset + len(blobs))
        blobs += data
    return struct.pack("<HHH", 0, 1, len(images)) + entries + blobs


def png(rows, scale):
    """An enlarged RGBA PNG of one image, for looking at it."""
    lines = b""
    for row in rows:
        pixels = b"".join(bytes(PALETTE[i]) + b"\xff" if i is not None else b"\xff\xff\xff\x00" for i in row)
        line = b"".join(pixels[i:i + 4] * scale for i in range(0, len(pixels), 4))
        lines += (b"\x00" + line) * scale

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    width = len(rows[0]) * scale
    header = struct.pack(">IIBBBBB", width, len(rows) * scale, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(lines)) + chunk(b"IEND", b"")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the committed files, write nothing")
    parser.add_argument("--preview", metavar="DIR", help="write enlarged PNGs of every image into DIR")
    args = parser.parse_args()

    stale = []
    for name, draw, sizes in ICONS:
        images = [draw(size) for size in sizes]
        data = ico(images)
        path = os.path.join(ICON_DIR, name)
        if args.check:
            with open(path, "rb") as f:
                if f.read() != data:
                    stale.append(name)
        else:
            os.makedirs(ICON_DIR, exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            for rows in images:
                stem = os.path.splitext(name)[0]
                with open(os.path.join(args.preview, "%s_%d.png" % (stem, len(rows))), "wb") as f:
                    f.write(png(rows, 8))
    if stale:
        print("out of date (run scripts/make-icons.py): " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
