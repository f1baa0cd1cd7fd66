#!/usr/bin/env python3
"""The real vexalmini.exe under Wine on the handheld's 240 x 320 screen, as a player sees
it: windows, buttons, frames (pixel for pixel against vexal-replay), menus, the About box,
help and the ways out. --windows-dir is the build folder of the Windows programs, x64
(build/win64) or i686 (build/win32); it gives the test helpers, and the game unless --exe
names another copy (one unpacked from a release zip, say)."""

import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e_win32"))
import desktop  # noqa: E402
from check_resources import project_version  # noqa: E402
from desktop import Failure, line, stroke  # noqa: E402

NAVY, GREEN = (0, 0, 128), (0x40, 0xC0, 0x40)
COLOURS = {NAVY: "dark blue (unsolved)", GREEN: "green (solved)"}
WS_VISIBLE, WS_POPUP, WS_CLIPSIBLINGS = 0x10000000, 0x80000000, 0x04000000

# The five buttons: text and screen rectangle (left, top, right, bottom).
BUTTONS = {"Shuffle": [0, 0, 120, 20], "New Skin": [120, 0, 240, 20], "-": [0, 212, 30, 232],
           "+": [0, 231, 30, 251], "OK": [0, 250, 30, 270]}
BAR_CAPTIONS = ["New", "Size", "Help", "About", "Quit"]

# On the front of the lower layer, to the right, and back; beside the puzzle, down and to
# the right, which turns the whole puzzle.
LAYER, LAYER_BACK, BESIDE = line(100, 180, 6, -1, 10), line(150, 180, -6, 1, 10), line(20, 40, 4, 5, 12)
# Beside the puzzle, up over the window's top edge into the caption, where the drag stops.
# (The window sits at the screen's left edge: no pointer gets left of it.)
OFF_TOP = line(60, 30, 1, -8, 6)

# Drags whose capture is taken away before the release, and how the probe takes it.
# "window": another window of the game's input captures the mouse and gets the release;
# "cancel-mode": WM_CANCELMODE lets the capture go, and the release later comes to the
# game with no drag held.
LOST_CAPTURE = [
    ("a layer, another window taking the capture", LAYER, "window"),
    ("the whole puzzle, the mode cancelled", BESIDE, "cancel-mode"),
]


def probe(d, *argv):
    return d.wine.start(d.args.probe, *argv, what="the probe", stdout=subprocess.PIPE)


def windows(d, role=None):
    """The game's windows as the probe sees them, of one role (main, class, owned, menu,
    dialog, dialog-child, foreground, other-main)."""
    out = d.wine.run(d.args.probe, "windows").stdout
    found = [json.loads(text) for text in out.splitlines() if text.startswith("{")]
    return [w for w in found if role is None or w["role"] == role]


def buttons(d, visible_only=False):
    return {w["text"]: w["visible"] for w in windows(d, "owned")
            if w["class"].upper() == "BUTTON" and (w["visible"] or not visible_only)}


def shown_buttons(d):
    return sorted(buttons(d, visible_only=True))


def background(shot):
    """The frame's background, just inside the black top-left outline."""
    return shot.pixel(3, 3)


def log(d):
    return os.path.join(d.run_dir, "vmlog.txt")


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


# --- steps ---------------------------------------------------------------------------


def start(d):
    program = d.wine.start(d.args.exe, what="vexalmini.exe")
    d.find_window("^Vexal Mini$", program)
    time.sleep(0.7)  # the first paint follows the mapping
    # On a loaded machine the probe has once listed no game window although X showed it:
    # ask again until it does.
    mains = d.eventually(lambda: windows(d, "main"), "the window \"Vexal Mini\" of class \"VEXAL\" is there")
    client = mains[0]["client"]
    d.game = desktop.Game(d, program, (client[0], 0), top=client[1])
    d.kept = {}


def quits(what):
    return lambda d: d.game.quits("Ctrl+Q after " + what)


def looks(d, shot, what, colour=None, buttons_shown=None):
    if colour:
        d.check(background(shot) == colour, "%s: the background is %s" % (what, COLOURS[colour]))
    if buttons_shown is not None:
        d.check(shown_buttons(d) == buttons_shown, "%s: the buttons shown are %s" % (what, buttons_shown))


def frame(name, what, colour=None):
    return lambda d: looks(d, d.game.shows(name, what), what, colour)


def play(events, name, what, colour=None, buttons_shown=None):
    return lambda d: looks(d, d.game.play(events, name, what), what, colour, buttons_shown)


def screenshot(name):
    return lambda d: d.grab(keep=name)


