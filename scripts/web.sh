#!/usr/bin/env bash
# Builds the browser page (the engine as WebAssembly) into build/web/page/, and the same page in one file as
# build/web/korvane-energy.html, and serves the page's folder alone on 127.0.0.1.
#   scripts/web.sh [PORT]        build, then serve on PORT (8080 when not given)
#   scripts/web.sh --build-only  build only
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
WEB_BUILD_DIR="$BUILD_DIR/web"

ensure_packages "${KORVANE_WEB_PACKAGES[@]}"
# Debian's emscripten runs its JavaScript tools on the system node, which looks for acorn here.
export NODE_PATH=/usr/share/nodejs
# The system libraries are compiled on first use into the cache; keep it in the build tree when the
# package's own cache cannot be written.
if [[ -z "${EM_CACHE:-}" && ! -w /usr/share/emscripten/cache ]]; then
    export EM_CACHE="$BUILD_DIR/em-cache"
fi
emcmake cmake -S "$ROOT/web" -B "$WEB_BUILD_DIR" -G Ninja
cmake --build "$WEB_BUILD_DIR"

[[ "${1:-}" == "--build-only" ]] && exit 0
PORT="${1:-8080}"
echo "KORVANE Energy: http://127.0.0.1:$PORT/"
exec python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$WEB_BUILD_DIR/page"
