#!/usr/bin/env bash
# The includes follow the layers, the core stays platform-free, and every source is formatted.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
status=0

# The layers, bottom to top. A file belongs to the first row whose pattern matches its path,
# and may include the headers of the layers its row names. The seams (colour, geometry, canvas,
# host, local time, rand, the maths functions) sit below the core: they are the core's only way out and include
# nothing of the game. The solver reads the model's pieces and nothing else; nothing of the core
# includes it, the shared commands and the shells may. Above the shared commands, the handheld's window system (no platform in
# it), then the platform shells, which never include each other.
#   <std>  the standard headers the core may use (nothing that allocates behind its back)
#   <lib>  any C++ standard library header (no platform API: nothing with a dot or a slash)
#   <any>  any system header (the platform APIs: Win32, SDL2, libpng, POSIX)
# layer      files (path without .h or .cpp)        may include
layers='
seams        platform/(colour|geometry|canvas|host|crt_rand|crt_math)  <std> seams
soft-canvas  platform/soft_canvas                      <std> seams soft-canvas
png-file     platform/png_(file|codec|codec_libpng|codec_stored|stored)  <any> png-file
std-output   platform/std_output                       <any> std-output
model        model/[a-z0-9_]+                          <std> seams model
render       render/[a-z0-9_]+                         <std> seams model render
interaction  interaction/[a-z0-9_]+                    <std> seams model render interaction
solver       solver/[a-z0-9_]+                         <std> model solver
commands     shell/commands                            <std> seams model render interaction solver commands
link         shell/link                                <lib> seams model render interaction solver commands link
replay       shell/replay/[a-z0-9_]+                   <any> seams model render interaction solver commands link soft-canvas png-file std-output replay
handheld     shell/handheld/[a-z0-9_]+                 <lib> seams model render interaction solver commands link soft-canvas handheld
sdl          shell/sdl/[a-z0-9_]+                      <any> seams model render interaction solver commands link soft-canvas png-file std-output handheld sdl
win32        shell/win32/[a-z0-9_]+                    <any> seams model render interaction solver commands win32 resources
web          shell/web/[a-z0-9_]+                      <any> seams model render interaction solver commands link soft-canvas std-output handheld web
launcher     launcher/[a-z0-9_]+                       <any> launcher resources
resources    resources/[a-z0-9_]+                      <any>
'
# The one crossing downwards: constructing the game projects the puzzle once (RefreshView).
exceptions='
model/puzzle_state.cpp render/projection.h
'
std_headers='algorithm|array|cfloat|chrono|climits|cmath|cstddef|cstdint|cstdlib|cstring|ctime|limits|type_traits|utility'

declare -A base_of=() row_of=()
order=()
while read -r name base rest; do
    [ -n "$name" ] || continue
    base_of[$name]=$base
    row_of[$name]=$rest
    order+=("$name")
done <<<"$layers"

# The first layer whose files match the path (a .h or .cpp file), or nothing.
layer_of() {
    local name
    for name in "${order[@]}"; do
        if [[ $1 =~ ^${base_of[$name]}\.(h|cpp)$ ]]; then
            echo "$name"
            return
        fi
    done
}

