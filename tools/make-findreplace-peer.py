#!/usr/bin/python3
"""Writes tests/data/findreplace/peer.tsv: seeded Replace All cases (patterns with '*', '?' and
'~', case matched or not, whole cells or not, over texts, numbers under formats, formulas and
spreading arrays) and the cells LibreOffice Calc (headless, through python3-uno, its search in
the wildcard mode) holds after its Replace All over the worksheet.

The peer escapes a wildcard with '\\' where we use '~': a pattern is handed over with each
"~*", "~?" and "~~" written "\\*", "\\?" and "~", and a '\\' of its own doubled.

Lines (tab-separated):
  C <id> <match case 0|1> <whole cell 0|1> <pattern> <replacement>     a case begins
  I <A1> <kind> <format> <input>        a cell typed before: t text, n number, f formula,
                                        a array formula (<A1> its anchor, spreading over the
                                        rows its formula reads); <format> the number format
                                        code, empty for the standard one
  O <A1> <kind> <text>                  a cell after Replace All: t text, n number (repr),
                                        f formula, e an element of a spread array; cells not
                                        named are empty

Run:   /usr/bin/python3 tools/make-findreplace-peer.py          (writes the file, a minute)
Check: python3 tools/make-findreplace-peer.py --check FILE      (the file's cases are the
       generator's, without the peer; what CI runs)
"""
import argparse
import os
import random
import sys

SEED = 20261210
CASES = 1200
OUT = os.path.join(os.path.dirname(__file__), "..", "tests", "data", "findreplace", "peer.tsv")

WORDS = ["apple", "Apple", "APPLE", "pie", "Smith (London)", "a*b", "a?b", "x~y", "abcabc",
         "été", "ÉTÉ", "Straße", "one two", "b and b", "(x)", "~", "*", "?", "aaa", "1-2-3",
         "n° 5", "total", "Total 12", "12", "3.5", "a.b.c"]
NUMBERS = [3.14159, 1234.5, 0.5, -2.25, 100.0, 12.0, 0.000123, 7.0, 31.0, 2.5e-7, 1e20,
           123456789.0, -0.75, 42.42]
# Codes both programs read alike.
FORMATS = ["", "0.00", "0%", "0.0%", "#,##0.00", "0.00E+00", "0.0", "0"]
FORMULAS = ["=1+2", '="ab"&"c"', "=B1*2", '=LEN("apple")', '=A1&"x"', "=ABS(-31)", "=B2+B3",
            '=UPPER("pie")', "=3.14*2", '="a*b"&"?"']
REPLACEMENTS = ["", "X", "x", "&", "Q?", "12", "*", "~", "ab", "(y)", "Été", "=1", "3", "0.5",
                "a b", "é"]
ARRAYS = ["=B1:B2*2", "=B1:B3+1", '=B1:B2&"x"']


def pattern_from(text, rnd):
    """A pattern drawn from a text: a piece of it with wildcards put in and case changed."""
    if not text or rnd.random() < 0.15:
        return rnd.choice(["*", "?", "??", "a*", "*e", "?b", "~*", "~?", "~~", "x~y", "*~**", "1",
                           "*(*)", " (*)", "A?C", "é*", "~a"])
    i = rnd.randrange(len(text))
    j = min(len(text), i + rnd.randint(1, 6))
    if rnd.random() < 0.3:
        i = 0
    if rnd.random() < 0.3:
        j = len(text)
    out = []
    for ch in text[i:j]:
        r = rnd.random()
        if ch in "*?~":
            out.append("~" + ch if r < 0.7 else ch)
        elif r < 0.12:
            out.append("?")
        elif r < 0.2:
            out.append("*")
        elif r < 0.3:
            out.append(ch.swapcase())
        else:
            out.append(ch)
    p = "".join(out)
    if rnd.random() < 0.15:
        p = "*" + p
    if rnd.random() < 0.15:
        p += "*"
    return p


def edit_text(kind, value):
    """What a pattern is drawn from: the text a cell was typed as."""
    if kind == "n":
        return repr(value).replace("e+", "E+").replace("e-", "E-")
    return value


def cases():
    rnd = random.Random(SEED)
    for k in range(CASES):
        cells = []
        used = set()
        for _ in range(rnd.randint(1, 3)):
            row = rnd.randint(1, 3)
            if row in used:
                continue
            r = rnd.random()
            if r < 0.45:
                cells.append((f"A{row}", "t", "", rnd.choice(WORDS)))
            elif r < 0.75:
                cells.append((f"A{row}", "n", rnd.choice(FORMATS), rnd.choice(NUMBERS)))
            else:
                cells.append((f"A{row}", "f", rnd.choice(FORMATS[:2]), rnd.choice(FORMULAS)))
            used.add(row)
        if rnd.random() < 0.15:
            # An array below the others, reading numbers beside it.
            cells.append(("A5", "a", "", rnd.choice(ARRAYS)))
        if any("B" in str(c[3]) for c in cells) or rnd.random() < 0.3:
            for row in (1, 2, 3):
                cells.append((f"B{row}", "n", "", float(rnd.choice([1, 2, 3, 12, 31]))))
        source = rnd.choice(cells)
        pattern = pattern_from(edit_text(source[1], source[3]), rnd)
        if not pattern:
            pattern = "*"
        yield (k, int(rnd.random() < 0.3), int(rnd.random() < 0.25), pattern,
               rnd.choice(REPLACEMENTS), sorted(cells, key=lambda c: (int(c[0][1:]), c[0][0])))


