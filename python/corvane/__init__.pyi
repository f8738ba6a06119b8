from typing import Literal, Mapping, Sequence, overload

__version__: str

class Error(Exception):
    """A conversion failed, or an option was not understood; the text says why."""

PropertyValue = str | int | bool | Sequence[str]

# Options, named like corvane-xhtml's flags (each flag with its dashes as underscores):
#   doctype: str             html32 | html401-transitional | html401-strict | html5 | xhtml10-transitional |
#                            xhtml10-strict | xhtml-basic10 | xhtml-mp10 | xhtml11 (or dtHTML_50, ...)
#   fragment, plain_text, links, pictures, encapsulated_html, tables, lists, notes, headers_footers,
#   all: bool                turn the flag on (False leaves it off)
#   max_data_uri: int        the largest picture embedded as a data: URI, in kilobytes (default 32)
#   log_level: str           debug | info | warning | error | fatal
#   properties: Mapping[str, PropertyValue]
#                            any property by name, read as --set reads it; a sequence of lines fills a
#                            string list
# Options apply in the order given, as the tool's flags do.

@overload
def convert(rtf: bytes | str, *, return_pictures: Literal[False] = ..., **options: object) -> str: ...
@overload
def convert(rtf: bytes | str, *, return_pictures: Literal[True], **options: object) -> tuple[str, dict[str, bytes]]: ...
def convert_file(src: str, dst: str, **options: object) -> None: ...
