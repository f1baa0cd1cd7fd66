#!/usr/bin/env python3
"""Draws VexalMini's icon (resource 101: a 32 x 32 and a 16 x 16 image, 16 colours each)
into resources/icons/vexalmini.ico, with python3's standard library only.

    scripts/make-game-icon.py                 write the icon
    scripts/make-game-icon.py --check         exit 1 when the committed icon differs from the drawing
    scripts/make-game-icon.py --preview DIR   also write each image, enlarged 8x, as PNG into DIR

The picture: the solved puzzle seen from above and to the front, an octagonal prism of two
layers, with a yellow top, a red front, white chamfers and black seams. The .ico
encoding and the palette come from scripts/make-icons.py.
"""

import argparse
import importlib.util
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
_source = importlib.util.spec_from_file_location("make_icons", os.path.join(HERE, "make-icons.py"))
icons = importlib.util.module_from_spec(_source)
_source.loader.exec_module(icons)

ICON_PATH = os.path.join(icons.ROOT, "resources", "icons", "vexalmini.ico")
BLACK, RED, GREEN, YELLOW, BLUE, WHITE = icons.BLACK, icons.RED, icons.GREEN, icons.YELLOW, icons.BLUE, icons.WHITE
DARK_RED, DARK_GREEN, NAVY = 1, 2, 4  # the palette's darker shades
# Big sides in order from CORNERS[1]: (upper, lower at 16 pixels).
SIDE_COLOURS = [(RED, DARK_RED), (BLUE, NAVY), (RED, DARK_RED), (GREEN, DARK_GREEN)]

# Corners of the octagon, in degrees around the vertical axis; 0 is screen right and 90
# straight at the viewer. The big sides span 60 degrees, the chamfers 30; the puzzle is
# turned by 25 degrees so that two sides and the chamfer between them face the viewer.
TURN = 25
CORNERS = [a + TURN for a in (30, 60, 120, 150, 210, 240, 300, 330)]


def geometry(size):
    s = size / 32.0
    return dict(cx=16.0 * s, cy=8.6 * s, rx=14.8 * s, ry=7.6 * s, height=14.2 * s)


def corner(g, degrees, drop=0.0):
    a = math.radians(degrees)
    return g["cx"] + g["rx"] * math.cos(a), g["cy"] + g["ry"] * math.sin(a) + drop


def inside(poly, x, y):
    """Even-odd test of the point (x, y) against a polygon."""
    hit = False
    for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def segment_distance(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def game_icon(size):
    g = geometry(size)
    half = g["height"] / 2.0
    top = [corner(g, a) for a in CORNERS]
    # The band's faces that look toward the viewer (their middle lies in the front half),
    # each cut into an upper and a lower layer. At 16 pixels the lower layer of a coloured
    # side is a shade darker so that the layers still read apart. The top is tested first:
    # seen from above it hides the back of the band.
    faces = [(top, YELLOW)]
    bands = []
    for i, (a, b) in enumerate(zip(CORNERS, CORNERS[1:] + [CORNERS[0] + 360])):
        if math.sin(math.radians((a + b) / 2.0)) <= 0:
            continue
        colour, lower = SIDE_COLOURS[i // 2] if i % 2 == 1 else (WHITE, WHITE)
        bands.append((a, b))
        faces.append(([corner(g, a), corner(g, b), corner(g, b, half), corner(g, a, half)], colour))
        faces.append(([corner(g, a, half), corner(g, b, half), corner(g, b, g["height"]), corner(g, a, g["height"])],
                      lower if size < 32 else colour))

    # The top is four pieces; every big side two pieces wide; the layers cut the band.
    middles = [a + 30 for a in CORNERS[1::2]]
    top_seams = [((g["cx"], g["cy"]), corner(g, mid)) for mid in middles]
    band_seams = [(corner(g, a, half), corner(g, b, half)) for a, b in bands]
    band_seams += [(corner(g, mid), corner(g, mid, g["height"])) for mid in middles]
    seam_width = 0.55 if size >= 32 else 0.4

    def colour_at(x, y):
        px, py = x + 0.5, y + 0.5
        for poly, colour in faces:
            if inside(poly, px, py):
                seams = top_seams if poly is top else band_seams
                if any(segment_distance(px, py, a, b) < seam_width for a, b in seams):
                    return BLACK
                return colour
        return None

    mask = [[colour_at(x, y) is not None for x in range(size)] for y in range(size)]
    return icons.outline(mask, size, BLACK, colour_at)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the committed file, write nothing")
    parser.add_argument("--preview", metavar="DIR", help="write enlarged PNGs of both images into DIR")
    args = parser.parse_args()

    images = [game_icon(32), game_icon(16)]
    data = icons.ico(images)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for rows in images:
            with open(os.path.join(args.preview, "vexalmini_%d.png" % len(rows)), "wb") as f:
                f.write(icons.png(rows, 8))
    if args.check:
        try:
            with open(ICON_PATH, "rb") as f:
                current = f.read()
        except OSError:
            current = b""
        if current != data:
            print("out of date (run scripts/make-game-icon.py): resources/icons/vexalmini.ico", file=sys.stderr)
            return 1
        return 0
    os.makedirs(os.path.dirname(ICON_PATH), exist_ok=True)
    with open(ICON_PATH, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
