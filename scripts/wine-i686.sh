#!/usr/bin/env bash
# Whether this machine can run the i686 Windows programs under Wine. Found out by running
# things, never guessed from the distribution: a tiny static i386 program for the kernel,
# then wine32's own loader.
#
#   scripts/wine-i686.sh kernel      one line; exit 0 when 32-bit programs run here
#   scripts/wine-i686.sh status      two lines (32-bit programs, the i686 Wine pass);
#                                    exit 0 when the i686 Wine pass can run
#   scripts/wine-i686.sh run CMD...  runs CMD when the pass can run; otherwise one line
#                                    saying why, and exit 77 (CTest's skip code here)
#
# Its own test swaps the two things it runs: VEXAL_I386_PROBE (the probe program, base64)
# and VEXAL_WINE32_LOADER.
set -uo pipefail

# wine32:i386 installs its loader here; Debian's /usr/bin/wine prefers it when it exists.
wine32_loader=${VEXAL_WINE32_LOADER:-/usr/lib/wine/wine}

# ELF header and one program header for i386, then: mov ebx, 42; mov eax, 1; int 0x80.
probe_elf=${VEXAL_I386_PROBE:-f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhgAAAAYAAAAAUAAAAAEAAAuyoAAAC4AQAAAM2A}

kernel_reason=
# Sets kernel_reason when the kernel does not run 32-bit programs.
check_kernel() {
    local dir out code
    dir=$(mktemp -d) || {
        kernel_reason="no temporary folder for the probe"
        return 1
    }
    base64 -d <<<"$probe_elf" >"$dir/probe" && chmod +x "$dir/probe"
    out=$("$dir/probe" 2>&1)
    code=$?
    rm -rf "$dir"
    [ "$code" -eq 42 ] && return 0
    out=${out##*: }  # bash's message ends with the system's reason
    kernel_reason="a static i386 program did not run: ${out:-exit code $code}"
    return 1
}

pass_reason=
# Sets pass_reason when the i686 pass cannot run; assumes the kernel was checked.
check_wine32() {
    local out
    if [ ! -x "$wine32_loader" ]; then
        pass_reason="wine32 (the i386 Wine loader $wine32_loader) is not installed"
        return 1
    fi
    if ! out=$("$wine32_loader" --version 2>&1); then
        pass_reason="$wine32_loader does not start: $(tail -n 1 <<<"$out")"
        return 1
    fi
}

case ${1:-status} in
kernel)
    if check_kernel; then
        echo "32-bit programs: this machine runs them"
    else
        echo "32-bit programs: this machine does not run them ($kernel_reason)"
        exit 1
    fi
    ;;
status | run)
    mode=$1
    ok=0
    if check_kernel; then
        kernel_line="32-bit programs: this machine runs them"
        check_wine32 || ok=1
    else
        kernel_line="32-bit programs: this machine does not run them ($kernel_reason)"
        pass_reason="this machine does not run 32-bit programs"
        ok=1
    fi
    if [ "$mode" = status ]; then
        echo "$kernel_line"
        if [ "$ok" -eq 0 ]; then
            echo "i686 Wine pass: runs (wine32 works)"
        else
            echo "i686 Wine pass: skipped, $pass_reason"
        fi
        exit "$ok"
    fi
    shift
    if [ "$ok" -ne 0 ]; then
        echo "i686 Wine pass: skipped, $pass_reason"
        exit 77
    fi
    exec "$@"
    ;;
*)
    echo "usage: $0 kernel | status | run COMMAND..." >&2
    exit 2
    ;;
esac
