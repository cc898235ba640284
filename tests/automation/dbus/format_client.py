"""A client in another process drives the Application, FormatInfo and PageInfo objects over
the session bus: documents opened and made, formats applied, page settings read and written,
options edited, and a profile loaded from another file that the ending server writes back."""

import os
import shutil
import time
import unittest

import dbus

SERVICE = "org.vorlane.Vorlan"
ROOT = "org.vorlane.Vorlan"
WORKSHEET = "org.vorlane.IWorksheet"
FORMAT = "org.vorlane.IFormatInfo"
PAGE = "org.vorlane.IPageInfo"
DOCS = "org.vorlane.IDocuments"
OPTIONS = "org.vorlane.IOptions"
UNKNOWN = "org.vorlane.IUnknown"
PROPS = "org.freedesktop.DBus.Properties"
FILES = os.environ["VORLANE_FILES"]
VT_R8, VT_BSTR, VT_UI1 = 5, 8, 17
E_INVALIDARG, E_FAIL = 0x80070057, 0x80004005


def var(vt, value):
    return dbus.Struct((dbus.UInt16(vt), value), signature="qv")


def texts(items, lower=0):
    return dbus.Struct((dbus.Int32(lower), dbus.Array([var(VT_BSTR, dbus.String(t)) for t in items],
                                                      signature="(qv)")), signature="ia(qv)")


def byte_list(data, lower=0):
    return dbus.Struct((dbus.Int32(lower), dbus.Array([var(VT_UI1, dbus.Byte(b)) for b in data],
                                                      signature="(qv)")), signature="ia(qv)")


