#!/usr/bin/env bash
# Installs, with apt, what building and testing need and is not there yet.
# Usage: scripts/install-deps.sh [test|run|web|package]
#   run      the native game window          web   the browser build and its local server
#   package  the packages (scripts/package.sh): also the Windows and web builds and the
#            packaging tools
#   test     everything the test command builds and runs (the web tests' npm packages too)
#
# Every listed package is needed: if one cannot be installed, this fails and names it.
# wine32:i386 is optional: it runs the i686 Windows programs, and is asked for only where
# this machine runs 32-bit programs. When it cannot be installed, this says why and goes on
# (the i686 Wine pass is then skipped). An `apt-get update` that fails for some indexes is
# reported and the install goes on with the lists there are.
set -uo pipefail
here=$(dirname "$0")
what=${1:-test}

case $what in
    test | run | web | package) ;;
    *)
        echo "usage: scripts/install-deps.sh [test|run|web|package]" >&2
        exit 2
        ;;
esac
# Debian's Emscripten works offline as long as no port is used; the build uses none.
web_pkgs=(cmake make emscripten python3)
if [ "$what" = web ]; then
    pkgs=("${web_pkgs[@]}")
else
    pkgs=(cmake make g++ clang pkg-config python3 libpng-dev libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev
          libsdl2-ttf-dev fonts-dejavu-core xdg-utils)
fi
if [ "$what" = test ] || [ "$what" = package ]; then
    pkgs+=(mingw-w64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-i686
           dpkg-dev file lintian zip unzip "${web_pkgs[@]}")
fi
if [ "$what" = test ]; then
    pkgs+=(clang-format clang-tidy libclang-rt-14-dev valgrind
           wine wine64 xvfb xauth xdotool x11-utils x11-xkb-utils imagemagick
           appstream desktop-file-utils man-db chromium)
fi
# node and npm usually come with the machine (not always from Debian): apt only when missing.
if [ "$what" != run ]; then
    command -v node >/dev/null || pkgs+=(nodejs)
    command -v npm >/dev/null || pkgs+=(npm)
fi
wine32_loader=/usr/lib/wine/wine

say() { echo "install-deps: $*"; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
# apt's reasons in its output $1: its errors, then the first packages it could not satisfy.
apt_reason() {
    { grep -E '^E: ' <<<"$1"; grep -E '^ [^ ].* : (Depends|PreDepends|Conflicts|Breaks):' <<<"$1" | head -n 4; } |
        sed 's/^/    /'
}
apt_install() { DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"; }

missing=()
for p in "${pkgs[@]}"; do
    installed "$p" || missing+=("$p")
done
want_wine32=0
if [ "$what" = test ] && ! installed wine32:i386 && "$here/wine-i686.sh" kernel >/dev/null; then
    want_wine32=1
fi

if [ "$(id -u)" -ne 0 ]; then
    if [ ${#missing[@]} -ne 0 ]; then
        say "missing packages: ${missing[*]}; run as root or install them" >&2
        exit 1
    fi
    if [ "$want_wine32" -eq 1 ]; then
        say "wine32:i386 is not installed and only root can install it; the i686 Wine pass will be skipped"
    fi
elif [ ${#missing[@]} -ne 0 ] || [ "$want_wine32" -eq 1 ]; then
    added_i386=0
    if [ "$want_wine32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 && added_i386=1
    fi
    if ! log=$(apt-get update -q 2>&1); then
        say "apt-get update failed for some indexes; installing from the lists there are:"
        grep -E '^(E|W): ' <<<"$log" | head -n 4 | sed 's/^/    /'
    fi

    if [ ${#missing[@]} -ne 0 ]; then
        say "installing ${missing[*]}"
        if ! log=$(apt_install "${missing[@]}" 2>&1); then
            # Find out which packages cannot be installed, each on its own.
            bad=()
            for p in "${missing[@]}"; do
                apt-get install -s -q --no-install-recommends "$p" >/dev/null 2>&1 || bad+=("$p")
            done
            if [ ${#bad[@]} -eq 0 ]; then
                say "these packages cannot be installed together: ${missing[*]}" >&2
            else
                say "cannot install ${bad[*]}" >&2
            fi
            apt_reason "$log" >&2
            exit 1
        fi
    fi

    if [ "$want_wine32" -eq 1 ]; then
        say "this machine runs 32-bit programs: installing wine32:i386 for the i686 Wine pass"
        if ! log=$(apt_install wine32:i386 2>&1); then
            say "wine32:i386 cannot be installed; the i686 Wine pass will be skipped. apt says:"
            apt_reason "$log"
            if [ "$added_i386" -eq 1 ] &&
                ! dpkg-query -W -f='${Architecture} ${Status}\n' | grep -q '^i386 install ok installed'; then
                dpkg --remove-architecture i386 && say "the i386 architecture, added for it, is removed again"
            fi
        fi
    fi
fi

# Debian's wine runs the i386 loader whenever wine32 is installed, even for 64-bit programs.
# Where that loader cannot run, wine32 must go, so that wine uses the 64-bit loader.
if [ -e "$wine32_loader" ] && ! "$wine32_loader" --version >/dev/null 2>&1; then
    if [ "$(id -u)" -ne 0 ]; then
        say "wine32 is installed, but its loader $wine32_loader cannot run here, so wine fails even" \
            "for 64-bit programs; remove it as root: apt-get remove wine32:i386" >&2
        exit 1
    fi
    say "wine32 is installed, but its loader $wine32_loader cannot run here: removing wine32:i386," \
        "so that wine uses the 64-bit loader"
    if ! log=$(DEBIAN_FRONTEND=noninteractive apt-get remove -y -q wine32:i386 2>&1); then
        say "cannot remove wine32:i386:" >&2
        apt_reason "$log" >&2
        exit 1
    fi
fi

# The web tests drive Debian's Chromium through playwright-core, at the version the lock file
# names; nothing downloads a browser.
if [ "$what" = test ] && [ ! -d "$here/../tests/web/node_modules/playwright-core" ]; then
    say "installing the web tests' npm packages (tests/web/package-lock.json)"
    if ! (cd "$here/../tests/web" && npm ci --prefer-offline --no-audit --no-fund >/dev/null); then
        say "npm ci failed in tests/web" >&2
        exit 1
    fi
fi
exit 0
