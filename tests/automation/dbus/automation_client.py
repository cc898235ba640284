"""A client in another process drives the automation server over the session bus: it
creates a Workbook, builds a tree, puts values and formulas, recalculates, saves and loads
both native forms with and without a password, and checks the failures it is told of."""

import fcntl
import os
import time
import unittest

import dbus
import dbus.bus

SERVICE = "org.vorlane.Vorlan"
WORKSHEET = "org.vorlane.IWorksheet"
TREE = "org.vorlane.ITree"
UNKNOWN = "org.vorlane.IUnknown"
FILES = os.environ["VORLANE_FILES"]
VT_EMPTY, VT_R8, VT_BSTR, VT_UI1 = 0, 5, 8, 17


def var(vt, value):
    return dbus.Struct((dbus.UInt16(vt), value), signature="qv")


def r8(x):
    return var(VT_R8, dbus.Double(x))


def bstr(s):
    return var(VT_BSTR, dbus.String(s))


class Workbook:
    """The two interfaces of one Workbook object on a connection."""

    def __init__(self, bus):
        root = bus.get_object(SERVICE, "/")
        self.path = root.CreateObject("Vorlan.Workbook", dbus_interface="org.vorlane.Vorlan")
        obj = bus.get_object(SERVICE, self.path)
        self.ws = dbus.Interface(obj, WORKSHEET)
        self.tree = dbus.Interface(obj, TREE)
        self.unknown = dbus.Interface(obj, UNKNOWN)
        self.props = dbus.Interface(obj, "org.freedesktop.DBus.Properties")

    def value(self, cell):
        vt, value = self.ws.GetValue(cell)
        return int(vt), value


class InformationObjects:
    """A text file and a table information object, with the given separator: the methods
    take them by their paths, and the test releases them by those paths when it is done."""

    def __init__(self, bus, separator):
        self.bus = bus
        root = bus.get_object(SERVICE, "/")
        self.text_path = root.CreateObject("Vorlan.TextFileInfo", dbus_interface="org.vorlane.Vorlan")
        self.xbase_path = root.CreateObject("Vorlan.XBaseInfo.1", dbus_interface="org.vorlane.Vorlan")
        self.text = dbus.Interface(bus.get_object(SERVICE, self.text_path), "org.vorlane.ITextFileInfo")
        self.xbase = dbus.Interface(bus.get_object(SERVICE, self.xbase_path), "org.vorlane.IXBaseInfo")
        self.text.SetSeparator(separator)

    def release(self):
        for path in (self.text_path, self.xbase_path):
            dbus.Interface(self.bus.get_object(SERVICE, path), UNKNOWN).Release()


