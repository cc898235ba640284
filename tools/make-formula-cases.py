#!/usr/bin/env python3
"""Generates the formulas the peer comparison evaluates: cases for every catalogue function,
the operators and recalculations, drawn from a fixed seed so that the list is the same on
every run.

Each formula is written twice: as our engine reads it and as the peer (LibreOffice, through
its API grammar) reads it: ";" between arguments, "|" between an array constant's rows, "!"
for the intersection, and the peer's function names.

Every case is evaluated in column T of the first worksheet, row = its number, beside a fixed
block of data (A1:P20 and AA1:AE10, see DATA). Kinds: "function" (drawn calls of each catalogue
function), "operator", "recalc", "reach" (the everyday shapes the draws miss) and "reference"
(functions the peer has none of, against an answer worked out here or written in its own
functions), "place" (other worksheets, a folder's worksheets and named places, see
place_cases), "placed" (drawn calls of every function the peer has with an argument from
another worksheet or the folder, or #REF! or #NAME?, see placed_cases) and "everyday"
(formulas over an everyday worksheet, "Book", typed and drawn for every function, see
everyday_cases; judged against both peers only). A recalculation case ("recalc") stands on the second
worksheet instead: its cells are laid out, calculated, one input edited, and its first
cell read after one recalculation.

Output (stdout), one case a line, tab-separated:
  kind  function  our-formula  peer-formula  [recalc layout]
Run: python3 tools/make-formula-cases.py > /tmp/cases.tsv
     python3 tools/make-formula-cases.py --check tests/data/functions/formula-peer.tsv
"""
import glob
import os
import random
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SEED = 20261209
CASES_PER_FUNCTION = 80

# ---- The data block: the same cells in both engines --------------------------------------
# Each entry: (cell, kind, content) with kind "n" number, "t" text, "f" formula (our form;
# the peer's is translated).
DATA = []


def put_column(col, values):
    for i, v in enumerate(values):
        if v is None:
            continue
        cell = '%s%d' % (col, i + 1)
        if isinstance(v, str) and v.startswith('='):
            DATA.append((cell, 'f', v))
        elif isinstance(v, str):
            DATA.append((cell, 't', v))
        else:
            DATA.append((cell, 'n', repr(float(v))))


# A: ordinary numbers; G: a second set of as many; C: large offsets; D: positive fractions;
# F: tiny and huge magnitudes; M: dates.
put_column('A', [3, 1.5, -2, 7, 0.25, 10, 4, 2.5, 6, 8, 1, 9])
put_column('G', [2, 4.5, 1, 8, 3, 7.5, 5, 6, 0.5, 9, 2.5, 11])
put_column('C', [1e8 + 0.1, 1e8 + 0.2, 1e8 + 0.4, 1e8 + 0.7, 1e15 + 1, 1e15 + 3, 1e15 + 2, 1e15 + 5,
                 1e8 + 1.5, 1e8 + 2.5, 1e8 + 3.5, 1e8 + 0.3])
put_column('D', [0.1, 0.25, 0.5, 0.75, 0.9, 0.05, 0.3, 0.6, 0.15, 0.45, 0.85, 0.95])
put_column('F', [1e-300, 2e-300, 1e300, 3e300, 1e-17, 1e17, 5e-10, 7e10, 1e-155, 2e-155, 1e154, 1e-5])
put_column('M', [44197, 44228, 44256, 44287, 44317, 44348, 44378, 44409, 44440, 44470, 44501, 44531])
# B: a mixed column: blanks, texts, numeric texts, errors, booleans, formula cells.
put_column('B', [2, None, 'abc', '12', '=1/0', '=TRUE()', '=A1*2', 0, -1.5, '=""', None, 5])
# E: texts.
put_column('E', ['apple', 'Banana', 'cherry', 'a*b', '  two  words ', 'ABC', '123', '1.5', 'TRUE', 'x?y',
                 'Apple', 'date'])
# H: formula cells reading A and G.
put_column('H', ['=A%d+G%d' % (i, i) for i in range(1, 13)])
# I1:K3 and I5:K7 3x3 matrices, I9:J10 2x2, L1:L3 and L5:L7 vectors.
put_column('I', [4, 2, 1, None, 2, 1, 0, None, 3, 1])
put_column('J', [1, 5, 2, None, 1, 3, 1, None, 1, 2])
put_column('K', [0, 1, 6, None, 1, 1, 4])
put_column('L', [1, 2, 3, None, 2, 0, 5])
# N: binary, octal and hex texts; O: complex texts; P: a column of numbers with blanks.
put_column('N', ['101', '7777', 'FF', '1111111111', '-1', '11', 'A5', '0'])
put_column('O', ['3+4i', '-2i', '1.5-0.5i', '5', 'i', '0', '2+2j', '-1'])
put_column('P', [1, None, 3, None, 5, None, 7, 8, None, 10, 11, None])
# Apart from the rest (a range that a function extends to the right of A:P must not reach them):
# AA decimals computed by formulas beside the numbers they meet; AB a statistical column under a
# header, with a text, an empty text and a blank; AC and AD ascending and descending data with
# repeats; AE texts past 1,024 characters and of both cases with wildcard characters.
put_column('AA', ['=0.1*3', '=0.7+0.1', '=1-0.9', '=0.29*100', '=0.1+0.2', 0.3, 0.8, 0.1, 29, '=1.1*1.1'])
put_column('AB', ['Header', 5, 'n/a', 7, '=""', 2.5, None, 9])
put_column('AC', [1, 2, 2, 3, 3, 3, 5, 8])
put_column('AD', [8, 5, 3, 3, 3, 2, 2, 1])
put_column('AE', ['a' * 1030 + 'XyZ?*~b', 'Mixed Case text with ? and * and ~ marks', 'abcABCabc', 'x' * 2000])
# AF: a bowl of two variables with its lowest point 2 at (3, -1), and a cubic of one whose root
# lies between 1 and 2, for the searches over variable cells.
put_column('AF', ['=(AF2-3)^2+(AF3+1)^2+2', 0.5, 0.25, '=AF2^3-AF2-1'])

# Other worksheets (after the cases above were cached, so no earlier case reaches them): a
# worksheet "Other" beside the first one, and a folder "Box" holding the worksheets "Inner" and
# "Inner2". The peer has no folders: each worksheet is a sheet of its own name, the folder the
# run of sheets from Inner to Inner2. A data cell's place is "PATH!CELL" there.
SHEETS = [('Other', ''), ('Inner', '\\Box'), ('Inner2', '\\Box'), ('Book', '')]


def put_sheet_column(path, col, values):
    start = len(DATA)
    put_column(col, values)
    DATA[start:] = [(path + '!' + cell, kind, content) for cell, kind, content in DATA[start:]]


# Other: numbers; a mixed column (text, numeric text, blank, error, truth value, number); a cell
# reading the first worksheet and one reading the folder's worksheet; errors the formulas give
# by reference and by name; the paths of places held as texts.
put_sheet_column('Other', 'A', [5, 2.5, -1, 8, 0.5, 3])
put_sheet_column('Other', 'B', ['text', '7', None, '=1/0', '=TRUE()', 4])
put_sheet_column('Other', 'C', ['=Sheet1!A1*2', "='\\Box\\Inner'!A2+1"])
put_sheet_column('Other', 'D', ['=#REF!', '=#NAME?', '=#N/A!'])
put_sheet_column('Other', 'E', ['\\Box\\Inner', 'Other', '\\Box'])
# Inner reads its sibling by its name alone: a name is looked up in the folder of the worksheet.
put_sheet_column('\\Box\\Inner', 'A', [1, 2, 3, 4])
put_sheet_column('\\Box\\Inner', 'B', ['=Inner2!A1*10', 'x'])
put_sheet_column('\\Box\\Inner2', 'A', [11, 12, 'n/a', 14, None, '=1/0'])

# Book: an everyday sheet as people keep one (a shop list, a payroll, a gradebook): a header
# over each column, gaps, "n/a" and "-" typed where a number is missing, ="" results, one row in
# error, dates (typed, so ISO texts) with a leap February, rates as fractions; pairs with gaps on either side, cash
# flows under a header, truth values beside texts, matrices holding an error or a text, and a
# cell of each error kind. Its cases are the "everyday" ones (everyday_cases).
put_sheet_column('Book', 'A', ['Item', 'Apples', 'Pears', None, 'Milk', 'Bread', 'Eggs', 'Cheese', 'Rice',
                               'Tea', 'Jam', 'Salt'])
put_sheet_column('Book', 'B', ['Qty', 3, 5, None, 'n/a', 7, 2, '-', 4, '=""', 6, 1])
put_sheet_column('Book', 'C', ['Price', 2.5, 1.2, 4, 3, None, 10, 0.5, 'n/a', 8, 1.5, 2])
put_sheet_column('Book', 'D', ['Total', 7.5, 6, '=""', 1.75, 12, '=1/0', 3.5, 20, 9, None, 4.25])
put_sheet_column('Book', 'E', ['Dept', 'Fruit', 'Fruit', None, 'Dairy', 'Bakery', 'Dairy', 'Dairy', '=""', 'Tea',
                               'fruit', 'Spice'])
# Dates as typed: ISO texts, which both peers read as the dates they name.
put_sheet_column('Book', 'F', ['Date', '2024-01-01', '2024-01-31', '2024-02-29', '2024-03-31', None, '2024-05-31',
                               'n/a', '2024-08-31', '2023-02-28', '2024-12-31', '2025-02-28'])
put_sheet_column('Book', 'G', ['Rate', 0.05, 0.1, 0.075, None, '-', 0.2, 0.15, 0.025, 1, 0.5, 0.3])
put_sheet_column('Book', 'H', ['x', 1, 2, None, 4, 5, 'n/a', 7, 8, '=""', 10, 11])
put_sheet_column('Book', 'I', ['y', 2, None, 6, 8, '-', 12, 14, 16, 18, '=""', 22])
put_sheet_column('Book', 'J', ['Flow', -1000, 300, None, 400, 'n/a', 350, 200, '=""', 150, 100, '-'])
put_sheet_column('Book', 'K', ['Done', '=TRUE()', '=FALSE()', 1, 0, 'yes', '=""', None, '=1=1', 2, 'n/a', '=TRUE()'])
# L2:N4 a plain 3x3 matrix, L6:N8 one holding an error, L10:N12 one holding a text.
put_sheet_column('Book', 'L', ['M', 4, 2, 1, None, 4, 2, 1, None, 4, 'n/a', 1])
put_sheet_column('Book', 'M', ['M', 1, 5, 2, None, 1, '=1/0', 2, None, 1, 5, 2])
put_sheet_column('Book', 'N', ['M', 0, 1, 6, None, 0, 1, 6, None, 0, 1, 6])
# O2:O8 one cell of each error kind; P a score column without gaps below its header.
put_sheet_column('Book', 'O', ['Err', '=1/0', '=NA()', '=SQRT(-1)', '="a"+1', '=#REF!', '=#NAME?',
                               '=A1:A2_B1:B2'])
put_sheet_column('Book', 'P', ['Score', 68, 72.5, 91, 55, 80, 64, 77, 88, 59, 95, 70])

# ---- Argument pools -------------------------------------------------------------------------
ORDINARY = ['3', '2.5', '-1.5', '0', '1', '0.5', '7', '10', '100', '0.1', '4', '12.75', '-3', '2', '5', '0.3']
TINY_HUGE = ['1E-300', '1E-17', '1E-10', '1E+15', '1E+100', '1E+300', '1.7E+308', '-1E+300', '-1E-300', '1E+22']
OFFSETS = ['(1E+8+0.25)', '(1E+8+0.1)', '(1E+15+3)', '(1E+15+0.5)', '(-1E+8-0.7)', '(1E+8+1E-7)']
LIMITS = ['2147483647', '-2147483648', '2147483648', '-2147483649', '9007199254740992', '9007199254740993',
          '4294967296']
DECIMALS = ['19.99', '0.29', '1.1', '0.285', '0.07', '2.675', '1.005', '0.3', '-19.99', '-0.29', '1234.5678',
            '(0.1+0.2)', '(0.3-0.1)', '(0.29*100)', '(1.1*3)', '4.35', '0.615', '-2.5', '8.325']
CELLS = ['A1', 'A3', 'B2', 'B3', 'B4', 'B5', 'B6', 'B7', 'B10', 'E1', 'E7', 'E8', 'C1', 'C5', 'F1', 'F3', 'H4',
         'D2', 'M1']
ODD = ['TRUE', 'FALSE', '"3"', '"abc"', '""', '"1E+2"', 'NA()', '1/0', '" 2 "']
INTS = ['0', '1', '2', '3', '5', '7', '10', '20', '-1', '-2', '0.5', '2.9', '30', '100', '170', '171', '1000',
        '2147483647', '2147483648', '-2147483648']
DIGITS = ['0', '1', '2', '3', '-1', '-2', '4', '5', '10', '15', '-10', '0.5', '1.9', '', '16', '-308', '308']
UNIT = ['0.5', '0.1', '0.9', '0.05', '0.95', '0.01', '0.99', '0.25', '0.75', '1E-10', '0.999999', '0', '1', '-0.1',
        '1.1', '0.3', '0.6', '1E-300']
POS = ['1', '2', '0.5', '3', '5', '10', '1.5', '0.1', '25', '100', '1E-10', '1E+10', '0', '-1', '7.5', '30', '1E+200',
       '1E-200']
RATES = ['0.05', '0.1', '0.01', '-0.05', '0', '0.08/12', '0.2', '-0.5', '0.5', '1E-10', '-0.99', '1', '0.0725', '2',
         '-1', '-1.5']
DATES = ['44197', '44255.5', '36526', '1', '60', '61', '0', '-1', '2958465', '2958466', '45000.75', '"2021-03-04"',
         'M1', 'M5', '43000', '37000', '41000.25', '"2020-02-29"', '"2021-13-01"', '"abc"', '40000']
TIMES = ['0.5', '0.25', '0.999999', '0.1', '1.75', '0', '-0.5', '"12:30:15"', '"25:00"', '44197.6', '0.000011574',
         '0.04166666667', '2', '1E+5']
TEXTS = ['"apple"', '"Banana split"', '""', '"  two  words  "', '"ABC"', '"a*b"', '"123"', '"1.5"', '"x?y"',
         '"hello world"', '"Straße"', '"e"', '"aaa"', 'E1', 'E2', 'E5', 'E4', 'B2', 'B3', 'A1', '12.5', 'TRUE', '"TRUE"',
         'REPT("ab",600)', 'REPT("x",1025)', 'REPT("long ",1700)', '"it\'s"', '"' + 'q' * 300 + '"']
BINS = ['"101"', '"1111111111"', '"0"', '"1"', '"11"', '"1000000000"', '"2"', '""', 'N1', 'N4', '101', '"0111"']
OCTS = ['"7777"', '"17"', '"0"', '"7777777777"', '"1"', '"8"', '"4000000000"', 'N2', '17', '"377"']
HEXS = ['"FF"', '"A5"', '"0"', '"FFFFFFFFFF"', '"ff"', '"G"', '"7FFFFFFFFF"', 'N3', 'N7', '"10"', '"8000000000"']
CPLX = ['"3+4i"', '"-2i"', '"1.5-0.5i"', '"5"', '"i"', '"0"', '"2+2j"', '"-1"', 'O1', 'O3', '"1E+100+1E+100i"',
        '"1E-200i"', '3', '"4-3i"', '"abc"', '"-0.5+0.25i"', '"1+i"']
BOOLS = ['TRUE', 'FALSE', '0', '1', '2', '', '"TRUE"', 'B6']
CRITERIA = ['">3"', '"<=2.5"', '"apple"', '"a*"', '"<>0"', '3', '"=12"', '"?????"', 'A1', '"*"', '""', '"<>"',
            '">=1E+8"', '"Banana*"', 'TRUE', '"=TRUE"', '">abc"']

RANGES = ['A1:A12', 'G1:G12', 'B1:B12', 'H1:H12', 'A1:A6', 'A7:A12', 'C1:C12', 'F1:F12', 'D1:D12', 'P1:P12',
          'A12:A1', 'B12:B1', '{1,2,3,4}', '{1;2;3;4}', '{1,2,"a",TRUE}', '{-1,0,2.5,1E+15}', 'A1:B6',
          'A1:A12_A3:C9', 'E1:E12', 'M1:M12', 'A1:G2', 'B1:B6', 'A2', 'B2', 'A1:A1', '{0.1,0.2,0.3}',
          '(A1:A6_A4:B12)']
