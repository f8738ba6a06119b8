#!/usr/bin/env python3
"""Throughput of corvane.distributed.convert_many on 1 and on 2 worker processes.

Copies the convertible corpus documents into a folder until it holds FILES files (default 2400), converts
the folder with a LocalCluster of one worker process and of two, RUNS times each (default 3, alternating),
and prints the median files/s and MB/s of each and their ratio. Needs the built module on PYTHONPATH:

    PYTHONPATH=build/release/python python3 bench/distributed.py [FILES] [RUNS]
"""

import os
import shutil
import statistics
import sys
import tempfile
import time
from pathlib import Path

# This file's name is the Dask package's: its own folder must not stand first on the import path.
HERE = Path(__file__).resolve().parent
sys.path = [entry for entry in sys.path if Path(entry or ".").resolve() != HERE]

import corvane  # noqa: E402
from corvane.distributed import convert_many  # noqa: E402
from dask.distributed import Client, LocalCluster  # noqa: E402

ROOT = HERE.parent


def make_folder(folder: Path, files: int) -> int:
    sources = []
    for document in sorted((ROOT / "tests" / "data" / "corpus").rglob("*.rtf")):
        try:
            corvane.convert(document.read_bytes())
            sources.append(document)
        except corvane.Error:
            pass
    size = 0
    for index in range(files):
        source = sources[index % len(sources)]
        shutil.copyfile(source, folder / f"{index:06d}-{source.name}")
        size += source.stat().st_size
    return size


def run(folder: Path, out: Path, workers: int) -> float:
    with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        client.submit(lambda: None).result()  # the workers are up before the clock starts
        started = time.perf_counter()
        results = convert_many([str(folder)], str(out), client=client)
        elapsed = time.perf_counter() - started
    failed = [result for result in results if result.error]
    if failed:
        sys.exit(f"{len(failed)} conversions failed, the first: {failed[0].error}")
    shutil.rmtree(out)
    return elapsed


def main() -> None:
    files = int(sys.argv[1]) if len(sys.argv) > 1 else 2400
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    with tempfile.TemporaryDirectory(dir="/dev/shm" if os.path.isdir("/dev/shm") else None) as work:
        folder = Path(work) / "in"
        folder.mkdir()
        size = make_folder(folder, files)
        times = {1: [], 2: []}
        for _ in range(runs):
            for workers in (1, 2):
                times[workers].append(run(folder, Path(work) / "out", workers))
        print(f"{files} files, {size / 1e6:.1f} MB, {runs} runs each (median)")
        for workers in (1, 2):
            median = statistics.median(times[workers])
            print(f"{workers} worker(s): {median:.2f} s  {files / median:.0f} files/s  {size / 1e6 / median:.1f} MB/s")
        print(f"ratio 2/1: {statistics.median(times[1]) / statistics.median(times[2]):.2f}")


if __name__ == "__main__":
    main()
