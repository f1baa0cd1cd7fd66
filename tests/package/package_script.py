#!/usr/bin/env python3
"""scripts/package.sh's command line and its care for the --dist folder, in seconds: the real
script (or --script PATH) runs in a made-up checkout whose builds hold only what it reads,
beside stand-ins for install-deps.sh, cmake, cpack and lintian that log their calls."""

import argparse
import os
import subprocess
import sys
import tempfile

V = "1.4"
OURS = ["vexalmini-%s-%s.zip" % (V, f) for f in ("web", "win32", "win64")] + ["vexalmini_%s_amd64.deb" % V,
                                                                              "SHA256SUMS"]
FAKES = {  # path in the made-up tree: its text; a stand-in logs its calls
    "src/CMakeLists.txt": "project(VexalMini VERSION %s LANGUAGES C CXX)" % V,
    "src/build/web/site/index.html": "<p>page</p>",
    "src/scripts/install-deps.sh": '#!/bin/sh\necho "install-deps $*" >>"$FAKE_LOG"',
    "bin/cmake": '#!/bin/sh\necho "cmake $*" >>"$FAKE_LOG"',
    "bin/lintian": '#!/bin/sh\necho lintian >>"$FAKE_LOG"; exit ${FAKE_LINTIAN:-0}',
    # Its zips hold the time they are made, as CPack's do.
    "bin/cpack": '#!/bin/sh\np=${PWD##*/}; echo "cpack $p" >>"$FAKE_LOG"; while [ "$1" != -B ]; do shift; done\n'
                 'mkdir -p "$2/t" && cd "$2" && echo $p >t/vexalmini.exe && case $p in release) cp t/vexalmini.exe '
                 'vexalmini_%s_amd64.deb ;; *) cd t && zip -q ../vexalmini-%s-$p.zip vexalmini.exe ;; esac' % (V, V),
}
for preset in ("release", "win64", "win32"):
    FAKES["src/build/%s/CPackConfig.cmake" % preset] = ""
    FAKES["src/build/%s/CMakeCache.txt" % preset] = "CMAKE_PROJECT_VERSION:STATIC=" + V


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text + "\n")
    os.chmod(path, 0o755 if text.startswith("#!") else 0o644)


def files(folder):
    """{name: bytes, or None for a folder}; None when the folder is missing."""
    paths = {n: os.path.join(folder, n) for n in os.listdir(folder)} if os.path.isdir(folder) else None
    return paths and {n: open(p, "rb").read() if os.path.isfile(p) else None for n, p in paths.items()}


def old(d, *extra):
    for name in OURS + list(extra):
        write(os.path.join(d, name), "old")


def read_only(d):
    os.makedirs(d, 0o555)
    subprocess.run("chattr +i '%s' 2>/dev/null" % d, shell=True)  # root writes anywhere else


def site_at(t):
    return lambda d, src, env: os.utime(src + "/build/web/site/index.html", (t, t))


