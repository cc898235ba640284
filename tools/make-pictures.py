#!/usr/bin/env python3
"""Draws the program's own toolbar, list and icon pictures as PNG files under
resources/pictures/. The pictures are simple pixel drawings made here, so the script is
their source: change a drawing and run it again (python3 tools/make-pictures.py)."""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "pictures")

BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
GREY = (128, 128, 128, 255)
SILVER = (192, 192, 192, 255)
NAVY = (0, 0, 128, 255)
BLUE = (40, 90, 200, 255)
GREEN = (0, 128, 0, 255)
RED = (200, 30, 30, 255)
YELLOW = (240, 200, 40, 255)
ORANGE = (230, 130, 20, 255)
PAPER = (250, 250, 240, 255)
TEAL = (0, 128, 128, 255)
PURPLE = (128, 0, 128, 255)
BROWN = (150, 100, 40, 255)

FONT = {  # 3 x 5 glyphs, rows top down
    "A": ["010", "101", "111", "101", "101"], "B": ["110", "101", "110", "101", "110"],
    "a": ["000", "011", "101", "101", "011"], "S": ["011", "100", "010", "001", "110"],
    "F": ["111", "100", "110", "100", "100"], "x": ["000", "101", "010", "101", "000"],
    "f": ["011", "010", "111", "010", "010"], "9": ["111", "101", "111", "001", "111"],
    "1": ["010", "110", "010", "010", "111"], "2": ["111", "001", "111", "100", "111"],
    "3": ["111", "001", "011", "001", "111"], "Z": ["111", "001", "010", "100", "111"],
    "+": ["000", "010", "111", "010", "000"], "-": ["000", "000", "111", "000", "000"],
    "#": ["101", "111", "101", "111", "101"], "=": ["000", "111", "000", "111", "000"],
}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0)] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def box(self, x0, y0, x1, y1, fill, edge=BLACK):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if r * r - r <= d <= r * r + r:
                    self.set(x, y, c)

    def text(self, x, y, s, c, scale=1):
        for ch in s:
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.rect(x + col * scale, y + row * scale, x + col * scale + scale - 1,
                                  y + row * scale + scale - 1, c)
            x += 4 * scale

    def paste(self, other, ox):
        for y in range(other.h):
            for x in range(other.w):
                self.px[y][ox + x] = other.px[y][x]


def page(c, x0=3, y0=1, x1=12, y1=14):
    c.box(x0, y0, x1, y1, PAPER)


def sheet(c, x0, y0, x1, y1):
    c.box(x0, y0, x1, y1, WHITE)
    for x in range(x0 + 3, x1, 3):
        c.line(x, y0 + 1, x, y1 - 1, SILVER)
    for y in range(y0 + 3, y1, 3):
        c.line(x0 + 1, y, x1 - 1, y, SILVER)


def folder(c):
    c.box(1, 4, 14, 13, YELLOW, BROWN)
    c.rect(2, 3, 6, 4, YELLOW)
    c.frame(1, 2, 7, 4, BROWN)


def arrow_right(c, y, x0, x1, col):
    c.line(x0, y, x1, y, col)
    c.line(x1 - 3, y - 3, x1, y, col)
    c.line(x1 - 3, y + 3, x1, y, col)


def arrow_left(c, y, x0, x1, col):
    c.line(x0, y, x1, y, col)
    c.line(x0 + 3, y - 3, x0, y, col)
    c.line(x0 + 3, y + 3, x0, y, col)


def magnifier(c, cx=6, cy=6):
    c.disc(cx, cy, 4, WHITE)
    c.ring(cx, cy, 4, BLACK)
    c.line(cx + 3, cy + 3, 14, 14, BROWN)
    c.line(cx + 4, cy + 3, 14, 13, BROWN)


def printer(c):
    c.box(4, 1, 11, 6, WHITE)
    c.box(1, 6, 14, 12, SILVER)
    c.box(4, 10, 11, 14, WHITE)
    c.set(12, 8, GREEN)


