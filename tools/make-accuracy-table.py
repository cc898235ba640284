#!/usr/bin/env python3
"""Writes tests/data/functions/accuracy.tsv: formulas of the number functions at the places
where floating point breaks (large offsets, tiny and huge magnitudes, negative arguments of
odd functions, the edges of domains, tiny and huge rates) with references worked out at 60
digits by mpmath. Each formula's arguments are literals or single operations on literals,
so the arguments here are the doubles the formula itself forms.

Columns: function, formula, expected (a number with 25 digits or an error's text), note.
A note "limit <relative>" (or "limit =<shown>") marks a row where the function's own formula is
the limit and the peer fails alike, named in parentheses: the test then asks for that relative
accuracy instead of 1e-13 (or for what is shown).

Run: python3 tools/make-accuracy-table.py > tests/data/functions/accuracy.tsv
"""
import math
from fractions import Fraction
import sys

from mpmath import mp, mpf

mp.dps = 60

ROWS = []
# Rows where the function's own rules are the limit: the relative accuracy they reach, or
# "=" and what they give instead of the true value.
LIMITS = {
    # Each kept only where the peer (LibreOffice 7.4, through tools' peer-calc) fails alike;
    # the peer's answer follows in the note.
    'AVERAGE(1E+308,1E+308)': ('=#NUM!', 'LibreOffice #NUM!'),
    # The two middle values are added before they are halved.
    'MEDIAN(1E+308,1E+308)': ('=#NUM!', 'LibreOffice #NUM!'),
    # A product that underflows comes out 0.
    'MDETERM({1E-200,0;0,1E-200})': ('=0', 'LibreOffice 0'),
}


def num(x):
    return mpf(float(x))


def lit(x):
    """A double as the formula text that reads back as it (at most 15 digits kept exact)."""
    x = float(x)
    if x == int(x) and abs(x) < 1e15:
        return str(int(x))
    text = '%.15g' % x
    if float(text) != x:
        text = repr(x)
    return text.upper().replace('E+0', 'E+').replace('E-0', 'E-')


def val(text):
    """The double a formula's argument text forms (a literal or one operation)."""
    return float(eval(text.lower()))


def arr(values, column=True):
    return '{' + (';' if column else ',').join(lit(v) for v in values) + '}'


def plus(offset, delta):
    """offset + delta as the formula forms it, for values past 15 digits."""
    return lit(offset + delta) if offset == 0 else '%s+%s' % (lit(offset), lit(delta))


def shifted(offset, deltas):
    """Data of a large offset as the formula forms them: the offset added to an array."""
    if offset == 0:
        return arr(deltas)
    return '(%s+%s)' % (lit(offset), arr(deltas))


def row(function, formula, value):
    if isinstance(value, str):
        expected = value
    else:
        value = mpf(value)
        expected = mp.nstr(value, 25, min_fixed=1, max_fixed=0) if value != 0 else '0'
    note = ''
    if formula in LIMITS:
        limit, peer = LIMITS[formula]
        note = 'limit ' + (limit if isinstance(limit, str) else '%g' % limit) + ' (peer: %s)' % peer
    ROWS.append((function, '=' + formula, expected, note))


def finite(value):
    """The engine's finite test: infinite, NaN or nonzero below DBL_MIN is #NUM!."""
    if value is None:
        return '#NUM!'
    if isinstance(value, str):
        return value
    if isinstance(value, mp.mpc):
        if value.imag != 0:
            return '#NUM!'
        value = value.real
    v = mpf(value)
    if mp.isnan(v) or mp.isinf(v) or abs(v) > mpf(sys.float_info.max) * (1 + mpf(2)**-54):
        return '#NUM!'
    if v != 0 and abs(v) < mpf(2) ** -1075:
        return mpf(0)  # below every double: the result rounds to 0
    if v != 0 and abs(v) < mpf(sys.float_info.min):
        return '#NUM!'
    return v


# ---- Elementary functions -------------------------------------------------------------

PI15 = mpf(float.fromhex('0x1.921fb54442d11p+1'))  # PI() as stored, not the nearest pi


def elementary():
    def unary(name, f, args, domain=lambda x: True):
        for a in args:
            x = num(val(a))
            value = f(x) if domain(x) else '#NUM!'
            row(name, '%s(%s)' % (name, a), finite(value))

    odd = ['1E-300', '-1E-300', '1E-17', '-1E-17', '1E-10', '-1E-10', '0.5', '-0.5', '3', '-3', '100000', '-100000']
    unary('SIN', mp.sin, odd + ['1E+15', '1E+200', '1E+308', '1E+22'])
    unary('COS', mp.cos, ['1E-300', '1E-8', '-1E-8', '1.5707963267949', '3', '-3', '1E+15', '1E+22', '1E+308'])
    unary('TAN', mp.tan, odd + ['1.5707963267949', '1E+15', '1E+308'])
    unary('ASIN', mp.asin, ['1E-300', '-1E-17', '0.5', '-0.999999', '1', '-1', '1.0000001'],
          lambda x: abs(x) <= 1)
    unary('ACOS', mp.acos, ['1E-300', '-1E-17', '0.5', '-0.999999', '0.999999999999', '1', '-1', '-1.0000001',
                            '0.9999999999999999'],
          lambda x: abs(x) <= 1)
    unary('ATAN', mp.atan, odd + ['1E+15', '1E+308', '-1E+308'])
    unary('SINH', mp.sinh, odd + ['700', '-700', '710', '711'])
    unary('COSH', mp.cosh, ['1E-300', '1E-8', '-3', '700', '-710', '711'])
    unary('TANH', mp.tanh, odd + ['20', '-20', '1E+308'])
    unary('ASINH', mp.asinh, odd + ['-1E+10', '1E+200', '-1E+200', '1E+308', '-1E+308'])
    unary('ACOSH', mp.acosh, ['1', '1+1E-15', '1+1E-10', '1.5', '100000', '1E+10', '1E+200', '1E+308',
                              '0.5', '1-1E-15'], lambda x: x >= 1)
    unary('ATANH', mp.atanh, odd + ['1-1E-16', '-1+1E-16', '0.999999', '1', '-1', '1.5', '-1.5'],
          lambda x: -1 < x < 1)
    unary('EXP', mp.exp, ['1E-300', '-1E-17', '1E-10', '1', '-1', '700', '709.7', '709.8', '-708', '-709', '-745'])
    unary('LN', mp.log, ['1E-300', '1E-17', '1+1E-15', '1-1E-16', '2', '1E+200', '1E+308', '0', '-1'],
          lambda x: x > 0)
    unary('LOG10', mp.log10, ['1E-300', '1E-17', '1+1E-15', '2', '1E+200', '1E+308', '0', '-1E-300'],
          lambda x: x > 0)
    unary('SQRT', mp.sqrt, ['1E-300', '1E-17', '2', '1E+200', '1E+308', '0', '-1E-300'], lambda x: x >= 0)
    unary('SQRTPI', lambda x: mp.sqrt(x * PI15),
          ['1E-300', '1E-17', '2', '1E+200', '1E+308', '0', '-1'], lambda x: x >= 0)
    # Literals past 15 digits are read to the double nearest them.
    unary('ABS', abs, ['-1E-300', '1E-300', '-1E+308', '-3.5', '-1.7976931348623157E+308', '-9007199254740991',
                       '0.30000000000000004'])
    unary('SIGN', mp.sign, ['-1E-300', '1E-300', '-1E+308', '0'])
    unary('DEGREES', lambda x: x * mpf(57.29577951308239), ['1E-300', '-1E-17', '3', '1E+200', '1E+307', '1E+308'])
    unary('RADIANS', lambda x: x * mpf(0.017453292519943278), ['1E-300', '-1E-17', '180', '1E+200', '-1E+308'])
    row('PI', 'PI()', PI15)

    def binary(name, f, pairs, domain=lambda x, y: True):
        for a, b in pairs:
            x, y = num(val(a)), num(val(b))
            value = f(x, y) if domain(x, y) else '#NUM!'
            row(name, '%s(%s,%s)' % (name, a, b), finite(value))

    binary('ATAN2', mp.atan2, [('1E-300', '1'), ('-1E-300', '-1'), ('1', '1E-300'), ('1E+308', '-1E+308'),
                               ('-3', '1E+15'), ('1E-17', '-1'), ('-1E-17', '-1')])
    binary('POWER', mp.power, [('10', '-307'), ('10', '308'), ('10', '309'), ('1+1E-15', '1E+15'),
                               ('2', '0.5'), ('1E+200', '1.5'), ('-8', '3'), ('1E-300', '-1'),
                               ('0.5', '1074'), ('-8', '0.333333333333333')],
           lambda x, y: not (x < 0 and y != int(y)))
    binary('LOG', lambda x, b: mp.log(x) / mp.log(b),
           [('1E-300', '10'), ('1E+308', '2'), ('1+1E-15', '10'), ('8', '2'), ('1000', '1+1E-15'),
            ('8', '1'), ('8', '0.5')], lambda x, b: x > 0 and b > 0 and b != 1)


