// Excel 2003 XML through the Workbook object: Load format 2, SaveAsExcelFile, and Save
// writing the same form again; rows measured through the installed document services.

#include "automation/documentservices.h"
#include "automation/typelib.h"
#include "automationtestutil.h"
#include "formula/celltext.h"
#include "model/cellrecord.h"
#include "model/cellstyle.h"
#include "platform/core/errorcode.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vl {

namespace {

// Records what the automation objects asked to be fitted.
class CServicesDouble : public IDocumentServices {
public:
    void AutoFitRows(CWorkbook&, CWorksheet& sheet, uint32_t first, uint32_t last) override {
        fitted.push_back(std::string(sheet.name) + ":" + std::to_string(first) + "-" +
                         std::to_string(last));
    }
    // These tests export no images.
    bool SaveRangeAsImage(CWorkbook&, const char*, const CellRange&, const char*, double) override {
        return false;
    }
    bool SaveContainerAsImage(CWorkbook&, const char*, uint16_t, const char*, double) override {
        return false;
    }
    std::vector<std::string> fitted;
};

class ExcelFilesTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        SetDocumentServices(&services);
        NewDocument();
        PutNumber("$A$1", 6);
        ASSERT_EQ(obj->PutValue("$B$2", CVariant::Bstr("text & more")), S_OK);
        ASSERT_EQ(obj->PutFormula("$C$3", "=A1*7"), S_OK);
        ASSERT_EQ(obj->UpdateWorksheet(), S_OK);
    }
    void TearDown() override {
        SetDocumentServices(nullptr);
        AutomationTest::TearDown();
    }
    std::shared_ptr<CWorkbookObj> Loaded(const std::string& path, HRESULT expected = S_OK) {
        std::shared_ptr<CWorkbookObj> other;
        EXPECT_EQ(CWorkbookObj::Create(other), S_OK);
        EXPECT_EQ(other->Load(CBstr(path), CBstr(), 2, nullptr, nullptr), expected);
        return other;
    }
    // A spreadsheet file of that body, written and loaded as a user opens it.
    std::shared_ptr<CWorkbookObj>
    Opened(const std::string& body, HRESULT expected,
           const std::string& declaration = "<?xml version=\"1.0\"?>") {
        const std::string path = folder.Path("other.xml");
        const std::string file = declaration +
                                 "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                                 "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">" +
                                 body + "</Workbook>";
        tempfiles::WriteBytes(path, std::vector<uint8_t>(file.begin(), file.end()));
        return Loaded(path, expected);
    }
    // The text a cell of the active worksheet shows in its number format.
    static std::string Shown(CWorkbookObj& book, uint32_t row, uint16_t column) {
        return autotest::ShownText(book.Document(), *book.Document().tree.active, row, column);
    }
    static int32_t ItemCountOf(CWorkbookObj& book) {
        int32_t count = -1;
        book.GetItemCount(count);
        return count;
    }
    static std::string Text(CWorkbookObj& book, const char* ref) {
        CVariant v;
        EXPECT_EQ(book.GetValue(ref, v), S_OK);
        return v.vt == VT_BSTR ? v.text : std::to_string(v.real);
    }
    CServicesDouble services;
};

