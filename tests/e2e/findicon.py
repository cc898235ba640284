#!/usr/bin/env python3
"""Finds a toolbar picture in a screenshot of the program.

Usage: findicon.py SHOT STRIP INDEX [MAX_Y]
Prints "x y" of the top-left corner of the first place (rows above MAX_Y) where picture INDEX of
the 16-pixel strip STRIP shows, its transparent pixels standing for any pixel; exits 1
when it shows nowhere.
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


def main():
    shot, strip, index = sys.argv[1], sys.argv[2], int(sys.argv[3])
    w, h, pixels = raw(shot, "rgb")
    max_y = min(h - 16, int(sys.argv[4]) if len(sys.argv) > 4 else h - 16)
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
                    print(x, y)
                    return
            at = row.find(first, at + 1)
    sys.exit(1)


main()
