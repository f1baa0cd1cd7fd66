#!/usr/bin/env python3
"""Makes docs/screenshot.png: the game window at scale 2 under Xvfb with its strip, shuffled,
two moves made by keys, and a layer half way through a turn under the mouse.

    docs/make-screenshot.py [path/to/vexalmini]
"""

import os
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(TOP, "tests", "e2e"))
import desktop  # noqa: E402

SCALE = 2
SHUFFLE = [(24, 307), (50, 260)]  # New, then Shuffle, on the handheld's screen
LAYER = [(120, 135), (121, 135), (126, 137), (134, 140), (144, 143), (152, 145)]  # client points


def main():
    game = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "build/release/shell/sdl/vexalmini"))
    if not os.access(game, os.X_OK):
        sys.exit("make-screenshot: %s is missing; build it with\n"
                 "  cmake --preset release && cmake --build --preset release --target vexalmini" % game)
    out = os.path.join(TOP, "docs", "screenshot.png")
    with tempfile.TemporaryDirectory() as work:
        d = desktop.Desktop(work)
        try:
            d.open((1280, 1024))
            # A state folder of its own: the game kept here is thrown away with it.
            program = d.start([game, "--scale", SCALE, "--seed", 7], "vexalmini",
                              env=dict(d.env, XDG_STATE_HOME=os.path.join(work, "state")))
            window = d.find_window("^Vexal Mini$", program, pid=True)
            x, y, width, height = d.geometry(window)
            g = desktop.Game(d, program, (x, y), SCALE, top=26, window=window)
            for point in SHUFFLE:
                g.tap(*point, pause=0.3)
            for key in ("r", "shift+u"):
                g.key(key)
            for event in desktop.stroke(LAYER, release=False):
                g.perform(event)
            time.sleep(0.5)
            desktop.write_png(out, d.grab((x, y, width, height)))
            g.perform(("up",))
            g.quits("make-screenshot")
        except desktop.Failure as e:
            sys.exit("make-screenshot: %s" % e)
        finally:
            d.close()
    print("make-screenshot: wrote docs/screenshot.png")


if __name__ == "__main__":
    main()
