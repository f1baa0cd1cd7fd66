#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test:
# the Windows programs (mingw-w64, tested under Wine), the gcc release build,
# and the clang ASan + UBSan build. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

failed=()
step() {
    local name=$1
    shift
    echo "==> $name"
    if "$@"; then
        echo "==> $name: ok"
    else
        echo "==> $name: FAILED"
        failed+=("$name")
    fi
}

scripts/install-deps.sh test || exit 1

# One Wine prefix for all Wine tests of this checkout, made once.
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$root/build"
    step "wine prefix" bash -c 'wineboot -i >/dev/null 2>&1; wineserver -w'
fi

step "source checks" scripts/check-sources.sh
step "win32 build" bash -c "cmake --preset win32 >/dev/null && cmake --build --preset win32 -j $jobs"
step "release build" bash -c "cmake --preset release >/dev/null && cmake --build --preset release -j $jobs"
step "release tests" ctest --preset release -j "$jobs"
step "asan build" bash -c "cmake --preset asan >/dev/null && cmake --build --preset asan -j $jobs"
step "asan tests" ctest --preset asan -j "$jobs" -LE wine

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "all steps passed"
