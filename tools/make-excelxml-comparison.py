#!/usr/bin/env python3
"""Makes the generated comparison of Excel 2003 XML with the peer (LibreOffice).

Seeded documents of what other writers put in the form: styles named and numbered ("Default"
beside "s1", "s21", "ce1", parents), number formats by name ("Fixed", "Percent", "Short Date")
and by code, document properties at and past their fields, ActiveSheet in and out of range,
the encoding's name spelt every way (and a code page's), formulas whose result is the empty
text, character references and texts past ASCII; the later documents also numbers with blanks
around them, style names no style has, UTF-16, an ActiveSheet that is no whole number,
ss:Index, merged cells, Boolean, DateTime and Error data and R1C1 formulas. They are written to
tests/data/excelxml/generated/ (checked in). Then our test binary reads each and writes its
export of what it read (VORLANE_EXCELXML_EXPORT_DIR), and the peer reads both the documents
and our exports; its readings go to tests/data/excelxml/generated-peer.tsv with a digest of
each export, so that the CI test (tests/exchange/excelxmlgenerated_test.cpp) compares
without the office and fails when our export changes.

    python3 tools/make-excelxml-comparison.py --tests build/test_exchange   # asks the peer
    python3 tools/make-excelxml-comparison.py --check    # the documents are the generator's

Needs: apt-get install -y libreoffice-calc-nogui python3-uno (the peer part runs under the
system's /usr/bin/python3, which has the office's bridge).
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.normpath(os.path.join(HERE, "..", "tests", "data", "excelxml"))
FOLDER = os.path.join(DATA, "generated")
PEER = os.path.join(DATA, "generated-peer.tsv")
OWN = os.path.join(DATA, "generated-own-formats.tsv")
CHAINS = os.path.join(DATA, "generated-cell-formats.tsv")
SEED = 20261210
DOCUMENTS = 150
# From this document on, the documents draw what other writers put in the form besides: numbers
# with blanks around them, style names no style has (as a cell's style and as a parent), UTF-16
# in either byte order, an ActiveSheet that is no whole number, cells and rows placed by
# ss:Index, merged cells, Boolean, DateTime and Error data, and R1C1 formulas over other cells.
WIDE_FROM = 100

ENCODINGS = [None, "UTF-8", "utf-8", "Utf-8", "utf8", "UTF8", "windows-1252"]
NAMED_FORMATS = ["General Number", "Fixed", "Standard", "Percent", "Scientific", "Short Date",
                 "Medium Date", "Long Date", "Short Time", "Medium Time", "Long Time",
                 "General Date", "Currency", "Euro Currency", "Yes/No", "True/False", "On/Off"]
CODED_FORMATS = ["0.000", "#,##0.00", "0%", "0.00%", "#,##0.00%", "0.00E+00", "yyyy-mm-dd",
                 "@", "0.0", "#,##0", "\"x\"0.0", "[Red]0.00", "mm/dd/yyyy", "h:mm:ss",
                 "0.000;-0.000;\"zero\""]
NUMBERS = ["0", "1", "-1", "1.5", "-2.25", "0.125", "42", "1234.5678", "-1234.5678", "0.001",
           "100000", "0.5", "12.75", "39448", "40000.25", "1E+300", "3", "7"]
TEXTS = ["plain", "caf\u00e9", "\u20ac 5", "a &amp; b", "&lt;tag&gt;", "&#8364;uro",
         "&#xe9;t\u00e9", "x y", "Total", "007", "na\u00efve"]
PROPERTY_LENGTHS = [0, 1, 20, 127, 128, 300]
PADDINGS = [(" ", " "), ("", " "), (" ", ""), ("\n\t", "\n"), ("  ", "\t")]
UNKNOWN_STYLES = ["Title", "ce7", "Normal", "s21x"]
DATES = [("2024-03-05T00:00:00.000", 45356.0), ("1899-12-31T06:00:00.000", 1.25),
         ("2000-02-29T12:00:00.000", 36585.5), ("1999-12-31T23:59:59.000", None)]
PLAIN_ERRORS = ["#DIV/0!", "#N/A", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#NULL!"]
BAD_ACTIVE = ["1.5", "x", "1e0", "first", "2.0"]
PROPERTIES = ["Author", "LastAuthor", "Company", "Version"]


def style_ids(rng):
    """The identifiers a document's styles take, "Default" among them or not."""
    ids = []
    if rng.random() < 0.8:
        ids.append("Default")
    pool = ["s1", "s21", "s22", "s23", "ce1", "ce2", "Heading", "s63", "s2"]
    rng.shuffle(pool)
    ids += pool[:rng.randint(1, 5)]
    return ids


# The styles of the document being made: the number format each one's element holds, and
# each one's parent.
formatted = {}
parents = {}


