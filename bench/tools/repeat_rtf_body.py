#!/usr/bin/env python3
"""Grows or shrinks an RTF document to a given size by repeating its body: the header (font, colour, style
and list tables, document settings) stays once, the body (from the first paragraph to the closing brace)
repeats, and the document ends after the last whole paragraph that fits, outside any table.

Usage: repeat_rtf_body.py SOURCE.rtf MEGABYTES TARGET.rtf   (MB = 10^6 bytes)
"""
import re
import sys

# A control word (letters, optional number, optional blank) or a control symbol.
TOKEN = re.compile(rb"\\(?:[a-zA-Z]+(?:-?\d+)? ?|.)|[{}]", re.S)


def split(document):
    """(header, body, paragraph ends in body): the body starts at the first \\pard outside every group but
    the document's, and a paragraph end is a place after \\par where no table row is open."""
    depth, body_start, in_row, ends = 0, None, False, []
    for match in TOKEN.finditer(document):
        token = match.group()
        if token == b"{":
            depth += 1
        elif token == b"}":
            depth -= 1
        elif depth == 1:
            word = token.rstrip(b" ")
            if body_start is None:
                if word == b"\\pard":
                    body_start = match.start()
                continue
            if word in (b"\\trowd", b"\\intbl"):
                in_row = True
            elif word == b"\\row":
                in_row = False
            elif word == b"\\par" and not in_row:
                ends.append(match.end() - body_start)
    if body_start is None or not ends:
        sys.exit("repeat_rtf_body: no paragraphs in the document's body")
    closing = document.rstrip().rindex(b"}")
    return document[:body_start], document[body_start:closing], ends


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__.split("\n\n")[-1])
    source, megabytes, target = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    with open(source, "rb") as f:
        header, body, ends = split(f.read())
    wanted = int(megabytes * 1_000_000) - len(header) - 1
    parts, size = [], 0
    while size + len(body) <= wanted:
        parts.append(body)
        size += len(body)
    # The last copy stops after the last paragraph that still fits (\par and a line end keep it readable).
    fits = [end for end in ends if size + end <= wanted]
    if fits:
        parts.append(body[:fits[-1]])
    with open(target, "wb") as f:
        f.write(header)
        f.writelines(parts)
        f.write(b"\n}")


if __name__ == "__main__":
    main()