def cross(c, col=RED):
    for d in range(2):
        c.line(3 + d, 3, 12 + d, 12, col)
        c.line(12 + d, 3, 3 + d, 12, col)


def curved(c, left):
    pts = [(4, 10), (4, 7), (5, 5), (7, 4), (10, 4), (12, 5), (13, 7), (13, 10)]
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        if left:
            c.line(x0, y0, x1, y1, BLUE)
        else:
            c.line(15 - x0, y0, 15 - x1, y1, BLUE)
    tip = 4 if left else 11
    c.line(tip - 2, 8, tip, 11, BLUE)
    c.line(tip + 2, 8, tip, 11, BLUE)


def draw_new(c):
    page(c)
    c.rect(9, 1, 12, 4, SILVER)


def draw_open(c):
    folder(c)
    c.line(4, 13, 7, 7, BROWN)
    c.line(7, 7, 15, 7, BROWN)


def draw_save(c):
    c.box(1, 1, 14, 14, NAVY)
    c.rect(4, 2, 11, 7, WHITE)
    c.rect(5, 10, 10, 14, SILVER)


def draw_new_sheet(c):
    sheet(c, 1, 2, 13, 14)
    c.text(10, 0, "+", GREEN)


def draw_new_folder(c):
    folder(c)
    c.text(10, 0, "+", GREEN)


def draw_cut(c):
    c.line(4, 1, 9, 9, BLACK)
    c.line(11, 1, 6, 9, BLACK)
    c.ring(4, 11, 2, RED)
    c.ring(11, 11, 2, RED)


def draw_copy(c):
    c.box(1, 1, 9, 11, PAPER)
    c.box(6, 4, 14, 14, PAPER)


def draw_paste(c):
    c.box(1, 2, 11, 14, BROWN)
    c.rect(4, 1, 8, 3, SILVER)
    c.box(6, 6, 14, 14, PAPER)


def draw_preview(c):
    page(c, 1, 1, 10, 14)
    magnifier(c, 9, 8)


def draw_print(c):
    printer(c)


def draw_undo(c):
    curved(c, True)


def draw_redo(c):
    curved(c, False)


def draw_find(c):
    magnifier(c)


def draw_sort(c, ascending):
    c.text(1, 1, "A", BLUE)
    c.text(1, 9, "Z", BLUE)
    c.line(11, 2, 11, 13, BLACK)
    if ascending:  # A above Z, the arrow pointing down the list
        c.line(9, 11, 11, 13, BLACK)
        c.line(13, 11, 11, 13, BLACK)
    else:
        c.line(9, 4, 11, 2, BLACK)
        c.line(13, 4, 11, 2, BLACK)


def draw_date(c):
    c.box(1, 2, 14, 14, WHITE)
    c.rect(1, 2, 14, 5, RED)
    c.text(3, 7, "1", BLACK)
    c.text(8, 7, "2", BLACK)


def draw_formula(c):
    c.line(3, 2, 12, 2, BLACK)
    c.line(3, 2, 8, 8, BLACK)
    c.line(8, 8, 3, 13, BLACK)
    c.line(3, 13, 12, 13, BLACK)


def draw_composer(c):
    c.box(1, 2, 14, 13, WHITE, NAVY)
    c.text(3, 5, "f", NAVY)
    c.text(8, 5, "x", NAVY)


def draw_chart(c):
    c.line(1, 14, 14, 14, BLACK)
    c.line(1, 1, 1, 14, BLACK)
    c.rect(3, 8, 5, 13, BLUE)
    c.rect(7, 4, 9, 13, RED)
    c.rect(11, 10, 13, 13, GREEN)


def draw_image(c):
    c.box(1, 2, 14, 13, (170, 210, 250, 255))
    c.disc(10, 5, 2, YELLOW)
    for x in range(2, 14):
        c.line(x, 12, x, 12 - min(x - 2, 13 - x), GREEN)


