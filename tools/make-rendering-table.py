#!/usr/bin/env python3
"""Makes tests/data/numfmt/rendering.tsv: how values show through number-format codes.

Every row is a value, a format code (written with the internal separators "." and ","),
the separator set it is shown with ("int": "." and ","; "de": "," and "."), the expected
text, where that text comes from and, for a row that departs from the peer, why.

The expected texts come from the peer spreadsheet (peer-calc --formats, LibreOffice
headless). Where this program shows a different text on purpose, RULES below gives the
text and the reason, and the row's source says "rule". A value that is an ISO 8601 date
or time is text to this program (dates are kept as text) and a serial number to the peer.
Blanks that the program draws as wide as a character ("?" without a digit, "_x") are
written as blanks, as the peer writes them.

    python3 tools/make-rendering-table.py [--peer PATH]

Run it again after changing VALUES, CODES or RULES; commit the table it writes.
"""

import argparse
import datetime
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "data", "numfmt", "rendering.tsv")

# Uneven values: signs, zero, tiny and huge, halves, values near rounding edges, values
# whose double lies just below what was typed, integers past 2^53.
VALUES = [
    "0", "1", "-1", "0.5", "-0.5", "1.5", "2.5", "-2.5", "2.675", "1.005", "0.125",
    "1234.5678", "-1234.5678", "1234567.891", "0.000123456", "1E-10", "-0.0001",
    "999.995", "0.999", "0.333333333333333", "0.25", "12.5", "3E+23",
    "123456789012345678", "1E+15", "-987654.321", "0.07", "100",
]

# Codes over every value: digits, grouping and scaling commas, percent, exponents,
# fractions, sections and conditions, colours, literals, text, spaces.
CODES = [
    "0", "0.00", "#,##0", "#,##0.00", "#.##", "0.###", "000", "#,#", "#,##0,",
    "#,##0.0,,", "0%", "0.00%", "0.0E+00", "0.00E+00", "0.0E-00", "# ?/?", "# ??/??",
    "?/?", "# ?/8", "# ??/100", "# ?/10", "0;(0)", "0.00;[red](0.00)",
    '[<10]"small";"big"', '"USD" 0.00', '0.00 "kg"', "General", "0_)", "?.??",
    '#,##0.00;-#,##0.00;"zero"', '[>=1000]#,##0,"K";0', "0\\%", '"x"0%',
    "#,##0.00_);(#,##0.00)", "0.0%;-0.0%", "00.000", "#", "0.0", "#,##0.000",
]

# Further features over fewer values: colours, conditions with three sections, fills and
# spaces, exponents at their limits, scaling with percent, literal text and escapes.
MORE_VALUES = ["0", "-3.25", "1234.5", "1E-300", "1E+300", "0.00049", "99999.5", "-0.5"]
MORE_CODES = [
    "[blue]0.0;[red]-0.0", '[>100]"big";[<-100]"small";0.00', "[=0]\"none\";0", "0.00E+0",
    "##0.0E+0", "0E+00", "0.0##", "0.0%,", '"$"#,##0_);[red]("$"#,##0)', "#,##0.00*-",
    "_(0.00_)", "0\ \k\g", "#,##0.0,\K", "0.000,,", "?/??", "# ???/???", "0 ?/16",
    "[<0]\"neg\";[>0]\"pos\";\"zero\"", "0;-0;", ";;0", "#,##0;(#,##0);-",
    "0.00;@", "\"Total: \"0", "0.0E-0", "+0;-0;0",
]

# A few codes again with a decimal comma and a thousands point.
DE_VALUES = ["0", "-1234.5678", "1234567.891", "0.5", "2.675", "0.125", "3E+23"]
DE_CODES = ["0.00", "#,##0.00", "#,##0", "0%", "0.00%", "0.0E+00", "# ?/?", "#,##0,"]

# Dates and times as stored text, under date, time and elapsed codes.
DATES = ["2006-01-31", "2006-01-31T13:05:09", "1985-03-04", "2005-03-04T00:30:00",
         "13:10:55", "2024-02-29T23:59:59"]
