#!/usr/bin/env bash
# Builds the native game window and opens it. On a fresh Debian 12 machine run it as
# root: it installs with apt what is missing first.
# Usage: scripts/run.sh [vexalmini options, e.g. --scale 3]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'TEXT'
run.sh: no display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the game window cannot
open here. Run this from a desktop session (or over ssh -X), or play without a window
through vexal-replay, which plays a script of stylus events and writes the frames:

    scripts/install-deps.sh run
    cmake --preset release && cmake --build --preset release --target vexal-replay
    printf 'seed 7\ncommand shuffle\ndown 150 90\nmove 150 90\nmove 170 95\nup\n' > game.txt
    build/release/shell/replay/vexal-replay game.txt --state --frame last.png
TEXT
    exit 1
fi

scripts/install-deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release --target vexalmini -j "$(nproc)"
exec build/release/shell/sdl/vexalmini "$@"