TEST_F(ExcelFilesTest, SaveAsExcelFileLoadsBackAndSaveKeepsTheForm) {
    const std::string path = folder.Path("book.xml");
    ASSERT_EQ(obj->SaveAsExcelFile(CBstr(path)), S_OK);
    EXPECT_EQ(Doc().fileFamily, kFileExcelXml);
    // Save writes the same form again, into the same file.
    PutNumber("$A$1", 8);
    ASSERT_EQ(obj->UpdateWorksheet(), S_OK);
    ASSERT_EQ(obj->Save(), S_OK);
    const std::vector<uint8_t> bytes = tempfiles::ReadBytes(path);
    ASSERT_GE(bytes.size(), 5u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "<?xml");
    Doc().stream.Close();
    services.fitted.clear();
    auto other = Loaded(path);
    EXPECT_EQ(Text(*other, "$A$1"), std::to_string(8.0));
    EXPECT_EQ(Text(*other, "$B$2"), "text & more");
    EXPECT_EQ(Text(*other, "$C$3"), std::to_string(56.0));
    EXPECT_EQ(other->Document().fileFamily, kFileExcelXml);
    EXPECT_EQ(services.fitted, (std::vector<std::string>{"Worksheet1:0-2"}));
    // SaveAs writes the native form, whatever the document was loaded as.
    const std::string native = folder.Path("native.vln");
    ASSERT_EQ(other->SaveAs(CBstr(native)), S_OK);
    EXPECT_EQ(other->Document().fileFamily, kFileNative);
    const std::vector<uint8_t> written = tempfiles::ReadBytes(native);
    EXPECT_EQ(std::string(written.begin(), written.end()).find("urn:schemas"), std::string::npos);
}

TEST_F(ExcelFilesTest, BadFilesReportTheirCodeAndLine) {
    const std::string path = folder.Path("bad.xml");
    const std::string bad =
        "<?xml version=\"1.0\"?>\n<Workbook "
        "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">\n<Worksheet ss:Name=\"A\">"
        "<Table><Column ss:Width=\"wide\"/></Table></Worksheet></Workbook>";
    tempfiles::WriteBytes(path, std::vector<uint8_t>(bad.begin(), bad.end()));
    auto failed = Loaded(path, HRESULT(0x8004003B));
    EXPECT_EQ(TakenMessage(), "Invalid xml element data (c_data)\nLine: 3");
    // A failed load keeps the object's document as it was.
    int32_t count = -1;
    EXPECT_EQ(failed->GetItemCount(count), S_OK);
    EXPECT_EQ(count, 0);
    Loaded(folder.Path("missing.xml"), HRESULT(0x80040022));
}

// A native workbook under a ".xml" name asked as a spreadsheet opens as the workbook it is, as
// the window opens it, in every form; a native file that begins with its styles, a folder or
// a worksheet goes to the native reader too, which reads it or fails with its own code, the
// object keeping its document and the file untouched. A text asked as a spreadsheet is none.
TEST_F(ExcelFilesTest, ANativeWorkbookUnderASpreadsheetNameOpensAsTheWorkbook) {
    for (const uint8_t form :
         {kFormatXml, kFormatXmlCompressed, kFormatBinary, kFormatBinaryCompressed}) {
        const std::string path = folder.Path("native" + std::to_string(form) + ".xml");
        Doc().fileKind = form;
        ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << int(form);
        Doc().stream.Close();
        auto other = Loaded(path, S_OK);
        EXPECT_EQ(TakenMessage(), "<none>") << int(form);
        EXPECT_EQ(other->Document().fileFamily, kFileNative) << int(form);
        EXPECT_EQ(other->Document().fileKind, form) << int(form);
        EXPECT_EQ(Text(*other, "$B$2"), "text & more") << int(form);
        other->Document().stream.Close();
        // Its own reader opens it the same.
        std::shared_ptr<CWorkbookObj> native;
        ASSERT_EQ(CWorkbookObj::Create(native), S_OK);
        ASSERT_EQ(native->Load(CBstr(path), CBstr(), 0, nullptr, nullptr), S_OK) << int(form);
        EXPECT_EQ(Text(*native, "$B$2"), "text & more");
    }
    const struct {
        const char* body;
        HRESULT result;
        const char* message;
    } natives[] = {
        {"<Styles><Font ID=\"1\" Name=\"Arial\" Size=\"10\"/></Styles><Worksheet Name=\"Sheet\"/>",
         S_OK, "<none>"},
        {"<Folder Name=\"F\"><Worksheet Name=\"Sheet\"/></Folder>", HRESULT(0x80040038),
         "An unexpected xml element\nLine: 2"},
        {"<Worksheet Name=\"Sheet\"><Cells><Cell Col=\"1\" Row=\"1\"><N>5</N></Cell></Cells>"
         "</Worksheet>",
         HRESULT(0x8004003A), "A required attribute is missing\nLine: 2"},
    };
    for (const auto& native : natives) {
        const std::string path = folder.Path("bare.xml");
        const std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook>" +
                                 std::string(native.body) + "</Workbook>";
        tempfiles::WriteBytes(path, std::vector<uint8_t>(file.begin(), file.end()));
        auto other = Loaded(path, native.result);
        EXPECT_EQ(TakenMessage(), native.message) << native.body;
        EXPECT_EQ(other->Document().fileFamily, kFileNative) << native.body;
        int32_t count = -1;
        EXPECT_EQ(other->GetItemCount(count), S_OK);
        EXPECT_EQ(count, native.result == S_OK ? 1 : 0) << native.body;
        if (native.result != S_OK) {
            EXPECT_EQ(other->Save(), S_FALSE) << native.body; // nothing to save over the file
        }
        other->Document().stream.Close();
        EXPECT_EQ(tempfiles::ReadBytes(path), std::vector<uint8_t>(file.begin(), file.end()));
    }
    const std::string text = folder.Path("text.xml");
    tempfiles::WriteBytes(text, {'h', 'e', 'l', 'l', 'o'});
    Loaded(text, HRESULT(0x80040038));
    EXPECT_EQ(TakenMessage(), "An unexpected xml element\nLine: 1");
}

