#!/usr/bin/env bash
# vexal-replay as a user meets it: help, exit codes, messages, and no partial files.
set -u
replay=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fails=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then echo "ok: $name"; else echo "FAIL: $name"; fails=$((fails + 1)); fi
}

"$replay" --help >"$dir/help" 2>&1
check "--help exits 0" test $? -eq 0
check "--help documents the script" grep -q 'button NAME' "$dir/help"

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

printf 'down 1 2\nmove 5\n' >"$dir/bad.txt"
mkdir "$dir/badframes"
"$replay" "$dir/bad.txt" --frame "$dir/bad.png" --frames "$dir/badframes" 2>"$dir/err"
check "bad script exits 2" test $? -eq 2
check "message names the line" grep -q "bad.txt: line 2: 'move' takes two whole numbers" "$dir/err"
check "no frame left behind" test ! -e "$dir/bad.png"
check "no frames left behind" test -z "$(ls "$dir/badframes")"

"$replay" "$dir/missing.txt" 2>"$dir/err2"
check "missing script exits 2" test $? -eq 2
"$replay" "$dir/good.txt" --bogus 2>/dev/null
check "unknown option exits 2" test $? -eq 2
"$replay" "$dir/good.txt" --frame "$dir/no/such/dir/x.png" 2>/dev/null
check "unwritable frame exits 1" test $? -eq 1
"$replay" "$dir/good.txt" --frames "$dir/nothere" 2>/dev/null
check "missing frames folder exits 2" test $? -eq 2

echo "$fails failed"
test "$fails" -eq 0
