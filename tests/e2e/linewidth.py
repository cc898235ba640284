#!/usr/bin/env python3
"""Measures how many screen pixels the printed gridlines of a previewed page take.

Finds the white page of the print preview in a screenshot (the first and last white pixels
of the picture's middle row, and the longest white run down the page's left margin), then, in a band of the page's first
column (given as fractions of the page's width), the rows darker than a tenth of full black:
each run of them is one gridline. Prints the number of lines and their mean width in rows.
Usage: linewidth.py <picture> <band-left> <band-right>
"""
import subprocess
import sys


def read_pgm(path):
    data = subprocess.run(["convert", path, "-colorspace", "gray", "-depth", "8", "pgm:-"],
                          check=True, stdout=subprocess.PIPE).stdout
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    at += 1
    return int(fields[1]), int(fields[2]), data[at:]


def longest_white(values):
    best, start = (0, 0), None
    for i, v in enumerate(list(values) + [0]):
        if v == 255 and start is None:
            start = i
        elif v != 255 and start is not None:
            if i - start > best[1] - best[0]:
                best = (start, i)
            start = None
    return best


def main():
    width, height, px = read_pgm(sys.argv[1])
    band = float(sys.argv[2]), float(sys.argv[3])
    middle = height // 2
    row = px[middle * width:(middle + 1) * width]
    white = [x for x in range(width) if row[x] == 255]
    if not white:
        print(0, "0.00")
        return
    left, right = white[0], white[-1] + 1
    top, bottom = longest_white(px[y * width + left + 3] for y in range(height))
    w, h = right - left, bottom - top
    x0, x1 = left + int(w * band[0]), left + int(w * band[1])
    lines, run = [], 0
    for y in range(top + h // 10, bottom - h // 8):
        dark = sum(255 - px[y * width + x] for x in range(x0, x1)) / max(1, x1 - x0)
        if dark > 25:
            run += 1
        elif run:
            lines.append(run)
            run = 0
    mean = sum(lines) / len(lines) if lines else 0
    print(len(lines), "%.2f" % mean)


main()