// Files other writers make open as they mean them: the default style beside one named "s1",
// the active worksheet counted from 0, the encoding's name in any spelling, properties longer
// than the workbook keeps (kept cut, the cut named), and a formula whose result is the empty
// text.
TEST_F(ExcelFilesTest, OtherWritersFilesOpenAsTheyMeanThem) {
    const std::string styles =
        "<Styles><Style ss:ID=\"Default\"><NumberFormat ss:Format=\"0.000\"/></Style>"
        "<Style ss:ID=\"s1\"><NumberFormat ss:Format=\"0.0%\"/></Style>"
        "<Style ss:ID=\"s21\"><NumberFormat ss:Format=\"Currency\"/></Style></Styles>";
    auto styled =
        Opened(styles + "<Worksheet ss:Name=\"A\"><Table><Row><Cell><Data ss:Type=\"Number\">"
                        "1.5</Data></Cell><Cell ss:StyleID=\"s1\"><Data ss:Type=\"Number\">0.5"
                        "</Data></Cell></Row></Table></Worksheet>",
               S_OK);
    EXPECT_EQ(Shown(*styled, 0, 0), "1.500");
    EXPECT_EQ(Shown(*styled, 0, 1), "50.0%");

    const std::string sheets = "<Worksheet ss:Name=\"A\"/><Worksheet ss:Name=\"B\"/>";
    struct Active {
        const char* value;
        const char* active;
    } const actives[] = {{"0", "\\A"}, {"1", "\\B"}, {"2", "\\A"}, {"-1", "\\A"}};
    for (const Active& a : actives) {
        auto book = Opened("<ExcelWorkbook><ActiveSheet>" + std::string(a.value) +
                               "</ActiveSheet></ExcelWorkbook>" + sheets,
                           S_OK);
        CBstr path;
        EXPECT_EQ(book->GetActiveWorksheet(path), S_OK) << a.value;
        EXPECT_EQ(std::string(path.Utf8()), a.active) << a.value;
    }

    const std::string cafe =
        "<Worksheet ss:Name=\"A\"><Table><Row><Cell><Data ss:Type=\"String\">caf\xC3\xA9</Data>"
        "</Cell></Row></Table></Worksheet>";
    for (const char* name : {"UTF-8", "utf-8", "Utf-8", "utf8", "UTF8"}) {
        auto book =
            Opened(cafe, S_OK, "<?xml version=\"1.0\" encoding=\"" + std::string(name) + "\"?>");
        EXPECT_EQ(Text(*book, "$A$1"), "caf\xC3\xA9") << name; // UTF-8 over automation
    }
    // A code page's name takes the bytes as they are.
    auto ansi = Opened(cafe, S_OK, "<?xml version=\"1.0\" encoding=\"windows-1252\"?>");
    EXPECT_EQ(Text(*ansi, "$A$1"), "caf\xC3\x83\xC2\xA9");

    ClearErrorInfo();
    auto cut = Opened("<DocumentProperties><Author>" + std::string(128, 'a') +
                          "</Author><Company>" + std::string(2000, 'c') + "</Company><Version>" +
                          std::string(127, 'v') + "</Version></DocumentProperties>" + sheets,
                      S_FALSE);
    EXPECT_EQ(TakenMessage(), std::string(GetErrorMessage(kErrorPropertiesCut)) + " 2");
    EXPECT_EQ(std::string(cut->Document().properties.author), std::string(127, 'a'));
    EXPECT_EQ(std::string(cut->Document().properties.company), std::string(127, 'c'));
    EXPECT_EQ(std::string(cut->Document().properties.version), std::string(127, 'v'));
    EXPECT_EQ(ItemCountOf(*cut), 2);

    auto empty = Opened("<Worksheet ss:Name=\"A\"><Table><Row><Cell ss:Formula=\"=IF(1&gt;2,"
                        "&quot;x&quot;,&quot;&quot;)\"><Data ss:Type=\"String\"></Data></Cell>"
                        "</Row></Table></Worksheet>",
                        S_OK);
    CVariant v;
    ASSERT_EQ(empty->GetValue("$A$1", v), S_OK);
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(v.text, "");
    EXPECT_EQ(Shown(*empty, 0, 0), "");
}

