"""The desktop end-to-end harness: the real programs on an Xvfb screen of their own, driven
with xdotool, their pixels grabbed and held to vexal-replay's frames for the same events.

A table (win32_game.py, sdl_window.py, launcher.py) names its scenarios, each a list of
steps; a step is any callable taking the Desktop. main() parses the command line, opens
the screen, runs the chosen scenarios and prints one line per check:

    TABLE.py SCENARIO...|all --work DIR [table's options]
    TABLE.py prepare|SCENARIO...|all --wine-prefix DIR [--arch x64|i686] ...   (Wine tables)

Exit 0 when every check passed, 1 when one failed, 77 when this machine cannot make the
run (the i686 Wine pass without a working wine32; one line says why). Each scenario runs
in WORK/run-SCENARIO. Screenshots, the replay's scripts and frames, and the game's frames
are kept in WORK/screens; a frame that differs leaves NAME-game.png, NAME-expected.png and
NAME-diff.png (the differing pixels red) there.
"""

import argparse
import ctypes
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FRAME = (240, 270)
SKIP_CODE = 77


def _die_with_parent():
    """Ends a started program when the harness dies: a test killed at its timeout leaves
    no Xvfb, game or Wine program behind."""
    ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


class Failure(Exception):
    """A check that did not hold; it ends the scenario."""


class Skip(Exception):
    """A run this machine cannot make; the message says why."""


# --- images --------------------------------------------------------------------------


class Image:
    """8-bit RGB pixels, rows top to bottom."""

    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise Failure("an image of %d x %d needs %d bytes, not %d" % (width, height, width * height * 3, len(rgb)))
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return tuple(self.rgb[at:at + 3])

    def row(self, y, x=0, width=None):
        at = 3 * (y * self.width + x)
        return self.rgb[at:at + 3 * (self.width - x if width is None else width)]

    def crop(self, x, y, width, height, step=1):
        """The rectangle, one pixel of every STEP x STEP block (a window drawn at scale STEP)."""
        if x < 0 or y < 0 or x + width * step > self.width or y + height * step > self.height:
            raise Failure("%d x %d at (%d, %d), step %d, lies outside the %d x %d image" %
                          (width, height, x, y, step, self.width, self.height))
        rows = []
        for j in range(height):
            row = self.row(y + j * step, x, width * step)
            rows.append(row if step == 1 else b"".join(row[i:i + 3] for i in range(0, len(row), 3 * step)))
        return Image(width, height, b"".join(rows))


