#!/bin/bash
# Peak memory of the command line's batch on hostile inputs: prints input, exit code, output rows and peak RSS,
# and fails when a batch goes over 64 MB. The distinct skies are at coordinates the window's fields can hold.
# Usage: scripts/batch-memory.sh [build/bin/korvane-energy-cli]
set -eu
cli=$(realpath "${1:-build/bin/korvane-energy-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
python3 - <<'PY'
import random
def write(name, header, rows):
    with open(name, 'wb') as f:
        f.write(header)
        for row in rows:
            f.write(row)
write('long-line.csv', b'room,depth\n', [b'x' * (200 << 20) + b',4\n', b'B,4\n'])
write('long-header.csv', b'depth,' + b'x' * (200 << 20) + b'\n', [b'4\n'])
write('many-fields.csv', b'room,depth\n', [b',' * 4000 + b'\n'] * 10000 + [b',' * (5 << 20) + b'\n'])
write('open-quote.csv', b'room,depth\nA,"\n', [b'x' * 95 + b',abc\n'] * 500000)
write('control-rows.csv', b'room,depth\n', [b'\x01' * ((1 << 20) - 10) + b',4\n'] * 100)
write('cp1252-rows.csv', b'room,depth\n', [b'\x80' * ((1 << 20) - 10) + b',4\n'] * 100)
write('distinct-sites.csv', b'site\n', [b'%03d' % i + b'q' * ((1 << 20) - 20) + b'\n' for i in range(150)])
write('long-site.csv', b'site\n', ['\u0436'.encode() * 512000 + b'\n'] * 2)
r = random.Random(1)
keys = ['%.1f,%.1f,%d,%d\n' % (r.uniform(-179, 179), r.uniform(-60, 60), r.randint(0, 8), r.randint(16, 24))
        for _ in range(5000)]
write('distinct-skies.csv', b'longitude,latitude,begin,end\n', [k.encode() * 2 for k in keys])
PY
status=0
printf '%-20s %-5s %4s %9s %8s\n' input mode exit rows_out peak_kB
for input in *.csv; do
    for mode in csv json; do
        flag=$([ $mode = json ] && echo --json || true)
        code=0
        /usr/bin/time -f %M -o rss "$cli" --batch "$input" $flag > out 2> /dev/null || code=$?
        rows=$(grep -c '' out || true)
        [ $mode = json ] || [ $code = 2 ] || rows=$((rows - 1)) # the CSV header is no row
        printf '%-20s %-5s %4s %9s %8s\n' "$input" $mode $code $rows "$(tail -1 rss)"
        [ "$(tail -1 rss)" -le 65536 ] || status=1
    done
done
exit $status
