"""KORVANE Energy: the lighting energy a daylight-dependent control saves in one room, in whole percent.

The same engine, checks and defaults as the command-line calculator ``korvane-energy-cli``:

>>> import korvane_energy as k
>>> print(k.calculate())
69%
>>> k.calculate(window_type=2, width=10, depth=8, room_height=4.5, window_area=1.5).percent
95

``calculate`` computes one room, ``batch`` a pandas DataFrame of rooms (``korvane_energy.dask.batch`` a Dask
one), ``sites`` lists the site file and ``read_room`` reads a room file saved by the window.
"""

import numbers
import os
import warnings
from dataclasses import dataclass
from typing import List, Optional, Union

from . import _core
from ._errors import CalculationError, InputError, python_name

__version__ = _core.version
__all__ = ["calculate", "batch", "sites", "read_room", "Result", "Message", "Energy", "CalculationError",
           "InputError", "__version__"]

_HERE = os.path.dirname(os.path.abspath(__file__))
_GEO = os.path.join(_HERE, "DEFAULT.GEO")
_ALIASES = os.path.join(_HERE, "SITE_ALIASES.txt")
# Option names without dashes, as the calculator and a batch file's header name them.
_OPTIONS = [name for name, *_ in _core.room_options()] + ["room-file"]
_TEXT_OPTIONS = {"site", "control", "room-file", "weather"}
_PATH_OPTIONS = {"room-file", "weather"}
_CHUNK_ROWS = 16384  # rows converted at once: memory stays bounded whatever the table's length


@dataclass(frozen=True)
class Message:
    """What the engine said about a calculation: number, source and description, as the calculator's JSON."""

    number: int
    source: str
    description: str


@dataclass(frozen=True)
class Energy:
    """Lighting energy of the period, from the installed power density."""

    floor_area_m2: float  #: depth x width, m²
    working_hours: float  #: working hours a day x days of the period, h
    kwh_without_control: float  #: energy without the control, kWh
    kwh_with_control: float  #: energy with the control, kWh
    kwh_saved: float  #: without minus with, kWh


@dataclass(frozen=True)
class Result:
    """The saving of one room over one period.

    Attributes
    ----------
    percent : int
        Saving in whole percent, 0 to 100 (the fraction times 100, rounded half away from zero).
    fraction : float
        Saved fraction of the lighting energy: 0 nothing saved, 1 no artificial light needed.
    period : int
        0 the whole year, 1 to 12 January to December.
    period_name : str
        The period's name in the language of the calculation ("Whole year").
    message : Message or None
        The window model's message when an input lay outside its tables; the percent it computed is kept.
    energy : Energy or None
        The period's energy, when a power density was given.
    autonomy : float or None
        Daylight autonomy: the share of the working hours that daylight alone lights, 0 to 1.
    """

    percent: int
    fraction: float
    period: int = 0
    period_name: str = ""
    message: Optional[Message] = None
    energy: Optional[Energy] = None
    autonomy: Optional[float] = None

    def __str__(self):
        return f"{self.percent}%" + (f" ({self.message.description})" if self.message else "")

    def __repr__(self):
        text = f"Result(percent={self.percent}, fraction={self.fraction!r}, period={self.period} ({self.period_name})"
        if self.message:
            text += f", message={self.message.description!r}"
        if self.autonomy is not None:
            text += f", autonomy={self.autonomy!r}"
        if self.energy:
            text += f", kwh_saved={self.energy.kwh_saved!r}"
        return text + ")"


def _text(name, value):
    """The option text of an argument, after the checks of its type that the calculator never needs."""
    if name in _PATH_OPTIONS and isinstance(value, os.PathLike):
        value = os.fspath(value)
    if isinstance(value, bool) or not isinstance(value, (str, numbers.Real)):
        raise TypeError(f"{python_name(name)}: expected a number or a string, got {type(value).__name__}")
    if name in _TEXT_OPTIONS and not isinstance(value, str):
        raise TypeError(f"{python_name(name)}: expected a string, got {type(value).__name__}")
    if isinstance(value, numbers.Integral):
        return str(int(value))
    if not isinstance(value, str):
        value = float(value)
        if value != value or value in (float("inf"), float("-inf")):
            raise InputError(f"{python_name(name)}: {value!r} is not a finite number", 13)
    return _core.cell_text(value)


