#!/usr/bin/env bash
# Makes docs/screenshot.png: the game window at scale 2 under Xvfb, shuffled, with a layer
# half way through a turn under the mouse.
# Usage: docs/make-screenshot.sh [path/to/vexalmini]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/release/shell/sdl/vexalmini}
if [ ! -x "$bin" ]; then
    echo "make-screenshot: $bin is missing; build it with" >&2
    echo "  cmake --preset release && cmake --build --preset release --target vexalmini" >&2
    exit 1
fi

xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$bin" docs/screenshot.png <<'SHOT'
set -euo pipefail
bin=$1 out=$2 scale=2
"$bin" --scale $scale --seed 7 &
pid=$!
wid=
for _ in $(seq 1 100); do
    wid=$(xdotool search --all --onlyvisible --pid $pid --name '^Vexal Mini$' 2>/dev/null | head -n 1) || true
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || { echo "make-screenshot: no window" >&2; kill $pid; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$wid")"
# Screen pixel (x, y) of the handheld to a root position.
at() { echo $((X + $1 * scale)) $((Y + $2 * scale)); }
xdotool mousemove $(at 24 307) click 1   # New
sleep 0.3
xdotool mousemove $(at 50 260) click 1   # Shuffle
sleep 0.3
xdotool mousemove $(at 120 161) mousedown 1
for p in "121 161" "126 163" "134 166" "144 169" "152 171"; do
    xdotool mousemove $(at $p)
done
sleep 0.5
import -window "$wid" png24:"$out"
xdotool mouseup 1 windowfocus --sync "$wid" key ctrl+q
wait $pid
SHOT
echo "make-screenshot: wrote docs/screenshot.png"
