"""korvane_energy.batch over a Dask DataFrame, partition by partition, on a laptop or a cluster alike.

>>> from distributed import Client
>>> client = Client("tcp://scheduler:8786")  # or Client() for the cores of this machine
>>> result = korvane_energy.dask.batch(dask.dataframe.read_csv("stock-*.csv")).compute()

The workers need korvane_energy installed; nothing else changes between one machine and many.
"""

import korvane_energy


def batch(ddf, *, period=None, language=2, **defaults):
    """``korvane_energy.batch`` on every partition of a ``dask.dataframe.DataFrame``.

    The arguments are those of ``korvane_energy.batch``. The output's columns and dtypes are declared
    up front (the input's, then ``percent``, ``fraction``, ``error_number``, ``error_description``, ...), so
    that nothing is computed before ``.compute()``; a table ``batch`` refuses is refused here at once.

    Returns
    -------
    dask.dataframe.DataFrame
        The same partitions and index, each with its rooms' results.
    """
    # The results of no rows: the columns and dtypes every partition gives.
    meta = korvane_energy.batch(ddf._meta, period=period, language=language, **defaults)
    return ddf.map_partitions(korvane_energy.batch, period=period, language=language, meta=meta, **defaults)
