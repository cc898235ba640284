// Excel 2003 XML through the Workbook object: Load format 2, SaveAsExcelFile, and Save
// writing the same form again; rows measured through the installed document services.

#include "automation/documentservices.h"
#include "automation/typelib.h"
#include "automationtestutil.h"
#include "formula/celltext.h"
#include "model/cellrecord.h"
#include "model/cellstyle.h"
#include "platform/core/errorcode.h"

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

} // namespace

} // namespace vl
