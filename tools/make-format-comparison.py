#!/usr/bin/env python3
"""Makes tests/data/numfmt/generated.tsv: typed values under format codes as the peer shows them.

The pairs come from a seeded grammar of the codes a user writes (sections and conditions,
colours, literals and escapes, "_x" spacing and "*x" fill, thousands and scaling commas,
percent, fractions, exponents, text sections, currency forms, date, time and elapsed codes)
over values at the edges (signs, zero, ties, 15 to 17 digits, tiny and huge, typed dates,
times and durations). Each value is typed into a cell as a user types it (the peer reads it
as its input line does), then the cell takes the code; the file keeps what the peer shows.

    python3 tools/make-format-comparison.py            # asks the peer (LibreOffice headless)
    python3 tools/make-format-comparison.py --check    # the file still holds the grammar's pairs
    VORLANE_FORMAT_DIFFERENCES=/tmp/d.tsv build/test_formula --gtest_filter='FormatPeer*'
    python3 tools/make-format-comparison.py --classify /tmp/d.tsv   # rewrites the two lists

The comparison itself is tests/formula/numfmt_peer_test.cpp; the differences it accepts,
each with its reason, are in tests/data/numfmt/generated-differences.tsv. --classify gives
each difference the test found its reason by the rules of REASONS below; one that no rule
explains goes to generated-pending.tsv, a rendering still to mend.
"""

import argparse
import os
import random
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "tests", "data", "numfmt", "generated.tsv"))
SEED = 20261209
PAIRS = 6000

# Values at the edges: signs, zero, halves, values whose double lies below what was typed,
# 15, 16 and 17 significant digits, tiny and huge.
EDGE_NUMBERS = [
    "0", "-0", "1", "-1", "0.5", "-0.5", "1.5", "2.5", "-2.5", "0.05", "0.005", "1.005", "2.675",
    "0.125", "0.375", "12.5", "-12.5", "99.5", "999.995", "1234.5678", "-1234.5678", "1234567.891",
    "-987654.321", "0.000123456", "1E-10", "-0.0001", "1E-300", "1E+300", "3E+23", "1E+15",
    "123456789012345", "1234567890123456", "12345678901234567", "0.1", "0.30000000000000004",
    "0.333333333333333", "0.999", "0.07", "100", "-100", "1000", "999999.5", "1E+21",
    "-0.4", "-5", "4.5", "0.45", "0.0049", "2.345", "1E-5", "65.5", "-65.5", "100000",
]
# Typed forms that carry a format of their own in the peer and here.
TYPED_FORMS = ["50%", "-12.5%", "$1,234.50", "1,234", "1,234,567.5", "(12)", "-$5.25"]
DATES = [
    "2006-01-31", "1985-03-04", "2024-02-29", "1900-03-01", "2000-01-01", "2099-12-31",
    "2006-01-31T13:05:09", "2005-03-04T00:30:00", "2024-02-29T23:59:59", "1999-12-31T12:00:00",
    "1/31/2006", "3/4/1985", "12/25/2023", "2006-01-31 08:05:09", "1999-12-31 23:59:59",
]
TIMES = ["13:10:00", "13:10", "00:00:00", "12:00:00", "23:59:59", "8:05:09", "1:30 PM",
         "12:30 AM", "0:00:30"]
DURATIONS = ["PT63H30M", "PT0H5M7S", "PT100H", "P1DT2H", "PT90M", "PT1.25S", "-PT1H30M",
             "-P1D", "P1D", "PT0S", "PT1000H"]
TEXTS = ["abc", "x y", "Total", "-", "12a"]

COLOURS = ["[Red]", "[Blue]", "[Green]", "[Black]", "[Magenta]", "[Cyan]", "[Yellow]", "[White]"]
CONDITIONS = ["[<0]", "[>100]", "[<=100]", "[>=1000]", "[=0]", "[<>0]", "[<-100]", "[>0]",
              "[<10]", "[>=0.5]"]