# ---- Rounding, integers, sums -----------------------------------------------------------

def rounding():
    def r(name, args, value):
        row(name, '%s(%s)' % (name, ','.join(args)), finite(value))

    def dec(x, d, mode):
        # x is a double; decimal rounding of its exact value
        q = mpf(10) ** d
        y = x * q
        if mode == 'near':
            z = mp.floor(abs(y) + mpf(0.5)) * mp.sign(y)
        elif mode == 'up':
            z = mp.ceil(abs(y)) * mp.sign(y)
        else:
            z = mp.floor(abs(y)) * mp.sign(y)
        return z / q

    for x, d in [('2.5', '0'), ('-2.5', '0'), ('1E+15+0.5', '0'), ('123456789012.345', '-3'),
                 ('1E+300', '2'), ('-1E+300', '-2'), ('0.125', '2'), ('1E-300', '5')]:
        xv = num(val(x))
        r('ROUND', [x, d], dec(xv, int(d), 'near'))
    for x, d in [('2.341', '2'), ('-2.341', '2'), ('1E+300', '1'), ('1E-300', '0')]:
        r('ROUNDUP', [x, d], dec(num(val(x)), int(d), 'up'))
    for x, d in [('2.349', '2'), ('-2.349', '2'), ('1E+300', '1'), ('1E+15+0.5', '0')]:
        r('ROUNDDOWN', [x, d], dec(num(val(x)), int(d), 'down'))
    for x, d in [('-2.78', '1'), ('1E+300', '0'), ('1E+15+0.5', '0'), ('-1E-300', '0')]:
        r('TRUNC', [x, d], dec(num(val(x)), int(d), 'down'))
    for x in ['-1.5', '1E+15+0.5', '-1E+15-0.5', '1E+300', '-1E-300']:
        r('INT', [x], mp.floor(num(val(x))))
    for x in ['3', '-3', '1E+15+1', '2.0000001']:
        v = num(val(x)); e = mp.ceil(abs(v) / 2) * 2 * mp.sign(v)
        r('EVEN', [x], e)
    for x in ['2', '-2', '1E+15', '0.5']:
        v = num(val(x)); o = mp.ceil((abs(v) - 1) / 2) * 2 + 1
        r('ODD', [x], o * (1 if v >= 0 else -1))
    for x, m in [('2.5', '1'), ('1E+15+0.5', '1'), ('-2.5', '-1'), ('1E+300', '1E+299')]:
        v, mm = num(val(x)), num(val(m))
        r('CEILING', [x, m], mp.sign(v) * mp.ceil(abs(v) / mm) * mm if mm >= 0 else '#NUM!')
    for x, m in [('2.5', '1'), ('1E+15+0.5', '1'), ('-2.5', '-1'), ('1E+300', '1E+299')]:
        v, mm = num(val(x)), num(val(m))
        r('FLOOR', [x, m], mp.sign(v) * mp.floor(abs(v) / mm) * mm if mm >= 0 else '#NUM!')
    for x, y in [('7', '3'), ('-7', '3'), ('7', '-3'), ('1E+15+3', '7'), ('123456789', '0.5'), ('5', '0'),
                 ('9007199254740991', '10'), ('1234567890123456', '10')]:
        v, w = num(val(x)), num(val(y))
        # The remainder takes the sign of y.
        r('MOD', [x, y], v - w * mp.floor(v / w) if w != 0 else '#DIV/0!')
    for x, y in [('7', '2'), ('-7', '2'), ('1E+15+3', '7'), ('2147483647', '-3')]:
        v, w = num(val(x)), num(val(y))
        q = v / w
        r('QUOTIENT', [x, y], mp.floor(abs(q)) * mp.sign(q))
    for x, m in [('7', '3'), ('1E+15+2', '4'), ('-7', '-3'), ('7', '-3')]:
        v, mm = num(val(x)), num(val(m))
        r('MROUND', [x, m], mp.floor(v / mm + mpf(0.5)) * mm if v * mm >= 0 else '#NUM!')
    # FACT takes 0..170, FACTDOUBLE 0..300; the combinations any count up to 2^31 - 1.
    inside = lambda *v: all(0 <= int(x) <= 170 for x in v)
    counts = lambda *v: all(1 <= int(x) <= 2147483647 for x in v)
    for n in ['0', '5', '20', '170', '171']:
        r('FACT', [n], mp.factorial(int(n)) if inside(n) else '#NUM!')
    for n in ['6', '7', '30', '170', '171', '237', '300', '301']:
        k = int(n)
        r('FACTDOUBLE', [n], mp.fprod(range(k, 0, -2)) if 0 <= k <= 300 else '#NUM!')
    for n, k in [('60', '30'), ('170', '85'), ('170', '3'), ('5', '6'), ('1000', '3'), ('200', '2'),
                 ('1000', '500'), ('1030', '515'), ('2147483647', '3'), ('2147483647', '2147483646'),
                 ('100000', '50000')]:
        nn, kk = int(n), int(k)
        r('COMBIN', [n, k], mp.binomial(nn, kk) if kk <= nn and counts(n, k) else '#NUM!')
    for n, k in [('3', '2'), ('60', '30'), ('170', '3'), ('1000', '3'), ('170', '150'), ('2147483647', '2')]:
        nn, kk = int(n), int(k)
        r('COMBIN2', [n, k], mp.binomial(nn + kk - 1, kk) if kk <= nn and counts(n, k) else '#NUM!')
    for n, k in [('5', '2'), ('170', '170'), ('100000', '3'), ('200', '100')]:
        nn, kk = int(n), int(k)
        r('PERMUT', [n, k], mp.factorial(nn) / mp.factorial(nn - kk))
    for args in [('2', '3'), ('10', '20', '30'), ('100', '70'), ('100', '100'), ('2147483647',),
                 ('1000', '1', '2', '3'), ('300', '200', '10')]:
        ks = [int(a) for a in args]
        r('MULTINOMIAL', list(args), mp.factorial(sum(ks)) / mp.fprod(mp.factorial(k) for k in ks))
    for args, g in [(('12', '18'), 6), (('1E+15', '25'), 25), (('2147483647', '2147483646'), 1)]:
        r('GCD', list(args), g)
    for args, l in [(('4', '6'), 12), (('1000000', '999999'), 999999000000), (('2147483647', '2147483629'), 2147483647 * 2147483629)]:
        r('LCM', list(args), l)


