#!/usr/bin/env python3
"""Drives the real vexalmini.exe under Wine on a 240 x 320 Xvfb screen and checks what
a player would see: windows, buttons, frames (pixel for pixel against vexal-replay),
menus, the About box, help and the ways out.

    e2e_vexalmini.py SCENARIO... --windows-dir DIR --replay PATH --work DIR [--screens DIR] [--exe PATH]

SCENARIO is one or more of: prepare, start, second-instance, size, drag, lost-capture,
solved-buttons, shuffle, about, quit-keys, quit-menu, help, help-fallback, all. "prepare" makes the private
Wine prefix (once) and runs first. --windows-dir is the build folder of the Windows programs,
x64 (build/win64) or i686 (build/win32); it gives the test helpers, and the game unless
--exe names another copy (one unpacked from a release zip, say).

The Wine prefix is private (WORK/wineprefix): its X11 driver runs unmanaged, so that
Wine places every window exactly and draws the captions itself (no window manager runs
under Xvfb), and its wineserver owns the foreground and keyboard focus that other Wine
tests, on other displays, would otherwise share. Scenarios sharing the prefix must not
run at the same time. Screenshots are kept in --screens (default WORK/screens).
"""

import argparse
import json
import os
import random
import shutil
import subprocess
import sys
import time

from check_resources import project_version

SCREEN = (240, 320)
FRAME = (240, 270)
NAVY = (0, 0, 128)
GREEN = (0x40, 0xC0, 0x40)
WS_VISIBLE, WS_POPUP, WS_CLIPSIBLINGS = 0x10000000, 0x80000000, 0x04000000

# The five buttons: text and screen rectangle (left, top, right, bottom).
BUTTONS = [("Shuffle", [0, 0, 120, 20]), ("New Skin", [120, 0, 240, 20]), ("-", [0, 212, 30, 232]),
           ("+", [0, 231, 30, 251]), ("OK", [0, 250, 30, 270])]
BAR_CAPTIONS = ["New", "Size", "Help", "About", "Quit"]

# Drags whose capture is taken away before the release: what, the drag (client x, y, step
# dx, dy, steps) and how the probe takes the capture. "window": another window of the
# game's input captures the mouse and gets the release; "cancel-mode": WM_CANCELMODE lets
# the capture go, and the release later comes to the game with no drag held.
LOST_CAPTURE = [
    ("a layer, another window taking the capture", (100, 180, 6, -1, 10), "window"),
    ("the whole puzzle, the mode cancelled", (20, 40, 4, 5, 12), "cancel-mode"),
]


class Failure(Exception):
    pass


