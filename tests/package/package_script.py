#!/usr/bin/env python3
"""scripts/package.sh's command line and its care for the --dist folder, in seconds: the real
script runs in a made-up checkout whose builds hold only what it reads, with stand-ins for
install-deps.sh, cmake, cpack and lintian that log their calls.

    package_script.py [--script PATH]   (default: this checkout's scripts/package.sh)
"""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
V = "1.4"
ARTEFACTS = ["vexalmini-%s-web.zip" % V, "vexalmini-%s-win32.zip" % V, "vexalmini-%s-win64.zip" % V,
             "vexalmini_%s_amd64.deb" % V, "SHA256SUMS"]
STUBS = {
    "scripts/install-deps.sh": 'echo "install-deps $*" >>"$FAKE_LOG"',
    "bin/cmake": 'echo "cmake $*" >>"$FAKE_LOG"',
    "bin/lintian": 'echo lintian >>"$FAKE_LOG"; exit ${FAKE_LINTIAN_EXIT:-0}',
    # The Windows zips hold their own time, so only a script that repacks them is reproducible.
    "bin/cpack": 'preset=${PWD##*/}; echo "cpack $preset" >>"$FAKE_LOG"; while [ "$1" != -B ]; do shift; done\n'
                 'mkdir -p "$2/t" && cd "$2" && echo "$preset" >t/vexalmini.exe && case $preset in\n'
                 'release) cp t/vexalmini.exe vexalmini_%s_amd64.deb ;;\n'
                 '*) (cd t && zip -q ../vexalmini-%s-$preset.zip vexalmini.exe) ;; esac' % (V, V),
}


def write(path, text, mode=0o644):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)


def listing(folder):
    """{name: bytes} of a folder's files ("<folder>" for a folder), or None when it is missing."""
    if not os.path.isdir(folder):
        return None
    out = {}
    for name in os.listdir(folder):
        path = os.path.join(folder, name)
        out[name] = open(path, "rb").read() if os.path.isfile(path) else "<folder>"
    return out


def old_artefacts(d):
    for name in ARTEFACTS:
        write(os.path.join(d, name), "old " + name)


def read_only(d):
    """A folder no one may write into, root included (chattr), as far as this machine allows."""
    os.makedirs(d)
    os.chmod(d, 0o555)
    subprocess.run(["chattr", "+i", d], stderr=subprocess.DEVNULL, check=False)


# name, arguments, what the folder holds before, what to break in the checkout, exit code,
# whether it must stop before building or packing anything, words on stderr, what the folder
# holds after ("kept": as before, "new": exactly the new artefacts).
CASES = [
    ("--dist takes no option for a folder", ["--dist", "--no-build"], None, None, 2, True, "Usage:", None),
    ("--dist with a dash", ["--no-build", "--dist", "-x"], None, None, 2, True, "Usage:", None),
    ("--dist last", ["--no-build", "--dist"], None, None, 2, True, "Usage:", None),
    ("a relative --dist is the caller's", ["--no-build", "--dist", "out"], None, None, 0, False, "", "new"),
    ("this version's artefacts are replaced", ["--no-build", "--dist", "{d}"], old_artefacts, None, 0, False, "",
     "new"),
    ("a photo is refused, even listed", ["--dist", "{d}"],
     lambda d: (write(d + "/vexalmini-my-photos.zip", "mine"), write(d + "/SHA256SUMS", "0 vexalmini-my-photos.zip\n")),
     None, 1, True, "vexalmini-my-photos.zip", "kept"),
    ("an older version's deb is refused", ["--dist", "{d}"], lambda d: write(d + "/vexalmini_1.3_amd64.deb", "1.3"),
     None, 1, True, "vexalmini_1.3_amd64.deb", "kept"),
    ("a folder with a package's name is refused", ["--dist", "{d}"],
     lambda d: (old_artefacts(d), write(d + "/vexalmini-dir.zip/a.jpg", "mine")), None, 1, True, "vexalmini-dir.zip",
     "kept"),
    ("a folder inside a file cannot be made", ["--dist", "{d}/x"], lambda d: write(d, "a file"), None, 1, True,
     "cannot make", None),
    ("a folder that cannot be written", ["--dist", "{d}"], read_only, None, 1, True, "cannot write into", "kept"),
    ("a missing web build keeps the old artefacts", ["--no-build", "--dist", "{d}"], old_artefacts,
     lambda src, env: os.remove(src + "/build/web/site/index.html"), 1, False, "build/web/site is not built", "kept"),
    ("lintian's errors keep the old artefacts", ["--no-build", "--dist", "{d}"], old_artefacts,
     lambda src, env: env.update(FAKE_LINTIAN_EXIT="1"), 1, False, "lintian found errors", "kept"),
]


