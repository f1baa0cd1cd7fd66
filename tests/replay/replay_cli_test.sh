#!/usr/bin/env bash
# vexal-replay as a user meets it: help, exit codes, messages, and no partial files.
set -u
replay=$1
version=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fails=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then echo "ok: $name"; else echo "FAIL: $name"; fails=$((fails + 1)); fi
}
run() {  # run ARGS...: the exit status in $rc, standard error in $dir/err
    timeout "${limit:-20}" "$replay" "$@" </dev/null >"$dir/out" 2>"$dir/err"
    rc=$?
}
said() { grep -qF -- "$1" "$dir/err"; }

"$replay" --help >"$dir/help" 2>&1
check "--help exits 0" test $? -eq 0
check "--help documents the script" grep -q 'button NAME' "$dir/help"
"$replay" --version >"$dir/version" 2>&1
check "--version exits 0" test $? -eq 0
check "--version names the program and the version" test "$(cat "$dir/version")" = "vexal-replay (VexalMini) $version"
"$replay" --version >/dev/full 2>/dev/null
check "--version into a full disk exits 1" test $? -eq 1

printf 'seed 7\ncommand shuffle\ndown 150 90\nmove 150 90\nmove 170 95\nup\n' >"$dir/good.txt"
mkdir "$dir/frames"
"$replay" "$dir/good.txt" --state --frame "$dir/last.png" --frames "$dir/frames" >"$dir/state.json"
check "good script exits 0" test $? -eq 0
check "state is one JSON object" python3 -c "import json,sys; d=json.load(open(sys.argv[1])); assert len(d['pieces'])==8" "$dir/state.json"
check "last frame written" test -s "$dir/last.png"
check "six frames written (start, then one per event)" test "$(ls "$dir/frames" | wc -l)" -eq 6
check "frames numbered from 0" test -s "$dir/frames/frame-00000.png"
check "last frame equals the last of the frames" cmp -s "$dir/last.png" "$dir/frames/frame-00005.png"
printf 'seed 7\ncommand shuffle\ndown 150 90\nmove 150 90\nmove 170 95\nup\n' | "$replay" - >"$dir/stdin.json"
check "script from standard input" cmp -s "$dir/state.json" "$dir/stdin.json"

# A failed run takes back the frames it wrote, and only those.
printf 'down 1 2\nmove 5\n' >"$dir/bad.txt"
mkdir "$dir/badframes"
echo mine >"$dir/badframes/notes.txt"
run "$dir/bad.txt" --frame "$dir/bad.png" --frames "$dir/badframes"
check "bad script exits 2" test $rc -eq 2
check "message names the line" said "bad.txt: line 2: 'move' takes two whole numbers"
check "no frame left behind" test ! -e "$dir/bad.png"
check "no frames left behind, the user's file kept" test "$(ls "$dir/badframes")" = notes.txt

# Refusals before anything runs: exit 2 and the reason.
mkdir "$dir/oldframes"
echo mine >"$dir/oldframes/frame-00001.png"
esc=$(printf 'a\033b')
for case in "missing script|$dir/missing.txt|cannot read $dir/missing.txt: No such file" \
    "script is a folder|$dir|cannot read $dir: Is a directory" \
    "unknown option|$dir/good.txt --bogus|unknown option --bogus" \
    "empty --frame|$dir/good.txt --frame ''|--frame needs a path" \
    "empty --frames|$dir/good.txt --frames ''|--frames needs a path" \
    "empty script path|''|the script's path is empty" \
    "missing frames folder|$dir/good.txt --frames $dir/nothere|is not a folder" \
    "folder already holding frames|$dir/good.txt --frames $dir/oldframes|already holds frames (frame-00001.png)" \
    "name with an escape, shown escaped|$dir/$esc|a\\x1bb: No such file"; do
    IFS='|' read -r name args message <<<"$case"
    rm -rf "$dir/refused.png"
    eval "argv=($args)"  # the words as a shell reads them: '' is an empty one
    run "${argv[@]}" --frame "$dir/refused.png"
    check "$name: exit 2" test $rc -eq 2
    check "$name: says so" said "$message"
    check "$name: no output" test ! -e "$dir/refused.png" -a ! -s "$dir/out"
