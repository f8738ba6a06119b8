"""Conversion of many documents on a Dask cluster.

The work goes to the cluster in batches of paths, so that millions of documents make thousands of tasks
rather than millions; each worker converts its batch with corvane.convert_file and reports every file's
outcome, so one broken document never stops the others.
"""

import math
import os
import sys
from pathlib import Path
from typing import Iterable, List, NamedTuple, Optional

import corvane


class Result(NamedTuple):
    input: str
    output: Optional[str]  # the file written, or None when the conversion failed
    error: Optional[str]  # None, or why the conversion failed


# A task of this many files or more keeps the scheduler's cost per task (about a millisecond) small
# against the conversions, yet gives every worker several tasks to balance the load with.
_LARGEST_BATCH = 1000
_TASKS_PER_WORKER = 8


def _expand(inputs: Iterable[str]) -> List[str]:
    paths: List[str] = []
    for item in inputs:
        item = os.fspath(item)
        if os.path.isdir(item):
            paths.extend(sorted(str(path) for path in Path(item).glob("*.rtf") if path.is_file()))
        else:
            paths.append(item)
    return paths


def _targets(paths: List[str], out_dir: str, extension: str) -> List[str]:
    # Two inputs of one name get distinct results: the second "a.rtf" becomes "a-2.html".
    seen = {}
    targets = []
    for path in paths:
        stem = Path(path).stem
        count = seen.get(stem, 0) + 1
        seen[stem] = count
        name = stem if count == 1 else f"{stem}-{count}"
        targets.append(os.path.join(out_dir, name + extension))
    return targets


def _convert_batch(pairs, options):
    outcomes = []
    for source, target in pairs:
        try:
            corvane.convert_file(source, target, **options)
            outcomes.append((target, None))
        except corvane.Error as error:
            outcomes.append((None, str(error)))
        except OSError as error:
            outcomes.append((None, str(error)))
    return outcomes


def convert_many(inputs: Iterable[str], out_dir: str, client=None, batch_size: Optional[int] = None,
                 **options) -> List[Result]:
    """Converts every path of inputs (files, or folders taken as their *.rtf files) into out_dir.

    Runs on the dask.distributed Client given, or on a LocalCluster with one worker process per core.
    options are those of corvane.convert_file. Returns one Result per input, in input order.
    """
    from dask.distributed import Client, LocalCluster, progress

    paths = _expand(inputs)
    os.makedirs(out_dir, exist_ok=True)
    extension = ".txt" if options.get("plain_text") else ".html"
    pairs = list(zip(paths, _targets(paths, out_dir, extension)))
    if not pairs:
        return []

    own_cluster = None
    if client is None:
        own_cluster = LocalCluster(n_workers=os.cpu_count() or 1, threads_per_worker=1, processes=True,
                                   dashboard_address=None)
        client = Client(own_cluster)
    try:
        workers = max(1, len(client.scheduler_info().get("workers", {})))
        if batch_size is None:
            batch_size = min(_LARGEST_BATCH, max(1, math.ceil(len(pairs) / (workers * _TASKS_PER_WORKER))))
        batches = [pairs[start:start + batch_size] for start in range(0, len(pairs), batch_size)]
        futures = client.map(_convert_batch, batches, options=options, pure=False)
        if sys.stdout.isatty():  # Dask draws its bar on standard output
            progress(futures)
        outcomes = [outcome for batch in client.gather(futures) for outcome in batch]
    finally:
        if own_cluster is not None:
            client.close()
            own_cluster.close()
    return [Result(source, output, error) for (source, _), (output, error) in zip(pairs, outcomes)]
