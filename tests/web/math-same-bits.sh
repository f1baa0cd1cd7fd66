#!/bin/sh
# The core's results (third column of vexal-math-compare) must be the same bits natively and
# under node; the library's differences are printed for the record.
#   math-same-bits.sh NATIVE_COMPARE NODE NODE_COMPARE_JS
set -u
native=$("$1" --quick) || exit 1
web=$("$2" "$3" --quick) || exit 1
printf 'native (this C library):\n%s\nnode (musl):\n%s\n' "$native" "$web"
if [ "$(echo "$native" | awk '{print $1, $2, $3}')" != "$(echo "$web" | awk '{print $1, $2, $3}')" ]; then
    echo "the core's maths differ between the native and the node build"
    exit 1
fi
echo "the core's maths give the same bits in both builds"
