#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and starts the program's window.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages "${KORVANE_PACKAGES[@]}"
configure_and_build -DBUILD_TESTING=OFF
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat >&2 <<MSG
No display: DISPLAY is not set, so the window cannot be shown.
Start it on a virtual X server instead:
    xvfb-run -a -s "-screen 0 1024x768x24" "$BUILD_DIR/bin/korvane-energy"
or use the command-line program: "$BUILD_DIR/bin/korvane-energy-cli" --help
MSG
    exit 1
fi
exec "$BUILD_DIR/bin/korvane-energy"
