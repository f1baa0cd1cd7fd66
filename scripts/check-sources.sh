#!/usr/bin/env bash
# The core stays platform-free, and every source is formatted.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

# model/, render/ and interaction/ may include only the standard library, each other and
# the seams in platform/ that are themselves free of platform headers.
core_seams='platform/(canvas|colour|host|crt_rand|soft_canvas)\.h'
bad=$(grep -nE '^\s*#\s*include' model/* render/* interaction/* platform/canvas.h platform/colour.h \
        platform/host.h platform/crt_rand.h platform/soft_canvas.h platform/host.cpp platform/crt_rand.cpp \
        platform/soft_canvas.cpp 2>/dev/null |
      grep -vE '#\s*include\s*<(cmath|cstdint|cstddef|cstring|cstdlib|ctime|chrono|climits|cfloat|limits|algorithm|array|utility|type_traits)>' |
      grep -vE "#\s*include\s*\"(model|render|interaction)/[a-z0-9_]+\.h\"" |
      grep -vE "#\s*include\s*\"$core_seams\"")
if [ -n "$bad" ]; then
    echo "core files include something outside the core and its seams:"
    echo "$bad"
    status=1
fi

files=$(git ls-files '*.cpp' '*.h' | grep -v '^resources/')
if [ -n "$files" ]; then
    if ! clang-format --dry-run --Werror $files; then
        echo "clang-format: the files above are not formatted (clang-format -i)"
        status=1
    fi
fi
exit $status