def sums():
    def r(name, formula, value):
        row(name, formula, finite(value))

    for off in [0, 1e7, 1e9, 1e15]:
        dx, dy = (1, 2, 4, 7, 11), (3, -1, 4, 1, 5)
        X = [num(off + d) for d in dx]
        Y = [num(off * 0.5 + d) for d in dy]
        A, B = shifted(off, dx), shifted(off * 0.5, dy)
        r('SUM', 'SUM(%s)' % A, mp.fsum(X))
        r('SUMSQ', 'SUMSQ(%s)' % A, mp.fsum(v * v for v in X))
        r('SUMXMY2', 'SUMXMY2(%s,%s)' % (A, B), mp.fsum((a - b) ** 2 for a, b in zip(X, Y)))
        r('SUMX2MY2', 'SUMX2MY2(%s,%s)' % (A, B), mp.fsum(a * a - b * b for a, b in zip(X, Y)))
        r('SUMX2PY2', 'SUMX2PY2(%s,%s)' % (A, B), mp.fsum(a * a + b * b for a, b in zip(X, Y)))
        r('SUMPRODUCT', 'SUMPRODUCT(%s,%s)' % (shifted(off, dx[:2]), shifted(off * 0.5, dy[:2])),
          X[0] * Y[0] + X[1] * Y[1])
    r('SUM', 'SUM(1E+308,-1E+308,1E-300)', mpf(1e-300))
    r('SUM', 'SUM(1E+308,1E+308)', '#NUM!')
    r('SUM', 'SUM(1E-300,-1E-300,1E-310)', '#NUM!')
    # Running totals that pass below the normal range and come back; terms that cancel.
    r('SUM', 'SUM(1,-9.99999999999999E-301,1E-300)', 1 + num(1e-300) - num(9.99999999999999e-301))
    r('SUM', 'SUM(1,1E+100,1,-1E+100)', 2)
    r('SUM', 'SUM(1E+16,1,-1E+16)', 1)
    r('SUMSQ', 'SUMSQ(1,1E-155)', 1 + num(1e-155) ** 2)
    r('PRODUCT', 'PRODUCT(1E+300,1E-10,1E-300)', num(1e300) * num(1e-10) * num(1e-300))
    r('SUMSQ', 'SUMSQ(1E+154,1E+154)', 2 * num(1e154) ** 2)
    r('SUMSQ', 'SUMSQ(1E+155)', '#NUM!')
    r('PRODUCT', 'PRODUCT(1E+200,1E-200,1E+100)', num(1e200) * num(1e-200) * num(1e100))
    r('PRODUCT', 'PRODUCT(-1E+154,1E+154,1E-17)', -num(1e154) * num(1e154) * num(1e-17))
    r('PRODUCT', 'PRODUCT(1E+200,1E+200)', '#NUM!')
    r('PRODUCT', 'PRODUCT(1+1E-15,1-1E-15,3)', num(1 + 1e-15) * num(1 - 1e-15) * 3)
    r('SERIESSUM', 'SERIESSUM(0.5,0,1,{1,1,1,1,1,1,1,1})', mp.fsum(mpf(0.5) ** i for i in range(8)))
    r('SERIESSUM', 'SERIESSUM(1E-100,2,3,{1,2,3})', mp.fsum(c * num(1e-100) ** (2 + 3 * i) for i, c in enumerate([1, 2, 3])))
    r('SERIESSUM', 'SERIESSUM(-1E+10,1,1,{1,-1E-10})', num(-1e10) - num(1e-10) * num(1e20))
    r('SUMIF', 'SUMIF({1;2;3},">1",{1E+15;1;2})', 3)
    r('SUMIF', 'SUMIF({1;2;3},">=1",{1E+200;-1E+200;1E-300})', num(1e-300))
    r('MDETERM', 'MDETERM({1,2;3,4})', -2)
    r('MDETERM', 'MDETERM({1E+100,0;0,1E+100})', num(1e100) ** 2)
    r('MDETERM', 'MDETERM({1E-200,0;0,1E-200})', '#NUM!')
    r('MDETERM', 'MDETERM({2,1;1,1E+15})', 2 * num(1e15) - 1)


# ---- Annuities and cash flows -----------------------------------------------------------

