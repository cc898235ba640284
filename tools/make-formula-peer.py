#!/usr/bin/python3
"""Writes tests/data/functions/formula-peer.tsv: every case of tools/make-formula-cases.py
with the peer's (LibreOffice Calc, headless through python3-uno) answer, for the formula
comparison test to read without the peer.

One office is started; the data block goes into the first worksheet, every formula case into
column T there (the row is the case's number), every recalculation case into a row of the
second worksheet; all are calculated together, then each recalculation case's input is edited
and its first cell read.

Columns: kind, function, our formula, peer formula, answer kind (n number, t text, e error),
answer (a number as Python's repr, a text with \\t \\n \\\\ escaped, an error's text or the
peer's "Err:NNN"). Lines "data TAB cell TAB kind TAB content" give the data block first.

The other worksheets of the data block ("PATH!CELL" places) are sheets of the worksheets' own
names after the second one. With --append FILE only the cases past those FILE holds are
evaluated: its cases (which must be the generator's first ones) keep their cached answers, and
the data block is written anew (cells added since lie where no cached case reaches them).

Then the second peer's answers (tests/data/functions/formula-gnumeric.tsv) are written anew by
tools/make-formula-gnumeric.py, so that both caches hold the same cases.

Needs: apt-get install -y libreoffice-calc-nogui python3-uno gnumeric.
Run: /usr/bin/python3 tools/make-formula-peer.py > tests/data/functions/formula-peer.tsv
     /usr/bin/python3 tools/make-formula-peer.py --append tests/data/functions/formula-peer.tsv > /tmp/new.tsv
"""
import importlib.util
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from peeroffice import ERRORS, Office  # noqa: E402

spec = importlib.util.spec_from_file_location('cases', os.path.join(HERE, 'make-formula-cases.py'))
cases_module = importlib.util.module_from_spec(spec)
spec.loader.exec_module(cases_module)

CASE_COLUMN = 19  # T


def escape(text):
    return text.replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n').replace('\r', '\\r')


def answer(cell):
    error = cell.getError()
    if error:
        return 'e', ERRORS.get(error, 'Err:%d' % error)
    # FormulaResult: 1 value, 2 string, 4 error.
    if cell.FormulaResultType2 == 2:
        return 't', escape(cell.getString())
    return 'n', repr(float(cell.getValue()))


def put(sheet, col, row, kind, content):
    cell = sheet.getCellByPosition(col, row)
    if kind == 'n':
        cell.setValue(float(content))
    elif kind == 't':
        cell.setString(content)
    else:
        cell.setFormula(content)


def column_index(letters):
    n = 0
    for ch in letters:
        n = n * 26 + ord(ch) - 64
    return n - 1


def read_cached(path):
    """The header lines and the case lines of a cached file, as they stand."""
    header, lines = [], []
    for line in open(path, encoding='utf-8'):
        if line.startswith('#'):
            header.append(line.rstrip('\n'))
        elif not line.startswith('data\t'):
            lines.append(line.rstrip('\n'))
    return header, lines


def main():
    cases = cases_module.generate()
    if os.environ.get('FORMULA_PEER_LIMIT'):
        cases = cases[:int(os.environ['FORMULA_PEER_LIMIT'])]
    header, cached = read_cached(sys.argv[2]) if sys.argv[1:2] == ['--append'] else ([], [])
    if [line.split('\t')[:4] for line in cached] != [list(c) for c in cases[:len(cached)]]:
        sys.exit('the cached cases are not the generator\'s first ones: regenerate the whole file')
    if any(c[0] == 'recalc' for c in cases[len(cached):]) and cached:
        sys.exit('recalculation cases are not appended: regenerate the whole file')
    data = cases_module.data_lines()
    with Office() as office:
        doc = office.new_calc()
        doc.Sheets.insertNewByName('Sheet2', 1)
        for k, (name, _) in enumerate(cases_module.SHEETS):
            doc.Sheets.insertNewByName(name, k + 2)
        sheet, recalc = doc.Sheets.getByIndex(0), doc.Sheets.getByIndex(1)
        doc.lockControllers()
        doc.enableAutomaticCalculation(False)
        for cell, kind, _, peer in data:
            path, _, cell = cell.rpartition('!')
            target = doc.Sheets.getByName(path.split('\\')[-1]) if path else sheet
            letters = ''.join(ch for ch in cell if ch.isalpha())
            put(target, column_index(letters), int(cell[len(letters):]) - 1, kind, peer)
        places = []
        recalc_row = 0
        for k, (kind, function, formula, peer) in enumerate(cases):
            if k < len(cached):
                places.append(None)
            elif kind == 'recalc':
                parts = peer.split('|')
                r = str(recalc_row + 1)
                for c in range(4):
                    recalc.getCellByPosition(c, recalc_row).setFormula('=' + parts[c].replace('{r}', r))
                recalc.getCellByPosition(4, recalc_row).setValue(float(parts[4]))
                places.append((recalc, 0, recalc_row, float(parts[5])))
                recalc_row += 1
            else:
                places.append((sheet, CASE_COLUMN, k, None))
        # The formula cases go in by blocks of rows: one call each.
        block = 500
        formulas = [c[3] if c[0] != 'recalc' and k >= len(cached) else '' for k, c in enumerate(cases)]
        for first in range(0, len(formulas), block):
            rows = formulas[first:first + block]
            target = sheet.getCellRangeByPosition(CASE_COLUMN, first, CASE_COLUMN, first + len(rows) - 1)
            target.setFormulaArray(tuple((f,) for f in rows))
            print('set %d' % (first + len(rows)), file=sys.stderr, flush=True)
        # A cell is calculated when it is read: every answer is read once here, each recalculation
        # case's before its input is edited.
        started = time.monotonic()
        doc.calculateAll()
        print('calculated in %.1f s' % (time.monotonic() - started), file=sys.stderr, flush=True)
        doc.enableAutomaticCalculation(True)
        answers = []
        for k, place in enumerate(places):
            answers.append(answer(place[0].getCellByPosition(place[1], place[2])) if place else None)
            if (k + 1) % 1000 == 0:
                print('read %d, %.1f s' % (k + 1, time.monotonic() - started), file=sys.stderr, flush=True)
        for target, col, row, after in filter(None, places):
            if after is not None:
                target.getCellByPosition(4, row).setValue(after)
        doc.unlockControllers()
        version = office.version().split()
        for line in header or [
                '# Cases of tools/make-formula-cases.py with the answers of the peer (LibreOffice %s);'
                % (version[1] if len(version) > 1 else '?'),
                '# written by tools/make-formula-peer.py. Columns: kind, function, our formula, peer formula,',
                '# answer kind (n, t, e), answer.']:
            print(line)
        for cell, kind, content, peer in data:
            print('\t'.join(('data', cell, kind, content, peer)))
        for line in cached:
            print(line)
        for (kind, function, formula, peer), place, first in list(zip(cases, places, answers))[len(cached):]:
            target, col, row, after = place
            result_kind, value = answer(target.getCellByPosition(col, row)) if after is not None else first
            print('\t'.join((kind, function, formula, peer, result_kind, value)))
        doc.close(True)


def second_peer():
    script = os.path.join(HERE, 'make-formula-gnumeric.py')
    if subprocess.run([sys.executable, script]).returncode != 0:
        sys.exit('the second peer\'s answers were not written: run %s' % script)


if __name__ == '__main__':
    main()
    second_peer()
