// Loading and saving text files and xBase tables through the Workbook object.
#include "automation/applicationobj.h"
#include "automation/infoobjects.h"
#include "files/savetarget.h"
#include "tests/automation/automationtestutil.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

namespace vl::autotest {
namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ForeignFilesTest : public AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        ASSERT_EQ(CTextFileInfoObj::Create(text), S_OK);
        ASSERT_EQ(CXBaseInfoObj::Create(xbase), S_OK);
    }
    std::string TextOf(const char* cell) {
        CVariant v = Value(cell);
        return v.vt == VT_BSTR ? v.text : "<not text>";
    }
    std::shared_ptr<CTextFileInfoObj> text;
    std::shared_ptr<CXBaseInfoObj> xbase;
};

TEST_F(ForeignFilesTest, TextRoundTripAndSaveWritesTextAgain) {
    NewDocument();
    PutNumber("$A$1", 1.5);
    ASSERT_EQ(obj->PutValue("$B$2", CVariant::Bstr("x;y")), S_OK);
    ASSERT_EQ(text->SetSeparator(";"), S_OK);
    ASSERT_EQ(text->SetEncoding(1), S_OK);
    const std::string path = folder.Path("data.txt");
    ASSERT_EQ(obj->SaveAsTextFile(CBstr(path), text.get()), S_OK);
    EXPECT_EQ(FileBytes(path), "1.5\r\n;\"x;y\"");
    EXPECT_EQ(Doc().fileFamily, 1);
    PutNumber("$C$1", 7);
    ASSERT_EQ(obj->Save(), S_OK);
    EXPECT_EQ(FileBytes(path), "1.5;;7\r\n;\"x;y\"");

    // The document holds its file locked until it lets it go.
    Doc().stream.Close();
    std::shared_ptr<CWorkbookObj> other;
    ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
    ASSERT_EQ(other->Load(CBstr(path), CBstr(), 1, text.get(), nullptr), S_OK);
    CVariant v;
    ASSERT_EQ(other->GetValue("$C$1", v), S_OK);
    EXPECT_EQ(v.real, 7);
    ASSERT_EQ(other->GetValue("$B$2", v), S_OK);
    EXPECT_EQ(v.text, "x;y");
    EXPECT_EQ(other->Document().fileFamily, 1);
    EXPECT_EQ(other->Document().textFile.separator, ';');
    CBstr active;
    other->GetActiveWorksheet(active);
    EXPECT_EQ(active.Utf8(), "\\data.txt");
}

// An import that leaves out texts outside the code page succeeds with S_FALSE and says how
// many; the other cells are read, the left-out ones empty (never "?"), and a file without
// such texts loads with S_OK. Every import route: text (UTF-8, OEM), Excel 2003 XML, xBase.
TEST_F(ForeignFilesTest, ImportsCountTheTextsOutsideTheCodePage) {
    const std::string prefix = GetErrorMessage(kErrorCodePageImport);
    // A dBase III table of three one-character fields A, B, C and the records given.
    const auto table = [](std::string records, uint32_t count) {
        std::string out(32, '\0');
        out[0] = 0x03;
        out[4] = char(count);
        out[8] = char(32 * 3 + 33);
        out[10] = 4;
        for (const char* name : {"A", "B", "C"}) {
            std::string field(32, '\0');
            field[0] = name[0];
            field[11] = 'C';
            field[16] = 1;
            out += field;
        }
        return out + '\x0D' + records + '\x1A';
    };
    struct Case {
        const char* name;
        std::string bytes;
        int32_t format, encoding;
        HRESULT result;
        const char* message; // after the message's own text
        const char* row;     // of the values: a table's first row holds its field names
    } const cases[] = {
        {"t.csv", "a,\xD0\x96,\xE2\x82\xAC\r\n\xF0\x9F\x98\x80", 1, 1, S_FALSE, " 2", "1"},
        {"u.csv", "a,b,\xE2\x82\xAC", 1, 1, S_OK, "", "1"},
        {"o.csv", "a,\xC4,\x81", 1, 3, S_FALSE, " 1", "1"},
        // OEM box drawing in two records of a table
        {"o.dbf", table(" a\xC4\x81 \xB3  ", 2), 3, 3, S_FALSE, " 2", "2"},
        {"k.dbf", table(" ab\x81", 1), 3, 3, S_OK, "", "2"},
        {"x.xml",
         "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
         "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet ss:Name=\"S\">"
         "<Table><Row><Cell><Data ss:Type=\"String\">a</Data></Cell><Cell><Data "
         "ss:Type=\"String\">\xD0\x96</Data></Cell><Cell><Data "
         "ss:Type=\"String\">\xE2\x82\xAC</Data></Cell></Row></Table></Worksheet></Workbook>",
         2, 2, S_FALSE, " 1", "1"},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Path(c.name);
        std::ofstream(path, std::ios::binary) << c.bytes;
        ASSERT_EQ(text->SetSeparator(","), S_OK);
        ASSERT_EQ(text->SetEncoding(c.encoding), S_OK);
        if (c.format >= 3) {
            ASSERT_EQ(xbase->SetEncoding(c.encoding), S_OK);
        }
        ClearErrorInfo();
        EXPECT_EQ(obj->Load(CBstr(path), CBstr(), c.format, text.get(), xbase.get()), c.result)
            << c.name;
        EXPECT_EQ(TakenMessage(), c.result == S_OK ? "<none>" : prefix + c.message) << c.name;
        const std::string row = c.row;
        EXPECT_EQ(TextOf(("$A$" + row).c_str()), "a") << c.name;
        EXPECT_EQ(Value(("$B$" + row).c_str()).vt, c.result == S_OK ? VT_BSTR : VT_EMPTY) << c.name;
        EXPECT_EQ(TextOf(("$C$" + row).c_str()), c.encoding == 3 ? "\xC3\xBC" : "\xE2\x82\xAC")
            << c.name;
        Doc().stream.Close();
    }
}