# Checks the include lines ("N:#include ...") of one file on standard input; prints one line per
# include its layer does not allow. Returns 1 when it printed any.
check_includes() {
    local file=$1 layer allowed line text header owner bad=0
    layer=$(layer_of "$file")
    if [ -z "$layer" ]; then
        echo "$file: in no layer; add it to the table in scripts/check-sources.sh"
        return 1
    fi
    allowed=${row_of[$layer]}
    while IFS=: read -r line text; do
        if [[ $text =~ include[[:space:]]*\<([^>]+)\> ]]; then
            header=${BASH_REMATCH[1]}
            if [[ " $allowed " == *" <any> "* ]] ||
                { [[ " $allowed " == *" <std> "* ]] && [[ $header =~ ^($std_headers)$ ]]; } ||
                { [[ " $allowed " == *" <lib> "* ]] && [[ $header =~ ^[a-z_]+$ ]]; }; then
                continue
            fi
            echo "$file:$line: $layer may not include <$header> ($layer may include: $allowed)"
            bad=1
        elif [[ $text =~ include[[:space:]]*\"([^\"]+)\" ]]; then
            header=${BASH_REMATCH[1]}
            owner=$(layer_of "$header")
            if { [ -n "$owner" ] && [[ " $allowed " == *" $owner "* ]]; } ||
                grep -qxF "$file $header" <<<"$exceptions"; then
                continue
            fi
            echo "$file:$line: $layer may not include \"$header\" (${owner:-in no layer}; $layer may include: $allowed)"
            bad=1
        fi
    done
    return $bad
}

# --self-test: the check itself, on includes that must pass and includes that must not.
if [ "${1:-}" = "--self-test" ]; then
    cases='
pass render/frame.cpp          #include "model/puzzle.h"
pass render/frame.h            #include "platform/canvas.h"
pass model/puzzle_state.cpp    #include "render/projection.h"
pass interaction/drag.cpp      #include "render/projection.h"
pass shell/commands.cpp        #include "interaction/shuffle.h"
pass shell/replay/replay.cpp   #include "shell/commands.h"
pass shell/sdl/main.cpp        #include <SDL.h>
pass shell/win32/win_main.cpp  #include "resources/vexalmini_resource.h"
pass platform/png_file.cpp     #include <png.h>
pass shell/handheld/ui.cpp     #include <memory>
pass shell/sdl/screen.h        #include "shell/handheld/ui.h"
pass shell/web/web_api.cpp     #include "shell/handheld/layout.h"
fail render/frame.cpp          #include "interaction/hit_test.h"
fail model/matrix34.cpp        #include "render/projection.h"
fail model/puzzle_state.cpp    #include "render/frame.h"
fail interaction/hit_test.h    #include "shell/commands.h"
fail platform/canvas.h         #include "model/puzzle.h"
fail platform/host.cpp         #include <windows.h>
fail model/puzzle.h            #include <vector>
fail shell/commands.cpp        #include <cstdio>
fail shell/commands.cpp        #include "shell/replay/replay.h"
fail shell/sdl/screen.h        #include "shell/replay/replay.h"
fail shell/handheld/ui.cpp     #include <SDL.h>
fail shell/handheld/ui.cpp     #include <emscripten/emscripten.h>
fail shell/handheld/layout.h   #include "shell/sdl/screen.h"
fail shell/handheld/ui.h       #include "shell/web/web_api.h"
fail shell/commands.cpp        #include "shell/handheld/layout.h"
fail launcher/launcher.cpp     #include "model/puzzle.h"
fail render/frame.cpp          #include "tests/support/call_list.h"
pass solver/solver.cpp         #include "model/puzzle.h"
fail solver/solver.cpp         #include "interaction/commit.h"
fail solver/solver.cpp         #include "platform/host.h"
fail interaction/commit.cpp    #include "solver/solver.h"
fail model/puzzle_state.cpp    #include "solver/solver.h"
pass shell/commands.cpp        #include "solver/solver.h"
fail platform/new_seam.h       #include <cstdint>
'
    failures=0
    while read -r want file include; do
        [ -n "$want" ] || continue
        if out=$(check_includes "$file" <<<"1:$include"); then got=pass; else got=fail; fi
        if [ "$got" != "$want" ]; then
            echo "self-test: $file with $include should $want, did not${out:+: $out}"
            failures=1
        elif [ "$got" = fail ] && [[ $out != "$file"* ]]; then
            echo "self-test: $file with $include failed without naming the file: $out"
            failures=1
        fi
    done <<<"$cases"
    [ $failures -eq 0 ] && echo "self-test: the layer check passes and fails what it should"
    exit $failures
fi

while read -r file; do
    check_includes "$file" < <(grep -nE '^\s*#\s*include' "$file") || status=1
done < <(git ls-files --cached --others --exclude-standard model render interaction solver platform shell launcher resources |
    grep -E '\.(h|cpp)$')

files=$(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | grep -v '^resources/')
if [ -n "$files" ]; then
    # shellcheck disable=SC2086
    if ! clang-format --dry-run --Werror $files; then
        echo "clang-format: the files above are not formatted (clang-format -i)"
        status=1
    fi
fi
exit $status