namespace {

// The document in UTF-16 with its byte-order mark; characters past U+FFFF as surrogate pairs.
std::string Utf16(const std::u32string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto unit = [&](uint32_t u) {
        const char high = char(u >> 8), low = char(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (const char32_t c : text) {
        if (c <= 0xFFFF) {
            unit(c);
            continue;
        }
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    return out;
}

std::u32string Wide(const std::string& ascii) {
    return std::u32string(ascii.begin(), ascii.end());
}

const std::string kUtf16Head = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<Workbook "
                               "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                               "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n";

} // namespace

// A UTF-16 document, as other programs save one, reads as its characters, in either byte
// order, under any name and however long; a character the cells cannot hold leaves its text
// out, counted, as in a UTF-8 document.
TEST_F(ExcelFilesTest, AUtf16DocumentReadsAsItsCharacters) {
    const std::u32string body = Wide(kUtf16Head) +
                                U"<Worksheet ss:Name=\"Caf\u00e9\"><Table><Row><Cell><Data "
                                U"ss:Type=\"String\">na\u00efve \u20ac</Data></Cell><Cell><Data "
                                U"ss:Type=\"Number\">2.5</Data></Cell></Row></Table></Worksheet>"
                                U"</Workbook>\n";
    for (const bool big : {false, true}) {
        for (const char* name : {"wide.xml", "wide.vln"}) {
            const std::string path = folder.Path(name);
            const std::string file = Utf16(body, big);
            tempfiles::WriteBytes(path, std::vector<uint8_t>(file.begin(), file.end()));
            // Asked as a spreadsheet or as a workbook: its bytes say what it is.
            std::shared_ptr<CWorkbookObj> other;
            ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
            ASSERT_EQ(other->Load(CBstr(path), CBstr(), name[5] == 'x' ? 2 : 0, nullptr, nullptr),
                      S_OK)
                << big << name;
            EXPECT_STREQ(other->Document().tree.active->name, "Caf\xE9") << big << name;
            EXPECT_EQ(Text(*other, "$A$1"), "na\xC3\xAFve \xE2\x82\xAC") << big << name;
            EXPECT_EQ(Text(*other, "$B$1"), std::to_string(2.5)) << big << name;
            EXPECT_EQ(other->Document().fileFamily, kFileExcelXml) << big << name;
        }
    }
    // Rows enough to take many blocks of the file, a surrogate pair among them: the last row
    // reads whole, and the text of the character past the code page is left out and counted.
    std::string rows;
    for (int i = 1; i <= 4000; ++i) {
        rows += "<Row><Cell><Data ss:Type=\"Number\">" + std::to_string(i) + "</Data></Cell>";
        rows += i == 2000 ? "<Cell><Data ss:Type=\"String\">@</Data></Cell>" : "";
        rows += "<Cell><Data ss:Type=\"String\">#</Data></Cell></Row>\n";
    }
    std::u32string wide = Wide(kUtf16Head + "<Worksheet ss:Name=\"A\"><Table>" + rows +
                               "</Table></Worksheet></Workbook>");
    std::replace(wide.begin(), wide.end(), U'@', U'\U0001F600');
    std::replace(wide.begin(), wide.end(), U'#', U'\u00e9');
    const std::string path = folder.Path("long.xml");
    const std::string file = Utf16(wide, false);
    ASSERT_GT(file.size(), 4u * 65536);
    tempfiles::WriteBytes(path, std::vector<uint8_t>(file.begin(), file.end()));
    ClearErrorInfo();
    auto long16 = Loaded(path, S_FALSE);
    EXPECT_EQ(TakenMessage(), std::string(GetErrorMessage(kErrorCodePageImport)) + " 1");
    EXPECT_EQ(Text(*long16, "$A$4000"), std::to_string(4000.0));
    EXPECT_EQ(Text(*long16, "$B$4000"), "\xC3\xA9");
    EXPECT_EQ(Text(*long16, "$C$2000"), "\xC3\xA9");
    CVariant v;
    ASSERT_EQ(long16->GetValue("$B$2000", v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
}

// What the peers open is read as they read it: blanks around a number are no part of it, a
// style name no style has gives the default style, an active worksheet that is no whole number
// leaves the first. What was set aside is named with its count (S_FALSE); what cannot be read
// as a number is still refused with its line.
TEST_F(ExcelFilesTest, WhatThePeersOpenIsReadAndWhatWasSetAsideIsNamed) {
    const auto cellOf = [](const std::string& data, const std::string& attributes = "") {
        return "<Worksheet ss:Name=\"A\"><Table><Row><Cell" + attributes +
               "><Data ss:Type=\"Number\">" + data + "</Data></Cell></Row></Table></Worksheet>";
    };
    const struct {
        const char* data;
        HRESULT result;
        double value;
    } numbers[] = {
        {"5", S_OK, 5},
        {" 5 ", S_OK, 5},
        {"\r\n\t-7.5e1\t", S_OK, -75},
        {"5 6", HRESULT(0x8004003B), 0},
        {" ", HRESULT(0x8004003B), 0},
        {" x5 ", HRESULT(0x8004003B), 0},
    };
    for (const auto& n : numbers) {
        for (const std::string formula : {"", " ss:Formula=\"=2+3\""}) {
            ClearErrorInfo();
            auto book = Opened(cellOf(n.data, formula), n.result);
            if (n.result != S_OK) {
                EXPECT_EQ(TakenMessage(), "Invalid xml element data (c_data)\nLine: 1") << n.data;
                continue;
            }
            EXPECT_EQ(TakenMessage(), "<none>") << n.data;
            EXPECT_EQ(Text(*book, "$A$1"), std::to_string(n.value)) << n.data << formula;
        }
    }

    const std::string styles =
        "<Styles><Style ss:ID=\"Default\"><NumberFormat ss:Format=\"0.0\"/></Style>"
        "<Style ss:ID=\"s21\"><NumberFormat ss:Format=\"0.000\"/></Style>"
        "<Style ss:ID=\"s22\" ss:Parent=\"Heading\"><Font ss:Bold=\"1\"/></Style>"
        "<Style ss:ID=\"s23\" ss:Parent=\"s21\"/></Styles>";
    const struct {
        const char* attributes; // of the cell
        const char* column;     // attributes of a column before the row, or null
        HRESULT result;
        const char* shown;
        int setAside;
    } refs[] = {
        // The parent of s22 names no style: one set aside in every document here.
        {" ss:StyleID=\"s21\"", nullptr, S_FALSE, "1.500", 1},
        {" ss:StyleID=\"s23\"", nullptr, S_FALSE, "1.500", 1},
        // A numbered name of no style was always the default's, uncounted.
        {" ss:StyleID=\"s99\"", nullptr, S_FALSE, "1.5", 1},
        {" ss:StyleID=\"ce1\"", nullptr, S_FALSE, "1.5", 2},
        {" ss:StyleID=\"\"", nullptr, S_FALSE, "1.5", 2},
        {" ss:StyleID=\"s22\"", nullptr, S_FALSE, "1.5", 1},
        {"", " ss:StyleID=\"Wide\"", S_FALSE, "1.5", 2},
        {" ss:StyleID=\"x\"", " ss:Index=\"2\" ss:StyleID=\"y\"", S_FALSE, "1.5", 3},
    };
    for (const auto& ref : refs) {
        const std::string column =
            ref.column ? "<Column" + std::string(ref.column) + "/>" : std::string();
        ClearErrorInfo();
        auto book = Opened(styles + "<Worksheet ss:Name=\"A\"><Table>" + column + "<Row><Cell" +
                               ref.attributes +
                               "><Data ss:Type=\"Number\">1.5</Data></Cell></Row></Table>"
                               "</Worksheet>",
                           ref.result);
        EXPECT_EQ(Shown(*book, 0, 0), ref.shown) << ref.attributes;
        EXPECT_EQ(book->Document().unknownStyles, uint32_t(ref.setAside)) << ref.attributes;
        EXPECT_EQ(TakenMessage(), ref.setAside == 0
                                      ? std::string("<none>")
                                      : std::string(GetErrorMessage(kErrorStylesUnknown)) + " " +
                                            std::to_string(ref.setAside))
            << ref.attributes;
    }

    const std::string sheets = "<Worksheet ss:Name=\"A\"/><Worksheet ss:Name=\"B\"/>";
    const struct {
        const char* value;
        HRESULT result;
        const char* active;
    } actives[] = {
        {"1", S_OK, "\\B"},      {" 1 ", S_OK, "\\B"},
        {"", S_OK, "\\A"},       {"-1", S_OK, "\\A"},
        {"1.5", S_FALSE, "\\A"}, {"x", S_FALSE, "\\A"},
        {"1e0", S_FALSE, "\\A"}, {"99999999999999999999", S_FALSE, "\\A"},
    };
    for (const auto& a : actives) {
        ClearErrorInfo();
        auto book = Opened("<ExcelWorkbook><ActiveSheet>" + std::string(a.value) +
                               "</ActiveSheet></ExcelWorkbook>" + sheets,
                           a.result);
        CBstr path;
        EXPECT_EQ(book->GetActiveWorksheet(path), S_OK) << a.value;
        EXPECT_EQ(std::string(path.Utf8()), a.active) << a.value;
        EXPECT_EQ(ItemCountOf(*book), 2) << a.value;
        EXPECT_EQ(TakenMessage(), a.result == S_OK
                                      ? std::string("<none>")
                                      : std::string(GetErrorMessage(kErrorActiveSheetBad)) + " 1")
            << a.value;
    }

    // Both at once, with a cut property: one message each, in the order the window shows them.
    ClearErrorInfo();
    auto both = Opened("<DocumentProperties><Author>" + std::string(200, 'a') +
                           "</Author></DocumentProperties><ExcelWorkbook><ActiveSheet>one"
                           "</ActiveSheet></ExcelWorkbook>" +
                           cellOf(" 4 ", " ss:StyleID=\"Heading\""),
                       S_FALSE);
    EXPECT_EQ(TakenMessage(), std::string(GetErrorMessage(kErrorPropertiesCut)) + " 1\n" +
                                  GetErrorMessage(kErrorStylesUnknown) + " 1\n" +
                                  GetErrorMessage(kErrorActiveSheetBad) + " 1");
    EXPECT_EQ(Text(*both, "$A$1"), std::to_string(4.0));
}

} // namespace

} // namespace vl
