#!/usr/bin/env python3
"""Times a batch that finds its rooms' sites by name against the same rooms given by coordinates.

32,000 rows over a generated site file of 32,000 names (a third with accents or Polish letters), each row
naming a random site; the other batch gives the same sites' coordinates. Prints the processor time (user and
system, all threads) of each run, best of three, and their ratio.

usage: bench/site_lookup_bench.py build/bin/korvane-energy-cli
"""
import os
import random
import resource
import subprocess
import sys
import tempfile

SYLLABLES = ["ber", "lin", "ham", "burg", "mün", "chen", "köln", "dorf", "stadt", "feld", "łó", "dź", "wie",
             "sen", "bach", "hau", "gar", "ten", "ros", "tock", "brü", "cke", "wal", "de", "see", "fen", "kir"]


def cpu_seconds(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    cli = sys.argv[1]
    random.seed(7)
    names = set()
    while len(names) < 32000:
        name = "".join(random.choice(SYLLABLES) for _ in range(random.randint(3, 5))).capitalize()
        if random.random() < 0.3:
            name += " " + random.choice(["am Main", "an der Oder", "Nord", "Süd", "West"])
        names.add(name)
    sites = [(name, round(random.uniform(-10, 30), 2), round(random.uniform(35, 65), 2), random.choice([0, 1, 2]))
             for name in sorted(names)]
    random.shuffle(sites)
    rows = [random.choice(sites) for _ in range(32000)]
    with tempfile.TemporaryDirectory() as folder:
        geo, by_site, by_coordinates = (os.path.join(folder, n) for n in ("sites.geo", "site.csv", "coord.csv"))
        with open(geo, "w", encoding="utf-8", newline="") as f:
            for name, lon, lat, gmt in sites:
                f.write(f"{name};{str(lon).replace('.', ',')};{str(lat).replace('.', ',')};{gmt}\r\n")
        with open(by_site, "w", encoding="utf-8") as f:
            f.write("site,depth\n" + "".join(f'"{name}",4\n' for name, *_ in rows))
        with open(by_coordinates, "w", encoding="utf-8") as f:
            f.write("longitude,latitude,gmt,depth\n" + "".join(f"{lon},{lat},{gmt},4\n" for _, lon, lat, gmt in rows))
        times = {}
        for label, batch in (("coordinates", by_coordinates), ("site names", by_site)):
            times[label] = min(cpu_seconds([cli, "--geo", geo, "--batch", batch]) for _ in range(3))
            print(f"{label:12} {times[label]:.2f} s")
        print(f"ratio        {times['site names'] / times['coordinates']:.2f}")


if __name__ == "__main__":
    main()