def draw_update(c):
    c.text(2, 5, "F", BLUE)
    c.text(7, 5, "9", BLUE)
    c.frame(0, 3, 15, 12, GREY)


def draw_font(c):
    c.text(2, 1, "A", NAVY, 2)
    c.line(1, 14, 14, 14, RED)


def draw_cell(c):
    sheet(c, 1, 1, 14, 14)
    c.box(4, 4, 10, 10, YELLOW)


def draw_style(c):
    c.disc(7, 8, 6, (230, 220, 200, 255))
    c.disc(5, 5, 1, RED)
    c.disc(10, 5, 1, BLUE)
    c.disc(4, 10, 1, GREEN)
    c.disc(10, 11, 1, YELLOW)


def draw_alignment(c):
    for i, w in enumerate((12, 8, 12, 6)):
        c.line(2, 3 + 3 * i, 2 + w, 3 + 3 * i, BLACK)


def draw_list(c):
    c.box(1, 3, 14, 12, WHITE)
    c.rect(10, 4, 13, 11, SILVER)
    c.line(10, 7, 13, 7, BLACK)
    c.set(11, 8, BLACK), c.set(12, 8, BLACK)
    c.line(3, 7, 8, 7, BLACK)


def draw_worksheet(c):
    sheet(c, 1, 1, 14, 14)
    c.rect(2, 2, 13, 4, TEAL)


def draw_go(c):
    arrow_right(c, 8, 2, 13, GREEN)
    arrow_right(c, 7, 2, 13, GREEN)


def draw_current(c):
    c.ring(7, 7, 5, RED)
    c.ring(7, 7, 2, RED)
    c.set(7, 7, RED)


def draw_bookmark(c):
    c.rect(4, 1, 10, 12, BLUE)
    c.line(4, 13, 7, 10, BLUE)
    c.line(10, 13, 7, 10, BLUE)
    c.text(11, 10, "+", GREEN)


def draw_remove(c):
    cross(c)


def draw_goto_page(c):
    page(c, 1, 1, 9, 14)
    arrow_right(c, 8, 6, 14, GREEN)


def draw_prev(c):
    page(c, 4, 1, 13, 14)
    arrow_left(c, 8, 1, 10, BLUE)


def draw_next(c):
    page(c, 2, 1, 11, 14)
    arrow_right(c, 8, 5, 14, BLUE)


def draw_zoom(c, plus):
    magnifier(c)
    c.line(4, 6, 8, 6, BLACK)
    if plus:
        c.line(6, 4, 6, 8, BLACK)


def draw_close(c):
    cross(c, BLACK)


def draw_replace(c):
    c.text(1, 1, "A", BLUE)
    arrow_right(c, 8, 3, 12, BLACK)
    c.text(9, 9, "B", RED)


def draw_replace_all(c):
    draw_replace(c)
    c.text(1, 9, "=", GREEN)


def draw_match_case(c):
    c.text(1, 4, "A", NAVY)
    c.text(6, 4, "a", NAVY)
    c.text(11, 4, "a", GREY)


def draw_whole(c):
    c.box(1, 3, 14, 12, WHITE)
    c.text(2, 5, "A", NAVY)
    c.text(6, 5, "B", NAVY)
    c.text(10, 5, "a", NAVY)


TOOLBARS = {
    267: [draw_new, draw_open, draw_save, draw_new_sheet, draw_new_folder, draw_cut, draw_copy,
          draw_paste, draw_preview, draw_print, draw_undo, draw_redo, draw_find,
          lambda c: draw_sort(c, True), lambda c: draw_sort(c, False), draw_date, draw_formula,
          draw_composer, draw_chart, draw_image, draw_update],
    227: [draw_font, draw_cell, draw_style, draw_alignment, draw_list, draw_worksheet],
    231: [draw_go, draw_current, draw_bookmark, draw_remove],
    108: [draw_print, draw_goto_page, draw_prev, draw_next, lambda c: draw_zoom(c, True),
          lambda c: draw_zoom(c, False), draw_close],
    268: [draw_find, draw_replace, draw_replace_all, draw_match_case, draw_whole, draw_close],
}

