import io
import json
import os
import re
import subprocess

import pandas as pd
import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EPW = os.path.join(ROOT, "tests", "weather", "data", "PVGIS_45.000N_8.000E_2005-2023.epw")
CLI = os.environ.get("KORVANE_CLI", os.path.join(ROOT, "build", "bin", "korvane-energy-cli"))


def run_cli(*args, stdin=None):
    return subprocess.run([CLI, *args], input=stdin, capture_output=True, text=True, env={"LC_ALL": "C"})


def cli_options(room):
    """The calculator's options for calculate's keyword arguments."""
    args = []
    for name, value in room.items():
        args += ["--" + name.replace("_", "-"), str(value)]
    return args


def cli_json(room):
    """The calculator's --json answer, or the refusal it prints, as the Python names put it."""
    done = run_cli(*cli_options(room), "--json")
    if done.returncode == 2:
        why = done.stderr.splitlines()[0].removeprefix("korvane-energy-cli: ")
        return re.sub(r"--([a-z-]+)", lambda m: m.group(1).replace("-", "_"), why)
    return json.loads(done.stdout)


def cli_batch(csv_text, *args):
    done = run_cli("--batch", "-", *args, stdin=csv_text)
    assert done.returncode in (0, 1), done.stderr
    return pd.read_csv(io.StringIO(done.stdout), keep_default_na=False, dtype=str)


@pytest.fixture(scope="session")
def cli():
    assert os.access(CLI, os.X_OK), f"no calculator at {CLI}"
    return CLI