def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_png(path, image):
    stride = 3 * image.width
    raw = b"".join(b"\0" + image.rgb[y * stride:(y + 1) * stride] for y in range(image.height))
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(raw, 6))
                + _chunk(b"IEND", b""))
    return path


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def read_png(path):
    """An 8-bit RGB or RGBA PNG without interlacing (what vexal-replay and write_png make)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise Failure("%s is not a PNG file" % path)
    at, idat, header = 8, [], None
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        at += 12 + length
    if header is None or header[2] != 8 or header[3] not in (2, 6) or header[6] != 0:
        raise Failure("%s: only 8-bit RGB or RGBA PNGs without interlacing are read here (%s)" % (path, header))
    width, height, bpp = header[0], header[1], 3 if header[3] == 2 else 4
    raw, stride = zlib.decompress(b"".join(idat)), width * bpp
    out, prev = bytearray(), bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 255
        elif kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, prev))
        elif kind in (3, 4):
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                guess = (left + prev[i]) >> 1 if kind == 3 else _paeth(left, prev[i], prev[i - bpp] if i >= bpp else 0)
                line[i] = (line[i] + guess) & 255
        out += line
        prev = line
    if bpp == 4:
        out = b"".join(out[i:i + 3] for i in range(0, len(out), 4))
    return Image(width, height, out)


def _looked_at(x, y, rows, mask):
    return (rows is None or y < rows) and not (mask and mask[0] <= x < mask[0] + mask[2]
                                               and mask[1] <= y < mask[1] + mask[3])


def differences(actual, expected, rows=None, mask=None):
    """Pixels that differ over the first ROWS rows, leaving out MASK (x, y, w, h): how many,
    and the first of them described."""
    if (actual.width, actual.height) != (expected.width, expected.height):
        return -1, "the sizes differ: %d x %d, expected %d x %d" % (actual.width, actual.height, expected.width,
                                                                      expected.height)
    count, first = 0, ""
    for y in range(expected.height):
        if actual.row(y) == expected.row(y):
            continue
        for x in range(actual.width):
            a, e = actual.pixel(x, y), expected.pixel(x, y)
            if a != e and _looked_at(x, y, rows, mask):
                if not count:
                    first = "first at (%d, %d): %02x%02x%02x, expected %02x%02x%02x" % ((x, y) + a + e)
                count += 1
    return count, first


def diff_image(actual, expected, rows=None, mask=None):
    """The expected frame dimmed, with the differing pixels that count red."""
    out = bytearray()
    for i in range(0, len(expected.rgb), 3):
        e = expected.rgb[i:i + 3]
        y, x = divmod(i // 3, expected.width)
        differs = actual.rgb[i:i + 3] != e and _looked_at(x, y, rows, mask)
        out += b"\xff\0\0" if differs else bytes(64 + v // 2 for v in e)
    return Image(expected.width, expected.height, out)


# --- programs ------------------------------------------------------------------------


class Program:
    """A program the harness started; ended with the scenario if still running."""

    def __init__(self, desktop, argv, what, cwd=None, env=None, stdout=None, stderr=None):
        self.desktop, self.what = desktop, what
        self.process = subprocess.Popen([str(a) for a in argv], cwd=cwd or desktop.run_dir, env=env or desktop.env,
                                        stdout=stdout or subprocess.DEVNULL, stderr=stderr or subprocess.DEVNULL,
                                        text=True, preexec_fn=_die_with_parent)
        self.pid = self.process.pid
        desktop.programs.append(self)

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout):
        """The exit code (-N for signal N), or None while it still runs after TIMEOUT seconds."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def ends(self, what, code=0, timeout=15):
        """Checks that it ends within TIMEOUT seconds with CODE."""
        got = self.wait(timeout)
        if got is None:
            raise Failure("%s: %s still runs after %d s" % (what, self.what, timeout))
        self.desktop.check(got == code, "%s: %s ended with exit code %d" % (what, self.what, got))

    def readline(self):
        return self.process.stdout.readline().strip()

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()


# --- the screen ----------------------------------------------------------------------


