#!/usr/bin/env python3
"""Finds a toolbar picture in a screenshot of the program.

Usage: findicon.py SHOT STRIP INDEX [MAX_Y [STRIP INDEX]...]
Prints "x y" of the top-left corner of the first place (rows above MAX_Y) where picture INDEX of
the 16-pixel strip STRIP shows, its transparent pixels standing for any pixel; exits 1
when it shows nowhere. With more pictures after MAX_Y, looks for each in the one screenshot
and prints a line for each, "x y" or "none", and exits 0.
"""
import subprocess
import sys


def raw(path, form, crop=None):
    args = ["convert", path] + (["-crop", crop, "+repage"] if crop else [])
    size = subprocess.run(args + ["-format", "%w %h", "info:"], check=True,
                          stdout=subprocess.PIPE).stdout.split()
    data = subprocess.run(args + ["-depth", "8", form + ":-"], check=True,
                          stdout=subprocess.PIPE).stdout
    return int(size[0]), int(size[1]), data


def find(pixels, w, max_y, strip, index):
    """"x y" of the picture in the screenshot's pixels, or None."""
    _, _, icon = raw(strip, "rgba", "16x16+%d+0" % (16 * index))
    # Only the opaque pixels: the rest shows the bar behind the picture.
    points = [(x, y, icon[(y * 16 + x) * 4:(y * 16 + x) * 4 + 3])
              for y in range(16) for x in range(16) if icon[(y * 16 + x) * 4 + 3] == 255]
    if not points:
        sys.exit("the picture is all mask")
    fx, fy, first = points[0]
    for y in range(max_y + 1):
        row = pixels[(y + fy) * w * 3:(y + fy + 1) * w * 3]
        at = row.find(first)
        while at >= 0:
            if at % 3 == 0 and at // 3 - fx >= 0 and at // 3 - fx + 16 <= w:
                x = at // 3 - fx
                if all(pixels[((y + py) * w + x + px) * 3:((y + py) * w + x + px) * 3 + 3] == c
                       for px, py, c in points):
                    return "%d %d" % (x, y)
            at = row.find(first, at + 1)
    return None


def main():
    shot = sys.argv[1]
    w, h, pixels = raw(shot, "rgb")
    max_y = min(h - 16, int(sys.argv[4]) if len(sys.argv) > 4 else h - 16)
    wanted = [(sys.argv[2], int(sys.argv[3]))]
    more = sys.argv[5:]
    wanted += [(more[i], int(more[i + 1])) for i in range(0, len(more) - 1, 2)]
    if len(wanted) == 1:
        at = find(pixels, w, max_y, *wanted[0])
        if at is None:
            sys.exit(1)
        print(at)
        return
    for strip, index in wanted:
        print(find(pixels, w, max_y, strip, index) or "none")


main()