def financial():
    def r(name, args, value):
        row(name, '%s(%s)' % (name, ','.join(args)), finite(value))

    def growth(rate, n):
        return (1 + rate) ** n

    rates = ['1E-9', '1E-6', '0.0075', '0.5', '3']
    for ra in rates:
        rt = num(val(ra))
        for n in ['12', '360']:
            N = int(n)
            P = growth(rt, N)
            for t in ['0', '1']:
                r('PMT', [ra, n, '1000', '', t], -(P * 1000) / ((1 + rt * int(t)) / rt * (P - 1)))
            r('PV', [ra, n, '-100', '50', '0'], -(-100 * (P - 1) / rt + 50) / P)
            r('FV', [ra, n, '-100', '-1000', '1'], -(-1000 * P + -100 * (1 + rt) * (P - 1) / rt))
            r('IPMT', [ra, '3', n, '125000', ''], -rt * 125000 * (P - growth(rt, 2)) / (P - 1))
            r('PPMT', [ra, '3', n, '125000', '', ''], -125000 * rt * growth(rt, 2) / (P - 1))
        X = -100 / rt
        r('NPER', [ra, '-100', '1000', '', ''], mp.log((X - 0) / (X + 1000)) / mp.log(1 + rt))
        Pn = growth(rt, 360)
        M = 125000 * rt * Pn / (Pn - 1)
        bal = lambda k: 125000 * (Pn - growth(rt, k - 1)) / (Pn - 1)
        r('CUMIPMT', [ra, '360', '125000', '13', '24'], -mp.fsum(rt * bal(k) for k in range(13, 25)))
        r('CUMPRINC', [ra, '360', '125000', '13', '24'],
          -mp.fsum(125000 * rt * growth(rt, k - 1) / (Pn - 1) for k in range(13, 25)))
    r('CUMPRINC', ['0.0075', '360', '125000', '1', '360'], -125000)
    r('CUMIPMT', ['1E-9', '360', '125000', '1', '360'],
      -(360 * 125000 * num(1e-9) * growth(num(1e-9), 360) / (growth(num(1e-9), 360) - 1) - 125000))
    r('PMT', ['1E-300', '12', '1000', '', ''], mpf(-1000) / 12)
    # A rate of 0: the forms' limits.
    r('PMT', ['0', '12', '1200', '', ''], -100)
    r('PMT', ['0', '10', '1000', '200', '1'], -120)
    r('PV', ['0', '10', '100', '50', '1'], -1050)
    r('FV', ['0', '10', '100', '-30', ''], -970)
    r('NPER', ['0', '-100', '1000', '', ''], 10)
    r('IPMT', ['0', '1', '36', '8000', ''], 0)
    r('PPMT', ['0', '1', '36', '8000', '', ''], mpf(-8000) / 36)
    r('CUMPRINC', ['0', '360', '125000', '13', '24'], mpf(-125000) * 12 / 360)
    # Long terms, where (1 + r)^n leaves the double range.
    for ra, n in [('0.1', '10000'), ('0.05', '100000'), ('1E-6', '2147483647')]:
        rt, N = num(val(ra)), int(n)
        V = (1 + rt) ** -N
        r('PV', [ra, n, '-100', '', ''], 100 * (1 - V) / rt)
        r('PMT', [ra, n, '1000', '', ''], -1000 * rt / (1 - V))
        r('IPMT', [ra, '1', n, '1000', ''], -rt * 1000)
        r('PPMT', [ra, '1', n, '1000', '', ''], -1000 * rt * V / (1 - V))
        r('CUMIPMT', [ra, n, '1000', '1', '10'],
          -mp.fsum(rt * 1000 * (1 - (1 + rt) ** (k - 1 - N)) / (1 - V) for k in range(1, 11)))
    r('FV', ['1E+300', '2', '-1', '', ''], '#NUM!')
    for n, pmt, pv, guess in [('48', '-200', '8000', ''), ('360', '-1000', '150000', ''), ('10', '-1000000', '9000000', ''),
                              ('12', '-83.3333338750', '1000', ''), ('100000', '-1', '1000', ''),
                              ('2000', '-500', '1000', ''), ('360', '-1E-3', '0.3', '')]:
        N, PM, PV = int(n), num(val(pmt)), num(val(pv))
        f = lambda x: PV + PM * (1 - (1 + x) ** -N) / x
        root = bisect(f if f(mpf(10) ** -30) < 0 else (lambda x: -f(x)), mpf(10) ** -30, 10, True)
        r('RATE', [n, pmt, pv, '', '', guess], root)
    for ra, vals in [('0.1', ['-100', '50', '60']), ('1E-9', ['100', '200', '300']), ('1E-15', ['1E+15', '3']), ('1E-300', ['3', '4'])]:
        rt = num(val(ra))
        r('NPV', [ra] + vals, mp.fsum(num(val(v)) / (1 + rt) ** (i + 1) for i, v in enumerate(vals)))
    for ra, m in [('1E-10', '12'), ('0.1', '12'), ('1E-15', '365'), ('5', '4')]:
        rt = num(val(ra))
        r('EFFECT', [ra, m], (1 + rt / int(m)) ** int(m) - 1)
    for ra, m in [('1E-10', '12'), ('0.1', '12'), ('1E-15', '365')]:
        rt = num(val(ra))
        r('NOMINAL', [ra, m], int(m) * ((1 + rt) ** (mpf(1) / int(m)) - 1))
    for n in ['30', '60', '120', '7', '1000']:
        r('RATE', [n, '-1000/%s' % n, '1000', '', '', ''], 0)
    r('FVSCHEDULE', ['1E+15', '1E-9', '1E-9'], num(1e15) * (1 + num(1e-9)) ** 2)
    r('FVSCHEDULE', ['100', '0.1', '-0.05', '3'], 100 * num(1.1) * num(0.95) * 4)
    r('SLN', ['1E+15+1', '1E+15', '3'], mpf(1) / 3)
    r('SLN', ['1E+308', '-1E+308', '2'], '#NUM!')
    r('SYD', ['1000000', '0', '100000', '1'], mpf(1000000) * 100000 * 2 / (100000 * 100001))
    r('SYD', ['1E+15+9', '1E+15', '3', '2'], mpf(9) * 2 * 2 / 12)
    r('DDB', ['1E+15', '0', '3', '1', ''], num(1e15) * 2 / 3)
    r('DDB', ['1000', '0', '1E+9', '1', ''], mpf(1000) * 2 / 10 ** 9)
    # The declining balance stops at the salvage value (the last period takes it there).
    for c, sv, life, per, fac in [('10000', '2000', '10', '7', ''), ('10000', '2000', '10', '8', ''),
                                  ('10000', '2000', '10', '9', ''), ('10000', '2000', '10', '10', ''),
                                  ('2400', '300', '10', '10', ''), ('10000', '0', '10', '10', ''),
                                  ('2400', '300', '10', '2', '1.5')]:
        C, S, L, P = num(val(c)), num(val(sv)), int(life), int(per)
        rate = (num(val(fac)) if fac else mpf(2)) / L
        book = C * (1 - rate) ** (P - 1)
        excess = max(book - S, 0)
        r('DDB', [c, sv, life, per, fac], min(book * rate, excess) if P < L else excess)
    for c, sv, life, per in [('1000000', '999999.99', '5', '1'), ('1000000', '100000', '6', '3'),
                             ('1E+15', '1E+15-1', '10', '2'), ('1', '1E-10', '4', '4')]:
        C, S, L, P = num(val(c)), num(val(sv)), int(life), int(per)
        rate = 1 - (S / C) ** (mpf(1) / L)
        r('DB', [c, sv, life, per, ''], C * rate * (1 - rate) ** (P - 1))
    for vals in [['-100', '110'], ['-1000', '300', '400', '500'], ['-1E+9', '3E+8', '4E+8', '5E+8'],
                 ['-1000', '900'], ['-1000', '100', '100', '100'], ['-1000', '1']]:
        V = [num(val(v)) for v in vals]
        f = lambda x: mp.fsum(v / (1 + x) ** i for i, v in enumerate(V))
        # A loss (flows adding up below 0) has its rate between -1 and 0.
        root = mp.findroot(f, mpf('0.1')) if sum(V) > 0 else mp.findroot(f, (mpf('-0.9999'), mpf('-1E-9')), solver='anderson')
        r('IRR', vals + [''], root)
    for vals, ra in [(['-100', '50', '60'], '0.1'), (['-1000', '300', '400', '500'], '1E-9')]:
        V = [num(val(v)) for v in vals]
        rt = num(val(ra)); n = len(V)
        pos = mp.fsum(v * (1 + rt) ** (n - 1 - i) for i, v in enumerate(V) if v > 0)
        neg = mp.fsum(v / (1 + rt) ** i for i, v in enumerate(V) if v < 0)
        r('MIRR', [arr(vals, False), ra], (pos / -neg) ** (mpf(1) / (n - 1)) - 1)
    r('DOLLARDE', ['1.02', '16'], mpf(1) + num(0.02) * 100 / 16)
    r('DOLLARFR', ['1.125', '16'], mpf(1) + mpf('0.125') * 16 / 100)


# ---- Statistics ------------------------------------------------------------------------

def mean(V):
    return mp.fsum(V) / len(V)


def ss(V):
    m = mean(V)
    return mp.fsum((v - m) ** 2 for v in V)