def bar_buttons(d):
    """Finds the menu bar's five captions on the screen; returns their centres."""
    bars = [w for w in windows(d, "owned") if w["class"] == "VexalMenuBarStandin"]
    d.check(len(bars) == 1 and bars[0]["visible"] == 1, "the menu bar is shown")
    left, top, right, bottom = bars[0]["rect"]
    shot = d.grab((left, top, right - left, bottom - top), keep="bar")
    # Captions are dark, anti-aliased text on the light bar; the arrows belong to their caption.
    dark = [any(sum(shot.pixel(x, y)) < 450 for y in range(2, shot.height)) for x in range(shot.width)]
    groups, begin, gap = [], None, 0
    for x, is_dark in enumerate(dark + [False] * 6):
        if is_dark:
            begin, gap, end = x if begin is None else begin, 0, x
        elif begin is not None:
            gap += 1
            if gap >= 6:
                groups.append((begin, end))
                begin = None
    d.check(len(groups) == len(BAR_CAPTIONS), "the menu bar shows %d captions (found %d)" %
            (len(BAR_CAPTIONS), len(groups)))
    return {name: (left + (a + b) // 2, (top + bottom) // 2) for name, (a, b) in zip(BAR_CAPTIONS, groups)}


def bar(caption, pause=0.25):
    return lambda d: d.click(*bar_buttons(d)[caption], pause=pause)


def menu(caption, item):
    """Opens a drop-down of the menu bar and taps one of its two items."""
    def step(d):
        at = bar_buttons(d)[caption]
        d.click(*at, pause=0.5)
        menus = windows(d, "menu")
        d.check(len(menus) == 1, "%s opens its popup menu" % caption)
        left, top, right, bottom = menus[0]["rect"]
        d.check(bottom <= at[1], "the %s popup opens above the bar" % caption)
        d.grab(keep="menu-" + caption.lower())
        d.click((left + right) // 2, top + (bottom - top) * (2 * item + 1) // 4, pause=0.5)
    return step


def tap_button(text, script=None, pause=0.4):
    def step(d):
        left, top, right, bottom = BUTTONS[text]
        d.click((left + right) // 2, (top + bottom) // 2, pause=pause)
        if script:
            d.game.did(script)
    return step


def check_buttons(what, expected):
    return lambda d: d.check(buttons(d) == expected, "%s: %s" % (what, buttons(d)))


def mixed(name, what, against):
    """The frame is dark blue and far from an earlier one (a shuffle's seed is the time)."""
    def step(d):
        shot = d.game.frame(keep=name)
        d.check(background(shot) == NAVY, what + ": the background is dark blue")
        d.check(desktop.differences(shot, d.kept[against])[0] > 5000, what + ": the picture changes")
        d.kept[name] = shot
    return step


def keep_frame(name):
    return lambda d: d.kept.update({name: d.game.frame(keep=name)})


def main_window(d):
    found = windows(d)
    main = [w for w in found if w["role"] == "main"]
    d.check(len(main) == 1, "one window \"Vexal Mini\" of class \"VEXAL\" exists")
    main = main[0]
    d.check(main["style"] & ~WS_CLIPSIBLINGS == WS_VISIBLE,
            "the main window's style is WS_VISIBLE (0x%x; the system adds WS_CLIPSIBLINGS)" % main["style"])
    d.check(main["client"] == [0, 24, 240, 294], "the client area is 240 x 270 at (0, 24): %s" % main["client"])
    # Wine answers only the class style across processes (icon and cursor stay in the game's).
    style = [w for w in found if w["role"] == "class"][0]["style"]
    d.check(style == 3, "the class has style 3 (CS_HREDRAW | CS_VREDRAW): %d" % style)
    owned = {w["text"]: w for w in found if w["role"] == "owned" and w["class"].upper() == "BUTTON"}
    d.check(sorted(owned) == sorted(BUTTONS), "the main window owns the five buttons: %s" % sorted(owned))
    for text, rect in BUTTONS.items():
        b = owned[text]
        d.check(b["visible"] == 0, "button \"%s\" is hidden" % text)
        d.check(b["style"] & ~(WS_POPUP | WS_CLIPSIBLINGS) == 0x1000 and b["style"] & WS_VISIBLE == 0,
                "button \"%s\" has style 0x1000 (0x%x; WS_POPUP added on the desktop)" % (text, b["style"]))
        d.check(b["rect"] == rect and b["id"] == 0, "button \"%s\" lies at %s with identifier 0" % (text, rect))


def second_start(d):
    write(log(d), "written after the first start\n")
    holder = probe(d, "hold-foreground", "20")
    ready = holder.readline()
    d.check(ready == "ready", "another window takes the foreground (%r)" % ready)
    code = d.wine.run(d.args.exe).returncode
    d.check(code == 0, "the second start exits with code %d" % code)
    rest = holder.process.communicate(timeout=30)[0].strip()
    d.check(holder.process.returncode == 0, "the first window comes to the foreground (%s)" % rest.splitlines()[0])
    d.check(len(windows(d, "main")) == 1 and not windows(d, "other-main"),
            "still exactly one window of class \"VEXAL\"")
    with open(log(d)) as f:
        d.check(f.read() == "written after the first start\n", "the second start left vmlog.txt alone")
    d.check(d.game.program.running(), "the first instance still runs")


def lost_capture(d):
    """A drag whose capture is taken away ends as its release would, and what the mouse
    does afterwards, held or not, drives nothing."""
    def hover():
        for i in range(8):
            d.move(*d.game.root(90 + 8 * i, 120 + 6 * i), pause=0.05)

    for number, (what, points, how) in enumerate(LOST_CAPTURE):
        name = "lost-capture-%d" % number
        d.game.play(stroke(points, release=False), name + "-held", what + ", held")
        taker = probe(d, "take-capture", how)
        taken = lambda: d.check(taker.readline() == "taken", what + ": the capture is taken")  # noqa: E731
        shot = d.game.play([("up",)], name, what + ", the capture lost", release=taken)
        hover()  # the button still down
        d.release()
        d.check(taker.wait(15) == 0, what + ": the probe is done")
        hover()
        d.game.shows(name + "-hover", what + ", hovering, held and released", expected=shot, settle=0.3)


def about(d):
    d.game.key("ctrl+a", pause=1.0)
    found = windows(d)
    dialogs = [w for w in found if w["role"] == "dialog"]
    d.check(len(dialogs) == 1 and dialogs[0]["visible"] == 1, "Ctrl+A opens \"About VexalMini\"")
    children = [w for w in found if w["role"] == "dialog-child"]
    d.check("VexalMini Version " + d.args.version in [c["text"] for c in children], "the About box names the version")
    done = [c for c in children if c["id"] == 1 and c["class"].upper() == "BUTTON"]
    d.check(len(done) == 1 and done[0]["text"] == "Done", "the About box has a Done button with identifier 1")
    front = [w for w in found if w["role"] == "foreground"][0]["text"]
    d.check(front == "About VexalMini", "the About box is in front")
    d.grab(keep="about")
    left, top, right, bottom = done[0]["rect"]
    d.click((left + right) // 2, (top + bottom) // 2, pause=0.8)
    d.check(not windows(d, "dialog"), "Done closes the About box")
    d.check(d.game.program.running(), "the game runs on after the About box")


def quit_menu(d):
    menu("Quit", 1)(d)
    time.sleep(0.5)
    d.check(d.game.program.running(), "Quit > No leaves the game running")
    menu("Quit", 0)(d)
    d.game.program.ends("Quit > Yes")


def help_calls(d, count):
    """The lines the PegHelp stand-in recorded, once there are COUNT of them (or 10 s on)."""
    path = os.path.join(d.run_dir, "peghelp-calls.txt")

    def lines():
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            return f.read().decode("utf-16-le").splitlines()

    try:
        d.eventually(lambda: len(lines()) >= count, "PegHelp.exe is started", timeout=10, every=0.2)
    except Failure:
        pass  # the check that follows says what came
    return lines()


def help_viewer(d):
    d.click(*bar_buttons(d)["Help"])
    d.check(help_calls(d, 1) == ["QZTVexalMini.htm#Main_Contents"],
            "Help starts PegHelp.exe with \"QZTVexalMini.htm#Main_Contents\"")
    d.game.key("F1")
    d.check(help_calls(d, 2) == ["QZTVexalMini.htm#Main_Contents", "QZTVexal.htm#Main_Contents"],
            "F1 (WM_HELP) starts PegHelp.exe with \"QZTVexal.htm#Main_Contents\"")


def htm_handler(d):
    """The private prefix opens .htm files with the recording stand-in."""
    handler = d.wine.path(d.args.peghelp)
    for key, value in (("HKCR\\.htm", "htmlfile"), ("HKCR\\htmlfile\\shell\\open\\command", '"%s" "%%1"' % handler)):
        d.check(d.wine.reg("add", key, "/ve", "/d", value, "/f"), "the .htm handler is the stand-in: %s = %s" %
                (key, value))


def help_page(d):
    """Without PegHelp.exe the page next to the program opens with the .htm handler."""
    d.click(*bar_buttons(d)["Help"], pause=0.5)
    lines = help_calls(d, 1)
    page = d.wine.path(os.path.join(os.path.dirname(d.args.exe), "QZTVexalMini.htm"))
    d.check(len(lines) == 1 and lines[0].lower().endswith(('"%s"' % page).lower()),
            "Help without PegHelp.exe opens %s with the .htm handler: %s" % (page, lines))


SCENARIOS = {
    "start": [
        lambda d: write(log(d), "text from an earlier run\n"), start, main_window,
        lambda d: d.check(os.path.getsize(log(d)) == 0, "vmlog.txt is empty after the start"),
        frame("start", "the first frame", GREEN), quits("the start")],
    "second-instance": [start, second_start, quits("the second start")],
    "size": [
        start, bar("Size", pause=0.5),
        check_buttons("Size shows \"+\", \"-\" and \"OK\" only",
                      {"Shuffle": 0, "New Skin": 0, "-": 1, "+": 1, "OK": 1}),
        screenshot("size-buttons"), lambda d: d.game.did("command size"),
        tap_button("+", "button plus"), tap_button("+", "button plus"), tap_button("OK", "button ok", pause=0.5),
        check_buttons("\"OK\" hides the size buttons again", {t: 0 for t in BUTTONS}),
        frame("size-plus-twice", "\"+\" twice"), quits("the size steps")],
    "drag": [
        start, play(stroke(LAYER, release=False), "drag-piece-held", "a layer during a drag"),
        screenshot("drag-held"),
        play([("up",)], "drag-piece-released", "the layer after release: a quarter turn, unsolved", NAVY),
        play(stroke(BESIDE), "drag-whole-puzzle", "the whole puzzle, dragged beside it"),
        play(stroke(OFF_TOP), "drag-off-the-top", "the whole puzzle, dragged up past the window's top edge"),
        quits("the drags")],
    "lost-capture": [start, lost_capture, quits("the lost captures")],
    "solved-buttons": [
        start, play(stroke(LAYER), "unsolve", "a quarter turn of the lower layer", NAVY, []),
        play(stroke(LAYER_BACK), "solve", "the same layer turned back: solved, \"Shuffle\" and "
             "\"New Skin\" show", GREEN, ["New Skin", "Shuffle"]),
        screenshot("solved-buttons"), keep_frame("solved"), tap_button("New Skin", pause=0.6),
        mixed("new-skin", "\"New Skin\"", "solved"),
        lambda d: d.check(shown_buttons(d) == [], "the buttons hide again: %s" % shown_buttons(d)),
        quits("New Skin")],
    "shuffle": [
        start, frame("shuffle-before", "the puzzle starts solved", GREEN), keep_frame("before"),
        menu("New", 0), mixed("shuffle-after", "New > Shuffle", "before"),
        lambda d: d.check(shown_buttons(d) == [], "no button shows after a shuffle: %s" % shown_buttons(d)),
        menu("New", 1), mixed("skin-after", "New > Change Skin shows the other skin", "shuffle-after"),
        quits("the shuffles")],
    "about": [start, about, frame("after-about", "the picture after the About box"), quits("the About box")],
    "quit-keys": [start, quits("the start alone")],
    "quit-menu": [start, quit_menu],
    "help": [lambda d: shutil.copy(d.args.peghelp, d.run_dir), start, help_viewer, quits("help")],
    "help-fallback": [htm_handler, start, help_page, quits("the help page")],
}


def setup(d):
    args = d.args
    helpers = os.path.join(args.windows_dir, "tests", "win32")
    args.exe = args.exe or os.path.join(args.windows_dir, "shell", "win32", "vexalmini.exe")
    args.probe = os.path.join(helpers, "vexal_probe", "vexal_probe.exe")
    args.peghelp = os.path.join(helpers, "peghelp_standin", "PegHelp.exe")
    desktop.need(args.exe, args.probe, args.peghelp, args.replay)


OPTIONS = [
    (["--windows-dir"], dict(required=True, type=os.path.abspath, help="build folder of the Windows programs")),
    (["--exe"], dict(type=os.path.abspath, help="the game to run (default: the one in --windows-dir)")),
    (["--replay"], dict(required=True, type=os.path.abspath, help="the vexal-replay program")),
    (["--version"], dict(default=project_version(), help="the version the About box names (default: the "
                                                          "top CMakeLists.txt's)")),
]

if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, SCENARIOS, OPTIONS, screen=(240, 320), wine=True, setup=setup))
