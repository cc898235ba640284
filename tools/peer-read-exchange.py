#!/usr/bin/python3
"""peer-read-exchange: opens every exchange file of a folder in LibreOffice (headless, one start
for all) and compares its cells with what this program read back from the same file.

  peer-read-exchange FOLDER

FOLDER holds NAME.xml (Excel 2003 XML), NAME.csv (text, comma-separated, quoted with '"', in
the Windows-1252 code page) and NAME.dbf (dBase IV) files, each with NAME.EXT.cells beside it in
the form peer-read-excelxml describes (sheet, row, column, kind, value; a table's field row left
out). A file the peer does not open, or a cell it reads otherwise, is a fault, unless it is one
of the listed differences of the forms, which are counted and printed:
  - a text file has no types: an ISO date text we keep as text the peer reads as a date;
  - a formula ours computes to an error value that the peer cannot read at all.
Exit 0 when all agree, 1 otherwise, 77 when no LibreOffice with its Python bridge is installed.
"""
import glob
import importlib.util
import os
import re
import sys

_here = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location("peer_excelxml",
                                               os.path.join(_here, "peer-read-excelxml.py"))
peer = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(peer)

# The peer's import options: separator ',', text delimiter '"', Windows-1252, from line 1,
# no column types, quoted fields not forced to text, special numbers (percentages,
# currency, thousands separators) detected as typing them is.
CSV_OPTIONS = "44,34,1,1,,0,false,true"
ISO_DATE = re.compile(r"^\d{4}-\d{2}-\d{2}([ T]\d{2}:\d{2}(:\d{2})?)?$")


def load(desktop, path):
    import uno
    from com.sun.star.beans import PropertyValue

    def prop(name, value):
        p = PropertyValue()
        p.Name, p.Value = name, value
        return p

    props = [prop("Hidden", True)]
    if path.endswith(".csv"):
        props += [prop("FilterName", "Text - txt - csv (StarCalc)"),
                  prop("FilterOptions", CSV_OPTIONS)]
    elif path.endswith(".dbf"):
        props += [prop("FilterName", "dBase"), prop("FilterOptions", "1")]
    return desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)),
                                        "_blank", 0, tuple(props))


def listed(path, fault_line):
    """The listed difference a fault is, or None."""
    # Names joined by blanks (the intersection operator): ours computes the error value the
    # names give, the peer's reader stops at the blank. Neither has a value.
    if "the peer cannot read the formula" in fault_line and ", ours gives #" in fault_line:
        return "formula both refuse: ours an error value, the peer at reading it"
    if path.endswith(".csv") and ": text '" in fault_line:
        value = fault_line.split(": text '", 1)[1].split("'", 1)[0]
        if ISO_DATE.match(value):
            return "ISO date text read as a date (text file)"
    return None


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    files = sorted(glob.glob(os.path.join(folder, "*.xml")) +
                   glob.glob(os.path.join(folder, "*.csv")) +
                   glob.glob(os.path.join(folder, "*.dbf")))
    started = peer.start()
    if started is None:
        print("peer-read-exchange: no LibreOffice with python3-uno here")
        sys.exit(77)
    desktop = started.desktop
    failed, kinds, differences = 0, {}, {}
    try:
        for path in files:
            name = os.path.basename(path)
            cells = path + ".cells"
            kinds[path[-3:]] = kinds.get(path[-3:], 0) + 1
            if peer.beyond_grid(cells):
                print(f"{name}: cells beyond the peer's grid, not compared")
                continue
            reason = ""
            try:
                doc = load(desktop, path)
            except Exception as e:  # the peer refuses the file
                doc, reason = None, str(e)
            if doc is None:
                print(f"{name}: the peer does not open it {reason}")
                failed += 1
                continue
            try:
                doc.calculateAll()
                faults = peer.check(doc, cells)
            finally:
                doc.close(True)
            kept = []
            for fault in faults:
                why = listed(path, fault)
                if why:
                    differences[why] = differences.get(why, 0) + 1
                else:
                    kept.append(fault)
            for fault in kept:
                print(f"{name}: {fault}")
            failed += bool(kept)
        shown = ", ".join(f"{n} .{k}" for k, n in sorted(kinds.items()))
        print(f"peer-read-exchange: {len(files)} files ({shown}), {failed} with faults")
        for why, n in sorted(differences.items()):
            print(f"  listed difference: {n} x {why}")
    finally:
        started.__exit__(None, None, None)
    sys.exit(1 if failed or not files else 0)


if __name__ == "__main__":
    main()
