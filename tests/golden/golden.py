#!/usr/bin/env python3
"""Every mode of the calculator against the outputs it gave before: exit code, standard output, standard
error, and the files it writes (an SVG as it is, a workbook as its cells with their number formats).

usage: golden.py PATH_TO_CLI [--update] [NAME ...]
--update writes the expected files anew instead of comparing; review `git diff tests/golden` after it.
"""
import difflib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
M = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
HELP = "Estimates the lighting energy"  # the first line of the usage text, which follows each usage error


def cases():
    with open(os.path.join(HERE, "cases.txt"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                name, _, args = line.partition("|")
                yield name.strip(), shlex.split(args)


def without_help(text):
    at = text.find(HELP)
    return text if at < 0 else text[:at] + "[usage text]\n"


def workbook(path):
    """Sheet 1 row by row, each cell as written (text quoted, numbers with their format), then its layout."""
    with zipfile.ZipFile(path) as book:
        read = lambda name: ET.fromstring(book.read(name))
        shared = [] if "xl/sharedStrings.xml" not in book.namelist() else [
            "".join(t.text or "" for t in si.iter(M + "t")) for si in read("xl/sharedStrings.xml")]
        styles = read("xl/styles.xml")
        codes = {f.get("numFmtId"): f.get("formatCode") for f in styles.iter(M + "numFmt")}
        formats = [codes.get(xf.get("numFmtId"), "") for xf in styles.find(M + "cellXfs")]
        sheet = read("xl/worksheets/sheet1.xml")
        lines = []
        for row in sheet.iter(M + "row"):
            cells = []
            for c in row.iter(M + "c"):
                v, kind = c.find(M + "v"), c.get("t")
                if kind == "s":
                    text = '"' + shared[int(v.text)] + '"'
                elif kind == "inlineStr":
                    text = '"' + "".join(t.text or "" for t in c.iter(M + "t")) + '"'
                else:
                    text = ("" if v is None else v.text) + f" [{formats[int(c.get('s', 0))]}]".replace(" []", "")
                cells.append(re.match(r"[A-Z]+", c.get("r")).group() + "=" + text)
            lines.append(" | ".join(cells))
        pane = sheet.find(f".//{M}pane")
        series = sum(len(ET.fromstring(book.read(n)).findall(
            ".//{http://schemas.openxmlformats.org/drawingml/2006/chart}ser"))
            for n in book.namelist() if n.startswith("xl/charts/"))
        lines.append(f"frozen columns {pane.get('xSplit', 0)} rows {pane.get('ySplit', 0)}; chart series {series}")
        return "\n".join(lines) + "\n"


def run(cli, args):
    with tempfile.TemporaryDirectory() as tmp:
        work = os.path.join(tmp, "run")
        shutil.copytree(os.path.join(HERE, "inputs"), work)
        before = set(os.listdir(work))
        stdin, stdout = subprocess.DEVNULL, subprocess.PIPE
        if "<" in args:
            at = args.index("<")
            stdin, args = open(os.path.join(work, args[at + 1]), "rb"), args[:at] + args[at + 2:]
        if ">" in args:
            at = args.index(">")
            stdout, args = open(args[at + 1], "wb"), args[:at] + args[at + 2:]
        r = subprocess.run([cli] + args, cwd=work, stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
                           env=dict(os.environ, LC_ALL="C", LANG="C"), timeout=120)
        text = lambda b: without_help((b or b"").decode("utf-8", "backslashreplace"))
        out = [f"$ korvane-energy-cli {shlex.join(args)}", f"exit {r.returncode}",
               "--- stdout", text(r.stdout) + "--- stderr", text(r.stderr)]
        for name in sorted(set(os.listdir(work)) - before):
            path = os.path.join(work, name)
            body = workbook(path) if name.endswith(".xlsx") else open(path, encoding="utf-8").read()
            out.append(f"--- file {name}\n{body}")
        return "\n".join(out)


def main():
    cli, update = os.path.abspath(sys.argv[1]), "--update" in sys.argv
    only = [a for a in sys.argv[2:] if a != "--update"]
    failed = []
    for name, args in cases():
        if only and name not in only:
            continue
        got, path = run(cli, args), os.path.join(HERE, "expected", name + ".txt")
        if update:
            with open(path, "w", encoding="utf-8") as f:
                f.write(got)
            continue
        expected = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
        if got != expected:
            failed.append(name)
            sys.stdout.writelines(difflib.unified_diff(expected.splitlines(True), got.splitlines(True),
                                                       f"expected/{name}.txt", "this build"))
    if failed:
        print(f"\n{len(failed)} outputs differ: {' '.join(failed)}\n"
              f"If the change is meant: python3 {os.path.relpath(__file__)} {cli} --update")
    else:
        print(f"every output as in {os.path.join(HERE, 'expected')}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
