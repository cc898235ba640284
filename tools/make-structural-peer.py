#!/usr/bin/python3
"""Writes tests/data/functions/structural_peer.tsv.gz: random workbooks of numbers, formulas and
spreading arrays on three worksheets, random structural edits applied to each in turn, and what
the peer (LibreOffice Calc, headless, through python3-uno) holds after every edit.

Formulas read cells relatively, absolutely and mixed, ranges, whole rows and columns, ranges
that end at the sheet's last row, other worksheets, and arrays; the edits insert and remove
rows and columns (at the first row and column too), move blocks as a drag does, Cut then
Paste, transpose blocks in place (the peer: Cut, then Paste Special transposed at the same
corner), sort and rename worksheets. The notation in the file is common to both programs:
"Sb!A1" for another worksheet, "," between arguments, ROWMAX for the sheet's last row, a
reference the edit removed as #REF!.

Lines (tab-separated):
  S <scenario>                       a workbook begins; worksheets Sa, Sb, Sc
  N <sheet> <A1> <number>            a number typed
  F <sheet> <A1> <formula>           a formula typed (an array formula spreads)
  E <step> <edit> <args...>          an edit, worksheets by their index (0-2); after the first
                                     220 workbooks a Cut waits ("cutx") while edits come
                                     between until its "paste", and "undo" and "redo" follow
                                     edits, and numbers are typed ("type")
  R <done|refused|unchanged|unknown> whether the peer made it; "unchanged" for rows or columns
                                     it did not insert or remove and said nothing (it will not
                                     cut an array's area), "unknown" where the office broke down
  D <sheet> <cells...>               every cell of the worksheet afterwards, in rows: "A1 value"
                                     or "A1 formula value", an array's anchor with its area's
                                     size ("{3x1}"); values as %.15g, errors by text
  W <names>                          the worksheets' names afterwards (comma-separated)

Run:   python3 tools/make-structural-peer.py [--jobs 3]          (writes the file, several minutes;
       --only K... runs the peer for those workbooks alone and keeps the file's other answers)
Check: python3 tools/make-structural-peer.py --check FILE      (the file's scenarios are the
       generator's, without the peer; what CI runs)
"""
import argparse
import gzip
import io
import os
import random
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

SEED = 20261209
SCENARIOS = 220
# Workbooks after the first SCENARIOS: a Cut waits while other edits come between, its Paste
# may go to another worksheet, and edits are undone and made again at once.
CUT_SCENARIOS = 80
EDITS = 12
SHEETS = ["Sa", "Sb", "Sc"]
NAMES = ["Data", "Sx", "Tab", "Sab", "Q", "Input", "Sheet", "Res"]
PEER_LAST_ROW = 1048576
OUT = os.path.join(os.path.dirname(__file__), "..", "tests", "data", "functions",
                   "structural_peer.tsv.gz")


def col_name(c):  # 1-based
    s = ""
    while c:
        c, r = divmod(c - 1, 26)
        s = chr(65 + r) + s
    return s


def col_number(s):
    n = 0
    for ch in s:
        n = n * 26 + ord(ch) - 64
    return n


# ---------------------------------------------------------------- the scenarios


