#!/usr/bin/python3
"""Writes tests/data/exchange/text_peer.txt: seeded text files of every shape the Open Text
File dialog and ITextFileInfo allow, and seeded workbooks with the settings they are exported
with, each with what the peer (LibreOffice Calc, headless, through tools/peeroffice.py) reads
from the file with the same settings. tests/exchange/textpeer_test.cpp reads the same files
with our import and compares cell by cell, without the office.

Import files: separators ',', ';', tab, blank, '|', '.' and others; quoting symbols '"' and
"'"; doubled and lone quotes, quotes followed by blanks or text, quotes never closed;
separators, tabs and line breaks inside quotes; CR, LF and CR LF; UTF-8 with and without its
byte-order mark, Windows-1252 and OEM (850); fixed widths; numbers of every magnitude and
form, percent, currency, thousands, dates, formulas; texts outside the code page; a line past
the last column and a field past a cell's length; conversion on and off.
Exports: workbooks of texts and numbers (typed, with the formats typing gives) written by our
export delimited and fixed, UTF-8 and OEM (the test writes them: run with --exports FOLDER
filled by `VORLANE_TEXT_PEER_EXPORTS=FOLDER build/test_exchange --gtest_filter=TextPeer.*`).

Lines (tab-separated, texts escaped: \\\\ \\t \\n \\r and \\xHH for bytes below 32):
  I <id> <settings>          an import file; settings: separator, quote (byte values), fixed
                             (0/1), widths (comma-separated), encoding (1 UTF-8, 2 ANSI, 3 OEM),
                             conversion (0/1)
  B <hex>                    the file's bytes
  X <id> <settings>          an exported workbook, the settings of its export
  T <A1> <typed text>        a cell of the workbook, as typed (UTF-8)
  H <hash>                   FNV-1a of our export's bytes, as the peer read them
  P <A1> <kind> <value>      a cell as the peer read it: n number (repr), t text (UTF-8),
                             d date (ISO), e error

Run:   python3 tools/make-text-peer.py --cases               (the cases alone, for the exports)
       VORLANE_TEXT_PEER_EXPORTS=FOLDER build/test_exchange --gtest_filter=TextPeer.*
       python3 tools/make-text-peer.py --exports FOLDER    (writes the file, a minute)
Check: python3 tools/make-text-peer.py --check             (the file's cases are the generator's)
"""
import argparse
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

SEED = 20261210
IMPORTS = 360
EXPORTS = 48
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "exchange",
                   "text_peer.txt")
MAX_COLUMNS = 2047
MAX_CELL_TEXT = 8173

WORDS = ["alpha", "Beta", "x", "Smith, John", "say \"hi\"", "it's", "a;b", "tab\there",
         "two\nlines", "caf\u00e9", "Gr\u00fc\u00dfe", "\u20ac 5", "\u0152uvre", "na\u00efve",
         "100 %", "ab", "  padded  ", "-", ".", "e", "1e", "=", "#", "N/A", "TRUE",
         "\u0416\u0443\u043a", "\u00bd", "x|y", "end."]
NUMBERS = ["0", "1", "-1", "42", "3.14159", "-0.5", ".5", "5.", "1e5", "1E-20", "-2.5e+3",
           "123456789012345678", "0.000012345", "1.7976931348623157e308", "4.9e-324", "007",
           "+3", "12%", "-4.5%", "$1,234.50", "($12.50)", "1,234", "1,234,567.891", "1/2/2026",
           "12/31/1999", "2026-03-04", "3:45 PM", "1.000,5", "  12", "12  ", "-  12.5e3",
           "1 1/2", "=1+2", "=2^3*-1", "=(1+2)*4", "=\"a\"&\"b\"", "=1/0", "0x1F", "1_000",
           "\u00a312", "12 \u20ac"]
SEPARATORS = [",", ";", "\t", " ", "|", ".", ":", "#"]
QUOTES = ["\"", "'"]
ENDS = ["\r\n", "\n", "\r"]