# name, arguments ({d}: the folder), set-up (d, checkout, environment), exit code, whether it
# must stop before building or packing, words on stderr, the folder after: "kept" as it was
# or "new" (this version's artefacts, new).
CASES = [
    ("--dist takes no option for a folder", ["--dist", "--no-build"], None, 2, True, "Usage:", None),
    ("--dist with a dash", ["--no-build", "--dist", "-x"], None, 2, True, "Usage:", None),
    ("--dist last", ["--no-build", "--dist"], None, 2, True, "Usage:", None),
    ("a relative --dist is the caller's", ["--no-build", "--dist", "out"], None, 0, False, "", "new"),
    ("this version's artefacts are replaced", ["--no-build", "--dist", "{d}"], lambda d, s, e: old(d), 0, False, "",
     "new"),
    ("a photo is refused, though listed", ["--dist", "{d}"], lambda d, s, e: (old(d, "vexalmini-my-photos.zip"), write(
        d + "/SHA256SUMS", "0 vexalmini-my-photos.zip")), 1, True, "vexalmini-my-photos.zip", "kept"),
    ("an older version's deb is refused", ["--dist", "{d}"], lambda d, s, e: old(d, "vexalmini_1.3_amd64.deb"), 1,
     True, "vexalmini_1.3_amd64.deb", "kept"),
    ("a folder named like a zip is refused", ["--dist", "{d}"], lambda d, s, e: old(d, "vexalmini-dir.zip/a.jpg"), 1,
     True, "vexalmini-dir.zip", "kept"),
    ("a folder inside a file", ["--dist", "{d}/x"], lambda d, s, e: write(d, ""), 1, True, "cannot make", None),
    ("a folder that cannot be written", ["--dist", "{d}"], lambda d, s, e: read_only(d), 1, True, "cannot write",
     "kept"),
    ("no web build: the old artefacts stay", ["--no-build", "--dist", "{d}"],
     lambda d, s, e: (old(d), os.remove(s + "/build/web/site/index.html")), 1, False, "web/site is not built", "kept"),
    ("lintian's errors: the old artefacts stay", ["--no-build", "--dist", "{d}"],
     lambda d, s, e: (old(d), e.update(FAKE_LINTIAN="1")), 1, False, "lintian found errors", "kept"),
    ("builds of another time, first run", ["--no-build", "--dist", "{d}"], site_at(1600000000), 0, False, "", "new"),
    ("builds of another time: the same bytes", ["--no-build", "--dist", "{d}"], site_at(1700000000), 0, False, "",
     "same"),
]


def run(script, top, case, sums):
    name, argv, setup, code, stops, words, after = case
    d, src, log = top + "/dist", top + "/src", top + "/log"
    for path, text in FAKES.items():
        write(os.path.join(top, path), text)
    os.symlink(script, src + "/scripts/package.sh")
    os.makedirs(top + "/caller")
    env = dict(os.environ, PATH=top + "/bin:" + os.environ["PATH"], FAKE_LOG=log, SOURCE_DATE_EPOCH="1700000000")
    if setup:
        setup(d, src, env)
    if words == "cannot write" and os.access(d, os.W_OK):
        return []  # no way here to keep root from writing
    before = files(d)
    result = subprocess.run([src + "/scripts/package.sh"] + [a.replace("{d}", d) for a in argv], cwd=top + "/caller",
                            env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    calls = open(log).read().splitlines() if os.path.exists(log) else []
    now = files(top + "/caller/out" if "out" in argv else d) or {}
    problems = [p for p, bad in [
        ("exit %d, not %d" % (result.returncode, code), result.returncode != code),
        ("stderr lacks %r" % words, words not in result.stderr),
        ("it ran %s first" % calls, stops and calls),
        ("it wrote into the checkout", os.path.exists(src + "/out")),
        ("the folder changed: %s" % sorted(now), after == "kept" and now != before),
        ("the folder holds %s" % sorted(now), after in ("new", "same") and (
            sorted(now) != sorted(OURS) or b"old\n" in now.values())),
        ("SHA256SUMS differ", after == "same" and now.get("SHA256SUMS") != sums.get("SHA256SUMS")),
    ] if bad]
    sums.update(now)
    return problems + [result.stderr] if problems else []


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--script", default=os.path.join(os.path.dirname(__file__), "../../scripts/package.sh"))
    script, failed, sums = os.path.abspath(parser.parse_args().script), 0, {}
    with tempfile.TemporaryDirectory() as top:
        for i, case in enumerate(CASES):
            problems = run(script, "%s/%d" % (top, i), case, sums)
            subprocess.run("chattr -R -i '%s' 2>/dev/null" % top, shell=True)
            failed += bool(problems)
            print("%s: %s%s" % ("FAIL" if problems else "ok", case[0], "".join("\n    " + p for p in problems)))
    print("%d of %d cases failed" % (failed, len(CASES)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