DATE_CODES = ["m/d/yyyy", "dd/mm/yy", "d-mmm-yyyy", "mmmm d, yyyy", "dddd", "h:mm AM/PM",
              "hh:mm:ss", "h:mm", "yyyy-mm-dd hh:mm", "mmm", "[h]:mm:ss", "ddd d mmmmm yy",
              "hh:mm A/P", "h:mm:ss.000", "mm:ss", "yyyy", "d/m", "hh\\hmm"]
DATES += ["2000-01-01T00:00:00", "2099-12-31T12:00:00", "1900-03-01T00:00:00.250",
          "12:00:00", "00:00:00"]

# Durations (ISO 8601 duration text) under elapsed codes.
DURATIONS = ["PT63H30M", "PT0H5M7S", "PT100H", "P1DT2H", "PT90M", "PT1.25S"]
DURATION_CODES = ["[h]:mm:ss", "[mm]:ss", "[h]:mm", "[ss]", "[h]:mm:ss.00"]

# Rows where this program shows another text on purpose: (value, code, set) -> (text, why).
HUGE = ("from 10^15 on a value's 15 digits hold no fraction: the whole number shows as the"
        " fixed codes show it, the fraction's place blank")
HUGE_PLAIN = ("from 10^15 on a value's 15 digits hold no fraction, and without a whole-part"
              " placeholder the plain form shows")
HALF = "a half rounds away from zero, as in the fixed codes; the peer rounds it to even"
PERCENT = ("rounded half away from zero from the 15-digit form 100.500000000000, as ROUND"
           " does; the peer rounds the binary product 100.49999999999999")
GENERAL = ("General shows the program's plain form (15 significant digits, a leading zero"
           " counted; three-digit exponents, lower-case e)")
TIME_ONLY = "a time alone holds no date: the text shows unchanged"
YY = ("yy writes two digits only for 2000-2029, the years typing reads them back as; other"
      " years in full")
NOT_DURATION = "a date is no duration: elapsed fields show the text unchanged"
DAYS_KEPT = "a duration's days are not folded into its hours (P1DT2H is 2 hours)"
RULES = {}
for v in ["3E+23", "123456789012345678", "1E+15"]:
    digits = {"3E+23": "3" + "0" * 23, "123456789012345678": "123456789012346000",
              "1E+15": "1" + "0" * 15}[v]
    for code, blanks in [("# ?/?", 4), ("# ??/??", 6), ("# ?/8", 3), ("# ??/100", 4),
                         ("# ?/10", 3)]:
        RULES[(v, code, "int")] = (digits + " " * blanks, HUGE)
    RULES[(v, "?/?", "int")] = ({"3E+23": "3e+023", "123456789012345678": "1.2345678901235e+017",
                                 "1E+15": "1e+015"}[v], HUGE_PLAIN)
RULES[("3E+23", "# ?/?", "de")] = ("3" + "0" * 23 + "    ", HUGE)
RULES[("0.125", "# ??/100", "int")] = (" 13/100", HALF)
RULES[("0.25", "# ?/10", "int")] = (" 3/10", HALF)
RULES[("1.005", "0%", "int")] = ("101%", PERCENT)
RULES[("1.005", '"x"0%', "int")] = ("x101%", PERCENT)
RULES[("1E-10", "General", "int")] = ("0.0000000001", GENERAL)
RULES[("0.333333333333333", "General", "int")] = ("0.33333333333333", GENERAL)
RULES[("3E+23", "General", "int")] = ("3e+023", GENERAL)
RULES[("123456789012345678", "General", "int")] = ("1.2345678901235e+017", GENERAL)
RULES[("1E+15", "General", "int")] = ("1e+015", GENERAL)
CAPITAL_AP = "A/P writes A or P as the code does; the peer writes them in lower case"
for code in DATE_CODES:
    if any(k in code for k in "yd") or code.startswith("mmm"):
        for t in [d for d in DATES if "-" not in d]:
            RULES[(t, code, "int")] = (t, TIME_ONLY)