done
check "the user's old frame is untouched" grep -qx mine "$dir/oldframes/frame-00001.png"

# The script is checked as it is read: the first bad line ends the run, whatever follows.
# (Short limits: a reader that gathers everything first grows by gigabytes in 20 s.)
yes y | timeout 5 "$replay" - >/dev/null 2>"$dir/err"
check "endless bad input stops at line 1" test $? -eq 2
check "endless bad input: the message" said "-: line 1: unknown command 'y'"
limit=5 run /dev/zero
check "endless line is refused" test $rc -eq 2
check "endless line: the message" said "/dev/zero: line 1: longer than 4096 bytes"
printf 'down 1 2\nx\033[31m\n' >"$dir/escape.txt"
run "$dir/escape.txt"
check "control bytes are shown escaped" said "line 2: unknown command 'x\\x1b[31m'"
check "no raw escape reaches the terminal" test "$(tr -dc '\033' <"$dir/err" | wc -c)" -eq 0

# Standard output that cannot be written is a failure like any other output.
for args in "--help" "$dir/good.txt --state"; do
    # shellcheck disable=SC2086  # the words are the arguments
    "$replay" $args >/dev/full 2>"$dir/err"
    check "$args into a full disk exits 1" test $? -eq 1
    check "$args into a full disk says so" said "cannot write to standard output: No space left on device"
done

# --frame onto each kind of thing at its path: how to make it, the exit status, and what
# must hold afterwards. Nothing but a regular file is ever replaced.
t="$dir/targets"
mkdir "$t"
ok_new() { cmp -s "$1" "$dir/last.png"; }
make_file() { echo old >"$1" && chmod 600 "$1"; }
ok_file() { cmp -s "$1" "$dir/last.png" && test "$(stat -c %a "$1")" = 600; }
make_link() { echo old >"$t/pointed-at" && ln -s pointed-at "$1"; }
ok_link() { test -L "$1" && cmp -s "$t/pointed-at" "$dir/last.png"; }
make_dangling() { ln -s nowhere "$1"; }
ok_dangling() { test -L "$1" -a ! -e "$t/nowhere"; }
make_fifo() { mkfifo "$1" && { timeout 20 cat "$1" >"$t/from-fifo" & }; }
ok_fifo() { wait && test -p "$1" && cmp -s "$t/from-fifo" "$dir/last.png"; }
# As root a fault here could replace the real /dev/null, so root gets a node of its own.
make_device() { if [ "$(id -u)" -ne 0 ]; then ln -s /dev/null "$1"; else mknod "$1" c 1 3 2>/dev/null; fi; }
ok_device() { test -c "$1"; }
ok_folder() { test -d "$1" && test -z "$(ls -A "$1")"; }
make_socket() { python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$1"; }
ok_socket() { test -S "$1"; }
for case in "new 0 :" "file 0" "link 0" "dangling 1" "fifo 0" "device 0" "folder 1 mkdir" "socket 1"; do
    read -r kind status make <<<"$case"
    path="$t/$kind.png"
    if ! "${make:-make_$kind}" "$path"; then
        echo "skipped: --frame onto a $kind (cannot make one here)"
        continue
    fi
    run "$dir/good.txt" --frame "$path"
    check "--frame onto a $kind exits $status" test $rc -eq "$status"
    check "--frame onto a $kind leaves it right" "ok_$kind" "$path"
    [ "$status" -eq 0 ] || check "--frame onto a $kind says why" said "cannot write $path: "
done
check "no temporary file left beside the targets" test -z "$(ls "$t" | grep -F '.png.')"
run "$dir/good.txt" --frame "$dir/no/such/dir/x.png"
check "unwritable frame exits 1" test $rc -eq 1

echo "$fails failed"
test "$fails" -eq 0