class FormatClient(unittest.TestCase):
    bus = None

    @classmethod
    def setUpClass(cls):
        cls.bus = dbus.SessionBus()
        root = cls.bus.get_object(SERVICE, "/")
        cls.app_path = root.CreateObject("Vorlan.Application", dbus_interface=ROOT)
        app = cls.bus.get_object(SERVICE, cls.app_path)
        cls.docs = dbus.Interface(app, DOCS)
        cls.options = dbus.Interface(app, OPTIONS)
        cls.app_props = dbus.Interface(app, PROPS)

    def iface(self, path, name):
        return dbus.Interface(self.bus.get_object(SERVICE, path), name)

    def assertFails(self, hresult, call, *args):
        with self.assertRaises(dbus.exceptions.DBusException) as caught:
            call(*args)
        self.assertEqual(caught.exception.get_dbus_name(), "org.vorlane.Vorlan.Error.E%08X" % hresult)
        return caught.exception

    def release(self, *paths):
        for p in paths:
            self.iface(p, UNKNOWN).Release()

    def test_a_every_class_by_progid(self):
        root = self.bus.get_object(SERVICE, "/")
        for progid in ("Vorlan.FormatInfo", "Vorlan.PageInfo.1", "Vorlan.Application.7"):
            path = root.CreateObject(progid, dbus_interface=ROOT)
            self.release(path)
        self.assertEqual(self.app_props.Get(DOCS, "Options"), self.app_path)
        self.app_props.Set(DOCS, "Options", dbus.ObjectPath(self.app_path))

    def test_b_documents(self):
        e = self.assertFails(0x80040022, self.docs.Open, os.path.join(FILES, "missing.vln"), "")
        self.assertNotIn("/Workbook/", e.get_dbus_message() or "")
        book = self.docs.New()
        ws = self.iface(book, WORKSHEET)
        ws.PutValue("$A$1", var(VT_R8, dbus.Double(3)))
        path = os.path.join(FILES, "made.xml")
        ws.SaveAsExcelFile(path)
        self.release(book)  # its save holds the file
        again = self.docs.OpenExcelFile(path)
        self.assertEqual(tuple(self.iface(again, WORKSHEET).GetValue("$A$1")), (VT_R8, 3.0))
        xbase = self.docs.CreateXBaseInfo()
        self.iface(xbase, "org.vorlane.IXBaseInfo").SetXBaseFormat(7)
        self.assertFails(E_INVALIDARG, self.docs.OpenDatabase, os.path.join(FILES, "t.dbf"), xbase)
        text = self.docs.CreateTextFileInfo()
        with open(os.path.join(FILES, "a.csv"), "w") as f:
            f.write("1,2\n")
        csv = self.docs.OpenTextFile(os.path.join(FILES, "a.csv"), text)
        self.assertEqual(tuple(self.iface(csv, WORKSHEET).GetValue("$B$1")), (VT_R8, 2.0))
        self.release(again, xbase, text, csv)

    def test_c_format(self):
        book = self.docs.New()
        ws = self.iface(book, WORKSHEET)
        info = ws.CreateFormatInfo()
        props = self.iface(info, PROPS)
        self.assertFails(E_INVALIDARG, props.Set, FORMAT, "fontSize", dbus.Int32(255))
        props.Set(FORMAT, "fontSize", dbus.Int32(254))
        self.assertEqual(int(props.Get(FORMAT, "fontSize")), 254)
        self.assertFails(E_INVALIDARG, props.Set, FORMAT, "fontName", "x" * 128)
        props.Set(FORMAT, "fillType", dbus.Int32(4))
        self.assertEqual(int(props.Get(FORMAT, "fillPatternColor")), 0)
        props.Set(FORMAT, "fillType", dbus.Int32(1))
        self.assertEqual(int(props.Get(FORMAT, "fillPatternColor")), 0xFFFFFF)
        self.assertFails(E_INVALIDARG, props.Set, FORMAT, "fillType", dbus.Int32(23))
        for name, value in (("boldFont", 1), ("italicFont", 1), ("underlineFont", 1),
                            ("strikeoutFont", 1), ("styleID", 2), ("borderType", 9),
                            ("borderPosition", 15)):
            props.Set(FORMAT, name, dbus.Int32(value))
            self.assertEqual(int(props.Get(FORMAT, name)), value)
        for name in ("fontColor", "fillPatternColor", "fillBackgroundColor", "borderColor"):
            props.Set(FORMAT, name, dbus.UInt32(0x102030))
            self.assertEqual(int(props.Get(FORMAT, name)), 0x102030)
        props.Set(FORMAT, "fontName", "Serif")
        self.assertEqual(props.Get(FORMAT, "fontName"), "Serif")
        ws.format("$A$1:$B$2", 6, info)
        self.assertNotEqual(int(ws.GetStyleID("$A$1")), 0)
        self.assertFails(E_INVALIDARG, ws.format, "A1", 6, info)
        self.assertFails(E_INVALIDARG, ws.format, "$A$1", 6, book)
        self.release(info, book)

    def test_d_pages(self):
        book = self.docs.New()
        ws = self.iface(book, WORKSHEET)
        info = ws.CreatePageInfo()
        page = self.iface(info, PAGE)
        page.SetMargins(10, 20, 30, 40)
        self.assertEqual([float(x) for x in page.GetMargins()], [10, 20, 30, 40])
        ws.GetPageSettings(info)
        lower, data = page.GetData()
        self.assertEqual((int(lower), len(data)), (0, 1152))
        before = bytes(int(v[1]) for v in data)
        ws.SetPageSettings(info)
        ws.GetPageSettings(info)
        self.assertEqual(bytes(int(v[1]) for v in page.GetData()[1]), before)
        self.assertFails(E_FAIL, page.SetData, byte_list(before[:1151]))
        bad = bytearray(before)
        bad[1136] = 0  # no pages per sheet
        page.SetData(byte_list(bad))
        self.assertFails(E_INVALIDARG, ws.SetPageSettings, info)
        self.assertFails(E_INVALIDARG, ws.SetPageSettings, book)
        self.assertFails(E_INVALIDARG, ws.GetPageSettings, book)
        self.release(info, book)

    def test_e_options(self):
        self.options.SetStyles(texts(["Money,  #,##0.00"]))
        lower, items = self.options.GetStyles()
        self.assertEqual([str(v[1]) for v in items], ["Money, #,##0.00"])
        self.options.SetStyles(texts([]))
        self.assertEqual(len(self.options.GetStyles()[1]), 0)
        self.options.SetBookmarks(texts(["kept"]))
        self.options.SetStyles(texts(["Kept, 0.0"]))
        self.assertFails(E_INVALIDARG, self.options.SetBookmarks, texts(["x"], 50))
        self.assertFails(E_INVALIDARG, self.options.SetStyles, texts(["n" * 50 + ",f"]))
        # A refused element refuses the whole list: the one before it is not taken either.
        self.assertFails(E_INVALIDARG, self.options.SetBookmarks, texts(["first", "b" * 256]))
        self.assertFails(E_INVALIDARG, self.options.SetStyles, texts(["First, 0", "\u5bc6, 0"]))
        self.assertEqual([str(v[1]) for v in self.options.GetBookmarks()[1]], ["kept"])
        self.assertEqual([str(v[1]) for v in self.options.GetStyles()[1]], ["Kept, 0.0"])
        self.options.SetStyles(texts([]))

    def test_f_profiles(self):
        source = os.path.join(os.environ["XDG_CONFIG_HOME"], "Vorlane", "settings.xml")
        with open(source) as f:
            text = f.read()
        bad = os.path.join(FILES, "bad.xml")
        with open(bad, "w") as f:
            f.write(text.replace('MD5="" ', ""))
        e = self.assertFails(0x8004003A, self.options.LoadProfile, bad)
        self.assertEqual(e.get_dbus_message(), "A required attribute is missing")
        saved = os.path.join(FILES, "saved.xml")
        self.options.SaveProfile(saved)
        with open(saved) as f:
            self.assertIn("<Profile", f.read())
        self.assertFails(0x80040022, self.options.LoadProfile, os.path.join(FILES, "none.xml"))
        other = os.path.join(FILES, "other.xml")
        shutil.copy(source, other)
        self.options.LoadProfile(other)
        self.options.SetBookmarks(texts(["written at the end"]))

    def test_zz_the_ending_server_writes_the_other_profile(self):
        self.release(self.app_path)
        deadline = time.monotonic() + 30
        while self.bus.name_has_owner(SERVICE) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertFalse(self.bus.name_has_owner(SERVICE))
        # The server gives its name up before it writes the settings: wait for the file.
        text = ""
        while time.monotonic() < deadline:
            with open(os.path.join(FILES, "other.xml")) as f:
                text = f.read()
            if "written at the end" in text:
                break
            time.sleep(0.2)
        self.assertIn("written at the end", text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