def statistics():
    def r(name, formula, value):
        row(name, formula, finite(value))

    base = [1, 2, 4, 7, 11, 3]
    ybase = [2.5, 3, 9, 1, 8, 4.5]
    for off in [0, 1e7, 1e9, 1e15]:
        xs = [off + d for d in base]
        X = [num(v) for v in xs]
        A = shifted(off, base)
        n = len(X)
        m = mean(X)
        s2 = ss(X) / (n - 1)
        r('AVERAGE', 'AVERAGE(%s)' % A, m)
        r('AVERAGEA', 'AVERAGEA(%s)' % A, m)
        r('AVEDEV', 'AVEDEV(%s)' % A, mp.fsum(abs(v - m) for v in X) / n)
        r('DEVSQ', 'DEVSQ(%s)' % A, ss(X))
        r('VAR', 'VAR(%s)' % A, s2)
        r('VARA', 'VARA(%s)' % A, s2)
        r('VARP', 'VARP(%s)' % A, ss(X) / n)
        r('VARPA', 'VARPA(%s)' % A, ss(X) / n)
        r('STDEV', 'STDEV(%s)' % A, mp.sqrt(s2))
        r('STDEVA', 'STDEVA(%s)' % A, mp.sqrt(s2))
        r('STDEVP', 'STDEVP(%s)' % A, mp.sqrt(ss(X) / n))
        r('STDEVPA', 'STDEVPA(%s)' % A, mp.sqrt(ss(X) / n))
        sd = mp.sqrt(s2)
        r('SKEW', 'SKEW(%s)' % A, mpf(n) / ((n - 1) * (n - 2)) * mp.fsum(((v - m) / sd) ** 3 for v in X))
        r('KURT', 'KURT(%s)' % A, mpf(n * (n + 1)) / ((n - 1) * (n - 2) * (n - 3)) * mp.fsum(((v - m) / sd) ** 4 for v in X)
          - mpf(3 * (n - 1) ** 2) / ((n - 2) * (n - 3)))
        r('MEDIAN', 'MEDIAN(%s)' % A, (sorted(X)[2] + sorted(X)[3]) / 2)
        r('GEOMEAN', 'GEOMEAN(%s)' % A, mp.exp(mp.fsum(mp.log(v) for v in X) / n))
        r('HARMEAN', 'HARMEAN(%s)' % A, n / mp.fsum(1 / v for v in X))
        r('PERCENTILE', 'PERCENTILE(%s,0.3)' % A, (lambda S, h: S[int(h)] + (h - int(h)) * (S[int(h) + 1] - S[int(h)]))(sorted(X), mpf('0.3') * (n - 1)))
        r('QUARTILE', 'QUARTILE(%s,1)' % A, (lambda S, h: S[int(h)] + (h - int(h)) * (S[int(h) + 1] - S[int(h)]))(sorted(X), mpf(n - 1) / 4))
        r('STANDARDIZE', 'STANDARDIZE(%s,%s,%s)' % (plus(off, 11), plus(off, 4), '2.5'), (X[4] - num(off + 4)) / num(2.5))
        ys = [off * 2 + d for d in ybase]
        Y = [num(v) for v in ys]
        B = shifted(off * 2, ybase)
        my = mean(Y)
        sxy = mp.fsum((a - m) * (b - my) for a, b in zip(X, Y))
        sxx, syy = ss(X), ss(Y)
        slope = sxy / sxx
        icpt = my - slope * m
        rcoef = sxy / mp.sqrt(sxx * syy)
        r('COVAR', 'COVAR(%s,%s)' % (A, B), sxy / n)
        r('CORREL', 'CORREL(%s,%s)' % (A, B), rcoef)
        r('PEARSON', 'PEARSON(%s,%s)' % (A, B), rcoef)
        r('RSQ', 'RSQ(%s,%s)' % (B, A), rcoef ** 2)
        r('SLOPE', 'SLOPE(%s,%s)' % (B, A), slope)
        r('INTERCEPT', 'INTERCEPT(%s,%s)' % (B, A), icpt)
        r('STEYX', 'STEYX(%s,%s)' % (B, A), mp.sqrt((syy - sxy ** 2 / sxx) / (n - 2)))
        x0 = off + 5
        r('FORECAST', 'FORECAST(%s,%s,%s)' % (plus(off, 5), B, A), my + slope * (num(x0) - m))
        r('TREND', 'INDEX(TREND(%s,%s,%s,1),1,1)' % (B, A, shifted(off, [5])), my + slope * (num(x0) - m))
        r('LINEST', 'INDEX(LINEST(%s,%s,1),2,1)' % (B, A), slope)
        r('TTEST2', 'TTEST2(%s,%s)' % (A, shifted(off, ybase)),
          tstat(X, [num(off + d) for d in ybase]))
        r('ZTEST2', 'ZTEST2(%s,%s,)' % (A, plus(off, 4)), (m - num(off + 4)) / (mp.sqrt(s2) / mp.sqrt(n)))
        r('LARGE', 'LARGE(%s,2)' % A, sorted(X)[-2])
        r('SMALL', 'SMALL(%s,2)' % A, sorted(X)[1])
        r('MAX', 'MAX(%s)' % A, max(X))
        r('MIN', 'MIN(%s)' % A, min(X))
        r('TRIMMEAN', 'TRIMMEAN(%s,0.4)' % A, mean(sorted(X)[1:-1]))
    # The repros of the line's large offsets.
    r('SLOPE', 'SLOPE({1;2;4},{100000001;100000002;100000003})', mpf(3) / 2)
    r('INTERCEPT', 'INTERCEPT({1;2;4},{100000001;100000002;100000003})', mpf(7) / 3 - mpf(3) / 2 * 100000002)
    r('TREND', 'INDEX(TREND({10;12;15;19},{1700000000;1700000060;1700000120;1700000180},{1700000240},1),1,1)', mpf(43) / 2)
    r('FORECAST', 'FORECAST(1700000240,{10;12;15;19},{1700000000;1700000060;1700000120;1700000180})', mpf(43) / 2)
    r('LINEST', 'INDEX(LINEST({1;2;4},{100000001;100000002;100000003},1),1,1)', mpf(7) / 3 - mpf(3) / 2 * 100000002)
    # Huge and tiny magnitudes.
    for scale in [1e-300, 1e200]:
        xs = [scale * d for d in base]
        ys = [scale * d for d in ybase]
        X, Y = [num(v) for v in xs], [num(v) for v in ys]
        A, B = arr(xs), arr(ys)
        m, my = mean(X), mean(Y)
        sxy = mp.fsum((a - m) * (b - my) for a, b in zip(X, Y))
        r('SLOPE', 'SLOPE(%s,%s)' % (B, A), sxy / ss(X))
        r('PEARSON', 'PEARSON(%s,%s)' % (A, B), sxy / mp.sqrt(ss(X) * ss(Y)))
        r('AVERAGE', 'AVERAGE(%s)' % A, m)
        r('STDEV', 'STDEV(%s)' % A, mp.sqrt(ss(X) / (len(X) - 1)))
    r('AVERAGE', 'AVERAGE(1E+308,1E+308)', mpf(1e308))
    r('GEOMEAN', 'GEOMEAN(1E+300,1E+300,1E-300)', mpf(1e100) * (num(1e300) ** 2 * num(1e-300) / mpf(10) ** 300) ** (mpf(1) / 3))
    r('HARMEAN', 'HARMEAN(1E-300,1E-300)', num(1e-300))
    r('HARMEAN', 'HARMEAN(1E+308,1E+308)', num(1e308))
    r('STDEV', 'STDEV(1E-155,2E-155)', (num(2e-155) - num(1e-155)) / mp.sqrt(2))
    r('GEOMEAN', 'GEOMEAN(1E-200,1E-200)', num(1e-200))
    r('GEOMEAN', 'GEOMEAN(%s)' % arr([1000] * 200), 1000)
    r('GEOMEAN', 'GEOMEAN(%s)' % arr([0.1] * 400), num(0.1))
    r('GEOMEAN', 'GEOMEAN(1E+300,1E+300,1E+300,1E+300)', num(1e300))

    def skew(V):
        n, m = len(V), mean(V)
        sd = mp.sqrt(ss(V) / (n - 1))
        return mpf(n) / ((n - 1) * (n - 2)) * mp.fsum(((v - m) / sd) ** 3 for v in V)

    def kurt(V):
        n, m = len(V), mean(V)
        sd = mp.sqrt(ss(V) / (n - 1))
        return mpf(n * (n + 1)) / ((n - 1) * (n - 2) * (n - 3)) * mp.fsum(((v - m) / sd) ** 4 for v in V) \
            - mpf(3 * (n - 1) ** 2) / ((n - 2) * (n - 3))
    r('SKEW', 'SKEW(1E+15+1,1E+15+2,1E+15+4)', skew([num(1e15 + d) for d in (1, 2, 4)]))
    for scale in ['1E-200', '1E+200', '1E-100', '1E+100']:
        V = [num(val(scale)) * d for d in (1, 2, 4, 8, 3)]
        A = arr([float(v) for v in V])
        r('SKEW', 'SKEW(%s)' % A, skew(V))
        r('KURT', 'KURT(%s)' % A, kurt(V))
    r('MEDIAN', 'MEDIAN(1E+308,1E+308)', num(1e308))


