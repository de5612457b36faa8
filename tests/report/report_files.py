#!/usr/bin/env python3
"""The calculator's workbooks and charts, read back with Python's own zip and XML readers.

Each run is also made without the file options: standard output must not change. A workbook's cells must
equal what the same run prints (CSV for a batch, JSON for the periods), typed: numbers as numbers, text as text.

usage: report_files.py PATH_TO_CLI
"""
import csv
import io
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

CLI = sys.argv[1]
NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
      "c": "http://schemas.openxmlformats.org/drawingml/2006/chart", "svg": "http://www.w3.org/2000/svg"}
ROOMS = "room,window-type,depth,width,site\nOffice 1.01,1,4,5,frankfurt\nHall & <x>,2,20,30,berlin\n" + \
    "".join(f"{i:03},1,{3 + i % 6},{4 + i % 5},wien\n" for i in range(11)) + "Bad,1,12,5,nowhere\n"
DEEP = "depth,width\n4,5\n12,5\n"  # no name column; the second room's model leaves a message
failures = []


def run(args, expect=None):
    r = subprocess.run([CLI] + args, capture_output=True, text=True)
    if expect is not None and r.returncode != expect:
        failures.append(f"{args}: exit {r.returncode}, expected {expect}: {r.stderr[:200]}")
    return r


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")


def cells(book):
    """Sheet 1 as {(row, column): value}, numbers as float and text as str."""
    shared = []
    if "xl/sharedStrings.xml" in book.namelist():
        shared = ["".join(t.text or "" for t in si.iter(f"{{{NS['m']}}}t"))
                  for si in ET.fromstring(book.read("xl/sharedStrings.xml")).findall("m:si", NS)]
    sheet = ET.fromstring(book.read("xl/worksheets/sheet1.xml"))
    table = {}
    for c in sheet.iter(f"{{{NS['m']}}}c"):
        col, row = re.match(r"([A-Z]+)(\d+)", c.get("r")).groups()
        index = sum((ord(ch) - 64) * 26 ** i for i, ch in enumerate(reversed(col))) - 1
        kind, v = c.get("t"), c.find("m:v", NS)
        if kind == "inlineStr":
            value = "".join(t.text or "" for t in c.iter(f"{{{NS['m']}}}t"))
        elif kind == "s":
            value = shared[int(v.text)]
        else:
            value = float(v.text)
        table[(int(row) - 1, index)] = value
    return table, sheet


def as_cell(text, passed_through):
    if text == "":
        return None
    try:
        return text if passed_through else float(text)
    except ValueError:
        return text


# name, arguments, batch text or None, passed-through columns, frozen (columns, rows), chart series or None
XLSX = [
    ("periods", ["--period", "all", "--power-density", "10", "--language", "1"], None, {0}, ("1", "1"), 1),
    ("periods with errors", ["--period", "all", "--depth", "12"], None, {0}, ("1", "1"), 1),
    ("batch", ["--json"], ROOMS, {0}, ("1", "1"), None),
    ("batch without names", [], DEEP, set(), (None, "1"), None),
    ("batch of months", ["--period", "all"], ROOMS, {0}, ("1", "1"), 10),
]
SVG = [  # name, room, period printed, names expected first, error marked
    ("German", ["--language", "1"], [], ["ganzes Jahr", "Januar", "Februar", "März"], False),
    ("French, June printed, errors", ["--language", "3", "--depth", "12"], ["--period", "6"],
     ["année entière", "Janvier", "Février", "Mars"], True),
]