def _result(row):
    period, name, percent, fraction, message, energy, autonomy = row
    return Result(percent, fraction, period, name, Message(*message) if message else None,
                  Energy(*energy) if energy else None, autonomy)


def calculate(*, window_type=None, begin=None, end=None, period=None, depth=None, width=None,
              illuminance=None, longitude=None, latitude=None, gmt=None, transmittance=None, band=None,
              window_height=None, room_height=None, window_area=None, window_distance=None, slope=None,
              site=None, min_power_fraction=None, min_light_fraction=None, control=None, power_density=None,
              room_file=None, language=2, weather=None):
    """The lighting energy a daylight-dependent control saves in one room over a period.

    Every argument left at None takes the calculator's default, and every value is checked as the
    calculator checks its options: numbers may also be given as strings with a ``.`` decimal point, as on
    the command line ("4.5"), and the value must fit the window's field (``depth="12.345"`` is too long).

    Parameters
    ----------
    window_type : int, default 1
        1 facade windows, 2 flat roof with roof lights, 3 sawtooth roof.
    begin, end : int, default 8 and 17
        Working hours, 0 to 24, begin before end. The hour that begins at ``end`` is not worked.
    period : int or "all", default 0
        0 the whole year (365 days), 1 to 12 January to December; "all" returns the year and each month.
    depth, width : float, default 4 and 5
        Room depth from the window wall, and width along it, m; not below 0.
    illuminance : int, default 500
        Nominal illuminance on the working plane, lx.
    longitude : float, default 8.68
        Site longitude in decimal degrees, -180 to 180. Positive east of Greenwich.
    latitude : float, default 50.11
        Site latitude in decimal degrees, -90 to 90. Positive north of the equator.
    gmt : int, default 1
        Hours the site's standard time is ahead of GMT, -24 to 24 (1 for Central Europe). No daylight
        saving time is applied.
    transmittance : int, default 80
        Light transmittance of the glazing, percent, 0 to 100.
    band : int, default 60
        Facade windows: share of the window wall taken by the window band, percent (30, 60, 90 tabulated).
    window_height : float, default 2 (type 1) or 1 (type 3)
        Active window height (type 1) or glass height of one sawtooth row (type 3), m.
    room_height : float, default 4
        Room height, types 2 and 3, m.
    window_area : float, default 1
        Area of one roof light, type 2, m².
    window_distance : float, default 2 (type 2) or 5 (type 3)
        Distance between roof lights (type 2) or sawtooth rows (type 3), m.
    slope : int, default 90
        Slope of the sawtooth glazing from the horizontal, degrees (60 and 90 tabulated).
    site : str, optional
        Longitude, latitude and GMT difference of the first site of the site list whose name contains
        this text, in any case, with or without accents, or another spelling ("Munich"). Explicit
        ``longitude``, ``latitude`` and ``gmt`` win over it.
    min_power_fraction, min_light_fraction : float, default 0
        Power drawn and light given at the lowest dimming level of the gear, each 0 to 0.6 of full.
    control : str, default "continuous"
        "continuous", or "continuous-off" (off in the hours when daylight alone is enough).
    power_density : float, optional
        Installed lighting power, W/m², 0 to 1000000: adds the period's energy to the result.
    room_file : str, optional
        A room file (.kvroom) whose inputs are taken wherever the arguments say nothing.
    language : int, default 2
        Language of the model's messages and the period names: 1 de, 2 en, 3 fr, 4 it, 5 nl, 6 es.
    weather : str or os.PathLike, optional
        An EPW weather file (.epw) whose sky replaces the standard overcast sky: each working hour is lit by
        the file's diffuse horizontal illuminance, and the site (longitude, latitude, time zone rounded to
        whole hours) is the file's own, so ``site``, ``longitude``, ``latitude`` and ``gmt`` cannot be given
        with it (ValueError). The file is read once and kept for later calls while it stays unchanged.

    Returns
    -------
    Result, or a list of 13 Results (the year, then January to December) for ``period="all"``.

    Raises
    ------
    InputError
        (a ValueError) for a value the calculator refuses, naming the argument, the value and the range.
    TypeError
        For an argument that is neither a number nor a string.
    CalculationError
        For an engine error that leaves no result (number, source, description). A window model's message
        is no error: it is the result's ``message``.
    """
    if isinstance(language, bool) or not isinstance(language, numbers.Integral):
        raise TypeError(f"language: expected an integer, got {type(language).__name__}")
    given = dict(locals())
    del given["language"]
    all_periods = isinstance(period, str) and period == "all"
    texts = {}
    for name, value in given.items():
        if value is None or (name == "period" and all_periods):
            continue
        option = name.replace("_", "-")
        texts[option] = _text(option, value)
    rows = [_result(row) for row in _core.calculate(texts, all_periods, int(language), _GEO, _ALIASES)]
    for row in rows:
        if row.percent is None and row.message is not None:
            if not all_periods:
                raise CalculationError(row.message.number, row.message.source, row.message.description)
    return rows if all_periods else rows[0]


