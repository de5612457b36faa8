import io
import subprocess
import sys
import warnings

import numpy as np
import pandas as pd
import pytest

import korvane_energy as k
from conftest import EPW, cli_batch, run_cli

# Values a column takes, then values refused or outside the window models' tables, taken 3 times in 100.
GOOD_AND_BAD = {
    "window-type": (["1", "2", "3", ""], ["4", "x"]),
    "depth": (["4", "6.5", "12", ""], ["-1", "12.345", "abc", "40"]),
    "width": (["5", "10", "3.25", ""], ["0"]),
    "period": (["0", "1", "6", "12", ""], ["13"]),
    "site": (["berlin", "WIEN", "münchen", "Munich", ""], ["nowhere"]),
    "begin": (["8", "7", ""], ["18"]),
    "slope": (["90", "60", ""], ["75"]),
    "power-density": (["", "", "10", "12.5"], ["-3"]),
    "weather": (["", "", "", EPW], ["missing.epw"]),
}


def generated_rooms(rows, seed=7, columns=GOOD_AND_BAD):
    rng = np.random.default_rng(seed)
    pick = lambda good, bad: np.where(rng.random(rows) < 0.03, rng.choice(bad, rows), rng.choice(good, rows))
    table = pd.DataFrame({name: pick(*values) for name, values in columns.items()})
    table.insert(0, "room", [f"R{i}" for i in range(rows)])
    return table


def assert_same_results(result, expected, inputs):
    """The batch's result columns equal the calculator's output read as text."""
    assert list(result.columns) == list(expected.columns)
    for name in result.columns[inputs:]:
        got = result[name]
        if name == "error_description":
            assert got.fillna("").tolist() == expected[name].tolist()
        else:
            # float() reads the 17 digits exactly, which pandas' own fast parser does not promise.
            want = expected[name].map(lambda text: float(text) if text else np.nan)
            assert got.astype("float64").equals(want), name


@pytest.mark.parametrize("reader", [
    {"dtype": str, "keep_default_na": False},  # cells as the calculator reads them
    {},  # numbers and NaN as pandas reads them
], ids=["as text", "as pandas reads"])
def test_batch_as_the_calculator(cli, reader):
    rooms = generated_rooms(5000)
    csv = rooms.to_csv(index=False)
    result = k.batch(pd.read_csv(io.StringIO(csv), **reader))
    expected = cli_batch(csv)
    assert result["error_number"].notna().sum() > 500 and result["percent"].notna().sum() > 3000
    assert_same_results(result, expected, len(rooms.columns))


def test_all_periods_as_the_calculator(cli):
    columns = {name: values for name, values in GOOD_AND_BAD.items() if name != "period"}
    rooms = generated_rooms(400, seed=3, columns=columns).rename(columns={"window-type": "Window_Type"})
    result = k.batch(rooms, period="all", language=1, site="hamburg")
    expected = cli_batch(rooms.rename(columns={"Window_Type": "window-type"}).to_csv(index=False),
                         "--period", "all", "--language", "1", "--site", "hamburg")
    expected.columns = result.columns
    assert_same_results(result, expected, len(rooms.columns))


def test_rows_keep_index_and_passed_through_columns():
    rooms = pd.DataFrame({"Depht": [9, 9], " DEPTH ": [4, "-1"], "note": ["a", None]}, index=[10, 3])
    result = k.batch(rooms)
    assert result.index.tolist() == [10, 3]
    assert result[["Depht", "note"]].equals(rooms[["Depht", "note"]])
    assert result["percent"].tolist()[0] == 69 and result["error_number"].tolist()[1] == 5
    assert result["error_description"].tolist() == [None, "depth: '-1' is below 0"]


REFUSED = {
    "two columns for one option": (pd.DataFrame({"depth": [4], "Depth": [5]}), {}, "both set depth"),
    "a result column's name": (pd.DataFrame({"depth": [4], "Fraction": [1]}), {}, "result column"),
    "period column with all": (pd.DataFrame({"period": [1]}), {"period": "all"}, "cannot be used"),
    "bad default": (pd.DataFrame({"depth": [4]}), {"width": [2]}, "width: expected a number"),
    "weather default with a site": (pd.DataFrame({"depth": [4]}), {"weather": EPW, "site": "wien"}, "site cannot"),
}


@pytest.mark.parametrize("table, options, why", REFUSED.values(), ids=REFUSED.keys())
def test_refused_tables(table, options, why):
    with pytest.raises((ValueError, TypeError), match=why):
        k.batch(table, **options)


def test_empty_table_and_wrong_type():
    result = k.batch(pd.DataFrame({"depth": []}))
    assert list(result.columns) == ["depth", "percent", "fraction", "error_number", "error_description", "autonomy"]
    assert len(result) == 0
    with pytest.raises(TypeError):
        k.batch([{"depth": 4}])


MEMORY = """
import resource, sys, numpy as np, pandas as pd, korvane_energy as k
n = 1_000_000
rooms = pd.DataFrame({"depth": np.resize([4.0, 5.5, 6.0, np.nan], n), "period": np.resize([1, 2], n)})
before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
result = k.batch(rooms)
growth = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024 - before
size = result.memory_usage(deep=True).sum()
assert result["percent"].notna().all(), result.head()
print(growth, size)
sys.exit(0 if growth <= 3 * size else 1)
"""


def test_million_rows_in_bounded_memory():
    done = subprocess.run([sys.executable, "-c", MEMORY], capture_output=True, text=True)
    assert done.returncode == 0, done.stdout + done.stderr


@pytest.mark.parametrize("columns", [["Depht", " DEPTH ", "note"], ["widht", "bgin", "Window_Heigth", "room", "depth"]])
def test_misspelt_columns_warn_as_the_calculator(columns):
    csv = ",".join(columns) + "\n" + ",".join("1" for _ in columns) + "\n"
    prefix = "korvane-energy-cli: warning: "
    expected = [line.removeprefix(prefix) for line in run_cli("--batch", "-", stdin=csv).stderr.splitlines()
                if line.startswith(prefix)]
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        k.batch(pd.read_csv(io.StringIO(csv)))
    assert expected and [str(w.message) for w in caught if w.category is UserWarning] == expected