// A file a cut save left empty or torn (its first half) opens by no route as a workbook:
// each load fails and the object keeps the document it had. A text file has no form to be
// torn from (an empty one is an empty worksheet), and is left out.
TEST_F(ForeignFilesTest, AnEmptyOrTornFileNeverOpensAsAWorkbook) {
    NewDocument();
    PutNumber("$A$1", 4);
    ASSERT_EQ(obj->SaveAs(CBstr(folder.Path("whole.vln"))), S_OK);
    ASSERT_EQ(obj->SaveAsExcelFile(CBstr(folder.Path("whole.xml"))), S_OK);
    ASSERT_EQ(xbase->SetXBaseFormat(4), S_OK);
    ASSERT_EQ(xbase->SetFieldCount(1), S_OK);
    ASSERT_EQ(xbase->SetField(0, CBstr("N"), 'N', 10, 2), S_OK);
    for (int r = 2; r < 40; ++r) PutNumber(("$A$" + std::to_string(r)).c_str(), r);
    ASSERT_EQ(obj->SaveAsDatabase(CBstr(folder.Path("whole.dbf")), xbase.get()), S_OK);
    Doc().stream.Close();
    const struct {
        const char* whole;
        int32_t format;
    } routes[] = {{"whole.vln", 0}, {"whole.xml", 2}, {"whole.dbf", 3},
                  {"whole.dbf", 4}, {"whole.dbf", 5}, {"whole.dbf", 6}};
    for (const auto& route : routes) {
        const std::string bytes = FileBytes(folder.Path(route.whole));
        ASSERT_GT(bytes.size(), 64u) << route.whole;
        // A table is read to its file's end whatever its header counts (other programs
        // write wrong counts): its first half opens as the records it holds, never empty.
        const bool table = route.format >= 3;
        for (const size_t kept : {size_t(0), bytes.size() / 2}) {
            if (table && kept != 0) continue;
            const std::string torn = folder.Path("torn" + std::to_string(route.format) +
                                                 std::string(route.whole).substr(5));
            std::ofstream(torn, std::ios::binary | std::ios::trunc) << bytes.substr(0, kept);
            std::shared_ptr<CWorkbookObj> other;
            ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
            ASSERT_EQ(other->NewDocument(), S_OK);
            ASSERT_EQ(other->PutValue("$B$2", CVariant::R8(9)), S_OK);
            const HRESULT hr =
                other->Load(CBstr(torn), CBstr(), route.format, text.get(), xbase.get());
            EXPECT_TRUE(Failed(hr)) << route.whole << " " << route.format << " " << kept;
            CVariant v;
            EXPECT_EQ(other->GetValue("$B$2", v), S_OK);
            EXPECT_EQ(v.real, 9) << route.whole << " " << route.format << " " << kept;
        }
    }
}

TEST_F(ForeignFilesTest, FixedWidthLoadStoresTheFlag) {
    const std::string path = folder.Path("fixed.txt");
    std::ofstream(path, std::ios::binary) << "abcdefgh";
    auto widths = CSafeArray::Create({{0, 2}});
    const int32_t i0[] = {0}, i1[] = {1};
    widths->PutElement(i0, CVariant::Integer(VT_UI2, 3));
    widths->PutElement(i1, CVariant::Integer(VT_UI2, 2));
    ASSERT_EQ(text->SetColumnWidths(widths.get()), S_OK);
    ASSERT_EQ(obj->Load(CBstr(path), CBstr(), 1, text.get(), nullptr), S_OK);
    EXPECT_EQ(Doc().textFile.useFixedColWidths, 1);
    EXPECT_EQ(TextOf("$A$1"), "abc");
    EXPECT_EQ(TextOf("$B$1"), "de");
    EXPECT_EQ(TextOf("$C$1"), "fgh");
}