class AutomationClient(unittest.TestCase):
    bus = None

    @classmethod
    def setUpClass(cls):
        cls.bus = dbus.SessionBus()

    def assertFails(self, hresult, message, call, *args):
        with self.assertRaises(dbus.exceptions.DBusException) as caught:
            call(*args)
        self.assertEqual(caught.exception.get_dbus_name(), "org.vorlane.Vorlan.Error.E%08X" % hresult)
        if message is not None:
            self.assertEqual(caught.exception.get_dbus_message(), message)

    def build(self):
        wb = Workbook(self.bus)
        wb.ws.NewDocument()
        self.assertEqual(tuple(wb.tree.InsertItem(-1, 2, "Reports")), (0, 1))
        self.assertEqual(tuple(wb.tree.InsertItem(1, 2, "2006")), (0, 2))
        self.assertEqual(tuple(wb.tree.InsertItem(2, 1, "Sheet1")), (0, 3))
        self.assertEqual(int(wb.tree.GetItemCount()), 4)
        self.assertEqual(tuple(wb.tree.GetItemPath(3)), (0, "\\Reports\\2006\\Sheet1"))
        self.assertEqual(int(wb.tree.SetActiveWorksheet("\\reports\\2006\\SHEET1")), 0)
        wb.ws.PutValue("$A$1", r8(6))
        wb.ws.PutValue("$A$2", bstr("Gr\u00fc\u00dfe"))
        wb.ws.PutFormula("$B$1", "=A1*7")
        wb.ws.PutFormula("$B$2", '=A2&"!"')
        return wb

    def check(self, wb):
        self.assertEqual(wb.value("$B$1"), (VT_R8, 42.0))
        self.assertEqual(wb.value("$B$2"), (VT_BSTR, "Gr\u00fc\u00dfe!"))
        self.assertEqual(tuple(wb.tree.GetActiveWorksheet()), (0, "\\Reports\\2006\\Sheet1"))

    def test_values_formulas_and_recalculation(self):
        wb = self.build()
        self.assertEqual(wb.value("$B$1"), (VT_R8, 0.0))  # not yet calculated
        wb.ws.UpdateWorksheet()
        self.check(wb)
        self.assertEqual(tuple(wb.ws.GetFormula("$B$1")), (0, "=A1*7"))
        self.assertEqual(int(wb.ws.GetFormula("$A$1")[0]), 1)  # S_FALSE: no formula
        lower, rows = wb.ws.GetRange("$A$1:$C$2")
        self.assertEqual(int(lower), 0)
        self.assertEqual([[(int(v[0]), v[1]) for v in row[1]] for row in rows],
                         [[(VT_R8, 6.0), (VT_R8, 42.0), (VT_EMPTY, 0)],
                          [(VT_BSTR, "Gr\u00fc\u00dfe"), (VT_BSTR, "Gr\u00fc\u00dfe!"), (VT_EMPTY, 0)]])
        table = (0, [(0, [r8(1), bstr("x")]), (0, [var(VT_UI1, dbus.Byte(7)), var(VT_EMPTY, dbus.Int32(0))])])
        wb.ws.PutRange("$D$1:$E$2", table)
        self.assertEqual(wb.value("$E$1"), (VT_BSTR, "x"))
        self.assertEqual(wb.value("$D$2"), (VT_UI1, 7))
        # The corner takes the first element whatever the array's lower bounds.
        wb.ws.PutRange("$C$3:$E$5", (1, [(1, [r8(11), r8(12)]), (1, [r8(21), bstr("t")])]))
        self.assertEqual([wb.value(c) for c in ("$C$3", "$D$3", "$C$4", "$D$4", "$E$5")],
                         [(VT_R8, 11.0), (VT_R8, 12.0), (VT_R8, 21.0), (VT_BSTR, "t"), (VT_EMPTY, 0)])
        # A refused element (error value 0) refuses the call: no cell of the range changes.
        self.assertFails(0x80070057, None, wb.ws.PutRange, "$C$3:$E$5",
                         (0, [(0, [r8(1), r8(2)]), (0, [r8(3), var(VT_UI1, dbus.Byte(0))])]))
        self.assertEqual([wb.value(c) for c in ("$C$3", "$D$3", "$C$4", "$D$4")],
                         [(VT_R8, 11.0), (VT_R8, 12.0), (VT_R8, 21.0), (VT_BSTR, "t")])
        wb.ws.PutStyleID("$D$1:$E$2", 3)
        self.assertEqual(int(wb.ws.GetStyleID("$E$2")), 3)
        wb.ws.Clear("$D$1:$E$2", 1)
        self.assertEqual(wb.value("$E$1"), (VT_EMPTY, 0))
        self.assertEqual(int(wb.unknown.Release()), 0)

    def test_ranges_and_named_cells_read_as_the_peers_read_them(self):
        # A header, a gap and a row in error, as the bus's client puts them.
        wb = Workbook(self.bus)
        wb.ws.NewDocument()
        wb.ws.PutValue("$A$1", bstr("Qty"))
        wb.ws.PutValue("$A$2", r8(65))
        wb.ws.PutValue("$A$4", r8(72))
        wb.ws.PutFormula("$A$5", "=1/0")
        wb.ws.PutFormula("$B$1", "=AVERAGE(A2,A3,A4)")
        wb.ws.PutFormula("$B$2", "=SUM(A1:A4)")
        wb.ws.PutFormula("$B$3", "=ERRORTYPE(SUM(A1:A5))")
        wb.ws.PutFormula("$B$4", "=ERRORTYPE(MAX(A:A))")
        wb.ws.PutFormula("$B$5", "=SUM(A2,A1)")
        wb.ws.UpdateWorksheet()
        self.assertEqual([wb.value(c) for c in ("$B$1", "$B$2", "$B$3", "$B$4", "$B$5")],
                         [(VT_R8, 68.5), (VT_R8, 137.0), (VT_R8, 1.0), (VT_R8, 1.0),
                          (VT_R8, 65.0)])
        self.assertEqual(int(wb.unknown.Release()), 0)

    def test_failures_carry_the_hresult_and_message(self):
        wb = self.build()
        self.assertFails(0x80070057, "E_INVALIDARG", wb.ws.GetValue, "B3")
        self.assertFails(0x80070057, None, wb.ws.PutValue, "$A$0", r8(1))
        self.assertFails(0x80070057, None, wb.ws.PutValue, "$A$1", var(VT_UI1, dbus.Byte(13)))
        self.assertFails(0x80040022, "Can't open the specified file for reading",
                         wb.ws.Load, os.path.join(FILES, "missing.vln"), "", 0, "/", "/")
        self.assertFails(0x80070057, None, wb.ws.Load, os.path.join(FILES, "x.vln"), "", 0, wb.path, "/")
        self.assertEqual(int(wb.unknown.Release()), 0)
        empty = Workbook(self.bus)
        self.assertFails(0x8004000D, "No worksheet selected", empty.ws.GetValue, "$A$1")
        empty.ws.NewDocument()
        self.assertEqual(int(empty.tree.DeleteItem(0)), 0)  # S_OK: the only worksheet stays, error 9
        self.assertEqual(int(empty.tree.GetItemCount()), 1)
        self.assertEqual(int(empty.unknown.Release()), 0)

    def test_both_native_forms_with_and_without_a_password(self):
        wb = self.build()
        wb.ws.UpdateWorksheet()
        plain_xml = os.path.join(FILES, "plain.vln")
        locked = os.path.join(FILES, "locked.vlb")
        plain_binary = os.path.join(FILES, "plain.vlb")
        self.assertEqual(int(wb.ws.SaveAs(plain_xml)), 0)
        self.assertFails(0x80070057, None, wb.ws.SetProtection, "short", 0)
        self.assertEqual(int(wb.ws.SetProtection("secret-password", 0)), 0)
        self.assertEqual(int(wb.ws.SaveAs(locked)), 0)
        with open(plain_xml, "rb") as f:
            self.assertEqual(f.read(5), b"<?xml")
        with open(locked, "rb") as f:
            self.assertEqual(f.read(2), b"32")
        self.assertEqual(int(wb.unknown.Release()), 0)  # lets the file go

        loaded = Workbook(self.bus)
        loaded.ws.Load(locked, "secret-password", 0, "/", "/")
        self.check(loaded)
        self.assertEqual(tuple(loaded.ws.GetProtection()), ("secret-password", 0))
        self.assertEqual(int(loaded.ws.SetProtection("", 0)), 0)
        self.assertEqual(int(loaded.ws.SaveAs(plain_binary)), 0)  # binary, as loaded
        loaded.unknown.Release()
        with open(plain_binary, "rb") as f:
            self.assertEqual(f.read(2), b"30")
        for path in (plain_xml, plain_binary):
            again = Workbook(self.bus)
            again.ws.Load(path, "", 0, "/", "/")
            self.check(again)
            again.unknown.Release()

        wrong = Workbook(self.bus)
        started = time.monotonic()
        self.assertFails(0x8004001A, "Invalid password", wrong.ws.Load, locked, "wrong-password", 0, "/", "/")
        self.assertGreaterEqual(time.monotonic() - started, 2.0)
        wrong.unknown.Release()

    def test_excel_2003_xml_saves_and_loads(self):
        wb = self.build()
        wb.ws.UpdateWorksheet()
        path = os.path.join(FILES, "sheet.xml")
        wb.ws.SaveAsExcelFile(path)
        with open(path, "rb") as f:
            self.assertEqual(f.read(5), b"<?xml")
        wb.ws.Save()  # the same form again
        self.assertEqual(int(wb.unknown.Release()), 0)
        loaded = Workbook(self.bus)
        loaded.ws.Load(path, "", 2, "/", "/")
        # The file is flat: the worksheets of the folders stand at the top.
        self.assertEqual(int(loaded.tree.GetItemCount()), 2)
        self.assertEqual(int(loaded.tree.SetActiveWorksheet("\\Sheet1")), 0)
        self.assertEqual(loaded.value("$B$1"), (VT_R8, 42.0))
        self.assertEqual(loaded.value("$B$2"), (VT_BSTR, "Gr\u00fc\u00dfe!"))
        self.assertEqual(int(loaded.unknown.Release()), 0)
        with open(path, "wb") as f:
            f.write(b"<?xml version='1.0'?>\n"
                    b"<Workbook xmlns='urn:schemas-microsoft-com:office:spreadsheet'"
                    b" xmlns:ss='urn:schemas-microsoft-com:office:spreadsheet'>\n"
                    b"<Worksheet><Table><Row ss:Index='0'/>")
        bad = Workbook(self.bus)
        self.assertFails(0x8004003B, "Invalid xml element data (c_data)\nLine: 3",
                         bad.ws.Load, path, "", 2, "/", "/")
        bad.unknown.Release()

    def test_shared_files_are_not_replaced_and_pipes_not_read(self):
        cannot_read = "Can't open the specified file for reading"
        own = os.path.join(FILES, "own.vln")
        wb = self.build()
        self.assertEqual(int(wb.ws.SaveAs(own)), 0)
        wb.ws.PutValue("$A$1", r8(7))
        wb.ws.Load(own, "", 0, "/", "/")  # the object's own file
        self.assertEqual(wb.value("$A$1"), (VT_R8, 6.0))

        other = Workbook(self.bus)
        empty_target = os.path.join(FILES, "empty.vln")
        self.assertFails(0x8004000D, "No worksheet selected", other.ws.SaveAs, empty_target)
        self.assertFalse(os.path.exists(empty_target))
        other.ws.NewDocument()
        with open(own, "rb") as f:
            before = f.read()
        self.assertFails(0x80040022, cannot_read, other.ws.SaveAs, own)  # held by wb
        with open(own, "rb") as f:
            self.assertEqual(f.read(), before)
        self.assertEqual(int(wb.ws.Save()), 0)

        mine = os.path.join(FILES, "mine.vln")
        with open(mine, "wb") as f:
            f.write(b"mine")
        with open(mine, "rb") as f:
            fcntl.flock(f, fcntl.LOCK_EX)  # held by this process
            self.assertFails(0x80040022, cannot_read, other.ws.SaveAs, mine)
        with open(mine, "rb") as f:
            self.assertEqual(f.read(), b"mine")

        if os.geteuid() != 0:  # permissions do not bind the superuser
            readonly = os.path.join(FILES, "readonly.vln")
            with open(readonly, "wb") as f:
                f.write(b"ro")
            os.chmod(readonly, 0o444)
            self.assertFails(0x80040023, "Can't open the specified file for writing",
                             other.ws.SaveAs, readonly)
            with open(readonly, "rb") as f:
                self.assertEqual(f.read(), b"ro")
            self.assertEqual(os.stat(readonly).st_mode & 0o777, 0o444)

        # A file another process holds alone (a writer's lock) opens for reading, read-only:
        # Save answers S_FALSE and the file is left as it was.
        held = os.path.join(FILES, "held.vln")
        self.assertEqual(int(wb.ws.SaveAs(held)), 0)
        wb.unknown.Release()
        wb = Workbook(self.bus)
        with open(held, "rb") as f:
            before = f.read()
            fcntl.flock(f, fcntl.LOCK_EX | fcntl.LOCK_NB)  # the saving object let it go
            reader = Workbook(self.bus)
            self.assertEqual(tuple(reader.ws.Load(held, "", 0, "/", "/")), (0, ""))
            self.assertEqual(reader.value("$A$1"), (VT_R8, 6.0))
            self.assertEqual(int(reader.ws.Save()), 1)  # S_FALSE: read-only
            self.assertEqual(int(reader.unknown.Release()), 0)
        with open(held, "rb") as f:
            self.assertEqual(f.read(), before)

        pipe = os.path.join(FILES, "pipe")
        os.mkfifo(pipe)
        started = time.monotonic()
        self.assertFails(0x80040022, cannot_read, other.ws.Load, pipe, "", 0, "/", "/")
        self.assertLess(time.monotonic() - started, 5.0)
        self.assertEqual(int(other.unknown.Release()), 0)
        self.assertEqual(int(wb.unknown.Release()), 0)

    def test_text_and_table_files_through_information_objects(self):
        info = InformationObjects(self.bus, ";")
        text_path, xbase_path, text, xbase = info.text_path, info.xbase_path, info.text, info.xbase
        self.assertTrue(text_path.startswith("/TextFileInfo/"))
        self.assertTrue(xbase_path.startswith("/XBaseInfo/"))
        self.assertEqual(text.GetSeparator(), ";")
        self.assertFails(0x80070057, None, text.SetConversion, 2)
        lower, widths = text.GetColumnWidths()
        self.assertEqual((int(lower), len(widths)), (0, 2047))
        text.SetColumnWidths(dbus.Struct((dbus.Int32(0), [var(18, dbus.UInt16(3))]), signature="ia(qv)"))
        props = dbus.Interface(self.bus.get_object(SERVICE, text_path), "org.freedesktop.DBus.Properties")
        self.assertEqual(int(props.Get("org.vorlane.ITextFileInfo", "useFixedColWidths")), 1)
        props.Set("org.vorlane.ITextFileInfo", "useFixedColWidths", dbus.Int32(0))

        wb = Workbook(self.bus)
        wb.ws.NewDocument()
        wb.ws.PutValue("$A$1", bstr("NAME"))
        wb.ws.PutValue("$A$2", bstr("a;b"))
        wb.ws.PutValue("$B$2", r8(2.5))
        csv = os.path.join(FILES, "bus.csv")
        wb.ws.SaveAsTextFile(csv, text_path)
        with open(csv, "rb") as f:
            self.assertEqual(f.read(), b'NAME\r\n"a;b";2.5')
        xbase.SetXBaseFormat(5)
        xbase.SetFieldCount(2)
        xbase.SetField(0, "NAME", dbus.Byte(ord("C")), 300, 0)
        xbase.SetField(1, "N", dbus.Byte(ord("N")), 8, 2)
        name, kind, length, decimals = xbase.GetField(0)
        self.assertEqual((str(name), int(kind), int(length), int(decimals)), ("NAME", ord("C"), 44, 1))
        table = os.path.join(FILES, "bus.dbf")
        wb.ws.SaveAsDatabase(table, xbase_path)
        with open(table, "rb") as f:
            self.assertEqual(f.read(1), b"\x03")
        wb.unknown.Release()

        loaded = Workbook(self.bus)
        loaded.ws.Load(table, "", 5, "/", xbase_path)
        self.assertEqual(loaded.value("$A$2"), (VT_BSTR, "a;b"))
        self.assertEqual(loaded.value("$B$2"), (VT_R8, 2.5))
        loaded.unknown.Release()
        info.release()

    def test_text_files_keep_results_characters_and_values_over_the_bus(self):
        """A text file's formulas are calculated when loaded; a save that would write other
        values than the worksheet shows (a number a fixed width cuts, a euro sign the OEM code
        page lacks) is refused with the count and writes nothing, for text files and tables;
        a number past the double range loads as its text; the section sign separates a UTF-8
        file as two bytes."""
        info = InformationObjects(self.bus, ",")
        text_path, xbase_path, text, xbase = info.text_path, info.xbase_path, info.text, info.xbase
        sums = os.path.join(FILES, "sums.csv")
        with open(sums, "wb") as f:
            f.write(b"qty,price,total\r\n2,3.5,=A2*B2\r\n,,1e309")
        wb = Workbook(self.bus)
        wb.ws.Load(sums, "", 1, text_path, "/")
        self.assertEqual(wb.value("$C$2"), (VT_R8, 7.0))
        self.assertEqual(wb.value("$C$3"), (VT_BSTR, "1e309"))

        wb.ws.PutValue("$A$3", r8(1e-20))
        wb.ws.PutValue("$A$4", bstr("euro \u20ac5"))
        props = dbus.Interface(self.bus.get_object(SERVICE, text_path), "org.freedesktop.DBus.Properties")
        text.SetColumnWidths(dbus.Struct((dbus.Int32(0), [var(18, dbus.UInt16(4))]), signature="ia(qv)"))
        cut = os.path.join(FILES, "cut.txt")
        self.assertFails(0x80040076, None, wb.ws.SaveAsTextFile, cut, text_path)
        self.assertFalse(os.path.exists(cut))
        props.Set("org.vorlane.ITextFileInfo", "useFixedColWidths", dbus.Int32(0))
        text.SetEncoding(3)
        with self.assertRaises(dbus.exceptions.DBusException) as caught:
            wb.ws.SaveAsTextFile(cut, text_path)
        self.assertEqual(caught.exception.get_dbus_name(), "org.vorlane.Vorlan.Error.E8004007D")
        self.assertIn("1 text with characters the OEM code page lacks", caught.exception.get_dbus_message())
        self.assertFalse(os.path.exists(cut))
        xbase.SetXBaseFormat(5)
        xbase.SetFieldCount(1)
        xbase.SetField(0, "QTY", dbus.Byte(ord("C")), 20, 0)
        xbase.SetEncoding(3)
        table = os.path.join(FILES, "oem.dbf")
        self.assertFails(0x8004007D, None, wb.ws.SaveAsDatabase, table, xbase_path)
        self.assertFalse(os.path.exists(table))

        text.SetEncoding(1)
        text.SetSeparator("\u00a7")
        section = os.path.join(FILES, "section.txt")
        wb.ws.SaveAsTextFile(section, text_path)
        with open(section, "rb") as f:
            self.assertEqual(f.read().split(b"\r\n")[1], b"2\xc2\xa73.5\xc2\xa77")
        wb.unknown.Release()
        info.release()

    def test_an_import_answers_how_many_texts_it_left_out(self):
        """Load of an import that left out texts outside the code page answers 1 and the
        message with their count; the other cells are read, the left-out ones empty. A file
        without such texts answers 0 and no message."""
        prefix = ("Some texts of the file hold characters a cell cannot hold (cells hold the "
                  "Western European code page, Windows-1252). Their cells were left empty; the "
                  "rest of the file was read. Texts left out:")
        info = InformationObjects(self.bus, ",")
        text_path, xbase_path, text, xbase = info.text_path, info.xbase_path, info.text, info.xbase

        def table(records, count):
            # dBase III, three one-character fields A, B, C.
            head = bytes([3, 0, 0, 0, count, 0, 0, 0, 32 * 3 + 33, 0, 4]) + bytes(21)
            fields = b"".join(name + bytes(10) + b"C" + bytes(4) + b"\x01" + bytes(15)
                              for name in (b"A", b"B", b"C"))
            return head + fields + b"\x0d" + records + b"\x1a"

        excel = ('<?xml version="1.0"?><Workbook xmlns="urn:schemas-microsoft-com:office:'
                 'spreadsheet" xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">'
                 '<Worksheet ss:Name="S"><Table><Row><Cell><Data ss:Type="String">a</Data></Cell>'
                 '<Cell><Data ss:Type="String">\u0416</Data></Cell><Cell><Data ss:Type="String">'
                 '\u20ac</Data></Cell></Row></Table></Worksheet></Workbook>').encode()
        # name, bytes, format, encoding, answer, count, row of the values, third cell
        cases = [
            ("t.csv", "a,\u0416,\u20ac\r\n\U0001F600".encode(), 1, 1, 1, 2, 1, "\u20ac"),
            ("u.csv", "a,b,\u20ac".encode(), 1, 1, 0, 0, 1, "\u20ac"),
            ("o.csv", b"a,\xc4,\x81", 1, 3, 1, 1, 1, "\u00fc"),
            ("x.xml", excel, 2, 2, 1, 1, 1, "\u20ac"),
            ("o.dbf", table(b" a\xc4\x81 \xb3  ", 2), 3, 3, 1, 2, 2, "\u00fc"),
            ("k.dbf", table(b" ab\x81", 1), 3, 3, 0, 0, 2, "\u00fc"),
        ]
        for name, data, form, encoding, answer, count, row, third in cases:
            with self.subTest(name):
                path = os.path.join(FILES, name)
                with open(path, "wb") as f:
                    f.write(data)
                text.SetEncoding(encoding)
                if form >= 3:
                    xbase.SetEncoding(encoding)
                wb = Workbook(self.bus)
                status, message = wb.ws.Load(path, "", form, text_path, xbase_path)
                self.assertEqual((int(status), str(message)),
                                 (answer, "%s %d" % (prefix, count) if answer else ""))
                self.assertEqual(wb.value("$A$%d" % row), (VT_BSTR, "a"))
                self.assertEqual(wb.value("$B$%d" % row)[0], VT_EMPTY if answer else VT_BSTR)
                self.assertEqual(wb.value("$C$%d" % row), (VT_BSTR, third))
                self.assertEqual(int(wb.unknown.Release()), 0)
        info.release()

    def test_save_never_writes_over_a_file_its_load_left_something_out_of(self):
        """Save answers 1 and leaves the file as it was when the load left fields or texts
        out; the edits stay in the workbook, SaveAs under another name writes it all, and Save
        then writes there. A file that fits answers 0 and is written back."""
        cut = ("1 fields of the file lie past the worksheet's last column or row, or hold more "
               "than a cell's text: they were left out or cut.")
        refused = ("Some texts of the file hold characters a cell cannot hold (cells hold the "
                   "Western European code page, Windows-1252). Their cells were left empty; the "
                   "rest of the file was read. Texts left out: 1")
        root = self.bus.get_object(SERVICE, "/")
        text_path = root.CreateObject("Vorlan.TextFileInfo", dbus_interface="org.vorlane.Vorlan")
        text = dbus.Interface(self.bus.get_object(SERVICE, text_path), "org.vorlane.ITextFileInfo")
        text.SetSeparator(",")
        text.SetEncoding(1)

        def row(count):
            return ",".join(str(k) for k in range(1, count + 1)).encode()

        # name, bytes, Load's answer and message, Save's answer, B1 as read
        cases = [
            ("fits.csv", row(2047), 0, "", 0, (VT_R8, 2.0)),
            ("wide.csv", row(2048), 1, cut, 1, (VT_R8, 2.0)),
            ("code.csv", "1,\u0416".encode(), 1, refused, 1, (VT_EMPTY, 0)),
        ]
        for name, data, answer, message, saved, b1 in cases:
            with self.subTest(name):
                path = os.path.join(FILES, name)
                with open(path, "wb") as f:
                    f.write(data)
                wb = Workbook(self.bus)
                status, said = wb.ws.Load(path, "", 1, text_path, "/")
                self.assertEqual((int(status), str(said)), (answer, message))
                wb.ws.PutValue("$A$1", r8(99))
                self.assertEqual(int(wb.ws.Save()), saved)
                with open(path, "rb") as f:
                    written = f.read()
                if saved:
                    # Nothing written, the edit kept, and asked again the answer is the same.
                    self.assertEqual(written, data)
                    self.assertEqual(wb.value("$A$1"), (VT_R8, 99.0))
                    self.assertEqual(wb.value("$B$1"), b1)
                    self.assertEqual(int(wb.ws.Save()), 1)
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(), data)
                    other = os.path.join(FILES, "whole-" + name + ".vln")
                    self.assertEqual(int(wb.ws.SaveAs(other)), 0)
                    wb.ws.PutValue("$A$2", r8(7))
                    self.assertEqual(int(wb.ws.Save()), 0)
                    self.assertEqual(int(wb.unknown.Release()), 0)
                    again = Workbook(self.bus)
                    again.ws.Load(other, "", 0, "/", "/")
                    self.assertEqual([again.value(c) for c in ("$A$1", "$B$1", "$A$2")],
                                     [(VT_R8, 99.0), b1, (VT_R8, 7.0)])
                    self.assertEqual(int(again.unknown.Release()), 0)
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(), data)
                else:
                    self.assertEqual(written, b"99" + data[1:])
                    self.assertEqual(int(wb.unknown.Release()), 0)
        dbus.Interface(self.bus.get_object(SERVICE, text_path), UNKNOWN).Release()

    def test_no_save_writes_over_a_file_its_load_cut(self):
        """Every saving method aimed at the file a cut load came from answers 1 and writes
        nothing, whatever names the file (as loaded, another spelling, a symbolic or a hard
        link); the image export is refused as for every file the document holds. Another
        name is written."""
        info = InformationObjects(self.bus, ",")
        text_path, xbase_path = info.text_path, info.xbase_path
        info.xbase.SetXBaseFormat(3)
        info.xbase.SetFieldCount(1)
        info.xbase.SetField(0, "A", dbus.Byte(ord("N")), 8, 0)
        data = ",".join(str(k) for k in range(1, 2049)).encode()
        path = os.path.join(FILES, "cut.csv")
        symbolic = os.path.join(FILES, "cut-symbolic.csv")
        hard = os.path.join(FILES, "cut-hard.csv")
        os.makedirs(os.path.join(FILES, "sub"), exist_ok=True)
        spellings = (path, os.path.join(FILES, "sub", "..", "cut.csv"), symbolic, hard)
        # method, its arguments after the path
        routes = [
            ("SaveAs", ()),
            ("SaveAsTextFile", (text_path,)),
            ("SaveAsExcelFile", ()),
            ("SaveAsDatabase", (xbase_path,)),
        ]
        for method, extra in routes:
            for target in spellings:
                with self.subTest(method=method, target=target):
                    for link in (symbolic, hard):
                        if os.path.lexists(link):
                            os.remove(link)
                    with open(path, "wb") as f:
                        f.write(data)
                    os.symlink(path, symbolic)
                    os.link(path, hard)
                    wb = Workbook(self.bus)
                    self.assertEqual(int(wb.ws.Load(path, "", 1, text_path, "/")[0]), 1)
                    wb.ws.PutValue("$A$1", r8(99))
                    self.assertEqual(int(getattr(wb.ws, method)(target, *extra)), 1)
                    self.assertFails(0x80040022, "Can't open the specified file for reading",
                                     wb.ws.SaveRangeAsImage, "$A$1:$B$2", target, 0)
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(), data)
                    self.assertEqual(wb.value("$A$1"), (VT_R8, 99.0))
                    self.assertEqual(int(wb.ws.Save()), 1)
                    other = os.path.join(FILES, "cut-other-" + method)
                    self.assertEqual(int(getattr(wb.ws, method)(other, *extra)), 0)
                    self.assertEqual(int(wb.ws.Save()), 0)
                    self.assertEqual(int(wb.unknown.Release()), 0)
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(), data)
                    self.assertTrue(os.path.getsize(other) > 0)
        info.release()

    def test_load_opens_a_file_as_what_its_bytes_are(self):
        """The type asked only chooses among the forms a file's bytes allow: a workbook or an
        Excel 2003 XML spreadsheet under a .csv name asked as text opens as itself, and a text
        file asked as a workbook or a spreadsheet is refused, as the window opens them."""
        info = InformationObjects(self.bus, ",")
        text_path, xbase_path = info.text_path, info.xbase_path
        wb = self.build()
        wb.ws.UpdateWorksheet()
        native = os.path.join(FILES, "native.csv")
        binary = os.path.join(FILES, "binary.csv")
        excel = os.path.join(FILES, "excel.csv")
        self.assertEqual(int(wb.ws.SaveAs(native)), 0)
        self.assertEqual(int(wb.ws.SetProtection("secret-password", 0)), 0)
        self.assertEqual(int(wb.ws.SaveAs(binary)), 0)
        self.assertEqual(int(wb.ws.SetProtection("", 0)), 0)
        wb.ws.SaveAsExcelFile(excel)
        self.assertEqual(int(wb.unknown.Release()), 0)
        plain = os.path.join(FILES, "plain.csv")
        with open(plain, "wb") as f:
            f.write(b"6,42")
        workbook = ("\\Reports\\2006\\Sheet1", 4)
        spreadsheet = ("\\Sheet1", 2)
        # path, type asked, password, what opens (active worksheet, items) or the error
        cases = [
            (native, 1, "", workbook),
            (native, 2, "", workbook),
            (native, 3, "", workbook),
            (binary, 1, "secret-password", workbook),
            (excel, 1, "", spreadsheet),
            (excel, 0, "", spreadsheet),
            (plain, 1, "", ("\\plain.csv", 1)),
            (plain, 0, "", (0x80040015, "Invalid Vorlane file format\n\nPlease choose the correct "
                            "format from the 'Files of type' list in the 'Open' dialog box.")),
            (plain, 2, "", (0x80040038, "An unexpected xml element\nLine: 1")),
        ]
        for path, asked, password, opens in cases:
            with self.subTest(path=path, asked=asked):
                with open(path, "rb") as f:
                    data = f.read()
                book = Workbook(self.bus)
                book.ws.NewDocument()
                if isinstance(opens[0], int):
                    self.assertFails(opens[0], opens[1], book.ws.Load, path, password, asked,
                                     text_path, xbase_path)
                    self.assertEqual(tuple(book.tree.GetActiveWorksheet()), (0, "\\Worksheet1"))
                    self.assertEqual(book.value("$A$1"), (VT_EMPTY, 0))
                else:
                    self.assertEqual(tuple(book.ws.Load(path, password, asked, text_path,
                                                        xbase_path)), (0, ""))
                    self.assertEqual(tuple(book.tree.GetActiveWorksheet()), (0, opens[0]))
                    self.assertEqual(int(book.tree.GetItemCount()), opens[1])
                    self.assertEqual(book.value("$A$1"), (VT_R8, 6.0))
                    self.assertEqual(book.value("$B$1"), (VT_R8, 42.0))
                    # Saved again in the form it is, not the form asked.
                    self.assertEqual(int(book.ws.Save()), 0)
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(5), data[:5])
                self.assertEqual(int(book.unknown.Release()), 0)
        info.release()

    def test_references_are_counted_and_die_with_their_client(self):
        wb = Workbook(self.bus)
        self.assertEqual(int(wb.unknown.AddRef()), 2)
        self.assertEqual(int(wb.unknown.Release()), 1)
        self.assertEqual(wb.props.Get(WORKSHEET, "WorksheetTree"), wb.path)
        private = dbus.bus.BusConnection(os.environ["DBUS_SESSION_BUS_ADDRESS"])
        theirs = Workbook(private)
        self.assertEqual(int(wb.unknown.Release()), 0)
        theirs.ws.NewDocument()
        other = self.bus.get_object(SERVICE, theirs.path)
        self.assertEqual(int(dbus.Interface(other, UNKNOWN).AddRef()), 2)
        private.close()
        time.sleep(0.5)
        self.assertEqual(int(dbus.Interface(other, UNKNOWN).Release()), 0)  # ours was the last
        with self.assertRaises(dbus.exceptions.DBusException) as caught:
            dbus.Interface(other, TREE).GetItemCount()
        self.assertEqual(caught.exception.get_dbus_name(), "org.freedesktop.DBus.Error.UnknownObject")

    def test_ranges_save_as_png_images(self):
        wb = self.build()
        path = os.path.join(FILES, "range.png")
        wb.ws.SaveRangeAsImage("$A$1:$B$2", path, 0)
        with open(path, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")
        self.assertFails(0x8004000B, "An invalid container ID - not found",
                         wb.ws.SaveContainerAsImage, 5, path, 0)
        wb.unknown.Release()

    def test_zz_the_server_ends_after_its_last_object(self):
        # Runs last: every object of the other tests has been released.
        deadline = time.monotonic() + 30
        while self.bus.name_has_owner(SERVICE) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertFalse(self.bus.name_has_owner(SERVICE))


if __name__ == "__main__":
    unittest.main(verbosity=2)
