# Shared by run.sh and test.sh: install what the project needs, then configure and build build/.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${KORVANE_BUILD_DIR:-$ROOT/build}"
FUZZ_BUILD_DIR="${KORVANE_FUZZ_BUILD_DIR:-$BUILD_DIR/fuzz}"
ASAN_BUILD_DIR="${KORVANE_ASAN_BUILD_DIR:-$BUILD_DIR/asan}"

# Debian packages needed to build and run the programs (scripts/run.sh).
KORVANE_PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev libcli11-dev libcups2-dev qt6-translations-l10n help2man
    nlohmann-json3-dev libxlsxwriter-dev libicu-dev
    fonts-dejavu-core fonts-liberation
)

# What the tests need beyond that (scripts/test.sh).
KORVANE_TEST_PACKAGES=(
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev llvm
    python3 xvfb xauth dpkg-dev
    cups printer-driver-cups-pdf poppler-utils
    lintian devscripts appstream desktop-file-utils man-db
    python3-dev pybind11-dev python3-pybind11 python3-venv python3-setuptools python3-wheel python3-pytest
    python3-numpy python3-pandas python3-dask python3-distributed python3-matplotlib python3-nbconvert
    python3-ipykernel
)

# What the browser build and its tests need (scripts/web.sh, scripts/test.sh).
KORVANE_WEB_PACKAGES=(
    emscripten node-acorn nodejs chromium python3 cmake ninja-build
)

# What the Windows build and its tests under Wine need (scripts/windows.sh); apt-get source needs dpkg-dev.
KORVANE_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 cmake ninja-build pkg-config dpkg-dev
    libcli11-dev nlohmann-json3-dev
)

missing_packages() {
    local pkg status
    for pkg in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        [[ "$status" == "install ok installed" ]] || printf '%s\n' "$pkg"
    done
}

ensure_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    ((${#missing[@]} == 0)) && return 0
    echo "Installing: ${missing[*]}"
    local apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
    if [[ $(id -u) -eq 0 ]]; then
        "${apt[@]}" update -q && "${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "${apt[@]}" update -q && sudo "${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
    else
        echo "Please run as root: apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
}

configure_and_build() {
    # The Python module is built for Debian's python3, the one the packages above serve, whatever comes first
    # on PATH.
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DPython3_EXECUTABLE=/usr/bin/python3 "$@"
    cmake --build "$BUILD_DIR"
}

# A second build with clang and without the window: the libFuzzer targets, and every other test once more
# from the other compiler.
configure_and_build_fuzzers() {
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ_BUILD_DIR" -G Ninja \
        -DKORVANE_WITH_FUZZERS=ON -DKORVANE_WITH_GUI=OFF "$@"
    cmake --build "$FUZZ_BUILD_DIR"
}

# A third build, g++ again, with AddressSanitizer and UndefinedBehaviorSanitizer in every library and test,
# the windows' included; the benchmark is left out. Every report ends the process that made it with an
# error, so the test fails; leaks are reported at exit. Run its tests with sanitized_ctest.
sanitizer_env() {
    env ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1" \
        UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" "$@"
}

configure_and_build_sanitized() {
    sanitizer_env cmake -S "$ROOT" -B "$ASAN_BUILD_DIR" -G Ninja -DKORVANE_SANITIZE=ON "$@"
    # Test discovery runs the test programs, so the build needs the options too.
    sanitizer_env cmake --build "$ASAN_BUILD_DIR"
}

sanitized_ctest() {
    (cd "$ASAN_BUILD_DIR" && sanitizer_env ctest "$@")
}
