#!/usr/bin/env python3
"""Drives Vorlane's automation server from another process over the session bus.

The bus starts the server by its name (`vorlane -RegServer` wrote the service file). The
script opens an Application, makes a workbook, fills values and formulas, recalculates,
formats it (bold header, fill, currency), sets margins and landscape, prints it on the
built-in PDF printer named in the page setup, saves it, opens the file again and checks
values and styles. It exits with 1 on the first mismatch.

    python3 tools/drive-workbook.py [--folder DIR] [--pdf-folder DIR]
"""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

import dbus

SERVICE = "org.vorlane.Vorlan"
ROOT = "org.vorlane.Vorlan"
WORKSHEET = "org.vorlane.IWorksheet"
FORMAT = "org.vorlane.IFormatInfo"
PAGE = "org.vorlane.IPageInfo"
DOCS = "org.vorlane.IDocuments"
UNKNOWN = "org.vorlane.IUnknown"
PROPS = "org.freedesktop.DBus.Properties"
VT_R8, VT_BSTR, VT_UI1 = 5, 8, 17
# IWorksheet.format codes and standard number format kinds.
NUMBER_FORMAT, FONT_WEIGHT, INTERIOR = 1, 6, 19
CURRENCY = 2
SOLID_FILL = 1

ROWS = [("Paper", 4.5, 10), ("Ink", 12.25, 3), ("Folders", 2.0, 25)]


class Mismatch(Exception):
    pass


def expect(what, got, wanted):
    if got != wanted:
        raise Mismatch("%s: got %r, expected %r" % (what, got, wanted))
    print("ok   %s" % what)


def var(vt, value):
    return dbus.Struct((dbus.UInt16(vt), value), signature="qv")


class Client:
    def __init__(self):
        self.bus = dbus.SessionBus()
        self.made = []

    def iface(self, path, name):
        return dbus.Interface(self.bus.get_object(SERVICE, path), name)

    def keep(self, path):
        self.made.append(path)
        return path

    def release(self, path):
        self.made.remove(path)
        self.iface(path, UNKNOWN).Release()

    def release_all(self):
        for path in reversed(self.made):
            self.iface(path, UNKNOWN).Release()
        self.made = []


def fill(ws):
    for i, name in enumerate(("Item", "Price", "Count", "Total")):
        ws.PutValue("$%s$1" % "ABCD"[i], var(VT_BSTR, dbus.String(name)))
    for row, (item, price, count) in enumerate(ROWS, start=2):
        ws.PutValue("$A$%d" % row, var(VT_BSTR, dbus.String(item)))
        ws.PutValue("$B$%d" % row, var(VT_R8, dbus.Double(price)))
        ws.PutValue("$C$%d" % row, var(VT_R8, dbus.Double(count)))
        ws.PutFormula("$D$%d" % row, "=B%d*C%d" % (row, row))
    last = len(ROWS) + 1
    ws.PutValue("$A$%d" % (last + 1), var(VT_BSTR, dbus.String("Sum")))
    ws.PutFormula("$D$%d" % (last + 1), "=SUM(D2:D%d)" % last)
    ws.UpdateWorksheet()


def format_cells(client, ws):
    info = client.keep(ws.CreateFormatInfo())
    props = client.iface(info, PROPS)
    props.Set(FORMAT, "boldFont", dbus.Int32(1))
    ws.format("$A$1:$D$1", FONT_WEIGHT, info)
    props.Set(FORMAT, "fillType", dbus.Int32(SOLID_FILL))
    props.Set(FORMAT, "fillPatternColor", dbus.UInt32(0xC0E0FF))
    ws.format("$A$1:$D$1", INTERIOR, info)
    props.Set(FORMAT, "styleID", dbus.Int32(CURRENCY))
    ws.format("$B$2:$B$4", NUMBER_FORMAT, info)
    ws.format("$D$2:$D$5", NUMBER_FORMAT, info)
    client.release(info)


def set_up_pages(client, ws):
    info = client.keep(ws.CreatePageInfo())
    page = client.iface(info, PAGE)
    ws.GetPageSettings(info)
    page.SetMargins(15.0, 20.0, 15.0, 20.0)
    data = bytearray(int(v[1]) for v in page.GetData()[1])
    data[1:129] = b"PDF".ljust(128, b"\0")  # the built-in printer, by name
    data[257] = 1  # landscape
    page.SetData(dbus.Struct((dbus.Int32(0), dbus.Array(
        [var(VT_UI1, dbus.Byte(b)) for b in data], signature="(qv)")), signature="ia(qv)"))
    ws.SetPageSettings(info)
    ws.GetPageSettings(info)
    expect("margins", [float(m) for m in page.GetMargins()], [15.0, 20.0, 15.0, 20.0])
    client.release(info)