// A separator past ASCII is a character of the file's encoding, saved and loaded by a client:
// the section sign is two bytes in UTF-8 and its OEM byte in an OEM file.
TEST_F(ForeignFilesTest, ASeparatorPastAsciiIsACharacterOfTheEncoding) {
    NewDocument();
    ASSERT_EQ(obj->PutValue("$A$1", CVariant::Bstr("caf\xC3\xA9")), S_OK);
    PutNumber("$B$1", 12);
    ASSERT_EQ(text->SetSeparator("\xC2\xA7"), S_OK);
    const struct {
        int32_t encoding;
        std::string bytes;
    } cases[] = {{1, "caf\xC3\xA9\xC2\xA7"
                     "12"},
                 {3, "caf\x82\xF5"
                     "12"},
                 {2, "caf\xE9\xA7"
                     "12"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoding);
        ASSERT_EQ(text->SetEncoding(c.encoding), S_OK);
        const std::string path = folder.Path("s" + std::to_string(c.encoding) + ".txt");
        ASSERT_EQ(obj->SaveAsTextFile(CBstr(path), text.get()), S_OK);
        EXPECT_EQ(FileBytes(path), c.bytes);
        Doc().stream.Close();
        std::shared_ptr<CWorkbookObj> other;
        ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
        ASSERT_EQ(other->Load(CBstr(path), CBstr(), 1, text.get(), nullptr), S_OK);
        CVariant v;
        ASSERT_EQ(other->GetValue("$A$1", v), S_OK);
        EXPECT_EQ(v.text, "caf\xC3\xA9");
        ASSERT_EQ(other->GetValue("$B$1", v), S_OK);
        EXPECT_EQ(v.real, 12);
    }
}

// The formulas of a text file are calculated when it is read, by Load and OpenTextFile: the
// values read show their results, and a text save writes the results, never 0.
TEST_F(ForeignFilesTest, FormulasOfATextFileAreCalculatedWhenRead) {
    const std::string path = folder.Path("sums.csv");
    std::ofstream(path, std::ios::binary)
        << "item,qty,price,total\r\nA,2,3.5,=B2*C2\r\nB,1,4,=B3*C3\r\n,,,=D2+D3";
    ASSERT_EQ(obj->Load(CBstr(path), CBstr(), 1, text.get(), nullptr), S_OK);
    EXPECT_EQ(Value("$D$2").real, 7);
    EXPECT_EQ(Value("$D$4").real, 11);
    const std::string out = folder.Path("out.csv");
    ASSERT_EQ(obj->SaveAsTextFile(CBstr(out), text.get()), S_OK);
    EXPECT_EQ(FileBytes(out), "item,qty,price,total\r\nA,2,3.5,7\r\nB,1,4,4\r\n,,,11");

    Doc().stream.Close(); // the document holds its file
    std::shared_ptr<CApplicationObj> app;
    ASSERT_EQ(CApplicationObj::Create(app), S_OK);
    std::shared_ptr<IAutomationObject> opened;
    ASSERT_EQ(app->OpenTextFile(CBstr(path), text.get(), opened), S_OK);
    CVariant total;
    ASSERT_EQ(opened->QueryWorksheet()->GetValue("$D$4", total), S_OK);
    EXPECT_EQ(total.real, 11);
}

// A number past the double range loads as its text, from a text file and from a table's
// Numeric field, and an undecided logical as "?": never an infinity, 0 or nothing.
TEST_F(ForeignFilesTest, ValuesPastTheRangeLoadAsTheirText) {
    const std::string csv = folder.Path("huge.csv");
    std::ofstream(csv, std::ios::binary) << "1e309,-1e400,1e308";
    ASSERT_EQ(obj->Load(CBstr(csv), CBstr(), 1, text.get(), nullptr), S_OK);
    EXPECT_EQ(TextOf("$A$1"), "1e309");
    EXPECT_EQ(TextOf("$B$1"), "-1e400");
    EXPECT_EQ(Value("$C$1").real, 1e308);
    // dBase III: N (Numeric, 8) and L (Logical, 1), one record.
    std::string table(32, '\0');
    table[0] = 0x03, table[4] = 1, table[8] = char(32 * 2 + 33), table[10] = 10;
    for (const auto& [name, type, length] : {std::tuple{'N', 'N', 8}, std::tuple{'L', 'L', 1}}) {
        std::string d(32, '\0');
        d[0] = name, d[11] = type, d[16] = char(length);
        table += d;
    }
    table += "\r    1e400?\x1A"; // the deletion flag, then the fields
    const std::string dbf = folder.Path("huge.dbf");
    std::ofstream(dbf, std::ios::binary) << table;
    ASSERT_EQ(obj->Load(CBstr(dbf), CBstr(), 3, nullptr, xbase.get()), S_OK);
    EXPECT_EQ(TextOf("$A$2"), "1e400");
    EXPECT_EQ(TextOf("$B$2"), "?");
    // Its Numeric field would hold 0 for that text: Save refuses and leaves the table whole.
    EXPECT_EQ(obj->Save(), HRESULT(0x80040000 + kErrorFieldOverflow));
    EXPECT_NE(TakenMessage().find("1 text a number field cannot hold"), std::string::npos);
    EXPECT_EQ(FileBytes(dbf), table);
}

