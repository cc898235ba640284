// A file is read as what its bytes are: a native workbook or an Excel 2003 XML spreadsheet
// whatever its name; anything else as the form its name or the user chose.
#include "exchange/foreignfile.h"
#include "tests/exchange/exchangetestutil.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

TEST(FileForm, TheBytesChooseBeforeTheName) {
    const std::string ns = "urn:schemas-microsoft-com:office:spreadsheet";
    const struct {
        const char* what;
        std::string bytes;
        uint8_t named, form;
    } cases[] = {
        {"native XML", "<?xml version=\"1.0\"?>\r\n\r\n<Workbook>\r\n", kFileText, kFileNative},
        {"native XML, signature", "\xEF\xBB\xBF<?xml version=\"1.0\"?><Workbook>", kFileDBase4,
         kFileNative},
        {"native XML after a comment", "<?xml version=\"1.0\"?><!-- <x> --><Workbook >",
         kFileExcelXml, kFileNative},
        {"spreadsheet",
         "<?xml version=\"1.0\"?><?mso-application progid=\"x\"?>\n<Workbook "
         "xmlns=\"" +
             ns + "\">",
         kFileText, kFileExcelXml},
        {"spreadsheet, prefixed", "<?xml version=\"1.0\"?><ss:Workbook xmlns:ss=\"" + ns + "\">",
         kFileNative, kFileExcelXml},
        {"spreadsheet, line break", "<?xml version=\"1.0\"?><Workbook\r\n xmlns=\"" + ns + "\">",
         kFileText, kFileExcelXml},
        {"spreadsheet, tab", "<?xml version=\"1.0\"?><Workbook\txmlns=\"" + ns + "\">", kFileText,
         kFileExcelXml},
        {"spreadsheet, line feed", "<?xml version=\"1.0\"?><Workbook\nxmlns=\"" + ns + "\">",
         kFileText, kFileExcelXml},
        {"native, empty", "<?xml version=\"1.0\"?><Workbook/>", kFileText, kFileNative},
        {"another root", "<?xml version=\"1.0\"?><Workbooks>", kFileText, kFileText},
        {"another document", "<?xml version=\"1.0\"?><html><Workbook>", kFileText, kFileText},
        {"an unclosed declaration", "<?xml version=\"1.0\"", kFileText, kFileText},
        {"binary", std::string("31000000000\x01\x02", 13), kFileText, kFileNative},
        {"phone numbers", "31612345678,5\r\n31612345679,6", kFileText, kFileText},
        {"digits then text", "3100000000x\x01", kFileText, kFileText},
        {"version 4 digits", std::string("41000000000\x01", 12), kFileText, kFileText},
        {"version 0 digits", std::string("01000000000\x01", 12), kFileText, kFileText},
        {"digits alone", "31000000000", kFileText, kFileText},
        {"version 6", "Vorlane6000\x01", kFileDBase3, kFileNative},
        {"text", "a,b\r\n1,2", kFileText, kFileText},
        {"empty", "", kFileExcelXml, kFileExcelXml},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        const std::string path = dir.Path("f.csv");
        WriteFile(path, c.bytes);
        auto book = OpenForImport(path);
        EXPECT_EQ(FormOfFileBytes(book->stream, c.named), c.form) << c.what;
        // The readers find the stream at its start.
        char first = 0;
        EXPECT_EQ(book->stream.Read(&first, 1), c.bytes.empty() ? 0 : 1) << c.what;
        if (!c.bytes.empty()) {
            EXPECT_EQ(first, c.bytes[0]) << c.what;
        }
    }
}

} // namespace
} // namespace vl
