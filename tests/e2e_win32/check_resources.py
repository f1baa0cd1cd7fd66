#!/usr/bin/env python3
"""Reads the resources back out of the built vexalmini.exe (a PE file, parsed here
with the standard library only) and checks each against what the game needs:
the menu-bar bytes, the menu, the accelerators, the About template, the strings,
the icon group and the version resource; and the help pages installed next to the
program. For Ostrover.exe (--program ostrover) it checks the version resource.

    check_resources.py [--program P] [--version V] FILE.exe
                                  exit 0 when every check passes; V is the release
                                  version (default: project()'s in CMakeLists.txt)
    check_resources.py --self-test vexalmini.exe
                                  changes one resource at a time in memory and exits 0
                                  when every change is caught
"""

import argparse
import os
import re
import struct
import sys

RT_ICON, RT_MENU, RT_DIALOG, RT_STRING, RT_ACCELERATOR, RT_RCDATA, RT_GROUP_ICON, RT_VERSION = \
    3, 4, 5, 6, 9, 10, 14, 16


class PeResources:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections = struct.unpack_from("<H", data, pe + 6)[0]
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr))
        self.base = self.offset(self.rsrc_rva)
        self.entries = {}  # (type, name) -> {language: bytes}
        self._walk()

    def offset(self, rva):
        for vaddr, size, rawptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rawptr + rva - vaddr
        raise ValueError("address 0x%x is in no section" % rva)

    def _name(self, value):
        if value & 0x80000000:
            at = self.base + (value & 0x7FFFFFFF)
            length = struct.unpack_from("<H", self.data, at)[0]
            return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        return value

    def _directory(self, at):
        named, ids = struct.unpack_from("<HH", self.data, self.base + at + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, self.base + at + 16 + 8 * i)
            yield self._name(name), target

    def _walk(self):
        for rtype, t in self._directory(0):
            for name, n in self._directory(t & 0x7FFFFFFF):
                for lang, leaf in self._directory(n & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, self.base + leaf)
                    at = self.offset(rva)
                    self.entries.setdefault((rtype, name), {})[lang] = self.data[at:at + size]

    def get(self, rtype, name):
        langs = self.entries.get((rtype, name))
        if not langs:
            return None
        return next(iter(langs.values()))