PAIRS = [('A1:A12', 'G1:G12'), ('A1:A6', 'G7:G12'), ('B1:B12', 'A1:A12'), ('H1:H12', 'G1:G12'),
         ('{1,2,3,4}', '{2,4,5,8}'), ('C1:C12', 'A1:A12'), ('A1:A5', 'G1:G6'), ('D1:D12', 'A1:A12'),
         ('P1:P12', 'G1:G12'), ('{1;2;3}', '{3;5;8}'), ('A12:A1', 'G12:G1'), ('F1:F12', 'A1:A12'),
         ('G1:G12', 'A1:A12'), ('{1,2,3,4,5}', '{1,2,3,4,5}'), ('A1:A3', 'A1:A3')]
MATRICES = ['I1:K3', 'I5:K7', 'I9:J10', '{2,1;1,3}', '{1,2;2,4}', 'L1:L3', 'A1:A3', '{5}', 'I1:K2', 'B1:C2',
            '{4,2,1;2,5,2;1,2,6}', '{1E+200,0;0,1E+200}']


# Functions whose work in the peer grows with an integer argument (a loop over the periods,
# the trials, the order): their integers stay at most 1000 so that the peer answers in time.
BOUNDED = {'critBinom', 'hypGeomDist', 'ddb', 'db', 'cumIPMT', 'cumPRINC', 'besselJ', 'besselY', 'poisson',
           'binomDist', 'ipmt', 'ppmt', 'fv', 'pv', 'pmt', 'nper', 'rate', 'syd', 'permut', 'combin', 'combin2',
           'fact', 'factDouble', 'multinomial', 'seriesSum', 'mtxRand', 'mtxRand2', 'mtxSeries', 'mtxDiag',
           'rept', 'tDist', 'tInv', 'chiDist', 'chiInv', 'fDist', 'fInv', 'weibull', 'gcd', 'lcm', 'address',
           'offset', 'char', 'mid', 'left', 'right', 'replace', 'substitute', 'find', 'search', 'choose',
           'percentRank', 'large', 'small', 'eDate', 'eoMonth', 'workDay', 'networkDays', 'date', 'time',
           'confidence', 'dollarDe', 'dollarFr', 'effect', 'nominal'}
# The peer's date functions do not come back from dates far past the calendar's end.
DATE_FUNCTIONS = {'year', 'month', 'day', 'weekDay', 'weekNum', 'eDate', 'eoMonth', 'workDay', 'networkDays',
                  'dateValue', 'hour', 'minute', 'second', 'date', 'time', 'timeValue', 'dateDiff', 'eDate2'}
LARGE_CELLS = {'C1', 'C5', 'F3', 'C1:C12', 'F1:F12'}


def small_enough(text, limit):
    if text in LARGE_CELLS:
        return False
    try:
        return abs(float(eval(text.replace('^', '**')))) <= limit
    except Exception:
        return True


class Drawer:
    def __init__(self, rng):
        self.rng = rng
        self.bounded = 0  # the largest magnitude drawn; 0 for any

    def pick(self, pool):
        if self.bounded:
            pool = [p for p in pool if small_enough(p, self.bounded)] or ['1']
        return self.rng.choice(pool)

    def number(self):
        r = self.rng.random()
        if r < 0.35:
            return self.pick(ORDINARY)
        if r < 0.47:
            return self.pick(TINY_HUGE)
        if r < 0.55:
            return self.pick(OFFSETS)
        if r < 0.62 and not self.bounded:
            return self.pick(LIMITS)
        if r < 0.80:
            return self.pick(DECIMALS)
        if r < 0.92:
            return self.pick(CELLS)
        return self.pick(ODD)

    def draw(self, tag):
        # Mostly from the argument's own domain, sometimes anything at all.
        if tag not in ('range', 'pair', 'matrix', 'crit') and self.rng.random() < 0.12:
            return self.number()
        return {
            'x': self.number,
            'int': lambda: self.pick(INTS),
            'digits': lambda: self.pick(DIGITS),
            'unit': lambda: self.pick(UNIT),
            'pos': lambda: self.pick(POS),
            'rate': lambda: self.pick(RATES),
            'date': lambda: self.pick(DATES),
            'time': lambda: self.pick(TIMES),
            'text': lambda: self.pick(TEXTS),
            'bin': lambda: self.pick(BINS),
            'oct': lambda: self.pick(OCTS),
            'hex': lambda: self.pick(HEXS),
            'cplx': lambda: self.pick(CPLX),
            'bool': lambda: self.pick(BOOLS),
            'crit': lambda: self.pick(CRITERIA),
            'range': lambda: self.pick(RANGES),
            'matrix': lambda: self.pick(MATRICES),
            'any': lambda: self.pick(ORDINARY + CELLS + ODD + RANGES[:6]),
        }[tag]()


# ---- The catalogue -------------------------------------------------------------------------

def catalogue():
    """The rows of the function catalogue as the sources state them."""
    rows = []
    for path in sorted(glob.glob(os.path.join(ROOT, 'functions/general/catalogue_*.inc'))):
        text = open(path, encoding='utf-8').read()
        for m in re.finditer(r'\{(0x[0-9A-Fa-f]+),', text):
            pos, fields = m.end(), []
            while len(fields) < 3:
                parts = []
                while True:
                    s = re.match(r'\s*"((?:[^"\\]|\\.)*)"', text[pos:])
                    if not s:
                        break
                    parts.append(s.group(1))
                    pos += s.end()
                fields.append(''.join(parts).replace('\\0', '\0'))
                pos += re.match(r'\s*,', text[pos:]).end()
            code = int(m.group(1), 16)
            args = DRAWN_ARGUMENTS.get(fields[0], fields[1].split('\0') if fields[1] else [])
            rows.append(dict(name=fields[0], args=args, kinds=fields[2][:len(args)],
                             variadic=bool(code & 0x10000)))
    return sorted(rows, key=lambda r: r['name'].lower())


# Signatures the cached cases were drawn from, kept so that the draws stay those the peer
# answered until its answers are taken anew: CUMIPMT's and CUMPRINC's timing and TREND's
# optional x came later.
DRAWN_ARGUMENTS = {
    'cumIPMT': ['rate', 'nper', 'pv', 'start', 'end'],
    'cumPRINC': ['rate', 'nper', 'pv', 'start', 'end'],
    'trend': ['array_y', 'array_x', 'new_x', '[const]'],
}


# The peer's name where it is not ours in capitals; None where the peer has no such function.
PEER_NAMES = {
    'combin2': 'COMBINA', 'effect': 'EFFECTIVE', 'errorType': 'ERROR.TYPE', 'getStep': 'GESTEP', 'mtxMlt': 'MMULT',
    'mtxT': 'TRANSPOSE', 'dateDiff': None, 'eDate2': None, 'sort': None, 'udf': None, 'rtd': None,
    'unique': None, 'LProg': None, 'LProgBin': None, 'LProgInt': None, 'minMC': None, 'minSimplex': None,
    'QProg': None, 'root': None, 'polyReg': None, 'polyPoints': None, 'timeSeries': None,
    'chiTest2': None, 'tTest2': None, 'zTest2': None,  # written out by STATISTIC_FORMULAS 'mtxBkSubst': None, 'mtxChl': None, 'mtxDiag': None,
    'mtxFwSubst': None, 'mtxGauss': None, 'mtxLSC': None, 'mtxLSW': None, 'mtxRand': None, 'mtxRand2': None,
    'mtxSeries': None, 'mtxSVD': None, 'tTest': 'TTEST',
    # Our distributions give the lower tail: the peer's functions of the lower tail.
    'chiDist': 'CHISQ.DIST', 'chiInv': 'CHISQ.INV', 'fDist': 'F.DIST', 'fInv': 'F.INV', 'tDist': 'T.DIST',
    'tInv': 'T.INV',
}
# Calls whose arguments the peer takes otherwise: the peer's form of the argument texts.
PEER_ARGUMENTS = {
    'ATAN2': lambda a: [a[1], a[0]],  # ours: x the ordinate, y the abscissa
    'CHIDIST': lambda a: a + ['1'], 'FDIST': lambda a: a + ['1'], 'TDIST': lambda a: a + ['1'],
    'CUMIPMT': lambda a: a + ['0'], 'CUMPRINC': lambda a: a + ['0'],  # payments at the end
    'MIRR': lambda a: a + [a[-1]],  # one rate for financing and reinvestment
    'TTEST': lambda a: a + ['2'],  # ours is the two-sample test of equal variances
}

# Argument tags by name, then per function where the name alone does not tell.
NAME_TAGS = {
    'x': 'x', 'y': 'x', 'z': 'cplx', 'z1': 'cplx', 'z2': 'cplx', 'n': 'int', 'k': 'int', 'm': 'x',
    'digits': 'digits', '[digits]': 'digits', 'decimals': 'digits', '[decimals]': 'digits',
    'probability': 'unit', 'p': 'unit', 'alpha': 'unit', 'rate': 'rate', 'date': 'date', 'date1': 'date',
    'date2': 'date', 'time': 'time', 'text': 'text', 'text1': 'text', 'text2': 'text', 'searchText': 'text',
    'withinText': 'text', 'pattern': 'text', 'replaceText': 'text', 'cumulative': 'bool', 'c': 'bool',
    'deviation': 'pos', 'mean': 'x', 'f_degrees': 'int', 'f_degrees1': 'int', 'f_degrees2': 'int',
    'lambda': 'pos', 'beta': 'pos', 'size': 'int', 'trials': 'int', 'npery': 'int', 'nper': 'int',
    'period': 'int', 'life': 'int', 'cost': 'pos', 'salvage': 'pos', 'pv': 'x', 'fv': 'x', 'pmt': 'x',
    'type': 'bool', 'numbering': 'int', 'days_off': 'range', 'criteria': 'crit', 'v': 'x', 'hour': 'int',
    'minute': 'int', 'second': 'int', 'year': 'int', 'month': 'int', 'day': 'int', 'real': 'x',
    'imaginary': 'x', 'suffix': 'text', 'upper': 'x', 'step': 'x', 'base': 'pos', 'principal': 'x',
    'guess': 'rate', 'start': 'int', 'end': 'int', 'factor': 'pos', 'fraction': 'int', 'n1': 'int', 'n2': 'int',
    'quart': 'int', 'percent': 'unit', 'order': 'bool', 'sigma': 'pos', 'tails': 'int', 'lower': 'x',
    'const': 'bool', 'no_separators': 'bool', 'test': 'x', 'then_value': 'any', 'else_value': 'any',
    'row': 'int', 'column': 'int', 'mode': 'bool', 'path': 'text', 'width': 'int', 'height': 'int',
    'source': 'range', 'searchArray': 'range', 'sumArray': 'range', 'resultArray': 'range', 'array': 'range',
    'vector': 'range', 'N': 'int', 's': 'int', 't': 'int', 'a': 'x',
}
FUNCTION_TAGS = {
    'year': ['date'], 'month': ['date'], 'day': ['date'], 'weekDay': ['date', 'int'], 'weekNum': ['date', 'int'],
    'date': ['int', 'int', 'int'], 'time': ['int', 'int', 'int'], 'dateValue': ['text'],
    'timeValue': ['text'], 'bin2dec': ['bin'], 'bin2hex': ['bin', 'digits'], 'bin2oct': ['bin', 'digits'],
    'oct2dec': ['oct'], 'oct2bin': ['oct', 'digits'], 'oct2hex': ['oct', 'digits'], 'hex2dec': ['hex'],
    'hex2bin': ['hex', 'digits'], 'hex2oct': ['hex', 'digits'], 'dec2bin': ['int', 'digits'],
    'dec2hex': ['int', 'digits'], 'dec2oct': ['int', 'digits'], 'char': ['int'], 'code': ['text'],
    'rept': ['text', 'int'], 'left': ['text', 'int'], 'right': ['text', 'int'], 'mid': ['text', 'int', 'int'],
    'replace': ['text', 'int', 'int', 'text'], 'substitute': ['text', 'text', 'text', 'int'],
    'find': ['text', 'text', 'int'], 'search': ['text', 'text', 'int'], 'fixed': ['x', 'digits', 'bool'],
    'dollar': ['x', 'digits'], 'value': ['text'], 'besselJ': ['x', 'int'], 'besselY': ['pos', 'int'],
    'binomDist': ['int', 'int', 'unit', 'bool'], 'hypGeomDist': ['int', 'int', 'int', 'int'],
    'critBinom': ['int', 'unit', 'unit'], 'poisson': ['int', 'pos', 'bool'], 'permut': ['int', 'int'],
    'combin': ['int', 'int'], 'combin2': ['int', 'int'], 'fact': ['int'], 'factDouble': ['int'],
    'weibull': ['pos', 'pos', 'pos', 'bool'], 'exponDist': ['pos', 'pos', 'bool'], 'chiDist': ['pos', 'int'],
    'chiInv': ['unit', 'int'], 'fDist': ['pos', 'int', 'int'], 'fInv': ['unit', 'int', 'int'],
    'tDist': ['pos', 'int'], 'tInv': ['unit', 'int'], 'normDist': ['x', 'x', 'pos', 'bool'],
    'normInv': ['unit', 'x', 'pos'], 'normsInv': ['unit'], 'normsDist': ['x'], 'fisher': ['unit'],
    'fisherInv': ['x'], 'confidence': ['unit', 'pos', 'int'], 'standardize': ['x', 'x', 'pos'],
    'large': ['range', 'int'], 'small': ['range', 'int'], 'percentile': ['range', 'unit'],
    'quartile': ['range', 'int'], 'percentRank': ['range', 'x', 'int'], 'rank': ['x', 'range', 'bool'],
    'trimMean': ['range', 'unit'], 'zTest': ['range', 'x', 'pos'], 'zTest2': ['range', 'x', 'pos'],
    'prob': ['pair', 'x', 'x'], 'forecast': ['x', 'pair'], 'tTest': ['pair', 'int'],
    'index': ['matrix', 'int', 'int'], 'offset': ['range', 'int', 'int', 'int', 'int'],
    'address': ['int', 'int', 'int', 'bool', 'text'], 'indirect': ['text', 'bool'],
    'choose': ['int'], 'match': ['x', 'range', 'int'], 'lookUp': ['x', 'range', 'range'],
    'vLookUp': ['x', 'matrix', 'int', 'bool'], 'hLookUp': ['x', 'matrix', 'int', 'bool'],
    'countIf': ['range', 'crit'], 'sumIf': ['range', 'crit', 'range'], 'mod': ['x', 'x'],
    'quotient': ['x', 'x'], 'power': ['x', 'x'], 'atan2': ['x', 'x'], 'log': ['pos', 'pos'],
    'seriesSum': ['x', 'int', 'int', 'range'], 'mRound': ['x', 'x'], 'ceiling': ['x', 'x'], 'floor': ['x', 'x'],
    'round': ['x', 'digits'], 'roundUp': ['x', 'digits'], 'roundDown': ['x', 'digits'], 'trunc': ['x', 'digits'],
    'randBetween': ['int', 'int'], 'effect': ['rate', 'int'], 'nominal': ['rate', 'int'],
    'dollarDe': ['x', 'int'], 'dollarFr': ['x', 'int'], 'mirr': ['range', 'rate', 'rate'],
    'xirr': ['range', 'range', 'rate'], 'xnpv': ['rate', 'range', 'range'],
    'fv': ['rate', 'int', 'x', 'x', 'bool'], 'pv': ['rate', 'int', 'x', 'x', 'bool'],
    'pmt': ['rate', 'int', 'x', 'x', 'bool'], 'nper': ['rate', 'x', 'x', 'x', 'bool'],
    'ipmt': ['rate', 'int', 'int', 'x', 'x', 'bool'], 'ppmt': ['rate', 'int', 'int', 'x', 'x', 'bool'],
    'rate': ['int', 'x', 'x', 'x', 'bool', 'rate'], 'cumIPMT': ['rate', 'int', 'x', 'int', 'int', 'bool'],
    'cumPRINC': ['rate', 'int', 'x', 'int', 'int', 'bool'], 'db': ['pos', 'pos', 'int', 'int', 'int'],
    'ddb': ['pos', 'pos', 'int', 'int', 'pos'], 'sln': ['x', 'x', 'int'], 'syd': ['pos', 'pos', 'int', 'int'],
    'eDate': ['date', 'int'], 'eoMonth': ['date', 'int'], 'workDay': ['date', 'int', 'range'],
    'networkDays': ['date', 'date', 'range'], 'dateDiff': ['date', 'date'], 'eDate2': ['date', 'text'],
    'if': ['x', 'any', 'any'], 'not': ['x'], 'delta': ['x', 'x'], 'erf': ['x', 'x'], 'getStep': ['x', 'x'],
    'complex': ['x', 'x', 'text'], 'imPower': ['cplx', 'x'], 'imExp': ['cplx'], 'column': ['range'],
    'row': ['range'], 'columns': ['range'], 'rows': ['range'], 'transpose': ['matrix'], 'mtxT': ['matrix'],
    'mDeterm': ['matrix'], 'mInverse': ['matrix'], 'linEst': ['pair', 'bool'], 'trend': ['pair', 'range', 'bool'],
    'frequency': ['range', 'range'], 'unique': ['range', 'int'], 'sort': ['matrix', 'int', 'int'],
    'exact': ['text', 'text'], 'mtxDiag': ['int', 'x'], 'mtxSeries': ['int', 'x', 'x'],
    'mtxRand': ['int', 'int', 'int'], 'mtxRand2': ['int', 'int', 'int', 'int', 'x', 'x'],
}
# Functions whose arguments are a list of ranges or values, and what the list holds.
LIST_TAGS = {
    'and': 'x', 'or': 'x', 'imSum': 'cplx', 'imProduct': 'cplx', 'concatenate': 'text', 'choose': 'any',
    'irr': 'range', 'npv': 'x', 'fvSchedule': 'rate', 'gcd': 'int', 'lcm': 'int', 'multinomial': 'int',
    'mMult': 'matrix', 'mtxMlt': 'matrix', 'sumProduct': 'range', 'areas': 'range', 'countBlank': 'range',
}
# Results that differ on every evaluation: their cases ask a property the value must have.
VOLATILE = {
    'now': ['=NOW()>44000', '=INT(NOW())=TODAY()', '=ISNUMBER(NOW())'],
    'today': ['=TODAY()>44000', '=TODAY()=INT(TODAY())', '=ISNUMBER(TODAY())'],
    'rand': ['=RAND()<1', '=RAND()>=0', '=ISNUMBER(RAND())', '=INT(RAND())'],
}


