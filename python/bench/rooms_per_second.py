"""Rooms per second for one generated stock through korvane_energy.batch, the calculator's --batch and a
distributed.LocalCluster, in the same run.

    PYTHONPATH=build/python python3 python/bench/rooms_per_second.py [ROWS] [build/bin/korvane-energy-cli]
"""

import os
import subprocess
import sys
import tempfile
import time

import dask.dataframe as dd
import numpy as np
import pandas as pd
from distributed import Client, LocalCluster

import korvane_energy as k
import korvane_energy.dask


def stock(rows, seed=1):
    rng = np.random.default_rng(seed)
    return pd.DataFrame({
        "window-type": rng.choice([1, 2, 3], rows, p=[0.6, 0.25, 0.15]),
        "depth": rng.uniform(3, 8, rows).round(1),
        "width": rng.uniform(3, 20, rows).round(1),
        "site": rng.choice(k.sites()["name"], rows),
        "illuminance": rng.choice([300, 500, 750], rows),
    })


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
    cli = sys.argv[2] if len(sys.argv) > 2 else "build/bin/korvane-energy-cli"
    rooms = stock(rows)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "stock.csv")
        rooms.to_csv(path, index=False)
        start = time.perf_counter()
        with open(os.devnull, "w") as sink:
            subprocess.run([cli, "--batch", path], stdout=sink, check=False)
        timings = {"korvane-energy-cli --batch": time.perf_counter() - start}
    start = time.perf_counter()
    local = k.batch(rooms)
    timings["korvane_energy.batch(df)"] = time.perf_counter() - start
    with LocalCluster(n_workers=2, processes=True, threads_per_worker=1, dashboard_address=None) as cluster, \
            Client(cluster):
        start = time.perf_counter()
        distributed = korvane_energy.dask.batch(dd.from_pandas(rooms, npartitions=16)).compute()
        timings["korvane_energy.dask.batch(ddf), LocalCluster of 2 processes"] = time.perf_counter() - start
    assert distributed["fraction"].equals(local["fraction"])
    for name, seconds in timings.items():
        print(f"{name}: {rows} rooms in {seconds:.1f} s, {rows / seconds:,.0f} rooms/s")


if __name__ == "__main__":
    main()