def tstat(A, B):
    n1, n2 = len(A), len(B)
    m1, m2 = mean(A), mean(B)
    v = (ss(A) + ss(B)) / (n1 + n2 - 2) * mpf(n1 + n2) / (n1 * n2)
    return (m1 - m2) / mp.sqrt(v)


def bisect(f, lo, hi, geometric=False, steps=200):
    """The root of an increasing f inside [lo, hi], halving the bracket (geometrically for
    a positive range that spans magnitudes)."""
    lo, hi = mpf(lo), mpf(hi)
    for _ in range(steps):
        mid = mp.sqrt(lo * hi) if geometric else (lo + hi) / 2
        if f(mid) < 0:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


def ncdf(z):
    return mp.erfc(-z / mp.sqrt(2)) / 2


def norm_quantile(P):
    """The z with P(Z < z) = P, solved on the logarithm of the smaller tail."""
    if P == mpf(1) / 2:
        return mpf(0)
    tail = min(P, 1 - P)
    z = bisect(lambda z: mp.log(tail) - mp.log(ncdf(-z)), 0, 40)
    return -z if P < 0.5 else z


def ibeta(a, b, x):
    """The regularised incomplete beta I_x(a, b) by its continued fraction (DLMF 8.17.22),
    evaluated at 60 digits; mpmath's hypergeometric series does not converge for large a, b."""
    a, b, x = mpf(a), mpf(b), mpf(x)
    if x <= 0:
        return mpf(0)
    if x >= 1:
        return mpf(1)
    if x > (a + 1) / (a + b + 2):
        return 1 - ibeta(b, a, 1 - x)
    front = mp.exp(a * mp.log(x) + b * mp.log1p(-x) - mp.log(a)
                   - (mp.loggamma(a) + mp.loggamma(b) - mp.loggamma(a + b)))
    tiny = mpf(10) ** -200
    f, c, d = mpf(1), mpf(1), mpf(0)
    for i in range(10 ** 7):
        m = i // 2
        if i == 0:
            numerator = mpf(1)
        elif i % 2 == 0:
            numerator = m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m))
        else:
            numerator = -((a + m) * (a + b + m) * x) / ((a + 2 * m) * (a + 2 * m + 1))
        d = 1 + numerator * d
        d = 1 / (d if d != 0 else tiny)
        c = 1 + numerator / (c if c != 0 else tiny)
        cd = c * d
        f *= cd
        if abs(1 - cd) < mpf(10) ** -55:
            break
    return front * (f - 1)


def chi_cdf(x, k):
    return mp.gammainc(mpf(k) / 2, 0, x / 2, regularized=True)


def f_cdf(x, m, n):
    """P(F < x) with m numerator and n denominator degrees of freedom."""
    return ibeta(mpf(m) / 2, mpf(n) / 2, m * x / (m * x + n))


def t_cdf(x, k):
    tail = ibeta(mpf(k) / 2, mpf(1) / 2, k / (k + x * x)) / 2
    return 1 - tail if x >= 0 else tail


def quantile(cdf, P, lo, hi, geometric=False):
    """The x with cdf(x) = P; a lower tail below 1/2 is matched on its logarithm."""
    if P < 0.5:
        return bisect(lambda x: mp.log(cdf(x)) - mp.log(P), lo, hi, geometric)
    return bisect(lambda x: (1 - P) - (1 - cdf(x)), lo, hi, geometric)


def binom_cdf(s, n, p):
    if s >= n:
        return mpf(1)
    return ibeta(n - s, s + 1, 1 - p)


