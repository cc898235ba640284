#!/usr/bin/python3
"""Writes tests/data/functions/formula-gnumeric.tsv: the second peer's (Gnumeric) answer to every
case of tools/make-formula-cases.py, beside the first peer's in formula-peer.tsv, for the
comparison of both peers (tests/functions/bindall/bothpeers_test.cpp) to read without either.

The workbook is laid out as tools/make-formula-peer.py lays it out (the data block, each case in
column T of its row, the other worksheets), built and saved as Office Open XML by the first
peer, which already reads the cases' formulas; then `ssconvert --recalc` has Gnumeric calculate
every cell afresh and write the workbook again, and each answer is read from that file. A
recalculation case is laid out with its input already edited: its answer is the state after the
edit, calculated from scratch.

Columns: the case's formula as we write it, answer kind (n number, t text, e error, - none:
Gnumeric could not read the formula as the first peer wrote it), answer (a number as Python's
repr, a truth value as 1.0 or 0.0, a text with \\t \\n \\\\ escaped, an error's text).

Needs: apt-get install -y gnumeric libreoffice-calc-nogui python3-uno.
Run:   /usr/bin/python3 tools/make-formula-gnumeric.py
       (tools/make-formula-peer.py runs it after the first peer's answers are written.)

After the engine changes (another branch merged), the list of faults still open in the
comparison of both peers is written anew from the engine's answers, with neither office:
       tools/refresh-open-faults.sh [build directory]
"""
import importlib.util
import os
import re
import subprocess
import sys
import tempfile
import zipfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
OUT = os.path.join(ROOT, 'tests/data/functions/formula-gnumeric.tsv')
sys.path.insert(0, HERE)
from peeroffice import Office  # noqa: E402


def load(name, file):
    spec = importlib.util.spec_from_file_location(name, os.path.join(HERE, file))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


cases_module = load('cases', 'make-formula-cases.py')
peer_module = load('peer', 'make-formula-peer.py')
CASE_COLUMN = peer_module.CASE_COLUMN
NS = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'}
RELS = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id'


def build(office, cases, path):
    """The workbook of every case, saved as Office Open XML; the place of each case's answer."""
    doc = office.new_calc()
    doc.Sheets.insertNewByName('Sheet2', 1)
    for k, (name, _) in enumerate(cases_module.SHEETS):
        doc.Sheets.insertNewByName(name, k + 2)
    sheet, recalc = doc.Sheets.getByIndex(0), doc.Sheets.getByIndex(1)
    doc.lockControllers()
    doc.enableAutomaticCalculation(False)
    for cell, kind, _, peer in cases_module.data_lines():
        sheet_path, _, cell = cell.rpartition('!')
        target = doc.Sheets.getByName(sheet_path.split('\\')[-1]) if sheet_path else sheet
        letters = ''.join(ch for ch in cell if ch.isalpha())
        peer_module.put(target, peer_module.column_index(letters), int(cell[len(letters):]) - 1, kind, peer)
    places, recalc_row = [], 0
    formulas = []
    for k, (kind, _, _, peer) in enumerate(cases):
        if kind == 'recalc':
            parts = peer.split('|')
            r = str(recalc_row + 1)
            for c in range(4):
                recalc.getCellByPosition(c, recalc_row).setFormula('=' + parts[c].replace('{r}', r))
            recalc.getCellByPosition(4, recalc_row).setValue(float(parts[5]))
            places.append(('Sheet2', 0, recalc_row))
            recalc_row += 1
            formulas.append('')
        else:
            places.append(('Sheet1', CASE_COLUMN, k))
            formulas.append(peer)
    block = 500
    for first in range(0, len(formulas), block):
        rows = formulas[first:first + block]
        target = sheet.getCellRangeByPosition(CASE_COLUMN, first, CASE_COLUMN, first + len(rows) - 1)
        target.setFormulaArray(tuple((f,) for f in rows))
    doc.unlockControllers()
    office.store(doc, path, 'Calc Office Open XML')
    doc.close(True)
    return places