// A save no one can be asked about is refused, nothing written, where the file would hold a
// value otherwise than the worksheet shows it: a number its fixed width cuts into another
// number, a text whose characters the OEM code page lacks (they would be '?'). The message
// counts them; the same save without the loss writes. Every automation save route.
TEST_F(ForeignFilesTest, SavesThatWouldWriteOtherValuesAreRefusedWithTheCount) {
    // As a number too wide for a table's field is refused, and a text outside a code page.
    const HRESULT cut = HRESULT(0x80040000 + kErrorFieldOverflow);
    const HRESULT unmapped = HRESULT(0x80040000 + kErrorCodePage);
    const auto widths = [](std::initializer_list<int> list) {
        auto array = CSafeArray::Create({{0, uint32_t(list.size())}});
        int32_t i = 0;
        for (const int w : list) {
            const int32_t at[] = {i++};
            array->PutElement(at, CVariant::Integer(VT_UI2, w));
        }
        return array;
    };
    NewDocument();
    PutNumber("$A$1", 1E-20);
    PutNumber("$B$1", 123456789012345678.0);
    ASSERT_EQ(obj->PutValue("$A$2", CVariant::Bstr("euro \xE2\x82\xAC"
                                                   "5")),
              S_OK);
    PutNumber("$B$2", 1234);
    const std::string path = folder.Path("cut.txt");
    // Shown in General: "1E-20" (5 characters), "1.23456789012346E+17" (20), "1234" (4).
    const struct {
        const char* what;
        std::vector<int> widths; // none: delimited
        int32_t encoding;
        const char* counted; // "" when the save writes
        HRESULT hr;
    } cases[] = {
        {"three numbers cut", {4, 2}, 2, "3 numbers longer than their fields' widths", cut},
        {"one short of the first", {4, 20}, 2, "1 number longer than its field's width", cut},
        {"one short of the second", {5, 19}, 2, "1 number longer than its field's width", cut},
        {"each number just fits", {5, 20}, 2, "", S_OK},
        {"oem gap", {}, 3, "1 text with characters the OEM code page lacks", unmapped},
        {"oem gap and cuts", {4, 4}, 3, "2 numbers longer", cut},
        {"oem gap beside cuts", {4, 4}, 3, "1 text with characters the OEM code page lacks", cut},
        {"ansi keeps the euro", {}, 2, "", S_OK},
        {"utf-8 keeps the euro", {}, 1, "", S_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(path);
        ASSERT_EQ(text->SetEncoding(c.encoding), S_OK);
        if (!c.widths.empty()) {
            ASSERT_EQ(text->SetColumnWidths(widths({c.widths[0], c.widths[1]}).get()), S_OK);
        }
        ASSERT_EQ(text->put_useFixedColWidths(c.widths.empty() ? 0 : 1), S_OK);
        const uint8_t family = Doc().fileFamily;
        const HRESULT hr = obj->SaveAsTextFile(CBstr(path), text.get());
        EXPECT_EQ(hr, c.hr);
        if (*c.counted == 0) {
            EXPECT_TRUE(std::filesystem::exists(path));
            continue;
        }
        const std::string message = TakenMessage();
        EXPECT_NE(message.find(c.counted), std::string::npos) << message;
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(Doc().fileFamily, family);
    }
    // Save writes the document's own file by its stored settings: refused the same way, the
    // file as the last save left it.
    ASSERT_EQ(text->SetEncoding(2), S_OK);
    ASSERT_EQ(obj->SaveAsTextFile(CBstr(path), text.get()), S_OK);
    const std::string written = FileBytes(path);
    Doc().textFile.encoding = 3;
    EXPECT_EQ(obj->Save(), unmapped);
    EXPECT_NE(TakenMessage().find("1 text with characters"), std::string::npos);
    EXPECT_EQ(FileBytes(path), written);

    // A table in the OEM code page: its Character field and its memo would hold '?'.
    const std::string table = folder.Path("oem.dbf");
    for (const char type : {'C', 'M'}) {
        SCOPED_TRACE(type);
        ASSERT_EQ(xbase->SetXBaseFormat(5), S_OK);
        ASSERT_EQ(xbase->SetFieldCount(2), S_OK);
        ASSERT_EQ(xbase->SetField(0, "NAME", type, 10, 0), S_OK);
        ASSERT_EQ(xbase->SetField(1, "N", 'N', 20, 0), S_OK);
        ASSERT_EQ(xbase->SetEncoding(3), S_OK);
        EXPECT_EQ(obj->SaveAsDatabase(CBstr(table), xbase.get()), unmapped);
        EXPECT_NE(TakenMessage().find("1 text with characters the OEM code page lacks"),
                  std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(table));
        ASSERT_EQ(xbase->SetEncoding(2), S_OK);
        EXPECT_EQ(obj->SaveAsDatabase(CBstr(table), xbase.get()), S_OK);
        EXPECT_TRUE(std::filesystem::exists(table));
        Doc().xbase.encoding = 3; // Save writes it by the stored code page
        EXPECT_EQ(obj->Save(), unmapped);
        std::filesystem::remove(table);
        Doc().stream.Close();
        NewDocument();
        ASSERT_EQ(obj->PutValue("$A$1", CVariant::Bstr("NAME")), S_OK);
        ASSERT_EQ(obj->PutValue("$A$2", CVariant::Bstr("euro \xE2\x82\xAC"
                                                       "5")),
                  S_OK);
    }
}

TEST_F(ForeignFilesTest, DatabaseRoundTripInEveryFormat) {
    for (int32_t format : {3, 4, 5, 6}) {
        NewDocument();
        ASSERT_EQ(obj->PutValue("$A$1", CVariant::Bstr("NAME")), S_OK);
        ASSERT_EQ(obj->PutValue("$A$2", CVariant::Bstr(std::string(300, 'n'))), S_OK);
        ASSERT_EQ(obj->PutValue("$B$2", CVariant::Bstr("Y")), S_OK);
        ASSERT_EQ(xbase->SetXBaseFormat(format), S_OK);
        ASSERT_EQ(xbase->SetFieldCount(2), S_OK);
        const bool split = format == 5 || format == 6;
        ASSERT_EQ(xbase->SetField(0, "NAME", split ? 'C' : 'M', 300, 0), S_OK);
        ASSERT_EQ(xbase->SetField(1, "OK", 'L', 1, 0), S_OK);
        ASSERT_EQ(xbase->SetEncoding(3), S_OK);
        const std::string path = folder.Path("t" + std::to_string(format) + ".dbf");
        ASSERT_EQ(obj->SaveAsDatabase(CBstr(path), xbase.get()), S_OK) << format;
        EXPECT_EQ(Doc().fileFamily, format);
        EXPECT_EQ(Doc().xbase.format, format);
        const std::string bytes = FileBytes(path);
        ASSERT_GT(bytes.size(), 32u);
        const uint8_t versions[] = {0x83, 0x8B, 0x03, 0x03};
        EXPECT_EQ(uint8_t(bytes[0]), versions[format - 3]) << format;

        std::shared_ptr<CXBaseInfoObj> read;
        ASSERT_EQ(CXBaseInfoObj::Create(read), S_OK);
        ASSERT_EQ(read->SetEncoding(3), S_OK);
        Doc().stream.Close();
        std::shared_ptr<CWorkbookObj> other;
        ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
        ASSERT_EQ(other->Load(CBstr(path), CBstr(), format, nullptr, read.get()), S_OK) << format;
        CVariant v;
        ASSERT_EQ(other->GetValue("$A$2", v), S_OK);
        EXPECT_EQ(v.text, std::string(300, 'n')) << format;
        ASSERT_EQ(other->GetValue("$B$2", v), S_OK);
        EXPECT_EQ(v.text, "Y");
        int32_t count = 0;
        read->GetFieldCount(count);
        EXPECT_EQ(count, 2);
        CBstr name;
        uint8_t type = 0;
        int32_t length = 0, decimals = 0;
        ASSERT_EQ(read->GetField(0, name, type, length, decimals), S_OK);
        EXPECT_EQ(name.Utf8(), "NAME");
        EXPECT_EQ(length, split ? 44 : 10) << format;
        EXPECT_EQ(decimals, split ? 1 : 0) << format;
        // Save writes the table again in its own format.
        ASSERT_EQ(other->PutValue("$B$2", CVariant::Bstr("N")), S_OK);
        ASSERT_EQ(other->Save(), S_OK);
        EXPECT_EQ(FileBytes(path)[98 + (split ? 300 : 10)], 'N') << format;
    }
}

// A table of another program with date-time and double fields: the information object
// that Load filled saves records as long as the table's.
TEST_F(ForeignFilesTest, LoadedFieldSizesSaveTheSameRecordLength) {
    struct Field {
        const char* name;
        char type;
        uint8_t length, decimals;
    };
    const Field fields[] = {{"NAME", 'C', 20, 0}, {"AT", 'T', 8, 0}, {"PRICE", 'B', 8, 4}};
    std::string table(32, '\0');
    table[0] = '\x30';
    table[4] = 1;
    const uint16_t header = 32 * 3 + 33, record = 1 + 20 + 8 + 8;
    table[8] = char(header & 0xFF), table[9] = char(header >> 8);
    table[10] = char(record & 0xFF), table[11] = char(record >> 8);
    for (const Field& f : fields) {
        std::string d(32, '\0');
        d.replace(0, std::strlen(f.name), f.name);
        d[11] = f.type, d[16] = char(f.length), d[17] = char(f.decimals);
        table += d;
    }
    table += '\x0D';
    table += " " + std::string("pear") + std::string(16, ' ') + std::string(16, '\0');
    table += '\x1A';
    const std::string path = folder.Path("fox.dbf");
    std::ofstream(path, std::ios::binary) << table;

    ASSERT_EQ(obj->Load(CBstr(path), CBstr(), 5, nullptr, xbase.get()), S_OK);
    const int32_t lengths[] = {20, 8, 8}, decimals[] = {0, 0, 4};
    for (int32_t i = 0; i < 3; ++i) {
        CBstr name;
        uint8_t type = 0;
        int32_t length = -1, places = -1;
        ASSERT_EQ(xbase->GetField(i, name, type, length, places), S_OK);
        EXPECT_EQ(length, lengths[i]) << i;
        EXPECT_EQ(places, decimals[i]) << i;
    }
    const std::string again = folder.Path("again.dbf");
    ASSERT_EQ(obj->SaveAsDatabase(CBstr(again), xbase.get()), S_OK);
    const std::string bytes = FileBytes(again);
    ASSERT_GT(bytes.size(), 12u);
    EXPECT_EQ(uint8_t(bytes[10]) | uint8_t(bytes[11]) << 8, record);
}

TEST_F(ForeignFilesTest, FoxProWithAMemoWritesF5) {
    NewDocument();
    ASSERT_EQ(obj->PutValue("$A$2", CVariant::Bstr("memo text")), S_OK);
    ASSERT_EQ(xbase->SetXBaseFormat(5), S_OK);
    ASSERT_EQ(xbase->SetFieldCount(1), S_OK);
    ASSERT_EQ(xbase->SetField(0, "NOTE", 'M', 10, 0), S_OK);
    const std::string path = folder.Path("fox.dbf");
    ASSERT_EQ(obj->SaveAsDatabase(CBstr(path), xbase.get()), S_OK);
    EXPECT_EQ(uint8_t(FileBytes(path)[0]), 0xF5);
    const std::string memo = FileBytes(folder.Path("fox.fpt"));
    ASSERT_EQ(memo.size(), 576u);
    EXPECT_EQ(memo.substr(512, 17), std::string("\0\0\0\1\0\0\0\x09memo text", 17));
}

TEST_F(ForeignFilesTest, DatabaseRefusals) {
    NewDocument();
    const CBstr path(folder.Path("r.dbf"));
    ASSERT_EQ(xbase->SetXBaseFormat(7), S_OK);
    EXPECT_EQ(obj->SaveAsDatabase(path, xbase.get()), E_INVALIDARG);
    ASSERT_EQ(xbase->SetXBaseFormat(2), S_OK);
    EXPECT_EQ(obj->SaveAsDatabase(path, xbase.get()), E_INVALIDARG);
    ASSERT_EQ(xbase->SetXBaseFormat(4), S_OK);
    EXPECT_EQ(obj->SaveAsDatabase(path, xbase.get()), E_INVALIDARG); // no fields
    // 258 fields of 254 and one of 1: 65,534 bytes pass for dBase IV; one more is refused.
    ASSERT_EQ(xbase->SetFieldCount(259), S_OK);
    for (int32_t i = 0; i < 258; ++i) ASSERT_EQ(xbase->SetField(i, "F", 'C', 254, 0), S_OK);
    ASSERT_EQ(xbase->SetField(258, "G", 'C', 1, 0), S_OK);
    EXPECT_EQ(obj->SaveAsDatabase(path, xbase.get()), S_OK);
    ASSERT_EQ(xbase->SetField(258, "G", 'C', 2, 0), S_OK);
    EXPECT_EQ(obj->SaveAsDatabase(CBstr(folder.Path("big.dbf")), xbase.get()), HRESULT(0x8004003D));
    EXPECT_EQ(TakenMessage(), "Too many database fields - max. record size = 64K");
    EXPECT_FALSE(CFileStream::FileExists(folder.Path("big.dbf").c_str()));
    // The split formats stop one byte earlier, split lengths counted whole.
    ASSERT_EQ(xbase->SetXBaseFormat(5), S_OK);
    ASSERT_EQ(xbase->SetFieldCount(2), S_OK);
    ASSERT_EQ(xbase->SetField(0, "F", 'C', 65532, 0), S_OK);
    ASSERT_EQ(xbase->SetField(1, "G", 'L', 1, 0), S_OK);
    EXPECT_EQ(obj->SaveAsDatabase(path, xbase.get()), HRESULT(0x8004003D));
    ASSERT_EQ(xbase->SetField(0, "F", 'C', 65531, 0), S_OK);
    EXPECT_EQ(obj->SaveAsDatabase(path, xbase.get()), S_OK);
    // A number wider than its Numeric field at the field's decimals: 118, nothing written.
    PutNumber("$A$2", -99999.999);
    ASSERT_EQ(xbase->SetXBaseFormat(3), S_OK);
    ASSERT_EQ(xbase->SetFieldCount(1), S_OK);
    ASSERT_EQ(xbase->SetField(0, "N", 'N', 8, 2), S_OK);
    const CBstr narrow(folder.Path("narrow.dbf"));
    EXPECT_EQ(obj->SaveAsDatabase(narrow, xbase.get()), HRESULT(0x80040076));
    EXPECT_EQ(TakenMessage(),
              "A number is too wide for its database field: widen the field or change its "
              "decimals.");
    EXPECT_FALSE(CFileStream::FileExists(folder.Path("narrow.dbf").c_str()));
    PutNumber("$A$2", -9999.99);
    EXPECT_EQ(obj->SaveAsDatabase(narrow, xbase.get()), S_OK);
}

// A field of the info never set, or refused by SetField, has no type: the table would be read
// by no reader, so nothing is written (E_INVALIDARG) and a file there stays as it was.
TEST_F(ForeignFilesTest, AnUnsetFieldIsRefusedBeforeWriting) {
    NewDocument();
    ASSERT_EQ(obj->PutValue("$A$2", CVariant::R8(5)), S_OK);
    const std::string path = folder.Path("unset.dbf");
    { std::ofstream(path, std::ios::binary) << "before"; }
    for (const int32_t format : {3, 4, 5, 6}) {
        ASSERT_EQ(xbase->SetXBaseFormat(format), S_OK);
        ASSERT_EQ(xbase->SetFieldCount(2), S_OK);
        ASSERT_EQ(xbase->SetField(0, "A", 'N', 8, 2), S_OK);
        // The second is left unset, then refused by SetField (a length its byte cannot hold).
        EXPECT_EQ(obj->SaveAsDatabase(CBstr(path), xbase.get()), E_INVALIDARG) << format;
        EXPECT_EQ(xbase->SetField(1, "B", 'N', 300, 0), E_INVALIDARG);
        EXPECT_EQ(obj->SaveAsDatabase(CBstr(path), xbase.get()), E_INVALIDARG) << format;
        EXPECT_EQ(FileBytes(path), "before") << format;
        // Set, the same table saves, and loads in its form.
        ASSERT_EQ(xbase->SetField(1, "B", 'C', 4, 0), S_OK);
        EXPECT_EQ(obj->SaveAsDatabase(CBstr(path), xbase.get()), S_OK) << format;
        EXPECT_EQ(obj->Load(CBstr(path), CBstr(), format, nullptr, xbase.get()), S_OK) << format;
        Doc().stream.Close();
        { std::ofstream(path, std::ios::binary) << "before"; }
    }
}

TEST_F(ForeignFilesTest, LoadFailuresKeepTheDocument) {
    NewDocument();
    PutNumber("$A$1", 42);
    const std::string bad = folder.Path("bad.dbf");
    std::ofstream(bad, std::ios::binary) << std::string(20, 'x');
    EXPECT_EQ(obj->Load(CBstr(bad), CBstr(), 4, nullptr, xbase.get()), HRESULT(0x80040015));
    EXPECT_EQ(Number("$A$1"), 42);
    EXPECT_EQ(obj->Load(CBstr(folder.Path("none.csv")), CBstr(), 1, text.get(), nullptr),
              HRESULT(0x80040022));
    EXPECT_EQ(Number("$A$1"), 42);
    EXPECT_EQ(Doc().fileFamily, 0);
}

// Save never writes over a file its load left fields or texts out of: S_FALSE, the file as it
// was, the edit kept; SaveAs under another name writes it, and Save then writes there.
TEST_F(ForeignFilesTest, SaveLeavesAFileItsLoadCutAsItWas) {
    std::string fits = "1", wide;
    for (int k = 2; k <= 2047; ++k) fits += "," + std::to_string(k);
    wide = fits + ",2048";
    struct Case {
        const char* name;
        std::string bytes;
        HRESULT load, save;
    } const cases[] = {
        {"fits.csv", fits, S_OK, S_OK},
        {"wide.csv", wide, S_FALSE, S_FALSE},
        {"code.csv", "1,\xD0\x96", S_FALSE, S_FALSE},
    };
    ASSERT_EQ(text->SetSeparator(","), S_OK);
    ASSERT_EQ(text->SetEncoding(1), S_OK);
    for (const Case& c : cases) {
        const std::string path = folder.Path(c.name);
        std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(obj->Load(CBstr(path), CBstr(), 1, text.get(), nullptr), c.load) << c.name;
        PutNumber("$A$1", 99);
        EXPECT_EQ(obj->Save(), c.save) << c.name;
        const std::string written = c.save == S_OK ? "99" + c.bytes.substr(1) : c.bytes;
        EXPECT_EQ(FileBytes(path), written) << c.name;
        EXPECT_EQ(Number("$A$1"), 99) << c.name;
        EXPECT_EQ(obj->Save(), c.save) << c.name;
        const std::string other = path + ".vln";
        ASSERT_EQ(obj->SaveAs(CBstr(other)), S_OK) << c.name;
        PutNumber("$A$2", 7);
        EXPECT_EQ(obj->Save(), S_OK) << c.name;
        EXPECT_EQ(FileBytes(path), written) << c.name;
        Doc().stream.Close();
    }
}

// No saving method writes over a file its load cut, however the path names it (as loaded,
// another spelling, a symbolic or hard link, or the name after the file was replaced): each
// answers S_FALSE and changes nothing. Another name is written.
TEST_F(ForeignFilesTest, NoSaveWritesOverAFileItsLoadCut) {
    std::string wide = "1";
    for (int k = 2; k <= 2048; ++k) wide += "," + std::to_string(k);
    ASSERT_EQ(text->SetSeparator(","), S_OK);
    ASSERT_EQ(text->SetEncoding(1), S_OK);
    std::shared_ptr<CTextFileInfoObj> semicolons;
    ASSERT_EQ(CTextFileInfoObj::Create(semicolons), S_OK);
    ASSERT_EQ(semicolons->SetSeparator(";"), S_OK);
    ASSERT_EQ(xbase->SetXBaseFormat(3), S_OK);
    ASSERT_EQ(xbase->SetFieldCount(1), S_OK);
    ASSERT_EQ(xbase->SetField(0, "A", 'N', 8, 0), S_OK);
    using Route = std::function<HRESULT(const std::string&)>;
    const std::pair<const char*, Route> routes[] = {
        {"SaveAs", [&](const std::string& p) { return obj->SaveAs(CBstr(p)); }},
        {"SaveAsTextFile",
         [&](const std::string& p) { return obj->SaveAsTextFile(CBstr(p), semicolons.get()); }},
        {"SaveAsExcelFile", [&](const std::string& p) { return obj->SaveAsExcelFile(CBstr(p)); }},
        {"SaveAsDatabase",
         [&](const std::string& p) { return obj->SaveAsDatabase(CBstr(p), xbase.get()); }},
    };
    const std::string path = folder.Path("wide.csv");
    const std::string symbolic = folder.Path("symbolic.csv"), hard = folder.Path("hard.csv");
    std::filesystem::create_directory(folder.Path("sub"));
    const std::string spellings[] = {path, folder.Path("sub/../wide.csv"), symbolic, hard};
    for (const auto& [name, save] : routes) {
        for (const std::string& target : spellings) {
            std::filesystem::remove(symbolic);
            std::filesystem::remove(hard);
            std::ofstream(path, std::ios::binary) << wide;
            std::filesystem::create_symlink(path, symbolic);
            std::filesystem::create_hard_link(path, hard);
            ASSERT_EQ(obj->Load(CBstr(path), CBstr(), 1, text.get(), nullptr), S_FALSE);
            PutNumber("$A$1", 99);
            EXPECT_EQ(save(target), S_FALSE) << name << " " << target;
            EXPECT_EQ(FileBytes(path), wide) << name << " " << target;
            EXPECT_EQ(Doc().fileFamily, kFileText) << name << " " << target;
            EXPECT_EQ(Doc().textFile.separator, ',') << name << " " << target;
            EXPECT_EQ(Doc().xbase.fieldDescriptors, nullptr) << name << " " << target;
            EXPECT_EQ(Number("$A$1"), 99) << name << " " << target;
            EXPECT_EQ(obj->Save(), S_FALSE) << name << " " << target;
            EXPECT_TRUE(Doc().stream.IsSameFile(path.c_str())) << name << " " << target;
        }
        // A file put in the name's place still stands for the file that was read.
        std::filesystem::remove(path);
        std::ofstream(path, std::ios::binary) << "new";
        EXPECT_EQ(save(path), S_FALSE) << name;
        EXPECT_EQ(obj->Save(), S_FALSE) << name;
        EXPECT_EQ(FileBytes(path), "new") << name;
        // Another file is written, and the document then saves there.
        const std::string other = folder.Path(std::string("other-") + name);
        EXPECT_EQ(save(other), S_OK) << name;
        EXPECT_NE(FileBytes(other), "") << name;
        EXPECT_EQ(obj->Save(), S_OK) << name;
        Doc().stream.Close();
    }
}

// The form a file's bytes are opens, whatever type the client asked; a text file asked as a
// workbook is refused and the object keeps its document.
TEST_F(ForeignFilesTest, LoadOpensAFileAsWhatItsBytesAre) {
    NewDocument();
    PutNumber("$A$1", 6);
    const std::string native = folder.Path("native.csv"), excel = folder.Path("excel.csv");
    ASSERT_EQ(obj->SaveAs(CBstr(native)), S_OK);
    ASSERT_EQ(obj->SaveAsExcelFile(CBstr(excel)), S_OK);
    Doc().stream.Close();
    const std::string plain = folder.Path("plain.csv");
    std::ofstream(plain, std::ios::binary) << "5,4";
    ASSERT_EQ(text->SetSeparator(","), S_OK);
    struct Case {
        const std::string& path;
        int32_t asked;
        HRESULT result;
        uint8_t family; // of the document after the load
        double a1;
    } const cases[] = {
        {native, 1, S_OK, kFileNative, 6},
        {native, 2, S_OK, kFileNative, 6},
        {native, 3, S_OK, kFileNative, 6},
        {excel, 1, S_OK, kFileExcelXml, 6},
        {excel, 0, S_OK, kFileExcelXml, 6},
        {plain, 1, S_OK, kFileText, 5},
        {plain, 0, HRESULT(0x80040015), kFileText, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(obj->Load(CBstr(c.path), CBstr(), c.asked, text.get(), xbase.get()), c.result)
            << c.path << " " << c.asked;
        EXPECT_EQ(Doc().fileFamily, c.family) << c.path << " " << c.asked;
        EXPECT_EQ(Number("$A$1"), c.a1) << c.path << " " << c.asked;
        Doc().stream.Close();
    }
}

} // namespace
} // namespace vl::autotest