def resolved(sid):
    """The number format a style gives its cells: its own, else its parent's, else Default's;
    None when there is none (General)."""
    if sid in formatted:
        return formatted[sid]
    if sid in parents:
        return resolved(parents[sid])
    if sid != "Default" and "Default" in defined_now:
        return resolved("Default")
    return None


defined_now = []
# How often a style names a parent: the later documents chain their styles more often, so
# that cells take formats from parents that are not Default.
parent_share = [0.2]
PARENT_HEAVY_FROM = 80


def style_element(rng, sid, defined):
    parts = [f'<Style ss:ID="{sid}"']
    if sid == "Default":
        parts.append(' ss:Name="Normal"')
    elif rng.random() < 0.3:
        parts.append(f' ss:Name="Named {sid}"')
    if defined and sid != "Default" and rng.random() < parent_share[0]:
        parents[sid] = rng.choice(defined)
        parts.append(f' ss:Parent="{parents[sid]}"')
    parts.append(">")
    if rng.random() < 0.3:
        parts.append(f'<Alignment ss:Horizontal="{rng.choice(["Left", "Center", "Right"])}"/>')
    if rng.random() < 0.25:
        parts.append('<Font ss:Bold="1"/>')
    if rng.random() < (0.85 if parent_share[0] < 0.5 else 0.5):
        fmt = rng.choice(NAMED_FORMATS) if rng.random() < 0.45 else rng.choice(CODED_FORMATS)
        parts.append(f'<NumberFormat ss:Format="{fmt.replace(chr(34), "&quot;")}"/>')
        formatted[sid] = fmt
    parts.append("</Style>")
    return "".join(parts)


def cell(rng, styles, own):
    """A cell, with its style facts appended to `own`: whether its style's element holds a
    number format, and the format its style chain gives it ("-" for none)."""
    attrs = ""
    sid = "Default"
    if styles and rng.random() < 0.7:
        sid = rng.choice(styles)
        attrs += f' ss:StyleID="{sid}"'
    fmt = resolved(sid) if sid in defined_now else None
    own.append((attrs != "" and sid in formatted, "-" if fmt is None else fmt))
    roll = rng.random()
    if roll < 0.5:
        return f'<Cell{attrs}><Data ss:Type="Number">{rng.choice(NUMBERS)}</Data></Cell>'
    if roll < 0.72:
        return f'<Cell{attrs}><Data ss:Type="String">{rng.choice(TEXTS)}</Data></Cell>'
    if roll < 0.82:
        return (f'<Cell{attrs} ss:Formula="=IF(1&gt;2,&quot;x&quot;,&quot;&quot;)">'
                '<Data ss:Type="String"></Data></Cell>')
    if roll < 0.9:
        a, b = rng.randint(1, 50), rng.randint(1, 50)
        return (f'<Cell{attrs} ss:Formula="={a}+{b}"><Data ss:Type="Number">{a + b}</Data>'
                '</Cell>')
    if roll < 0.95:
        return (f'<Cell{attrs} ss:Formula="=&quot;a&quot;&amp;&quot;b&quot;">'
                '<Data ss:Type="String">ab</Data></Cell>')
    return f'<Cell{attrs}/>'


def chain_of(sid):
    """The format a cell's style gives it, as we read the document: a name no style has is
    the default style."""
    if sid in defined_now:
        return resolved(sid)
    return resolved("Default") if "Default" in defined_now else None


def referenced(text):
    """The text with each character past ASCII written as a reference: the peer garbles the
    characters a UTF-16 document holds as they are (each becomes U+FF00 and its low byte)."""
    return "".join(c if ord(c) < 128 else f"&#{ord(c)};" for c in text)


