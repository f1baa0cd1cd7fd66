#!/usr/bin/env python3
"""The real Ostrover (x64 or i686) under Wine on an 800 x 600 Xvfb screen: clicks with and
without the application manager in the registry, the key in either registry view, File >
Exit, the About box through both accelerators, a launcher started by another program from
a folder with a blank in its path, and a launcher renamed with a blank. A stand-in
application manager records what it was given (its command line and current directory);
process_starter starts programs through CreateProcess."""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Failure  # noqa: E402

# 64-bit Windows keeps the 32-bit registry view's keys under Wow6432Node. Both are written
# literally in the 64-bit view, so the test does not depend on which reg.exe Wine runs.
KEY64 = r"HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\CEAPPMGR.EXE"
KEY32 = KEY64.replace("\\Software\\", "\\Software\\Wow6432Node\\")
VIEWS = {"x64": (KEY64, KEY32, "64-bit", "32-bit"), "i686": (KEY32, KEY64, "32-bit", "64-bit")}
NOWHERE = r"Z:\nowhere\CEAPPMGR.EXE"
PACKAGE = r"/report .\Ostrover.ini"


def setup(d):
    args = d.args
    desktop.need(args.launcher, args.standin, args.starter)
    machine = desktop.pe_machine(args.launcher)
    if machine not in VIEWS:
        raise Failure("%s is neither an x64 nor an x86 program" % args.launcher)
    d.own_key, d.other_key, d.own_view, d.other_view = VIEWS[machine]
    print("%s: its own registry view is the %s one" % (os.path.basename(args.launcher), d.own_view))


def lay_out(d):
    """The launcher under its own name and renamed with a blank; the stand-in where the
    registry will point."""
    shutil.copy(d.args.launcher, os.path.join(d.run_dir, "Ostrover.exe"))
    shutil.copy(d.args.launcher, os.path.join(d.run_dir, "Ostrover Setup.exe"))
    d.manager_dir = os.path.join(d.run_dir, "appmgr")
    os.makedirs(d.manager_dir)
    shutil.copy(d.args.standin, os.path.join(d.manager_dir, "CEAPPMGR.EXE"))
    d.manager = d.wine.path(os.path.join(d.manager_dir, "CEAPPMGR.EXE"))
    d.run_win = d.wine.path(d.run_dir)


def manager(d):
    return d.manager


def set_key(value, view="own"):
    """The manager's key in the launcher's own registry view, or in the other one."""
    def step(d):
        d.wine.reg("add", getattr(d, view + "_key"), "/ve", "/d", value(d) if callable(value) else value, "/f")
    return step


def delete_keys(d):
    for key in (KEY64, KEY32):
        d.wine.reg("delete", key, "/f")


def record(d, folder=None):
    return os.path.join(folder or d.manager_dir, "appmgr-record.txt")


def recorded(path):
    """The stand-in's record: its command line, then its current directory."""
    if not os.path.exists(path):
        return ["", ""]
    with open(path) as f:
        return f.read().splitlines() + ["", ""]


def start(*argv):
    """Starts a launcher from the run folder (ARGV as wine gets it, default Ostrover.exe)
    and waits for its window."""
    def step(d):
        if os.path.exists(record(d)):
            os.remove(record(d))
        d.launcher = d.wine.start(*(argv or ["Ostrover.exe"]), what="the launcher")
        d.window = d.find_window("^Ostrover$", d.launcher)
        d.eventually(lambda: shows_prompt(d), "the launcher's window shows \"Click to Proceed\"")
    return step


