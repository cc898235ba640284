#!/usr/bin/env python3
"""Finds the edit fields of combo boxes in a screenshot, for clicks of the end-to-end tests.

An edit field shows as a run of white pixels across one pixel row, framed by darker pixels on
both sides (the toolbars' own background is a lighter grey than the frames but not white).
Prints "x1 x2 y" for each framed white run between MIN and MAX pixels long, on the first row
at or below TOP (and above BOTTOM) that holds at least COUNT of them, leftmost first; prints
nothing when no row does.
Usage: whiteruns.py <picture> <min> <max> <count> [top] [bottom]
"""
import subprocess
import sys


def read_ppm(path):
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                          stdout=subprocess.PIPE).stdout
    # Header: "P6", width, height, maximum value, each followed by white space.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    at += 1
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at:]


WHITE, FRAME = 252, 200


def runs_in_row(pixels, width, y, shortest, longest):
    found, x = [], 0
    row = pixels[y * width * 3:(y + 1) * width * 3]

    def level(at):
        return min(row[3 * at:3 * at + 3])

    while x < width:
        if level(x) < WHITE:
            x += 1
            continue
        start = x
        while x < width and level(x) >= WHITE:
            x += 1
        framed = start > 0 and x < width and level(start - 1) < FRAME and level(x) < FRAME
        if framed and shortest <= x - start <= longest:
            found.append((start, x - 1))
    return found


def main():
    path, shortest, longest, count = sys.argv[1], *map(int, sys.argv[2:5])
    width, height, pixels = read_ppm(path)
    top = int(sys.argv[5]) if len(sys.argv) > 5 else 0
    bottom = int(sys.argv[6]) if len(sys.argv) > 6 else height
    for y in range(top, min(bottom, height)):
        found = runs_in_row(pixels, width, y, shortest, longest)
        if len(found) >= count:
            for x1, x2 in found:
                print(x1, x2, y)
            return


if __name__ == "__main__":
    main()
