from dataclasses import dataclass
from os import PathLike
from typing import Any, List, Literal, Optional, Union, overload

import pandas as pd

__version__: str

Number = Union[int, float, str]
Path = Union[str, PathLike[str]]

class InputError(ValueError):
    number: int
    def __init__(self, message: str, number: int) -> None: ...

class CalculationError(RuntimeError):
    number: int
    source: str
    description: str
    def __init__(self, number: int, source: str, description: str) -> None: ...

@dataclass(frozen=True)
class Message:
    number: int
    source: str
    description: str

@dataclass(frozen=True)
class Energy:
    floor_area_m2: float
    working_hours: float
    kwh_without_control: float
    kwh_with_control: float
    kwh_saved: float

@dataclass(frozen=True)
class Result:
    percent: int
    fraction: float
    period: int = ...
    period_name: str = ...
    message: Optional[Message] = ...
    energy: Optional[Energy] = ...
    autonomy: Optional[float] = ...

@overload
def calculate(*, window_type: Optional[Number] = ..., begin: Optional[Number] = ..., end: Optional[Number] = ...,
              period: Optional[Number] = ..., depth: Optional[Number] = ..., width: Optional[Number] = ...,
              illuminance: Optional[Number] = ..., longitude: Optional[Number] = ...,
              latitude: Optional[Number] = ..., gmt: Optional[Number] = ..., transmittance: Optional[Number] = ...,
              band: Optional[Number] = ..., window_height: Optional[Number] = ...,
              room_height: Optional[Number] = ..., window_area: Optional[Number] = ...,
              window_distance: Optional[Number] = ..., slope: Optional[Number] = ..., site: Optional[str] = ...,
              min_power_fraction: Optional[Number] = ..., min_light_fraction: Optional[Number] = ...,
              control: Optional[Literal["continuous", "continuous-off"]] = ...,
              power_density: Optional[Number] = ..., room_file: Optional[Path] = ..., language: int = ...,
              weather: Optional[Path] = ...) -> Result: ...
@overload
def calculate(*, period: Literal["all"], window_type: Optional[Number] = ..., begin: Optional[Number] = ...,
              end: Optional[Number] = ..., depth: Optional[Number] = ..., width: Optional[Number] = ...,
              illuminance: Optional[Number] = ..., longitude: Optional[Number] = ...,
              latitude: Optional[Number] = ..., gmt: Optional[Number] = ..., transmittance: Optional[Number] = ...,
              band: Optional[Number] = ..., window_height: Optional[Number] = ...,
              room_height: Optional[Number] = ..., window_area: Optional[Number] = ...,
              window_distance: Optional[Number] = ..., slope: Optional[Number] = ..., site: Optional[str] = ...,
              min_power_fraction: Optional[Number] = ..., min_light_fraction: Optional[Number] = ...,
              control: Optional[Literal["continuous", "continuous-off"]] = ...,
              power_density: Optional[Number] = ..., room_file: Optional[Path] = ..., language: int = ...,
              weather: Optional[Path] = ...) -> List[Result]: ...
def batch(df: pd.DataFrame, *, period: Union[None, int, Literal["all"]] = ..., language: int = ...,
          **defaults: Any) -> pd.DataFrame: ...
def result_columns(columns: Any, *, period: Union[None, int, Literal["all"]] = ..., **defaults: Any) -> List[str]: ...
def sites(path: Optional[Path] = ...) -> pd.DataFrame: ...
def read_room(path: Path) -> dict[str, Union[int, float, str]]: ...