def print_pdf(ws, pdf_folder):
    before = set(glob.glob(os.path.join(pdf_folder, "*.pdf")))
    expect("PrintAll", int(ws.PrintAll()), 0)
    made = sorted(set(glob.glob(os.path.join(pdf_folder, "*.pdf"))) - before)
    expect("new PDF files", len(made), 1)
    print("     printed %s" % made[0])
    if shutil.which("pdfinfo"):
        info = subprocess.run(["pdfinfo", made[0]], check=True, capture_output=True,
                              text=True).stdout
        size = re.search(r"Page size:\s+([\d.]+) x ([\d.]+)", info)
        expect("landscape page", float(size.group(1)) > float(size.group(2)), True)
        expect("pages", int(re.search(r"Pages:\s+(\d+)", info).group(1)), 1)
    return made[0]


def values(ws):
    got = {}
    for row in range(1, len(ROWS) + 3):
        for column in "ABCD":
            cell = "$%s$%d" % (column, row)
            vt, value = ws.GetValue(cell)
            got[cell] = str(value) if int(vt) == VT_BSTR else float(value) if int(vt) else None
    return got


def styles(ws):
    return {cell: int(ws.GetStyleID(cell))
            for cell in ("$A$1", "$D$1", "$B$2", "$D$5", "$A$2", "$C$3")}


def check_styles(got):
    header, money, plain = got["$A$1"], got["$B$2"], got["$A$2"]
    expect("header cells share a style", got["$D$1"], header)
    expect("currency cells share a style", got["$D$5"], money)
    expect("plain cells keep the default style", (plain, got["$C$3"]), (0, 0))
    expect("three different styles", len({header, money, plain}), 3)


def drive(folder, pdf_folder):
    client = Client()
    root = client.bus.get_object(SERVICE, "/")  # the bus starts the server by name
    app = client.keep(root.CreateObject("Vorlan.Application", dbus_interface=ROOT))
    docs = client.iface(app, DOCS)
    try:
        book = client.keep(docs.New())
        ws = client.iface(book, WORKSHEET)
        fill(ws)
        total = sum(price * count for _, price, count in ROWS)
        expect("recalculated sum", float(ws.GetValue("$D$5")[1]), total)
        format_cells(client, ws)
        set_up_pages(client, ws)
        print_pdf(ws, pdf_folder)
        wanted_values, wanted_styles = values(ws), styles(ws)
        check_styles(wanted_styles)
        path = os.path.join(folder, "driven.vln")
        expect("SaveAs", int(ws.SaveAs(path)), 0)
        client.release(book)  # the saved file stays locked while its workbook lives

        again = client.keep(docs.Open(path, ""))
        ws = client.iface(again, WORKSHEET)
        expect("values after reopening", values(ws), wanted_values)
        expect("formula after reopening", str(ws.GetFormula("$D$5")[1]), "=SUM(D2:D4)")
        reopened = styles(ws)
        check_styles(reopened)
        expect("styles after reopening", reopened, wanted_styles)
    finally:
        client.release_all()


def default_pdf_folder():
    documents = os.path.join(os.path.expanduser("~"), "Documents")
    try:
        found = subprocess.run(["xdg-user-dir", "DOCUMENTS"], capture_output=True,
                               text=True).stdout.strip()
        documents = found or documents
    except OSError:
        pass
    return documents if os.path.isdir(documents) else os.path.expanduser("~")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--folder", help="where the workbook is saved (default: a new "
                        "temporary folder)")
    parser.add_argument("--pdf-folder", default=default_pdf_folder(),
                        help="where the PDF printer writes (default: the documents folder)")
    args = parser.parse_args()
    folder = args.folder or tempfile.mkdtemp(prefix="vorlane-drive.")
    try:
        drive(folder, args.pdf_folder)
    except Mismatch as mismatch:
        print("FAIL %s" % mismatch)
        return 1
    except dbus.exceptions.DBusException as error:
        print("FAIL %s: %s" % (error.get_dbus_name(), error.get_dbus_message()))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
