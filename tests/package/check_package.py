#!/usr/bin/env python3
"""Checks one release artefact from scripts/package.sh as a player gets it: unpacked, it
must hold exactly the files README.md lists for it (no more, no fewer), its SHA256SUMS line
must match, and what it holds must work.

    check_package.py ARTEFACT --dist DIR --work DIR --version V

ARTEFACT is one of:
  deb    installs the package with dpkg into a throwaway root (WORK/deb-root) that knows
         this machine's installed packages, so its dependencies must be met here and
         nothing touches the real system; then its control fields, the installed
         programs' --help and --version, the man pages under man --warnings, the
         desktop entry and the AppStream metadata under their validators
  win64  unzips into WORK/win64; README.txt with CRLF line ends, x64 programs, the
  win32  resources of both programs read back (check_resources.py); win32 alike, x86
  web    unzips into WORK/web; every file the page, its manifest and its service worker
         name is there, and the service worker caches every file, so it plays offline
"""

import argparse
import gzip
import hashlib
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e_win32"))
import check_resources  # noqa: E402  (the resource reader of the Windows tests)

LIST_HEADING = "### What the packages hold"


class Failure(Exception):
    pass


def readme_lists(readme):
    """The README's lists: {artefact name with <version>: [paths]}, from the first code block
    after LIST_HEADING. A line at the left margin names artefacts (comma-separated); the
    indented lines below it start with a path."""
    with open(readme, encoding="utf-8") as f:
        text = f.read()
    at = text.find(LIST_HEADING)
    if at < 0:
        raise Failure("README.md has no section \"%s\"" % LIST_HEADING)
    block = re.search(r"^```[a-z]*\n(.*?)^```", text[at:], re.S | re.M)
    if not block:
        raise Failure("the section \"%s\" holds no code block" % LIST_HEADING)
    lists, current = {}, None
    for line in block.group(1).splitlines():
        if not line.strip():
            continue
        if not line[0].isspace():
            current = [name.strip() for name in line.split(",")]
            for name in current:
                lists[name] = []
        elif current is None:
            raise Failure("README.md: \"%s\" follows no artefact name" % line.strip())
        else:
            for name in current:
                lists[name].append(line.split()[0])
    return lists


def run(argv, what, env=None, cwd=None):
    """Runs a program; its output, or a Failure naming what failed and why."""
    result = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env, cwd=cwd)
    if result.returncode != 0:
        raise Failure("%s: exit code %d\n%s%s" % (what, result.returncode, result.stdout, result.stderr))
    return result.stdout + result.stderr


