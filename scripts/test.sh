#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test: the Windows programs
# (mingw-w64, x64 and i686), the web build (Emscripten), the gcc release build with the Wine
# and web tests, and the clang ASan + UBSan build. The Wine tests run the x64 programs; the
# i686 programs get a short pass of their own where this machine runs 32-bit programs and
# wine32 works, and are skipped with a plain line elsewhere. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

failed=()
mkdir -p "$root/build/logs"
step() {
    local name=$1
    shift
    echo "==> $name"
    if "$@" 2>&1 | tee "$root/build/logs/${name// /-}.log"; then
        echo "==> $name: ok"
    else
        echo "==> $name: FAILED"
        failed+=("$name")
    fi
}

scripts/install-deps.sh test || exit 1
scripts/wine-i686.sh status

# One Wine prefix for all Wine tests of this checkout, made once.
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$root/build"
    step "wine prefix" bash -c 'wineboot -i >/dev/null 2>&1; wineserver -w'
fi

step "source checks" scripts/check-sources.sh
step "win64 build" bash -c "cmake --preset win64 >/dev/null && cmake --build --preset win64 -j $jobs"
step "win32 build" bash -c "cmake --preset win32 >/dev/null && cmake --build --preset win32 -j $jobs"
step "web build" bash -c "cmake --preset web >/dev/null && cmake --build --preset web -j $jobs"
step "release build" bash -c "cmake --preset release >/dev/null && cmake --build --preset release -j $jobs"
step "release tests" ctest --preset release -j "$jobs"
step "clang-tidy" scripts/run-clang-tidy.sh build/release
step "asan build" bash -c "cmake --preset asan >/dev/null && cmake --build --preset asan -j $jobs"
step "asan tests" ctest --preset asan -j "$jobs" -LE 'wine|web'

# One closing line over both ctest runs; CTest counts a skipped test as passed.
logs=("$root"/build/logs/release-tests.log "$root"/build/logs/asan-tests.log)
read -r passed failed_tests < <(cat "${logs[@]}" 2>/dev/null |
    sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' |
    awk '{f += $1; p += $2 - $1} END {print p + 0, f + 0}')
skipped_tests=$(cat "${logs[@]}" 2>/dev/null | sed -nE 's/^\s+[0-9]+ - (.*) \(Skipped\)$/\1/p')
skipped=$(grep -c . <<<"$skipped_tests")
passed=$((passed - skipped))
if [ "$skipped" -ne 0 ]; then
    echo "skipped: $(paste -sd " " <<<"$skipped_tests")"
    if grep -q '_i686$' <<<"$skipped_tests"; then
        scripts/wine-i686.sh status | tail -n 1
    fi
fi
if [ ${#failed[@]} -ne 0 ]; then
    echo "failed steps: ${failed[*]}"
    echo "$passed passed, $((failed_tests > 0 ? failed_tests : 1)) failed, $skipped skipped"
    exit 1
fi
echo "$passed passed, $failed_tests failed, $skipped skipped"