def escape(text):
    out = []
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ch == "\t":
            out.append("\\t")
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ord(ch) < 32:
            out.append("\\x%02X" % ord(ch))
        else:
            out.append(ch)
    return "".join(out)


def col_name(c):  # 0-based
    s = ""
    c += 1
    while c:
        c, r = divmod(c - 1, 26)
        s = chr(65 + r) + s
    return s


def encode(text, encoding):
    if encoding == 1:
        return text.encode("utf-8")
    codec = "cp1252" if encoding == 2 else "cp850"
    return text.encode(codec, errors="replace")


def quote_field(rng, text, sep, quote):
    """A field as a writer would put it, with the odd shapes files have."""
    shape = rng.random()
    needs = sep in text or quote in text or "\n" in text or "\r" in text
    if needs or shape < 0.25:
        inner = text.replace(quote, quote + quote)
        field = quote + inner + quote
        tail = rng.random()
        if tail < 0.06:
            field += " "
        elif tail < 0.1:
            field += "  "
        elif tail < 0.14 and sep != "x":
            field += "x"
        elif tail < 0.16:
            field = field[:-1]  # never closed
        return field
    if shape < 0.3:
        return text[:1] + quote + text[1:]  # a lone quote inside
    return text


def field_text(rng, conversion):
    r = rng.random()
    if r < 0.45:
        return rng.choice(NUMBERS)
    if r < 0.9:
        return rng.choice(WORDS)
    return ""


def delimited_file(rng):
    sep = rng.choice(SEPARATORS)
    quote = rng.choice(QUOTES) if rng.random() < 0.3 else "\""
    end = rng.choice(ENDS)
    encoding = rng.choice([1, 1, 2, 2, 3])
    conversion = 1 if rng.random() < 0.8 else 0
    lines = []
    for _ in range(rng.randint(1, 6)):
        fields = [quote_field(rng, field_text(rng, conversion), sep, quote)
                  for _ in range(rng.randint(1, 6))]
        lines.append(sep.join(fields))
        if rng.random() < 0.08:
            lines.append("")
    text = end.join(lines)
    if rng.random() < 0.3:
        text += end
    data = encode(text, encoding)
    if encoding == 1 and rng.random() < 0.4:
        data = b"\xef\xbb\xbf" + data
    settings = (ord(sep), ord(quote), 0, [], encoding, conversion)
    return settings, data


def fixed_file(rng):
    encoding = rng.choice([1, 2, 2, 3])
    conversion = 1 if rng.random() < 0.8 else 0
    widths = [rng.randint(1, 9) for _ in range(rng.randint(1, 4))]
    end = rng.choice(ENDS)
    lines = []
    for _ in range(rng.randint(1, 5)):
        line = ""
        for w in widths:
            text = rng.choice(NUMBERS + WORDS).replace("\n", " ").replace("\r", " ")
            line += (text + " " * w)[:w] if rng.random() < 0.8 else text[:w]
        if rng.random() < 0.5:
            line += rng.choice(WORDS).replace("\n", " ")
        lines.append(line)
    data = encode(end.join(lines), encoding)
    return (ord(","), ord("\""), 1, widths, encoding, conversion), data


def limit_files():
    """Fields the worksheet cannot hold: a line past the last column, a field past a cell."""
    wide = ",".join("c%d" % i for i in range(MAX_COLUMNS + 3))
    long_field = "y" * (MAX_CELL_TEXT + 50) + ",5"
    quoted = "\"" + "z" * (MAX_CELL_TEXT + 1) + "\",6"
    return [((44, 34, 0, [], 2, 1), wide.encode()), ((44, 34, 0, [], 2, 1), long_field.encode()),
            ((44, 34, 0, [], 1, 1), quoted.encode())]