def _option_columns(columns, warn=False):
    """The option each column of a table sets (None for a column passed through); refuses clashes. With
    warn, a column passed through whose name looks like a misspelt option's gets the calculator's warning."""
    options, seen, warned = [], {}, set()
    for column in columns:
        name = column.strip().lower().replace("_", "-") if isinstance(column, str) else None
        option = name if name in _OPTIONS else None
        if option and option in seen:
            raise ValueError(f"the columns {seen[option]!r} and {column!r} both set {python_name(option)}")
        if option:
            seen[option] = column
        elif warn and name is not None and name not in warned:
            warned.add(name)
            warning = _core.column_warning(name, column.strip())
            if warning:
                warnings.warn(warning, UserWarning, stacklevel=3)
        options.append(option)
    return options


def result_columns(columns, *, period=None, **defaults):
    """The columns batch adds to a table with these columns, in order."""
    options = _option_columns(columns)
    energy = "power-density" in options or defaults.get("power_density") is not None
    return _core.result_columns(energy, isinstance(period, str) and period == "all")


def batch(df, *, period=None, language=2, **defaults):
    """Every room of a DataFrame, one per row: a new DataFrame with the input's columns and the results.

    A column named like an argument of ``calculate`` (in any case, with dashes or underscores, blanks around
    ignored: ``window_type``, ``Window-Type``) sets that value per row; an empty cell (None, NaN) or a
    missing column takes the value of ``defaults`` (keyword arguments as ``calculate`` takes them) or the
    calculator's default; a ``room_file`` column names a room file per row, a ``weather`` column an EPW file
    whose sky the row is under (a row that also names a site or coordinates gets that as its error). Any
    other column is passed through unchanged, with a UserWarning, the calculator's, when its name is one
    edit or two from an argument's (``Depht``). Rows are computed on every core with the GIL released, rooms
    at the same site and working hours sharing their sky hours; the numbers are those of
    ``korvane-energy-cli --batch`` on the same rows.

    Parameters
    ----------
    df : pandas.DataFrame
    period : int or "all", optional
        As in ``calculate``; "all" gives each row the year and the twelve months (``percent_year``,
        ``percent_01`` ... ``percent_12``, and ``saved_kwh_*`` with a power density) and cannot be
        combined with a ``period`` column.
    language : int, default 2
        Language of the error descriptions: 1 de, 2 en, 3 fr, 4 it, 5 nl, 6 es.
    **defaults
        Values for every row that leaves them out, as ``calculate`` takes them.

    Returns
    -------
    pandas.DataFrame
        The input's columns and index, then ``percent`` (Int64, saving in whole percent), ``fraction``
        (float, the saved fraction), ``error_number`` (Int64) and ``error_description`` (str) of the row's
        error or the model's message, both empty without one; with a power density, ``floor_area_m2``,
        ``working_hours`` (h), ``kwh_without_control``, ``kwh_with_control`` and ``kwh_saved`` (kWh).
        A row whose inputs are refused has no percent and its error; the other rows are computed.

    Raises
    ------
    ValueError
        When two columns set the same argument, a column passed through has the name of a result column,
        or ``period="all"`` meets a ``period`` column. InputError for a refused value of ``defaults``, and
        for a ``weather`` default given with a site or coordinates.
    """
    import numpy as np
    import pandas as pd

    if not isinstance(df, pd.DataFrame):
        raise TypeError(f"batch: expected a pandas DataFrame, got {type(df).__name__}")
    if isinstance(language, bool) or not isinstance(language, numbers.Integral):
        raise TypeError(f"language: expected an integer, got {type(language).__name__}")
    all_periods = isinstance(period, str) and period == "all"
    if period is not None and not all_periods:
        defaults["period"] = period
    unknown = sorted(set(defaults) - {python_name(o) for o in _OPTIONS})
    if unknown:
        raise TypeError(f"batch: unexpected keyword argument {unknown[0]!r}")
    options = _option_columns(df.columns, warn=True)
    if all_periods and "period" in options:
        raise ValueError("period='all' computes every period: the column 'period' cannot be used with it")
    texts = {name.replace("_", "-"): _text(name.replace("_", "-"), value)
             for name, value in defaults.items() if value is not None}
    names = result_columns(df.columns, period=period, **defaults)
    clashes = [c for c, o in zip(df.columns, options)
               if o is None and str(c).strip().lower() in set(names)]
    if clashes:
        raise ValueError(f"the columns {clashes} have the name of a result column: rename them")

    engine = _core.Batch(texts, all_periods, int(language), _GEO, _ALIASES)
    used = [(i, o) for i, o in enumerate(options) if o]
    n = len(df)
    out = {name: (np.empty(n, dtype=object) if name == "error_description" else np.full(n, np.nan))
           for name in names}
    for start in range(0, n, _CHUNK_ROWS):
        stop = min(n, start + _CHUNK_ROWS)
        cells = [df.iloc[start:stop, i].tolist() for i, _ in used]
        part = engine.run([o for _, o in used], cells, stop - start)
        for name in names:
            out[name][start:stop] = part[name]
    result = df.copy()
    for name in names:
        values = out[name]
        if name.startswith("percent") or name == "error_number":
            missing = np.isnan(values)
            values = pd.arrays.IntegerArray(np.where(missing, 0, values).astype("int64"), missing)
        result[name] = pd.Series(values, index=df.index, name=name)
    return result


