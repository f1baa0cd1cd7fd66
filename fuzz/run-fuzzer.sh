#!/usr/bin/env bash
# One bounded fuzzing run over a fresh copy of a seed corpus.
# usage: run-fuzzer.sh FUZZER SEED_CORPUS WORK_DIR SECONDS [libFuzzer flags...]
# New inputs and any crash file land in WORK_DIR, never in the seed corpus.
set -euo pipefail
fuzzer=$1
seeds=$2
work=$3
seconds=$4
shift 4

rm -rf "$work"
mkdir -p "$work/corpus"
cp -R "$seeds/." "$work/corpus/"
echo "$(basename "$fuzzer"): $(find "$work/corpus" -type f | wc -l) seed inputs, ${seconds}s"
exec "$fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$@" "$work/corpus"
