#!/usr/bin/env bash
# Tests of the browser build, after the main build: the WebAssembly engine against
# build/bin/korvane-energy-cli on random rooms, and the page in Debian's chromium driven by puppeteer-core.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$ROOT/scripts/web.sh" --build-only
if [[ ! -x "$BUILD_DIR/bin/korvane-energy-cli" ]]; then
    echo "web_test.sh: build the calculator first (scripts/test.sh does)" >&2
    exit 1
fi
# Debian's nodejs comes without npm; other node packages bring their own.
command -v npm >/dev/null || ensure_packages npm
# puppeteer-core drives the installed chromium: nothing may download a browser.
export PUPPETEER_SKIP_DOWNLOAD=1
(cd "$ROOT/web" && npm ci --no-audit --no-fund --ignore-scripts)
(cd "$ROOT/web" && KORVANE_BUILD_DIR="$BUILD_DIR" node --test test/)
