"""A client in another process prints Workbook objects over the session bus on the built-in
PDF printer, which writes into the user's documents folder: the success code of each print
method, the pages and paper of the files, and the refusals."""

import glob
import os
import re
import subprocess
import unittest

import dbus

SERVICE = "org.vorlane.Vorlan"
ROOT = "org.vorlane.Vorlan"
WORKSHEET = "org.vorlane.IWorksheet"
PAGE = "org.vorlane.IPageInfo"
UNKNOWN = "org.vorlane.IUnknown"
PDFS = os.environ["VORLANE_PDFS"]
VT_R8, VT_UI1 = 5, 17
S_OK, S_FALSE, E_INVALIDARG = 0, 1, 0x80070057
ROWS_PER_PAGE = 51  # default rows on an A4 page with the default page setup


def var(vt, value):
    return dbus.Struct((dbus.UInt16(vt), value), signature="qv")


def byte_list(data):
    return dbus.Struct((dbus.Int32(0), dbus.Array([var(VT_UI1, dbus.Byte(b)) for b in data],
                                                  signature="(qv)")), signature="ia(qv)")


def pdf_info(path):
    return subprocess.run(["pdfinfo", "-box", path], check=True, capture_output=True,
                          text=True).stdout


class PrintClient(unittest.TestCase):
    bus = None

    @classmethod
    def setUpClass(cls):
        cls.bus = dbus.SessionBus()
        cls.root = cls.bus.get_object(SERVICE, "/")

    def setUp(self):
        for f in glob.glob(os.path.join(PDFS, "*.pdf")):
            os.remove(f)
        self.book = self.root.CreateObject("Vorlan.Workbook", dbus_interface=ROOT)
        self.ws = self.iface(self.book, WORKSHEET)
        self.ws.NewDocument()

    def tearDown(self):
        self.iface(self.book, UNKNOWN).Release()

    def iface(self, path, name):
        return dbus.Interface(self.bus.get_object(SERVICE, path), name)

    def assertFails(self, hresult, call, *args):
        with self.assertRaises(dbus.exceptions.DBusException) as caught:
            call(*args)
        self.assertEqual(caught.exception.get_dbus_name(), "org.vorlane.Vorlan.Error.E%08X" % hresult)

    def printed(self):
        """The pages of the one file printing left, which is removed; 0 when there is none."""
        files = glob.glob(os.path.join(PDFS, "*.pdf"))
        self.assertLessEqual(len(files), 1, files)
        if not files:
            return 0
        pages = int(re.search(r"Pages:\s+(\d+)", pdf_info(files[0])).group(1))
        os.remove(files[0])
        return pages

    def fill(self, rows):
        for row in range(1, rows + 1):
            self.ws.PutValue("$A$%d" % row, var(VT_R8, dbus.Double(row)))

    def page_record(self):
        info = self.ws.CreatePageInfo()
        self.ws.GetPageSettings(info)
        data = bytearray(int(v[1]) for v in self.iface(info, PAGE).GetData()[1])
        return info, data

    def test_a_selections(self):
        self.assertEqual(int(self.ws.PrintAll()), S_OK)
        self.assertEqual(self.printed(), 1)  # an empty worksheet prints one page
        self.fill(10 * ROWS_PER_PAGE)
        self.assertEqual(int(self.ws.PrintAll()), S_OK)
        self.assertEqual(self.printed(), 10)
        self.assertEqual(int(self.ws.PrintPages("2-3")), S_OK)
        self.assertEqual(self.printed(), 2)
        self.assertEqual(int(self.ws.PrintPages("12")), S_FALSE)
        self.assertEqual(self.printed(), 0)
        self.assertEqual(int(self.ws.PrintRange("$A$1:$B$2")), S_OK)
        self.assertEqual(self.printed(), 1)
        info, data = self.page_record()
        self.assertEqual(data[260], 1)  # a cell range, not a selection to resolve
        self.iface(info, UNKNOWN).Release()
        self.assertFails(E_INVALIDARG, self.ws.PrintRange, "B3")
        self.assertEqual(int(self.ws.PrintContainer(dbus.Int32(4))), S_FALSE)
        self.assertEqual(self.printed(), 0)

    def test_b_page_setup(self):
        self.fill(5 * ROWS_PER_PAGE)
        info, data = self.page_record()
        data[1:4] = b"PDF"  # the printer named in the page setup
        data[1136] = data[1137] = 2  # 2 x 2 pages on a sheet
        self.iface(info, PAGE).SetData(byte_list(data))
        self.ws.SetPageSettings(info)
        self.assertEqual(int(self.ws.PrintAll()), S_OK)
        self.assertEqual(self.printed(), 2)  # 5 pages
        data[257] = 1  # landscape
        self.iface(info, PAGE).SetData(byte_list(data))
        self.ws.SetPageSettings(info)
        self.assertEqual(int(self.ws.PrintAll()), S_OK)
        [path] = glob.glob(os.path.join(PDFS, "*.pdf"))
        box = re.search(r"MediaBox:\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)", pdf_info(path))
        x0, y0, x1, y1 = (float(v) for v in box.groups())
        self.assertEqual((round(x1 - x0), round(y1 - y0)), (842, 595))
        os.remove(path)
        data[1:4] = b"XYZ"  # a printer nobody knows
        self.iface(info, PAGE).SetData(byte_list(data))
        self.ws.SetPageSettings(info)
        self.assertEqual(int(self.ws.PrintAll()), S_FALSE)
        self.assertEqual(self.printed(), 0)
        self.iface(info, UNKNOWN).Release()


if __name__ == "__main__":
    unittest.main(verbosity=2)