def tags_of(row):
    if row['name'] in FUNCTION_TAGS:
        tags = list(FUNCTION_TAGS[row['name']])
        if not row['variadic']:
            tags = tags[:len(row['args']) + tags.count('pair')]
    else:
        tags = []
        for arg, kind in zip(row['args'], row['kinds']):
            if kind == '1':
                tags.append('matrix' if arg in ('m', 'A', 'U', 'L', 'B', 'b', 'E', 'G') else 'range')
            else:
                tags.append(NAME_TAGS.get(arg, 'x'))
    return tags


def expand(tags):
    """Tags to argument slots: a "pair" stands for two ranges of matching length."""
    out = []
    for t in tags:
        if t == 'pair':
            out += ['pair0', 'pair1']
        else:
            out.append(t)
    return out


def wrapped_call(d, row):
    """A call inside an expression: for functions whose own arguments draw too few cases."""
    name = row['name'].upper()
    if name in ('NOW', 'TODAY'):
        return '=IF(%s()>44000,%s,0)' % (name, d.number())
    if name == 'RAND':
        return '=IF(AND(RAND()>=0,RAND()<1),%s,0)' % d.number()
    if name == 'RANDBETWEEN':
        lo, width = d.pick(INTS[:12]), d.pick(['0', '1', '3', '10', '1000'])
        return '=IF(AND(RANDBETWEEN(%s,%s+%s)>=%s,RANDBETWEEN(%s,%s+%s)<=%s+%s),1,0)' % (
            lo, lo, width, lo, lo, lo, width, lo, width)
    if not row['args'] and not row['variadic']:
        return '=%s()%s%s' % (name, d.pick(['+', '-', '*', '/', '^', '&', '=', '<']), d.number())
    call = draw_call(d, row)[1:]
    # An array argument combined with a number, the call inside an arithmetic expression.
    call = re.sub(r'\(([A-Z]+[0-9]+:[A-Z]+[0-9]+|\{[^}]*\})', lambda m: '(%s%s%s' % (
        m.group(1), d.pick(['*', '+', '-', '/']), d.pick(['2', '0.5', '-1', '3'])), call, count=1)
    return '=%s%s%s' % (call, d.pick(['+', '*', '-']), d.pick(['1', '0.5', '2', '-3']))


def draw_call(d, row):
    name = row['name']
    if name == 'randBetween':
        lo = d.pick(['1', '0', '-5', '10', '2.5'])
        return '=AND(RANDBETWEEN(%s,%s+%s)>=%s,RANDBETWEEN(%s,%s+%s)<=%s+%s)' % (
            lo, lo, '10', lo, lo, lo, '10', lo, '10')
    d.bounded = 1e7 if name in DATE_FUNCTIONS else 1000 if name in BOUNDED else 0
    tags = expand(tags_of(row))
    optional = [a.startswith('[') for a in row['args']]
    args = []
    pair = d.pick(PAIRS)
    for i, tag in enumerate(tags):
        if tag.startswith('pair'):
            args.append(pair[int(tag[-1])])
        else:
            args.append(d.draw(tag))
    # Omitted optional arguments: left empty, or cut off at the end.
    for i in range(len(args)):
        if i < len(optional) and optional[i] and d.rng.random() < 0.3:
            args[i] = ''
    while args and len(args) > len([o for o in optional if not o]) and args[-1] == '' and d.rng.random() < 0.5:
        args.pop()
    if row['variadic']:
        list_tag = LIST_TAGS.get(name, 'x')
        count = d.rng.choice([1, 1, 2, 2, 3, 3, 4, 5, 6, 8])
        for _ in range(count):
            if list_tag == 'x' and d.rng.random() < 0.4:
                args.append(d.pick(RANGES))
            elif list_tag == 'x' and d.rng.random() < 0.1:
                args.append(d.pick(['', 'TRUE', '"7"', 'B3']))
            else:
                args.append(d.draw(list_tag))
    return '=%s(%s)' % (name.upper(), ','.join(args))


# ---- Translation to the peer's grammar ------------------------------------------------------

def split_arguments(text):
    """The top-level arguments of an argument list's text."""
    out, depth, quoted, start = [], 0, False, 0
    for i, ch in enumerate(text):
        if ch == '"':
            quoted = not quoted
        elif not quoted and ch in '({':
            depth += 1
        elif not quoted and ch in ')}':
            depth -= 1
        elif not quoted and ch == ',' and depth == 0:
            out.append(text[start:i])
            start = i + 1
    out.append(text[start:])
    return out


# ERRORTYPE numbers the kinds as our error codes do; the peer's ERROR.TYPE as it does, and 0
# is no error.
ERROR_NUMBERS = 'CHOOSE(ERROR.TYPE(%s),3,1,7,6,2,5,4)'


# The statistics the peer has no function of, written out in its own functions.
def _t_statistic(a):
    x, y = a[0], a[1]
    return ('(AVERAGE({x})-AVERAGE({y}))/SQRT(((COUNT({x})-1)*VAR({x})+(COUNT({y})-1)*VAR({y}))'
            '/(COUNT({x})+COUNT({y})-2)*(COUNT({x})+COUNT({y}))/(COUNT({x})*COUNT({y})))').format(x=x, y=y)


def _z_statistic(a):
    sigma = a[2] if len(a) > 2 and a[2] != '' else 'STDEV(%s)' % a[0]
    return '(AVERAGE({a})-({x}))/(({s})/SQRT(COUNT({a})))'.format(a=a[0], x=a[1], s=sigma)


STATISTIC_FORMULAS = {
    'TTEST2': (2, _t_statistic),
    'ZTEST2': (3, _z_statistic),
    'CHITEST2': (2, lambda a: 'SUMPRODUCT(((%s)-(%s))^2/(%s))' % (a[0], a[1], a[1])),
}


FOLDERS = {'\\box': ('Inner', 'Inner2')}
QUALIFIED = re.compile(r'!(\$?[A-Z]{1,3}\$?[0-9]*(?::\$?[A-Z]{1,3}\$?[0-9]*)?)(?![A-Za-z0-9_\\(])')


def peer_place(name, ref):
    """Our qualifier (a worksheet's or folder's name or path) before a reference, as the peer's
    sheet reference: a worksheet by its own name, a folder as the run of its sheets."""
    path = (name if name.startswith('\\') else '\\' + name).lower()
    if path in FOLDERS:
        first, last = FOLDERS[path]
        start, _, end = ref.partition(':')
        return '$%s.%s:$%s.%s' % (first, start, last, end or start)
    return '$%s.%s' % (name.split('\\')[-1], ref)


def peer_qualifiers(formula):
    """Qualified references (Other!A1, 'path'!A1:B2, "name"!A1) in the peer's notation, and our
    #N/A! as the peer's #N/A; the rest unchanged."""
    out, i = [], 0
    while i < len(formula):
        ch = formula[i]
        name, end = None, i
        if ch in '"\'':
            close = formula.find(ch, i + 1)
            close = len(formula) if close < 0 else close
            name, end = formula[i + 1:close], close + 1
        elif (ch.isalpha() or ch == '\\') and (i == 0 or not (formula[i - 1].isalnum() or formula[i - 1] in '#.$')):
            m = re.match(r'[A-Za-z_\\][A-Za-z0-9_\\]*', formula[i:])
            name, end = m.group(0), i + m.end()
        if name is not None:
            m = QUALIFIED.match(formula, end)
            if m:
                out.append(peer_place(name, m.group(1)))
                i = m.end()
                continue
            out.append(formula[i:end])
            i = end
            continue
        if formula.startswith('#N/A!', i):
            out.append('#N/A')
            i += 5
            continue
        out.append(ch)
        i += 1
    return ''.join(out)


def peer_formula(formula, names):
    m = re.fullmatch(r'=(TTEST2|ZTEST2|CHITEST2)\((.*)\)', formula)
    if m:
        most, write = STATISTIC_FORMULAS[m.group(1)]
        arguments = split_arguments(m.group(2))
        if 2 <= len(arguments) <= most:
            formula = '=' + write(arguments)
    m = re.fullmatch(r'=ERRORTYPE\((.*)\)', formula)
    if m and len(split_arguments(m.group(1))) == 1:
        formula = '=IF(ISERROR(%s),%s,0)' % (m.group(1), ERROR_NUMBERS % m.group(1))
    # The peer's AREAS takes one reference: a list of areas is their union (~) in parentheses.
    m = re.fullmatch(r'=AREAS\((.*)\)', formula)
    if m and len(split_arguments(m.group(1))) > 1:
        formula = '=AREAS((%s))' % '~'.join(split_arguments(m.group(1)))
    # The peer's COUNTBLANK takes one range: a list is the sum of each one's count.
    m = re.fullmatch(r'=COUNTBLANK\((.*)\)', formula)
    if m and len(split_arguments(m.group(1))) > 1:
        formula = '=' + '+'.join('COUNTBLANK(%s)' % a for a in split_arguments(m.group(1)))
    m = re.fullmatch(r'=([A-Z0-9]+)\((.*)\)', formula)
    if m and m.group(1) in PEER_ARGUMENTS:
        arguments = split_arguments(m.group(2))
        try:
            formula = '=%s(%s)' % (m.group(1), ','.join(PEER_ARGUMENTS[m.group(1)](arguments)))
        except IndexError:
            pass
    if '!' in formula:
        formula = peer_qualifiers(formula)
    out, depth, quoted, i = [], 0, False, 0
    while i < len(formula):
        ch = formula[i]
        if ch == '"':
            quoted = not quoted
        elif not quoted:
            m = re.match(r'([A-Za-z][A-Za-z0-9.]*)\(', formula[i:])
            if m and (i == 0 or not (formula[i - 1].isalnum() or formula[i - 1] == '.')):
                word = m.group(1)
                peer = names.get(word.upper(), word.upper())
                out.append((peer or ('NOPEER.' + word.upper())) + '(')
                i += m.end()
                continue
            if ch == '{':
                depth += 1
            elif ch == '}':
                depth -= 1
            elif ch == ',':
                ch = ';'
            elif ch == ';' and depth:
                ch = '|'
            elif ch == '_':
                ch = '!'
        out.append(ch)
        i += 1
    return ''.join(out)


# ---- Operators and recalculations ----------------------------------------------------------

def operator_cases(d):
    cases = []
    sums = ['0.1+0.2', '0.3', '0.1*3', '1-0.9', '0.1', '0.7+0.1', '0.8', '1E+15+0.3', '1E+15+0.30000001',
            '1.1*1.1', '1.21', '100*1.1', '110', '1/3*3', '1', '0.29*100', '29', 'A1*0.1', '0.3*1', '"0.3"']
    for _ in range(240):
        a, b = d.pick(sums), d.pick(sums)
        op = d.pick(['=', '<>', '<', '<=', '>', '>='])
        cases.append(('operator', 'compare', '=IF(%s%s%s,1,0)' % (a, op, b)))
        cases.append(('operator', 'compare', '=(%s)%s(%s)' % (a, op, b)))
    areas = ['A1:B2', 'A1:A12', 'B2', 'A3:C3', 'C1', 'G1:G12', 'A5', 'A1:C12', 'B1:B12', 'A12:A1', 'C5:A3',
             'D4:F8', 'A2:A2']
    for _ in range(220):
        a, b = d.pick(areas), d.pick(areas)
        f = d.pick(['SUM', 'AVERAGE', 'COUNT', 'MAX', 'COUNTA', 'ROWS', 'COLUMNS', ''])
        if f:
            cases.append(('operator', 'intersect', '=%s(%s_%s)' % (f, a, b)))
        else:
            cases.append(('operator', 'intersect', '=%s_%s' % (a, b)))
    for _ in range(40):
        a = d.pick(areas)
        cases.append(('operator', 'range', '=SUM(%s)+COUNT(%s)' % (a, a)))
    joins = ['"abc"', '1.5', 'A1', 'E1', 'B2', 'TRUE', '0.1+0.2', '1E+15', '1/3', 'REPT("z",1000)',
             'REPT("y",1030)', '""', 'B5', '-0', '123456789012345', '1E-7', '2^53', 'REPT("w",8000)']
    for _ in range(160):
        parts = [d.pick(joins) for _ in range(d.rng.choice([2, 2, 3, 4]))]
        cases.append(('operator', 'join', '=LEN(' + '&'.join(parts) + ')'))
        cases.append(('operator', 'join', '=' + '&'.join(parts)))
    arith = ['2^53', '2^53+1', '-2^31', '2^31', '1E+308*10', '1E-308/1E+10', '0/0', '"3"+2', '"abc"+1', 'B2+1',
             'B3*2', 'B4+1', 'B6+1', '-A3^2', '(-8)^(1/3)', '0^0', '10%', '1E+15+0.3-1E+15', '3-2.9', '"1E+2"*1',
             '" 2 "*1', '"1,5"*1', 'TRUE+TRUE', '"TRUE"+0', '5-"2"']
    for _ in range(120):
        a, b = d.pick(arith), d.pick(arith)
        cases.append(('operator', 'arith', '=%s%s%s' % (a, d.pick(['+', '-', '*', '/', '^', '&']), b)))
    # Deep nesting and many arguments.
    for depth in (8, 12, 13, 16, 20, 32, 48, 64):
        cases.append(('operator', 'nest', '=' + '(' * depth + '1' + ')' * depth + '+1'))
        cases.append(('operator', 'nest', '=' + 'IF(1,' * depth + '2' + ',0)' * depth))
    for count in (10, 30, 46, 47, 50, 100, 200, 255):
        cases.append(('operator', 'args', '=SUM(%s)' % ','.join(str(k % 7 + 0.5) for k in range(count))))
        cases.append(('operator', 'args', '=MAX(%s)' % ','.join(str(k) for k in range(count))))
    return cases