def column_letters(col):
    out = ''
    col += 1
    while col:
        col, rest = divmod(col - 1, 26)
        out = chr(65 + rest) + out
    return out


def read_answers(path, wanted):
    """{(sheet name, cell): (kind, text)} of the cells asked for in the Office Open XML file."""
    answers = {}
    with zipfile.ZipFile(path) as z:
        shared = []
        if 'xl/sharedStrings.xml' in z.namelist():
            for si in ET.fromstring(z.read('xl/sharedStrings.xml')).findall('m:si', NS):
                shared.append(''.join(t.text or '' for t in si.iter('{%s}t' % NS['m'])))
        book = ET.fromstring(z.read('xl/workbook.xml'))
        rels = ET.fromstring(z.read('xl/_rels/workbook.xml.rels'))
        targets = {r.get('Id'): r.get('Target') for r in rels}
        for s in book.find('m:sheets', NS):
            name = s.get('name')
            cells = wanted.get(name)
            if not cells:
                continue
            target = targets[s.get(RELS)].lstrip('/')
            part = target if target.startswith('xl/') else 'xl/' + target
            for c in ET.fromstring(z.read(part)).iter('{%s}c' % NS['m']):
                ref = c.get('r')
                if ref not in cells:
                    continue
                kind, v = c.get('t', 'n'), c.find('m:v', NS)
                text = v.text if v is not None and v.text is not None else None
                if text is None:
                    inline = c.find('m:is', NS)
                    if inline is not None:
                        answers[(name, ref)] = ('t', ''.join(t.text or '' for t in inline.iter('{%s}t' % NS['m'])))
                    elif c.find('m:f', NS) is not None and kind == 'str':
                        answers[(name, ref)] = ('t', '')
                    continue
                if kind == 'e':
                    # A formula Gnumeric could not read is kept as its text after "#": no answer.
                    if not text.startswith('#"'):
                        answers[(name, ref)] = ('e', text)
                elif kind == 'b':
                    answers[(name, ref)] = ('n', repr(float(text)))
                elif kind == 's':
                    answers[(name, ref)] = ('t', shared[int(text)])
                elif kind in ('str', 'inlineStr'):
                    answers[(name, ref)] = ('t', text)
                else:
                    answers[(name, ref)] = ('n', repr(float(text)))
    return answers


def main():
    cases = cases_module.generate()
    with tempfile.TemporaryDirectory(prefix='gnumeric-peer-') as work:
        laid, calculated = os.path.join(work, 'cases.xlsx'), os.path.join(work, 'calculated.xlsx')
        with Office() as office:
            places = build(office, cases, laid)
        print('laid out %d cases' % len(cases), file=sys.stderr, flush=True)
        run = subprocess.run(['ssconvert', '--recalc', '--export-type=Gnumeric_Excel:xlsx2', laid, calculated],
                             capture_output=True, text=True)
        if run.returncode != 0 or not os.path.exists(calculated):
            sys.exit('ssconvert failed: ' + run.stderr[-2000:])
        wanted = {}
        for sheet, col, row in places:
            wanted.setdefault(sheet, set()).add('%s%d' % (column_letters(col), row + 1))
        answers = read_answers(calculated, wanted)
    version = re.search(r"'([0-9.]+)'", subprocess.run(['ssconvert', '--version'], capture_output=True,
                                                       text=True).stdout or '')
    with open(OUT, 'w', encoding='utf-8') as out:
        out.write('# The second peer\'s (Gnumeric %s, ssconvert --recalc) answers to the cases of\n'
                  % (version.group(1) if version else '?'))
        out.write('# tools/make-formula-cases.py, in their order; written by tools/make-formula-gnumeric.py.\n')
        out.write('# Columns: our formula, answer kind (n, t, e, - none), answer.\n')
        for (kind, _, formula, _), (sheet, col, row) in zip(cases, places):
            answer = answers.get((sheet, '%s%d' % (column_letters(col), row + 1)), ('-', ''))
            out.write('\t'.join((formula, answer[0], peer_module.escape(answer[1]))) + '\n')
    print('wrote %s' % OUT, file=sys.stderr)


if __name__ == '__main__':
    main()
