#!/usr/bin/python3
"""peer-read-excelxml: opens every Excel 2003 XML file of a folder in LibreOffice (headless, one
start for all) and compares its cells with what this program read from the same file.

  peer-read-excelxml FOLDER

Each NAME.xml of FOLDER has a NAME.cells beside it, one cell a line:
  sheet TAB row TAB column TAB kind TAB value      (rows and columns from 0)
kind "n" a number, "t" a text, "e" an error value shown as its text, "f" a formula whose cached
result (when there is one) is the value: "fn" a number, "ft" a text, "fe" an error, "f" none.
A file the peer does not open, a text or number it reads otherwise, or a formula it does not
take as one or cannot read (a parse error) is a fault. Results are not compared: the tests'
documents carry cached results of their own making, which the peer computes afresh. Exit 0 when all agree, 1 otherwise, 77 when no
LibreOffice with its Python bridge is installed.
"""
import glob
import math
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))


def start():
    """The office (tools/peeroffice.py), started; None where it is not installed."""
    try:
        import uno  # noqa: F401
    except ImportError:
        return None
    if not (shutil.which("soffice") or shutil.which("libreoffice")):
        return None
    from peeroffice import Office
    return Office(timeout=90).__enter__()


def load(desktop, path):
    import uno
    from com.sun.star.beans import PropertyValue
    # The reader the office's own type detection picks, as a user opening the file gets it.
    hidden = PropertyValue()
    hidden.Name, hidden.Value = "Hidden", True
    return desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)),
                                        "_blank", 0, (hidden,))


# The peer's codes for a formula it cannot read (as opposed to one it computes to an error).
PARSE_ERRORS = {501, 504} | set(range(507, 519))


# The peer's grid: 1,048,576 rows of 16,384 columns.
PEER_ROWS, PEER_COLUMNS = 1 << 20, 1 << 14


def beyond_grid(cells_path):
    for line in open(cells_path, encoding="utf-8"):
        _, row, column, _ = line.split("\t", 3)
        if int(row) >= PEER_ROWS or int(column) >= PEER_COLUMNS:
            return True
    return False


def same_number(a, b):
    return a == b or math.isclose(a, b, rel_tol=1e-12, abs_tol=1e-300)


def check(doc, cells_path):
    from com.sun.star.table.CellContentType import FORMULA, VALUE
    faults = []
    sheets = doc.Sheets
    for line in open(cells_path, encoding="utf-8"):
        sheet, row, column, kind, value = line.rstrip("\n").split("\t", 4)
        where = f"sheet {sheet} R{int(row) + 1}C{int(column) + 1}"
        if int(sheet) >= sheets.getCount():
            faults.append(f"{where}: the peer has no such worksheet")
            continue
        cell = sheets.getByIndex(int(sheet)).getCellByPosition(int(column), int(row))
        kind_now = cell.getType()
        if kind == "t" and cell.getString() != value:
            faults.append(f"{where}: text {value!r}, the peer reads {cell.getString()!r}")
        elif kind == "n" and (kind_now != VALUE or not same_number(cell.getValue(), float(value))):
            faults.append(f"{where}: number {value}, the peer reads {cell.getString()!r}")
        elif kind.startswith("f"):
            error = cell.getError()
            if kind_now != FORMULA:
                faults.append(f"{where}: a formula, the peer reads {cell.getString()!r}")
            elif error in PARSE_ERRORS:
                ours = f", ours gives {value}" if kind == "fe" else ""
                faults.append(f"{where}: the peer cannot read the formula {cell.getFormula()!r} "
                              f"(error {error}{ours})")
    return faults


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    files = sorted(glob.glob(os.path.join(sys.argv[1], "*.xml")))
    started = start()
    if started is None:
        print("peer-read-excelxml: no LibreOffice with python3-uno here")
        sys.exit(77)
    desktop = started.desktop
    failed = 0
    try:
        for path in files:
            cells = path[:-4] + ".cells"
            if beyond_grid(cells):
                # The peer's grid is smaller than ours: it refuses such a file whole.
                print(f"{os.path.basename(path)}: cells beyond the peer's grid, not compared")
                continue
            try:
                doc = load(desktop, path)
            except Exception as e:
                doc = None
                reason = str(e)
            if doc is None:
                print(f"{os.path.basename(path)}: the peer does not open it "
                      f"{reason if 'reason' in locals() else ''}")
                failed += 1
                continue
            try:
                doc.calculateAll()
                faults = check(doc, cells)
            finally:
                doc.close(True)
            for fault in faults:
                print(f"{os.path.basename(path)}: {fault}")
            failed += bool(faults)
        print(f"peer-read-excelxml: {len(files)} files, {failed} with faults")
    finally:
        started.__exit__(None, None, None)
    sys.exit(1 if failed or not files else 0)


if __name__ == "__main__":
    main()
