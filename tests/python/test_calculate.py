import pickle
import shutil

import pandas as pd
import pytest

import korvane_energy as k
from conftest import EPW, cli_json

# Rooms through calculate and through the calculator's --json: every window type and period, the model's
# messages, the refusals, both decimal habits of a string.
ROOMS = {
    "defaults": {},
    "facade band 90": dict(period=6, depth=6, band=90),
    "facade band 30, deep": dict(band=30, depth="7.5", window_height=2.5),
    "flat roof": dict(window_type=2, width=10, depth=8, room_height=4.5, window_area=1.5),
    "flat roof outside its tables": dict(window_type=2, depth=40, width=1),
    "sawtooth": dict(window_type=3, depth=15, width=24, site="wien", period=12),
    "sawtooth slope 60": dict(window_type=3, slope=60, window_distance=4, period=3),
    "site by other spelling, German": dict(site="Munich", language=1, period=1),
    "coordinate wins over site": dict(site="berlin", latitude=-33.9, gmt=2),
    "gear and energy": dict(min_power_fraction=0.3, min_light_fraction=0.1, control="continuous-off",
                            power_density=10),
    "decimal point string": dict(depth="4.5", width=" 5"),
    "southern, west": dict(longitude=-70.6, latitude=-33.4, gmt=-4, begin=7, end=19),
    "decimal comma string": dict(depth="4,5"),
    "negative depth": dict(depth=-1),
    "too long": dict(window_height="12.345"),
    "hours reversed": dict(begin=9, end=8),
    "hour out of range": dict(end=25),
    "unknown site": dict(site="Frankfrt"),
    "gear out of range": dict(min_power_fraction=0.7),
    "unknown control": dict(control="off"),
    "transmittance": dict(transmittance=150),
    "latitude beyond": dict(latitude=95),
    "type not whole": dict(window_type="1.5"),
    "weather file": dict(weather=EPW, depth=6),
    "weather with a site": dict(weather=EPW, site="berlin"),
    "weather with a coordinate": dict(weather=EPW, longitude=9),
}


@pytest.mark.parametrize("room", ROOMS.values(), ids=ROOMS.keys())
def test_calculate_as_the_calculator(cli, room):
    expected = cli_json(room)
    if isinstance(expected, str):
        with pytest.raises(ValueError) as refused:
            k.calculate(**room)
        assert str(refused.value) == expected
        return
    r = k.calculate(**room)
    assert (r.percent, r.fraction, r.autonomy) == (expected["percent"], expected["fraction"], expected["autonomy"])
    error = expected["error"]
    assert r.message == (k.Message(error["number"], error["source"], error["description"]) if error else None)
    assert (r.energy and vars(r.energy)) == expected.get("energy")


@pytest.mark.parametrize("room", [{}, dict(window_type=3, slope=60), dict(site="oslo", power_density=8),
                                  dict(weather=EPW, begin=7)])
def test_all_periods_as_the_calculator(cli, room):
    expected = cli_json({**room, "period": "all"})["periods"]
    results = k.calculate(**room, period="all")
    assert [(r.period, r.period_name, r.percent, r.fraction) for r in results] == \
        [(p["period"], p["name"], p["percent"], p["fraction"]) for p in expected]
    assert [r.message and r.message.description for r in results] == \
        [p["error"] and p["error"]["description"] for p in expected]


def test_engine_error_raises_with_number_source_description(cli):
    expected = cli_json(dict(illuminance=0))["error"]
    with pytest.raises(k.CalculationError) as raised:
        k.calculate(illuminance=0)
    e = raised.value
    assert (e.number, e.source, e.description) == (expected["number"], expected["source"],
                                                    expected["description"])


BAD = {
    "list": (dict(depth=[4]), TypeError),
    "bool": (dict(band=True), TypeError),
    "number for a site": (dict(site=3), TypeError),
    "NaN": (dict(depth=float("nan")), ValueError),
    "infinity": (dict(width=float("inf")), ValueError),
    "language": (dict(language=7), ValueError),
    "unknown argument": (dict(dept=4), TypeError),
    "weather not a path": (dict(weather=3), TypeError),
}


@pytest.mark.parametrize("room, error", BAD.values(), ids=BAD.keys())
def test_bad_arguments(room, error):
    with pytest.raises(error, match=next(iter(room)) if error is not TypeError or "dept" not in room else ""):
        k.calculate(**room)


def test_result_reads_and_pickles():
    r = k.calculate(power_density=10)
    assert str(k.calculate()) == "69%"
    assert repr(r).startswith("Result(percent=69, fraction=0.686099851330147")
    assert f"autonomy={r.autonomy!r}" in repr(r)
    assert pickle.loads(pickle.dumps(r)) == r


def test_room_file_round_trip(tmp_path, cli):
    path = tmp_path / "office.kvroom"
    path.write_text('{"format": "korvane-energy-room", "version": 1, "workingHours": {"begin": 7, "end": 16},'
                    ' "period": 3, "room": {"depth": 6, "width": 5, "illuminance": 300},'
                    ' "site": {"name": "Berlin", "longitude": 13.4, "latitude": 52.52, "gmt": 1},'
                    ' "glazing": {"choice": 0, "transmittance": 70}, "windowType": 1,'
                    ' "facadeWindows": {"band": 90, "windowHeight": 2},'
                    ' "flatRoof": {"roomHeight": 4, "windowArea": 1, "distance": 2},'
                    ' "sawtoothRoof": {"glassHeight": 1, "roomHeight": 4, "distance": 5, "slope": 90}}')
    room = k.read_room(path)
    assert (room["depth"], room["site"], room["window_type"]) == (6, "Berlin", 1)
    fraction = cli_json({"room": path})["fraction"]
    assert k.calculate(**room).fraction == k.calculate(room_file=path).fraction == fraction
    assert k.batch(pd.DataFrame({"room": ["a"]}), room_file=path)["fraction"].tolist() == [fraction]
    path.write_text(path.read_text().replace('"windowType"', '"weather": "../sky/a.epw", "windowType"'))
    assert k.read_room(path)["weather"] == str(tmp_path.parent / "sky" / "a.epw")
    with pytest.raises(ValueError, match="cannot read"):
        k.read_room(tmp_path / "none.kvroom")


def test_sites_as_listed(cli):
    import json
    from conftest import run_cli
    listed = json.loads(run_cli("--list-sites", "--json").stdout)
    table = k.sites()
    assert table.to_dict("records") == listed


def test_weather_file_read_again_once_replaced(tmp_path):
    path = tmp_path / "year.epw"
    shutil.copy(EPW, path)
    assert k.calculate(weather=path).percent == 85
    path.write_text("LOCATION,x\n")
    with pytest.raises(k.CalculationError, match="year.epw"):
        k.calculate(weather=path)