class Gen:
    def __init__(self, rng):
        self.rng = rng

    def anchor(self):
        return "$" if self.rng.random() < 0.35 else ""

    def cell(self, cols=8, rows=20):
        r = self.rng
        return f"{self.anchor()}{col_name(r.randint(1, cols))}{self.anchor()}{r.randint(1, rows)}"

    def range_(self):
        r = self.rng
        c1, c2 = sorted(r.randint(1, 8) for _ in range(2))
        r1, r2 = sorted(r.randint(1, 20) for _ in range(2))
        kind = r.random()
        if kind < 0.12:
            return f"{self.anchor()}{col_name(c1)}:{self.anchor()}{col_name(c2)}"
        if kind < 0.22:
            return f"{self.anchor()}{r1}:{self.anchor()}{r2}"
        if kind < 0.30:
            return f"{self.anchor()}{col_name(c1)}{self.anchor()}{r1}:{self.anchor()}{col_name(c1)}ROWMAX"
        return (f"{self.anchor()}{col_name(c1)}{self.anchor()}{r1}:"
                f"{self.anchor()}{col_name(c2)}{self.anchor()}{r2}")

    def sheet_prefix(self, here):
        r = self.rng
        if r.random() < 0.3:
            other = r.choice([s for s in range(3) if s != here])
            return SHEETS[other] + "!"
        return ""

    def term(self, here):
        r = self.rng
        k = r.random()
        if k < 0.45:
            return self.sheet_prefix(here) + self.cell()
        if k < 0.85:
            fn = r.choice(["SUM", "SUM", "COUNT", "MAX", "MIN"])
            return f"{fn}({self.sheet_prefix(here)}{self.range_()})"
        return str(r.randint(1, 9))

    def formula(self, here):
        r = self.rng
        terms = [self.term(here) for _ in range(r.randint(1, 3))]
        out = terms[0]
        for t in terms[1:]:
            out += r.choice(["+", "-", "+"]) + t
        return "=" + out

    def array(self, here):
        r = self.rng
        h, w = r.randint(2, 3), r.randint(1, 2)
        c, row = r.randint(1, 6), r.randint(1, 16)
        src = f"{self.anchor()}{col_name(c)}{self.anchor()}{row}:{self.anchor()}{col_name(c + w - 1)}{self.anchor()}{row + h - 1}"
        return h, w, f"={self.sheet_prefix(here)}{src}*{r.randint(2, 5)}"

    def rect(self, maxw, maxh, cols=16, rows=26):
        r = self.rng
        w, h = r.randint(1, maxw), r.randint(1, maxh)
        c, row = r.randint(1, cols), r.randint(1, rows)
        return c, row, c + w - 1, row + h - 1

    def edit(self, names):
        r = self.rng
        s = r.choice([0, 0, 0, 1, 2])
        kind = r.choices(["insrows", "delrows", "inscols", "delcols", "move", "cut", "transpose",
                          "sort", "rename"], [2, 2, 2, 2, 2, 1.5, 1.2, 1, 0.5])[0]
        if kind in ("insrows", "delrows"):
            at = 1 if r.random() < 0.2 else r.randint(1, 26)
            return [kind, s, at, r.randint(1, 3)]
        if kind in ("inscols", "delcols"):
            at = 1 if r.random() < 0.2 else r.randint(1, 16)
            return [kind, s, at, r.randint(1, 3)]
        if kind in ("move", "cut"):
            c1, r1, c2, r2 = self.rect(4, 4)
            if r.random() < 0.3:  # onto part of itself
                dc, dr = r.randint(-2, 2), r.randint(-2, 2)
                to = (max(1, c1 + dc), max(1, r1 + dr))
            else:
                to = (r.randint(1, 18), r.randint(1, 30))
            return [kind, s, f"{col_name(c1)}{r1}:{col_name(c2)}{r2}", f"{col_name(to[0])}{to[1]}"]
        if kind == "transpose":
            c1, r1, c2, r2 = self.rect(4, 3)
            return [kind, s, f"{col_name(c1)}{r1}:{col_name(c2)}{r2}"]
        if kind == "sort":
            c1, r1, c2, r2 = self.rect(3, 8, 8, 16)
            if r2 == r1:
                r2 += 1
            key = r.randint(c1, c2)
            return [kind, s, f"{col_name(c1)}{r1}:{col_name(c2)}{r2}", col_name(key),
                    r.choice(["asc", "desc"])]
        free = [n for n in NAMES if n not in names]
        new = r.choice(free)
        names[s] = new
        return ["rename", s, new]


def scenario(k):
    """The lines S, N, F and E of scenario k (each a list of fields), E with no results."""
    rng = random.Random(SEED * 1000 + k)
    g = Gen(rng)
    lines = [["S", k]]
    used = set()
    for s in range(3):
        for _ in range(rng.randint(8, 12)):
            c, row = rng.randint(1, 8), rng.randint(1, 20)
            if (s, c, row) in used:
                continue
            used.add((s, c, row))
            lines.append(["N", s, f"{col_name(c)}{row}", rng.randint(1, 99)])
    # Formulas below the rows and right of the columns any formula reads: nothing is circular
    # before the edits.
    for _ in range(12):
        s = rng.choice([0, 0, 1, 2])
        c, row = rng.randint(10, 14), rng.randint(22, 34)
        if (s, c, row) in used:
            continue
        used.add((s, c, row))
        lines.append(["F", s, f"{col_name(c)}{row}", g.formula(s)])
    for n in range(2):
        s = rng.choice([0, 1])
        h, w, text = g.array(s)
        c, row = 16 + 3 * n, rng.randint(1, 20)
        lines.append(["F", s, f"{col_name(c)}{row}:{col_name(c + w - 1)}{row + h - 1}", text])
    names = list(SHEETS)
    if k >= SCENARIOS:
        return lines + cut_edits(rng, g, names)
    for step in range(EDITS):
        lines.append(["E", step] + g.edit(names))
    return lines


