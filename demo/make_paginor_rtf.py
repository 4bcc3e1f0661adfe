#!/usr/bin/env python3
"""Writes demo/Paginor.rtf, the demo's sample rich text document (about four pages).

Run from the repository root: python3 demo/make_paginor_rtf.py
"""
import struct
import zlib


def png(width, height):
    """A small PNG: a colour gradient with a dark frame."""
    rows = b""
    for y in range(height):
        row = b"\x00"
        for x in range(width):
            edge = x < 3 or y < 3 or x >= width - 3 or y >= height - 3
            r, g, b = (40, 40, 90) if edge else (60 + 160 * x // width, 120, 80 + 160 * y // height)
            row += bytes((r, g, b))
        rows += row

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


BODY = ("Paginor lays rich text out over as many pages as it needs. Each page of the preview "
        "holds one picture of its text, drawn as real text, so a PDF made from it stays "
        "searchable and the fonts travel with it. ")


def para(text, style=r"\f1\fs22"):
    return r"{\pard\sa120 " + style + " " + text + r"\par}" + "\n"


def main():
    out = []
    w = out.append
    w(r"{\rtf1\ansi\ansicpg1252\deff1" + "\n")
    w(r"{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\froman\fcharset0 Times New Roman;}"
      r"{\f2\fmodern\fcharset0 Courier New;}}" + "\n")
    w(r"{\colortbl;\red0\green0\blue0;\red192\green0\blue0;\red0\green112\blue192;"
      r"\red0\green128\blue0;\red112\green48\blue160;\red255\green255\blue0;\red242\green242\blue242;}" + "\n")
    w(r"{\info{\title Paginor sample}}" + "\n")
    w(r"\paperw11906\paperh16838\margl1134\margr1134\margt1417\margb1417" + "\n")
    # Title page.
    w(r"{\pard\qc\sb600\sa240\f0\fs56\b\cf3 Paginor\par}" + "\n")
    w(r"{\pard\qc\sa480\f0\fs28\i\cf5 Rich text across pages\par}" + "\n")
    w(para("This document comes with the Paginor demo. Open it with the "
           r"{\b Open *.RTF File} button on the Rich Text page and page through the preview."))
    w(para(BODY * 2))
    w(r"{\pard\sb240\sa120\f0\fs32\b\cf2 Fonts and colours\par}" + "\n")
    w(para(r"A serif face for running text, {\f0 a sans-serif face for headings}, and "
           r"{\f2 a monospaced face for code}. Sizes run from {\fs16 small} over {\fs22 normal} "
           r"to {\fs36 large}."))
    w(para(r"Text can be {\b bold}, {\i italic}, {\ul underlined}, {\strike struck out}, "
           r"{\b\i\ul all at once}, raised like x{\super 2} or lowered like H{\sub 2}O."))
    w(para(r"Colours: {\cf2 red}, {\cf3 blue}, {\cf4 green}, {\cf5 purple}, and "
           r"{\highlight6 highlighted text}."))
    w(r"{\pard\sb240\sa120\f0\fs32\b\cf2 A list\par}" + "\n")
    items = ["Open a rich text file.", "The text is laid out page by page at 1,440 dots per inch.",
             "Each page becomes one picture on the preview.", "Print it, or save it as a document."]
    for item in items:
        w(r"{\pard\li720\fi-360\sa60\f1\fs22{\listtext\f0 \u8226\'95\tab}" + item + r"\par}" + "\n")
    for k in range(10):
        w(para(BODY * 3))
    # A forced page break, then the table.
    w(r"{\pard\sb240\sa120\pagebb\f0\fs32\b\cf2 A table\par}" + "\n")
    w(para("A row that does not fit at the bottom of a page moves to the next page whole."))
    rows = [("Paper", "Width (mm)", "Height (mm)", "Use")]
    sizes = [("A3", 297, 420, "drawings"), ("A4", 210, 297, "letters"), ("A5", 148, 210, "booklets"),
             ("A6", 105, 148, "postcards"), ("B5", 176, 250, "books"), ("C5", 162, 229, "envelopes"),
             ("Legal", 216, 356, "contracts"), ("Letter", 216, 279, "letters")]
    rows += [(n, str(a), str(b), u) for n, a, b, u in sizes]
    border = r"\clbrdrt\brdrs\brdrw10\clbrdrl\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clbrdrr\brdrs\brdrw10"
    for i, row in enumerate(rows):
        shade = r"\clcbpat7" if i == 0 else ""
        cells = "".join(border + shade + r"\cellx" + str(2400 * (c + 1)) for c in range(4))
        w(r"\trowd\trgaph108\trbrdrt\brdrs\brdrw10\trbrdrl\brdrs\brdrw10\trbrdrb\brdrs\brdrw10"
          r"\trbrdrr\brdrs\brdrw10\trbrdrh\brdrs\brdrw10\trbrdrv\brdrs\brdrw10" + cells + "\n")
        style = r"\f0\fs20\b" if i == 0 else r"\f1\fs20"
        w("".join(r"\pard\intbl{" + style + " " + text + r"}\cell" for text in row) + r"\row" + "\n")
    w(r"\pard" + "\n")
    w(r"{\pard\sb240\sa120\f0\fs32\b\cf2 A picture\par}" + "\n")
    w(para("Pictures keep their size; one that does not fit in the space left on a page "
           "moves to the top of the next page."))
    data = png(96, 60)
    w(r"{\pard\qc\sa120{\pict\pngblip\picw96\pich60\picwgoal3600\pichgoal2250 " + "\n")
    hexdata = data.hex()
    for i in range(0, len(hexdata), 128):
        w(hexdata[i:i + 128] + "\n")
    w(r"}\par}" + "\n")
    w(r"{\pard\qc\sa240\f1\fs18\i A picture made for this document\par}" + "\n")
    for k in range(9):
        w(para(BODY * 3))
    w(r"{\pard\sb240\sa120\f0\fs32\b\cf2 The end\par}" + "\n")
    w(para("Thank you for trying Paginor."))
    w("}\n")
    with open("demo/Paginor.rtf", "w", encoding="ascii") as f:
        f.write("".join(out))


if __name__ == "__main__":
    main()