class Desktop:
    """One run: an Xvfb screen of its own, the programs on it, the checks made."""

    def __init__(self, work, patience=20.0, args=None):
        self.args, self.patience = args, patience
        self.work = os.path.abspath(work)
        self.screens = os.path.join(self.work, "screens")
        self.run_dir = self.work
        self.env = dict(os.environ)
        self.checks, self.programs = 0, []
        self.xvfb = self.wine = self.game = None

    def open(self, size):
        """Starts Xvfb; the server itself takes the first free display number, so parallel
        runs never race for one. It keeps its state (a keyboard layout set, say) when its
        last client leaves, as a desktop's server does."""
        missing = [tool for tool in ("Xvfb", "xdotool", "import") if not shutil.which(tool)]
        if missing:
            raise Failure("%s missing; scripts/install-deps.sh test installs them" % ", ".join(missing))
        os.makedirs(self.work, exist_ok=True)
        os.makedirs(self.screens, exist_ok=True)
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-screen", "0", "%dx%dx24" % size,
                                      "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            raise Failure("Xvfb did not start (exit code %s)" % self.xvfb.wait())
        self.env["DISPLAY"] = ":" + number
        self.env.pop("XAUTHORITY", None)
        self.env.pop("WAYLAND_DISPLAY", None)

    def close(self):
        self.end_programs()
        if self.xvfb is not None:
            self.xvfb.terminate()
            self.xvfb.wait()

    def end_programs(self):
        for program in self.programs:
            program.stop()
        self.programs = []
        if self.wine is not None:
            self.wine.stop()
        self.game = None

    def folder(self, name):
        """An empty folder in the work folder."""
        path = os.path.join(self.work, name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    # checks and waiting

    def check(self, condition, what):
        self.checks += 1
        if not condition:
            raise Failure(what)
        print("ok: " + what, flush=True)

    def eventually(self, condition, what, timeout=None, every=0.1):
        """Polls CONDITION until it gives a true value, which it returns; fails after TIMEOUT."""
        until = time.time() + (timeout or self.patience)
        while True:
            value = condition()
            if value:
                return value
            if time.time() > until:
                raise Failure("never: " + what)
            time.sleep(every)

    def start(self, argv, what, **kw):
        return Program(self, argv, what, **kw)

    def run(self, argv, timeout=60, env=None, cwd=None):
        """Runs a program to its end; its output is collected in files, not pipes, since
        Wine's background processes inherit them and would hold a pipe open."""
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            argv = [str(a) for a in argv]
            code = subprocess.run(argv, env=env or self.env, cwd=cwd or self.run_dir, timeout=timeout, stdout=out,
                                  stderr=err).returncode
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(argv, code, out.read(), err.read())

    # input

    def xdotool(self, *argv, must=False):
        """xdotool's output; with MUST, a failure (a window gone, say) fails the check rather
        than leaving the pointer or keys unsent without a word."""
        result = subprocess.run(["xdotool"] + [str(a) for a in argv], env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, timeout=60)
        if must and result.returncode != 0:
            raise Failure("xdotool %s failed: %s" % (" ".join(str(a) for a in argv), result.stderr.strip()))
        return result.stdout

    def move(self, x, y, pause=0.0):
        self.xdotool("mousemove", x, y)
        time.sleep(pause)

    def press(self):
        self.xdotool("mousedown", 1)

    def release(self):
        self.xdotool("mouseup", 1)

    def click(self, x, y, pause=0.25):
        self.move(x, y, 0.05)
        self.xdotool("click", 1)
        time.sleep(pause)

    def key(self, keys, window=None, pause=0.3):
        """Types KEYS (xdotool's names, "ctrl+q"), into WINDOW once it has the focus."""
        if window:
            self.xdotool("windowfocus", "--sync", window)
            time.sleep(0.3)
        self.xdotool("key", keys)
        time.sleep(pause)

    def windows(self, name, pid=None):
        """The visible windows titled NAME (a regular expression), newest last."""
        return self.xdotool("search", "--onlyvisible", *(["--all", "--pid", pid] if pid else []), "--name",
                            name).split()

    def find_window(self, name, program, timeout=None, pid=False):
        """Waits for PROGRAM's window NAME (with PID: one that carries its process number).
        Polled rather than --sync: a search that meets a window going away fails with BadWindow."""

        def found():
            if not program.running():
                raise Failure("%s ended at start with exit code %d" % (program.what, program.process.returncode))
            windows = self.windows(name, program.pid if pid else None)
            return windows[0] if windows else None

        return self.eventually(found, "a window %s of %s" % (name, program.what), timeout or max(30, self.patience))

    def geometry(self, window):
        """Root position and size of a window: (x, y, width, height)."""
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", window).split())
        return tuple(int(values.get(k, 0)) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    # pixels

    def grab(self, rect=None, keep=None):
        """The screen's pixels, or a rectangle (x, y, w, h) of them; KEEP names a PNG for them."""
        argv = ["import", "-window", "root"] + (["-crop", "%dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1])]
                                                 if rect else []) + ["-depth", "8", "ppm:-"]
        data = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout
        fields = data.split(maxsplit=4)
        if len(fields) < 5 or fields[0] != b"P6" or fields[3] != b"255":
            raise Failure("import grabbed no picture")
        image = Image(int(fields[1]), int(fields[2]), fields[4])
        if keep:
            self.keep(image, keep)
        return image

    def keep(self, image, name):
        return write_png(os.path.join(self.screens, name + ".png"), image)

    def shows(self, take, expected, name, what, rows=None, mask=None, timeout=None):
        """Waits until the picture TAKE() gives equals EXPECTED; on failure keeps the last
        picture, the expected one and a diff image in the screens folder."""
        until = time.time() + (timeout or self.patience)
        while True:
            actual = take()
            count, first = differences(actual, expected, rows, mask)
            if count == 0:
                self.keep(actual, name + "-game")
                return actual
            if time.time() > until:
                break
            time.sleep(0.1)
        for suffix, image in (("game", actual), ("expected", expected)):
            self.keep(image, "%s-%s" % (name, suffix))
        if count > 0:
            self.keep(diff_image(actual, expected, rows, mask), name + "-diff")
        raise Failure("%s: %d pixels differ from vexal-replay's frame, %s (see %s/%s-*.png)" %
                      (what, count, first, self.screens, name))


# --- the game and vexal-replay ---------------------------------------------------------


def stroke(points, release=True):
    """A stylus drag through client POINTS as events: down, moves, up."""
    events = [("down",) + tuple(points[0])] + [("move",) + tuple(p) for p in points[1:]]
    return events + ([("up",)] if release else [])


def line(x, y, dx, dy, steps):
    """STEPS + 1 points from (x, y) in steps of (dx, dy)."""
    return [(x + i * dx, y + i * dy) for i in range(steps + 1)]


def script_line(event):
    """An event as a replay script line: a point left of or above the window reaches the
    game at the window's edge, 0."""
    if isinstance(event, str):
        return event
    return " ".join([event[0]] + ["%d" % max(v, 0) for v in event[1:]])


class Game:
    """A running VexalMini: its 240 x 320 handheld screen at root pixel ORIGIN, drawn SCALE
    times, the frame TOP rows down and ROWS of it visible. SCRIPT is what was done to it,
    as vexal-replay script lines; frames are held to the replay's for the same script."""

    def __init__(self, desktop, program, origin, scale=1, top=24, rows=FRAME[1], head=(), window=None,
                 hover=(200, 30)):
        self.desktop, self.program, self.origin, self.scale = desktop, program, origin, scale
        self.top, self.rows, self.script, self.window, self.hover = top, rows, list(head), window, hover

    def root(self, x, y, client=True):
        """Root position of a client point (or, client=False, a screen point)."""
        return (self.origin[0] + x * self.scale, self.origin[1] + (y + (self.top if client else 0)) * self.scale)

    def tap(self, x, y, pause=0.25):
        """A tap on a point of the handheld's screen."""
        self.desktop.click(*self.root(x, y, client=False), pause=pause)

    def did(self, *lines):
        self.script += lines

    def _grab(self, at, width, height, keep):
        image = self.desktop.grab(at + (width * self.scale, height * self.scale)).crop(0, 0, width, height, self.scale)
        if keep:
            self.desktop.keep(image, keep)
        return image

    def screen(self, keep=None):
        """The handheld's screen, one sample per pixel."""
        return self._grab(self.root(0, 0, client=False), 240, 320, keep)

    def frame(self, keep=None):
        return self._grab(self.root(0, 0), FRAME[0], FRAME[1], keep)

    def _replay(self, name, lines, option, out):
        path = os.path.join(self.desktop.screens, name + "-script.txt")
        with open(path, "w") as f:
            f.write("".join(script_line(e) + "\n" for e in lines))
        result = self.desktop.run([self.desktop.args.replay, path, option, out])
        if result.returncode != 0:
            raise Failure("vexal-replay failed on %s: %s" % (path, result.stderr.strip()))
        return out

    def replay(self, name, lines=None):
        """The replay's last frame for LINES (default: the script so far)."""
        png = os.path.join(self.desktop.screens, name + "-replay.png")
        return read_png(self._replay(name, self.script if lines is None else lines, "--frame", png))

    def shows(self, name, what, expected=None, mask=None, settle=0.0):
        """The frame becomes the replay's for the script so far (or EXPECTED)."""
        time.sleep(settle)
        shot = self.desktop.shows(self.frame, expected or self.replay(name), name, what, self.rows, mask)
        self.desktop.check(True, "%s: the frame equals vexal-replay's" % what)
        return shot

    def play(self, events, name, what, release=None):
        """Performs stylus events one at a time. Whenever the replay's frame after an event
        differs from the one before, the game's must equal it before the next event goes
        out, so no two moves merge in a queue on the way. RELEASE, when given, stands in
        for the mouse button on "up"."""
        # The replay paints at start-up and after every line but the seed.
        first = len([e for e in self.script if not script_line(e).startswith("seed ")])
        self.script += events
        frames = os.path.join(self.desktop.screens, name + "-frames")
        shutil.rmtree(frames, ignore_errors=True)
        os.makedirs(frames)
        self._replay(name, self.script, "--frames", frames)

        def replay_frame(number):
            with open(os.path.join(frames, "frame-%05d.png" % number), "rb") as f:
                return f.read()

        shot = None
        for number, event in enumerate(events, first + 1):
            self.perform(event, release)
            compared = replay_frame(number) != replay_frame(number - 1)
            if compared or number == first + len(events):
                # An event that changed nothing still ends the run on the replay's frame.
                time.sleep(0 if compared else 0.1)
                expected = read_png(os.path.join(frames, "frame-%05d.png" % number))
                shot = self.desktop.shows(self.frame, expected, name, "%s, after \"%s\"" % (what, script_line(event)),
                                          self.rows)
            else:
                time.sleep(0.1)
        self.desktop.check(True, "%s: every frame equals vexal-replay's (%d events)" % (what, len(events)))
        return shot

    def perform(self, event, release=None):
        """One stylus event with the mouse (RELEASE, when given, stands in for the button's)."""
        if event[0] in ("down", "move"):
            self.desktop.move(*self.root(event[1], event[2]))
            if event[0] == "down":
                time.sleep(0.05)
                self.desktop.press()
        else:
            (release or self.desktop.release)()

    def key(self, keys, pause=0.3):
        """Keys to the game, the pointer resting on the picture away from the buttons."""
        self.desktop.move(*self.root(*self.hover), pause=0.1)
        self.desktop.key(keys, self.window, pause)

    def quits(self, what, keys="ctrl+q"):
        self.key(keys)
        self.program.ends(what)


# --- Wine ----------------------------------------------------------------------------


class Wine:
    """A private Wine prefix, made once and shared by the Wine tables, which take turns
    with it. Its X11 driver runs unmanaged, so that Wine places every window exactly and
    draws the captions itself (no window manager runs under Xvfb), and its server owns the
    foreground and keyboard focus that other Wine tests would otherwise share. The App
    Paths key gets a key per registry view, as on 64-bit Windows (Wine links the two)."""

    READY = "X11 Driver: Managed=N\nApp Paths: a key per registry view\n"
    APP_PATHS_LINK = "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths]"

    def __init__(self, desktop, prefix, arch):
        if arch == "i686":
            status = subprocess.run(["bash", os.path.join(SOURCE, "scripts", "wine-i686.sh"), "status"],
                                    stdout=subprocess.PIPE, text=True)
            if status.returncode != 0:
                raise Skip(status.stdout.strip().splitlines()[-1])
        self.desktop, self.prefix = desktop, os.path.abspath(prefix)

    @property
    def env(self):
        env = dict({"WINEDEBUG": "-all"}, **self.desktop.env)
        return dict(env, WINEPREFIX=self.prefix, WINEDLLOVERRIDES="mscoree,mshtml=")

    def prepare(self):
        marker = os.path.join(self.prefix, "vexal-e2e-ready")
        if os.path.exists(marker) and open(marker).read() == self.READY:
            print("ok: the Wine prefix %s is ready" % self.prefix)
            return
        print("making the Wine prefix %s (once, about 20 s)" % self.prefix, flush=True)
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            self.desktop.run(["wineboot", "-i"], timeout=240, env=self.env)
        self.stop()
        self.desktop.run(["wineserver", "-w"], timeout=120, env=self.env)
        registry = os.path.join(self.prefix, "system.reg")
        with open(registry) as f:
            lines = f.read().split("\n")
        kept, in_link, more = [], False, False
        for text in lines:
            if text.startswith("["):
                in_link, more = text.startswith(self.APP_PATHS_LINK), False
            if in_link and (text.startswith("#link") or text.startswith('"SymbolicLinkValue"') or more):
                more = text.endswith("\\") and not text.startswith("#link")
                continue
            kept.append(text)
        with open(registry, "w") as f:
            f.write("\n".join(kept))
        result = self.run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
        self.desktop.run(["wineserver", "-w"], timeout=120, env=self.env)
        self.desktop.check(result.returncode == 0, "the X11 driver of the private prefix runs unmanaged")
        with open(marker, "w") as f:
            f.write(self.READY)

    def run(self, *argv, timeout=30):
        return self.desktop.run(["wine"] + list(argv), timeout=timeout, env=self.env)

    def start(self, *argv, what=None, stdout=None, cwd=None):
        return self.desktop.start(["wine"] + list(argv), what or os.path.basename(argv[0]), env=self.env,
                                  stdout=stdout, cwd=cwd)

    def reg(self, *argv):
        """reg.exe in the 64-bit view, where the 32-bit view's keys lie under Wow6432Node."""
        return self.run("reg", *argv, "/reg:64").returncode == 0

    def path(self, unix_path):
        return self.desktop.run(["winepath", "-w", unix_path], env=self.env).stdout.strip()

    def serve(self):
        """One server for a whole scenario, rather than one per program started."""
        subprocess.run(["wineserver", "-p"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def pe_machine(path):
    """The machine field of a Windows program's PE header: "x64", "i686" or None."""
    with open(path, "rb") as f:
        head = f.read(4096)
    at = struct.unpack_from("<I", head, 60)[0]
    return {0x8664: "x64", 0x14C: "i686"}.get(struct.unpack_from("<H", head, at + 4)[0])


# --- the runner ----------------------------------------------------------------------


def need(*paths):
    """Programs the run needs: a missing one fails it."""
    missing = [p for p in paths if not os.path.isfile(p)]
    if missing:
        raise Failure("missing %s; build it first (docs/building.md)" % ", ".join(missing))


def main(doc, scenarios, options=(), screen=(240, 320), wine=False, patience=20.0, setup=None):
    """Runs a table: SCENARIOS maps names to lists of steps; OPTIONS are (flags, argparse
    keywords) of its own; SCREEN the Xvfb screen's size, or a function of the arguments;
    SETUP a step run once before the scenarios."""
    parser = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scenarios", nargs="+", metavar="SCENARIO",
                        choices=["all"] + (["prepare"] if wine else []) + list(scenarios))
    parser.add_argument("--work", required=True, help="folder for runs and screenshots (in WORK/screens)")
    if wine:
        parser.add_argument("--wine-prefix", required=True, help="the private Wine prefix (made once)")
        parser.add_argument("--arch", choices=["x64", "i686"], default="x64", help="the Windows build's machine")
    for flags, keywords in options:
        parser.add_argument(*flags, **keywords)
    args = parser.parse_args()
    names = list(scenarios) if "all" in args.scenarios else [n for n in args.scenarios if n in scenarios]

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # ends the programs on the way out
    desktop, failed = Desktop(args.work, patience, args), []
    try:
        if wine:
            desktop.wine = Wine(desktop, args.wine_prefix, args.arch)
        desktop.open(screen(args) if callable(screen) else screen)
        if wine:
            desktop.wine.prepare()
        if setup:
            setup(desktop)
        for name in names:
            print("== " + name, flush=True)
            desktop.run_dir = desktop.folder("run-" + name)
            if wine:
                desktop.wine.serve()
            try:
                for step in scenarios[name]:
                    step(desktop)
            except (Failure, subprocess.SubprocessError, OSError) as e:
                print("FAIL: %s: %s" % (name, e), flush=True)
                failed.append(name)
            finally:
                desktop.end_programs()
    except Skip as e:
        print(e)
        return SKIP_CODE
    except (Failure, subprocess.SubprocessError, OSError) as e:
        print("FAIL: %s" % e)
        return 1
    finally:
        desktop.close()
    print("%d checks; %s" % (desktop.checks, "failed: " + ", ".join(failed) if failed else "all passed"))
    return 1 if failed else 0