INTEGERS = ["0", "#", "#,##0", "#,###", "00", "000", "#0", "?", "??", "#,#", "0000", "##0"]
DECIMALS = ["", "", ".0", ".00", ".000", ".##", ".0#", ".??", ".###", ".00000"]
FRACTIONS = ["# ?/?", "# ??/??", "?/?", "# ?/8", "# ??/16", "0 ?/4", "# ???/???", "# ?/2",
             "# ??/100", "# ?/10", "??/??", "0/3"]
EXPONENTS = ["0.0E+00", "0.00E+00", "0.0E-00", "##0.0E+0", "0E+00", "0.00E+0", "#.##E+00",
             "0.000E-0", "00.0E+00"]
AFFIXES = ['"$"', '"USD "', '" kg"', '" units"', "\\x", "\\€", "_)", "_(", "_-", "*-", "* ",
           "*.", '"("', '")"', " ", "-", "+", "\\%", '"Total: "', "€", "$", "(", ")"]
CURRENCY_BRACKETS = ["[$$-409]", "[$€-407] ", "[$USD] ", "[$£-809]", "[$EUR] ", "[$¥-411]",
                     "[$-409]", "[$CHF] "]
DATE_PARTS = ["d", "dd", "ddd", "dddd", "m", "mm", "mmm", "mmmm", "mmmmm", "yy", "yyyy"]
DATE_SEPS = ["/", "-", " ", ", ", "."]
TIME_CODES = ["h:mm", "hh:mm", "h:mm:ss", "hh:mm:ss", "h:mm AM/PM", "hh:mm:ss AM/PM",
              "h:mm A/P", "mm:ss", "h:mm:ss.0", "hh:mm:ss.00", "h", "hh\\hmm", "h:mm:ss.000"]
ELAPSED_CODES = ["[h]:mm:ss", "[h]:mm", "[mm]:ss", "[ss]", "[hh]:mm:ss", "[h]:mm:ss.00",
                 "[m]", "[mm]", "[s]", "[h]", "[hh]"]
TEXT_CODES = ['@', '"["@"]"', '@" x"', '"text: "@', '@@', '\\<@\\>', '"("@")"', '@*-',
              '_(@_)']


def number_value(r):
    """A typed number: an edge, a typed form, or digits at a random scale."""
    k = r.random()
    if k < 0.45:
        return r.choice(EDGE_NUMBERS)
    if k < 0.52:
        return r.choice(TYPED_FORMS)
    digits = "".join(r.choice("0123456789") for _ in range(r.randint(1, 17))).lstrip("0") or "0"
    point = r.randint(0, len(digits))
    text = digits[:point] + ("." + digits[point:] if point < len(digits) else "")
    if text.startswith("."):
        text = "0" + text
    if r.random() < 0.2:
        text += f"E{r.choice('+-')}{r.randint(0, 30)}"
    if r.random() < 0.35:
        text = "-" + text
    return text


def number_section(r):
    """One numeric section: digits, grouping, scaling, percent, fraction or exponent."""
    k = r.random()
    if k < 0.12:
        body = r.choice(FRACTIONS)
    elif k < 0.22:
        body = r.choice(EXPONENTS)
    else:
        body = r.choice(INTEGERS) + r.choice(DECIMALS)
        if r.random() < 0.15:
            body += r.choice([",", ",,"])
        if r.random() < 0.15:
            body += "%"
    if r.random() < 0.25:
        body = r.choice(AFFIXES) + body
    if r.random() < 0.25:
        body += r.choice(AFFIXES)
    if r.random() < 0.1:
        body = r.choice(CURRENCY_BRACKETS) + body
    return body


def number_code(r):
    k = r.random()
    if k < 0.05:
        return "General"
    first = number_section(r)
    if r.random() < 0.15:
        first = r.choice(COLOURS) + first
    if k < 0.5:
        return first
    second = number_section(r)
    if r.random() < 0.3:
        second = "(" + second + ")" if r.random() < 0.5 else "-" + second
    if r.random() < 0.25:
        second = r.choice(COLOURS) + second
    if k < 0.65:
        return first + ";" + second
    if k < 0.8:
        # Conditions: the first section's, or both.
        c1, c2 = r.sample(CONDITIONS, 2)
        one = first if r.random() < 0.6 else '"' + r.choice(["high", "low", "none"]) + '"'
        if r.random() < 0.5:
            return c1 + one + ";" + second
        return c1 + one + ";" + c2 + second + (";" + number_section(r) if r.random() < 0.5 else "")
    third = r.choice(['"zero"', "-", "0", '"-"', number_section(r), ""])
    code = first + ";" + second + ";" + third
    if r.random() < 0.5:
        code += ";" + r.choice(TEXT_CODES)
    return code


