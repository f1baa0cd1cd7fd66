#!/usr/bin/env bash
# Instructions per layer-drag step with its frame, counted by callgrind, so the figure
# does not move with the machine's load. Fails above the budget.
#
#   bench/instruction-budget.sh [DRIVER]
#
# DRIVER is the release build's vexal_drag_steps; without it the script builds that
# target in build/release (preset release). Environment: STEPS (default 1000),
# BUDGET (instructions per step, default 131700: 125,451 measured plus 5 %),
# PROFILE_OUT=FILE keeps the callgrind output (for callgrind_annotate). Over budget, the
# costliest functions are printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
steps=${STEPS:-1000}
budget=${BUDGET:-131700}

if ! command -v valgrind >/dev/null; then
    echo "instruction-budget: valgrind is not installed" >&2
    exit 77
fi

driver=${1:-}
if [ -z "$driver" ]; then
    cmake --preset release -S "$root" >/dev/null
    cmake --build "$root/build/release" --target vexal_drag_steps -j 2 >/dev/null
    driver=$root/build/release/tests/perf/vexal_drag_steps
fi
if [ ! -x "$driver" ]; then
    echo "instruction-budget: no driver at $driver" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=$work/callgrind.out
if ! valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out" \
        "$driver" "$steps" >"$work/stdout" 2>"$work/stderr"; then
    cat "$work/stderr" >&2
    echo "instruction-budget: the driver failed" >&2
    exit 1
fi

# "totals:" carries the events collected while the steps ran.
total=$(awk '/^totals:/ {print $2; exit}' "$out")
if [ -z "$total" ]; then
    total=$(awk '/^summary:/ {print $2; exit}' "$out")
fi
if [ -z "$total" ] || [ "$total" -eq 0 ]; then
    echo "instruction-budget: callgrind collected nothing (was the driver built with the toggles?)" >&2
    exit 1
fi
per_step=$((total / steps))
echo "instructions: $total for $steps layer-drag steps with their frames"
echo "instructions per step: $per_step (budget $budget, $(uname -m))"

if [ -n "${PROFILE_OUT:-}" ]; then
    cp "$out" "$PROFILE_OUT"
    echo "profile: $PROFILE_OUT"
fi

if [ "$per_step" -gt "$budget" ]; then
    echo "instruction-budget: over budget by $((per_step - budget)) per step; where they go (self cost):"
    callgrind_annotate "$out" 2>/dev/null | grep -E '^ *[0-9][0-9,]* +\(' | grep -v 'PROGRAM TOTALS' | head -8
    exit 1
fi
echo "instruction-budget: within budget"
