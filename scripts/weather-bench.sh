#!/bin/bash
# The weather sky's costs on the command line: reading the sample weather file, a year under it against the
# standard sky, and a batch of 10,000 rooms naming 100 different weather files against the same batch on one
# file. Fails when the batch over 100 files takes more than twice as long, or any run peaks at 64 MB or more.
# Usage: scripts/weather-bench.sh [build/bin/korvane-energy-cli]
set -eu
cli=$(realpath "${1:-build/bin/korvane-energy-cli}")
sample=$(realpath "$(dirname "$0")/../tests/weather/data/PVGIS_45.000N_8.000E_2005-2023.epw")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for i in $(seq -w 1 100); do cp "$sample" "w$i.epw"; done
python3 - <<'PY'
for name, files in (('one.csv', 1), ('hundred.csv', 100)):
    with open(name, 'w') as f:
        f.write('weather,window-type,depth,width\n')
        for row in range(10000):
            f.write('w%03d.epw,%d,%g,%d\n' % (row % files + 1, 1 + row % 3, 3 + row % 7 * 0.5, 4 + row % 11))
PY
status=0
# Processor seconds (user and system), steadier than the wall clock on a shared machine; and peak memory.
# The best of three runs, and the largest peak.
run() { # label, then the arguments; the seconds on stdout, a line for people on stderr
    : > stats
    for _ in 1 2 3; do
        /usr/bin/time -a -f '%U %S %M' -o stats "$cli" "${@:2}" > /dev/null 2> /dev/null || true
    done
    read -r seconds kb < <(python3 -c "
rows = [line.split() for line in open('stats') if line[:1].isdigit()]
print('%.3f' % min(float(u) + float(s) for u, s, _ in rows), max(int(m) for _, _, m in rows))")
    printf '%-28s %7s s %8s kB\n' "$1" "$seconds" "$kb" >&2
    echo "$seconds $kb"
}
read -r _ kb1 < <(run "weather year" --weather w001.epw)
read -r _ kb2 < <(run "standard year")
read -r one kb3 < <(run "batch, one weather file" --batch one.csv)
read -r hundred kb4 < <(run "batch, 100 weather files" --batch hundred.csv)
python3 -c "import sys; r = $hundred / max($one, 0.01); print('100 files / one file: %.2f' % r); sys.exit(r > 2)" ||
    status=1
for kb in $kb1 $kb2 $kb3 $kb4; do [ "$kb" -lt 65536 ] || status=1; done
exit $status