class Session:
    def __init__(self, args):
        self.args = args
        args.windows_dir = os.path.abspath(args.windows_dir)
        args.replay = os.path.abspath(args.replay)
        self.exe = os.path.abspath(args.exe or os.path.join(args.windows_dir, "shell", "win32", "vexalmini.exe"))
        self.probe_exe = os.path.join(args.windows_dir, "tests", "win32", "vexal_probe", "vexal_probe.exe")
        self.peghelp_exe = os.path.join(args.windows_dir, "tests", "win32", "peghelp_standin", "PegHelp.exe")
        self.work = os.path.abspath(args.work)
        self.screens = os.path.abspath(args.screens or os.path.join(self.work, "screens"))
        self.env = dict(os.environ)
        self.env["WINEPREFIX"] = os.path.join(self.work, "wineprefix")
        self.env.setdefault("WINEDEBUG", "-all")
        self.env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
        self.game = None
        self.run_dir = None
        self.script = []  # the stylus events played on the game so far
        self.checks = 0

    # --- plumbing -------------------------------------------------------------------

    def check(self, condition, message):
        self.checks += 1
        if not condition:
            raise Failure(message)
        print("ok: " + message)

    def wine(self, *argv, timeout=30, cwd=None):
        return subprocess.run(["wine", *argv], env=self.env, cwd=cwd or self.run_dir, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

    def windows(self):
        out = self.wine(self.probe_exe, "windows").stdout
        return [json.loads(line) for line in out.splitlines() if line.startswith("{")]

    def role(self, windows, role):
        return [w for w in windows if w["role"] == role]

    def main_window(self):
        mains = self.role(self.windows(), "main")
        if not mains:
            raise Failure("the window \"Vexal Mini\" of class \"VEXAL\" is not there")
        return mains[0]

    def xdotool(self, *argv):
        subprocess.run(["xdotool", *[str(a) for a in argv]], check=True, env=self.env)

    def click(self, x, y, pause=0.25):
        self.xdotool("mousemove", x, y)
        time.sleep(0.05)
        self.xdotool("click", 1)
        time.sleep(pause)

    def key(self, keys, pause=0.3):
        self.xdotool("key", keys)
        time.sleep(pause)

    def screenshot(self, name):
        path = os.path.join(self.screens, name + ".png")
        subprocess.run(["import", "-window", "root", path], check=True, env=self.env)
        return path

    def crop(self, source, rect, name):
        x, y, w, h = rect
        path = os.path.join(self.screens, name + ".png")
        subprocess.run(["convert", source, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path], check=True)
        return path

    def rgb(self, path):
        return subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, stdout=subprocess.PIPE).stdout

    def differing_pixels(self, a, b, diff):
        result = subprocess.run(["compare", "-metric", "AE", a, b, diff], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)
        try:
            return int(float(result.stderr.strip().split()[0]))
        except (ValueError, IndexError):
            raise Failure("compare could not compare %s and %s: %s" % (a, b, result.stderr.strip()))

    def replay_frame(self, name, script_lines):
        script = os.path.join(self.run_dir, name + ".txt")
        with open(script, "w") as f:
            f.write("\n".join(script_lines) + "\n")
        frame = os.path.join(self.screens, name + "-replay.png")
        result = subprocess.run([self.args.replay, script, "--frame", frame], stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            raise Failure("vexal-replay failed on %s: %s" % (script, result.stderr.strip()))
        return frame

    def frame_rect(self):
        client = self.main_window()["client"]
        return (client[0], client[1], FRAME[0], FRAME[1])

    def wait_for_frame(self, expected, name, what, timeout=5.0):
        """Waits until the game's frame equals the expected PNG; returns the game's frame."""
        rect = self.frame_rect()
        deadline = time.time() + timeout
        while True:
            shot = self.crop(self.screenshot(name + "-screen"), rect, name + "-game")
            diff = os.path.join(self.screens, name + "-diff.png")
            count = self.differing_pixels(shot, expected, diff)
            if count == 0:
                return shot
            if time.time() > deadline:
                raise Failure("%s: %d pixels differ from vexal-replay's frame (see %s)" % (what, count, diff))
            time.sleep(0.2)

    def expect_frame(self, name, script_lines, what):
        """The game's frame equals vexal-replay's frame for the same events."""
        shot = self.wait_for_frame(self.replay_frame(name, script_lines), name, what)
        self.check(True, "%s: the frame equals vexal-replay's" % what)
        return shot

    def play(self, events, name, what, release=None):
        """Performs stylus events on the game one at a time. vexal-replay paints the frame
        after every event; whenever that frame changes, the game's must become equal to it
        before the next event goes out, so no two moves can merge in a queue on the way.
        release, when given, performs "up" instead of the mouse button."""
        first = len(self.script)
        self.script += events
        script = os.path.join(self.run_dir, name + ".txt")
        with open(script, "w") as f:
            f.write("\n".join(self.script) + "\n")
        frames = os.path.join(self.screens, name + "-frames")
        shutil.rmtree(frames, ignore_errors=True)
        os.makedirs(frames)
        result = subprocess.run([self.args.replay, script, "--frames", frames], stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            raise Failure("vexal-replay failed on %s: %s" % (script, result.stderr.strip()))
        ox, oy = self.frame_rect()[:2]
        shot = None
        for number, event in enumerate(events, first + 1):
            words = event.split()
            if words[0] == "down":
                self.xdotool("mousemove", ox + int(words[1]), oy + int(words[2]))
                time.sleep(0.05)
                self.xdotool("mousedown", 1)
            elif words[0] == "move":
                self.xdotool("mousemove", ox + int(words[1]), oy + int(words[2]))
            elif release is not None:
                release()
            else:
                self.xdotool("mouseup", 1)
            frame = os.path.join(frames, "frame-%05d.png" % number)
            with open(frame, "rb") as a, open(os.path.join(frames, "frame-%05d.png" % (number - 1)), "rb") as b:
                changed = a.read() != b.read()
            if changed:
                shot = self.wait_for_frame(frame, name, "%s, after \"%s\"" % (what, event))
            else:
                time.sleep(0.1)
        self.check(True, "%s: every frame equals vexal-replay's (%d events)" % (what, len(events)))
        return shot if shot is not None else self.crop(self.screenshot(name + "-screen"), self.frame_rect(),
                                                       name + "-game")

    def start_game(self, wait=True):
        self.game = subprocess.Popen(["wine", self.exe], env=self.env, cwd=self.run_dir, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        if not wait:
            return self.game
        deadline = time.time() + 30
        while time.time() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vexal Mini$"], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.split()
            if found:
                time.sleep(0.7)  # the first paint follows the mapping
                return self.game
            if self.game.poll() is not None:
                raise Failure("vexalmini.exe ended at start with exit code %d" % self.game.returncode)
            time.sleep(0.2)
        raise Failure("no window \"Vexal Mini\" appeared within 30 s")

    def expect_exit(self, what, timeout=15):
        try:
            code = self.game.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("%s: the game still runs after %d s" % (what, timeout))
        self.check(code == 0, "%s: the game ended with exit code %d" % (what, code))

    def hover_game(self):
        """Puts the pointer over the picture, away from the buttons; hovering does nothing."""
        client = self.frame_rect()
        self.xdotool("mousemove", client[0] + 200, client[1] + 30)
        time.sleep(0.1)

    def bar_buttons(self):
        """Finds the menu bar's five captions on the screen; returns their centres."""
        bars = [w for w in self.role(self.windows(), "owned") if w["class"] == "VexalMenuBarStandin"]
        self.check(len(bars) == 1 and bars[0]["visible"] == 1, "the menu bar is shown")
        left, top, right, bottom = bars[0]["rect"]
        shot = self.crop(self.screenshot("bar-screen"), (left, top, right - left, bottom - top), "bar")
        pixels = self.rgb(shot)
        width, height = right - left, bottom - top
        # Captions are dark, anti-aliased text on the light bar; the arrows belong to their caption.
        dark = [any(sum(pixels[3 * (y * width + x):3 * (y * width + x) + 3]) < 450 for y in range(2, height))
                for x in range(width)]
        groups, start, gap = [], None, 0
        for x, d in enumerate(dark + [False] * 6):
            if d:
                if start is None:
                    start = x
                gap, end = 0, x
            elif start is not None:
                gap += 1
                if gap >= 6:
                    groups.append((start, end))
                    start = None
        self.check(len(groups) == len(BAR_CAPTIONS), "the menu bar shows %d captions (found %d)" %
                   (len(BAR_CAPTIONS), len(groups)))
        cy = (top + bottom) // 2
        return {name: (left + (a + b) // 2, cy) for name, (a, b) in zip(BAR_CAPTIONS, groups)}

    def choose_from_bar(self, button, item_index):
        """Opens a drop-down of the menu bar and taps one of its two items."""
        bar = self.bar_buttons()
        self.click(*bar[button], pause=0.5)
        menus = self.role(self.windows(), "menu")
        self.check(len(menus) == 1, "%s opens its popup menu" % button)
        left, top, right, bottom = menus[0]["rect"]
        self.check(bottom <= bar[button][1], "the %s popup opens above the bar" % button)
        self.screenshot("menu-" + button.lower())
        self.click((left + right) // 2, top + (bottom - top) * (2 * item_index + 1) // 4, pause=0.5)

    def background(self, shot):
        """The colour of the frame's background, just inside the black top-left outline."""
        data = self.rgb(shot)
        return tuple(data[3 * (3 * FRAME[0] + 3):3 * (3 * FRAME[0] + 3) + 3])

    def cleanup(self):
        if self.game is not None and self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def new_run_dir(self, scenario):
        self.script = []
        self.run_dir = os.path.join(self.work, "run-" + scenario)
        shutil.rmtree(self.run_dir, ignore_errors=True)
        os.makedirs(self.run_dir)

    # --- scenarios ------------------------------------------------------------------

    def prepare(self):
        prefix = self.env["WINEPREFIX"]
        marker = os.path.join(prefix, "vexal-e2e-ready")
        if os.path.exists(marker):
            print("ok: the Wine prefix %s is ready" % prefix)
            return
        print("making the Wine prefix %s (once, about 20 s)" % prefix)
        subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=240)
        result = self.wine("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f",
                           cwd=self.work)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)
        self.check(result.returncode == 0, "the X11 driver of the private prefix runs unmanaged")
        with open(marker, "w") as f:
            f.write("X11 Driver: Managed=N\n")

    def start(self):
        log = os.path.join(self.run_dir, "vmlog.txt")
        with open(log, "w") as f:
            f.write("text from an earlier run\n")
        self.start_game()
        windows = self.windows()
        main = self.role(windows, "main")
        self.check(len(main) == 1, "one window \"Vexal Mini\" of class \"VEXAL\" exists")
        main = main[0]
        self.check(main["style"] & ~WS_CLIPSIBLINGS == WS_VISIBLE,
                   "the main window's style is WS_VISIBLE (0x%x; the system adds WS_CLIPSIBLINGS)" % main["style"])
        self.check(main["client"] == [0, 24, 240, 294], "the client area is 240 x 270 at (0, 24): %s" % main["client"])
        klass = self.role(windows, "class")[0]
        # Wine answers only the class style across processes (icon and cursor stay in the game's).
        self.check(klass["style"] == 3, "the class has style 3 (CS_HREDRAW | CS_VREDRAW): %d" % klass["style"])
        owned = [w for w in self.role(windows, "owned") if w["class"].upper() == "BUTTON"]
        self.check(sorted(w["text"] for w in owned) == sorted(t for t, _ in BUTTONS),
                   "the main window owns the five buttons: %s" % [w["text"] for w in owned])
        for text, rect in BUTTONS:
            b = [w for w in owned if w["text"] == text][0]
            self.check(b["visible"] == 0, "button \"%s\" is hidden" % text)
            self.check(b["style"] & ~(WS_POPUP | WS_CLIPSIBLINGS) == 0x1000 and b["style"] & WS_VISIBLE == 0,
                       "button \"%s\" has style 0x1000 (0x%x; WS_POPUP added on the desktop)" % (text, b["style"]))
            self.check(b["rect"] == rect and b["id"] == 0, "button \"%s\" lies at %s with identifier 0" % (text, rect))
        self.check(os.path.getsize(log) == 0, "vmlog.txt is empty after the start")
        shot = self.expect_frame("start", [], "the first frame")
        self.check(self.background(shot) == GREEN, "the first frame's background is green")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after the start")

    def second_instance(self):
        self.start_game()
        with open(os.path.join(self.run_dir, "vmlog.txt"), "w") as f:
            f.write("written after the first start\n")
        holder = subprocess.Popen(["wine", self.probe_exe, "hold-foreground", "20"], env=self.env, cwd=self.run_dir,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        ready = holder.stdout.readline().strip()
        self.check(ready == "ready", "another window takes the foreground (%r)" % ready)
        second = self.wine(self.exe, timeout=30)
        self.check(second.returncode == 0, "the second start exits with code %d" % second.returncode)
        rest = holder.communicate(timeout=30)[0].strip()
        self.check(holder.returncode == 0, "the first window comes to the foreground (%s)" % rest.splitlines()[0])
        windows = self.windows()
        self.check(len(self.role(windows, "main")) == 1 and not self.role(windows, "other-main"),
                   "still exactly one window of class \"VEXAL\"")
        with open(os.path.join(self.run_dir, "vmlog.txt")) as f:
            self.check(f.read() == "written after the first start\n", "the second start left vmlog.txt alone")
        self.check(self.game.poll() is None, "the first instance still runs")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after the second start")

    def size(self):
        self.start_game()
        bar = self.bar_buttons()
        self.click(*bar["Size"], pause=0.5)
        shown = {w["text"]: w["visible"] for w in self.role(self.windows(), "owned") if w["class"].upper() == "BUTTON"}
        self.check(shown == {"Shuffle": 0, "New Skin": 0, "-": 1, "+": 1, "OK": 1},
                   "Size shows \"+\", \"-\" and \"OK\" only: %s" % shown)
        self.screenshot("size-buttons")
        plus = [r for t, r in BUTTONS if t == "+"][0]
        ok = [r for t, r in BUTTONS if t == "OK"][0]
        for _ in range(2):
            self.click((plus[0] + plus[2]) // 2, (plus[1] + plus[3]) // 2, pause=0.4)
        self.click((ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2, pause=0.5)
        shown = {w["text"]: w["visible"] for w in self.role(self.windows(), "owned") if w["class"].upper() == "BUTTON"}
        self.check(not any(shown.values()), "\"OK\" hides the size buttons again")
        self.expect_frame("size-plus-twice", ["command size", "button plus", "button plus", "button ok"],
                          "\"+\" twice")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after the size steps")

    @staticmethod
    def drag_events(x, y, dx, dy, steps, release=True):
        """A straight stylus drag in client coordinates, as replay script lines."""
        events = ["down %d %d" % (x, y)]
        for _ in range(steps):
            x, y = x + dx, y + dy
            events.append("move %d %d" % (x, y))
        return events + (["up"] if release else [])

    def drags(self):
        self.start_game()
        # On the front of the lower layer, to the right: the layer follows.
        self.play(self.drag_events(100, 180, 6, -1, 10, release=False), "drag-piece-held", "a layer during a drag")
        self.screenshot("drag-held")
        shot = self.play(["up"], "drag-piece-released", "the layer after release")
        self.check(self.background(shot) == NAVY, "a committed quarter turn leaves the puzzle unsolved (navy)")
        # Beside the puzzle, down and to the right: the whole puzzle turns.
        self.play(self.drag_events(20, 40, 4, 5, 12), "drag-whole-puzzle", "the whole puzzle, dragged beside it")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after the drags")

    def lost_capture(self):
        """A drag whose capture is taken away ends as its release would, and what the mouse
        does afterwards, held or not, drives nothing."""
        self.start_game()
        ox, oy = self.frame_rect()[:2]

        def hover():
            for i in range(8):
                self.xdotool("mousemove", ox + 90 + 8 * i, oy + 120 + 6 * i)
                time.sleep(0.05)

        for number, (what, drag, how) in enumerate(LOST_CAPTURE):
            name = "lost-capture-%d" % number
            self.play(self.drag_events(*drag, release=False), name + "-held", what + ", held")
            probe = subprocess.Popen(["wine", self.probe_exe, "take-capture", how], env=self.env, cwd=self.run_dir,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            taken = lambda: self.check(probe.stdout.readline().strip() == "taken", what + ": the capture is taken")
            shot = self.play(["up"], name, what + ", the capture lost", release=taken)
            hover()  # the button still down
            self.xdotool("mouseup", 1)
            self.check(probe.wait(timeout=15) == 0, what + ": the probe is done")
            hover()
            time.sleep(0.3)
            after = self.crop(self.screenshot(name + "-hover-screen"), self.frame_rect(), name + "-hover")
            self.check(self.differing_pixels(shot, after, os.path.join(self.screens, name + "-hover-diff.png")) == 0,
                       what + ": hovering, held and released, leaves the frame as it is")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after the lost captures")

    def visible_buttons(self):
        return sorted(w["text"] for w in self.role(self.windows(), "owned")
                      if w["visible"] and w["class"].upper() == "BUTTON")

    def solved_buttons(self):
        self.start_game()
        shot = self.play(self.drag_events(100, 180, 6, -1, 10), "unsolve", "a quarter turn of the lower layer")
        self.check(self.background(shot) == NAVY and self.visible_buttons() == [],
                   "after the turn the puzzle is unsolved and no button shows")
        # The same layer back: solved again.
        shot = self.play(self.drag_events(150, 180, -6, 1, 10), "solve", "the same layer turned back")
        self.check(self.background(shot) == GREEN, "the puzzle is solved again (green)")
        self.check(self.visible_buttons() == ["New Skin", "Shuffle"],
                   "\"Shuffle\" and \"New Skin\" show: %s" % self.visible_buttons())
        self.screenshot("solved-buttons")
        new_skin = [r for t, r in BUTTONS if t == "New Skin"][0]
        self.click((new_skin[0] + new_skin[2]) // 2, (new_skin[1] + new_skin[3]) // 2, pause=0.6)
        after = self.crop(self.screenshot("new-skin-screen"), self.frame_rect(), "new-skin")
        self.check(self.background(after) == NAVY, "\"New Skin\" mixes the puzzle (navy)")
        self.check(self.differing_pixels(shot, after, os.path.join(self.screens, "new-skin-diff.png")) > 5000,
                   "\"New Skin\" changes the picture")
        self.check(self.visible_buttons() == [], "the buttons hide again: %s" % self.visible_buttons())
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after New Skin")

    def shuffle(self):
        self.start_game()
        before = self.crop(self.screenshot("shuffle-before-screen"), self.frame_rect(), "shuffle-before")
        self.check(self.background(before) == GREEN, "the puzzle starts solved (green)")
        self.choose_from_bar("New", 0)
        after = self.crop(self.screenshot("shuffle-after-screen"), self.frame_rect(), "shuffle-after")
        self.check(self.background(after) == NAVY, "New > Shuffle turns the background dark blue")
        self.check(self.differing_pixels(before, after, os.path.join(self.screens, "shuffle-diff.png")) > 5000,
                   "New > Shuffle mixes the puzzle")
        shown = [w["text"] for w in self.role(self.windows(), "owned") if w["visible"] and w["class"].upper() == "BUTTON"]
        self.check(shown == [], "no button shows after a shuffle: %s" % shown)
        self.choose_from_bar("New", 1)
        skin = self.crop(self.screenshot("skin-after-screen"), self.frame_rect(), "skin-after")
        self.check(self.background(skin) == NAVY and
                   self.differing_pixels(after, skin, os.path.join(self.screens, "skin-diff.png")) > 5000,
                   "New > Change Skin shows the other skin, mixed")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after the shuffles")

    def about(self):
        self.start_game()
        self.hover_game()
        self.key("ctrl+a", pause=1.0)
        windows = self.windows()
        dialogs = self.role(windows, "dialog")
        self.check(len(dialogs) == 1 and dialogs[0]["visible"] == 1, "Ctrl+A opens \"About VexalMini\"")
        children = self.role(windows, "dialog-child")
        texts = [c["text"] for c in children]
        self.check("VexalMini Version " + project_version() in texts, "the About box names the version")
        done = [c for c in children if c["id"] == 1 and c["class"].upper() == "BUTTON"]
        self.check(len(done) == 1 and done[0]["text"] == "Done", "the About box has a Done button with identifier 1")
        self.check(self.role(windows, "foreground")[0]["text"] == "About VexalMini", "the About box is in front")
        self.screenshot("about")
        left, top, right, bottom = done[0]["rect"]
        self.click((left + right) // 2, (top + bottom) // 2, pause=0.8)
        self.check(not self.role(self.windows(), "dialog"), "Done closes the About box")
        self.check(self.game.poll() is None, "the game runs on after the About box")
        self.expect_frame("after-about", [], "the picture after the About box")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after the About box")

    def quit_keys(self):
        self.start_game()
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q")

    def quit_menu(self):
        self.start_game()
        self.choose_from_bar("Quit", 1)
        time.sleep(0.5)
        self.check(self.game.poll() is None, "Quit > No leaves the game running")
        self.choose_from_bar("Quit", 0)
        self.expect_exit("Quit > Yes")

    def help(self):
        shutil.copy(self.peghelp_exe, os.path.join(self.run_dir, "PegHelp.exe"))
        calls = os.path.join(self.run_dir, "peghelp-calls.txt")
        self.start_game()

        def read_calls(count):
            deadline = time.time() + 10
            lines = []
            while time.time() < deadline:
                if os.path.exists(calls):
                    with open(calls, "rb") as f:
                        lines = f.read().decode("utf-16-le").splitlines()
                    if len(lines) >= count:
                        break
                time.sleep(0.2)
            return lines

        self.click(*self.bar_buttons()["Help"])
        self.check(read_calls(1) == ["QZTVexalMini.htm#Main_Contents"],
                   "Help starts PegHelp.exe with \"QZTVexalMini.htm#Main_Contents\"")
        self.hover_game()
        self.key("F1")
        self.check(read_calls(2) == ["QZTVexalMini.htm#Main_Contents", "QZTVexal.htm#Main_Contents"],
                   "F1 (WM_HELP) starts PegHelp.exe with \"QZTVexal.htm#Main_Contents\"")
        self.hover_game()
        self.key("ctrl+q")
        self.expect_exit("Ctrl+Q after help")


def help_fallback(session):
    """Without PegHelp.exe the page next to the program opens with the .htm handler,
    which the private prefix points at the recording stand-in."""
    handler = subprocess.run(["winepath", "-w", session.peghelp_exe], env=session.env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True).stdout.strip()
    for key, value in (("HKCR\\.htm", "htmlfile"), ("HKCR\\htmlfile\\shell\\open\\command", '"%s" "%%1"' % handler)):
        result = session.wine("reg", "add", key, "/ve", "/d", value, "/f")
        session.check(result.returncode == 0, "the .htm handler is the stand-in: %s = %s" % (key, value))
    calls = os.path.join(session.run_dir, "peghelp-calls.txt")
    session.start_game()
    session.click(*session.bar_buttons()["Help"], pause=0.5)
    deadline = time.time() + 10
    while not os.path.exists(calls) and time.time() < deadline:
        time.sleep(0.2)
    lines = []
    if os.path.exists(calls):
        with open(calls, "rb") as f:
            lines = f.read().decode("utf-16-le").splitlines()
    page = subprocess.run(["winepath", "-w", os.path.join(os.path.dirname(session.exe), "QZTVexalMini.htm")],
                          env=session.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.strip()
    session.check(len(lines) == 1 and lines[0].lower().endswith(('"%s"' % page).lower()),
                  "Help without PegHelp.exe opens %s with the .htm handler: %s" % (page, lines))
    session.hover_game()
    session.key("ctrl+q")
    session.expect_exit("Ctrl+Q after the help page")


SCENARIOS = {
    "start": Session.start,
    "second-instance": Session.second_instance,
    "size": Session.size,
    "drag": Session.drags,
    "lost-capture": Session.lost_capture,
    "solved-buttons": Session.solved_buttons,
    "shuffle": Session.shuffle,
    "about": Session.about,
    "quit-keys": Session.quit_keys,
    "quit-menu": Session.quit_menu,
    "help": Session.help,
    "help-fallback": help_fallback,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("scenarios", nargs="+", metavar="SCENARIO", choices=["prepare", "all"] + list(SCENARIOS))
    parser.add_argument("--windows-dir", required=True, help="build folder of the Windows programs")
    parser.add_argument("--replay", required=True, help="the vexal-replay program")
    parser.add_argument("--work", required=True, help="folder for the prefix, runs and screenshots")
    parser.add_argument("--screens", help="folder for screenshots (default WORK/screens)")
    parser.add_argument("--exe", help="the game to run (default: the one in --windows-dir)")
    args = parser.parse_args()

    session = Session(args)
    os.makedirs(session.work, exist_ok=True)
    names = [n for n in args.scenarios if n != "prepare"]
    if "all" in names:
        names = list(SCENARIOS)
    if "prepare" in args.scenarios and not os.environ.get("VEXAL_E2E_DISPLAY"):
        try:
            session.prepare()
        except (Failure, subprocess.SubprocessError, OSError) as e:
            print("FAIL: %s" % e)
            return 1
    if not names:
        return 0

    needed = [session.exe, session.probe_exe, session.peghelp_exe, args.replay]
    missing = [p for p in needed if not os.path.isfile(p)]
    if missing:
        print("FAIL: missing %s; build the Windows preset (cmake --build --preset win64) and vexal-replay first" %
              ", ".join(missing))
        return 1

    if not os.environ.get("VEXAL_E2E_DISPLAY"):
        # Own 240 x 320 screen, the handheld's; a random first display number keeps
        # parallel xvfb-run -a calls from racing for the same one.
        env = dict(os.environ, VEXAL_E2E_DISPLAY="1")
        command = ["xvfb-run", "-a", "-n", str(100 + random.randrange(400)), "-s",
                   "-screen 0 %dx%dx24" % SCREEN, sys.executable, os.path.abspath(__file__)] + sys.argv[1:]
        return subprocess.run(command, env=env).returncode

    os.makedirs(session.screens, exist_ok=True)
    failed = []
    for name in names:
        session.new_run_dir(name)
        print("== %s" % name)
        try:
            SCENARIOS[name](session)
        except (Failure, subprocess.SubprocessError, OSError) as e:
            print("FAIL: %s: %s" % (name, e))
            failed.append(name)
        finally:
            session.cleanup()
    print("%d checks; %s" % (session.checks, "failed: " + ", ".join(failed) if failed else "all passed"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