def date_code(r):
    k = r.random()
    if k < 0.3:
        return r.choice(TIME_CODES)
    if k < 0.42:
        return r.choice(ELAPSED_CODES)
    parts = r.sample(DATE_PARTS, r.randint(1, 3))
    sep = r.choice(DATE_SEPS)
    code = sep.join(parts)
    if r.random() < 0.3:
        code += " " + r.choice(TIME_CODES)
    if r.random() < 0.1:
        code = r.choice(COLOURS) + code
    if r.random() < 0.1:
        code = '"on "' + code
    return code


def date_value(r):
    k = r.random()
    if k < 0.45:
        return r.choice(DATES)
    if k < 0.75:
        return r.choice(TIMES)
    if k < 0.92:
        return r.choice(DURATIONS)
    return r.choice(EDGE_NUMBERS)


def peer_hangs(value, code):
    """The peer does not come back from a fraction of a value past 10^15 or below 10^-12."""
    if not re.search(r"[0#?]/", code):
        return False
    try:
        v = abs(float(value))
    except ValueError:
        return False
    return v >= 1e15 or 0 < v < 1e-12


def pairs():
    """The seeded pairs: (typed value, code), in a fixed order."""
    r = random.Random(SEED)
    out, seen = [], set()
    while len(out) < PAIRS:
        k = r.random()
        if k < 0.62:
            pair = (number_value(r), number_code(r))
        elif k < 0.88:
            pair = (date_value(r), date_code(r))
        elif k < 0.95:
            pair = (r.choice(TEXTS + EDGE_NUMBERS[:6]), r.choice(TEXT_CODES + [number_code(r)]))
        else:
            pair = (r.choice(DATES + TIMES + DURATIONS), number_code(r))
        if pair not in seen and not peer_hangs(*pair):
            seen.add(pair)
            out.append(pair)
    return out


def serial(text):
    """The peer's serial number of an ISO duration, which it cannot read as typed."""
    sign = -1 if text.startswith("-") else 1
    m = re.fullmatch(r"-?P(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:([\d.]+)S)?)?", text)
    d, h, mi, sec = (float(g or 0) for g in m.groups())
    return sign * (d + (h * 3600 + mi * 60 + sec) / 86400)


def ask_peer(rows):
    sys.path.insert(0, HERE)
    from peeroffice import Office
    with Office() as office:
        return ask_office(office, rows)


def ask_office(office, rows):
    from com.sun.star.lang import Locale  # after the bridge is loaded
    texts = []
    doc = office.new_calc()
    doc.CharLocale = Locale("en", "US", "")
    sheet = doc.Sheets.getByIndex(0)
    loc = Locale("en", "US", "")
    keys = doc.NumberFormats
    for k, (value, code) in enumerate(rows):
        cell = sheet.getCellByPosition(0, k)
        if re.fullmatch(r"-?P[0-9DTHMS.]*", value):
            cell.setValue(serial(value))
        else:
            cell.setFormula(value)
        key = keys.queryKey(code, loc, False)
        if key == -1:
            try:
                key = keys.addNew(code, loc)
            except Exception:
                texts.append("(refused)")
                continue
        cell.NumberFormat = key
        texts.append(cell.getString())
        if k % 1000 == 999:
            print(f"{k + 1} asked", file=sys.stderr)
    doc.close(True)
    return texts


DATA = os.path.dirname(OUT)
LISTED = os.path.join(DATA, "generated-differences.tsv")
PENDING = os.path.join(DATA, "generated-pending.tsv")

