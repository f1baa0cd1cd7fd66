#!/usr/bin/env python3
"""The harness's own pixel work, without a screen: a comparison that missed a difference
would let every end-to-end test pass."""

import glob
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import desktop  # noqa: E402
from desktop import Image  # noqa: E402


def gradient(width=7, height=5):
    return Image(width, height, bytes((x * 37 + y * 11 + c * 5) & 255 for y in range(height) for x in range(width)
                                      for c in range(3)))


def changed(image, points):
    rgb = bytearray(image.rgb)
    for x, y in points:
        rgb[3 * (y * image.width + x)] ^= 0xFF
    return Image(image.width, image.height, rgb)


class Pixels(unittest.TestCase):
    def test_png_files_read_as_an_independent_decoder_reads_them(self):
        # libpng's frames (every filter type) against ImageMagick's reading of the same files.
        for path in sorted(glob.glob(os.path.join(HERE, "..", "golden", "*.png"))):
            with self.subTest(os.path.basename(path)):
                rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, stdout=subprocess.PIPE)
                self.assertEqual(desktop.read_png(path).rgb, rgb.stdout)

    def test_every_row_filter_reads_back(self):
        # Rows filtered the forward way, by the predictors of the PNG format.
        def paeth(a, b, c):
            p = a + b - c
            return min((abs(p - a), 0, a), (abs(p - b), 1, b), (abs(p - c), 2, c))[2]

        image, stride = gradient(), 21
        with tempfile.TemporaryDirectory() as work:
            self.assertEqual(desktop.read_png(desktop.write_png(os.path.join(work, "g.png"), image)).rgb, image.rgb)
            for kind in range(5):
                raw, prev = b"", bytes(stride)
                for y in range(image.height):
                    row = image.row(y)
                    left = [row[i - 3] if i >= 3 else 0 for i in range(stride)]
                    corner = [prev[i - 3] if i >= 3 else 0 for i in range(stride)]
                    guess = [[0, a, b, (a + b) // 2, paeth(a, b, c)][kind] for a, b, c in zip(left, prev, corner)]
                    raw += bytes([kind]) + bytes((v - g) & 255 for v, g in zip(row, guess))
                    prev = row
                path = os.path.join(work, "filter%d.png" % kind)
                with open(path, "wb") as f:
                    f.write(b"\x89PNG\r\n\x1a\n" + desktop._chunk(b"IHDR", struct.pack(">IIBBBBB", 7, 5, 8, 2, 0, 0, 0))
                            + desktop._chunk(b"IDAT", zlib.compress(raw)) + desktop._chunk(b"IEND", b""))
                with self.subTest(filter=kind):
                    self.assertEqual(desktop.read_png(path).rgb, image.rgb)

    def test_differences_count_what_is_looked_at(self):
        image = gradient()
        cases = [  # name, changed pixels, rows looked at, mask, count
            ("equal", [], None, None, 0),
            ("one", [(3, 2)], None, None, 1),
            ("first and last", [(0, 0), (6, 4)], None, None, 2),
            ("below the rows looked at", [(1, 1), (2, 4)], 4, None, 1),
            ("the mask's edges", [(1, 1), (3, 3), (4, 1), (0, 2)], None, (1, 1, 3, 3), 2),
        ]
        for name, points, rows, mask, count in cases:
            with self.subTest(name):
                self.assertEqual(desktop.differences(changed(image, points), image, rows, mask)[0], count)
        self.assertEqual(desktop.differences(gradient(7, 4), image)[0], -1)
        self.assertIn("first at (3, 2)", desktop.differences(changed(image, [(3, 2)]), image)[1])

    def test_diff_image_marks_the_differing_pixels_red(self):
        image = gradient()
        marked = desktop.diff_image(changed(image, [(3, 2), (1, 4)]), image, rows=4)
        self.assertEqual(marked.pixel(3, 2), (255, 0, 0))
        self.assertNotEqual(marked.pixel(2, 2), (255, 0, 0))
        self.assertNotEqual(marked.pixel(1, 4), (255, 0, 0))  # below the rows looked at

    def test_crop_takes_one_pixel_of_each_scaled_block(self):
        image = gradient(8, 6)
        cases = [((1, 1, 3, 2, 1), [(1, 1), (2, 1), (3, 1), (1, 2), (2, 2), (3, 2)]),
                 ((2, 0, 3, 3, 2), [(2, 0), (4, 0), (6, 0), (2, 2), (4, 2), (6, 2), (2, 4), (4, 4), (6, 4)])]
        for (x, y, w, h, step), points in cases:
            with self.subTest(step=step):
                crop = image.crop(x, y, w, h, step)
                self.assertEqual([crop.pixel(i % w, i // w) for i in range(w * h)], [image.pixel(*p) for p in points])
        self.assertRaises(desktop.Failure, image.crop, 4, 0, 3, 3, 2)

    def test_events_become_script_lines(self):
        cases = [(("down", 20, 230), "down 20 230"), (("move", -6, 214), "move 0 214"),
                 (("move", 30, -30), "move 30 0"), (("up",), "up"), ("button plus", "button plus")]
        for event, text in cases:
            self.assertEqual(desktop.script_line(event), text)
        self.assertEqual(desktop.stroke(desktop.line(1, 2, 3, -1, 2)),
                         [("down", 1, 2), ("move", 4, 1), ("move", 7, 0), ("up",)])

    def test_pe_machine(self):
        with tempfile.TemporaryDirectory() as work:
            for machine, name in ((0x8664, "x64"), (0x14C, "i686"), (0x1C0, None)):
                path = os.path.join(work, "program.exe")
                with open(path, "wb") as f:
                    f.write(b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\0\0" + struct.pack("<H", machine))
                self.assertEqual(desktop.pe_machine(path), name)


if __name__ == "__main__":
    unittest.main()
