"""The limits walk over the session bus: a client in another process stores each value at the
last value taken and next to the first refused one (which changes nothing), through the
Workbook, FormatInfo, PageInfo and Options objects; saves in every native form (XML plain and
gzip, binary plain and gzip, each binary form also under a password), in the spreadsheet form,
the text form, each table form and the profile; and reads each back through another object,
as it was stored (as far as the form holds it: the text form keeps no names or formats)."""

import gzip
import os
import re
import unittest

import dbus

SERVICE = "org.vorlane.Vorlan"
ROOT = "org.vorlane.Vorlan"
WORKSHEET = "org.vorlane.IWorksheet"
TREE = "org.vorlane.ITree"
FORMAT = "org.vorlane.IFormatInfo"
PAGE = "org.vorlane.IPageInfo"
DOCS = "org.vorlane.IDocuments"
OPTIONS = "org.vorlane.IOptions"
UNKNOWN = "org.vorlane.IUnknown"
PROPS = "org.freedesktop.DBus.Properties"
FILES = os.environ["VORLANE_FILES"]
SETTINGS = os.path.join(os.environ["XDG_CONFIG_HOME"], "Vorlane", "settings.xml")
VT_R8, VT_BSTR = 5, 8
E_INVALIDARG = 0x80070057
STYLE_FONT_SIZE, STYLE_FONT_NAME, STYLE_BORDERS, STYLE_PROTECTION = 3, 4, 17, 19

# The last value each store takes; the first refused is one more.
NAME = "W" * 127
FOLDER = "\u00c4" * 127  # one byte each in the code page, two in UTF-8
TEXT = "T" * 8173
# The longest literal whose formula keeps its text result beside it in one record
# (35 + 4,074 + 2 + 4,071 = 8,182 bytes); a formula is refused past 8,147 characters.
LITERAL = "q" * 4071
FORMULA = '="%s"' % LITERAL
TOO_LONG = '="%s"' % ("q" * (8147 - 2))
FONT = "N" * 127
MARGIN = 65534.0
LOWEST, TINIEST = -1.7976931348623157e308, 4.9e-324

# The form's profile setting, and the password of a protected save (None: none).
FORMS = (
    ("xml", 'Xml="Yes" Compressed="No"', None),
    ("xml.gz", 'Xml="Yes" Compressed="Yes"', None),
    ("binary", 'Xml="No" Compressed="No"', None),
    ("binary.gz", 'Xml="No" Compressed="Yes"', None),
    ("locked", 'Xml="No" Compressed="No"', "P" * 1024),
    ("locked.gz", 'Xml="No" Compressed="Yes"', "p" * 6),
)


def var(vt, value):
    return dbus.Struct((dbus.UInt16(vt), value), signature="qv")


def texts(items):
    return dbus.Struct((dbus.Int32(0), dbus.Array([var(VT_BSTR, dbus.String(t)) for t in items],
                                                  signature="(qv)")), signature="ia(qv)")


def page_bytes(page):
    return bytes(int(v[1]) for v in page.GetData()[1])