def recalc_cases(d):
    """A function over formula cells that an edit changes: layout "input;before;after" where the
    input goes to E, formulas in B..D read E, and the function in A reads B:D."""
    functions = ['COUNTBLANK(B{r}:D{r})', 'COUNT(B{r}:D{r})', 'COUNTA(B{r}:D{r})', 'SUM(B{r}:D{r})',
                 'AVERAGE(B{r}:D{r})', 'MAX(B{r}:D{r})', 'MIN(B{r}:D{r})', 'PRODUCT(B{r}:D{r})',
                 'COUNTIF(B{r}:D{r},">2")', 'SUMIF(B{r}:D{r},">2")', 'MATCH(5,B{r}:D{r},0)',
                 'LOOKUP(6,B{r}:D{r})', 'INDEX(B{r}:D{r},1,2)', 'ISBLANK(B{r})', 'ISTEXT(C{r})',
                 'CONCATENATE(B{r},C{r},D{r})', 'STDEV(B{r}:D{r})', 'MEDIAN(B{r}:D{r})', 'RANK(B{r},B{r}:D{r})',
                 'SUMPRODUCT(B{r}:D{r},B{r}:D{r})', 'LARGE(B{r}:D{r},1)', 'VAR(B{r}:D{r})',
                 'COUNTBLANK(B{r}:D{r})+COUNT(B{r}:D{r})', 'SUMSQ(B{r}:D{r})', 'AND(B{r}:D{r})']
    cells = ['IF(E{r}=1,"",5)', 'IF(E{r}=1,"",6)', 'IF(E{r}>1,E{r}*2,"")', 'E{r}*3', 'E{r}+0.5',
             'IF(E{r}=2,"x",E{r})', 'IF(E{r}=1,1/0,E{r})', 'E{r}', 'IF(E{r}<2,E{r},"")']
    cases = []
    for _ in range(240):
        f = d.pick(functions)
        b, c, dd = d.pick(cells), d.pick(cells), d.pick(cells)
        before, after = d.pick(['1', '2', '3', '0']), d.pick(['1', '2', '3', '0', '7'])
        layout = '|'.join([f, b, c, dd, before, after])
        cases.append(('recalc', 'recalc', layout))
    return cases


def reach_cases(d):
    """The everyday shapes the drawn cases miss: decimals computed in searched and criteria
    ranges, MATCH's three types over repeats, long texts, wildcards and letter cases, flows that
    change sign, negative t, fractional and negative conditions, blank tests, headers in
    statistical ranges, date and time fields past their bounds, repeats for MODE, operators
    between ranges of different shapes, whole columns and every error kind as an argument."""
    cases = []

    def add(function, formula):
        cases.append(('reach', function, formula))

    for v in ['0.3', '0.8', '0.1', '29', '(0.1*3)', '(1-0.9)', '1.21', '0.30000000000001']:
        add('countIf', '=COUNTIF(AA1:AA10,%s)' % v)
        add('countIf', '=COUNTIF(AA1:AA10,"<"&%s)' % v)
        add('sumIf', '=SUMIF(AA1:AA10,">="&%s,A1:A10)' % v)
        add('sumIf', '=SUMIF(AA1:AA10,"="&%s,G1:G10)' % v)
        for t in ('0', '1', '-1'):
            add('match', '=MATCH(%s,AA1:AA5,%s)' % (v, t))
        add('vLookUp', '=VLOOKUP(%s,AA1:AB10,1,FALSE)' % v)
        add('hLookUp', '=HLOOKUP(%s,{0.1,0.2,0.3,0.8},1,FALSE)' % v)
        add('lookUp', '=LOOKUP(%s,{0.1,0.2,0.3,0.8})' % v)
        add('getStep', '=GETSTEP(%s,0.3)' % v)
    for v in ['0', '1', '2', '3', '4', '5', '8', '9', '2.5', '3.5', '"3"']:
        for t in ('1', '0', '-1', ''):
            add('match', '=MATCH(%s,AC1:AC8,%s)' % (v, t) if t else '=MATCH(%s,AC1:AC8)' % v)
            add('match', '=MATCH(%s,AD1:AD8,%s)' % (v, t) if t else '=MATCH(%s,AD1:AD8)' % v)
        add('lookUp', '=LOOKUP(%s,AC1:AC8,A1:A8)' % v)
        add('vLookUp', '=VLOOKUP(%s,AC1:AD8,3,TRUE)' % v)
    for f in ['=LEN(AE1)', '=LEN(AE4)', '=MID(AE1,1020,20)', '=RIGHT(AE1,7)', '=LEFT(AE1,1030)=REPT("a",1030)',
              '=FIND("X",AE1)', '=SEARCH("x",AE1)', '=SEARCH("b",AE1,1025)', '=FIND("b",AE1,1040)',
              '=LEN(REPLACE(AE1,1025,3,"Q"))', '=MID(AE4,1999,5)', '=LEN(AE1&AE1)', '=CODE(MID(AE1,1031,1))',
              '=LEN(SUBSTITUTE(AE1,"a","bb"))', '=LEN(REPT(AE1,3))', '=EXACT(AE1,AE1)', '=COUNTIF(AE1:AE4,"a*")',
              '=LEN(TRIM(AE1))', '=LEN(UPPER(AE4))', '=LEN(MID(AE1,1000,100))']:
        add('text', f)
    texts = ['"what?"', '"a*b*c"', '"tilde~here"', '"Apple"', '"APPLE apple"', 'AE2', 'AE3', '"x?y"']
    finds = ['"?"', '"*"', '"~"', '"~?"', '"~*"', '"a"', '"A"', '"p?e"', '"a*c"', '"P"']
    for t in texts:
        for f in finds:
            add('substitute', '=SUBSTITUTE(%s,%s,"!")' % (t, f))
            add('search', '=SEARCH(%s,%s)' % (f, t))
            add('find', '=FIND(%s,%s)' % (f, t))
        add('replace', '=REPLACE(%s,2,3,"?*")' % t)
        add('substitute', '=SUBSTITUTE(%s,"a","Z",2)' % t)
    for c in ['"a*"', '"A*"', '"*a*"', '"?????"', '"~*"', '"*~?*"', '"apple"', '"APPLE"', '"<>apple"', '"x~?y"',
              '"*e"', '"B*"', '"<B"', '">=b"']:
        add('countIf', '=COUNTIF(E1:E12,%s)' % c)
        add('sumIf', '=SUMIF(E1:E12,%s,A1:A12)' % c)
    for flows in ['{-1000,300,300,300}', '{-1000,300,300,300,300}', '{100,-50,-60}', '{-100,230,-132}',
                  '{-500,100,100,100,100,100,-20}', '{1000,-300,-300,-300,-300}', '{-1,1}', '{-100,50,60}']:
        add('irr', '=IRR(%s)' % flows)
        add('irr', '=IRR(%s,-0.1)' % flows)
        add('npv', '=NPV(0.1,%s)' % flows)
    for args in ['10,-100,1100', '10,-100,900', '5,100,-450', '12,-100,1281.78', '3,-50,140', '10,100,-1100',
                 '4,-300,1000', '24,-50,1000', '10,-100,1100,0,1', '6,200,-1000,0,0,-0.1']:
        add('rate', '=RATE(%s)' % args)
    for rate in ['-0.01', '-0.05', '-0.5', '-0.99']:
        for f in ['PV(%s,12,-100)', 'FV(%s,12,-100)', 'PMT(%s,12,1000)', 'NPER(%s,-100,1000)',
                  'IPMT(%s,2,12,1000)', 'PPMT(%s,2,12,1000)', 'CUMIPMT(%s,12,1000,1,3,0)']:
            add('annuity', '=' + f % rate)
    for x in ['-1.5', '-0.5', '-3', '-10', '0']:
        for df in ['1', '5', '30']:
            add('tDist', '=TDIST(%s,%s)' % (x, df))
    for c in ['0.2', '-0.2', '-19.99', '0.5', '-1', '2.5', '1E-300', '-0', '0.29']:
        add('if', '=IF(%s,1,0)' % c)
        add('not', '=NOT(%s)' % c)
        add('and', '=AND(%s,1)' % c)
        add('or', '=OR(%s)' % c)
    for cell in ['A1', 'B2', 'B10', 'B8', 'P2', 'E1', 'B5']:
        add('compare', '=IF(%s="","empty","full")' % cell)
        add('compare', '=%s<>""' % cell)
        add('compare', '=%s=0' % cell)
        add('compare', '=%s<"a"' % cell)
        add('isBlank', '=ISBLANK(%s)' % cell)
    for f in ['AVERAGE', 'VAR', 'STDEV', 'PRODUCT', 'SUMSQ', 'DEVSQ', 'SKEW', 'GEOMEAN', 'AVEDEV', 'MEDIAN',
              'MODE', 'HARMEAN', 'KURT', 'VARP', 'STDEVP', 'SUM', 'MAX', 'MIN', 'COUNT', 'COUNTA', 'LARGE']:
        rng = 'AB1:AB8,2' if f == 'LARGE' else 'AB1:AB8'
        add('stat', '=%s(%s)' % (f, rng))
        add('stat', '=%s(AB2:AB8,B1:B5)' % f if f != 'LARGE' else '=LARGE(AB2:AB8,1)')
    for y, m, dd in [(2024, 13, 1), (2024, 3, 0), (2024, 0, 1), (2024, 1, -1), (2024, 14, 31), (2024, -1, 15),
                     (2023, 2, 29), (2024, 2, 29), (2024, 1, 32), (2024, 12, 31), (2024, 1.5, 1), (2024, 2, 1.9)]:
        add('date', '=DATE(%s,%s,%s)' % (y, m, dd))
        add('date', '=DAY(DATE(%s,%s,%s))' % (y, m, dd))
    for h, mi, se in [(10, 100, 170), (25, 0, 0), (0, -1, 0), (0, 0, 60), (23, 59, 59), (24, 0, 0), (1, 0, -1),
                      (0, 1440, 0), (12.5, 0, 0), (0, 0, 86400)]:
        add('time', '=TIME(%s,%s,%s)' % (h, mi, se))
        add('time', '=HOUR(TIME(%s,%s,%s))' % (h, mi, se))
    for args in ['1,2,3', '1,2,2,3', '3,3,1,1', '1,1,2,2,3', 'AC1:AC8', 'AD1:AD8', 'A1:A12', 'A1:A12,A1',
                 '{1,2,3,3}', '0.1,0.1,0.2', 'AA1:AA10', '5', '"1","1",2']:
        add('mode', '=MODE(%s)' % args)
    for f in ['=SUMPRODUCT((A2:A4>1)*(I1:K1>0)*I1:K3)', '=SUMPRODUCT(A1:A3*I1:K1)', '=SUMPRODUCT(A1:A3,I1:K1)',
              '=SUMPRODUCT((A1:A3)*(G1:G2))', '=SUMPRODUCT(I1:K3*L1:L3)', '=SUMPRODUCT(I1:K3*I1:K1)',
              '=SUMPRODUCT(--(E1:E12="apple"))', '=SUMPRODUCT((E1:E12="apple")*A1:A12)',
              '=SUMPRODUCT(IF(E1:E3="apple",A1:A3,0))', '=SUMPRODUCT((A1:A12>3)+(G1:G12>3))',
              '=SUMPRODUCT(A1:B2*{1,2;3,4})', '=SUMPRODUCT(A1:A4*{1,2,3,4})', '=SUMPRODUCT({1;2}*{3,4})']:
        add('shapes', f)
    for f in ['=SUM(P:P)', '=COUNT(P:P)', '=MAX(A:A)', '=MATCH(7,A:A,0)', '=COUNTIF(E:E,"a*")',
              '=SUMIF(E:E,"apple",A:A)', '=AVERAGE(G:G)', '=COUNTA(AE:AE)', '=ROWS(A:A)', '=SUM(AC:AC)']:
        add('columns', f)
    errors = ['1/0', 'NA()', 'SQRT(-1)', '"a"+1', 'A1:A2_C1:C2', 'B5']
    for e in errors:
        for f in ['ISERROR(%s)', 'ISNA(%s)', 'ISERR(%s)', 'ERRORTYPE(%s)', 'SUM(1,%s)', 'IF(%s,1,0)',
                  'ISNUMBER(%s)', 'ISTEXT(%s)', 'N(%s)', 'COUNT(%s)', 'MAX(%s,1)', 'AND(%s)', 'ABS(%s)',
                  'LEN(%s)', 'CONCATENATE("a",%s)', 'COUNTA(%s)']:
            add('errors', '=' + f % e)
    return cases


