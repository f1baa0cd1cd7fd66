#!/usr/bin/env bash
# scripts/wine-i686.sh against stand-ins for the two things it runs: a probe program that
# runs, or that the kernel refuses as it refuses i386 code without IA-32 emulation; and a
# wine32 loader that is missing, broken or working. Each row gives the expected exit code
# and a line the output must hold; the command of "run" must run only when the pass can.
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-i686.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The probe as the script holds it, with no machine at all in its header (byte 18), which
# the kernel refuses just as it refuses i386 code where it has no IA-32 emulation.
probe=$(sed -nE 's/^probe_elf=\$\{VEXAL_I386_PROBE:-([A-Za-z0-9+\/=]+)\}$/\1/p' "$script")
base64 -d <<<"$probe" >"$work/refused"
printf '\000' | dd of="$work/refused" bs=1 seek=18 conv=notrunc status=none
declare -A probes=([runs]=$(printf '#!/bin/sh\nexit 42\n' | base64 -w0) [refused]=$(base64 -w0 "$work/refused"))
printf '#!/bin/sh\necho wine-8.0\n' >"$work/ok"
printf '#!/bin/sh\necho "cannot load libc.so.6" >&2\nexit 1\n' >"$work/broken"
chmod +x "$work/ok" "$work/broken"

rows=(
    # probe|loader|mode|exit code|a line of the output
    "runs|ok|status|0|i686 Wine pass: runs (wine32 works)"
    "runs|missing|status|1|i686 Wine pass: skipped, wine32 (the i386 Wine loader $work/missing) is not installed"
    "runs|broken|status|1|i686 Wine pass: skipped, $work/broken does not start: cannot load libc.so.6"
    "refused|ok|status|1|32-bit programs: this machine does not run them (a static i386 program did not run: Exec format error)"
    "refused|ok|status|1|i686 Wine pass: skipped, this machine does not run 32-bit programs"
    "runs|missing|kernel|0|32-bit programs: this machine runs them"
    "refused|ok|kernel|1|32-bit programs: this machine does not run them (a static i386 program did not run: Exec format error)"
    "runs|ok|run|0|the command ran"
    "runs|missing|run|77|i686 Wine pass: skipped, wine32 (the i386 Wine loader $work/missing) is not installed"
    "refused|ok|run|77|i686 Wine pass: skipped, this machine does not run 32-bit programs"
)
failures=0
for row in "${rows[@]}"; do
    IFS='|' read -r probe loader mode code line <<<"$row"
    args=("$mode")
    [ "$mode" = run ] && args+=(echo "the command ran")
    out=$(VEXAL_I386_PROBE=${probes[$probe]} VEXAL_WINE32_LOADER=$work/$loader bash "$script" "${args[@]}")
    got=$?
    ran=$(grep -c 'the command ran' <<<"$out")
    if [ "$got" -ne "$code" ] || ! grep -qxF "$line" <<<"$out" || { [ "$code" -ne 0 ] && [ "$ran" -ne 0 ]; }; then
        echo "FAIL: probe $probe, loader $loader, $mode: exit $got (wanted $code), output:"
        sed 's/^/    /' <<<"$out"
        echo "    wanted the line: $line"
        failures=$((failures + 1))
    else
        echo "ok: probe $probe, loader $loader, $mode: exit $got, \"$line\""
    fi
done
[ "$failures" -eq 0 ]