# Edits the peer survives while a Cut of its waits: it breaks down when rows or columns are
# removed then, or an edit is undone and made again (its Paste of a Cut too); and its
# Transpose goes through the clipboard.
WHILE_CUT = ("type", "insrows", "inscols", "move", "sort", "rename")


def cut_edits(rng, g, names):
    """EDITS steps: a Cut ("cutx") waits while other edits come between until its Paste
    ("paste", on any worksheet); after another edit while no Cut waits, half the time, "undo"
    and "redo" take it back and make it again; numbers are typed ("type") between."""
    lines, pending = [], False
    while len(lines) < EDITS:
        step = len(lines)
        r = rng.random()
        if not pending and r < 0.35:
            c1, r1, c2, r2 = g.rect(4, 4)
            edit = ["cutx", rng.choice([0, 0, 1, 2]), f"{col_name(c1)}{r1}:{col_name(c2)}{r2}"]
            pending = True
        elif pending and r < 0.4:
            edit = ["paste", rng.choice([0, 0, 1, 2]),
                    f"{col_name(rng.randint(1, 18))}{rng.randint(1, 30)}"]
            pending = False
        elif r < 0.6:
            edit = ["type", rng.choice([0, 0, 1, 2]),
                    f"{col_name(rng.randint(1, 16))}{rng.randint(1, 26)}", rng.randint(1, 99)]
        else:
            edit = g.edit(names)
            while edit[0] == "cut" or (pending and edit[0] not in WHILE_CUT):
                edit = g.edit(names)
        lines.append(["E", step] + edit)
        if not pending and edit[0] != "paste" and len(lines) + 2 <= EDITS and \
                rng.random() < 0.5:
            lines.append(["E", step + 1, "undo", 0])
            lines.append(["E", step + 2, "redo", 0])
    return lines


def scenario_lines(count=SCENARIOS + CUT_SCENARIOS):
    for k in range(count):
        for fields in scenario(k):
            yield "\t".join(str(f) for f in fields)


# ---------------------------------------------------------------- notation


def to_peer(formula, names):
    """Common notation to the peer's: "Sb!A1" to "$Sb.A1", ";" between arguments."""
    out = formula.replace("ROWMAX", str(PEER_LAST_ROW)).replace(",", ";")
    return re.sub(r"(^|[^#A-Za-z0-9])([A-Za-z][A-Za-z0-9]*)!", r"\1$\2.", out)


REF = re.compile(r"(\$?[A-Za-z][A-Za-z0-9]*\.)?\$?(#REF!|[A-Z]{1,3}|\d+|[A-Z]{1,3}\$?\d+)"
                 r"(:(\$?[A-Za-z][A-Za-z0-9]*\.)?\$?(#REF!|[A-Z]{1,3}|\d+|[A-Z]{1,3}\$?\d+))?")


def from_peer(formula):
    """The peer's formula text in common notation."""
    if formula.startswith("{") and formula.endswith("}"):
        formula = formula[1:-1]
    text = formula.replace(";", ",")
    # Another worksheet: "$Sb.A1:B2", "$Sb.A1:$Sb.B2" -> "Sb!A1:B2".
    text = re.sub(r"\$?'?([A-Za-z][A-Za-z0-9]*)'?\.", r"\1!", text)
    text = re.sub(r"\b([A-Za-z][A-Za-z0-9]*)!([$A-Z0-9#REF!]+):\1!", r"\1!\2:", text)
    text = text.replace(str(PEER_LAST_ROW), "ROWMAX")
    return normal_ref_errors(text)


def normal_ref_errors(text):
    """Every reference the edit removed (or part of a range) as one #REF!."""
    text = re.sub(r"(?:[A-Za-z][A-Za-z0-9]*!)?[$A-Z0-9]*#REF![$A-Z0-9]*(?::[$A-Z0-9#REF!]*)?",
                  "#REF!", text)
    text = re.sub(r"(?:[A-Za-z][A-Za-z0-9]*!)?[$A-Z0-9]+:#REF!", "#REF!", text)
    return re.sub(r"(#REF!)+", "#REF!", text)


