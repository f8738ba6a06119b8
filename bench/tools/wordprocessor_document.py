#!/usr/bin/env python3
"""Writes a flat OpenDocument text (.fodt) of a long public-domain text, laid out as people lay out documents:
a heading per book and per chapter, verse numbers in bold, a phrase in italics in every other paragraph, and
on every page (a chapter) a numbered list, a small table and a link. An office suite turns it into the RTF
that word processors write.

Usage: wordprocessor_document.py TEXT > document.fodt
TEXT holds one verse a line, "Ge1:1 In the beginning ...", as Debian's `bible -f` prints the King James text.
"""
import html
import re
import sys

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
<office:styles>
 <style:style style:name="Standard" style:family="paragraph" style:class="text">
  <style:paragraph-properties fo:margin-bottom="0.25cm" fo:text-align="justify"/>
  <style:text-properties style:font-name="Liberation Serif" fo:font-size="11pt"/>
 </style:style>
 <style:style style:name="Heading_20_1" style:display-name="Heading 1" style:family="paragraph"
  style:parent-style-name="Standard" style:next-style-name="Standard" style:default-outline-level="1">
  <style:text-properties fo:font-size="18pt" fo:font-weight="bold"/>
 </style:style>
 <style:style style:name="Heading_20_2" style:display-name="Heading 2" style:family="paragraph"
  style:parent-style-name="Standard" style:next-style-name="Standard" style:default-outline-level="2">
  <style:text-properties fo:font-size="14pt" fo:font-weight="bold" fo:font-style="italic"/>
 </style:style>
 <text:list-style style:name="Numbering_20_123" style:display-name="Numbering 123">
  <text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="1">
   <style:list-level-properties text:list-level-position-and-space-mode="label-alignment">
    <style:list-level-label-alignment text:label-followed-by="listtab" fo:text-indent="-0.635cm"
     fo:margin-left="1.27cm"/>
   </style:list-level-properties>
  </text:list-level-style-number>
 </text:list-style>
</office:styles>
<office:automatic-styles>
 <style:style style:name="Bold" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 <style:style style:name="Italic" style:family="text"><style:text-properties fo:font-style="italic"/></style:style>
 <style:style style:name="ListItem" style:family="paragraph" style:parent-style-name="Standard"
  style:list-style-name="Numbering_20_123"/>
 <style:style style:name="Grid" style:family="table"><style:table-properties style:width="15cm"
  table:align="left"/></style:style>
 <style:style style:name="Cell" style:family="table-cell"><style:table-cell-properties fo:padding="0.1cm"
  fo:border="0.5pt solid #000000"/></style:style>
</office:automatic-styles>
<office:body>
<office:text>
"""

TAIL = """</office:text>
</office:body>
</office:document>
"""

VERSE = re.compile(r"^([1-3]?[A-Za-z]+)(\d+):(\d+) (.*)$")


def chapters(lines):
    """(book, chapter, [(verse, text)]) in the order of the text."""
    current, verses = None, []
    for line in lines:
        match = VERSE.match(line.rstrip("\n"))
        if not match:
            continue
        book, chapter, verse, text = match.groups()
        if (book, chapter) != current:
            if verses:
                yield current[0], current[1], verses
            current, verses = (book, chapter), []
        verses.append((verse, text))
    if verses:
        yield current[0], current[1], verses


def paragraph(verses, italic):
    parts = []
    for number, text in verses:
        text = html.escape(text, quote=False)
        if italic and "," in text:
            phrase, rest = text.split(",", 1)
            text = f'<text:span text:style-name="Italic">{phrase}</text:span>,{rest}'
            italic = False
        parts.append(f'<text:span text:style-name="Bold">{number}</text:span> {text}')
    return '<text:p text:style-name="Standard">' + " ".join(parts) + "</text:p>\n"


def page_furniture(book, chapter, verses):
    """The list, table and link every page carries."""
    items = "".join(
        f'<text:list-item><text:p text:style-name="ListItem">{book} {chapter}:{number}: '
        f'{html.escape(" ".join(text.split()[:8]), quote=False)}</text:p></text:list-item>'
        for number, text in verses[:3])
    cells = [("Book", book), ("Chapter", chapter), ("Verses", str(len(verses)))]
    rows = "".join(
        '<table:table-row>' + "".join(
            f'<table:table-cell table:style-name="Cell" office:value-type="string"><text:p>{value}</text:p>'
            '</table:table-cell>' for value in row) + '</table:table-row>'
        for row in zip(*cells))
    link = f"https://example.org/kjv/{book}/{chapter}"
    return (f'<text:list text:style-name="Numbering_20_123">{items}</text:list>\n'
            f'<table:table table:name="T{book}{chapter}" table:style-name="Grid">'
            '<table:table-column table:number-columns-repeated="3"/>' + rows + '</table:table>\n'
            f'<text:p text:style-name="Standard">Read {book} {chapter} online: '
            f'<text:a xlink:type="simple" xlink:href="{link}">{link}</text:a></text:p>\n')


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.split("\n\n")[-1])
    out = sys.stdout
    out.write(HEAD)
    last_book = None
    with open(sys.argv[1], encoding="utf-8", errors="replace") as text:
        for book, chapter, verses in chapters(text):
            if book != last_book:
                out.write(f'<text:h text:style-name="Heading_20_1" text:outline-level="1">{book}</text:h>\n')
                last_book = book
            out.write(f'<text:h text:style-name="Heading_20_2" text:outline-level="2">{book} {chapter}</text:h>\n')
            # Three verses to a paragraph, as prose paragraphs go.
            for first in range(0, len(verses), 3):
                out.write(paragraph(verses[first:first + 3], italic=first % 6 == 0))
            out.write(page_furniture(book, chapter, verses))
    out.write(TAIL)


if __name__ == "__main__":
    main()