def distributions():
    def r(name, args, value):
        row(name, '%s(%s)' % (name, ','.join(args)), finite(value))

    for z in ['-40', '-10', '-1E-17', '0.5', '8', '38', '1.96', '-1.96', '3', '-3', '1E-300']:
        r('NORMSDIST', [z], ncdf(num(val(z))))
    for x, mu, sd, c in [('1E+15+1', '1E+15', '2', '1'), ('1E+15+1', '1E+15', '2', '0'), ('-1E-300', '0', '1E-300', '1'),
                         ('3', '1', '1E+200', '0'), ('42', '40', '1.5', '1'), ('42', '40', '1.5', '0'),
                         ('-20', '5', '2', '1'), ('30', '5', '2', '1'), ('1E+8+3', '1E+8', '0.5', '1'),
                         ('1E+200', '0', '1E+200', '0')]:
        X, M, S = num(val(x)), num(val(mu)), num(val(sd))
        z = (X - M) / S
        r('NORMDIST', [x, mu, sd, c], ncdf(z) if c == '1' else mp.npdf(z) / S)
    for p in ['1E-300', '1E-17', '0.025', '0.5', '0.975', '1-1E-16', '0.90878877482188', '0.5000001', '1E-100',
              '0.9999999']:
        r('NORMSINV', [p], norm_quantile(num(val(p))))
    for p, mu, sd in [('0.975', '1E+15', '2'), ('1E-10', '0', '1E-300'), ('0.90878877482188', '40', '1.5'),
                      ('0.001', '1E+8', '3')]:
        P, M, S = num(val(p)), num(val(mu)), num(val(sd))
        r('NORMINV', [p, mu, sd], M + S * norm_quantile(P))
    for x, lam, c in [('1E-17', '1', '1'), ('1E-10', '3', '1'), ('700', '1', '0'), ('2', '0.5', '1'),
                      ('1E-300', '1', '1'), ('30', '1', '1'), ('1000', '0.5', '0'), ('0.5', '2', '0'),
                      ('1E+10', '1E-10', '1'), ('3', '1E-5', '1'), ('0.2', '10', '1')]:
        X, L = num(val(x)), num(val(lam))
        r('EXPONDIST', [x, lam, c], -mp.expm1(-L * X) if c == '1' else L * mp.exp(-L * X))
    for x, a, b, c in [('1E-10', '2', '1', '1'), ('2', '0.5', '3', '1'), ('1', '2', '3', '0'),
                       ('105', '20', '100', '1'), ('1E-300', '0.5', '1', '1'), ('5', '2', '3', '1'),
                       ('0.5', '1', '1', '0'), ('100000', '0.5', '1000', '0'), ('2', '0.001', '1', '1'),
                       ('1E-5', '3', '1', '1'), ('10', '5', '2', '0')]:
        X, A, B = num(val(x)), num(val(a)), num(val(b))
        r('WEIBULL', [x, a, b, c], -mp.expm1(-(X / B) ** A) if c == '1' else A / B ** A * X ** (A - 1) * mp.exp(-(X / B) ** A))
    for k, lam, c in [('0', '1E-10', '1'), ('3', '2.5', '0'), ('1000', '1000', '1'), ('5', '1E-10', '0'),
                      ('200', '180', '1'), ('2', '5', '0'), ('2', '5', '1'), ('50', '10', '1'), ('1', '100', '1'),
                      ('1000', '1000', '0'), ('1', '1E-10', '1'), ('100000', '100500', '1'), ('0', '2', '1'),
                      ('0', '2', '0')]:
        K, L = int(k), num(val(lam))
        pmf = mp.exp(-L + K * mp.log(L) - mp.loggamma(K + 1))
        cdf = mp.gammainc(K + 1, L, mp.inf, regularized=True)
        r('POISSON', [k, lam, c], cdf if c == '1' else pmf)
    for s, t, p, c in [('3', '10', '0.5', '0'), ('0', '100', '1E-10', '1'), ('500', '1000', '0.5', '1'),
                       ('2', '1000', '1E-6', '0'), ('150', '300', '0.5', '1'), ('150', '300', '0.5', '0'),
                       ('10', '1000', '0.5', '1'), ('990', '1000', '0.99', '1'), ('1', '100', '1E-10', '1'),
                       ('6', '10', '0.5', '0'), ('40000', '100000', '0.4', '1'), ('12', '10', '0.5', '0'),
                       ('0', '10', '0.1', '0')]:
        S, T, P = int(s), int(t), num(val(p))
        pmf = mp.binomial(T, S) * P ** S * (1 - P) ** (T - S) if S <= T else mpf(0)
        r('BINOMDIST', [s, t, p, c], binom_cdf(S, T, P) if c == '1' else pmf)
    for t, p, a in [('1000', '0.5', '0.5'), ('300', '0.5', '0.5'), ('6', '0.5', '0.75'), ('6', '0.5', '0'),
                    ('1000000', '0.3', '0.001'), ('100', '0.01', '0.99'), ('2000000000', '0.5', '0.9'),
                    ('10', '0.5', '1'), ('50', '1E-10', '0.5'), ('20', '0.9', '0.1')]:
        T, P, A = int(t), num(val(p)), num(val(a))
        lo, hi = -1, T  # cdf(lo) < A <= cdf(hi)
        if A <= binom_cdf(0, T, P):
            k = 0
        else:
            lo = 0
            while hi - lo > 1:
                mid = (lo + hi) // 2
                if binom_cdf(mid, T, P) >= A:
                    hi = mid
                else:
                    lo = mid
            k = hi
        r('CRITBINOM', [t, p, a], k)
    for s, n, m, N in [('1', '4', '8', '20'), ('10', '50', '100', '1000'), ('500', '1000', '5000', '10000'),
                       ('0', '10', '20', '100'), ('5', '5', '5', '100'), ('1000', '2000', '1000000', '2000000'),
                       ('3', '10', '2', '20'), ('2', '2', '2', '2'), ('40', '100', '500', '1000'),
                       ('100', '1000', '100000', '1000000'), ('1', '30', '1', '1000000000')]:
        S, Nn, M, NN = int(s), int(n), int(m), int(N)
        value = mp.binomial(M, S) * mp.binomial(NN - M, Nn - S) / mp.binomial(NN, Nn) if S <= M else mpf(0)
        r('HYPGEOMDIST', [s, n, m, N], value)
    for x in ['1E-17', '-0.5', '0.999999', '1-1E-16']:
        r('FISHER', [x], mp.atanh(num(val(x))))
    for y in ['1E-17', '-0.5', '20', '1E+10', '-1E+10']:
        r('FISHERINV', [y], mp.tanh(num(val(y))))
    for a, sd, n in [('0.05', '1', '1'), ('1E-10', '2.5', '100'), ('1E-20', '1', '1'), ('0.05', '2.5', '50'),
                     ('0.999', '1', '4')]:
        A = num(val(a))
        r('CONFIDENCE', [a, sd, n], -norm_quantile(A / 2) * num(val(sd)) / mp.sqrt(int(n)))
    for x, k in [('3.84146', '1'), ('1E-10', '2'), ('200', '100'), ('10000', '10000'), ('18.307', '10'),
                 ('0.001', '5'), ('1000', '10'), ('1E-300', '1'), ('0.5', '1'), ('50', '60')]:
        r('CHIDIST', [x, k], chi_cdf(num(val(x)), int(k)))
    for p, k in [('0.95', '1'), ('1E-10', '2'), ('0.5', '100'), ('0.5', '10000'), ('0.999', '3'),
                 ('1E-100', '4'), ('0.9499994109077', '10'), ('0.01', '1')]:
        P, K = num(val(p)), int(k)
        r('CHIINV', [p, k], quantile(lambda x: chi_cdf(x, K), P, mpf(10) ** -150, 10 ** 6, True))
    for x, a, b in [('1', '1', '1'), ('3.5', '4', '10'), ('1E-10', '2', '2'), ('15.20675', '4', '6'),
                    ('1', '1200', '1200'), ('1E-5', '3', '7'), ('1000', '5', '5'), ('2', '10', '1'),
                    ('0.5', '1', '30'), ('1E+10', '1', '1'), ('1E+20', '1', '1')]:
        r('FDIST', [x, a, b], f_cdf(num(val(x)), int(a), int(b)))
    for p, a, b in [('0.5', '1', '1'), ('0.95', '4', '10'), ('1E-10', '3', '5'), ('0.999999', '2', '8'),
                    ('0.99729988597273', '4', '6'), ('3.016048591339673E-108', '7', '4'), ('1E-50', '3', '3')]:
        P, A, B = num(val(p)), int(a), int(b)
        r('FINV', [p, a, b], quantile(lambda x: f_cdf(x, A, B), P, mpf(10) ** -150, mpf(10) ** 150, True))
    for x, a, b in [('1.5', '6', '4'), ('0.1', '2', '3'), ('3', '10', '20'), ('1E-10', '3', '5'), ('100', '4', '6')]:
        X, M, N = num(val(x)), int(a), int(b)
        density = mp.exp(mp.loggamma(mpf(M + N) / 2) - mp.loggamma(mpf(M) / 2) - mp.loggamma(mpf(N) / 2)) * \
            (mpf(M) / N) ** (mpf(M) / 2) * X ** (mpf(M) / 2 - 1) * (1 + M * X / N) ** (-mpf(M + N) / 2)
        r('FDISTP', [x, a, b], density)
    for x, k in [('0', '1'), ('2.5', '10'), ('-3', '5'), ('1E-10', '3'), ('1.96', '60'), ('-40', '3'),
                 ('40', '3'), ('-1E+10', '1'), ('0.0005', '60'), ('-2', '1000000'), ('-4.636494100643188', '100000'),
                 ('-1.3768118589663203E-12', '1')]:
        r('TDIST', [x, k], t_cdf(num(val(x)), int(k)))
    for p, k in [('0.975', '10'), ('0.6', '3'), ('0.5000001', '30'), ('1E-10', '5'), ('0.999999', '2'),
                 ('0.97267753526449', '60'), ('0.9', '1')]:
        P, K = num(val(p)), int(k)
        r('TINV', [p, k], quantile(lambda x: t_cdf(x, K), P, -10 ** 12, 10 ** 12))
    O, E = [18, 22, 20], [20, 20, 20]
    chi2 = mp.fsum((mpf(o) - e) ** 2 / e for o, e in zip(O, E))
    r('CHITEST', ['{18;22;20}', '{20;20;20}'], chi_cdf(chi2, 2))
    r('CHITEST', ['{18,22,20}', '{20,20,20}'], chi_cdf(chi2, 2))
    O, E = [58, 35, 11, 25, 10, 23], [45.35, 47.65, 17.56, 18.44, 16.09, 16.91]
    chi2 = mp.fsum((mpf(o) - num(e)) ** 2 / num(e) for o, e in zip(O, E))
    r('CHITEST', ['{58,35;11,25;10,23}', '{45.35,47.65;17.56,18.44;16.09,16.91}'], chi_cdf(chi2, 2))


def engineering():
    def r(name, args, value):
        row(name, '%s(%s)' % (name, ','.join(args)), finite(value))

    for x in ['1E-300', '1E-17', '-0.5', '3', '6', '0.745']:
        r('ERF', [x, ''], mp.erf(num(val(x))))
    for a, b in [('1', '1+1E-10'), ('5', '6'), ('-6', '-5'), ('-1', '2'), ('0.3', '0.3'), ('26', '27')]:
        A, B = num(val(a)), num(val(b))
        # Above 0 through the complements, which keep the far tail's digits at 60 digits.
        r('ERF', [a, b], mp.erfc(A) - mp.erfc(B) if A > 0 else mp.erf(B) - mp.erf(A))
    for x in ['1E-17', '3', '10', '26', '-1', '1', '-5', '27.2']:
        r('ERFC', [x], mp.erfc(num(val(x))))
    for x, n in [('1E-10', '0'), ('1E-10', '2'), ('2.5', '1'), ('100', '3'), ('-2.5', '1')]:
        r('BESSELJ', [x, n], mp.besselj(int(n), num(val(x))))
    for x, n in [('1E-10', '0'), ('2.5', '1'), ('100', '3')]:
        r('BESSELY', [x, n], mp.bessely(int(n), num(val(x))))
    r('DELTA', ['1E+15+1', '1E+15'], 0)
    r('DELTA', ['1E-300', '1E-300'], 1)
    r('GETSTEP', ['1E-300', '0'], 1)
    r('GETSTEP', ['-1E-300', '0'], 0)


