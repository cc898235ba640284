#!/usr/bin/env python3
"""Writes the image fixtures of the codec tests: BMPs of every form, PNGs of every colour
type the reader transforms, and JPEGs through ImageMagick (and ycck.c for YCCK)."""
import struct, subprocess, zlib, os

K, R, G, B = (0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255)
Y, C, M, W = (255, 255, 0), (0, 255, 255), (255, 0, 255), (255, 255, 255)
TOP, BOTTOM = [R, G, B, W], [K, Y, C, M]
PALETTE = [K, R, G, B, Y, C, M, W]


def bmp(name, header, table, rows, off_extra=0, declared=None):
    body = header + table + b"\0" * off_extra + rows
    size = 14 + len(body) if declared is None else declared
    off = 14 + len(header) + len(table) + off_extra
    open(name, "wb").write(b"BM" + struct.pack("<IHHI", size, 0, 0, off) + body)


def info(bits, comp=0, used=0, height=2, size=40, width=4):
    h = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, comp, 0, 2835, 2835, used, 0)
    return h


def pad(b):
    return b + b"\0" * (-len(b) % 4)


def table(cols):
    return b"".join(bytes((c[2], c[1], c[0], 0)) for c in cols)


def indexed_rows(bits, rows):
    out = b""
    for row in rows:  # bottom-up
        idx = [PALETTE.index(c) for c in row]
        if bits == 8:
            out += pad(bytes(idx))
        elif bits == 4:
            out += pad(bytes((idx[0] << 4 | idx[1], idx[2] << 4 | idx[3])))
    return out


