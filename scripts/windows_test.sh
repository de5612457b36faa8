#!/usr/bin/env bash
# Runs the Windows build's ZIP under Wine, unpacked into a folder with a non-ASCII name, and compares every
# answer with the Linux build's (build/bin): the same bytes on standard output and the same exit code.
# Needs scripts/windows.sh and the main build first (scripts/test.sh runs them).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
WIN_DIR="${KORVANE_WINDOWS_DIR:-$ROOT/build/windows}"
LINUX_CLI="$BUILD_DIR/bin/korvane-energy-cli"
WINE=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEDEBUG=-all WINEPREFIX="$WIN_DIR/wineprefix"
started=$(date +%s)

# One server for all the runs: each then starts in a fraction of a second (the first makes the prefix).
mkdir -p "$WINEPREFIX"
"$WINESERVER" -p
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
"$WINE" cmd /c exit >/dev/null 2>&1 || true

# The ZIP unpacked where Windows users put it, under a name no single code page holds.
folder_name="Prüfung Łódź"
work="$WINEPREFIX/drive_c/$folder_name"
rm -rf "$work" && mkdir -p "$work"
zip=$(ls "$WIN_DIR"/korvane-energy-cli-*-windows-x86_64.zip | head -1)
(cd "$work" && python3 -m zipfile -e "$zip" .)
package=$(basename "$zip" .zip)
exe="C:\\$folder_name\\$package\\korvane-energy-cli.exe"
win_work="C:\\$folder_name"
# The same folder through the drive that Wine maps to /.
z_work="Z:$(printf '%s' "$work" | tr / '\\')"

printf 'room,window-type,depth,width,site\nOffice 1.01,1,4,5,frankfurt\nHall,2,20,30,berlin\nWorkshop,3,15,24,wien\n' \
    >"$work/rooms.csv"
# A German spreadsheet's export: semicolons, decimal commas, Windows-1252, CR LF, and a row in error.
printf 'Raum;depth;site;power-density\r\nB\xfcro 1;4,5;M\xfcnchen;10\r\nHalle;6;wien;12,5\r\nLager;12,345;wien;\r\n' \
    >"$work/räume.csv"
printf '* Sites of the test\nK\xf6ln;6,96;50,94;1\nZ\xfcrich;8,54;47,37;1\n' >"$work/Orte ü.geo"

failures=0
out="$WIN_DIR/wine-test"
mkdir -p "$out"
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}
# check NAME ARGS...: the same answer from both builds. In ARGS @ stands for the work folder (C:\ on
# Windows), % for it through drive Z: (the same path on Linux); / is \ on Windows.
check() {
    local name=$1 arg linux_code=0 windows_code=0
    shift
    local linux_args=() windows_args=()
    for arg in "$@"; do
        linux_args+=("$(sed "s|[@%]|$work|g" <<<"$arg")")
        arg=${arg//@/$win_work}
        windows_args+=("$(tr / '\\' <<<"${arg//%/$z_work}")")
    done
    "$LINUX_CLI" "${linux_args[@]}" >"$out/linux" 2>/dev/null || linux_code=$?
    "$WINE" "$exe" "${windows_args[@]}" >"$out/windows" 2>/dev/null || windows_code=$?
    if ! cmp -s "$out/linux" "$out/windows" || [[ $linux_code != "$windows_code" ]]; then
        fail "$name: exit $windows_code (Linux $linux_code)"
        diff "$out/linux" "$out/windows" | head -6 || true
    else
        echo "ok   $name"
    fi
}

start=$("$WINE" "$exe" 2>&1)
[[ "$start" == $'69%\ndaylight autonomy: 28%' ]] && echo "ok   start values: 69%, daylight autonomy 28%" ||
    fail "start values: '$start'"
check "start values"
check "--json" --json
check "the year and its months" --period all --power-density 10 --json
check "a site from the data beside the .exe" --site berlin --depth 6
check "a non-ASCII argument" --site München --json
check "the README's rooms" --batch @/rooms.csv
check "the README's rooms, months, JSON" --batch @/rooms.csv --period all --json
check "a Windows-1252 semicolon CSV with a non-ASCII name" --batch @/räume.csv
check "the same through drive Z:" --batch %/räume.csv --json
check "a site file with a non-ASCII name" --geo @/"Orte ü.geo" --list-sites --json
check "a missing batch file" --batch @/fehlt.csv

"$LINUX_CLI" --svg "$out/linux.svg" --site berlin --language 1 >/dev/null
"$WINE" "$exe" --svg "$win_work\\Jahr ü.svg" --site berlin --language 1 >/dev/null
cmp -s "$out/linux.svg" "$work/Jahr ü.svg" && echo "ok   an SVG chart into a non-ASCII name" ||
    fail "an SVG chart into a non-ASCII name"

# A workbook written twice: the second replaces the first.
before=$failures
for round in 1 2; do
    code=0
    "$WINE" "$exe" --batch "$win_work\\rooms.csv" --xlsx "$win_work\\Ergebnis ü.xlsx" >/dev/null 2>&1 || code=$?
    [[ $code -eq 0 && "$(head -c 2 "$work/Ergebnis ü.xlsx")" == "PK" ]] || fail "workbook, round $round: exit $code"
done
((failures > before)) || echo "ok   a workbook written over an existing one"

code=0
"$WINE" "$exe" --period all >/dev/full 2>/dev/null || code=$?
[[ $code -eq 3 ]] && echo "ok   a failed write is exit 3" || fail "a failed write: exit $code"

echo "Wine tests: $(($(date +%s) - started)) s, $failures failed"
((failures == 0))