def _solve(a, b):
    """x of a x = b by exact fractions: the reference of the solving functions."""
    from fractions import Fraction
    n = len(a)
    m = [[Fraction(v) for v in row] + [Fraction(b[i])] for i, row in enumerate(a)]
    for c in range(n):
        p = next(r for r in range(c, n) if m[r][c] != 0)
        m[c], m[p] = m[p], m[c]
        for r in range(n):
            if r != c and m[r][c] != 0:
                f = m[r][c] / m[c][c]
                m[r] = [x - f * y for x, y in zip(m[r], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def _determinant(a):
    from fractions import Fraction
    m = [[Fraction(v) for v in row] for row in a]
    n, det = len(m), Fraction(1)
    for c in range(n):
        p = next((r for r in range(c, n) if m[r][c] != 0), None)
        if p is None:
            return Fraction(0)
        if p != c:
            m[c], m[p] = m[p], m[c]
            det = -det
        det *= m[c][c]
        for r in range(c + 1, n):
            f = m[r][c] / m[c][c]
            m[r] = [x - f * y for x, y in zip(m[r], m[c])]
    return det


def _array(rows):
    return '{' + ';'.join(','.join(repr(v) for v in row) for row in rows) + '}'


def reference_cases():
    """The functions the peer has none of, against references: the answer worked out here in
    exact arithmetic (a fraction's nearest double, a text), or written in the peer's functions;
    INDEX reaches each element of an array result. Each: (function, our formula, the peer's
    formula in our notation)."""
    import datetime
    from fractions import Fraction
    cases = []
    systems = [([[4, 1, 0], [2, 5, 1], [1, 2, 6]], [1, 2, 3]), ([[2, 1, 1], [1, 3, 1], [0, 1, 4]], [2, 0, 5]),
               ([[3, 1], [1, 2]], [1, 4]), ([[4, 2, 1], [2, 5, 2], [1, 2, 6]], [7, -1, 0.5]),
               ([[1e-3, 1], [1, 1]], [1, 2]), ([[0, 2, 1], [1, 1, 0], [3, 0, 1]], [3, 2, 4])]
    for a, b in systems:
        x = _solve(a, b)
        # Symmetric with positive leading minors: positive definite, as MTXCHL asks.
        spd = all(a[i][j] == a[j][i] for i in range(len(a)) for j in range(len(a))) and all(
            _determinant([row[:k] for row in a[:k]]) > 0 for k in range(1, len(a) + 1))
        lower = [[a[i][j] if j <= i else 0 for j in range(len(a))] for i in range(len(a))]
        upper = [[a[i][j] if j >= i else 0 for j in range(len(a))] for i in range(len(a))]
        xl, xu = _solve(lower, b) if all(lower[i][i] for i in range(len(a))) else None, \
            _solve(upper, b) if all(upper[i][i] for i in range(len(a))) else None
        column = _array([[v] for v in b])
        for k in range(len(a)):
            cases.append(('mtxGauss', '=INDEX(MTXGAUSS(%s,%s,,,),%d)' % (_array(a), column, k + 1),
                          '=%r' % float(x[k])))
            if spd:
                cases.append(('mtxChl', '=INDEX(MTXCHL(%s,%s,,),%d)' % (_array(a), column, k + 1),
                              '=%r' % float(x[k])))
            if xl:
                cases.append(('mtxFwSubst', '=INDEX(MTXFWSUBST(%s,%s),%d)' % (_array(lower), column, k + 1),
                              '=%r' % float(xl[k])))
            if xu:
                cases.append(('mtxBkSubst', '=INDEX(MTXBKSUBST(%s,%s),%d)' % (_array(upper), column, k + 1),
                              '=%r' % float(xu[k])))
        cases.append(('mtxGauss', '=MTXGAUSS(%s,%s,,,6)' % (_array(a), column), '=%r' % float(_determinant(a))))
        cases.append(('mtxGauss', '=INDEX(MTXGAUSS(%s,%s,,,5),1,1)' % (_array(a), column),
                      '=INDEX(MINVERSE(%s),1,1)' % _array(a)))
    for n, x in [(3, '7'), (1, '2.5'), (4, '-1'), (3, '{1,2,3}')]:
        for r, c in sorted({(1, 1), (min(2, n), min(2, n)), (1, min(2, n)), (n, n)}):
            value = x if not x.startswith('{') else x[1:-1].split(',')[r - 1]
            cases.append(('mtxDiag', '=INDEX(MTXDIAG(%d,%s),%d,%d)' % (n, x, r, c), '=' + (value if r == c else '0')))
    for n, x, step in [(5, 1, '0.1'), (4, 2.5, '-1'), (3, 0, '1E+10'), (6, -3, '0.25'), (2, 7, '')]:
        for k in range(1, n + 1):
            want = Fraction(repr(x)) + (k - 1) * (Fraction(step) if step else 1)
            cases.append(('mtxSeries', '=INDEX(MTXSERIES(%d,%s,%s),%d)' % (n, x, step, k), '=%r' % float(want)))
    # UNIQUE sorts the values and keeps one of each (a text and a number never equal); type 2
    # counts them. SORT gives the rows' order as row numbers, 1 ascending and 0 descending.
    for values in [[3, 1, 3, 2], [5, 5, 5], [1, 2, 3], [-1, 0.5, -1, 0.5, 2], [0.1, 0.2, 0.1], [2, 3, 1, 2, 5, 3, 1]]:
        groups = sorted(set(values))
        arr = _array([[v] for v in values])
        for k in range(1, len(groups) + 1):
            cases.append(('unique', '=INDEX(UNIQUE(%s,),%d)' % (arr, k), '=%r' % float(groups[k - 1])))
            cases.append(('unique', '=INDEX(UNIQUE(%s,2),%d,2)' % (arr, k), '=%d' % values.count(groups[k - 1])))
        cases.append(('unique', '=ROWS(UNIQUE(%s,1))' % arr, '=%d' % len(groups)))
    table = [[3, 10], [1, 30], [2, 20], [5, 0], [4, 40]]
    for col, order in [(1, 1), (1, 0), (2, 1), (2, 0), (1, '')]:
        ranked = sorted(range(5), key=lambda r: table[r][col - 1], reverse=order == 0)
        for k in range(1, 6):
            cases.append(('sort', '=INDEX(SORT(%s,%d,%s),%d)' % (_array(table), col, order, k), '=%d' % (ranked[k - 1] + 1)))
    for k, want in enumerate([2, 4, 1, 5, 3]):
        cases.append(('sort', '=INDEX(SORT({3;1;5;2;4},1,1),%d)' % (k + 1), '=%d' % want))
    # Linear programs of two variables (maximise c x, x >= 0, A x <= b) with one optimal
    # vertex, found here among the vertices in exact arithmetic; LPROGINT and LPROGBIN over
    # the whole and 0-1 points.
    import itertools
    programs = [([[1, 1], [1, 3]], [4, 6], [1, 2]), ([[2, 1], [1, 2]], [8, 7], [3, 2]), ([[1, 0], [0, 1]], [3, 5], [1, 1]),
                ([[1, 2], [3, 1]], [10, 15], [2, 5]), ([[4, 3], [1, 1]], [24, 7], [5, 4])]
    for a, b, c in programs:
        lines = [(row, rhs) for row, rhs in zip(a, b)] + [([1, 0], 0), ([0, 1], 0)]
        best, arg = None, None
        for (r1, b1), (r2, b2) in itertools.combinations(lines, 2):
            det = Fraction(r1[0] * r2[1] - r1[1] * r2[0])
            if det == 0:
                continue
            x = [(b1 * r2[1] - r1[1] * b2) / det, (r1[0] * b2 - b1 * r2[0]) / det]
            if min(x) < 0 or any(sum(v * w for v, w in zip(row, x)) > rhs for row, rhs in zip(a, b)):
                continue
            value = sum(v * w for v, w in zip(c, x))
            if best is None or value > best:
                best, arg = value, x
        call = '%s,{1;1},%s,%s' % (_array(a), _array([[v] for v in b]), _array([[v] for v in c]))
        for k in (1, 2):
            cases.append(('LProg', '=INDEX(LPROG(%s,1,,),%d)' % (call, k), '=%r' % float(arg[k - 1])))
        points = [x for x in itertools.product(range(0, 25), repeat=2)
                  if all(sum(v * w for v, w in zip(row, x)) <= rhs for row, rhs in zip(a, b))]
        whole = max(points, key=lambda x: (sum(v * w for v, w in zip(c, x)), x))
        if sum(1 for x in points if sum(v * w for v, w in zip(c, x)) == sum(v * w for v, w in zip(c, whole))) == 1:
            for k in (1, 2):
                cases.append(('LProgInt', '=INDEX(LPROGINT(%s,{1;1},1,,),%d)' % (call, k), '=%d' % whole[k - 1]))
        binary = [x for x in points if max(x) <= 1]
        top = max(binary, key=lambda x: sum(v * w for v, w in zip(c, x)))
        if sum(1 for x in binary if sum(v * w for v, w in zip(c, x)) == sum(v * w for v, w in zip(c, top))) == 1:
            for k in (1, 2):
                cases.append(('LProgBin', '=INDEX(LPROGBIN(%s,{1;1},1,,),%d)' % (call, k), '=%d' % top[k - 1]))
    # Quadratic programs with a diagonal C: each x_i = p_i / (2 C_ii) inside the bounds.
    for p_, c_, bound in [([4], [1], 4), ([6, 2], [1, 2], 10), ([1, 9], [0.5, 1.5], 20), ([3], [3], 0.25)]:
        n = len(p_)
        a = [[1] * n]
        x = [Fraction(repr(pv)) / (2 * Fraction(repr(cv))) for pv, cv in zip(p_, c_)]
        if sum(x) > bound:
            continue
        cmat = [[c_[i] if i == j else 0 for j in range(n)] for i in range(n)]
        for k in range(1, n + 1):
            cases.append(('QProg', '=INDEX(QPROG(%s,{1},{%s},%s,%s,1,),%d)' % (
                _array(a), bound, _array([[v] for v in p_]), _array(cmat), k), '=%r' % float(x[k - 1])))
    # Least squares: square systems solve exactly; SVD's rank.
    for a, b in [([[2, 0], [0, 4]], [2, 4]), ([[3, 1], [1, 2]], [1, 4]), ([[4, 1, 0], [2, 5, 1], [1, 2, 6]], [1, 2, 3])]:
        x = _solve(a, b)
        n = len(a)
        ident = [[1 if i == j else 0 for j in range(n)] for i in range(n)]
        column = _array([[v] for v in b])
        for k in range(1, n + 1):
            cases.append(('mtxLSW', '=INDEX(MTXLSW(%s,%s,%s,,),%d)' % (_array(a), column, _array(ident), k), '=%r' % float(x[k - 1])))
            cases.append(('mtxSVD', '=INDEX(MTXSVD(%s,%s,,1),%d)' % (_array(a), column, k), '=%r' % float(x[k - 1])))
        cases.append(('mtxSVD', '=MTXSVD(%s,%s,,2)' % (_array(a), column), '=%d' % n))
    cases.append(('mtxSVD', '=MTXSVD({1,2;2,4},{1;2},,2)', '=1'))
    # Least squares under an equality: x1 fixed by E x = d, x2 the least-squares rest.
    for d in (1, -2, 0.5):
        cases.append(('mtxLSC', '=INDEX(MTXLSC({1,0;0,1},{1;2},{1,0},{%s},,),1)' % d, '=%r' % float(d)))
        cases.append(('mtxLSC', '=INDEX(MTXLSC({1,0;0,1},{1;2},{1,0},{%s},,),2)' % d, '=2.0'))
    pairs = [('2005-01-01', '2005-12-31'), ('2024-02-28', '2024-03-01'), ('2023-02-28', '2023-03-01'),
             ('2021-03-04', '2021-03-04'), ('1999-12-31', '2000-01-01'), ('2000-01-01', '2024-06-30')]
    for d1, d2 in pairs:
        days = (datetime.date.fromisoformat(d2) - datetime.date.fromisoformat(d1)).days
        cases.append(('dateDiff', '=DATEDIFF("%s","%s")' % (d1, d2), '="P%dD"' % days))
    for d, days in [('2005-03-03', -30), ('2024-02-28', 1), ('2023-02-28', 1), ('2020-12-31', 1), ('2021-01-01', -1),
                    ('2000-02-29', 365), ('2024-06-15', 100)]:
        want = datetime.date.fromisoformat(d) + datetime.timedelta(days=days)
        period = ('-P%dD' % -days) if days < 0 else ('P%dD' % days)
        cases.append(('eDate2', '=EDATE2("%s","%s")' % (d, period), '="%s"' % want.isoformat()))
    return cases


def solver_cases():
    """The solvers, the regressions and the automation formulas at their limits and on every
    error route; the peer has none of them, so the comparison judges each against a reference
    of its own. Each: (function, our formula)."""
    cases = []
    lp = '{2,1,1;1,1,3},{1;0},{5;10},{4;2;2}'
    for k in (1, 2, 3):
        cases.append(('LProg', '=INDEX(LPROG(%s,1,,),%d)' % (lp, k)))
    for tail in ['0,,', '2,,', '2147483647,,', '2147483648,,', '-1,,', '1,0,', '1,-1E-300,', '1,,-1',
                 '1,1E-10,1E+6', '"1",,', '1/0,,']:
        cases.append(('LProg', '=LPROG(%s,%s)' % (lp, tail)))
    for call in ['{1,1;1,1},{1;-1},{2;5},{1;1}', '{1,-1},{1},{1},{1;1}', '{1,1},{0},{4},{1;2}',
                 '{-1,-1},{1},{-2},{-1;-1}', '{1,1;1,3},{1},{4;6},{1;2}', '{1,1;1,3},{"<=";1},{4;6},{1;2}',
                 '{1,1;1,3},{1;1},{4;6},{1;2;3}', '{1,1;1,2},{1;1},{4;6},{1;1}', '{0,0},{1},{1},{0;0}']:
        cases.append(('LProg', '=LPROG(%s,1,,)' % call))
        cases.append(('LProg', '=INDEX(LPROG(%s,1,,),2)' % call))
        cases.append(('LProg', '=LPROG(%s,0,,)' % call))
    ilp = '{2.5,1.5,1;1,1.5,3},{1;0},{15;10},{1;1;2}'
    for name, mask in [('LProgInt', '{1;0;1}'), ('LProgBin', '{1;0;1}')]:
        upper = name.upper()
        for k in (1, 2, 3):
            cases.append((name, '=INDEX(%s(%s,%s,1,,),%d)' % (upper, ilp, mask, k)))
        for call in ['%s,%s,0,,' % (ilp, mask), '%s,%s,-1,,' % (ilp, mask), '%s,,1,,' % ilp,
                     '%s,{1;1},1,,' % ilp, '{2},{0},{3},{1},{1},1,,', '{1,1},{1},{3.5},{1;1},{1;1},0,,',
                     '{1,1},{1},{3.5},{1;1},{1;1},1,,', '{1,1},{-1},{3.5},{1;1},{1;1},1,,',
                     '{1,1;1,-1},{1;0},{4;0.5},{1;1},{1;1},1,,', '%s,%s,1,-1,' % (ilp, mask)]:
            cases.append((name, '=%s(%s)' % (upper, call)))
            cases.append((name, '=INDEX(%s(%s),2)' % (upper, call)))
    qp = '{1,2;1,1},{1;1},{10;9},{10;25},{10,2;2,1}'
    for k in (1, 2):
        cases.append(('QProg', '=INDEX(QPROG(%s,1,),%d)' % (qp, k)))
    for call in [qp + ',0,', qp + ',2,', qp + ',-1,', qp + ',1,-1', qp + ',1,1E-12',
                 '{1,1},{0},{4},{6;2},{1,0;0,2},1,', '{1,1;1,1},{1;-1},{1;3},{6;2},{1,0;0,2},1,',
                 '{1,1},{1},{10},{-6;-2},{1,0;0,2},1,', '{1,1},{-1},{3},{1;1},{1,0;0,1},1,',
                 '{1,1},{1},{10},{6;2},{1,0;0,2;0,0},1,', '{1,1},{1},{10},{6;2},{1,0.5;0.5,2},1,']:
        cases.append(('QProg', '=QPROG(%s)' % call))
        cases.append(('QProg', '=INDEX(QPROG(%s),2)' % call))
    # ROOT over a formula cell: H1 = A1 + G1, B7 = A1 * 2, AF4 = AF2^3 - AF2 - 1.
    for call in ['H1,A1,-10,10,', 'H1,A1,-10,10,1E-10', 'H1,A1,-10,10,100', 'H1,G1,-10,0,', 'B7,A1,-1,1,',
                 'B7,A1,-1E+300,1E+300,', 'AF4,AF2,1,2,', 'AF4,AF2,1,2,1E-6', 'AF4,AF2,0,10,', 'AF4,AF2,-1,1.3,',
                 'H1,A1,1,1,', 'H1,A1,2,1,', 'H1,A1,0,10,', 'H1,A1,-10,10,-1', 'H1,A1:A2,-10,10,',
                 'A1,A1,-10,10,', 'B5,A1,-10,10,', 'H1,B3,-10,10,', 'H1,B2,-10,10,', 'H1,A1,NA(),10,',
                 'H1,A1,"abc",10,', 'H1,A1,,10,', 'H1,AF1,-10,10,', 'AF4,AF2,-1.7E+308,1.7E+308,']:
        cases.append(('root', '=ROOT(%s)' % call))
    # MINSIMPLEX: the bowl's lowest point, a fixed point, a slope without a bottom.
    for call in ['AF1,AF2:AF3,{1;1},,,,1', 'AF1,AF2:AF3,{1;1},,,,2', 'AF1,AF2:AF3,{1;1},0.5,1E-12,,2',
                 'AF1,AF2:AF3,{1;0},,,,1', 'AF1,AF2:AF3,{0;1},,,,2', 'AF1,AF2:AF3,{0;0},,,,1',
                 'AF1,AF2:AF3,{0;0},,,,2', 'AF1,AF2:AF3,{0;0},,,,3', 'AF1,AF2:AF3,,,,,2',
                 'AF1,AF2:AF3,{2;0.999},,,,2', 'AF1,AF2:AF3,{1;1},,,1,2', 'AF1,AF2:AF3,{1;1},,,2147483647,2',
                 'H1,A1:A1,{1},,,,1', 'H1,A1:A1,{1},,,,2', 'H1,A1:A1,{0},,,,2', 'H1,A1:A2,{1;1},,,,1',
                 'AF1,AF2:AF3,{1;1},,,,0', 'AF1,AF2:AF3,{1;1},,,,4', 'AF1,AF2:AF3,{1;1;1},,,,1',
                 'AF1,AF2:AF3,{1;1},-1,,,1', 'AF1,AF2:AF3,{1;1},,-1,,1', 'AF1,AF2:AF3,{1;1},,,-1,1',
                 'AF1,AF2,{1},,,,1', 'A1,AF2:AF3,{1;1},,,,1', 'AF1,AF2:AF4,{1;1;1},,,,1', 'AF1,AF2:AF3,{1;1},,,,""',
                 'AF1,AF1:AF1,{1},,,,1', 'AF1,AF2:AF1025,,,,,1']:
        cases.append(('minSimplex', '=MINSIMPLEX(%s)' % call))
        if call.endswith(',1') and not call.startswith('AF1,AF2:AF1025'):
            cases.append(('minSimplex', '=INDEX(MINSIMPLEX(%s),2)' % call))
    # MINMC draws its points: the bowl sampled in a box, fixed points, the bounds.
    for call in ['AF1,AF2:AF3,{1;1},-5,5,2000', 'AF1,AF2:AF3,{1;0},0,10,500', 'AF1,AF2:AF3,{0;0},-5,5,100',
                 'AF1,AF2:AF3,,-5,5,100', 'H1,A1:A1,{1},-4,6,1000', 'AF1,AF2:AF3,{1;1},-5,5,1',
                 'AF1,AF2:AF3,{1;1},5,-5,100', 'AF1,AF2:AF3,{1;1},5,5,100', 'AF1,AF2:AF3,{1;1},-5,5,0',
                 'AF1,AF2:AF3,{1;1},-5,5,-1', 'AF1,AF2:AF3,{1;1},-5,5,2147483648', 'AF1,AF2:AF3,{1;1;1},-5,5,10',
                 'AF1,AF2,{1},-5,5,10', 'B5,AF2:AF3,{1;1},-5,5,10', 'AF1,AF2:AF3,{1;1},NA(),5,10',
                 'AF1,AF2:AF3,{1;1},-1.7E+308,1.7E+308,10']:
        cases.append(('minMC', '=MINMC(%s)' % call))
        cases.append(('minMC', '=INDEX(MINMC(%s),2)' % call))
    # POLYREG, POLYPOINTS and TIMESERIES over their worked examples and their bounds.
    t, y, sy = '{1;2;3;4;5}', '{1.1;1.2;1.3;1.4;1.5}', '{0.2;0.2;0.2;0.2;0.23}'
    t7, y7, s7 = '{1;2;3;4;5;6;7}', '{3.1;1.2;1.3;2.4;3.5;6.5;7.5}', '{0.2;1.8;0.2;0.2;1.9;2.8;3.8}'
    for r, kind in [(4, 1), (4, 3), (1, 1), (1, 2), (1, 3), (5, 1), (5, 3), (6, 1), (0, 1), (4, 0), (4, 4), ('', '')]:
        for k in (1, 2, 4):
            cases.append(('polyReg', '=INDEX(POLYREG(%s,%s,%s,%s,%s),%d)' % (t, y, sy, r, kind, k)))
    for k in range(1, 8):
        cases.append(('polyReg', '=INDEX(POLYREG(%s,%s,%s,7,1),%d)' % (t7, y7, s7, k)))
        cases.append(('polyReg', '=INDEX(POLYREG(%s,%s,%s,7,3),%d)' % (t7, y7, s7, k)))
        cases.append(('polyReg', '=INDEX(POLYREG(%s,%s,%s,7,2),%d,%d)' % (t7, y7, s7, k, max(1, k - 1))))
    for call in ['%s,{1.1;1.2;1.3;1.4},%s,2,1' % (t, sy), '{1,2;3,4},{1;2},{1;1},1,1', '%s,%s,{0.2;0;0.2;0.2;0.2},2,1' % (t, y),
                 '{1;1;1;1;1},%s,%s,2,1' % (y, sy), '%s,%s,%s,2,1/0' % (t, y, sy), '%s,%s,%s,2,2' % (t, y, sy)]:
        cases.append(('polyReg', '=POLYREG(%s)' % call))
        cases.append(('polyReg', '=INDEX(POLYREG(%s),2)' % call))
    x3, b3 = '{1;2;3}', '{1,0,0;1,1,0;0,1,1}'
    for chi, n, r, p in [('{0;0;0}', 5, 3, 0.85), ('{0;0;0}', 5, 2, 0.5), ('{1;2;-4}', 5, 3, 0.9), ('{1;2;-4}', 6, 3, 0.95),
                         ('{0;0;0}', 5, 1, 1E-15), ('{0;0;0}', 5, 3, 1), ('{0;0;0}', 5, 3, 0), ('{0;0;0}', 5, 4, 0.5),
                         ('{0;0;0}', 2, 3, 0.5), ('{0;0;-1}', 3, 3, 0.5), ('{0;0;0}', 5, 3, ''), ('{0;0}', 5, 2, 0.5),
                         ('{0;0;0}', 5, 0, 0.5), ('{0;0;0}', 5, 3, 1.5)]:
        for row, col in [(1, 1), (1, 2), (3, 2)]:
            cases.append(('polyPoints', '=INDEX(POLYPOINTS(%s,%s,%s,%s,%s,{1.5;-2;2.5},%s),%d,%d)' % (
                x3, b3, chi, n, r, p, row, col)))
    for call in ['{1,2},%s,{0;0;0},5,3,{1},0.5' % b3, '%s,{1,0;1,1},{0;0;0},5,3,{1},0.5' % x3,
                 '%s,%s,{0;0;0},5,3,{1,2},0.5' % (x3, b3), '%s,%s,{0;0;0},5,3,{1},NA()' % (x3, b3)]:
        cases.append(('polyPoints', '=POLYPOINTS(%s)' % call))
    series = '{11;8;7;2;1;3;8;4}'
    for l, k, p in [(2, 3, 0.8), (3, 2, 0.8), (1, 1, 0.5), (2, 2, 0.95), (1, 3, 1), (1, 3, 1E-15), (5, 2, 0.8),
                    (2, 2, ''), (4, 2, 0.8), (1, 4, 0.8), (0, 2, 0.8), (1, 0, 0.8), (2, 3, 0), (2, 3, 1.5)]:
        for row, col in [(1, 1), (1, 2), (5, 1), (5, 2), (8, 1), (8, 2), (8 + 2 * max(k, 0), 1), (8 + 2 * max(k, 0), 2)]:
            cases.append(('timeSeries', '=INDEX(TIMESERIES(%s,%s,%s,%s),%d,%d)' % (series, l, k, p, row, col)))
    for call in ['{1;2;3},1,1,0.5', '{11,8;7,2},1,1,0.5', 'A1:A12,2,3,0.9', '{11;8;7;2;1},1,2,0.5',
                 'A1:A12,1,1,NA()']:
        cases.append(('timeSeries', '=TIMESERIES(%s)' % call))
    # RTD and UDF reach only the servers servers.conf lists; the comparison lists none.
    for call in ['"Test.Functions",,"Value"', '"Test.Functions","","A","B"', '"Test.Functions","far.example","Value"',
                 '"Test.Functions",,""', '"Test.Functions",,REPT("a",1023)', '"Test.Functions",,REPT("a",1024)',
                 '"Test.Functions",,REPT("a",1000),REPT("b",23)', '"Test.Functions",,REPT("a",1000),REPT("b",24)',
                 '"Test.Functions",,1/0', '"Test.Functions",,A1:A3', '"Test.Functions",,B1:B6',
                 'NA(),,"Value"', '"Test.Functions",A1:A2,"Value"', '1/0,NA(),"Value"', '"",,"Value"']:
        cases.append(('rtd', '=RTD(%s)' % call))
    for call in ['"Test.Functions",,"Add",1,2', '"Test.Functions",,"Join","a","b"', '"Test.Functions","far.example","Add",1',
                 '"Test.Functions",,"Add"', '"Test.Functions",,"Add",A1:B2', '"Test.Functions",,"Add",B1:B6',
                 '"Test.Functions",,"Add",1/0,NA()', '"Test.Functions",,"Add",,B2', '"Test.Functions",,NA(),1',
                 '"Test.Functions",,A1:A2,1', 'NA(),1/0,"Add"', '"",,"Add",1', '"Test.Functions",,"Add",1.7E+308']:
        cases.append(('udf', '=UDF(%s)' % call))
    return cases


def limit_cases():
    """Calls of the functions the peer has none of at their limits and on their error routes,
    judged against the comparison's own references: (function, formula)."""
    spd, other = '{4,2,1;2,5,2;1,2,6}', '{3,1000;2,1}'  # the second pivots otherwise when scaled
    cases = [('mtxFwSubst', f) for f in [
        '=MTXFWSUBST({2,0;1,0},{4;1})', '=MTXFWSUBST({0,0;1,2},{4;1})', '=MTXFWSUBST({1,2,3},{1})',
        '=MTXFWSUBST({2,0;1,4},{1;2;3})', '=MTXFWSUBST({2,0;1,4},NA())', '=MTXFWSUBST(5,{1})',
        '=MTXFWSUBST({2,0;1,4})', '=MTXFWSUBST({2,9;1,4},{2,4;5,8})']]
    cases += [('mtxBkSubst', f) for f in [
        '=MTXBKSUBST({2,1;0,0},{4;1})', '=MTXBKSUBST({0,1;0,2},{4;1})', '=MTXBKSUBST({1;2},{1;2})',
        '=MTXBKSUBST({2,1;9,4},{1;2;3})', '=MTXBKSUBST(NA(),1/0)', '=MTXBKSUBST({2,1;9,4},{3,1;8,2})',
        '=MTXBKSUBST({2})']]
    for args in ['%s,{1;2;3},,' % spd, '%s,{1;2;3},1,1' % spd, '%s,{1;2;3},2147483647,1' % spd,
                 '%s,{1;2;3},2147483648,1' % spd, '%s,{1;2;3},0,1' % spd, '%s,{1;2;3},3,' % spd,
                 '%s,{1;2},,2' % spd, '%s,NA(),,3' % spd, '%s,,,4' % spd, '%s,,,5' % spd, '%s,,,6' % spd,
                 '%s,,,0' % spd, '{1,2;2,1},,,2', '{1,2;2,1},{1;1},,1', '{1,2;2,1},{1;1},4,1',
                 '{0,1;1,0},{1;1},,1', '%s,{1;2;3},NA(),1/0' % spd, '{1,2,3},{1},,', '%s,{1;2},,1' % spd,
                 '%s,{1;2;3},,"2"' % spd, '%s,{1;2;3},,"two"' % spd]:
        cases.append(('mtxChl', '=MTXCHL(%s)' % args))
    cases.append(('mtxChl', '=MTXCHL(%s,{1;2;3},)' % spd))
    for args in ['%s,{1;2;3},,,' % spd, '%s,{1;2;3},2147483647,0,1' % spd, '%s,{1;2;3},2147483648,,' % spd,
                 '%s,{1;2;3},0,,' % spd, '%s,{1;2;3},,2,' % spd, '%s,{1;2;3},,-1,' % spd,
                 '%s,{1;2},,1,2' % other, '%s,{1;2},,0,2' % other, '%s,,,1,3' % other, '%s,,,0,3' % other,
                 '%s,,,1,4' % other, '%s,,,0,4' % other, '%s,,,,5' % other, '%s,,,,6' % other,
                 '%s,,,,7' % other, '%s,,,,0' % other, '{1,2;2,4},{1;2},,,1', '{1,2;2,4},,,,6',
                 '{0,1;1,0},,,,6', '{1,2,3},{1},,,', '%s,{1;2},,,' % spd, '%s,NA(),,,5' % spd,
                 '{3,1000,1;2,1,0;0,0,1},{1;2;3},3,0,1', '{1,1;1,2},,,0,4', '{2,1;1,1},,,1,4',
                 '{1,1;1,2},,,0,2']:
        cases.append(('mtxGauss', '=MTXGAUSS(%s)' % args))
    cases.append(('mtxGauss', '=MTXGAUSS(%s,{1;2;3},,)' % spd))
    tall = '{1,2;2,3;7,1}'
    for args in ['%s,{1;2;3},,1' % tall, '%s,{1;2;3},0,3' % tall, '%s,,,2' % tall, '%s,,,4' % tall,
                 '%s,,,5' % tall, '%s,,,6' % tall, '%s,,,7' % tall, '%s,,,8' % tall, '%s,,,0' % tall,
                 '%s,{1;2;3},-1E-300,1' % tall, '%s,{1;2;3},1.7E+308,1' % tall, '%s,{1;2;3},1.7E+308,2' % tall,
                 '%s,{1;2;3},0.4,2' % tall, '%s,{1;2},,1' % tall, '%s,{1;2},,2' % tall,
                 '{1,2,3;4,5,6},{1;2},,1', '{1,2;2,4;3,6},{1;2;3},,1', '{1,2;2,4;3,6},,,2',
                 '%s,NA(),,4' % tall, '%s,{1;2;3},"abc",1' % tall, '%s,{1;2;3},,' % tall]:
        cases.append(('mtxSVD', '=MTXSVD(%s)' % args))
    cases.append(('mtxSVD', '=MTXSVD(%s,{1;2;3},)' % tall))
    for args in ['%s,{1;2;3},{1,0,0;0,2,0;0,0,3},,1' % tall, '%s,{1;2;3},{1,0,0;0,2,0;0,0,3},,2' % tall,
                 '%s,{1;2;3},{1,0,0;0,2,0;0,0,3},,3' % tall, '%s,{1;2;3},{1,0,0;0,2,0;0,0,3},,0' % tall,
                 '%s,{1;2;3},{1,0,0;0,2,0;0,0,3},,-2147483648' % tall, '%s,{1;2;3},{1,0;0,1},,1' % tall,
                 '%s,{1,1;2,2;3,3},{1,0,0;0,1,0;0,0,1},,1' % tall, '{1,2,3;4,5,6},{1;2},{1,0;0,1},,1',
                 '%s,{1;2;3},{4,2,1;2,5,2;1,2,6},,1' % tall, '%s,{1;2;3},{4,2,1;2,5,2;1,2,6},-1,1' % tall,
                 '%s,{1;2;3},NA(),,1' % tall, '%s,{1;2;3},{1,0,0;0,2,0;0,0,3},' % tall,
                 '%s,{1;2;3},{4,2,1;2,5,2;1,2,6},,2' % tall, '%s,{1;2;3},{1,0,0;0,0,0;0,0,1},,1' % tall]:
        cases.append(('mtxLSW', '=MTXLSW(%s)' % args))
    for args in ['%s,{1;2;3},{1,3},{2},,1' % tall, '%s,{1;2;3},{1,3},{2},,2' % tall,
                 '%s,{1;2;3},{1,3},{2},,3' % tall, '%s,{1;2;3},{1,3;2,1},{2;1},,1' % tall,
                 '%s,{1;2;3},{1,3,1},{2},,1' % tall, '%s,{1;2;3},{1,3},{2;1},,1' % tall,
                 '%s,{1;2},{1,3},{2},,1' % tall, '%s,{1;2;3},{1,3},{2},-1,1' % tall,
                 '{1,0,0;0,1,0;0,0,1;1,1,1},{1;2;3;4},{1,1,0;0,1,1},{1;2},,1',
                 '{1,0,0;0,1,0;0,0,1;1,1,1},{1;2;3;4},{1,1,0;0,1,1},{1;2},,2', '%s,{1;2;3},{1,3},NA(),,1' % tall,
                 '%s,{1;2;3},{1,3},{2},' % tall, '{1,0,0;0,1,0;0,0,1;1,1,1},{1;2;3;4},{1,1,0;2,2,0},{1;2},,1',
                 '{1,0,0;0,1,0;0,0,1;1,1,1},{1;2;3;4},{0,0,0;0,1,1},{0;2},,1', '%s,{1;2;3},{0,0},{0},,1' % tall,
                 '%s,{1;2;3},{0,0},{0},,2' % tall]:
        cases.append(('mtxLSC', '=MTXLSC(%s)' % args))
    for args in ['2046,7', '2047,7', '0,7', '1,7', '2147483647,7', '2147483648,7', '3,"abc"', '3,""', '3,NA()',
                 '3,{7;8;9;10}', '4,{7;8}', '2,A1:B2', '3,B2', '3,"2"', '3', '3,1,1', '-1,1/0', '3,1E+308']:
        cases.append(('mtxDiag', '=MTXDIAG(%s)' % args))
    for args in ['2097152,1,1', '2097153,1,1', '0,1,1', '1,1,1', '3,"2005-12-01",', '3,1,', '3,1,"P1D"',
                 '3,,"P1D"', '3,"2005-01-31","P1M"', '3,"12:30:00","PT12H"', '3,"2005-12-01","PT1H"',
                 '3,"abc","P1D"', '3,"2005-12-01","-P1Y"', '4,1E+308,1E+308', '3,NA(),1', '3,1,1/0',
                 '3,"2005-12-01",1', '2,1', '3,E1,', '3,-1.5,0.5']:
        cases.append(('mtxSeries', '=MTXSERIES(%s)' % args))
    for args in ['{3;1;2},1,1', '{3;1;2},1', '{3;1;2},1,1,1', '{3;1;2},2047,1', '{3;1;2},2048,1', '{3;1;2},0,1',
                 '{3;1;2},,1', '{3;1;2},1,', '{3;1;2},1,2', '{3;1;2},1,-1', '{3;1;2},1,0.5', '{3;1;2},1,0.49',
                 'B1:B12,1,1', 'B1:B12,1,0', 'E1:E12,1,1', 'E1:E12,1,0', 'A1:B6,2,0,1,1', 'P1:P12,1,1',
                 'P1:P12,1,0', '{1,"b";1,"a";"x",2;2,TRUE},1,1,2,0', '{3;1;2},1,NA()', 'AB1:AB8,1,1',
                 ','.join(['{3;1;2}'] + ['1,1'] * 100), ','.join(['{3;1;2}'] + ['1,1'] * 101)]:
        cases.append(('sort', '=SORT(%s)' % args))
    for args in ['{3;1;3;2},0', '{3;1;3;2},1', '{3;1;3;2},2', '{3;1;3;2},3', '{3;1;3;2},-1', '{3;1;3;2},',
                 '{1,2;3,4},1', '{1;"1"},2', '{"a";"A";"b"},2', 'B1:B12,2', 'B1:B12,0', 'E1:E12,2', 'AA1:AA10,2',
                 'AB1:AB8,2', 'P1:P12,0', 'AC1:AC8,2', 'AD1:AD8,0', '{3;1},NA()', '{3;1}', 'A1:A12,1.5',
                 '{1E+15;1E+15},2']:
        cases.append(('unique', '=UNIQUE(%s)' % args))
    pairs = [('"0001-01-01"', '"50000-12-31"'), ('"2020-02-29"', '"2021-02-28"'), ('"2021-02-29"', '"2021-03-01"'),
             ('"50001-01-01"', '"2021-03-01"'), ('"0000-01-01"', '"2021-03-01"'), ('"2021-1-1"', '"2021-03-01"'),
             ('"23:59:59"', '"00:00:00"'), ('"24:00:00"', '"00:00:00"'), ('"12:00:00.999"', '"12:00:01"'),
             ('"12:00:00.1234"', '"12:00:01"'), ('"2021-03-04  "', '"2021-03-05"'), ('" 2021-03-04"', '"2021-03-05"'),
             ('"2021-03-04T10:00:00+02:00"', '"2021-03-04T09:00:00-05:00"'), ('"2021-03-04T10:00:00"', '"12:00:00"'),
             ('"2021-03-04"', '"2021-03-04T00:00:01"'), ('"2021-03-04Z"', '"2021-03-05"'), ('NA()', '1/0'),
             ('"2021-03-04"', '1'), ('"2021-03-04"', ''), ('"12:30"', '"13:30:00"'), ('"2021-03-04T25:00:00"', '"2021-03-04"'),
             ('"02021-03-04"', '"2021-03-05"'), ('"10000-03-04"', '"2021-03-05"'),
             ('"2021-03-04T01:02:03"', '"2021-03-06T05:09:08"'), ('"23:59:59"', '"2021-03-04T01:01:01"')]
    cases += [('dateDiff', '=DATEDIFF(%s,%s)' % pair) for pair in pairs]
    cases.append(('dateDiff', '=DATEDIFF("2021-03-04")'))
    for args in ['"2005-01-31","P1M"', '"2024-02-29","P1Y"', '"2024-02-29","-P12M"', '"2021-03-04","P"',
                 '"2021-03-04","PT"', '"2021-03-04","P1DT"', '"23:30:00","PT1H"', '"00:30:00","-PT1H"',
                 '"12:00:00","P1D"', '"2021-03-04","PT1H"', '"2021-03-04","P1.5D"', '"12:00:00","PT1.123S"',
                 '"12:00:00","PT1.1234S"', '"2021-03-04T23:00:00","PT25H"', '"2021-03-04T10:00:00+02:00","PT1H"',
                 '"50000-12-31","P1D"', '"0001-01-01","-P1D"', '"2021-03-04","+P1Y2M3D"', '"2021-03-04","p1d"',
                 '"2021-03-04","1D"', '"2021-03-04",NA()', '1/0,"P1D"', '"2021-12-31T23:59:59.999","PT0.001S"',
                 '"2021-03-31","-P1M"', '"2021-03-04","P999999999D"', '"2021-03-04T12:00:00","P1DT2H3M4S"']:
        cases.append(('eDate2', '=EDATE2(%s)' % args))
    cases.append(('eDate2', '=EDATE2("2021-03-04")'))
    return cases


def place_cases():
    """Other worksheets, a folder and named places: references qualified with a worksheet's
    name (in another case too), its full path, a quoted name, a path held in a cell, a folder
    (the same rectangle of each of its worksheets, stacked), names that match nothing, and the
    errors #REF! and #NAME? as arguments, written and read from cells. Each: (kind, function,
    our formula, the peer's formula in our notation or None for the translated one)."""
    cases = []
    sources = ['Other!A1:A6', 'Other!B1:B3', 'Other!A:A', 'OTHER!A1:B6', "'\\Other'!A2:A5",
               "'\\Box\\Inner'!A1:A4", '"\\Box\\Inner2"!A1:A4', 'Box!A1:A4', 'box!A1:B2', 'Other!A1:D3']
    for f in ['SUM', 'COUNT', 'COUNTA', 'AVERAGE', 'MAX', 'MIN', 'PRODUCT', 'SUMSQ', 'MEDIAN', 'STDEV',
              'VAR', 'COUNTBLANK', 'AVEDEV', 'DEVSQ']:
        for source in sources:
            cases.append(('place', f.lower(), '=%s(%s)' % (f, source), None))
    for f in ['Other!A1+Other!A2', 'Other!B2*1', 'Other!B1&"!"', 'LEN(Other!B1)', 'ISTEXT(Other!B2)',
              'ISBLANK(Other!B3)', 'ISERROR(Other!B4)', 'N(Other!B2)', 'Other!B5+0', 'INDEX(Other!A1:B6,2,2)',
              'MATCH(8,Other!A1:A6,0)', 'VLOOKUP(8,Other!A1:B6,2,FALSE)', 'COUNTIF(Other!A1:A6,">2")',
              'SUMIF(Other!A1:A6,">2",Other!B1:B6)', 'SUMPRODUCT(Other!A1:A6,A1:A6)', 'ROWS(Other!A1:B6)',
              'COLUMNS(Other!A1:B6)', 'ROW(Other!C3)', 'COLUMN(Other!C3)', 'Other!C1', 'Other!C2',
              "'\\Box\\Inner'!B1", 'Sheet1!A1*Other!A1', "'\\Sheet1'!A2", 'SUM(Other!A1:A6,A1:A6,Box!A1:A2)',
              'LARGE(Box!A1:A4,2)', 'SMALL(Box!A1:A4,3)', 'RANK(12,Box!A1:A4)', 'PERCENTILE(Box!A1:A4,0.5)',
              'SUM(Box!A1:A6)', 'COUNT(Box!A5:A6)', 'MAX(Other!A:A,Box!A1:A4)', 'SUM(Other!A1:A6)-SUM(A1:A6)',
              'INDEX(Other!A:A,4)', 'MATCH(3,Other!A:A,0)', 'COUNTIF(Other!B:B,"<>")', 'other!A4', 'Other!$A$4',
              '"Other"!A2', "'Other'!A2", 'SUM("\\Box"!A1:A2)', 'Other!D1', 'Other!D2', 'Other!D3',
              'Nowhere!A1', 'SUM(Nowhere!A1:A3)', 'COUNT(Nowhere!A1:A3)', "'\\Box\\Nowhere'!A1",
              'ISERROR(Nowhere!A1)', 'IF(ISERROR(Other!A1),0,Other!A1)']:
        cases.append(('place', 'place', '=' + f, None))
    # Written out where the peer's sheets are no folder: the folder's values in its order.
    for f, peer in [('ROWS(Box!A1:A4)', 'ROWS(Inner!A1:A4)+ROWS(Inner2!A1:A4)'), ('COLUMNS(Box!A1:B4)', '2'),
                    ('INDEX(Box!A1:A4,6)', 'Inner2!A2'), ('INDEX(Box!A1:A4,2)', 'Inner!A2'),
                    ('MATCH(12,Box!A1:A4,0)', '4+MATCH(12,Inner2!A1:A4,0)'),
                    ('COUNTIF(Box!A1:A4,">2")', 'COUNTIF(Inner!A1:A4,">2")+COUNTIF(Inner2!A1:A4,">2")'),
                    ('SUMIF(Box!A1:A4,">3")', 'SUMIF(Inner!A1:A4,">3")+SUMIF(Inner2!A1:A4,">3")'),
                    ('Box!A1', 'Inner!A1'), ('Box!A2:A3', 'Inner!A2'), ('ROWS(Box!A1)', '2'),
                    ('SUMPRODUCT(Box!A1:A2,{1;2;3;4})', 'SUMPRODUCT(Inner!A1:A2,{1;2})+SUMPRODUCT(Inner2!A1:A2,{3;4})'),
                    ('VLOOKUP(12,Box!A1:B4,1,FALSE)', 'VLOOKUP(12,Inner2!A1:B4,1,FALSE)'),
                    ('Other!E1!A3', 'INDIRECT("$Inner.A3")'), ('SUM(Other!E3!A1:A2)', 'SUM(Inner!A1:Inner2!A2)'),
                    ('(Other!E2)!A4', 'INDIRECT("$Other.A4")'), ('SUM(Other!E1!A1:A4)', 'SUM(INDIRECT("$Inner.A1:A4"))'),
                    ('Inner!A1', 'Inner!A1'), ('SUM(Inner2!A1:A2)', 'SUM(Inner2!A1:A2)')]:
        cases.append(('place', 'place', '=' + f, '=' + peer))
    # #REF! and #NAME? as arguments: written, given by a function, held in a cell, a name that
    # names nothing.
    for e in ['#REF!', '#NAME?', 'Other!D1', 'Other!D2', 'nosuchname', 'Nowhere!A1']:
        for f in ['ISERROR(%s)', 'ISNA(%s)', 'ISERR(%s)', 'ERRORTYPE(%s)', 'SUM(1,%s)', 'IF(%s,1,0)',
                  'ISNUMBER(%s)', 'ISTEXT(%s)', 'N(%s)', 'COUNT(%s)', 'MAX(%s,1)', 'AND(%s)', 'ABS(%s)',
                  'LEN(%s)', 'CONCATENATE("a",%s)', 'COUNTA(%s)']:
            cases.append(('reach', 'errors', '=' + f % e, None))
    for f in ['SUM(Other!D1:D3)', 'COUNT(Other!D1:D3)', 'COUNTA(Other!D1:D3)', 'MAX(Other!A1:D3)',
              'COUNTIF(Other!D1:D3,"#REF!")', 'SUMPRODUCT(ISERROR(Other!D1:D3)*1)']:
        cases.append(('reach', 'errors', '=' + f, None))
    return cases


# ---- Drawn calls reaching other places ------------------------------------------------------
# The arguments a drawn call takes from beyond the first worksheet, by the kind of argument: a
# cell of the worksheet "Other" by its name (any case) or path, the folder's worksheets by
# path, an area of a worksheet or of the folder "Box" (its worksheets' areas stacked). The
# folder stands only where an area is asked: the peer's run of sheets is no single value.
PLACED_VALUES = ['Other!A1', 'Other!A2', 'Other!A3', 'Other!$A$4', 'other!A5', 'OTHER!A6', 'Other!B2',
                 'Other!B3', 'Other!B5', 'Other!C1', 'Other!C2', "'\\Box\\Inner'!A2", "'\\Box\\Inner'!B1",
                 "'\\Box\\Inner2'!A4", "'\\Other'!A4"]
PLACED_TEXTS = ['Other!B1', 'Other!B2', 'Other!E2', "'\\Box\\Inner'!B2", 'Other!E1', 'Other!A2', 'Other!B3']
PLACED_AREAS = ['Other!A1:A6', 'Other!B1:B6', 'Other!A1:B6', 'Other!A2:A5', 'Box!A1:A4', 'Box!A1:A2',
                "'\\Box\\Inner'!A1:A4", "'\\Box\\Inner2'!A1:A6", 'Other!A:A', 'Other!C1:C2', 'box!A1:B2']
PLACED_PAIRS = [('Other!A1:A6', 'A1:A6'), ('A7:A12', 'Other!A1:A6'), ('Other!A1:A6', 'Other!B1:B6'),
                ("'\\Box\\Inner'!A1:A4", 'G1:G4'), ('Box!A1:A2', 'A1:A4'), ('Other!A1:A4', 'Box!A1:A2')]
# #REF! and #NAME? as arguments: written, held in a cell of another worksheet, a name that
# names nothing, a worksheet that is not there (a removed one).
ERROR_VALUES = ['#REF!', '#NAME?', 'Other!D1', 'Other!D2', 'nosuchname', 'Nowhere!A1']
ERROR_AREAS = ['#REF!', '#NAME?', 'Other!D1:D2', 'nosuchname', 'Nowhere!A1:A3']
ERROR_PAIRS = [('Nowhere!A1:A6', 'A1:A6'), ('A1:A4', 'Other!D1:D3'), ('#REF!', 'G1:G6'), ('A1:A6', 'nosuchname')]


class PlacedDrawer(Drawer):
    """Draws a call as Drawer does, each argument taken from a pool of places (or of errors)
    now and then; keeps those drawn (a pair is drawn whether the call takes one or not)."""

    def __init__(self, rng, values, texts, areas, pairs):
        super().__init__(rng)
        self.values, self.texts, self.areas, self.pairs = values, texts, areas, pairs
        self.placed = set()  # the places drawn for the call at hand

    def _place(self, pool):
        chosen = self.rng.choice(pool)
        self.placed.update(chosen if isinstance(chosen, tuple) else [chosen])
        return chosen

    def draw(self, tag):
        if self.rng.random() < 0.4:
            if tag in ('range', 'matrix'):
                return self._place(self.areas)
            if tag in ('text', 'bin', 'oct', 'hex', 'cplx'):
                return self._place(self.texts)
            return self._place(self.values)
        return super().draw(tag)

    def pick(self, pool):
        if pool is RANGES and self.rng.random() < 0.4:
            return self._place(self.areas)
        if pool is PAIRS and self.rng.random() < 0.6:
            return self._place(self.pairs)
        return super().pick(pool)


# Functions left out of the drawn places: random ones, the clock's, those with no arguments and
# those the peer has none of (their references read the first worksheet only; the MTX ones are
# all ours).
PLACED_SKIPPED = {'rand', 'randBetween', 'now', 'today', 'udf', 'rtd'}
# The peer's NPV brings the office down on a run of sheets: its calls take no folder.
NO_FOLDER = {'npv'}


def placed_cases():
    """Drawn calls of every function the peer has, one with an argument from another worksheet
    or the folder and one with #REF! or #NAME? as an argument, from a seed of their own."""
    rng = random.Random(SEED + 1)
    places = PlacedDrawer(rng, PLACED_VALUES, PLACED_TEXTS, PLACED_AREAS, PLACED_PAIRS)
    errors = PlacedDrawer(rng, ERROR_VALUES, ERROR_VALUES, ERROR_AREAS, ERROR_PAIRS)
    cases = []
    for row in catalogue():
        name = row['name']
        if (name in PLACED_SKIPPED or name.startswith('mtx') or PEER_NAMES.get(name, '') is None
                or not (row['args'] or row['variadic'])):
            continue
        for drawer in (places, errors):
            for _ in range(40):
                drawer.placed = set()
                formula = draw_call(drawer, row)
                folder = any(p.lower().startswith('box!') for p in drawer.placed if p in formula)
                if name in NO_FOLDER and folder:
                    continue
                if any(p in formula for p in drawer.placed) and formula not in [c[2] for c in cases]:
                    cases.append(('placed', name, formula))
                    break
    return cases


# ---- Everyday sheets ------------------------------------------------------------------------
# Drawn calls of every function the peers have over the worksheet "Book": its columns under
# their header, whole, or as the data rows only; its cells named one by one beside ranges;
# pairs with gaps on either side; criteria built with & and percentages.
EVERYDAY_VALUES = ['Book!B2', 'Book!B4', 'Book!B5', 'Book!B8', 'Book!B10', 'Book!C3', 'Book!C6', 'Book!D7',
                   'Book!D4', 'Book!G2', 'Book!G3', 'Book!P2', 'Book!P5', 'Book!F4', 'Book!K2', 'Book!K6',
                   'Book!F3', 'Book!H2', 'Book!J2', 'Book!B1']
EVERYDAY_TEXTS = ['Book!A2', 'Book!A4', 'Book!B5', 'Book!B8', 'Book!B10', 'Book!E2', 'Book!E9', 'Book!B1',
                  'Book!A1', 'Book!E11']
EVERYDAY_AREAS = ['Book!B2:B12', 'Book!B1:B12', 'Book!B:B', 'Book!C2:C12', 'Book!C:C', 'Book!D2:D12',
                  'Book!D:D', 'Book!P2:P12', 'Book!P:P', 'Book!P1:P12', 'Book!G2:G12', 'Book!J1:J12',
                  'Book!J:J', 'Book!K2:K12', 'Book!H2:H12', 'Book!B2:D12', 'Book!F2:F12', 'Book!B2:B4',
                  'Book!D2:D6', 'Book!C2:C5']
EVERYDAY_PAIRS = [('Book!H2:H12', 'Book!I2:I12'), ('Book!I2:I12', 'Book!H2:H12'), ('Book!H1:H12', 'Book!I1:I12'),
                  ('Book!H:H', 'Book!I:I'), ('Book!B2:B12', 'Book!C2:C12'), ('Book!P2:P12', 'Book!C2:C12'),
                  ('Book!C2:C12', 'Book!D2:D12'), ('Book!P2:P6', 'Book!H2:H6')]
EVERYDAY_MATRICES = ['Book!L2:N4', 'Book!L6:N8', 'Book!L10:N12', 'Book!L2:M3', 'Book!L6:M7']
EVERYDAY_CRITERIA = ['">0"', '">="&20', '">="&Book!P3', '"<>Fruit"', '""', '"<>"', '"Fruit"', '"fr*"',
                     '">=10%"', '"<"&5%', '"n/a"', '"-"', '">5"', '"="&Book!B2', '"<="&70', 'Book!E2',
                     '"<>n/a"', '">"&AVERAGE(Book!P2:P12)']


class EverydayDrawer(PlacedDrawer):
    """Draws as PlacedDrawer does, most arguments from "Book", its criteria everyday ones and a
    value list mixing single cells with ranges."""

    def draw(self, tag):
        if tag == 'crit':
            return self._place(EVERYDAY_CRITERIA) if self.rng.random() < 0.8 else super().draw(tag)
        if tag == 'matrix' and self.rng.random() < 0.7:
            return self._place(EVERYDAY_MATRICES)
        if self.rng.random() < 0.35:
            if tag in ('range', 'matrix'):
                return self._place(self.areas)
            if tag in ('text', 'bin', 'oct', 'hex', 'cplx'):
                return self._place(self.texts)
            return self._place(self.values)
        return super().draw(tag)

    def pick(self, pool):
        if pool is RANGES and self.rng.random() < 0.3:
            # Cells of one column named one by one, as a user clicks them.
            col = self.rng.choice('BCDPGH')
            rows = sorted(self.rng.sample(range(2, 13), self.rng.choice([2, 3, 4])))
            return ','.join(self._place(['Book!%s%d' % (col, r)]) for r in rows)
        return super().pick(pool)


# Everyday formulas as people type them, beside the drawn ones.
EVERYDAY_FORMULAS = [
    'SUM(Book!D2:D12)', 'SUM(Book!D:D)', 'MAX(Book!D:D)', 'MIN(Book!D2:D12)', 'SUM(Book!B:B)', 'SUM(Book!P:P)',
    'AVERAGE(Book!B:B)', 'AVERAGE(Book!P2,Book!P3,Book!A4)', 'AVERAGE(Book!B2,Book!B4,Book!B6)',
    'MIN(Book!B2,Book!B4,Book!B6)', 'MAX(Book!B2,Book!B4,Book!B6)', 'STDEV(Book!B2,Book!B4,Book!B6)',
    'VAR(Book!B2,Book!B4,Book!B6)', 'MEDIAN(Book!B2,Book!B4,Book!B6)', 'SUM(Book!B2,Book!B5)',
    'SUM(Book!B2,Book!B10)', 'AVERAGE(Book!C2:C4,Book!C5)', 'AVERAGE(Book!B2:B12)', 'COUNT(Book!B:B)',
    'COUNTA(Book!B:B)', 'COUNTBLANK(Book!B2:B12)', 'COUNTA(Book!B2:B12)', 'COUNT(Book!B2,Book!B4,Book!B5)',
    'SMALL(Book!D2:D12,2)', 'LARGE(Book!D2:D12,2)', 'SMALL(Book!B2:B12,2)', 'LARGE(Book!B:B,1)',
    'PERCENTILE(Book!B2:B12,0.5)', 'PERCENTILE(Book!D2:D12,0.5)', 'RANK(5,Book!B2:B12)', 'RANK(1,Book!D2:D12,1)',
    'QUARTILE(Book!P2:P12,1)', 'QUARTILE(Book!B2:B12,3)', 'MEDIAN(Book!D2:D12)', 'MEDIAN(Book!B:B)',
    'MODE(Book!B2:B12)', 'TRIMMEAN(Book!P2:P12,0.2)', 'TRIMMEAN(Book!B2:B12,0.3)', 'PRODUCT(Book!B2:B12)',
    'SUMSQ(Book!B2:B12)', 'AVEDEV(Book!B2:B12)', 'DEVSQ(Book!B:B)', 'GEOMEAN(Book!B2:B12)',
    'HARMEAN(Book!B2:B12)', 'KURT(Book!P2:P12)', 'SKEW(Book!B2:B12)', 'STDEVP(Book!B:B)', 'VARP(Book!B2:B12)',
    'AVERAGEA(Book!B2:B12)', 'MAXA(Book!K2:K12)', 'MINA(Book!B2:B12)', 'STDEVA(Book!B2:B12)',
    'SUMPRODUCT(Book!B2:B12,Book!C2:C12)', 'SUMPRODUCT(Book!D2:D12,Book!C2:C12)',
    'SUMPRODUCT((Book!E2:E12="Dairy")*Book!P2:P12)', 'SUMX2PY2(Book!H2:H12,Book!I2:I12)',
    'SUMX2MY2(Book!H2:H12,Book!I2:I12)', 'SUMXMY2(Book!H2:H12,Book!I2:I12)',
    'SLOPE(Book!I2:I12,Book!H2:H12)', 'INTERCEPT(Book!I2:I12,Book!H2:H12)', 'PEARSON(Book!H2:H12,Book!I2:I12)',
    'CORREL(Book!H2:H12,Book!I2:I12)', 'RSQ(Book!I2:I12,Book!H2:H12)', 'COVAR(Book!H2:H12,Book!I2:I12)',
    'STEYX(Book!I2:I12,Book!H2:H12)', 'FORECAST(12,Book!I2:I12,Book!H2:H12)', 'SLOPE(Book!I:I,Book!H:H)',
    'INDEX(LINEST(Book!I2:I12,Book!H2:H12),1,1)', 'INDEX(TREND(Book!I2:I12,Book!H2:H12,12),1,1)',
    'COUNTIF(Book!B:B,">0")', 'COUNTIF(Book!B2:B12,">0")', 'COUNTIF(Book!P:P,">="&70)',
    'COUNTIF(Book!E2:E12,"")', 'COUNTIF(Book!B2:B12,"")', 'COUNTIF(Book!E2:E12,"<>Fruit")',
    'COUNTIF(Book!G2:G12,">=10%")', 'COUNTIF(Book!G:G,"<"&0.1)', 'COUNTIF(Book!B2:B12,"n/a")',
    'COUNTIF(Book!B2:B12,"-")', 'COUNTIF(Book!E2:E12,"fruit")', 'COUNTIF(Book!D2:D12,"#DIV/0!")',
    'SUMIF(Book!B1:B12,">2",Book!P1:P12)', 'SUMIF(Book!E2:E12,"",Book!P2:P12)',
    'SUMIF(Book!E2:E12,"<>Fruit",Book!C2:C12)', 'SUMIF(Book!E2:E12,"Dairy",Book!D2:D12)',
    'SUMIF(Book!G2:G12,">=10%",Book!P2:P12)', 'SUMIF(Book!P:P,">"&80)', 'SUMIF(Book!E:E,"Fruit",Book!P:P)',
    'NPV(0.1,Book!J2:J12)', 'NPV(Book!G3,Book!J:J)', 'NPV(0.05,Book!J1:J12)', 'IRR(Book!J1:J12)',
    'IRR(Book!J2:J12)', 'MIRR(Book!J2:J12,0.1,0.12)', 'AND(Book!K2:K5)', 'OR(Book!K2:K12)', 'OR(2,Book!K3:K5)',
    'AND(Book!K2,Book!K9)', 'AND(Book!K2:K12)', 'OR(Book!A2:A4)', 'NOT(Book!K7)', 'ISBLANK(Book!B10)',
    'ISBLANK(Book!B4)', 'ISTEXT(Book!B5)', 'ISNUMBER(Book!B8)', 'ISERROR(Book!D7)', 'ISNA(Book!O3)',
    'ISERR(Book!O3)', 'N(Book!B5)', 'IF(Book!B10="","empty","full")', 'IF(Book!B4="","empty","full")',
    'VLOOKUP("Milk",Book!A2:D12,4,FALSE)', 'VLOOKUP("Eggs",Book!A:D,4,FALSE)', 'MATCH("Tea",Book!A:A,0)',
    'INDEX(Book!P:P,MATCH("Tea",Book!A:A,0))', 'HLOOKUP("Price",Book!A1:D12,3,FALSE)',
    'LOOKUP(88,Book!P2:P12)', 'MDETERM(Book!L2:N4)', 'MDETERM(Book!L6:N8)', 'MDETERM(Book!L10:N12)',
    'INDEX(MINVERSE(Book!L2:N4),1,1)', 'INDEX(MINVERSE(Book!L6:N8),1,1)', 'INDEX(MINVERSE(Book!L10:N12),2,2)',
    'INDEX(MMULT(Book!L6:N8,Book!L2:N4),1,1)', 'INDEX(FREQUENCY(Book!P2:P12,{90,60,75}),1,1)',
    'INDEX(FREQUENCY(Book!B2:B12,{2,5}),2,1)', 'MAX(Book!F2:F12)', 'YEAR(Book!F4)', 'DAY(Book!F4)',
    'EOMONTH(Book!F4,0)', 'EOMONTH(Book!F3,1)', 'EOMONTH(Book!F10,0)', 'EOMONTH(Book!F2,-1)',
    'EOMONTH(Book!F12,12)', 'EDATE(Book!F3,1)', 'EDATE(Book!F4,12)', 'DAY(EOMONTH(Book!F3,1))',
    'EOMONTH(Book!F3,1)-Book!F3', 'NETWORKDAYS(Book!F3,Book!F2)', 'NETWORKDAYS(Book!F2,Book!F4)',
    'WORKDAY(Book!F2,10)', 'WEEKDAY(Book!F4)', 'MONTH(Book!F12+1)', 'DATE(2024,2,29)-Book!F4',
    'SUM(Book!D2:D6)*Book!G3', 'ROUND(AVERAGE(Book!P:P),1)', 'Book!B2+Book!B4', 'Book!B2*Book!B5',
    'Book!B2+Book!B10', 'Book!A2&" x"&Book!B2', 'LEN(Book!B10)', 'CONCATENATE(Book!A2,Book!B4,Book!B10)',
    'RANDBETWEEN(1,6)=INT(RANDBETWEEN(1,6))', 'QUARTILE(Book!P2:P12,2.5)',
    'TRIMMEAN({1,2,3,4,5,6,7,8,9,100},0.15)', 'INDEX(FREQUENCY({1,2,3},{2,1}),1,1)',
    'INDEX(FREQUENCY({1,2,3},{2,1}),2,1)', 'LOG(8,0.5)', 'ROUND(0.1*3,15)=0.3', 'ROUND(2.5,0)',
    'NETWORKDAYS(DATE(2024,3,1),DATE(2024,2,1))', 'GCD(4294967296,2)', 'FIXED(1234567.891,2)',
]
for _kind in ['Book!O%d' % r for r in range(2, 9)] + ['1/0', 'NA()', 'SQRT(-1)', '"a"+1', '#REF!', '#NAME?',
                                                        'A1:A2_B1:B2', 'Book!D7', 'Book!D2:D12']:
    EVERYDAY_FORMULAS.append('ERRORTYPE(%s)' % _kind)
for _cell in ['Book!O%d' % r for r in range(2, 9)]:
    EVERYDAY_FORMULAS += ['ISERROR(%s)' % _cell, 'ISNA(%s)' % _cell, 'SUM(1,%s)' % _cell,
                          'COUNT(%s)' % _cell, 'SUM(Book!P2:P4,%s)' % _cell]
EVERYDAY_PER_FUNCTION = 4


def everyday_cases():
    """The everyday formulas above, then drawn calls of every function the peers have over the
    worksheet "Book", from a seed of their own."""
    cases = [('everyday', re.match(r'[A-Z0-9.]+', f).group(0).lower(), '=' + f) for f in EVERYDAY_FORMULAS]
    rng = random.Random(SEED + 2)
    drawer = EverydayDrawer(rng, EVERYDAY_VALUES, EVERYDAY_TEXTS, EVERYDAY_AREAS, EVERYDAY_PAIRS)
    for row in catalogue():
        name = row['name']
        if (name in PLACED_SKIPPED or name.startswith('mtx') or PEER_NAMES.get(name, '') is None
                or not (row['args'] or row['variadic'])):
            continue
        made = 0
        for _ in range(60):
            drawer.placed = set()
            formula = draw_call(drawer, row)
            if any(p in formula for p in drawer.placed) and formula not in [c[2] for c in cases]:
                cases.append(('everyday', name, formula))
                made += 1
                if made == EVERYDAY_PER_FUNCTION:
                    break
    return cases


def generate():
    rng = random.Random(SEED)
    d = Drawer(rng)
    names = {k.upper(): v for k, v in PEER_NAMES.items()}
    cases, seen = [], set()

    def add(kind, function, formula, reference=None):
        if formula in seen:
            return False
        seen.add(formula)
        peer = formula if kind == 'recalc' else peer_formula(reference or formula, names)
        if kind == 'recalc':
            peer = '|'.join(peer_formula('=' + p, names)[1:] if i < 4 else p
                            for i, p in enumerate(formula.split('|')))
        cases.append((kind, function, formula, peer))
        return True

    for row in catalogue():
        name = row['name']
        if name in VOLATILE:
            for f in VOLATILE[name]:
                add('function', name, f)
        made, tries = len([c for c in cases if c[1] == name]), 0
        while made < CASES_PER_FUNCTION and tries < CASES_PER_FUNCTION * 20:
            tries += 1
            simple = name not in VOLATILE and name != 'randBetween' and tries < CASES_PER_FUNCTION * 10
            if add('function', name, draw_call(d, row) if simple else wrapped_call(d, row)):
                made += 1
    for kind, function, formula in operator_cases(d):
        add(kind, function, formula)
    for kind, function, formula in recalc_cases(d):
        add(kind, function, formula)
    for kind, function, formula in reach_cases(d):
        add(kind, function, formula)
    for function, formula, reference in reference_cases():
        add('reference', function, formula, reference)
    for function, formula in solver_cases():
        add('reference', function, formula)
    for function, formula in limit_cases():
        add('function', function, formula)
    # Added after the cases above were cached: appended, so that those keep their rows.
    for kind, function, formula, reference in place_cases():
        add(kind, function, formula, reference)
    for kind, function, formula in placed_cases():
        add(kind, function, formula)
    # NOW and TODAY asked what the clock leaves alone: the kind of the answer and its length.
    for name in ('now', 'today'):
        for shape in ('=ISTEXT(%s())', '=LEN(%s())'):
            add('function', name, shape % name.upper())
    for kind, function, formula in everyday_cases():
        add(kind, function, formula)
    return cases


def data_lines():
    names = {k.upper(): v for k, v in PEER_NAMES.items()}
    return [(cell, kind, content, peer_formula(content, names) if kind == 'f' else content)
            for cell, kind, content in DATA]


def main():
    cases = generate()
    if len(sys.argv) == 3 and sys.argv[1] == '--check':
        cached, cached_data = [], []
        for line in open(sys.argv[2], encoding='utf-8'):
            if line.startswith('#'):
                continue
            fields = tuple(line.rstrip('\n').split('\t'))
            if fields[0] == 'data':
                cached_data.append(fields[1:])
            else:
                cached.append(fields[:4])
        if cached_data != [tuple(d) for d in data_lines()]:
            print('the cached data block is not the generator\'s: run tools/make-formula-peer.py')
            return 1
        if cached != [tuple(c) for c in cases]:
            for k, (a, b) in enumerate(zip(cached, cases)):
                if tuple(a) != tuple(b):
                    print('case %d differs: cached %r, generated %r' % (k + 1, a, b))
                    break
            print('the cache holds %d cases, the generator makes %d: run tools/make-formula-peer.py'
                  % (len(cached), len(cases)))
            return 1
        print('%d cases, as cached' % len(cases))
        return 0
    for kind, function, formula, peer in cases:
        print('\t'.join((kind, function, formula, peer)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
