#!/usr/bin/env bash
# Cross-builds the calculator for 64-bit Windows with Debian's mingw-w64: build/windows/korvane-energy-cli.exe
# with DEFAULT.GEO and SITE_ALIASES.txt beside it, and the ZIP that CPack makes for users
# (build/windows/korvane-energy-cli-<version>-windows-x86_64.zip). Arguments go to CMake.
# libxlsxwriter is built from Debian's source package (its own minizip, Debian's mingw zlib); ICU is not
# built for Windows, so site searches there fold case only.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages "${KORVANE_WINDOWS_PACKAGES[@]}"

WIN_DIR="${KORVANE_WINDOWS_DIR:-$ROOT/build/windows}"
DEPS="$WIN_DIR/deps"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
mkdir -p "$DEPS/include" "$DEPS/share/cmake"

# The header-only libraries, from Debian's packages, seen through the deps folder so that the build machine's
# /usr/include stays out of the search path.
ln -sfn /usr/include/CLI "$DEPS/include/CLI"
ln -sfn /usr/include/nlohmann "$DEPS/include/nlohmann"
ln -sfn /usr/share/cmake/nlohmann_json "$DEPS/share/cmake/nlohmann_json"

# libxlsxwriter from Debian's source package, through a private apt state: the machine's sources stay as they are.
if [[ ! -f "$DEPS/lib/libxlsxwriter.a" ]]; then
    apt_state="$WIN_DIR/apt"
    mkdir -p "$apt_state/lists/partial" "$apt_state/cache" "$WIN_DIR/src"
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "deb-src http://deb.debian.org/debian $suite main" >"$apt_state/sources.list"
    apt_opts=(-o "Dir::Etc::SourceList=$apt_state/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$apt_state/lists" -o "Dir::Cache=$apt_state/cache" -o APT::Sandbox::User=root)
    apt-get -q "${apt_opts[@]}" update >/dev/null
    (cd "$WIN_DIR/src" && apt-get -q "${apt_opts[@]}" source --download-only libxlsxwriter >/dev/null)
    tarball=$(ls "$WIN_DIR"/src/libxlsxwriter_*.orig.tar.gz | head -1)
    rm -rf "$WIN_DIR/src/libxlsxwriter" && mkdir -p "$WIN_DIR/src/libxlsxwriter"
    tar -xzf "$tarball" -C "$WIN_DIR/src/libxlsxwriter" --strip-components=1
    cmake -S "$WIN_DIR/src/libxlsxwriter" -B "$WIN_DIR/src/libxlsxwriter-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DKORVANE_WINDOWS_DEPS="$DEPS" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$DEPS" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
        -DUSE_SYSTEM_MINIZIP=OFF -DUSE_DTOA_LIBRARY=ON >/dev/null
    cmake --build "$WIN_DIR/src/libxlsxwriter-build" -j"$(nproc)" --target install >/dev/null
fi

# pkg-config sees the deps folder alone.
export PKG_CONFIG_LIBDIR="$DEPS/lib/pkgconfig" PKG_CONFIG_PATH=
cmake -S "$ROOT" -B "$WIN_DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DKORVANE_WINDOWS_DEPS="$DEPS" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$WIN_DIR" -DKORVANE_WITH_GUI=OFF \
    -DBUILD_TESTING=OFF -DKORVANE_WITH_ICU=OFF -DKORVANE_HARDENING=OFF "$@"
cmake --build "$WIN_DIR" -j"$(nproc)"
(cd "$WIN_DIR" && cpack -G ZIP >/dev/null)
