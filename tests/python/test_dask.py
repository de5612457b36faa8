import copy

import dask.dataframe as dd
import pytest
from distributed import Client, LocalCluster

import korvane_energy as k
import korvane_energy.dask
from conftest import cli_batch
from test_batch import assert_same_results, generated_rooms


@pytest.fixture(scope="module")
def client():
    with LocalCluster(n_workers=2, processes=True, threads_per_worker=1, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        yield client


def test_stock_on_a_local_cluster(cli, client):
    rooms = generated_rooms(200_000, seed=11)
    lazy = korvane_energy.dask.batch(dd.from_pandas(rooms, npartitions=8))
    result = lazy.compute()
    assert result.dtypes.equals(lazy._meta.dtypes) and result.index.equals(rooms.index)
    sample = result.sample(1000, random_state=5)
    expected = cli_batch(rooms.loc[sample.index].to_csv(index=False))
    assert_same_results(sample.reset_index(drop=True), expected, len(rooms.columns))


def test_results_travel_to_workers_and_back(client):
    result = k.calculate(power_density=10, window_type=3, slope=60)
    assert client.submit(copy.deepcopy, result).result() == result
    assert client.submit(k.calculate, site="wien").result() == k.calculate(site="wien")
    with pytest.raises(k.InputError, match="depth: '-1' is below 0"):
        client.submit(k.calculate, depth=-1).result()
