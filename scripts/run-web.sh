#!/usr/bin/env bash
# Builds the browser version (build/web/site) and serves it on this machine only.
# On a fresh Debian 12 machine run it as root: it installs with apt what is missing first.
# Usage: scripts/run-web.sh [--port N]      (default 8000; Ctrl+C stops the server)
set -euo pipefail
cd "$(dirname "$0")/.."

port=8000
while [ $# -gt 0 ]; do
    case $1 in
        --port) port=${2:-}; shift 2 || shift ;;
        --port=*) port=${1#--port=}; shift ;;
        -h | --help) sed -n '2,4s/^# //p' "$0"; exit 0 ;;
        *) echo "run-web.sh: unknown argument: $1 (usage: scripts/run-web.sh [--port N])" >&2; exit 2 ;;
    esac
done
if ! [[ $port =~ ^[0-9]{1,5}$ ]] || [ "$port" -lt 1 ] || [ "$port" -gt 65535 ]; then
    echo "run-web.sh: --port takes a whole number from 1 to 65535" >&2
    exit 2
fi

scripts/install-deps.sh web
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)"

# A plain static server; it names the types a browser is strict about (WebAssembly's
# streaming compile, the manifest).
exec python3 - "$port" build/web/site <<'PY'
import functools, http.server, sys
port, root = int(sys.argv[1]), sys.argv[2]
class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, '.wasm': 'application/wasm',
                      '.webmanifest': 'application/manifest+json', '.js': 'text/javascript'}
try:
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), functools.partial(Handler, directory=root))
except OSError as e:
    sys.exit(f'run-web.sh: cannot serve on 127.0.0.1:{port}: {e.strerror} (try --port N)')
print(f'Vexal Mini: http://127.0.0.1:{port}/  (open it in a browser; Ctrl+C stops the server)', flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PY