def wide_row(rng, styles, own, row, numbers, texts):
    """A row of the later documents, with its cells' style facts in `own` as (column, flag,
    format); `numbers` holds the plain numbers of the worksheet so far by (row, column), which
    the formulas read."""
    cells = []
    column = 0
    for _ in range(rng.randint(1, 6)):
        attrs = ""
        if rng.random() < 0.2:
            column += rng.randint(1, 3)
            attrs += f' ss:Index="{column + 1}"'
        sid = "Default"
        if rng.random() < 0.7:
            sid = rng.choice(UNKNOWN_STYLES) if rng.random() < 0.2 or not styles else \
                rng.choice(styles)
            attrs += f' ss:StyleID="{sid}"'
        fmt = chain_of(sid)
        own.append((column, attrs.find("StyleID") >= 0 and sid in formatted,
                    "-" if fmt is None else fmt))
        roll = rng.random()
        if roll < 0.3:
            number = rng.choice(NUMBERS)
            pad = rng.choice(PADDINGS) if rng.random() < 0.5 else ("", "")
            if pad == ("", "") and number != "1E+300":
                numbers[(row, column)] = float(number)
            content = f'<Data ss:Type="Number">{pad[0]}{number}{pad[1]}</Data>'
        elif roll < 0.45:
            content = f'<Data ss:Type="String">{texts(rng.choice(TEXTS))}</Data>'
        elif roll < 0.53:
            content = f'<Data ss:Type="Boolean">{rng.choice(["0", "1"])}</Data>'
        elif roll < 0.61:
            content = f'<Data ss:Type="DateTime">{rng.choice(DATES)[0]}</Data>'
        elif roll < 0.67:
            content = f'<Data ss:Type="Error">{rng.choice(PLAIN_ERRORS)}</Data>'
        elif roll < 0.85 and numbers:
            (r, c), value = rng.choice(sorted(numbers.items()))
            ref = (f"R{r + 1}C{c + 1}" if rng.random() < 0.5 else
                   f"R[{r - row}]C[{c - column}]".replace("R[0]", "R").replace("C[0]", "C"))
            factor = rng.choice([2, 3, 0.5])
            attrs += f' ss:Formula="={ref}*{factor}+1"'
            content = f'<Data ss:Type="Number">{repr(value * factor + 1)}</Data>'
        else:
            content = ""
        if rng.random() < 0.1:
            merge = rng.randint(1, 2)
            attrs += f' ss:MergeAcross="{merge}"'
            column += merge
        cells.append(f"<Cell{attrs}>{content}</Cell>" if content else f"<Cell{attrs}/>")
        column += 1
    return "".join(cells)


def wide_sheet(rng, s, defined, own_formats):
    """The rows of a worksheet of the later documents."""
    out = []
    numbers = {}
    row = 0
    for _ in range(rng.randint(1, 6)):
        attrs = ""
        if rng.random() < 0.2:
            row += rng.randint(1, 2)
            attrs = f' ss:Index="{row + 1}"'
        own = []
        cells = wide_row(rng, defined, own, row, numbers, texts_of[0])
        out.append(f"<Row{attrs}>{cells}</Row>\n")
        if own_formats is not None:
            own_formats.extend(f"{s} {row} {c}\t{flag}\t{fmt}" for c, flag, fmt in own)
        row += 1
    return "".join(out)


texts_of = [lambda text: text]


def document(n, own_formats=None):
    """The document's name and bytes; `own_formats` gets "sheet row column", whether the
    cell's style element holds a number format, and the format its style chain gives it."""
    rng = random.Random(SEED * 1000 + n)
    formatted.clear()
    parents.clear()
    parent_share[0] = 0.2 if n < PARENT_HEAVY_FROM else 0.75
    defined_now.clear()
    wide = n >= WIDE_FROM
    encoding = rng.choice(ENCODINGS)
    utf16 = wide and rng.random() < 0.3
    if utf16:
        encoding = rng.choice(["UTF-16", "utf-16"])
    texts_of[0] = referenced if utf16 else (lambda text: text)
    out = ['<?xml version="1.0"' + (f' encoding="{encoding}"' if encoding else "") + '?>\n',
           '<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"\n'
           ' xmlns:o="urn:schemas-microsoft-com:office:office"\n'
           ' xmlns:x="urn:schemas-microsoft-com:office:excel"\n'
           ' xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">\n']
    if rng.random() < 0.8:
        out.append('<DocumentProperties xmlns="urn:schemas-microsoft-com:office:office">')
        for name in PROPERTIES:
            if rng.random() < 0.7:
                length = rng.choice(PROPERTY_LENGTHS)
                letter = "abcdefghij"[rng.randrange(10)]
                out.append(f"<{name}>{(letter + 'x' * length)[:length]}</{name}>")
        out.append("</DocumentProperties>\n")
    sheets = rng.randint(1, 3)
    if rng.random() < 0.7:
        active = rng.choice(list(range(sheets)) + [sheets, -1])
        if wide and rng.random() < 0.5:
            active = rng.choice(BAD_ACTIVE)
        out.append('<ExcelWorkbook xmlns="urn:schemas-microsoft-com:office:excel">'
                   f"<ActiveSheet>{active}</ActiveSheet></ExcelWorkbook>\n")
    ids = style_ids(rng)
    out.append("<Styles>\n")
    defined = []
    for sid in ids:
        # The later documents name parents no style has too.
        out.append(style_element(rng, sid, defined + (UNKNOWN_STYLES[:1] if wide else []))
                   + "\n")
        defined.append(sid)
        defined_now.append(sid)
    out.append("</Styles>\n")
    for s in range(sheets):
        out.append(f'<Worksheet ss:Name="Sheet{s + 1}"><Table>\n')
        if wide:
            out.append(wide_sheet(rng, s, defined, own_formats))
            out.append("</Table></Worksheet>\n")
            continue
        for r in range(rng.randint(1, 6)):
            own = []
            cells = "".join(cell(rng, defined, own) for _ in range(rng.randint(1, 5)))
            out.append(f"<Row>{cells}</Row>\n")
            if own_formats is not None:
                own_formats.extend(f"{s} {r} {c}\t{flag}\t{fmt}"
                                   for c, (flag, fmt) in enumerate(own))
        out.append("</Table></Worksheet>\n")
    out.append("</Workbook>\n")
    text = "".join(out)
    if utf16:
        codec = rng.choice(["utf-16-le", "utf-16-be"])
        return f"doc{n:03d}.xml", "\ufeff".encode(codec) + text.encode(codec)
    data = text.encode("cp1252" if encoding == "windows-1252" else "utf-8")
    return f"doc{n:03d}.xml", data


