// Excel 2003 XML through the Workbook object: Load format 2, SaveAsExcelFile, and Save
// writing the same form again; rows measured through the installed document services.

#include "automation/documentservices.h"
#include "automation/typelib.h"
#include "automationtestutil.h"

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

// A native workbook under a ".xml" name is no spreadsheet: its XML forms fail with the error
// of a file of the wrong format, its binary forms (no XML at all) with the reader's own code,
// and the object keeps its document either way.
TEST_F(ExcelFilesTest, ANativeWorkbookIsNoSpreadsheet) {
    const std::string wrongFormat = GetErrorMessage(kErrorFileFormat);
    const std::string noXml = "An unexpected xml element\nLine: 1";
    for (const uint8_t form :
         {kFormatXml, kFormatXmlCompressed, kFormatBinary, kFormatBinaryCompressed}) {
        const std::string path = folder.Path("native" + std::to_string(form) + ".xml");
        Doc().fileKind = form;
        ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << int(form);
        Doc().stream.Close();
        const bool xml = form == kFormatXml || form == kFormatXmlCompressed;
        auto other = Loaded(path, xml ? HRESULT(0x80040015) : HRESULT(0x80040038));
        EXPECT_EQ(TakenMessage(), xml ? wrongFormat : noXml) << int(form);
        int32_t count = -1;
        EXPECT_EQ(other->GetItemCount(count), S_OK);
        EXPECT_EQ(count, 0) << int(form);
        // Its own reader still opens it whole.
        std::shared_ptr<CWorkbookObj> native;
        ASSERT_EQ(CWorkbookObj::Create(native), S_OK);
        ASSERT_EQ(native->Load(CBstr(path), CBstr(), 0, nullptr, nullptr), S_OK) << int(form);
        EXPECT_EQ(Text(*native, "$B$2"), "text & more");
    }
    // A native file may begin with its styles, a folder or a worksheet: still no spreadsheet,
    // so nothing half-opens for a later Save to overwrite.
    const std::string natives[] = {
        "<Styles><Font ID=\"1\" Name=\"Arial\" Size=\"10\"/></Styles>"
        "<Worksheet Name=\"Sheet\"/>",
        "<Folder Name=\"F\"><Worksheet Name=\"Sheet\"/></Folder>",
        "<Worksheet Name=\"Sheet\"><Cells><Cell Col=\"1\" Row=\"1\"><N>5</N></Cell>"
        "</Cells></Worksheet>",
    };
    for (const std::string& body : natives) {
        const std::string path = folder.Path("bare.xml");
        const std::string file =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook>" + body + "</Workbook>";
        tempfiles::WriteBytes(path, std::vector<uint8_t>(file.begin(), file.end()));
        auto other = Loaded(path, HRESULT(0x80040015));
        EXPECT_EQ(TakenMessage(), wrongFormat) << body;
        EXPECT_EQ(other->Save(), S_FALSE) << body; // nothing to save over the file
        EXPECT_EQ(tempfiles::ReadBytes(path), std::vector<uint8_t>(file.begin(), file.end()));
    }
    const std::string text = folder.Path("text.xml");
    tempfiles::WriteBytes(text, {'h', 'e', 'l', 'l', 'o'});
    Loaded(text, HRESULT(0x80040038));
    EXPECT_EQ(TakenMessage(), "An unexpected xml element\nLine: 1");
}

} // namespace

} // namespace vl
