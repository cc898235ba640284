// Files another program wrote (tools/make-foreign-fixtures.sh made them from the sources in
// tests/data/exchange/sources) read into the cells their sources hold; and the exports that
// the script hands to those programs, read back by our own readers.
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "formula/evalcontext.h"
#include "tests/exchange/exchangetestutil.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

const std::string kData = std::string(VORLANE_TEST_DATA) + "/exchange/";
const std::string kLong = [] {
    std::string s;
    for (int i = 0; i < 25; ++i) s += "Lorem ipsum ";
    s.pop_back();
    return s + "X";
}();

std::string CsvCells() {
    return "A1=t:name|B1=t:amount|C1=t:note|A2=t:Gr\xFC\xDF"
           "e|B2=n:1.5|C2=t:a,b|"
           "A3=t:say \"hi\"|B3=n:-2|C3=t:" +
           kLong + "|A4=t:\xC6re|B4=n:12345.25|C4=t:tab\tin";
}

TEST(ForeignFixtures, LibreOfficeTextFiles) {
    const struct {
        const char* encoding;
        uint8_t code;
    } encodings[] = {{"utf8", 1}, {"ansi", 2}, {"oem", 3}};
    const struct {
        const char* name;
        char separator;
    } separators[] = {{"comma", ','}, {"semicolon", ';'}, {"tab", '\t'}};
    for (const auto& e : encodings) {
        for (const auto& s : separators) {
            const std::string file = kData + "lo-" + e.encoding + "-" + s.name + ".csv";
            auto book = OpenForImport(file);
            book->textFile.encoding = e.code;
            book->textFile.separator = uint8_t(s.separator);
            CEvalContext ctx;
            ASSERT_TRUE(ImportTextFile(*book, ctx)) << file;
            EXPECT_EQ(AllCells(*book->tree.active), CsvCells()) << file;
        }
    }
}

TEST(ForeignFixtures, LibreOfficeTables) {
    const std::string memoCells = "A1=t:NAME|B1=t:AMOUNT|C1=t:NOTE|A2=t:Gr\xFC\xDF"
                                  "e|B2=n:1.5|"
                                  "C2=t:a,b|A3=t:say \"hi\"|B3=n:-2|C3=t:" +
                                  kLong + "|A4=t:\xC6re|B4=n:12345.25|C4=t:tab\tin";
    const std::string plainCells = "A1=t:NAME|B1=t:AMOUNT|C1=t:DAY|A2=t:Gr\xFC\xDF"
                                   "e|B2=n:1.5|"
                                   "C2=t:plain|A3=t:\xC6re|B3=n:-2|C3=t:semi;colon";
    const struct {
        const char* file;
        uint8_t encoding;
        const std::string& cells;
        uint8_t version;
    } cases[] = {{"lo-memo-ansi.dbf", 2, memoCells, 0x83},
                 {"lo-memo-oem.dbf", 3, memoCells, 0x83},
                 {"lo-plain-ansi.dbf", 2, plainCells, 0x03},
                 {"lo-plain-oem.dbf", 3, plainCells, 0x03}};
    for (const auto& c : cases) {
        EXPECT_EQ(uint8_t(ReadFile(kData + c.file)[0]), c.version) << c.file;
        auto book = OpenForImport(kData + c.file);
        book->xbase.format = 3;
        book->xbase.encoding = c.encoding;
        ASSERT_TRUE(ImportXBase(*book)) << c.file;
        EXPECT_EQ(AllCells(*book->tree.active), c.cells) << c.file;
    }
}

// The exports the fixture script gives the other programs; each reads back here as written.
TEST(ForeignFixtures, OurExportsReadBack) {
    TempFolder temp;
    const char* given = std::getenv("VORLANE_EXPORT_DIR");
    const std::string dir = given ? given : temp.Dir();
    auto book = CreateWorkbook();
    ASSERT_TRUE(NewWorkbook(*book));
    CWorksheet& sheet = *book->tree.active;
    const char* names[] = {"name", "amount", "note"};
    for (uint16_t c = 0; c < 3; ++c) PutText(sheet, c, 0, names[c]);
    PutText(sheet, 0, 1,
            "Gr\xFC\xDF"
            "e");
    PutNumber(sheet, 1, 1, 1.5);
    PutText(sheet, 2, 1, "a,b;c");
    PutText(sheet, 0, 2, "say \"hi\"");
    PutNumber(sheet, 1, 2, -2);
    PutText(sheet, 2, 2, kLong);
    const std::string expected = AllCells(sheet);
    const struct {
        const char* file;
        uint8_t encoding;
        char separator;
    } texts[] = {{"ours-utf8.csv", 1, ','}, {"ours-ansi.csv", 2, ';'}, {"ours-oem.csv", 3, '\t'}};
    for (const auto& t : texts) {
        book->textFile.encoding = t.encoding;
        book->textFile.separator = uint8_t(t.separator);
        const std::string path = dir + "/" + t.file;
        ASSERT_NE(SaveBytes(*book, path, [&](CWorkbook& b) { return ExportTextFile(b, sheet); }),
                  "<failed>");
        auto back = OpenForImport(path);
        back->textFile = book->textFile;
        CEvalContext ctx;
        ASSERT_TRUE(ImportTextFile(*back, ctx));
        EXPECT_EQ(AllCells(*back->tree.active), expected) << t.file;
    }
    const struct {
        const char* file;
        uint8_t format;
        uint8_t encoding;
    } tables[] = {{"ours-dbase3-oem.dbf", 3, 3},
                  {"ours-dbase4-ansi.dbf", 4, 2},
                  {"ours-foxpro-ansi.dbf", 5, 2},
                  {"ours-clipper-oem.dbf", 6, 3}};
    for (const auto& t : tables) {
        const std::string path = dir + "/" + t.file;
        book->xbase.encoding = t.encoding;
        ASSERT_NE(SaveTableBytes(*book, sheet, path,
                                 [&](CWorkbook& b) {
                                     return BuildXBaseFieldList(b, sheet, b.xbase, t.format);
                                 }),
                  "<failed>");
        auto back = OpenForImport(path);
        back->xbase.format = t.format;
        back->xbase.encoding = t.encoding;
        ASSERT_TRUE(ImportXBase(*back)) << t.file;
        EXPECT_EQ(AllCells(*back->tree.active), expected) << t.file;
    }
}

} // namespace
} // namespace vl
