"""States a client makes over the session bus that one route stores and another once could
not: each is saved in every form that holds it, opened again by the server and compared
whole, and files older saves left are opened as they were written."""

import os
import re
import shutil
import unittest

import dbus

SERVICE = "org.vorlane.Vorlan"
ROOT = "org.vorlane.Vorlan"
WORKSHEET = "org.vorlane.IWorksheet"
FORMAT = "org.vorlane.IFormatInfo"
XBASE = "org.vorlane.IXBaseInfo"
DOCS = "org.vorlane.IDocuments"
OPTIONS = "org.vorlane.IOptions"
UNKNOWN = "org.vorlane.IUnknown"
PROPS = "org.freedesktop.DBus.Properties"
FILES = os.environ["VORLANE_FILES"]
SETTINGS = os.path.join(os.environ["XDG_CONFIG_HOME"], "Vorlane", "settings.xml")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "automation")
VT_EMPTY, VT_R8, VT_BSTR = 0, 5, 8
E_INVALIDARG = 0x80070057
STYLE_FONT_SIZE = 3
NATIVE_FORMS = (("xml", 'Xml="Yes" Compressed="No"'), ("binary", 'Xml="No" Compressed="No"'))
DBASE3, DBASE4, FOXPRO, CLIPPER = 3, 4, 5, 6


def var(vt, value):
    return dbus.Struct((dbus.UInt16(vt), value), signature="qv")


def r8(x):
    return var(VT_R8, dbus.Double(x))


def bstr(s):
    return var(VT_BSTR, dbus.String(s))