class Check:
    def __init__(self, args):
        self.args = args
        self.count = 0

    def expect(self, condition, message):
        self.count += 1
        if not condition:
            raise Failure(message)
        print("ok: " + message)

    def same_files(self, name, found, listed):
        extra, missing = sorted(set(found) - set(listed)), sorted(set(listed) - set(found))
        self.expect(not extra and not missing,
                    "%s holds the files README.md lists%s%s" % (name, "; not listed: %s" % extra if extra else "",
                                                               "; missing: %s" % missing if missing else ""))

    def checksum(self, name):
        with open(os.path.join(self.args.dist, "SHA256SUMS")) as f:
            sums = {line.split()[1].lstrip("*"): line.split()[0] for line in f if line.strip()}
        with open(os.path.join(self.args.dist, name), "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        self.expect(sums.get(name) == digest, "SHA256SUMS holds the checksum of %s" % name)

    def no_tree_paths(self, name, folder):
        """A package that names the checkout it was built from differs between checkouts, and
        the installed program would reach into the builder's tree."""
        trees = {os.fsencode(SOURCE), os.fsencode(os.path.realpath(SOURCE))}
        found = [os.path.relpath(os.path.join(d, f), folder) for d, _, files in os.walk(folder) for f in files
                 if any(t in open(os.path.join(d, f), "rb").read() for t in trees)]
        self.expect(not found, "no file of %s holds the path of the checkout it was built in%s" %
                    (name, ": %s" % found if found else ""))

    def fresh(self, folder):
        path = os.path.join(self.args.work, folder)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    # --- the Debian package -----------------------------------------------------------

    def deb(self, name, listed):
        deb = os.path.join(self.args.dist, name)
        root = self.fresh("deb-root")
        admin = os.path.join(root, "var", "lib", "dpkg")
        for folder in ("info", "updates", "triggers"):
            os.makedirs(os.path.join(admin, folder))
        # This machine's package list, so that dpkg checks the dependencies against it.
        shutil.copy("/var/lib/dpkg/status", os.path.join(admin, "status"))
        run(["dpkg", "--root=" + root, "--log=/dev/null", "--force-not-root", "--install", deb],
            "dpkg --root %s --install %s (its dependencies must be installed here)" % (root, name))
        self.expect(True, "%s installs into a throwaway root, its dependencies met" % name)

        found = []
        for folder, dirs, files in os.walk(root):
            if os.path.relpath(folder, root).startswith("var"):
                continue
            found += ["/" + os.path.relpath(os.path.join(folder, f), root) for f in files]
        self.same_files(name, found, listed)
        self.no_tree_paths(name, os.path.join(root, "usr"))

        fields = dict(re.findall(r"^([A-Za-z-]+): (.*)$", run(["dpkg-deb", "--field", deb], "dpkg-deb --field"), re.M))
        depends = [d.split()[0] for d in fields.get("Depends", "").split(", ")]
        self.expect(fields.get("Version") == self.args.version and fields.get("Section") == "games",
                    "control: version %s, section games" % fields.get("Version"))
        self.expect({"fonts-dejavu-core", "xdg-utils", "libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libpng16-16",
                     "libc6"} <= set(depends), "control: the font, xdg-utils and the libraries: %s" % depends)

        usr = os.path.join(root, "usr")
        out = run([os.path.join(usr, "bin", "vexal-replay"), "--help"], "the installed vexal-replay --help")
        self.expect(out.startswith("Usage: vexal-replay [SCRIPT]"), "the installed vexal-replay --help shows its usage")
        out = run([os.path.join(usr, "games", "vexalmini"), "--version"], "the installed vexalmini --version")
        self.expect(out == "VexalMini Version %s\n" % self.args.version, "the installed vexalmini --version: %r" % out)

        for page, title in (("man6/vexalmini.6.gz", "VEXALMINI(6)"), ("man1/vexal-replay.1.gz", "VEXAL-REPLAY(1)")):
            path = os.path.join(usr, "share", "man", page)
            with gzip.open(path, "rt") as f:
                header = [line for line in f if line.startswith(".TH")]
            env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8", MAN_KEEP_STDERR="1")
            result = subprocess.run(["man", "--warnings", "--local-file", path], stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE, text=True, env=env)
            self.expect(result.returncode == 0 and not result.stderr and result.stdout.startswith(title),
                        "man --warnings shows %s without a warning%s" % (page, ": " + result.stderr if result.stderr
                                                                        else ""))
            self.expect(len(header) == 1 and '"VexalMini %s"' % self.args.version in header[0],
                        "%s names version %s in its header" % (page, self.args.version))

        desktop = os.path.join(usr, "share", "applications", "vexalmini.desktop")
        run(["desktop-file-validate", desktop], "desktop-file-validate")
        with open(desktop) as f:
            entry = f.read()
        self.expect(re.search(r"^Categories=.*\bGame;", entry, re.M) is not None,
                    "the desktop entry is valid and in the Game category")
        metainfo = [p for p in listed if p.startswith("/usr/share/metainfo/")]
        for path in metainfo:
            run(["appstreamcli", "validate", "--no-net", root + path], "appstreamcli validate " + path)
        self.expect(len(metainfo) == 1, "appstreamcli accepts the AppStream metadata")

    # --- the Windows zips -----------------------------------------------------------

    def zip(self, name, listed, machine):
        folder = self.fresh(self.args.artefact)
        with zipfile.ZipFile(os.path.join(self.args.dist, name)) as z:
            self.expect(z.testzip() is None, "%s is a sound zip" % name)
            found = [i.filename for i in z.infolist() if not i.is_dir()]
            z.extractall(folder)
        self.same_files(name, found, listed)
        self.no_tree_paths(name, folder)
        with open(os.path.join(folder, "README.txt"), "rb") as f:
            readme = f.read()
        self.expect(readme.count(b"\r\n") == readme.count(b"\n") > 0 and self.args.version.encode() in readme,
                    "README.txt has Windows line ends and names version %s" % self.args.version)
        for program, exe in (("vexalmini", "vexalmini.exe"), ("ostrover", "Ostrover.exe")):
            path = os.path.join(folder, exe)
            with open(path, "rb") as f:
                data = f.read()
            pe = struct.unpack_from("<I", data, 0x3C)[0]
            self.expect(struct.unpack_from("<H", data, pe + 4)[0] == machine,
                        "%s is built for machine 0x%x" % (exe, machine))
            failures = check_resources.check(check_resources.PeResources(data), self.args.version, program)
            if program == "vexalmini":
                failures += check_resources.check_help_pages(folder)
            self.expect(not failures, "%s's resources (version %s) read back as built%s" %
                        (exe, self.args.version, "".join("\n  " + line for line in failures)))

    # --- the web site -----------------------------------------------------------------

    def web(self, name, listed):
        folder = self.fresh("web")
        with zipfile.ZipFile(os.path.join(self.args.dist, name)) as z:
            self.expect(z.testzip() is None, "%s is a sound zip" % name)
            found = [i.filename for i in z.infolist() if not i.is_dir()]
            z.extractall(folder)
        self.same_files(name, found, listed)
        self.no_tree_paths(name, folder)
        with open(os.path.join(folder, "index.html"), encoding="utf-8") as f:
            page = f.read()
        named = re.findall(r'(?:src|href)="([^"#?:]+)"', page)
        with open(os.path.join(folder, "manifest.webmanifest"), encoding="utf-8") as f:
            named += [icon["src"] for icon in json.load(f)["icons"]]
        self.expect(named and all(n in found for n in named),
                    "the page and its manifest name only files the zip holds: %s" % sorted(set(named)))
        with open(os.path.join(folder, "sw.js"), encoding="utf-8") as f:
            cached = re.search(r"const FILES = \[(.*?)\];", f.read(), re.S)
        cached = [c[2:] for c in re.findall(r"'([^']*)'", cached.group(1))] if cached else []
        self.expect(sorted(c for c in cached if c) == sorted(set(found) - {"sw.js"}),
                    "the service worker caches every file of the site, so it plays offline")


# Each artefact: its name in README.md's lists, and how it is checked.
ARTEFACTS = {
    "deb": ("vexalmini_<version>_amd64.deb", lambda c, name, listed: c.deb(name, listed)),
    "win64": ("vexalmini-<version>-win64.zip", lambda c, name, listed: c.zip(name, listed, 0x8664)),
    "win32": ("vexalmini-<version>-win32.zip", lambda c, name, listed: c.zip(name, listed, 0x14C)),
    "web": ("vexalmini-<version>-web.zip", lambda c, name, listed: c.web(name, listed)),
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("artefact", choices=sorted(ARTEFACTS))
    parser.add_argument("--dist", required=True, help="the folder scripts/package.sh wrote")
    parser.add_argument("--work", required=True, help="a folder to unpack into")
    parser.add_argument("--version", required=True, help="the release version")
    args = parser.parse_args()
    pattern, checker = ARTEFACTS[args.artefact]
    check = Check(args)
    name = pattern.replace("<version>", args.version)
    try:
        listed = readme_lists(os.path.join(SOURCE, "README.md")).get(pattern)
        if not listed:
            raise Failure("README.md lists no files for %s" % pattern)
        if not os.path.isfile(os.path.join(args.dist, name)):
            raise Failure("%s is not in %s; run scripts/package.sh first" % (name, args.dist))
        check.checksum(name)
        checker(check, name, listed)
    except (Failure, OSError, ValueError, zipfile.BadZipFile) as e:
        print("FAIL: %s" % e)
        return 1
    print("%s: %d checks passed" % (name, check.count))
    return 0


if __name__ == "__main__":
    sys.exit(main())