def sweep():
    """Probes of the sweep over the function families: offsets, magnitudes, domain edges."""
    def r(name, formula, value):
        row(name, formula, finite(value))

    for x, y in [('1E+300', '7'), ('-1E+300', '7'), ('1E+22', '3'), ('5.5', '1E-300')]:
        X, Y = num(val(x)), num(val(y))
        # The remainder takes the sign of y; worked out exactly in rationals.
        fx, fy = Fraction(float(X)), Fraction(float(Y))
        q = (fx / fy) // 1
        r('MOD', 'MOD(%s,%s)' % (x, y), mpf((fx - q * fy).numerator) / (fx - q * fy).denominator)
    for re_, im in [('3E+200', '4E+200'), ('3E-200', '4E-200'), ('3', '4'), ('1E+308', '1E+308')]:
        R, I = num(val(re_)), num(val(im))
        r('IMABS', 'IMABS("%s+%si")' % (re_, im), mp.sqrt(R * R + I * I))
    for re_, im in [('-1', '1E-300'), ('1E+200', '1E+200'), ('-3', '-4')]:
        R, I = num(val(re_)), num(val(im))
        r('IMARGUMENT', 'IMARGUMENT("%s%s%si")' % (re_, '+' if not im.startswith('-') else '', im),
          mp.atan2(I, R))
    # A negative real's square root has no real part.
    r('IMREAL', 'IMREAL(IMSQRT("-4"))', 0)
    r('IMAGINARY', 'IMAGINARY(IMSQRT("-4"))', 2)
    r('IMAGINARY', 'IMAGINARY(IMSQRT("-1E-300"))', mp.sqrt(num(1e-300)))
    # Cash flows dated a year apart (2020 is a leap year: 366 days).
    r('XNPV', 'XNPV(0.1,{-1000,1100},{"2020-01-01","2021-01-01"})', -1000 + 1100 / mpf('1.1') ** (mpf(366) / 365))
    r('XNPV', 'XNPV(1E-9,{-1000,2000},{"2020-01-01","2021-01-01"})',
      -1000 + 2000 / (1 + num(1e-9)) ** (mpf(366) / 365))
    r('MIRR', 'MIRR({-1000,300,400,500},1E-12)',
      (mp.fsum(v * (1 + num(1e-12)) ** (3 - i) for i, v in enumerate([0, 300, 400, 500])) / 1000) ** (mpf(1) / 3) - 1)
    r('NPV', 'NPV(0.05,%s)' % ','.join(['100'] * 40), mp.fsum(100 / mpf('1.05') ** k for k in range(1, 41)))
    r('SYD', 'SYD(30000,7500,10,1)', mpf(22500) * 10 / 55)
    r('SLN', 'SLN(1E+15+3,1E+15,3)', 1)
    r('EFFECT', 'EFFECT(1E-15,1000000)', (1 + num(1e-15) / 10 ** 6) ** (10 ** 6) - 1)
    r('NOMINAL', 'NOMINAL(1E-15,1000000)', 10 ** 6 * ((1 + num(1e-15)) ** (mpf(1) / 10 ** 6) - 1))
    r('FVSCHEDULE', 'FVSCHEDULE(1,%s)' % arr([1e-10] * 100, False), (1 + num(1e-10)) ** 100)
    for off in [1e8, 1e15]:
        base = [1, 2, 4, 7, 11, 3]
        X = [num(off + d) for d in base]
        A = shifted(off, base)
        r('HARMEAN', 'HARMEAN(%s)' % A, len(X) / mp.fsum(1 / v for v in X))
        r('DEVSQ', 'DEVSQ(%s)' % A, ss(X))
        r('AVEDEV', 'AVEDEV(%s)' % A, mp.fsum(abs(v - mean(X)) for v in X) / len(X))
        r('ZTEST2', 'ZTEST2(%s,%s,)' % (A, plus(off, 4)), (mean(X) - num(off + 4)) / (mp.sqrt(ss(X) / 5) / mp.sqrt(6)))
        r('ZTEST', 'ZTEST(%s,%s,)' % (A, plus(off, 4)),
          mp.erfc(((mean(X) - num(off + 4)) / (mp.sqrt(ss(X) / 5) / mp.sqrt(6))) / mp.sqrt(2)) / 2)
    # TTEST: the upper tail of |t| (two tails doubled); FTEST: P(F < f) with the larger
    # variance's degrees first.
    for off in [0, 1e8, 1e15]:
        A_, B_ = [1, 2, 3, 4, 9], [2, 3, 4, 7, 12, 15]
        X, Y = [num(off + d) for d in A_], [num(off + d) for d in B_]
        t, dof = tstat(X, Y), len(X) + len(Y) - 2
        tail = ibeta(mpf(dof) / 2, mpf(1) / 2, dof / (dof + t * t)) / 2
        r('TTEST', 'TTEST(%s,%s,2)' % (shifted(off, A_), shifted(off, B_)), 2 * tail)
        r('TTEST', 'TTEST(%s,%s,1)' % (shifted(off, A_), shifted(off, B_)), tail)
        v1, v2 = ss(X) / (len(X) - 1), ss(Y) / (len(Y) - 1)
        big, small = (v1, v2) if v1 >= v2 else (v2, v1)
        d1, d2 = (len(X) - 1, len(Y) - 1) if v1 >= v2 else (len(Y) - 1, len(X) - 1)
        r('FTEST', 'FTEST(%s,%s)' % (shifted(off, A_), shifted(off, B_)), f_cdf(big / small, d1, d2))
    for x, n in [('1E-300', '1'), ('0.5', '40'), ('1000', '0'), ('30', '2')]:
        r('BESSELJ', 'BESSELJ(%s,%s)' % (x, n), mp.besselj(int(n), num(val(x))))
    r('MINVERSE', 'INDEX(MINVERSE({4,7;2,6}),1,1)', mpf(6) / 10)
    r('MMULT', 'INDEX(MMULT({1E+200,1;1,1},{1E+100;1}),1,1)', num(1e200) * num(1e100) + 1)
    r('MMULT', 'INDEX(MMULT({1E+200,1;1,1},{1E+200;1}),1,1)', '#NUM!')
    r('GEOMEAN', 'GEOMEAN(%s)' % arr([1e8 + d for d in (1, 2, 4, 7)]),
      mp.exp(mp.fsum(mp.log(num(1e8 + d)) for d in (1, 2, 4, 7)) / 4))


def main():
    elementary()
    rounding()
    sums()
    financial()
    statistics()
    distributions()
    engineering()
    sweep()
    print('# Accuracy references: function, formula, expected, note. Written by')
    print('# tools/make-accuracy-table.py; do not edit by hand.')
    for function, formula, expected, note in ROWS:
        print('\t'.join([function, formula, expected, note]))
    print('%d rows over %d functions' % (len(ROWS), len({r[0] for r in ROWS})), file=sys.stderr)


if __name__ == '__main__':
    main()
