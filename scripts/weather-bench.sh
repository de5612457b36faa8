#!/bin/bash
# The weather sky's costs on the command line: reading the sample weather file, a year under it against the
# standard sky, and a batch of 10,000 rooms naming 100 different weather files against the same batch on one
# file. Fails when the batch over 100 files takes more than LIMIT times as long (2 unless given), when any run
# peaks at 64 MB or more, or when a run fails.
# Usage: scripts/weather-bench.sh [build/bin/korvane-energy-cli [LIMIT]]
set -eu
cli=$(realpath "${1:-build/bin/korvane-energy-cli}")
sample=$(realpath "$(dirname "$0")/../tests/weather/data/PVGIS_45.000N_8.000E_2005-2023.epw")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for i in $(seq -w 1 100); do cp "$sample" "w$i.epw"; done
python3 - "$cli" "${2:-2}" <<'PY'
import os, subprocess, sys

cli, limit = sys.argv[1], float(sys.argv[2])
for name, files in (('one.csv', 1), ('hundred.csv', 100)):
    with open(name, 'w') as f:
        f.write('weather,window-type,depth,width\n')
        for row in range(10000):
            f.write('w%03d.epw,%d,%g,%d\n' % (row % files + 1, 1 + row % 3, 3 + row % 7 * 0.5, 5 + row % 10))

def run(label, *args, runs=7):
    """Processor seconds (user and system, steadier than the wall clock on a shared machine), the least of
    several runs, and the largest peak of memory in kB."""
    seconds, peak = [], 0
    for _ in range(runs):
        child = subprocess.Popen([cli, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, use = os.wait4(child.pid, 0)
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit('%s: %s %s failed' % (label, cli, ' '.join(args)))
        seconds.append(use.ru_utime + use.ru_stime)
        peak = max(peak, use.ru_maxrss)
    print('%-28s %7.3f s %8d kB' % (label, min(seconds), peak))
    return min(seconds), peak

results = [run('weather year', '--weather', 'w001.epw'), run('standard year'),
           run('batch, one weather file', '--batch', 'one.csv'),
           run('batch, 100 weather files', '--batch', 'hundred.csv')]
ratio = results[3][0] / max(results[2][0], 0.01)
print('100 files / one file: %.2f' % ratio)
sys.exit(1 if ratio > limit or any(kb >= 65536 for _, kb in results) else 0)
PY