namespace vl::autotest {
namespace {

// A table whose save with its memo was cut after both waited under their pair names is put in
// place by the next Load, which reads the new pair.
TEST_F(ForeignFilesTest, LoadFinishesACutTableSave) {
    NewDocument();
    ASSERT_EQ(obj->PutValue("$A$2", CVariant::Bstr(std::string(300, 'o'))), S_OK);
    ASSERT_EQ(xbase->SetXBaseFormat(3), S_OK);
    ASSERT_EQ(xbase->SetFieldCount(1), S_OK);
    ASSERT_EQ(xbase->SetField(0, "NOTE", 'M', 10, 0), S_OK);
    const std::string path = folder.Path("cut.dbf"), memo = folder.Path("cut.dbt");
    ASSERT_EQ(obj->SaveAsDatabase(CBstr(path), xbase.get()), S_OK);
    ASSERT_EQ(obj->PutValue("$A$2", CVariant::Bstr(std::string(400, 'n'))), S_OK);
    const std::string newer = folder.Path("newer.dbf");
    ASSERT_EQ(obj->SaveAsDatabase(CBstr(newer), xbase.get()), S_OK);
    Doc().stream.Close();
    // The cut: the new pair waits beside the old one.
    std::filesystem::rename(newer, PairPath(path));
    std::filesystem::rename(folder.Path("newer.dbt"), PairPath(memo));
    ASSERT_EQ(obj->Load(CBstr(path), CBstr(), 3, nullptr, xbase.get()), S_OK);
    CVariant v;
    ASSERT_EQ(obj->GetValue("$A$2", v), S_OK);
    EXPECT_EQ(v.text, std::string(400, 'n'));
    EXPECT_FALSE(std::filesystem::exists(PairPath(path)));
    EXPECT_FALSE(std::filesystem::exists(PairPath(memo)));
}

} // namespace
} // namespace vl::autotest
