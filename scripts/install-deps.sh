#!/usr/bin/env bash
# Installs, with apt, what building and testing need and is not there yet.
# Usage: scripts/install-deps.sh [test|run]
set -euo pipefail
what=${1:-test}

pkgs=(cmake make g++ clang pkg-config libpng-dev libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev libsdl2-ttf-dev
      fonts-dejavu-core xdg-utils)
if [ "$what" = test ]; then
    pkgs+=(clang-format clang-tidy libclang-rt-14-dev valgrind
           mingw-w64 g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32 wine64
           xvfb xauth xdotool x11-utils imagemagick)
fi

missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}; run as root or install them" >&2
    exit 1
fi
# Wine runs the 32-bit Windows programs and needs Debian's i386 architecture.
for p in "${missing[@]}"; do
    if [ "$p" = wine32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
done
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