RULES[("1985-03-04", "dd/mm/yy", "int")] = ("04/03/1985", YY)
RULES[("1900-03-01T00:00:00.250", "dd/mm/yy", "int")] = ("01/03/1900", YY)
RULES[("1985-03-04", "ddd d mmmmm yy", "int")] = ("Mon 4 M 1985", YY)
RULES[("1900-03-01T00:00:00.250", "ddd d mmmmm yy", "int")] = ("Thu 1 M 1900", YY)
RULES[("2099-12-31T12:00:00", "dd/mm/yy", "int")] = ("31/12/2099", YY)
RULES[("2099-12-31T12:00:00", "ddd d mmmmm yy", "int")] = ("Thu 31 D 2099", YY)
for d in DATES:
    if "-" in d:
        RULES[(d, "[h]:mm:ss", "int")] = (d, NOT_DURATION)
    hour, minute = 0, 0
    if ":" in d:
        hour, minute = (int(x) for x in d.split("T")[-1].split(":")[:2])
    twelve = hour % 12 or 12
    RULES[(d, "hh:mm A/P", "int")] = (f"{twelve:02d}:{minute:02d} {'A' if hour < 12 else 'P'}",
                                      CAPITAL_AP)


def peer_code(code, seps):
    """The code as the peer reads it under the locale of the set."""
    if seps != "de":
        return code
    out, quoted = [], False
    for ch in code:
        if ch == '"':
            quoted = not quoted
        elif not quoted and ch == ".":
            ch = ","
        elif not quoted and ch == ",":
            ch = "."
        out.append(ch)
    return "".join(out)


def serial(text):
    """The peer's serial number of an ISO date, time, date-time or duration."""
    if text.startswith("P"):
        m = re.fullmatch(r"P(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:([\d.]+)S)?)?", text)
        d, h, mi, sec = (float(g or 0) for g in m.groups())
        return repr(d + (h * 3600 + mi * 60 + sec) / 86400)
    if "T" in text or "-" in text:
        moment = datetime.datetime.fromisoformat(text)
        days = (moment - datetime.datetime(1899, 12, 30)).total_seconds() / 86400
    else:
        h, m, s = (int(p) for p in text.split(":"))
        days = (h * 3600 + m * 60 + s) / 86400
    return repr(days)


def run_peer(peer, rows, locale):
    lines = []
    for value, code, seps in rows:
        iso = ("-" in value[1:] and "E" not in value) or ":" in value or value.startswith("P")
        shown = serial(value) if iso else value
        lines.append(f"{shown}\t{peer_code(code, seps)}")
    done = subprocess.run([peer, "--formats", "--locale", locale], input="\n".join(lines) + "\n",
                          capture_output=True, text=True, check=True)
    out = done.stdout.rstrip("\n").split("\n")
    if len(out) != len(rows):
        sys.exit(f"peer gave {len(out)} lines for {len(rows)}")
    return [line.split("\t", 2)[2] for line in out]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--peer", default="/work/shared/tools/peer-calc")
    a = ap.parse_args()
    plain = [(v, c, "int") for c in CODES for v in VALUES]
    # The peer does not come back from a fraction of 1E+300 or 1E-300.
    plain += [(v, c, "int") for c in MORE_CODES for v in MORE_VALUES
              if not ("/" in c and "E" in v)]
    plain += [(d, c, "int") for c in DATE_CODES for d in DATES]
    plain += [(d, c, "int") for c in DURATION_CODES for d in DURATIONS]
    de = [(v, c, "de") for c in DE_CODES for v in DE_VALUES]
    texts = run_peer(a.peer, plain, "en-US") + run_peer(a.peer, de, "de-DE")
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w", encoding="utf-8") as f:
        f.write("# value\tcode\tseparators\texpected\tsource\twhy it departs from the peer\n")
        for (value, code, seps), peer in zip(plain + de, texts):
            rule = RULES.get((value, code, seps))
            if rule:
                f.write(f"{value}\t{code}\t{seps}\t{rule[0]}\trule\t{rule[1]} (peer: {peer})\n")
            else:
                f.write(f"{value}\t{code}\t{seps}\t{peer}\tpeer\t\n")
    print(f"{len(texts)} rows written to {os.path.normpath(OUT)}")


if __name__ == "__main__":
    main()