def peer_pattern(p):
    out = []
    i = 0
    while i < len(p):
        ch = p[i]
        if ch == "~" and i + 1 < len(p) and p[i + 1] in "*?~":
            out.append("\\" + p[i + 1] if p[i + 1] != "~" else "~")
            i += 2
            continue
        out.append("\\\\" if ch == "\\" else ch)
        i += 1
    return "".join(out)


def case_lines(case):
    k, match_case, whole, pattern, replacement, cells = case
    yield f"C\t{k}\t{match_case}\t{whole}\t{pattern}\t{replacement}"
    for a1, kind, fmt, value in cells:
        yield f"I\t{a1}\t{kind}\t{fmt}\t{value!r}" if kind == "n" else f"I\t{a1}\t{kind}\t{fmt}\t{value}"


def answer(cell, a1, array_areas):
    from com.sun.star.table.CellContentType import EMPTY, FORMULA, TEXT
    kind = cell.getType()
    if kind == EMPTY:
        return None
    for anchor, area in array_areas.items():
        if a1 in area:
            return ("f", cell.getFormula()[1:-1]) if a1 == anchor else ("e", "")
    if kind == FORMULA:
        return "f", cell.getFormula()
    if kind == TEXT:
        return "t", cell.getString()
    return "n", repr(cell.getValue())


def run_peer(out_path):
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    from peeroffice import Office
    import uno  # noqa: F401 (makes the com.sun.star modules importable)
    from com.sun.star.lang import Locale
    lines = ["# Replace All of LibreOffice Calc in its wildcard mode; written by "
             "tools/make-findreplace-peer.py"]
    with Office() as office:
        lines.append(f"# {office.version()}")
        doc = office.new_calc()
        sheet = doc.Sheets.getByIndex(0)
        formats = doc.NumberFormats
        locale = Locale("en", "US", "")

        def key(code):
            if not code:
                return 0
            found = formats.queryKey(code, locale, False)
            return found if found != -1 else formats.addNew(code, locale)

        for case in cases():
            k, match_case, whole, pattern, replacement, cells = case
            sheet.getCellRangeByName("A1:C8").clearContents(1023)
            array_areas = {}
            for a1, kind, fmt, value in cells:
                cell = sheet.getCellRangeByName(a1)
                if kind == "a":
                    rows = int(value.split(":")[1][1]) - int(value.split(":")[0][-1]) + 1
                    last = f"A{4 + rows}"
                    sheet.getCellRangeByName(f"{a1}:{last}").setArrayFormula(value)
                    array_areas[a1] = {f"A{r}" for r in range(5, 5 + rows)}
                    continue
                cell.NumberFormat = key(fmt)
                if kind == "t":
                    cell.setString(value)
                elif kind == "n":
                    cell.setValue(value)
                else:
                    cell.setFormula(value)
            d = sheet.createReplaceDescriptor()
            d.SearchWildcard = True
            d.SearchCaseSensitive = bool(match_case)
            d.SearchWords = bool(whole)
            d.SearchString = peer_pattern(pattern)
            d.ReplaceString = replacement
            sheet.replaceAll(d)
            lines.extend(case_lines(case))
            for row in range(1, 9):
                for col in "ABC":
                    a1 = f"{col}{row}"
                    got = answer(sheet.getCellRangeByName(a1).getCellByPosition(0, 0), a1,
                                 array_areas)
                    if got:
                        assert "\t" not in got[1] and "\n" not in got[1]
                        lines.append(f"O\t{a1}\t{got[0]}\t{got[1]}")
        doc.close(True)
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    with open(out_path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    print(f"{CASES} cases written to {out_path}")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--check", metavar="FILE", help="compare FILE's cases with the generator's")
    ap.add_argument("--out", default=OUT)
    a = ap.parse_args()
    if a.check:
        from peeroffice import check_stored
        with open(a.check, encoding="utf-8") as f:
            cached = [l.rstrip("\n") for l in f if l[0] in "CI"]
        wanted = [l for case in cases() for l in case_lines(case)]
        return check_stored(cached, wanted, "case lines", "tools/make-findreplace-peer.py")
    run_peer(a.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