ERRORS = {501: "#VALUE!", 502: "#VALUE!", 503: "#NUM!", 504: "#VALUE!", 519: "#VALUE!",
          522: "#CIRC!", 523: "#NUM!", 524: "#REF!", 525: "#NAME?", 532: "#DIV/0!",
          32767: "#N/A"}


def shown_number(v):
    text = "%.15g" % v
    return "0" if text == "-0" else text


# ---------------------------------------------------------------- the peer


class Peer:
    def __init__(self):
        self.start()

    def start(self):
        from peeroffice import Office
        self.office = Office().__enter__()
        self.ctx = self.office.ctx
        smgr = self.ctx.ServiceManager
        self.desktop = self.office.desktop
        self.dispatch = smgr.createInstanceWithContext("com.sun.star.frame.DispatchHelper",
                                                       self.ctx)
        # A paste over cells that hold data asks nothing.
        self.set_config("/org.openoffice.Office.Calc/Input", "ReplaceCellsWarning", False)

    def set_config(self, path, name, value):
        from com.sun.star.beans import PropertyValue
        provider = self.ctx.ServiceManager.createInstanceWithContext(
            "com.sun.star.configuration.ConfigurationProvider", self.ctx)
        arg = PropertyValue()
        arg.Name, arg.Value = "nodepath", path
        access = provider.createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationUpdateAccess", (arg,))
        access.setPropertyValue(name, value)
        access.commitChanges()

    def close(self):
        self.office.__exit__(None, None, None)

    def run(self, lines, out):
        """Each scenario in a document of its own; where the office breaks down, it starts
        again and the scenario's remaining edits are marked unknown."""
        scenario = []
        for line in lines + ["S\tend"]:
            if line.startswith("S\t") and scenario:
                buf = io.StringIO()
                try:
                    self.run_one(scenario, buf)
                    out.write(buf.getvalue())
                except Exception as e:
                    print(f"the peer broke down in {scenario[0]!r}: {type(e).__name__}",
                          file=sys.stderr)
                    written = buf.getvalue().split("\n")[:-1]
                    # Up to the last complete step (its W line), then the rest unknown.
                    while written and not written[-1].startswith(("W\t", "F\t", "N\t")):
                        written.pop()
                    done_steps = sum(1 for w in written if w.startswith("E\t"))
                    out.write("".join(w + "\n" for w in written))
                    edits = [l for l in scenario if l.startswith("E\t")]
                    for l in edits[done_steps:]:
                        out.write(l + "\nR\tunknown\n")
                    self.close()
                    self.start()
                scenario = []
            scenario.append(line)

    def run_one(self, lines, out):
        from com.sun.star.beans import PropertyValue
        hidden = PropertyValue()
        hidden.Name, hidden.Value = "Hidden", True
        doc = None
        names = list(SHEETS)
        for line in lines:
            f = line.split("\t")
            if f[0] == "S":
                if doc:
                    doc.close(True)
                doc = self.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                                        (hidden,))
                sheets = doc.Sheets
                sheets.getByIndex(0).Name = SHEETS[0]
                for i, n in enumerate(SHEETS[1:]):
                    sheets.insertNewByName(n, i + 1)
                names = list(SHEETS)
                last = None
                self.cut = None
                self.cut_used = False
                out.write(line + "\n")
            elif f[0] == "N":
                doc.Sheets.getByIndex(int(f[1])).getCellRangeByName(f[2]).setValue(float(f[3]))
                out.write(line + "\n")
            elif f[0] == "F":
                sheet = doc.Sheets.getByIndex(int(f[1]))
                if ":" in f[2]:
                    sheet.getCellRangeByName(f[2]).setArrayFormula(to_peer(f[3], names))
                else:
                    sheet.getCellRangeByName(f[2]).setFormula(to_peer(f[3], names))
                out.write(line + "\n")
            elif f[0] == "E":
                out.write(line + "\n")
                if last is None:
                    doc.calculateAll()
                    last = [self.dump(doc, s) for s in range(3)]
                done = self.edit(doc, f[2], int(f[3]), f[4:], names)
                # Its full recalculation breaks the office down once its Cut was used; it
                # calculates as cells change anyway.
                if not self.cut_used:
                    doc.calculateAll()
                dumps = [self.dump(doc, s) for s in range(3)]
                # The peer makes no change where its fixed array areas would be cut, and
                # says nothing.
                if done and f[2] in ("insrows", "delrows", "inscols", "delcols") and \
                        dumps == last:
                    done = None
                out.write(f"R\t{'done' if done else 'refused' if done is False else 'unchanged'}\n")
                for d in dumps:
                    out.write(d)
                last = dumps
                out.write("W\t" + ",".join(doc.Sheets.getByIndex(s).Name for s in range(3)) + "\n")
        if doc:
            doc.close(True)

    @staticmethod
    def used(sheet):
        cur = sheet.createCursor()
        cur.gotoEndOfUsedArea(False)
        end = cur.getRangeAddress()
        if end.EndRow > 200 or end.EndColumn > 60:
            raise RuntimeError("used area too large")
        return sheet.getCellRangeByPosition(0, 0, end.EndColumn, end.EndRow).getFormulaArray()

    @staticmethod
    def array_areas(formulas):
        """(c1, r1, c2, r2) of every array formula: the cells of one show its text in braces."""
        areas = []
        for r, row in enumerate(formulas):
            for c, text in enumerate(row):
                if not text.startswith("{"):
                    continue
                if (r and formulas[r - 1][c] == text) or (c and row[c - 1] == text):
                    continue
                c2, r2 = c, r
                while c2 + 1 < len(row) and row[c2 + 1] == text:
                    c2 += 1
                while r2 + 1 < len(formulas) and formulas[r2 + 1][c] == text:
                    r2 += 1
                areas.append((c, r, c2, r2))
        return areas

    def arrays_cut(self, sheet, ra):
        """Whether range ra (c1, r1, c2, r2) holds part of an array formula but not all of it."""
        for (c1, r1, c2, r2) in self.array_areas(self.used(sheet)):
            meets = not (c2 < ra[0] or ra[2] < c1 or r2 < ra[1] or ra[3] < r1)
            inside = ra[0] <= c1 and c2 <= ra[2] and ra[1] <= r1 and r2 <= ra[3]
            if meets and not inside:
                return True
        return False

    def edit(self, doc, kind, s, args, names):
        if kind in ("cutx", "paste", "undo", "redo"):
            return self.clipboard_edit(doc, kind, s, args, names)
        if kind == "type":
            doc.Sheets.getByIndex(s).getCellRangeByName(args[0]).setValue(float(args[1]))
            return True
        import uno
        from com.sun.star.beans import PropertyValue
        from com.sun.star.table import CellAddress, CellRangeAddress
        sheet = doc.Sheets.getByIndex(s)
        rows = uno.Enum("com.sun.star.sheet.CellInsertMode", "ROWS")
        columns = uno.Enum("com.sun.star.sheet.CellInsertMode", "COLUMNS")
        drows = uno.Enum("com.sun.star.sheet.CellDeleteMode", "ROWS")
        dcolumns = uno.Enum("com.sun.star.sheet.CellDeleteMode", "COLUMNS")

        def pv(n, v):
            p = PropertyValue()
            p.Name, p.Value = n, v
            return p
        try:
            if kind in ("insrows", "delrows"):
                at, n = int(args[0]) - 1, int(args[1])
                area = CellRangeAddress(s, 0, at, 1023, at + n - 1)
                if kind == "insrows":
                    sheet.insertCells(area, rows)
                else:
                    sheet.removeRange(area, drows)
            elif kind in ("inscols", "delcols"):
                at, n = int(args[0]) - 1, int(args[1])
                area = CellRangeAddress(s, at, 0, at + n - 1, PEER_LAST_ROW - 1)
                if kind == "inscols":
                    sheet.insertCells(area, columns)
                else:
                    sheet.removeRange(area, dcolumns)
            elif kind == "move":
                src = sheet.getCellRangeByName(args[0]).getRangeAddress()
                to = sheet.getCellRangeByName(args[1]).getCellAddress()
                sheet.moveRange(CellAddress(s, to.Column, to.Row), src)
            elif kind in ("cut", "transpose"):
                src = sheet.getCellRangeByName(args[0]).getRangeAddress()
                w, h = src.EndColumn - src.StartColumn, src.EndRow - src.StartRow
                if kind == "cut":
                    to = sheet.getCellRangeByName(args[1]).getCellAddress()
                    drop = (to.Column, to.Row, to.Column + w, to.Row + h)
                else:
                    drop = (src.StartColumn, src.StartRow, src.StartColumn + h,
                            src.StartRow + w)
                if max(drop[2], drop[0]) > 1023:
                    return False
                drop_a1 = (f"{col_name(drop[0] + 1)}{drop[1] + 1}:"
                           f"{col_name(drop[2] + 1)}{drop[3] + 1}")
                # The peer asks before it splits an array; so does nobody headless.
                if self.arrays_cut(sheet, (src.StartColumn, src.StartRow, src.EndColumn,
                                           src.EndRow)) or self.arrays_cut(sheet, drop):
                    return False
                if kind == "cut":
                    # The peer's Cut then Paste moves as its drag does (its dispatch breaks
                    # the headless office at times).
                    sheet.moveRange(CellAddress(s, drop[0], drop[1]), src)
                    return True
                if all(t == "" for row in sheet.getCellRangeByName(args[0]).getFormulaArray()
                       for t in row):
                    # Nothing to paste (the peer's dispatch fails on it): the turned area
                    # is emptied.
                    for a1 in (args[0], drop_a1):
                        sheet.getCellRangeByName(a1).clearContents(1 | 2 | 4 | 16)
                    return True
                ctrl = doc.getCurrentController()
                ctrl.setActiveSheet(sheet)
                frame = ctrl.getFrame()
                ctrl.select(sheet.getCellRangeByName(args[0]))
                self.dispatch.executeDispatch(frame, ".uno:Cut", "", 0, ())
                ctrl.select(sheet.getCellRangeByPosition(drop[0], drop[1], drop[0], drop[1]))
                if kind == "cut":
                    self.dispatch.executeDispatch(frame, ".uno:Paste", "", 0, ())
                else:
                    self.dispatch.executeDispatch(
                        frame, ".uno:InsertContents", "", 0,
                        (pv("Flags", "A"), pv("FormulaCommand", 0), pv("SkipEmptyCells", False),
                         pv("Transpose", True), pv("AsLink", False), pv("MoveMode", 4)))
            elif kind == "sort":
                rng = sheet.getCellRangeByName(args[0])
                key = col_number(args[1]) - rng.getRangeAddress().StartColumn - 1
                field = uno.createUnoStruct("com.sun.star.table.TableSortField")
                field.Field = key
                field.IsAscending = args[2] == "asc"
                field.IsCaseSensitive = False
                desc = rng.createSortDescriptor()
                for p in desc:
                    if p.Name == "SortFields":
                        p.Value = uno.Any("[]com.sun.star.table.TableSortField", (field,))
                    elif p.Name == "ContainsHeader":
                        p.Value = False
                uno.invoke(rng, "sort", (tuple(desc),))
            elif kind == "rename":
                sheet.Name = args[0]
                names[s] = args[0]
        except Exception as e:
            print(f"peer refused {kind} {s} {args}: {type(e).__name__}", file=sys.stderr)
            return False
        return True

    def clipboard_edit(self, doc, kind, s, args, names):
        """A Cut that waits, its Paste, Undo and Redo, through the office's own commands.
        (Selecting a range of another worksheet shows it; making it active first breaks the
        hidden office's Paste.)"""
        sheet = doc.Sheets.getByIndex(s)
        ctrl = doc.getCurrentController()
        frame = ctrl.getFrame()
        try:
            if kind == "undo":
                if not doc.UndoManager.isUndoPossible():
                    return False
                doc.UndoManager.undo()
                return True
            if kind == "redo":
                if not doc.UndoManager.isRedoPossible():
                    return False
                doc.UndoManager.redo()
                return True
            rng = sheet.getCellRangeByName(args[0])
            a = rng.getRangeAddress()
            if kind == "cutx":
                self.cut = None
                # The peer asks before it splits an array; so does nobody headless.
                if self.arrays_cut(sheet, (a.StartColumn, a.StartRow, a.EndColumn, a.EndRow)):
                    return False
                ctrl.select(rng)
                self.dispatch.executeDispatch(frame, ".uno:Cut", "", 0, ())
                self.cut = (a.EndColumn - a.StartColumn, a.EndRow - a.StartRow)
                self.cut_used = True
                return True
            if not self.cut:
                return False
            w, h = self.cut
            drop = (a.StartColumn, a.StartRow, a.StartColumn + w, a.StartRow + h)
            if drop[2] > 1023 or self.arrays_cut(sheet, drop):
                return False
            self.cut = None
            ctrl.select(rng)
            self.dispatch.executeDispatch(frame, ".uno:Paste", "", 0, ())
            return True
        except Exception as e:
            print(f"peer refused {kind} {s} {args}: {type(e).__name__}", file=sys.stderr)
            return False

    def dump(self, doc, s):
        sheet = doc.Sheets.getByIndex(s)
        formulas = self.used(sheet)
        anchors = {(c, r): (r2 - r + 1, c2 - c + 1)
                   for (c, r, c2, r2) in self.array_areas(formulas)}
        cells = []
        for r, row in enumerate(formulas):
            for c, text in enumerate(row):
                if text == "":
                    continue
                cell = sheet.getCellByPosition(c, r)
                a1 = f"{col_name(c + 1)}{r + 1}"
                shown_formula = size = ""
                if text.startswith("{"):
                    if (c, r) in anchors:
                        shown_formula = from_peer(text)
                        size = "{%dx%d}" % anchors[(c, r)]
                elif text.startswith("="):
                    shown_formula = from_peer(text)
                err = cell.getError()
                if err:
                    value = ERRORS.get(err, f"#ERR{err}")
                else:
                    t = cell.getType().value
                    if t == "TEXT" or (t == "FORMULA" and cell.FormulaResultType2 == 2):
                        value = "t:" + cell.getString()
                    else:
                        value = shown_number(cell.getValue())
                if size:
                    cells.append(f"{a1} {shown_formula} {value} {size}")
                elif shown_formula:
                    cells.append(f"{a1} {shown_formula} {value}")
                else:
                    cells.append(f"{a1} {value}")
        return f"D\t{s}\t" + "\t".join(cells) + "\n"