def make_bmps():
    bmp("bmp1.bmp", info(1), table([K, W]), pad(bytes([0b00110000])) + pad(bytes([0b10100000])))
    bmp("bmp4.bmp", info(4, used=8), table(PALETTE), indexed_rows(4, [BOTTOM, TOP]))
    bmp("bmp8.bmp", info(8, used=8), table(PALETTE), indexed_rows(8, [BOTTOM, TOP]))
    p555 = lambda c: struct.pack("<H", (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3)
    bmp("bmp16.bmp", info(16), b"", b"".join(pad(b"".join(p555(c) for c in r)) for r in [BOTTOM, TOP]))
    bgr = lambda c: bytes((c[2], c[1], c[0]))
    bmp("bmp24.bmp", info(24), b"", b"".join(pad(b"".join(bgr(c) for c in r)) for r in [BOTTOM, TOP]))
    bmp("bmp32.bmp", info(32), b"", b"".join(b"".join(bgr(c) + b"\x7f" for c in r) for r in [BOTTOM, TOP]))
    # Top-down 24 bits, rows after a gap of 6 bytes.
    bmp("gap24.bmp", info(24, height=-2), b"", b"".join(pad(b"".join(bgr(c) for c in r)) for r in [TOP, BOTTOM]), off_extra=6)
    # RLE8, an absolute run of two, then the top row with a delta.
    i = PALETTE.index
    # RLE8: the bottom row a run and an absolute run; the top row with a delta over B.
    rle8 = bytes([1, i(K), 0, 3, i(Y), i(C), i(M), 0, 0, 0,
                  1, i(R), 1, i(G), 0, 2, 1, 0, 1, i(W), 0, 1])
    bmp("rle8.bmp", info(8, comp=1, used=8), table(PALETTE), rle8)
    # RLE4: runs of alternating nibbles.
    rle4 = bytes([2, i(K) << 4 | i(Y), 2, i(C) << 4 | i(M), 0, 0,
                  0, 4, i(R) << 4 | i(G), i(B) << 4 | i(W), 0, 1])
    bmp("rle4.bmp", info(4, comp=2, used=8), table(PALETTE), rle4)
    # A 124-byte header with 5-6-5 bit fields.
    v5 = info(16, comp=3, size=124) + struct.pack("<IIII", 0xF800, 0x07E0, 0x001F, 0) + b"\0" * 68
    p565 = lambda c: struct.pack("<H", (c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3)
    bmp("v5fields.bmp", v5, b"", b"".join(pad(b"".join(p565(c) for c in r)) for r in [BOTTOM, TOP]))
    # A size field far past the data: only the data is read.
    bmp("bigsize24.bmp", info(24), b"", b"".join(pad(b"".join(bgr(c) for c in r)) for r in [BOTTOM, TOP]), declared=1 << 30)
    # Refused ones.
    open("bad/short13.bmp", "wb").write(b"BM" + b"\0" * 11)
    open("bad/ba.bmp", "wb").write(b"BA" + open("bmp24.bmp", "rb").read()[2:])
    data = open("bmp24.bmp", "rb").read()
    open("bad/cut24.bmp", "wb").write(data[:-5])
    bmp("bad/planes2.bmp", struct.pack("<IiiHHIIiiII", 40, 4, 2, 2, 24, 0, 0, 0, 0, 0, 0), b"", b"\0" * 24)
    bmp("bad/bits7.bmp", info(7), b"", b"\0" * 24)
    bmp("bad/colors300.bmp", info(8, used=300), b"\0" * 1200, b"\0" * 8)
    bmp("bad/header64.bmp", struct.pack("<I", 64) + info(24)[4:] + b"\0" * 24, b"", b"\0" * 24)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(name, width, height, depth, ctype, raw_rows, extra=b""):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, ctype, 0, 0, 0)
    raw = b"".join(b"\0" + r for r in raw_rows)
    open(name, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra +
                           chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def make_pngs():
    plte = chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
    idx = lambda r: bytes(PALETTE.index(c) for c in r)
    png("palette.png", 4, 2, 8, 3, [idx(TOP), idx(BOTTOM)], plte)
    half = lambda c: bytes(c) + b"\x80"
    rows = [b"".join(half(c) for c in TOP), b"".join(half(c) for c in BOTTOM)]
    png("alpha.png", 4, 2, 8, 6, rows)
    png("alphabkgd.png", 4, 2, 8, 6, rows, chunk(b"bKGD", struct.pack(">HHH", 0, 0, 255)))
    wide = lambda c: b"".join(struct.pack(">H", v * 257) for v in c)
    png("rgb16.png", 4, 2, 16, 2, [b"".join(wide(c) for c in TOP), b"".join(wide(c) for c in BOTTOM)])
    png("gray.png", 4, 2, 8, 0, [bytes([0, 85, 170, 255]), bytes([255, 170, 85, 0])])
    open("bad/truncated.png", "wb").write(open("palette.png", "rb").read()[:40])
    png("bad/huge.png", 100000, 1, 8, 2, [b"\0" * 300000])


YCCK_C = r"""
#include <stdio.h>
#include <jpeglib.h>
int main(int argc, char** argv) {
    struct jpeg_compress_struct c; struct jpeg_error_mgr e;
    unsigned char row[16 * 4]; JSAMPROW r = row; FILE* f = fopen(argv[1], "wb");
    for (int x = 0; x < 16; ++x) { row[4*x] = 200; row[4*x+1] = 40; row[4*x+2] = 40; row[4*x+3] = 255; }
    c.err = jpeg_std_error(&e); jpeg_create_compress(&c); jpeg_stdio_dest(&c, f);
    c.image_width = 16; c.image_height = 16; c.input_components = 4; c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c); jpeg_set_colorspace(&c, JCS_YCCK); jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < 16) jpeg_write_scanlines(&c, &r, 1);
    jpeg_finish_compress(&c); fclose(f); return 0;
}
"""


def make_jpegs():
    for name, args in [("color.jpg", ["xc:rgb(200,40,40)"]),
                       ("grey.jpg", ["xc:rgb(128,128,128)", "-colorspace", "Gray"]),
                       ("cmyk.jpg", ["xc:rgb(200,40,40)", "-colorspace", "CMYK"])]:
        subprocess.run(["convert", "-size", "16x16"] + args + ["-quality", "95", name], check=True)
    # YCCK through libjpeg itself, which ImageMagick does not write.
    src = "/tmp/vl_ycck.c"
    open(src, "w").write(YCCK_C)
    subprocess.run(["cc", src, "-o", "/tmp/vl_ycck", "-ljpeg"], check=True)
    subprocess.run(["/tmp/vl_ycck", "ycck.jpg"], check=True)
    open("bad/truncated.jpg", "wb").write(open("color.jpg", "rb").read()[:200])


os.chdir(os.path.dirname(os.path.abspath(__file__)))
make_bmps()
make_pngs()
make_jpegs()