class LimitsClient(unittest.TestCase):
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
        cls.iface(cls.app_path, UNKNOWN).Release()

    @classmethod
    def iface(cls, path, name):
        return dbus.Interface(cls.bus.get_object(SERVICE, path), name)

    def assertRefused(self, call, *args):
        with self.assertRaises(dbus.exceptions.DBusException) as caught:
            call(*args)
        self.assertEqual(caught.exception.get_dbus_name(), "%s.Error.E%08X" % (SERVICE, E_INVALIDARG))

    def use_form(self, setting):
        path = os.path.join(FILES, "form.xml")
        with open(path, "w") as f:
            f.write(re.sub(r'<FileFormat [^/]*/>', "<FileFormat %s/>" % setting, self.settings))
        self.options.LoadProfile(path)

    def format_cells(self, ws):
        info = ws.CreateFormatInfo()
        props = self.iface(info, PROPS)
        for name, last in (("fontSize", 254), ("fillType", 22), ("borderType", 9),
                           ("borderPosition", 63)):
            self.assertRefused(props.Set, FORMAT, name, dbus.Int32(last + 1))
            props.Set(FORMAT, name, dbus.Int32(last))
        self.assertRefused(props.Set, FORMAT, "fontSize", dbus.Int32(0))
        self.assertRefused(props.Set, FORMAT, "fontName", FONT + "N")
        self.assertRefused(props.Set, FORMAT, "fontName", "\u5bc6")
        props.Set(FORMAT, "fontName", FONT)
        self.assertEqual(props.Get(FORMAT, "fontName"), FONT)
        for name in ("fillPatternColor", "fillBackgroundColor", "borderColor", "fontColor"):
            props.Set(FORMAT, name, dbus.UInt32(0xFFFFFF))
        ws.format("$A$2", STYLE_FONT_SIZE, info)
        ws.format("$A$3", STYLE_FONT_NAME, info)
        ws.format("$A$4", STYLE_BORDERS, info)
        ws.format("$A$5", STYLE_PROTECTION, info)  # the interior
        self.iface(info, UNKNOWN).Release()

    def set_margins(self, ws):
        info = ws.CreatePageInfo()
        page = self.iface(info, PAGE)
        ws.GetPageSettings(info)
        page.SetMargins(MARGIN, 0.0, MARGIN, 0.0)
        ws.SetPageSettings(info)
        stored = page_bytes(page)
        page.SetMargins(MARGIN + 0.5, 0.0, MARGIN, 0.0)
        self.assertRefused(ws.SetPageSettings, info)
        ws.GetPageSettings(info)
        self.assertEqual(page_bytes(page), stored)
        self.iface(info, UNKNOWN).Release()
        return stored

    def store(self, password):
        book = self.docs.New()
        ws, tree = self.iface(book, WORKSHEET), self.iface(book, TREE)
        tree.SetItemName(0, NAME)
        self.assertRefused(tree.SetItemName, 0, NAME + "W")
        self.assertRefused(tree.SetItemName, 0, "\u5bc6\u7801")
        self.assertRefused(tree.InsertItem, -1, 2, FOLDER + "\u00c4")
        self.assertEqual(tuple(tree.InsertItem(-1, 2, FOLDER)), (0, 1))
        self.assertEqual(int(tree.GetItemCount()), 2)
        self.assertEqual(tuple(tree.GetActiveWorksheet()), (0, "\\" + NAME))
        ws.PutValue("$A$1", var(VT_BSTR, TEXT))
        self.assertRefused(ws.PutValue, "$A$1", var(VT_BSTR, TEXT + "t"))
        ws.PutFormula("$B$1", FORMULA)
        self.assertRefused(ws.PutFormula, "$B$1", TOO_LONG)
        ws.PutValue("$C$1", var(VT_R8, dbus.Double(LOWEST)))
        ws.PutValue("$D$1", var(VT_R8, dbus.Double(TINIEST)))
        ws.UpdateWorksheet()
        self.format_cells(ws)
        page = self.set_margins(ws)
        if password:
            self.assertRefused(ws.SetProtection, password[:5] if len(password) == 6 else password + "P", 0)
            ws.SetProtection(password, 0)
        return book, page

    def check(self, book, page, form, excel=False):
        ws, tree = self.iface(book, WORKSHEET), self.iface(book, TREE)
        self.assertEqual(str(tree.GetItemName(0)[1]), NAME, form)
        self.assertEqual(tuple(ws.GetValue("$A$1")), (VT_BSTR, TEXT), form)
        self.assertEqual(tuple(ws.GetFormula("$B$1")), (0, FORMULA), form)
        self.assertEqual(tuple(ws.GetValue("$B$1")), (VT_BSTR, LITERAL), form)
        self.assertEqual(tuple(ws.GetValue("$C$1")), (VT_R8, LOWEST), form)
        self.assertEqual(tuple(ws.GetValue("$D$1")), (VT_R8, TINIEST), form)
        if excel:
            return
        self.assertEqual(int(tree.GetItemCount()), 2, form)
        self.assertEqual(str(tree.GetItemName(1)[1]), FOLDER, form)
        info = ws.CreatePageInfo()
        ws.GetPageSettings(info)
        self.assertEqual(page_bytes(self.iface(info, PAGE)), page, form)
        self.iface(info, UNKNOWN).Release()

    def export(self, book, name):
        """The spreadsheet form of a workbook: what its formats and values write there."""
        path = os.path.join(FILES, name)
        self.iface(book, WORKSHEET).SaveAsExcelFile(path)
        with open(path, "rb") as f:
            return f.read()

    def test_every_native_form_gives_back_what_the_client_stored(self):
        for form, setting, password in FORMS:
            with self.subTest(form=form):
                self.use_form(setting)
                book, page = self.store(password)
                path = os.path.join(FILES, "walk." + form)
                self.iface(book, WORKSHEET).SaveAs(path)
                stored = self.export(book, "stored-%s.xml" % form)
                self.iface(book, UNKNOWN).Release()  # lets the file go
                if form.startswith("xml"):
                    with (gzip.open if form.endswith("gz") else open)(path, "rb") as f:
                        text = f.read().decode()
                    for part in ('Name="%s"' % FONT, 'Size="254"', 'Style="Double"',
                                 'PatternType="HorzSymGradient"'):
                        self.assertIn(part, text)
                back = self.docs.Open(path, password or "")
                self.check(back, page, form)
                self.assertEqual(self.export(back, "back-%s.xml" % form), stored, form)
                self.iface(back, UNKNOWN).Release()

    def test_the_spreadsheet_form_gives_back_the_values(self):
        self.use_form('Xml="Yes" Compressed="No"')
        book, page = self.store(None)
        path = os.path.join(FILES, "walk.spreadsheet.xml")
        self.iface(book, WORKSHEET).SaveAsExcelFile(path)
        self.iface(book, UNKNOWN).Release()
        back = self.docs.OpenExcelFile(path)
        self.check(back, page, "spreadsheet", excel=True)
        self.iface(back, UNKNOWN).Release()

    def test_every_table_form_gives_back_its_field_and_text(self):
        # dBase III, dBase IV, FoxPro and Clipper; the last two split longer text fields, up
        # to what a record of 64K holds with its deletion flag.
        for form, field, longest in ((3, 255, 255), (4, 255, 255), (5, 65535, 65532),
                                     (6, 65535, 65532)):
            with self.subTest(form=form):
                info = self.docs.CreateXBaseInfo()
                xbase = self.iface(info, "org.vorlane.IXBaseInfo")
                xbase.SetXBaseFormat(form)
                xbase.SetFieldCount(1)
                for name, length in (("F" * 11, 10), ("\u5bc6", 10), ("F" * 10, field + 1)):
                    self.assertRefused(xbase.SetField, 0, name, dbus.Byte(ord("C")), length, 0)
                xbase.SetField(0, "F" * 10, dbus.Byte(ord("C")), longest, 0)
                book = self.docs.New()
                ws = self.iface(book, WORKSHEET)
                ws.PutValue("$A$1", var(VT_BSTR, "F" * 10))
                text = ("\u00e9" * longest)[:8173]
                ws.PutValue("$A$2", var(VT_BSTR, text))
                path = os.path.join(FILES, "walk%d.dbf" % form)
                if longest < field:  # one more would not fit the record
                    xbase.SetField(0, "F" * 10, dbus.Byte(ord("C")), longest + 1, 0)
                    with self.assertRaises(dbus.exceptions.DBusException) as caught:
                        ws.SaveAsDatabase(path, info)
                    self.assertEqual(caught.exception.get_dbus_name(), SERVICE + ".Error.E8004003D")
                    self.assertFalse(os.path.exists(path))
                    xbase.SetField(0, "F" * 10, dbus.Byte(ord("C")), longest, 0)
                ws.SaveAsDatabase(path, info)
                self.iface(book, UNKNOWN).Release()
                back = self.docs.OpenDatabase(path, info)
                self.assertEqual(tuple(self.iface(back, WORKSHEET).GetValue("$A$2")), (VT_BSTR, text))
                self.assertEqual(str(xbase.GetField(0)[0]), "F" * 10)
                self.iface(back, UNKNOWN).Release()
                self.iface(info, UNKNOWN).Release()

    def test_the_text_form_gives_back_what_it_holds(self):
        book, page = self.store(None)
        info = self.docs.CreateTextFileInfo()
        path = os.path.join(FILES, "walk.csv")
        self.iface(book, WORKSHEET).SaveAsTextFile(path, info)
        self.iface(book, UNKNOWN).Release()
        back = self.iface(self.docs.OpenTextFile(path, info), WORKSHEET)
        self.assertEqual(tuple(back.GetValue("$A$1")), (VT_BSTR, TEXT))
        self.assertEqual(tuple(back.GetValue("$B$1")), (VT_BSTR, LITERAL))
        self.assertEqual(tuple(back.GetValue("$D$1")), (VT_R8, TINIEST))

    def test_the_profile_gives_back_the_lists(self):
        style = "n" * 49 + ", " + "0" * 49  # name and format text at their 49 characters
        bookmark = "b" * 255  # as the Add Bookmark command and the settings file take
        self.assertRefused(self.options.SetStyles, texts(["n" * 50 + ", 0"]))
        self.assertRefused(self.options.SetStyles, texts(["n, " + "0" * 50]))
        self.assertRefused(self.options.SetBookmarks, texts([bookmark + "b"]))
        self.assertRefused(self.options.SetBookmarks, texts(["\u5bc6"]))
        self.assertRefused(self.options.SetStyles, texts(["\u5bc6, 0"]))
        self.options.SetStyles(texts([style, "Money, #,##0.00"]))
        self.options.SetBookmarks(texts([bookmark, "\u00e9t\u00e9"]))
        path = os.path.join(FILES, "walk-profile.xml")
        self.options.SaveProfile(path)
        self.options.SetStyles(texts([]))
        self.options.SetBookmarks(texts([]))
        self.options.LoadProfile(path)
        self.assertEqual([str(v[1]) for v in self.options.GetStyles()[1]], [style, "Money, #,##0.00"])
        self.assertEqual([str(v[1]) for v in self.options.GetBookmarks()[1]], [bookmark, "\u00e9t\u00e9"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