def shows_prompt(d):
    """The prompt, dark on white, in the middle of the window below its caption: the first
    paint has reached the screen (Wine puts it there from the launcher's message loop)."""
    x, y, width, height = d.geometry(d.window)
    band = d.grab((x + width // 2 - 30, y + 25, 60, height // 2 - 25))
    pixels = [band.pixel(i, j) for j in range(band.height) for i in range(band.width)]
    return (sum(1 for p in pixels if p == (255, 255, 255)) > len(pixels) // 2
            and sum(1 for p in pixels if sum(p) < 200) > 20)


def click(d):
    d.xdotool("mousemove", "--window", d.window, 120, 120, "click", 1, must=True)


def proceeds(what, folder=None):
    """A click ends the launcher, which has started the manager (its record goes to FOLDER).
    Once, in a full run on a loaded machine, a click was answered by nothing, and it could
    not be made to happen again (an answer takes well under a second even under load). So a
    click that after 5 s has neither ended the launcher nor started the manager is followed
    by another, at most twice, with a note and a screenshot in the log. No second manager
    can start: the launcher ends in the step that starts one."""
    def step(d):
        for attempt in range(1, 4):
            click(d)
            if d.launcher.wait(5) is not None or os.path.exists(record(d, folder)) or attempt == 3:
                break
            shot = "unanswered-click-%d-%s" % (attempt, "".join(c if c.isalnum() else "-" for c in what))
            d.grab(keep=shot)
            print("note: %s: 5 s after click %d the launcher still runs and has started nothing (the screen: "
                  "%s.png); clicking again" % (what, attempt, shot), flush=True)
        d.launcher.ends(what + ": a click ends the launcher")
    return step


def keys(*names):
    return lambda d: d.key(" ".join(names), d.window)


def about_box(d, timeout):
    return d.eventually(lambda: d.windows("^About$"), "an About box", timeout)


def about_gone(d):
    # Wine can take a second or two to take a closed dialog off the screen.
    d.eventually(lambda: not d.windows("^About$"), "the About box leaves the screen", timeout=10, every=0.2)


def settle(d):
    """Messages are handled in order: once an About box opened after a click has come and
    gone, the click has been handled too."""
    keys("alt+question")(d)
    about_box(d, 15)
    d.key("Escape")
    about_gone(d)


def ends(what, timeout=15):
    return lambda d: d.launcher.ends(what, timeout=timeout)


def started_nothing(what):
    return lambda d: d.check(d.launcher.running() and not os.path.exists(record(d)), what)


def exit_by_menu(what):
    def step(d):
        keys("alt+f")(d)
        time.sleep(0.2)
        d.key("x")
        d.launcher.ends("File > Exit " + what, timeout=10)
    return step


def expect_record(what, command_line, folder=None):
    """The manager was started with COMMAND_LINE in the launcher's current folder (the
    package path is relative: it must resolve there). The launcher ends as soon as the
    manager exists, which may be before the stand-in has written its record."""
    def step(d):
        path = record(d, folder)
        d.eventually(lambda: os.path.exists(path), what + ": the application manager is started", timeout=10)
        lines = recorded(path)
        d.check(lines[0] == command_line, "%s: command line %s" % (what, lines[0]))
        d.check(lines[1].lower() == d.run_win.lower(), "%s: current directory %s" % (what, lines[1]))
    return step


def view_case(what, own=None, other=None):
    """The key alone in the launcher's own view, alone in the other one, or in both with
    different paths (where its own wins): after a restart a click starts the manager."""
    keys_set = [set_key(value, view) for value, view in ((own, "own"), (other, "other")) if value]
    return [delete_keys] + keys_set + [start(), proceeds(what), expect_record(what, PACKAGE)]


def started_case(what, *command_line):
    """Started by another program through CreateProcess from a folder whose path holds a
    blank. The stand-in, under the launcher's name first, shows what such a start hands
    over; then the launcher itself must find its package file."""
    def step(d):
        vendor = os.path.join(d.run_dir, "Program Files", "Vendor")
        os.makedirs(vendor, exist_ok=True)
        exe = d.wine.path(vendor) + "\\Ostrover.exe"
        line = [c(exe) for c in command_line]
        shutil.copy(d.args.standin, os.path.join(vendor, "Ostrover.exe"))
        if os.path.exists(record(d, vendor)):
            os.remove(record(d, vendor))
        d.wine.run(d.args.starter, exe, *line)
        received = recorded(record(d, vendor))[0]
        d.check(received.replace('"', "") == exe and (not line or received == line[0]),
                "%s: a program started so receives %s" % (what, received))
        shutil.copy(d.args.launcher, os.path.join(vendor, "Ostrover.exe"))
        for s in [start(d.args.starter, exe, *line), proceeds(what), expect_record(what, PACKAGE)]:
            s(d)
    return step


def renamed(d):
    """Renamed with a blank, it hands its package file over in quotes. The registry names
    the manager without extension (found as .EXE), in a folder whose path is longer than
    any fixed buffer a launcher of this kind might keep."""
    base = os.path.join(d.run_dir, "appmgr-")
    folder = base + "l" * max(1, 216 - len(d.wine.path(base)))
    os.makedirs(folder)
    shutil.copy(d.args.standin, os.path.join(folder, "CEAPPMGR.EXE"))
    path = d.wine.path(os.path.join(folder, "CEAPPMGR.EXE"))
    for step in [set_key(path[:-len(".EXE")]), start("Ostrover Setup.exe"), proceeds("renamed launcher", folder),
                 expect_record("Ostrover Setup.exe, manager path of %d characters" % len(path),
                               '/report ".\\Ostrover Setup.ini"', folder)]:
        step(d)


def about(d):
    for opens, closes in (("alt+question", "Escape"), ("alt+slash", "Return")):
        keys(opens)(d)
        about_box(d, 10)
        d.check(True, "%s opens the About box" % opens)
        if opens == "alt+question":
            time.sleep(0.5)
            d.grab(keep="about")
        d.key(closes)
        about_gone(d)
        d.check(d.launcher.running(), "%s closes it; the launcher runs on" % closes)


SCENARIOS = {
    "views": [lay_out] + view_case("key in its own view", own=manager)
    + view_case("key in the other view only", other=manager)
    + view_case("key in both views", own=manager, other=NOWHERE),
    # Not installed: a click starts nothing; installing meanwhile does not help, since the
    # path was read at start.
    "not-installed": [
        lay_out, delete_keys, start(), lambda d: d.grab(keep="launcher"), click, settle,
        started_nothing("click without the registry key: still running, nothing started"),
        set_key(manager), click, settle, started_nothing("key installed while running: a click still starts nothing"),
        exit_by_menu("after clicks that started nothing")],
    # The registry names a file that is not there: closing the window (Alt+F4, as the
    # frame's close button) still ends with code 0.
    "missing-manager": [
        lay_out, set_key(NOWHERE), start(), click, settle,
        started_nothing("click with a missing application manager: still running"),
        keys("alt+F4"), ends("closing the window", timeout=10)],
    # Alt+"?" opens it and Escape closes it; Alt+"/" opens it and OK (Return) closes it.
    "about": [lay_out, start(), about, exit_by_menu("after the About box")],
    # With no command line (Windows then hands over the path unquoted, Wine quotes it), with
    # the path unquoted as Windows makes it, and with the path quoted up to the middle.
    "started": [
        lay_out, set_key(manager), started_case("no command line"),
        started_case("the path unquoted", lambda exe: exe),
        started_case("the path quoted up to the middle",
                     lambda exe: '"%s"\\Vendor\\Ostrover.exe' % exe[:-len("\\Vendor\\Ostrover.exe")])],
    "renamed": [lay_out, delete_keys, renamed],
}

OPTIONS = [
    (["--launcher"], dict(required=True, type=os.path.abspath, help="ostrover.exe")),
    (["--standin"], dict(required=True, type=os.path.abspath, help="the stand-in application manager")),
    (["--starter"], dict(required=True, type=os.path.abspath, help="process_starter.exe")),
]

if __name__ == "__main__":
    sys.exit(desktop.main(__doc__, SCENARIOS, OPTIONS, screen=(800, 600), wine=True, patience=15.0, setup=setup))
