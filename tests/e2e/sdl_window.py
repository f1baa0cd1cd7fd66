#!/usr/bin/env python3
"""The real vexalmini (the SDL window) on a 1280 x 1024 Xvfb screen at --scale N: what the
window shows, held to vexal-replay's frames for the same events, its menus, buttons and
About box, help through xdg-open, and the ways out; with the strip beside the screen, or
the handheld alone with --classic. --help-pages names the folder whose pages Help must open
(an installed copy's, say)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import stroke  # noqa: E402

NAVY, GREEN, WHITE = (0, 0, 128), (0x40, 0xC0, 0x40), (255, 255, 255)
TITLE_TOP = bytes((0x2E, 0x5C, 0xB8))  # the title bar's first row
TITLE_BAR = 26  # rows of the handheld's screen above the frame
VISIBLE_ROWS = 268  # the menu bar hides the frame's last two rows, as on the device
SIZE_BUTTONS = (0, 212 - TITLE_BAR, 30, 58)  # "-", "+" and "OK" together, client pixels

# Menu bar buttons are 48 pixels wide along the bottom 26 rows; popups open above it.
BAR = {name: (24 + 48 * i, 307) for i, name in enumerate(["New", "Size", "Help", "About", "Quit"])}
ITEM_X = {"New": 50, "Quit": 210}


def item(menu, index):
    return ITEM_X[menu], 294 - 46 + 1 + index * 22 + 11


# --- steps ---------------------------------------------------------------------------


def start(*extra, env=None, errors=None, size=None, seed=7, again=False):
    """The game at the run's scale (EXTRA arguments after), its window SIZE scales of the
    handheld's 240 x 320 (default: the run's scale), with --seed SEED unless None; AGAIN
    carries the script played so far over from the last start. Without --classic the strip
    makes the window larger, and the screen is found in it by its title bar."""
    def step(d):
        scale = d.args.scale
        stderr = open(os.path.join(d.run_dir, errors), "w") if errors else None
        head = d.game.script if again else ["seed %d" % seed] if seed is not None else []
        argv = [d.args.vexalmini, "--scale", scale] + (["--seed", seed] if seed is not None else [])
        program = d.start(argv + (["--classic"] if d.args.classic else []) + list(extra), "vexalmini",
                          env=dict(d.env, XDG_STATE_HOME=state(d), **(env(d) if env else {})), stderr=stderr)
        window = d.find_window("^Vexal Mini$", program, pid=True)
        x, y, width, height = d.geometry(window)
        shown = size or scale
        if d.args.classic:
            d.check((width, height) == (240 * shown, 320 * shown), "the window is %d x %d" % (width, height))
            origin = (x, y)
        else:
            d.check(width >= 240 * shown and height >= 320 * shown and width * height > 240 * 320 * shown ** 2,
                    "the window (%d x %d) has room for the strip beside the screen" % (width, height))
            origin = d.eventually(lambda: find_screen(d, (x, y, width, height), shown), "the screen in the window")
        d.game = desktop.Game(d, program, origin, shown, TITLE_BAR, VISIBLE_ROWS, head, window, (120, 124))
        d.game.window_rect = (x, y, width, height)
    return step


def state(d):
    """The run's own $XDG_STATE_HOME, where the game is kept."""
    return os.path.join(d.run_dir, "state")


def find_screen(d, rect, scale):
    """The root position of the handheld's screen in the window at RECT: the first row that
    holds a run of 240 x SCALE pixels of the title bar's top colour."""
    shot = d.grab(rect)
    run = 240 * scale
    for y in range(shot.height):
        row = shot.row(y)
        at = row.find(TITLE_TOP * run)
        while at != -1 and at % 3:
            at = row.find(TITLE_TOP * run, at + 1)
        if at != -1:
            return rect[0] + at // 3, rect[1] + y
    return None


def tap(x, y, *script, pause=0.25):
    """A tap on the handheld's screen and the replay script lines it stands for."""
    def step(d):
        d.game.tap(x, y, pause)
        d.game.did(*script)
    return step


def frame(name, what, lines=None, mask=None):
    return lambda d: d.game.shows(name, what, d.game.replay(name, lines), mask)


def play(points, name, what, release=True):
    return lambda d: d.game.play(stroke(points, release), name, what)