with tempfile.TemporaryDirectory() as tmp:
    for name, args, batch, passed, frozen, series in XLSX:
        if batch is not None:
            with open(os.path.join(tmp, "rooms.csv"), "w") as f:
                f.write(batch)
            args = args + ["--batch", os.path.join(tmp, "rooms.csv")]
        target = os.path.join(tmp, name + ".xlsx")
        plain = run(args)
        if batch is not None and "cannot be combined with --batch" in plain.stderr:
            print(f"note: {name}: this build has no months per batch row")
            continue
        r = run(args + ["--xlsx", target], plain.returncode)
        check(name, r.stdout == plain.stdout, "standard output changed")
        with zipfile.ZipFile(target) as book:
            table, sheet = cells(book)
            sheets = ET.fromstring(book.read("xl/workbook.xml")).findall("m:sheets/m:sheet", NS)
            check(name, len(sheets) == 1, f"{len(sheets)} sheets")
            charts = [n for n in book.namelist() if n.startswith("xl/charts/")]
            check(name, len(charts) == (0 if series is None else 1), f"charts {charts}")
            if charts:
                found = len(ET.fromstring(book.read(charts[0])).findall(".//c:ser", NS))
                check(name, found == series, f"{found} series, expected {series}")
        pane = sheet.find(".//m:pane", NS)
        check(name, pane is not None and pane.get("state") == "frozen" and
              (pane.get("xSplit"), pane.get("ySplit")) == frozen, "frozen pane")
        if batch is None:  # the periods against --json
            periods = json.loads(plain.stdout if "--json" in args else run(args + ["--json"]).stdout)["periods"]
            header = ["period", "percent", "fraction", "error_number", "error_description"]
            expected = [[p["name"], p["percent"], p["fraction"], (p["error"] or {}).get("number"),
                         (p["error"] or {}).get("description")] for p in periods]
            if "energy" in periods[0]:
                header += list(periods[0]["energy"])
                expected = [e + list(p["energy"].values()) for e, p in zip(expected, periods)]
        else:  # the rows against the CSV the same run prints
            printed = list(csv.reader(io.StringIO(run([a for a in args if a != "--json"]).stdout)))
            header = printed[0]
            expected = [[as_cell(t, i in passed) for i, t in enumerate(row)] for row in printed[1:]]
        got_header = [table.get((0, i)) for i in range(len(header))]
        check(name, got_header == header, f"header {got_header}")
        for row, values in enumerate(expected, 1):
            for col, want in enumerate(values):
                got = table.get((row, col))
                same = got == want or (isinstance(want, (int, float)) and isinstance(got, float) and
                                       abs(got - want) <= 1e-15 * max(1, abs(want)))
                check(name, same, f"row {row} column {header[col]}: {got!r}, expected {want!r}")
        check(name, max(r for r, _ in table) == len(expected), "extra rows")

    for name, room, printed, first_names, errors in SVG:
        target = os.path.join(tmp, "room.svg")
        plain = run(room + printed)
        r = run(room + printed + ["--svg", target], plain.returncode)
        check(name, r.stdout == plain.stdout, "standard output changed")
        periods = json.loads(run(room + ["--period", "all", "--json"]).stdout)["periods"]
        svg = ET.parse(target).getroot()
        bars = [e for e in svg.iter(f"{{{NS['svg']}}}rect") if "bar" in e.get("class", "").split()]
        check(name, len(bars) == 13, f"{len(bars)} bars")
        heights = [float(b.get("height")) for b in bars]
        scale = heights[0] / periods[0]["percent"]
        check(name, all(abs(h - scale * p["percent"]) < 0.02 for h, p in zip(heights, periods)),
              f"heights {heights} for {[p['percent'] for p in periods]}")
        marked = ["error" in b.get("class").split() for b in bars]
        check(name, marked == [p["error"] is not None for p in periods] and any(marked) == errors,
              f"marked {marked}")
        labels = [t.text for t in svg.iter(f"{{{NS['svg']}}}text") if t.get("class") == "name"]
        check(name, labels[:4] == first_names and len(labels) == 13, f"names {labels}")

    # A write that fails: exit 4 with the reason, and nothing left where the file would have gone.
    folder = os.path.join(tmp, "taken")
    os.mkdir(folder)
    for args in (["--period", "all", "--xlsx", folder], ["--svg", folder],
                 ["--period", "all", "--xlsx", os.path.join(tmp, "missing", "x.xlsx")]):
        r = run(args, 4)
        left = [n for n in os.listdir(tmp) if n.startswith(".")] + os.listdir(folder)
        check(str(args), "error 75: cannot write" in r.stderr and not left, f"{r.stderr} left {left}")
    for args in (["--xlsx", "x.xlsx"], ["--svg", "x.svg", "--batch", "/dev/null"], ["--svg", "x", "--list-sites"]):
        run(args, 2)

    # An interrupt leaves no temporary file: SIGINT and SIGTERM while a batch waits for its next row, SIGPIPE
    # when the reader of its output has gone.
    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGPIPE):
        folder = os.path.join(tmp, sig.name)
        os.mkdir(folder)
        p = subprocess.Popen([CLI, "--batch", "-", "--xlsx", os.path.join(folder, "rooms.xlsx")],
                             stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        p.stdin.write(b"depth\n4\n")
        p.stdin.flush()
        p.stdout.readline(), p.stdout.readline()  # the first row is out: the workbook is being written
        started = os.listdir(folder)
        if sig == signal.SIGPIPE:
            p.stdout.close()
            p.stdin.write(b"5\n")
            p.stdin.flush()
        else:
            p.send_signal(sig)
        p.wait(timeout=60)
        check(sig.name, len(started) == 1 and p.returncode == -sig and not os.listdir(folder),
              f"exit {p.returncode}, before {started}, after {os.listdir(folder)}")

for f in failures:
    print("FAIL", f)
sys.exit(1 if failures else 0)
