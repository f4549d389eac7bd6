#!/usr/bin/env python3
"""Compares the first page of two PDF files as pictures: both are rendered by pdftoppm
(grey, 40 dots per inch) and nine in ten of each one's ink dots must have ink of the
other within one dot (a print queue re-renders the glyphs a little differently). Used
by scripts/cups-pdf-check.sh to check that the page a print queue produced is the page
dendrix-cli writes.

Usage: compare_pdf_pages.py A.pdf B.pdf   exit status 0 when they match
"""
import subprocess
import sys


def ink(path):
    pgm = subprocess.run(["pdftoppm", "-gray", "-r", "40", "-f", "1", "-l", "1", path],
                         check=True, capture_output=True).stdout
    # P5 header: magic, width, height, maximum, then one byte a dot.
    fields, pos = [], 0
    while len(fields) < 4:
        while pgm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not pgm[pos:pos + 1].isspace():
            pos += 1
        fields.append(pgm[start:pos])
    width, height = int(fields[1]), int(fields[2])
    data = pgm[pos + 1:]
    return width, height, {(i % width, i // width) for i, v in enumerate(data[:width * height]) if v < 128}


def covered(a, b):
    """The share of a's ink dots that have ink of b within one dot."""
    if not a:
        return 1.0
    near = sum(1 for (x, y) in a if any((x + dx, y + dy) in b for dx in (-1, 0, 1) for dy in (-1, 0, 1)))
    return near / len(a)


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    wa, ha, a = ink(sys.argv[1])
    wb, hb, b = ink(sys.argv[2])
    if (wa, ha) != (wb, hb):
        print("page sizes differ: %dx%d and %dx%d dots" % (wa, ha, wb, hb))
        return 1
    ab, ba = covered(a, b), covered(b, a)
    print("ink dots %d and %d; matched %.1f%% and %.1f%%" % (len(a), len(b), ab * 100, ba * 100))
    return 0 if len(a) > 1000 and ab > 0.9 and ba > 0.9 else 1


if __name__ == "__main__":
    sys.exit(main())