def run_case(script, top, case):
    name, argv, before, breaks, code, stops, words, after = case
    src, caller, d = (os.path.join(top, p) for p in ("src", "caller", "dist"))
    log = os.path.join(top, "log")
    env = dict(os.environ, PATH=os.path.join(top, "bin") + os.pathsep + os.environ["PATH"], FAKE_LOG=log,
               SOURCE_DATE_EPOCH="1700000000")
    os.makedirs(os.path.join(src, "scripts"))
    os.symlink(script, os.path.join(src, "scripts", "package.sh"))
    for stub, text in STUBS.items():
        write(os.path.join(top if stub.startswith("bin/") else src, stub), "#!/bin/sh\n" + text + "\n", 0o755)
    write(src + "/CMakeLists.txt", "project(VexalMini VERSION %s LANGUAGES C CXX)\n" % V)
    for preset in ("release", "win64", "win32"):
        write("%s/build/%s/CPackConfig.cmake" % (src, preset), "")
        write("%s/build/%s/CMakeCache.txt" % (src, preset), "CMAKE_PROJECT_VERSION:STATIC=%s\n" % V)
    write(src + "/build/web/site/index.html", "<p>page</p>")
    os.makedirs(caller)
    if before:
        before(d)
    if breaks:
        breaks(src, env)
    was = listing(d)
    if before is read_only and os.access(d, os.W_OK):
        return []  # this machine cannot make such a folder for root
    argv = [a.replace("{d}", d) for a in argv]
    result = subprocess.run([os.path.join(src, "scripts", "package.sh")] + argv, cwd=caller, env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    calls = open(log).read().splitlines() if os.path.exists(log) else []
    problems = []
    if result.returncode != code:
        problems.append("exit %d, not %d" % (result.returncode, code))
    if words not in result.stderr:
        problems.append("stderr lacks %r" % words)
    if stops and calls:
        problems.append("it ran %s before stopping" % calls)
    out = os.path.join(caller, "out") if "out" in argv else d
    now = listing(out)
    if after == "kept" and now != was:
        problems.append("the folder changed: %s" % sorted(now or []))
    if after == "new" and (sorted(now or []) != sorted(ARTEFACTS) or any(v.startswith(b"old") for v in now.values())):
        problems.append("the folder holds %s" % sorted(now or []))
    if os.path.exists(os.path.join(src, "out")):
        problems.append("it wrote into the checkout's out/")
    return problems + ([result.stderr] if problems else [])


def reproducible(script, top):
    """Two runs over the same builds made at different times: the same bytes."""
    sums = []
    for run in range(2):
        site = lambda src, env, t=1600000000 + run * 1000: os.utime(src + "/build/web/site/index.html", (t, t))
        case = ("", ["--no-build", "--dist", "{d}"], None, site, 0, False, "", "new")
        problems = run_case(script, os.path.join(top, str(run)), case)
        sums.append(problems or open(os.path.join(top, str(run), "dist", "SHA256SUMS")).read())
    return [] if sums[0] == sums[1] else ["SHA256SUMS differ:", *map(str, sums)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--script", default=os.path.join(HERE, "..", "..", "scripts", "package.sh"))
    script = os.path.abspath(parser.parse_args().script)
    failed = 0
    with tempfile.TemporaryDirectory() as top:
        checks = [(c[0], lambda t, c=c: run_case(script, t, c)) for c in CASES]
        checks.append(("packing again gives the same bytes", lambda t: reproducible(script, t)))
        for i, (name, check) in enumerate(checks):
            problems = check(os.path.join(top, str(i)))
            subprocess.run(["chattr", "-R", "-i", top], stderr=subprocess.DEVNULL, check=False)
            failed += bool(problems)
            print("%s: %s%s" % ("FAIL" if problems else "ok", name, "".join("\n    " + p for p in problems)))
    print("%d of %d cases failed" % (failed, len(checks)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