def words(blob):
    return list(struct.unpack("<%dH" % (len(blob) // 2), blob))


def read_sz(blob, at):
    """A NUL-terminated UTF-16 string at `at`; returns (text, offset after it)."""
    end = at
    while blob[end:end + 2] != b"\0\0":
        end += 2
    return blob[at:end].decode("utf-16-le"), end + 2


def read_sz_or_ordinal(blob, at):
    if blob[at:at + 2] == b"\xff\xff":
        return struct.unpack_from("<H", blob, at + 2)[0], at + 4
    return read_sz(blob, at)


def parse_menu(blob):
    """A standard menu template: list of (text, id or list of children)."""
    at = 4  # version, header size

    def items():
        nonlocal at
        out = []
        while True:
            flags = struct.unpack_from("<H", blob, at)[0]
            at += 2
            if flags & 0x10:  # MF_POPUP
                text, at = read_sz(blob, at)
                out.append((text, items()))
            else:
                ident = struct.unpack_from("<H", blob, at)[0]
                text, at = read_sz(blob, at + 2)
                out.append((text, ident))
            if flags & 0x80:  # MF_END
                return out

    return items()


PREDEFINED_CLASSES = {"BUTTON": 0x80, "EDIT": 0x81, "STATIC": 0x82, "LISTBOX": 0x83, "SCROLLBAR": 0x84,
                      "COMBOBOX": 0x85}


def parse_dialog(blob):
    style, ex_style, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", blob, 0)
    at = 18
    menu, at = read_sz_or_ordinal(blob, at)
    klass, at = read_sz_or_ordinal(blob, at)
    title, at = read_sz(blob, at)
    font = None
    if style & 0x40:  # DS_SETFONT
        size = struct.unpack_from("<H", blob, at)[0]
        face, at = read_sz(blob, at + 2)
        font = (size, face)
    controls = []
    for _ in range(count):
        at = (at + 3) & ~3
        cstyle, cex, left, top, width, height, ident = struct.unpack_from("<IIhhhhH", blob, at)
        at += 18
        cclass, at = read_sz_or_ordinal(blob, at)
        if isinstance(cclass, str) and cclass.upper() in PREDEFINED_CLASSES:
            cclass = PREDEFINED_CLASSES[cclass.upper()]  # the same class, named instead of numbered
        text, at = read_sz_or_ordinal(blob, at)
        extra = struct.unpack_from("<H", blob, at)[0]
        at += 2 + extra
        controls.append(dict(style=cstyle, ex_style=cex, rect=(left, top, width, height), id=ident, cls=cclass,
                             text=text))
    return dict(style=style, ex_style=ex_style, rect=(x, y, cx, cy), menu=menu, cls=klass, title=title,
                font=font, controls=controls)


def strings(res):
    table = {}
    for (rtype, block), langs in res.entries.items():
        if rtype != RT_STRING:
            continue
        blob = next(iter(langs.values()))
        at = 0
        for i in range(16):
            length = struct.unpack_from("<H", blob, at)[0]
            if length:
                table[(block - 1) * 16 + i] = blob[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            at += 2 + 2 * length
    return table


EXPECTED_MENU_BAR = [
    102, 5,
    0xFFFE, 40001, 4, 24, 104, 0, 0,
    0xFFFE, 40030, 4, 16, 40032, 0, 0xFFFF,
    0xFFFE, 40010, 4, 16, 40012, 0, 0xFFFF,
    0xFFFE, 40003, 4, 16, 40028, 0, 0xFFFF,
    0xFFFE, 40022, 4, 24, 40024, 0, 4,
]

EXPECTED_MENU = [
    ("New", [("Shuffle", 40004), ("Change Skin", 40029)]),
    ("Size", 40030),
    ("Help", 40010),
    ("About", 40003),
    ("Quit", [("Yes", 40025), ("No", 40026)]),
]

EXPECTED_STRINGS = {1: "Vexal Mini", 3: "VEXAL", 104: "New", 40012: "Help", 40024: "Quit",
                    40028: "About", 40032: "Size"}

# (class, text or icon ordinal, style, x, y, cx, cy); every identifier is -1.
def handheld_notice():
    """The rights notice of the SDL window's and the page's About box: the Windows programs
    say the same, and name one holder, the VexalMini authors."""
    layout = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shell", "handheld", "layout.h")
    with open(layout) as f:
        found = re.search(r'kSoftwareNotice = "([^"]*)"', f.read())
    if not found or " the VexalMini authors." not in found.group(1):
        raise ValueError("%s names no notice of the VexalMini authors" % layout)
    return found.group(1)


def expected_controls(version):
    return [
        (0x82, 101, 0x50000003, 5, 17, 20, 20),
        (0x82, "VexalMini Version " + version, 0x50020080, 34, 10, 70, 8),
        (0x82, None, 0x50020000, 34, 25, 70, 20),
        (0x82, handheld_notice(), 0x50020000, 34, 49, 96, 16),
    ]


# The launcher's About box: its own version line, and the notice on one line of 119 x 8
# dialog units (about 30 characters of its font).
LAUNCHER_ABOUT = [("Ostrover Version 1.0", (49, 10, 119, 8)), ("(C) 2026 the VexalMini authors", (49, 20, 119, 8))]


# What Explorer's properties show of each program.
PROGRAMS = {
    "vexalmini": {"FileDescription": "VexalMini, the 2x2x2 twisting puzzle", "InternalName": "vexalmini",
                  "OriginalFilename": "vexalmini.exe"},
    "ostrover": {"FileDescription": "Ostrover, the VexalMini desktop launcher", "InternalName": "Ostrover",
                 "OriginalFilename": "Ostrover.exe"},
}


def project_version():
    """project()'s version in the top CMakeLists.txt, the one place it is written."""
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "CMakeLists.txt")
    with open(top) as f:
        found = re.search(r"project\(\s*VexalMini\s+VERSION\s+([0-9.]+)", f.read())
    if not found:
        raise ValueError("no project(VexalMini VERSION ...) in %s" % top)
    return found.group(1)


def parse_version_node(blob, at):
    """One node of a version resource: (key, value, children) and the offset after it."""
    length, value_length, kind = struct.unpack_from("<HHH", blob, at)
    end = at + length
    key, p = read_sz(blob, at + 6)
    p = (p + 3) & ~3
    if kind == 1:  # text; some compilers count its length in bytes, some in characters
        value = read_sz(blob, p)[0] if value_length else ""
        p += 2 * value_length
    else:
        value = blob[p:p + value_length]
        p += value_length
    children = []
    p = (p + 3) & ~3
    while p < end:
        child, p = parse_version_node(blob, p)
        children.append(child)
        p = (p + 3) & ~3
    return (key, value, children), end


def check_version_info(res, program, version, expect):
    blob = res.get(RT_VERSION, 1)
    expect("version resource 1 present", blob is not None, True)
    if blob is None:
        return
    (key, fixed, children), _ = parse_version_node(blob, 0)
    expect("version resource key", key, "VS_VERSION_INFO")
    parts = [int(n) for n in version.split(".")] + [0, 0, 0]
    words = ((parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3])
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed, 0)
    expect("fixed version signature", hex(signature), hex(0xFEEF04BD))
    expect("fixed file and product version", (file_ms, file_ls, product_ms, product_ls), words + words)
    strings = {}
    translation = None
    for name, _, blocks in children:
        if name == "StringFileInfo":
            for table, _, values in blocks:
                strings[table] = {k: v for k, v, _ in values}
        elif name == "VarFileInfo":
            translation = [struct.unpack("<HH", v) for k, v, _ in blocks if k == "Translation"]
    want = dict(PROGRAMS[program], ProductName="VexalMini", FileVersion=version, ProductVersion=version,
                CompanyName="The VexalMini authors", LegalCopyright=handheld_notice())
    got = strings.get("040904B0", strings.get("040904b0", {}))
    expect("version strings (US English, Unicode)", {k: got.get(k) for k in want}, want)
    expect("version translation", translation, [(0x409, 1200)])


def check(res, version, program="vexalmini"):
    failures = []

    def expect(what, got, want):
        if got != want:
            failures.append("%s: got %r, want %r" % (what, got, want))

    check_version_info(res, program, version, expect)
    if program != "vexalmini":
        about = res.get(RT_DIALOG, 103)
        expect("launcher dialog 103 present", about is not None, True)
        if about is not None:
            texts = [(c["text"], c["rect"]) for c in parse_dialog(about)["controls"] if isinstance(c["text"], str)]
            expect("launcher About texts", [t for t in texts if t[0] != "OK"], LAUNCHER_ABOUT)
        return failures

    bar = res.get(RT_RCDATA, 102)
    expect("menu-bar resource 102 present", bar is not None, True)
    if bar is not None:
        expect("menu-bar size in bytes", len(bar), 74)
        expect("menu-bar words", words(bar), EXPECTED_MENU_BAR)

    menu = res.get(RT_MENU, 102)
    expect("menu 102 present", menu is not None, True)
    if menu is not None:
        expect("menu 102", parse_menu(menu), EXPECTED_MENU)

    accel = res.get(RT_ACCELERATOR, 3)
    expect("accelerator table 3 present", accel is not None, True)
    if accel is not None:
        entries = [struct.unpack_from("<HHHH", accel, i) for i in range(0, len(accel), 8)]
        expect("accelerators (flags, key, command)", [(f, k, c) for f, k, c, _ in entries],
               [(0x0B, 0x41, 40003), (0x8B, 0x51, 1)])

    dialog = res.get(RT_DIALOG, 105)
    expect("dialog 105 present", dialog is not None, True)
    if dialog is not None:
        d = parse_dialog(dialog)
        expect("dialog style", hex(d["style"]), hex(0x80C00040))
        expect("dialog extended style", hex(d["ex_style"]), hex(0x80000000))
        expect("dialog rectangle", d["rect"], (0, 0, 140, 76))
        expect("dialog title", d["title"], "About VexalMini")
        expect("dialog font", d["font"], (8, "System"))
        expect("dialog menu and class", (d["menu"], d["cls"]), ("", ""))
        controls = expected_controls(version)
        expect("dialog control count", len(d["controls"]), len(controls))
        for i, (c, want) in enumerate(zip(d["controls"], controls)):
            cls, text, style, x, y, cx, cy = want
            expect("control %d class" % i, c["cls"], cls)
            expect("control %d identifier" % i, c["id"], 0xFFFF)
            expect("control %d style" % i, hex(c["style"]), hex(style))
            expect("control %d extended style" % i, c["ex_style"], 0)
            expect("control %d rectangle" % i, c["rect"], (x, y, cx, cy))
            if text is not None:
                expect("control %d text" % i, c["text"], text)
            else:
                expect("control %d has words" % i, isinstance(c["text"], str) and len(c["text"]) > 10, True)

    expect("string table", strings(res), EXPECTED_STRINGS)

    group = res.get(RT_GROUP_ICON, 101)
    expect("icon group 101 present", group is not None, True)
    if group is not None:
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        images = []
        for i in range(count):
            w, h, colours, _, planes, bits, size, ident = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            images.append((w or 256, h or 256, bits))
            image = res.get(RT_ICON, ident)
            expect("icon image %d present" % ident, image is not None, True)
            if image is not None:
                header_size, iw, ih, _, ibits = struct.unpack_from("<IiiHH", image, 0)
                expect("icon image %d header" % ident, (header_size, iw, ih, ibits), (40, w, 2 * h, 4))
        expect("icon group kind", (reserved, kind), (0, 1))
        expect("icon images (width, height, bits)", sorted(images), [(16, 16, 4), (32, 32, 4)])

    return failures


HELP_PAGES = ["QZTVexalMini.htm", "QZTVexal.htm"]


def check_help_pages(folder):
    failures = []
    for name in HELP_PAGES:
        path = os.path.join(folder, name)
        try:
            with open(path, encoding="ascii") as f:
                page = f.read()
        except (OSError, UnicodeDecodeError) as e:
            failures.append("help page %s: %s" % (name, e))
            continue
        if '<a name="Main_Contents">' not in page:
            failures.append("help page %s has no anchor Main_Contents" % name)
    return failures


def find(data, needle, what):
    at = data.find(needle)
    if at < 0 or data.find(needle, at + 1) >= 0:
        raise ValueError("cannot find %s exactly once" % what)
    return at


def self_test(data, version):
    """Each change must make check() fail; returns the names of changes that passed unseen."""
    bar = struct.pack("<%dH" % len(EXPECTED_MENU_BAR), *EXPECTED_MENU_BAR)
    changes = []

    def change(name, needle, offset, new):
        at = find(data, needle, name) + offset
        changes.append((name, data[:at] + new + data[at + len(new):]))

    change("menu-bar submenu of Quit", bar, len(bar) - 2, struct.pack("<H", 3))
    change("menu-bar style of New", bar, 4 + 6, struct.pack("<H", 16))
    change("accelerator Ctrl+Q flags", struct.pack("<HHH", 0x8B, 0x51, 1), 0, struct.pack("<H", 0x8A))
    change("dialog style", struct.pack("<II", 0x80C00040, 0x80000000), 0, struct.pack("<I", 0x80C80040))
    change("window title", "Vexal Mini".encode("utf-16-le"), 0, "Vexal Maxi".encode("utf-16-le"))
    change("menu item Change Skin", struct.pack("<H", 40029) + "Change Skin".encode("utf-16-le"), 0,
           struct.pack("<H", 40030))
    change("fixed file version", struct.pack("<I", 0xFEEF04BD), 8, struct.pack("<H", 99))
    change("original file name", "vexalmini.exe".encode("utf-16-le"), 0, "vexalmaxi".encode("utf-16-le"))
    unseen = []
    for name, changed in changes:
        if not check(PeResources(changed), version):
            unseen.append(name)
    return unseen, len(changes)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", metavar="FILE.exe")
    parser.add_argument("--self-test", action="store_true", help="prove that changed resources are caught")
    parser.add_argument("--program", choices=sorted(PROGRAMS), default="vexalmini")
    parser.add_argument("--version", help="the release version (default: project()'s)")
    args = parser.parse_args(argv[1:])
    try:
        version = args.version or project_version()
        with open(args.exe, "rb") as f:
            data = f.read()
        if args.self_test:
            unseen, count = self_test(data, version)
        else:
            failures = check(PeResources(data), version, args.program)
    except (OSError, ValueError, struct.error) as e:
        print("cannot read the resources of %s: %s" % (args.exe, e), file=sys.stderr)
        return 1
    if args.self_test:
        for name in unseen:
            print("FAIL the check did not notice a changed %s" % name)
        if unseen:
            return 1
        print("self-test: all %d changed resources were caught" % count)
        return 0
    if args.program == "vexalmini":
        failures += check_help_pages(os.path.dirname(os.path.abspath(args.exe)))
    for line in failures:
        print("FAIL " + line)
    if failures:
        return 1
    print("resources of %s: all checks passed" % args.exe)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