def import_cases():
    rng = random.Random(SEED)
    cases = limit_files()
    while len(cases) < IMPORTS:
        cases.append(fixed_file(rng) if rng.random() < 0.25 else delimited_file(rng))
    return cases


EXPORT_TEXTS = ["alpha", "Smith, John", "say \"hi\"", "it's", "a;b", "tab\there", "two\nlines",
                "caf\u00e9", "Gr\u00fc\u00dfe", "\u20ac 5", "\u0152uvre", "x|y", "  padded",
                "end.", "1e", "-"]
EXPORT_NUMBERS = ["0", "1", "-1", "42", "3.25", "-0.5", "0.125", "1E-20", "-2.5E+30",
                  "123456789", "0.000012345", "1.5E+300", "12%", "-4.5%", "$1,234.50",
                  "($12.50)", "1,234", "1/2/2026", "12/31/1999"]


def export_cases():
    rng = random.Random(SEED + 1)
    cases = []
    for i in range(EXPORTS):
        fixed = i % 2
        encoding = 1 if (i // 2) % 2 == 0 else 3
        sep = rng.choice([",", ";", "\t", "|"])
        widths = [rng.randint(2, 12) for _ in range(4)] if fixed else []
        cells = []
        for row in range(rng.randint(1, 5)):
            for col in range(rng.randint(1, 4)):
                if rng.random() < 0.15:
                    continue
                pool = EXPORT_NUMBERS if rng.random() < 0.55 else EXPORT_TEXTS
                text = rng.choice(pool)
                if fixed:
                    text = text.replace("\n", " ").replace("\t", " ")
                cells.append((col_name(col) + str(row + 1), text))
        cases.append(((ord(sep), 34, fixed, widths, encoding, 1), cells))
    return cases


def settings_text(s):
    sep, quote, fixed, widths, encoding, conversion = s
    return "\t".join([str(sep), str(quote), str(fixed), ",".join(map(str, widths)) or "-",
                      str(encoding), str(conversion)])


def fnv(data):
    h = 0xcbf29ce484222325
    for b in data:
        h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


# The peer's filter options: separator, text delimiter, character set, first line, column
# formats (all text without conversion; for fixed widths the columns' starts), language
# (English, USA: '.' and month first, as our locale), quoted fields not forced to text,
# special numbers detected, ..., formulas evaluated.
CHARSETS = {1: "76", 2: "1", 3: "4"}


def filter_options(s, columns):
    sep, quote, fixed, widths, encoding, conversion = s
    kind = "1" if conversion else "2"
    if fixed:
        starts, at = [], 0
        for w in widths:
            starts.append(at)
            at += w
        starts.append(at)
        formats = "/".join("%d/%s" % (p, kind) for p in starts)
        first = "FIX"
    else:
        formats = "/".join("%d/%s" % (c + 1, kind) for c in range(columns)) if not conversion else ""
        first = str(sep)
    return ",".join([first, str(quote), CHARSETS[encoding], "1", formats, "1033", "false",
                     "true", "false", "false", "false", "-1", "true"])


def peer_cells(office, path, s, columns):
    from peeroffice import cell_answer
    doc = office.load(path, "Text - txt - csv (StarCalc)", filter_options(s, columns))
    out = []
    try:
        sheet = doc.Sheets.getByIndex(0)
        cursor = sheet.createCursor()
        cursor.gotoEndOfUsedArea(False)
        last_col, last_row = cursor.RangeAddress.EndColumn, cursor.RangeAddress.EndRow
        formats = doc.NumberFormats
        from com.sun.star.util.NumberFormat import DATE
        data = sheet.getCellRangeByPosition(0, 0, last_col, last_row)
        for row in range(last_row + 1):
            for col in range(last_col + 1):
                cell = data.getCellByPosition(col, row)
                kind, value = cell_answer(cell)
                if kind == "b":
                    continue
                if kind == "n" and formats.getByKey(cell.NumberFormat).Type & DATE:
                    kind, value = "d", date_text(float(value))
                out.append((col_name(col) + str(row + 1), kind, value))
    finally:
        doc.close(True)
    return out


def date_text(serial):
    import datetime
    day = datetime.date(1899, 12, 30) + datetime.timedelta(days=int(serial))
    return day.isoformat()


def most_columns(data):
    return max(1, max(line.count(b",") + line.count(b";") + line.count(b"\t") + line.count(b" ") +
                      line.count(b"|") + line.count(b".") + line.count(b":") + line.count(b"#")
                      for line in data.replace(b"\r", b"\n").split(b"\n")) + 1)


def write(args):
    from peeroffice import Office
    imports = import_cases()
    exports = export_cases()
    lines = ["# Text files read by the peer (%s); made by tools/make-text-peer.py" % "LibreOffice"]
    import tempfile
    folder = tempfile.mkdtemp(prefix="text-peer-")
    with Office() as office:
        lines[0] += " with " + office.version()
        for i, (s, data) in enumerate(imports):
            path = os.path.join(folder, "in%d.txt" % i)
            with open(path, "wb") as f:
                f.write(data)
            lines.append("I\t%d\t%s" % (i, settings_text(s)))
            lines.append("B\t" + data.hex())
            for a1, kind, value in peer_cells(office, path, s, most_columns(data)):
                lines.append("P\t%s\t%s\t%s" % (a1, kind, escape(value)))
        for i, (s, cells) in enumerate(exports):
            lines.append("X\t%d\t%s" % (i, settings_text(s)))
            for a1, text in cells:
                lines.append("T\t%s\t%s" % (a1, escape(text)))
            path = os.path.join(args.exports, "export%d.txt" % i)
            if not os.path.exists(path):
                sys.exit("make-text-peer: no export %s (run the test with VORLANE_TEXT_PEER_EXPORTS)" % path)
            with open(path, "rb") as f:
                data = f.read()
            lines.append("H\t" + fnv(data))
            for a1, kind, value in peer_cells(office, path, s, 8):
                lines.append("P\t%s\t%s\t%s" % (a1, kind, escape(value)))
    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print("make-text-peer: %d files, %d workbooks" % (len(imports), len(exports)))


def cases_only():
    """The cases without the peer's readings: what the test needs to write our exports."""
    lines = ["# Cases only, no readings yet: run tools/make-text-peer.py --exports FOLDER"]
    for i, (s, data) in enumerate(import_cases()):
        lines += ["I\t%d\t%s" % (i, settings_text(s)), "B\t" + data.hex()]
    for i, (s, cells) in enumerate(export_cases()):
        lines.append("X\t%d\t%s" % (i, settings_text(s)))
        lines += ["T\t%s\t%s" % (a1, escape(t)) for a1, t in cells]
    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def check():
    """The checked-in file's cases are the generator's."""
    imports = import_cases()
    exports = export_cases()
    want = []
    for i, (s, data) in enumerate(imports):
        want.append("I\t%d\t%s" % (i, settings_text(s)))
        want.append("B\t" + data.hex())
    for i, (s, cells) in enumerate(exports):
        want.append("X\t%d\t%s" % (i, settings_text(s)))
        want += ["T\t%s\t%s" % (a1, escape(t)) for a1, t in cells]
    from peeroffice import check_stored
    with open(OUT, encoding="utf-8") as f:
        have = [l.rstrip("\n") for l in f if l[:2] in ("I\t", "B\t", "X\t", "T\t")]
    return check_stored(have, want, "case lines", "tools/make-text-peer.py",
                        show=lambda l: repr(l[:120]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exports", help="folder of our exports (export<N>.txt)")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--cases", action="store_true", help="write the cases alone")
    args = parser.parse_args()
    if args.check:
        sys.exit(check())
    if args.cases:
        cases_only()
        return
    if not args.exports:
        parser.error("--exports FOLDER is needed to write the file")
    write(args)


if __name__ == "__main__":
    main()