ISO_TEXT = re.compile(r"-?P[0-9YMDTHS.]+|\d{4}-\d\d-\d\d(T[0-9:.]+)?|\d\d:\d\d:\d\d(\.\d+)?")


def is_duration(v):
    return re.fullmatch(r"-?P[0-9YMDTHS.]+", v) is not None


def is_time(v):
    return ":" in v and "-" not in v and not is_duration(v)


def is_date(v):
    return not is_time(v) and not is_duration(v) and (
        re.match(r"\d{4}-\d\d-\d\d", v) is not None or re.fullmatch(r"\d+/\d+/\d+", v) is not None)


def code_words(code):
    """The code without quoted text, escaped characters, brackets and the words General
    and AM/PM: what is left holds its fields."""
    code = re.sub(r'"[^"]*"', "", code)
    code = re.sub(r"\\.", "", code)
    code = re.sub(r"[_*].", "", code)
    return code


def fields(code):
    """The date and time fields of a code: "date" (d, m with y or d, y), "clock", "elapsed"."""
    words = code_words(code)
    found = set()
    if re.search(r"\[(h+|m+|s+)\]", words, re.I):
        found.add("elapsed")
    plain = re.sub(r"\[[^\]]*\]", "", words)
    plain = re.sub(r"AM/PM|A/P", "h", plain, flags=re.I)
    if re.search(r"[dy]", plain, re.I) or re.search(r"m{3,}", plain, re.I):
        found.add("date")
    if re.search(r"[hs]", plain, re.I):
        found.add("clock")
    # "m" is a minute after an hour or before seconds, else a month.
    months = re.sub(r"h+[^hms]*m+|m+(?=[^hms]*s)", "", plain, flags=re.I)
    if re.search(r"m", months, re.I):
        found.add("date")
    return found


def half_of_fixed_denominator(v, c):
    """The value lies half way between two fractions of a fixed denominator of the code."""
    try:
        x = abs(float(re.sub(r"[$,()%]", "", v)))
    except ValueError:
        return False
    if v.endswith("%"):
        x /= 100
    for den in re.findall(r"/(\d+)", code_words(c)):
        n = x * int(den)
        if abs(n - int(n) - 0.5) < 1e-9:
            return True
    return False


def full_year(v):
    m = re.match(r"(\d{4})-", v) or re.match(r"\d+/\d+/(\d{4})$", v)
    return m is not None and not 2000 <= int(m.group(1)) <= 2029


def significant(v):
    m = re.match(r"-?([0-9.]+)", v)
    return len(m.group(1).replace(".", "").strip("0")) if m else 0