def documents():
    return [document(n) for n in range(DOCUMENTS)]


def write_documents():
    os.makedirs(FOLDER, exist_ok=True)
    for name in os.listdir(FOLDER):
        os.remove(os.path.join(FOLDER, name))
    lines, chains = [], []
    for n in range(DOCUMENTS):
        own = []
        name, data = document(n, own)
        with open(os.path.join(FOLDER, name), "wb") as f:
            f.write(data)
        for line in own:
            cell, flag, fmt = line.split("\t")
            if flag == "True":
                lines.append(f"{name}\tcell {cell}")
            chains.append(f"{name}\tcell {cell}\t{fmt}")
    # The format each cell's style chain (its style, the parent, Default) gives it, for the
    # model of our shown text.
    with open(CHAINS, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(chains) + "\n")
    # What the reason models know of the documents: the cells whose style's element gives
    # them a number format (the others take a parent's or the default style's).
    with open(OWN, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def check():
    from peeroffice import check_stored
    stored = []
    for name in sorted(os.listdir(FOLDER)):
        with open(os.path.join(FOLDER, name), "rb") as f:
            stored.append((name, f.read()))
    sys.exit(check_stored(stored, sorted(documents()), "generated documents",
                          "tools/make-excelxml-comparison.py",
                          show=lambda d: f"{d[0]} (digest {digest(d[1])})"))


def digest(data):
    """FNV-1a of 64 bits, as the test computes it."""
    h = 1469598103934665603
    for b in data:
        h = ((h ^ b) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return f"{h:016x}"


def tsv(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def reading(office, path):
    """The peer's reading of one document, as lines key TAB value."""
    sys.path.insert(0, HERE)
    from peeroffice import cell_answer
    doc = office.load(path)
    if doc is None:
        return ["open\tno"]
    try:
        doc.calculateAll()
        lines = ["open\tyes"]
        sheets = doc.Sheets
        lines.append(f"sheets\t{sheets.getCount()}")
        # The peer's reader (a transformation of the form) takes neither the document
        # properties nor the active worksheet: they are not asked.
        for i in range(sheets.getCount()):
            sheet = sheets.getByIndex(i)
            lines.append(f"name {i}\t{tsv(sheet.Name)}")
            cursor = sheet.createCursor()
            cursor.gotoEndOfUsedArea(False)
            end = cursor.getRangeAddress()
            for r in range(end.EndRow + 1):
                for c in range(end.EndColumn + 1):
                    cell = sheet.getCellByPosition(c, r)
                    kind, value = cell_answer(cell)
                    if kind == "b":
                        continue
                    lines.append(f"cell {i} {r} {c}\t{kind}\t{tsv(value)}\t{tsv(cell.getString())}")
        return lines
    finally:
        doc.close(True)


def ask_peer(tests):
    sys.path.insert(0, HERE)
    from peeroffice import Office
    exports = tempfile.mkdtemp(prefix="excelxml-exports-")
    env = dict(os.environ, VORLANE_EXCELXML_EXPORT_DIR=exports, QT_QPA_PLATFORM="offscreen")
    subprocess.run([tests, "--gtest_filter=ExcelXmlGenerated.*"], env=env, check=False,
                   stdout=subprocess.DEVNULL)
    out = []
    with Office() as office:
        out.append(f"# {office.version()}; seed {SEED}; {DOCUMENTS} documents")
        for name, _ in documents():
            for form, path in (("file", os.path.join(FOLDER, name)),
                               ("export", os.path.join(exports, name))):
                if not os.path.exists(path):
                    sys.exit(f"no export of {name}: the test binary did not write it")
                if form == "export":
                    with open(path, "rb") as f:
                        out.append(f"{name}\t{form}\tdigest\t{digest(f.read())}")
                for line in reading(office, path):
                    out.append(f"{name}\t{form}\t{line}")
    with open(PEER, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    print(f"{PEER}: {len(out)} lines")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--tests", help="the test_exchange binary, whose exports the peer reads")
    args = parser.parse_args()
    if args.check:
        check()
        return
    write_documents()
    if args.tests:
        ask_peer(args.tests)


if __name__ == "__main__":
    main()