# Pictures of the shared lists: the tree, the panes and the dialogs draw from them.
LIST_PICTURES = {
    601: draw_cell, 604: draw_worksheet, 626: draw_new_folder, 613: draw_list, 637: draw_chart,
    610: draw_image, 607: draw_new_sheet, 571: draw_open, 544: draw_new, 635: draw_go,
    636: draw_current, 623: draw_remove, 562: draw_copy, 565: draw_paste, 619: draw_find,
    631: draw_font, 629: draw_alignment, 633: draw_style, 616: draw_formula,
}
LARGE_PICTURES = [545, 548, 551, 554, 557, 560, 563, 566, 569, 572, 575, 578, 581, 584, 587,
                  590, 593, 595, 596, 598, 599]
LARGE_DRAWINGS = [draw_new, draw_open, draw_save, draw_print, draw_preview, draw_cut, draw_copy,
                  draw_paste, draw_undo, draw_redo, draw_find, draw_chart, draw_image, draw_date,
                  draw_formula, draw_font, draw_cell, draw_style, draw_alignment, draw_list,
                  draw_worksheet]


def write_png(path, canvas):
    raw = b"".join(b"\0" + b"".join(struct.pack("4B", *p) for p in row) for row in canvas.px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def drawn(draw, size=16):
    c = Canvas(16, 16)
    draw(c)
    if size == 16:
        return c
    big = Canvas(size, size)  # a 16-pixel drawing centred on a larger tile
    off = (size - 16) // 2
    for y in range(16):
        for x in range(16):
            big.px[y + off][x + off] = c.px[y][x]
    return big


def main():
    os.makedirs(OUT, exist_ok=True)
    for bitmap, draws in TOOLBARS.items():
        strip = Canvas(16 * len(draws), 16)
        for i, d in enumerate(draws):
            strip.paste(drawn(d), 16 * i)
        write_png(os.path.join(OUT, f"toolbar_{bitmap}.png"), strip)
    for pid, d in LIST_PICTURES.items():
        write_png(os.path.join(OUT, f"png_{pid}.png"), drawn(d))
    for pid, d in zip(LARGE_PICTURES, LARGE_DRAWINGS):
        write_png(os.path.join(OUT, f"png_{pid}.png"), drawn(d, 24))
    lock = Canvas(16, 16)
    lock.ring(7, 5, 3, GREY)
    lock.box(3, 7, 12, 14, YELLOW, BROWN)
    write_png(os.path.join(OUT, "icon_285.png"), lock)
    ro = drawn(draw_new)
    ro.text(5, 8, "-", RED)
    ro.frame(4, 6, 10, 12, RED)
    write_png(os.path.join(OUT, "icon_286.png"), ro)
    app = Canvas(32, 32)
    app.box(2, 2, 29, 29, WHITE, NAVY)
    app.rect(3, 3, 28, 8, NAVY)
    for x in range(9, 29, 6):
        app.line(x, 9, x, 28, SILVER)
    for y in range(13, 29, 5):
        app.line(3, y, 28, y, SILVER)
    app.rect(10, 14, 14, 17, ORANGE)
    write_png(os.path.join(OUT, "icon_127.png"), app)
    about = Canvas(64, 64)
    about.box(4, 4, 59, 59, WHITE, NAVY)
    about.rect(5, 5, 58, 16, NAVY)
    about.text(8, 7, "F", WHITE, 2)
    about.text(16, 7, "x", WHITE, 2)
    for i, (h, col) in enumerate(((20, BLUE), (32, RED), (12, GREEN), (26, PURPLE))):
        about.rect(12 + 11 * i, 54 - h, 19 + 11 * i, 54, col)
    write_png(os.path.join(OUT, "bitmap_287.png"), about)


if __name__ == "__main__":
    main()
