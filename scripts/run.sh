#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and starts the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages "${KORVANE_PACKAGES[@]}"
configure_and_build
exec "$BUILD_DIR/bin/korvane-energy-cli" "$@"