def run_part(args):
    """The peer's lines of every scenario k of `wanted` with k % jobs == job, by scenario."""
    job, jobs, count, wanted = args
    mine = [k for k in wanted if k % jobs == job]
    lines, k = [], -1
    for l in scenario_lines(count):
        if l[0] == "S":
            k = int(l.split("\t")[1])
        if k in mine:
            lines.append(l)
    peer = Peer()
    out = {}
    try:
        buf = io.StringIO()
        peer.run(lines, buf)
    finally:
        peer.close()
    current = None
    for l in buf.getvalue().splitlines(keepends=True):
        if l.startswith("S\t"):
            current = int(l.split("\t")[1])
            out[current] = ""
        out[current] += l
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", metavar="FILE", help="compare FILE's scenarios with the generator's")
    ap.add_argument("--scenarios", type=int, default=SCENARIOS + CUT_SCENARIOS)
    ap.add_argument("--only", type=int, nargs="*",
                    help="run the peer for these workbooks alone and keep the others' answers "
                         "from the file given by --out")
    ap.add_argument("--out", default=OUT)
    ap.add_argument("--jobs", type=int, default=3, help="offices run side by side (default 3)")
    a = ap.parse_args()
    if a.check:
        from peeroffice import check_stored
        with gzip.open(a.check, "rt", encoding="utf-8") as f:
            cached = [l.rstrip("\n") for l in f if l[0] in "SNFE"]
        return check_stored(cached, list(scenario_lines()), "scenario lines",
                            "tools/make-structural-peer.py")
    # Scenario k goes to job k % jobs; each job runs an office of its own.
    import multiprocessing
    jobs = max(1, a.jobs)
    wanted = a.only if a.only else list(range(a.scenarios))
    by_scenario = {}
    if a.only:
        # The other workbooks' answers as the file holds them.
        k = None
        with gzip.open(a.out, "rt", encoding="utf-8") as f:
            for l in f:
                if l.startswith("S\t"):
                    k = int(l.split("\t")[1])
                    by_scenario[k] = ""
                by_scenario[k] += l
    with multiprocessing.get_context("fork").Pool(jobs) as pool:
        parts = pool.map(run_part, [(j, jobs, a.scenarios, wanted) for j in range(jobs)])
    for part in parts:
        by_scenario.update(part)
    text = "".join(by_scenario[k] for k in range(a.scenarios))
    with open(a.out, "wb") as raw:
        with gzip.GzipFile(fileobj=raw, mode="wb", mtime=0, filename="") as z:
            z.write(text.encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
