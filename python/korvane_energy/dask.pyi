from typing import Any, Literal, Union

import dask.dataframe as dd

def batch(ddf: dd.DataFrame, *, period: Union[None, int, Literal["all"]] = ..., language: int = ...,
          **defaults: Any) -> dd.DataFrame: ...