def screen_shows(what, *pixels):
    """Waits until the handheld's screen has the colours at the points given."""
    def shown(d):
        shot = d.game.screen()
        return all(shot.pixel(x, y) == colour for x, y, colour in pixels)
    return lambda d: d.check(d.eventually(lambda: shown(d), what), what)


def ends(what, keys=None):
    def step(d):
        if keys:
            d.game.key(keys)
        d.game.program.ends(what)
    return step


def running(what):
    return lambda d: d.check(d.game.program.running(), what)


def terminate(d):
    # SDL hands a SIGTERM to the program as the same quit event as a desktop's close button.
    d.game.program.process.terminate()


def chrome(d):
    shot = d.game.screen(keep="start-screen")
    title, bar = shot.pixel(200, 13), shot.pixel(2, 296)
    d.check(title[2] > title[0], "a blue title bar over the frame: %s" % (title,))
    d.check(bar[0] > 0xC0, "a light menu bar under it: %s" % (bar,))


def grows(d):
    """The puzzle covers more of the frame after "+" than at the start."""
    covered = [sum(1 for y in range(1, VISIBLE_ROWS) for x in range(1, 240) if image.pixel(x, y) != GREEN)
               for image in (d.game.replay("size-start", ["seed 7"]), d.game.replay("size-plus"))]
    d.check(covered[1] > covered[0] + covered[0] // 4, "\"+\" makes the puzzle cover more of the frame: %s" % covered)


def hover(d):
    for x, y in ((60, 60), (200, 200)):
        d.move(*d.game.root(x, y))


def xdg_open(status=0, wait=False):
    """A stand-in for xdg-open, first in PATH, that records what it is given and ends with
    STATUS; with WAIT, only once the file "go" is in the run folder (4 is xdg-open's "the
    action failed": no browser would start)."""
    def env(d):
        folder = os.path.join(d.run_dir, "bin")
        os.makedirs(folder)
        with open(os.path.join(folder, "xdg-open"), "w") as f:
            f.write("#!/bin/sh\nprintf '%%s\\n' \"$*\" >> '%s/xdg-open.log'\n" % d.run_dir)
            if wait:
                f.write("while [ ! -e '%s/go' ]; do sleep 0.1; done\n" % d.run_dir)
            f.write("exit %d\n" % status)
        os.chmod(os.path.join(folder, "xdg-open"), 0o755)
        return {"PATH": folder + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin")}
    return env


def no_xdg_open(d):
    return {"PATH": d.folder("empty-bin")}


def opened(d):
    try:
        with open(os.path.join(d.run_dir, "xdg-open.log")) as f:
            return f.read()
    except FileNotFoundError:
        return ""


def help_pages(d):
    log = d.eventually(lambda: opened(d) if "\n" in opened(d) else None, "Help runs xdg-open")
    d.check(log.startswith("file:///"), "Help opens a file: URL: %r" % log)
    d.check("/QZTVexalMini.htm#Main_Contents\n" in log, "Help opens QZTVexalMini.htm at Main_Contents")
    if d.args.help_pages:
        d.check(log.startswith("file://" + d.args.help_pages + "/QZTVexalMini.htm#"),
                "Help opens the page in %s" % d.args.help_pages)
    d.game.key("F1")
    d.eventually(lambda: "/QZTVexal.htm#Main_Contents\n" in opened(d), "F1 opens QZTVexal.htm")
    d.check(True, "F1 opens QZTVexal.htm at Main_Contents")


def let_go(d):
    open(os.path.join(d.run_dir, "go"), "w").close()


def help_box(what, reason, page):
    """A box of its own, off the handheld's screen, says that the help could not be opened,
    why, and where the PAGE is (its reasons also go to stderr, where the test reads them);
    Return closes it and the game plays on."""
    def step(d):
        box = d.eventually(lambda: d.windows("^VexalMini Help$"), what + ": a box \"VexalMini Help\"")[0]
        time.sleep(0.3)
        d.grab(keep="help-box")
        with open(os.path.join(d.run_dir, "stderr.txt")) as f:
            text = f.read()
        folder = d.args.help_pages or os.path.join(desktop.SOURCE, "resources", "help")
        d.check("The help could not be opened: %s" % reason in text and "\n%s/%s\n" % (folder, page) in text,
                "%s: it says why and where the page is: %r" % (what, text))
        d.key("Return", box)
        d.eventually(lambda: not d.windows("^VexalMini Help$"), what + ": Return closes the box")
        d.check(d.game.program.running(), what + ": the game runs on")
    return step


def layout(name):
    """The X server's keyboard layout, for the programs started after it."""
    def step(d):
        result = d.run(["setxkbmap", "-layout", name])
        d.check(result.returncode == 0, " ".join(["the keyboard layout is", name, result.stderr.strip()]).strip())
    return step


def shortcuts(name, about, quit):
    """Ctrl+A and Ctrl+Q in a keyboard layout, typed as xdotool's key names ABOUT and QUIT."""
    return [layout(name), start(), lambda d: d.game.key(about),
            screen_shows("%s: %s opens the About box" % (name, about), (200, 250, WHITE), (2, 300, WHITE)),
            lambda d: d.game.key("Escape"), frame(name + "-about-closed", "%s: Escape closes it" % name),
            ends("%s: %s" % (name, quit), quit)]


def scale_lowered(d):
    with open(os.path.join(d.run_dir, "stderr.txt")) as f:
        text = f.read()
    # The window asked for: the screen, with the strip below it unless --classic.
    d.check("vexalmini: at --scale 4 the window (960 x %d) is larger than the screen's usable area (1280 x 1024); "
            "using --scale 3\n" % (1280 if d.args.classic else 2032) in text, "the lowered scale is said: %r" % text)


# --- the strip ---------------------------------------------------------------------------


def strip_row(names, top, weights=None):
    """Centres of a row of the strip below the screen (screen pixels): buttons 2 apart across
    234 pixels from x = 3, each WEIGHTS parts of the room (equal parts without), 24 high from TOP."""
    weights = weights or [1] * len(names)
    room, parts, row = 234 - 2 * (len(names) - 1), sum(weights), {}
    for i, name in enumerate(names):
        x0, x1 = room * sum(weights[:i]) // parts, room * sum(weights[:i + 1]) // parts
        row[name] = (3 + x0 + 2 * i + (x1 - x0) // 2, 320 + top + 12)
    return row


STRIP = dict(**strip_row(["Undo", "Redo", "Restart", "Shuffle", "Hint"], 24, [4, 4, 5, 5, 4]),
             **strip_row(["U", "D", "L", "R", "F", "B"], 50),
             **strip_row(["clockwise", "anticlockwise", "half"], 76),
             **strip_row(["Share", "Time", "Best", "Keys"], 102))
STRIP_BUTTON_ROWS = 128  # the message line lies below them


def strip(d, keep=None):
    """The strip: the window but the screen, one sample per pixel."""
    x, y, width, height = d.game.window_rect
    s, (sx, sy) = d.game.scale, d.game.origin
    rect = (sx, sy + 320 * s, 240, (height - 320 * s) // s) if height > 320 * s else \
        (sx + 240 * s, sy, (width - 240 * s) // s, 320)
    image = d.grab((rect[0], rect[1], rect[2] * s, rect[3] * s)).crop(0, 0, rect[2], rect[3], s)
    if keep:
        d.keep(image, keep)
    return image


def key(keys, *script):
    """Keys to the game and the replay script lines they stand for."""
    def step(d):
        d.game.key(keys)
        d.game.did(*script)
    return step


def clean_strip(d):
    d.clean_strip = strip(d, keep="strip-clean")


def clock_runs(d):
    """Once a move after a shuffle starts the clock, the strip shows the time moving on with
    nothing done."""
    first = strip(d, keep="clock-before").crop(0, 0, 240, 24)
    d.eventually(lambda: strip(d).crop(0, 0, 240, 24).rgb != first.rgb, "the strip's clock moves on", timeout=3)
    d.check(True, "the strip's clock moves on by itself")


def clipboard(d):
    """The clipboard's text, asked for through SDL as another program on the screen."""
    code = ("import ctypes; sdl = ctypes.CDLL('libSDL2-2.0.so.0'); sdl.SDL_Init(0x20); "
            "sdl.SDL_GetClipboardText.restype = ctypes.c_void_p; "
            "print(ctypes.string_at(sdl.SDL_GetClipboardText()).decode())")
    return d.run([sys.executable, "-c", code]).stdout.strip()


def shared(d):
    """Share puts the game's link on the clipboard; vexal-replay --game with it paints the
    frame the window shows."""
    d.game.tap(*STRIP["Share"])
    link = d.eventually(lambda: clipboard(d), "a link on the clipboard")
    png = os.path.join(d.screens, "shared-replay.png")
    result = d.run([d.args.replay, "--game", link, "--frame", png])
    d.check(result.returncode == 0, "vexal-replay opens the shared link %s: %s" % (link, result.stderr.strip()))
    d.game.shows("shared", "the shared link", desktop.read_png(png))


def wide(d):
    x, y, width, height = d.game.window_rect
    d.check(width > height,
            "at --scale 3 on the 1280 x 1024 screen the strip lies beside the screen (%d x %d)" % (width, height))


def kept_file(d, name="game"):
    return os.path.join(state(d), "vexalmini", name)


def corrupt(d):
    with open(kept_file(d), "wb") as f:
        f.write(b"vexalmini-save 1\ngame 1BQ\x00 cut short")


def kept_aside(d):
    with open(kept_file(d, "game.bad"), "rb") as f:
        d.check(f.read() == b"vexalmini-save 1\ngame 1BQ\x00 cut short", "the damaged game is kept as game.bad")
    with open(os.path.join(d.run_dir, "stderr.txt")) as f:
        text = f.read()
    d.check("could not be read; it was kept as %s" % kept_file(d, "game.bad") in text, "stderr says where: %r" % text)
    now = strip(d, keep="strip-told")
    rows = STRIP_BUTTON_ROWS
    d.check(now.crop(0, 0, 240, rows).rgb == d.clean_strip.crop(0, 0, 240, rows).rgb and
            now.rgb != d.clean_strip.rgb, "a fresh game, and the strip's message line says so")


LAYER = [(120, 135), (121, 135), (124, 137), (130, 140), (140, 143), (152, 147), (166, 150)]  # from the centre piece
BESIDE = [(20, 230), (18, 229), (12, 226), (4, 220)]
# Left of and above the main window: the drag stops at its edge.
OUTSIDE = [(-6, 214), (-15, 100), (-20, -10), (30, -30)]

SCENARIOS = {
    "first-frame": [start(), frame("start", "the first frame"), chrome],
    "new-shuffle": [
        start(), tap(*BAR["New"]), tap(*item("New", 0), "command shuffle"),
        lambda d: d.check(d.game.replay("shuffle").pixel(10, 10) == NAVY, "a shuffle turns the background dark blue"),
        frame("shuffle", "New > Shuffle")],
    "layer-drag": [start(), play(LAYER, "layer-drag", "a layer dragged from the centre piece")],
    "whole-puzzle-drag": [
        start(), play(BESIDE + OUTSIDE, "cube-drag", "the whole puzzle, dragged beside it and off the window"),
        hover, lambda d: d.game.shows("cube-hover", "hovering afterwards turns nothing", settle=0.3)],
    "size-plus": [
        start(), tap(*BAR["Size"], "command size"),
        screen_shows("the size buttons show: the \"+\" button's white face", (27, 236, WHITE)),
        tap(15, 241, "button plus"), frame("size-plus", "\"+\"", mask=SIZE_BUTTONS), grows,
        tap(15, 260, "button ok"), frame("size-ok", "\"OK\" hides the three")],
    "quit-yes": [start(), tap(*BAR["Quit"]), tap(*item("Quit", 0)), ends("Quit > Yes")],
    "quit-no": [
        start(), tap(*BAR["Quit"]), tap(*item("Quit", 1), "command quit-no"), frame("quit-no", "Quit > No"),
        running("Quit > No keeps playing"), ends("Ctrl+Q", "ctrl+q")],
    "about": [
        start(), frame("about-before", "the first frame"), lambda d: d.game.key("ctrl+a"),
        screen_shows("Ctrl+A opens the About box over the screen", (200, 250, WHITE), (2, 300, WHITE)),
        tap(220, 13), frame("about-closed", "its Done button closes it"), running("the game runs on")],
    "terminate": [start(), frame("terminate", "the first frame"), terminate, ends("SIGTERM")],
    # The later --scale wins: 4 makes 960 x 1280, taller than the screen.
    "scale-too-large": [start("--scale", "4", errors="stderr.txt", size=3), scale_lowered, terminate, ends("SIGTERM")],
    # Help goes to the user's browser through xdg-open.
    "help": [start(env=xdg_open()), tap(*BAR["Help"]), help_pages, ends("Ctrl+Q", "ctrl+q")],
    # No browser: xdg-open fails after a while, in which the game plays on; then a box says so.
    "help-no-browser": [
        start(env=xdg_open(status=4, wait=True), errors="stderr.txt"), tap(*BAR["Help"]),
        lambda d: d.eventually(lambda: "\n" in opened(d), "Help runs xdg-open"),
        tap(*BAR["New"]), tap(*item("New", 0), "command shuffle"),
        frame("help-waiting", "New > Shuffle while xdg-open runs"), let_go,
        help_box("xdg-open ending with status 4", "xdg-open could not show it in a browser (exit status 4)",
                 "QZTVexalMini.htm"),
        ends("Ctrl+Q", "ctrl+q")],
    "help-no-xdg-open": [
        start(env=no_xdg_open, errors="stderr.txt"), lambda d: d.game.key("F1", pause=0),
        help_box("F1 without xdg-open", "xdg-open was not found", "QZTVexal.htm"), ends("Ctrl+Q", "ctrl+q")],
    # Shortcuts go by the Latin letter a key types, else by its place, as Windows' virtual
    # keys do: Russian Ctrl+ef is Ctrl+A; AZERTY's A (where a US Q is) is A. Last, as it
    # changes the server's layout.
    # The strip: a shuffle and moves by keys and its buttons, Undo by Ctrl+Z, the clock, Share;
    # the game kept at Ctrl+Q and back at the next start (at --scale 3, beside the screen), its
    # moves still undoable; a damaged kept game put aside for a fresh one. The strip's own run.
    "kept-game": [
        start(), frame("kept-start", "the first frame beside the strip"), clean_strip,
        tap(*STRIP["Shuffle"], "command shuffle"), frame("kept-shuffle", "the strip's Shuffle"),
        key("u", "turn U 1"), key("shift+r", "turn R 3"), tap(*STRIP["F"]), tap(*STRIP["clockwise"], "turn F 1"),
        frame("kept-moves", "U and Shift+R, then the strip's F and clockwise"), clock_runs,
        key("ctrl+z", "undo"), frame("kept-undo", "Ctrl+Z takes the last move back"),
        shared, ends("Ctrl+Q keeps the game", "ctrl+q"),
        start("--scale", "3", seed=None, size=3, again=True), wide,
        frame("kept-back", "the kept game, where it was left"),
        key("ctrl+z", "undo"), frame("kept-back-undo", "its moves go on being undoable"),
        ends("Ctrl+Q", "ctrl+q"),
        corrupt, start(seed=None, errors="stderr.txt"), kept_aside,
        frame("kept-fresh", "a damaged kept game opens a fresh one", ["seed 7"]), ends("Ctrl+Q", "ctrl+q")],
    "keyboard-layouts": shortcuts("ru", "ctrl+Cyrillic_ef", "ctrl+Cyrillic_shorti") +
    shortcuts("fr", "ctrl+a", "ctrl+q") + [layout("us")],
}

OPTIONS = [
    (["--scale"], dict(type=int, choices=[1, 2, 3, 4], required=True, help="the window's scale")),
    (["--vexalmini"], dict(required=True, type=os.path.abspath, help="the game")),
    (["--replay"], dict(required=True, type=os.path.abspath, help="the vexal-replay program")),
    (["--help-pages"], dict(type=os.path.realpath, help="the folder whose pages Help must open")),
    (["--classic"], dict(action="store_true", help="the handheld alone, as it was before the strip")),
]

if __name__ == "__main__":
    # ASan starts slowly: the patience is long.
    sys.exit(desktop.main(__doc__, SCENARIOS, OPTIONS, screen=(1280, 1024), patience=45.0,
                          setup=lambda d: desktop.need(d.args.vexalmini, d.args.replay)))
