#!/usr/bin/env bash
# The benchmarks with their references in one run: the native benchmark (hot paths, the
# frames against one fill of the frame) and the same frames drawn by GDI under Wine.
#
#   bench/run-bench.sh [benchmark flags...]
#
# Environment:
#   BUILD_DIR        native release build (default build/release, preset release)
#   WIN64_BUILD_DIR  Windows build whose gdi_bench.exe runs (default build/win64, preset win64)
#   WINEPREFIX       Wine prefix (default build/wineprefix, made when missing)
#   NO_BUILD=1       use the programs as they are; do not configure or build
#   REPS             repetitions of each native benchmark (default 9; the median is used),
#                    interleaved at random with those of the others, 0.1 s each
#   GDI_MIN_MS       minimum thread time per GDI frame and round (default 300)
#   GDI_ROUNDS       rounds over all GDI frames (default 5; the median is used)
# Flags are passed to vexal_bench, e.g. --benchmark_filter='Frame|Calls|floor'.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/release}
win64=${WIN64_BUILD_DIR:-$root/build/win64}
reps=${REPS:-9}
jobs=2

build_target() {  # DIR PRESET TARGET
    local dir=$1 preset=$2 target=$3
    if [ "${NO_BUILD:-0}" = 1 ]; then
        return
    fi
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        (cd "$root" && cmake --preset "$preset" -B "$dir" >/dev/null)
    fi
    cmake --build "$dir" --target "$target" -j "$jobs" >/dev/null
}

build_target "$build" release vexal_bench
bench=$build/bench/vexal_bench
if [ ! -x "$bench" ]; then
    echo "run-bench: no benchmark at $bench" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

gdi_args=()
if command -v wine >/dev/null; then
    build_target "$win64" win64 gdi_bench
    gdi=$win64/tests/win32/gdi_bench/gdi_bench.exe
    if [ -f "$gdi" ]; then
        export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
        export WINEDEBUG=${WINEDEBUG:--all}
        export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            mkdir -p "$WINEPREFIX"
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w || true
        fi
        "$bench" --write-calls="$work/calls.txt"
        echo "GDI (Wine) drawing the recorded frames into a 240 x 270 32-bit DIB section:"
        wine "$gdi" "$work/calls.txt" --min-ms "${GDI_MIN_MS:-300}" --repeat "${GDI_ROUNDS:-5}" | tr -d '\r' | tee "$work/gdi.txt"
        echo
        gdi_args=(--gdi="$work/gdi.txt")
    else
        echo "run-bench: no $gdi; build the win64 preset for the GDI comparison" >&2
    fi
else
    echo "run-bench: wine is not installed; no GDI comparison" >&2
fi

# Repetitions interleaved at random: a spell of other work on a shared machine then slows one
# repetition of several benchmarks instead of every repetition of one.
"$bench" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1 \
    --benchmark_display_aggregates_only=true \
    --benchmark_counters_tabular=true "${gdi_args[@]}" "$@"