class StatesClient(unittest.TestCase):
    bus = None

    @classmethod
    def setUpClass(cls):
        cls.bus = dbus.SessionBus()
        root = cls.bus.get_object(SERVICE, "/")
        cls.app_path = root.CreateObject("Vorlan.Application", dbus_interface=ROOT)
        app = cls.bus.get_object(SERVICE, cls.app_path)
        cls.docs = dbus.Interface(app, DOCS)
        cls.options = dbus.Interface(app, OPTIONS)
        with open(SETTINGS) as f:
            cls.settings = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.use_form(cls, NATIVE_FORMS[0][1])

    def iface(self, path, name):
        return dbus.Interface(self.bus.get_object(SERVICE, path), name)

    def use_form(self, setting):
        path = os.path.join(FILES, "form.xml")
        with open(path, "w") as f:
            f.write(re.sub(r'<FileFormat [^/]*/>', "<FileFormat %s/>" % setting, self.settings))
        self.options.LoadProfile(path)

    def assertFails(self, hresult, call, *args):
        with self.assertRaises(dbus.exceptions.DBusException) as caught:
            call(*args)
        self.assertEqual(caught.exception.get_dbus_name(), SERVICE + ".Error.E%08X" % hresult)
        return caught.exception

    def new_book(self):
        book = self.docs.New()
        return book, self.iface(book, WORKSHEET)

    def reopened(self, path):
        book = self.docs.Open(path, "")
        return book, self.iface(book, WORKSHEET)

    def release(self, *paths):
        for p in paths:
            self.iface(p, UNKNOWN).Release()

    def value(self, ws, cell):
        vt, value = ws.GetValue(cell)
        return int(vt), value

    # Two styles made through the format object, so that the table holds 1 and 2.
    def two_styles(self, ws):
        info = ws.CreateFormatInfo()
        props = self.iface(info, PROPS)
        for size, cell in ((20, "$F$9"), (30, "$F$10")):
            props.Set(FORMAT, "fontSize", dbus.Int32(size))
            ws.format(cell, STYLE_FONT_SIZE, info)
        self.release(info)
        self.assertEqual([int(ws.GetStyleID(c)) for c in ("$F$9", "$F$10")], [1, 2])

    def test_a_style_set_over_styled_cells_replaces_theirs(self):
        cells = ("$B$2", "$C$2", "$D$2", "$E$2", "$B$3", "$C$3", "$D$3")
        for name, form in NATIVE_FORMS:
            with self.subTest(form=name):
                self.use_form(form)
                book, ws = self.new_book()
                self.two_styles(ws)
                ws.PutValue("$B$2", r8(1.5))
                ws.PutStyleID("$B$2", 1)
                ws.PutStyleID("$B$2", 2)
                # Over the middle of a run, over a run's end, over a whole run and past it.
                ws.PutStyleID("$B$3:$D$3", 1)
                ws.PutStyleID("$C$3", 2)
                ws.PutStyleID("$D$2:$E$2", 1)
                ws.PutStyleID("$C$2:$D$2", 2)
                ws.PutStyleID("$E$2", 0)
                expected = [2, 2, 2, 0, 1, 2, 1]
                self.assertEqual([int(ws.GetStyleID(c)) for c in cells], expected)
                path = os.path.join(FILES, "restyled.%s.vln" % name)
                self.assertEqual(int(ws.SaveAs(path)), 0)
                self.release(book)
                back, ws = self.reopened(path)
                self.assertEqual([int(ws.GetStyleID(c)) for c in cells], expected)
                self.assertEqual(self.value(ws, "$B$2"), (VT_R8, 1.5))
                self.release(back)

    def test_b_files_with_runs_over_each_other_open_as_they_showed(self):
        # Written by an older server after PutStyleID over styled cells: each run it stored
        # first was the one it showed and answered.
        cells = ("$B$2", "$C$2", "$D$2", "$B$3", "$C$3", "$D$3", "$F$9", "$F$10")
        for name in ("overlapping-runs.xml", "overlapping-runs.vln"):
            with self.subTest(file=name):
                path = os.path.join(FILES, name)
                shutil.copyfile(os.path.join(DATA, name), path)
                with open(path, "rb") as f:
                    before = f.read()
                book, ws = self.reopened(path)
                self.assertEqual([int(ws.GetStyleID(c)) for c in cells], [1, 2, 1, 1, 1, 1, 1, 2])
                self.assertEqual(self.value(ws, "$C$2"), (VT_R8, 2.5))
                self.release(book)
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), before)

    def test_c_files_with_a_byte_order_mark_open(self):
        bom = b"\xef\xbb\xbf"
        spreadsheet = os.path.join(FILES, "bom.xml")
        with open(spreadsheet, "wb") as f:
            f.write(bom + b'<?xml version="1.0"?>\n<Workbook xmlns="urn:schemas-microsoft-com:'
                    b'office:spreadsheet" xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">'
                    b'<Worksheet ss:Name="B"><Table><Row><Cell><Data ss:Type="String">\xc3\xa9t'
                    b'\xc3\xa9</Data></Cell><Cell><Data ss:Type="Number">2.5</Data></Cell></Row>'
                    b'</Table></Worksheet></Workbook>')
        book = self.docs.OpenExcelFile(spreadsheet)
        ws = self.iface(book, WORKSHEET)
        self.assertEqual(self.value(ws, "$A$1"), (VT_BSTR, "\u00e9t\u00e9"))
        self.assertEqual(self.value(ws, "$B$1"), (VT_R8, 2.5))
        self.release(book)

        self.use_form(NATIVE_FORMS[0][1])
        book, ws = self.new_book()
        ws.PutValue("$C$3", bstr("kept"))
        native = os.path.join(FILES, "bom.vln")
        ws.SaveAs(native)
        self.release(book)
        with open(native, "rb") as f:
            data = f.read()
        with open(native, "wb") as f:
            f.write(bom + data)
        book, ws = self.reopened(native)
        self.assertEqual(self.value(ws, "$C$3"), (VT_BSTR, "kept"))
        self.release(book)

    def test_d_a_table_field_of_an_unknown_type_loses_no_value(self):
        info = self.docs.CreateXBaseInfo()
        xbase = self.iface(info, XBASE)
        xbase.SetXBaseFormat(DBASE4)
        xbase.SetFieldCount(2)
        xbase.SetField(0, "NAME", dbus.Byte(ord("C")), 10, 0)
        xbase.SetField(1, "ODD", dbus.Byte(ord("Z")), 10, 0)
        book, ws = self.new_book()
        ws.PutValue("$A$1", bstr("NAME"))
        ws.PutValue("$B$1", bstr("ODD"))
        ws.PutValue("$A$2", bstr("x"))
        path = os.path.join(FILES, "odd.dbf")
        # Nothing stands under the field yet: nothing is lost.
        ws.SaveAsDatabase(path, info)
        ws.PutValue("$B$2", r8(42))
        with open(path, "rb") as f:
            before = f.read()
        self.assertFails(0x8004007C, ws.SaveAsDatabase, path, info)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), before)
        xbase.SetField(1, "ODD", dbus.Byte(ord("N")), 10, 0)
        ws.SaveAsDatabase(path, info)
        self.release(book)
        back = self.docs.OpenDatabase(path, info)
        self.assertEqual(self.value(self.iface(back, WORKSHEET), "$B$2"), (VT_R8, 42.0))
        self.release(back, info)

    def test_e_an_unknown_profile_element_leaves_the_rest_read(self):
        profile = os.path.join(FILES, "later.xml")
        text = re.sub(r'<FileFormat [^/]*/>', '<FileFormat %s/>' % NATIVE_FORMS[0][1],
                      self.settings)
        text = text.replace("<AddressingA1/>", '<Later Level="2"><Inner>x</Inner><Empty/></Later>'
                            "<AddressingA1/><Odd/>")
        text = text.replace("</Profile>", "<Bookmark>Mark  -  $B$2</Bookmark><Newer/>"
                            "<RecentFile>/tmp/r.vln</RecentFile></Profile>")
        with open(profile, "w") as f:
            f.write(text)
        self.options.LoadProfile(profile)
        self.assertEqual([str(t[1]) for t in self.options.GetBookmarks()[1]], ["Mark  -  $B$2"])
        book, ws = self.new_book()
        ws.PutValue("$A$1", r8(1))  # A1 addresses still read
        self.assertEqual(self.value(ws, "$A$1"), (VT_R8, 1.0))
        self.release(book)

        # A profile that cannot be read changes nothing: the server stays in A1.
        broken = os.path.join(FILES, "broken.xml")
        with open(broken, "w") as f:
            f.write(text.replace("<AddressingA1/>", "").replace("<Opacity>100", "<Opacity>999"))
        self.assertRaises(dbus.exceptions.DBusException, self.options.LoadProfile, broken)
        self.assertEqual([str(t[1]) for t in self.options.GetBookmarks()[1]], ["Mark  -  $B$2"])
        book, ws = self.new_book()
        ws.PutValue("$B$1", r8(2))
        self.assertEqual(self.value(ws, "$B$1"), (VT_R8, 2.0))
        self.release(book)
        self.use_form(NATIVE_FORMS[0][1])

    def test_f_a_text_outside_the_code_page_is_refused_not_changed(self):
        book, ws = self.new_book()
        ws.PutValue("$A$1", bstr("\u00e9\u20ac"))  # both in the code page
        for text in ("\u5bc6", "a\u0416b", "\U0001F600"):
            self.assertFails(E_INVALIDARG, ws.PutValue, "$A$1", bstr(text))
            self.assertFails(E_INVALIDARG, ws.PutFormula, "$B$1", '="%s"' % text)
        self.assertEqual(self.value(ws, "$A$1"), (VT_BSTR, "\u00e9\u20ac"))
        self.assertEqual(self.value(ws, "$B$1")[0], VT_EMPTY)
        self.release(book)

    def test_g_an_empty_file_never_opens_as_an_empty_workbook(self):
        empty = os.path.join(FILES, "empty.vln")
        open(empty, "wb").close()
        self.assertFails(0x80040015, self.docs.Open, empty, "")
        book, ws = self.new_book()
        ws.PutValue("$A$1", bstr("mine"))
        self.assertFails(0x80040015, ws.Load, empty, "", 0, "/", "/")
        self.assertEqual(self.value(ws, "$A$1"), (VT_BSTR, "mine"))
        self.release(book)
        self.assertEqual(os.path.getsize(empty), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
