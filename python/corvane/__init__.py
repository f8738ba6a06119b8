"""RTF to HTML, XHTML or plain text.

convert() and convert_file() take the options of the command-line tool corvane-xhtml as keyword
arguments, named like its flags (doctype="xhtml11", links=True, max_data_uri=64, plain_text=True, ...),
and give the same bytes; properties={"OptionsHead.DocumentTitle": "Minutes"} sets any property by name.
corvane.distributed.convert_many() converts many files on a Dask cluster.
"""

from ._core import Error, __version__, convert, convert_file

__all__ = ["Error", "__version__", "convert", "convert_file"]