# (reason, test of value, code, our text, the peer's text), the first that holds.
REASONS = [
    ("the peer refuses the code",
     lambda v, c, o, p: p == "(refused)"),
    ("the peer cannot show the value through the code (#FMT)",
     lambda v, c, o, p: p == "#FMT"),
    ("General shows 15 significant digits, in exponent form from 1E+15 on and where the digits"
     " with a fraction's leading zeros pass 15 and it is shorter, with at least two exponent"
     " digits",
     lambda v, c, o, p: "general" in c.lower()),
    ("typed dates, times and durations are kept as text: a number code shows the text",
     lambda v, c, o, p: (is_date(v) or is_time(v) or is_duration(v)) and not fields(c)),
    ("typed dates are kept as text: a number is no date, and date and time fields show it"
     " plainly",
     lambda v, c, o, p: not (is_date(v) or is_time(v) or is_duration(v)) and fields(c)
     and re.match(r"-?\d", v) is not None),
    ("a date is no duration: elapsed fields show the text unchanged",
     lambda v, c, o, p: is_date(v) and "elapsed" in fields(c) and ISO_TEXT.search(o)),
    ("a time alone holds no date: date fields show the text unchanged",
     lambda v, c, o, p: is_time(v) and "date" in fields(c) and ISO_TEXT.search(o)),
    ("a duration holds no date: date fields show the text unchanged",
     lambda v, c, o, p: is_duration(v) and "date" in fields(c) and ISO_TEXT.search(o)),
    ("a duration is no time of day: clock fields show the text unchanged",
     lambda v, c, o, p: is_duration(v) and fields(c) == {"clock"} and ISO_TEXT.search(o)),
    ("A/P writes A or P as the code does; the peer writes them in lower case",
     lambda v, c, o, p: "a/p" in c.lower() and o.lower() == p.lower()),
    ("yy writes two digits only for 2000-2029, the years typing reads them back as; other"
     " years in full",
     lambda v, c, o, p: full_year(v) and re.search(r"(?<!y)yy(?!y)", code_words(c))),
    ("a half rounds away from zero, as in the fixed codes; the peer rounds it to even",
     lambda v, c, o, p: half_of_fixed_denominator(v, c)),
    ("the plain form shows 15 significant digits, in exponent form from 1E+15 on and where"
     " that is shorter",
     lambda v, c, o, p: re.fullmatch(r"-?[0-9.]+E[+-]\d{2,3}", o) is not None),
    ("after a bracketed currency the peer misreads exponents, fractions and percent",
     lambda v, c, o, p: "[$" in c and re.search(r"[Ee][+-]|[#0?]/|%", code_words(c))),
    ("the peer writes the locale of a [$-...] bracket that follows other text",
     lambda v, c, o, p: "[$-" in c and re.search(r"-\d{3}", p)),
    ("a typed -0 is zero; the peer keeps the sign of -0.0",
     lambda v, c, o, p: v == "-0"),
    ("a blank that begins a section is text, as in the fixed codes; the peer drops it",
     lambda v, c, o, p: o.replace(" ", "") == p.replace(" ", "") and re.search(r"(^|;|\]) ", c)),
    ("the peer loses the last placeholder's digit or blank before a _x space",
     lambda v, c, o, p: re.search(r"[0?]_", c) is not None),
    ("a colour after text: the peer writes its name as date fields",
     lambda v, c, o, p: re.search(r'"[^"]*"\[[A-Za-z]', c) is not None and "[" in p),
    ("a second section without a condition takes every value the first one's condition refuses;"
     " the peer gives the first section the values it keeps for a missing third",
     lambda v, c, o, p: re.match(r'^\[[<>=]+[^\]]*\][^;]*;(?!\[[<>=])[^;]*$', c) is not None),
    ("display keeps 15 significant digits",
     lambda v, c, o, p: significant(v) > 15 or significant(p) > 15),
]


def classify(dump):
    listed, pending = [], []
    with open(dump, encoding="utf-8") as f:
        for line in f:
            v, c, o, p = line.rstrip("\n").split("\t")
            reason = next((r for r, test in REASONS if test(v, c, o, p)), None)
            (listed if reason else pending).append((v, c, o, p, reason or "to mend"))
    header = "# typed value\tcode\tour text\tthe peer's text\treason (tools/make-format-comparison.py --classify)\n"
    for path, rows in ((LISTED, listed), (PENDING, pending)):
        with open(path, "w", encoding="utf-8") as f:
            f.write(header)
            for row in rows:
                f.write("\t".join(row) + "\n")
    print(f"{len(listed)} listed with a reason, {len(pending)} pending")


def read_cache():
    rows = []
    with open(OUT, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            rows.append((fields[0], fields[1]))
    return rows


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--check", action="store_true")
    ap.add_argument("--classify", metavar="DIFFERENCES")
    a = ap.parse_args()
    if a.classify:
        classify(a.classify)
        return
    rows = pairs()
    if a.check:
        from peeroffice import check_stored
        sys.exit(check_stored(read_cache(), rows, "pairs", "tools/make-format-comparison.py"))
    texts = ask_peer(rows)
    with open(OUT, "w", encoding="utf-8") as f:
        f.write("# typed value\tcode\twhat the peer shows (made by tools/make-format-comparison.py)\n")
        for (value, code), text in zip(rows, texts):
            if "\t" in text or "\n" in text:
                sys.exit(f"a tab or line break in the peer's text of {value} under {code}")
            f.write(f"{value}\t{code}\t{text}\n")
    print(f"{len(rows)} pairs written to {OUT}")


if __name__ == "__main__":
    main()
