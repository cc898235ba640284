#!/usr/bin/env python3
"""Finds the cell cursor in a screenshot of the program, for clicks on cells.

The cursor is a black frame around the active cell: its top edge is the first run of black
pixels at least MIN long (40 by default) below row TOP (90 by default), its bottom edge the
next row below that is black across the same run. Prints "left top right bottom" of the
frame; exits 1 when there is none.
Usage: cellbox.py <picture> [min] [top]
"""
import subprocess
import sys


def read_rgb(path):
    size = subprocess.run(["convert", path, "-format", "%w %h", "info:"], check=True,
                          stdout=subprocess.PIPE).stdout.split()
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                          stdout=subprocess.PIPE).stdout
    return int(size[0]), int(size[1]), data


def main():
    w, h, pixels = read_rgb(sys.argv[1])
    least = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    top = int(sys.argv[3]) if len(sys.argv) > 3 else 90

    def black(x, y):
        at = (y * w + x) * 3
        return pixels[at:at + 3] == b"\0\0\0"

    for y in range(top, h):
        x = 0
        while x < w:
            if not black(x, y):
                x += 1
                continue
            start = x
            while x < w and black(x, y):
                x += 1
            if x - start < least:
                continue
            # The bottom edge: the next row below that is black across the same run.
            for bottom in range(y + 4, h):
                if all(black(i, bottom) for i in range(start + 4, x - 4)):
                    print(start, y, x - 1, bottom)
                    return 0
            return 1
    return 1


if __name__ == "__main__":
    sys.exit(main())