def sites(path=None):
    """The site list as a DataFrame: index, name, longitude, latitude, gmt, aliases.

    Parameters
    ----------
    path : str, optional
        A site file (``name;longitude;latitude;GMT difference`` a line, decimal commas); the default list
        when None, whose sites also carry their other spellings (``aliases``).

    Returns
    -------
    pandas.DataFrame
        ``longitude`` and ``latitude`` in decimal degrees (east and north positive), ``gmt`` the hours the
        site's standard time is ahead of GMT; ``index`` is the site's line among the sites, from 1.
    """
    import pandas as pd

    rows = _core.sites(_GEO if path is None else os.fspath(path), _ALIASES if path is None else "")
    return pd.DataFrame(rows, columns=["index", "name", "longitude", "latitude", "gmt", "aliases"])


def _value(text):
    for kind in (int, float):
        try:
            return kind(text)
        except ValueError:
            pass
    return text


def read_room(path):
    """The inputs of a room file (.kvroom) as a dict of ``calculate``'s arguments.

    ``calculate(**read_room(path))`` gives what the window shows for the file; numbers come as int or
    float, the site by name where the file names one, else as its coordinates. A room that names a weather
    file also gives ``weather``, its absolute path (a relative one is relative to the room file's folder);
    ``calculate`` takes it instead of the site, so drop ``site``, ``longitude``, ``latitude`` and ``gmt`` to
    calculate under it, or ``weather`` for the standard sky.

    Raises
    ------
    InputError
        Number 53 when the file cannot be read, 321 when it is no usable room file, with what is wrong.
    """
    return {python_name(name): (text if name in _TEXT_OPTIONS else _value(text))
            for name, text in _core.read_room(os.fspath(path)).items()}
