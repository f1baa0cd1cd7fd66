#!/usr/bin/env bash
# clang-tidy over the program's own native sources, with the compile commands of a build.
# Usage: scripts/run-clang-tidy.sh BUILD_DIR
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure first" >&2; exit 1; }
files=$(python3 - "$build/compile_commands.json" <<'PY'
import json, os, sys
root = os.getcwd()
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path.startswith(("tests/", "bench/", "fuzz/", "build/", "..")):
        continue
    seen.add(path)
print("\n".join(sorted(seen)))
PY
)
[ -n "$files" ] || { echo "clang-tidy: no files"; exit 1; }
# shellcheck disable=SC2086
out=$(echo "$files" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>&1)
status=$?
echo "$out" | grep -E 'warning:|error:' || true
if [ $status -ne 0 ]; then
    echo "clang-tidy: findings above"
    exit 1
fi
echo "clang-tidy: clean ($(echo "$files" | wc -l) files)"
