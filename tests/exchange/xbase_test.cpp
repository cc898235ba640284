// xBase tables: field lists derived from worksheets, golden headers, field values both ways,
// and headers that must be refused.
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "formula/token.h"
#include "model/formatstore.h"
#include "platform/core/bytes.h"
#include "tests/exchange/exchangetestutil.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace vl {
namespace {

using namespace exchangetest;

struct FieldSpec {
    std::string name;
    char type;
    uint8_t length;
    uint8_t decimals = 0;
};

// A table as another program writes it.
std::string TableBytes(const std::vector<FieldSpec>& fields, const std::vector<std::string>& rows,
                       uint8_t version = 0x03, int recordLength = -1, int headerLength = -1) {
    std::string out(32, '\0');
    uint32_t length = 1;
    for (const FieldSpec& f : fields) length += f.length;
    out[0] = char(version);
    StoreU32(reinterpret_cast<uint8_t*>(out.data()) + 4, uint32_t(rows.size()));
    StoreU16(reinterpret_cast<uint8_t*>(out.data()) + 8,
             uint16_t(headerLength >= 0 ? headerLength : 32 * fields.size() + 33));
    StoreU16(reinterpret_cast<uint8_t*>(out.data()) + 10,
             uint16_t(recordLength >= 0 ? recordLength : length));
    for (const FieldSpec& f : fields) {
        std::string d(32, '\0');
        d.replace(0, f.name.size(), f.name);
        d[11] = f.type;
        d[16] = char(f.length);
        d[17] = char(f.decimals);
        out += d;
    }
    out += '\x0D';
    for (const std::string& r : rows) out += r;
    out += '\x1A';
    return out;
}

struct Imported {
    std::unique_ptr<CWorkbook> book;
    bool ok = false;
    std::string cells;
};

Imported ImportTable(const TempFolder& dir, const std::string& bytes, uint8_t format = 4,
                     uint8_t encoding = 2, const std::string& name = "t.dbf") {
    WriteFile(dir.Path(name), bytes);
    Imported r;
    r.book = OpenForImport(dir.Path(name));
    r.book->xbase.format = format;
    r.book->xbase.encoding = encoding;
    r.ok = ImportXBase(*r.book);
    if (r.ok) r.cells = AllCells(*r.book->tree.active);
    return r;
}

std::unique_ptr<CWorkbook> BookWithSheet() {
    auto book = CreateWorkbook();
    EXPECT_TRUE(NewWorkbook(*book));
    return book;
}

std::string ExportTable(const TempFolder& dir, CWorkbook& book, uint8_t format,
                        const std::string& name = "out.dbf") {
    const std::string path = dir.Path(name);
    CWorksheet& sheet = *book.tree.active;
    return SaveTableBytes(book, sheet, path, [&](CWorkbook& b) {
        return BuildXBaseFieldList(b, sheet, b.xbase, format);
    });
}

TEST(XBaseImport, FieldValues) {
    TempFolder dir;
    const std::vector<FieldSpec> fields = {{"NAME", 'C', 6}, {"AMOUNT", 'N', 8, 2}, {"OK", 'L', 1},
                                           {"DAY", 'D', 8},  {"BLOB", 'G', 2},      {"AT", 'T', 2},
                                           {"ODD", 'Q', 1}};
    const std::vector<std::string> rows = {
        std::string(" ") + "abc   " + "  -12.50" + "T" + "20071231" + "xxyyz",
        std::string("*") + "\x81     " + "   1.5e2" + "?" + "20071331" + "xxyyz",
        std::string(" ") + "x     " + "        " + "n" + "        " + "xxyyz",
        std::string(" ") + "y     " + "       9" + "x" + "00000000" + "xxyyz",
    };
    const Imported r = ImportTable(dir, TableBytes(fields, rows), 4, 3);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.cells, "A1=t:NAME|B1=t:AMOUNT|C1=t:OK|D1=t:DAY|E1=t:BLOB|F1=t:AT|G1=t:ODD|"
                       "A2=t:abc|B2=n:-12.5|C2=t:Y|D2=t:2007-12-31|E2=t:Binary data|F2=t:Time|"
                       "A3=t:\xFC|B3=n:150|C3=t:?|D3=t:!7|E3=t:Binary data|F3=t:Time|"
                       "A4=t:x|C4=t:N|E4=t:Binary data|F4=t:Time|"
                       "A5=t:y|B5=n:9|C5=t:x|D5=t:!7|E5=t:Binary data|F5=t:Time");
    EXPECT_EQ(r.book->tree.active->name, std::string("t.dbf"));
}

// A number past the double range stays the text its field holds, never 0, and an undecided
// logical stays "?" (which the export writes back); the largest double and a number that
// underflows are numbers.
TEST(XBaseImport, ValuesNoNumberHoldsAreKeptAsTheirText) {
    TempFolder dir;
    const std::vector<FieldSpec> fields = {{"N", 'N', 24}, {"F", 'F', 8}, {"OK", 'L', 1}};
    const std::vector<std::string> rows = {
        std::string(" ") + "                   1e400" + "  -1e309" + "?",
        std::string(" ") + "  1.7976931348623157e308" + " 1e-400 " + "T",
    };
    const Imported r = ImportTable(dir, TableBytes(fields, rows), 4);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.cells, "A1=t:N|B1=t:F|C1=t:OK|A2=t:1e400|B2=t:-1e309|C2=t:?|"
                       "A3=n:1.79769313486232e+308|B3=n:0|C3=t:Y");
}

// With the OEM encoding a Character field holding a character Windows-1252 has not (box
// drawing, a dotless i) is left out and counted; the import reads on. The ANSI encoding
// takes every byte as it is.
TEST(XBaseImport, TextsOutsideTheCodePageAreLeftOutAndCounted) {
    const struct {
        const char* name;
        std::vector<std::string> rows;
        uint8_t encoding;
        const char* cells;
        uint32_t refused;
    } cases[] = {
        {"all kept", {" \x81\x82", "  a"}, 3, "A1=t:A|A2=t:\xFC\xE9|A3=t: a", 0},
        {"oem box drawing", {" a\xC4", " \xB3 ", " b "}, 3, "A1=t:A|A4=t:b", 2},
        {"a dotless i", {" \xD5 ", " \xE2\x81", " c "}, 3, "A1=t:A|A3=t:\xD4\xFC|A4=t:c", 1},
        {"ansi takes every byte", {" \xC4\xB3"}, 2, "A1=t:A|A2=t:\xC4\xB3", 0},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        WriteFile(dir.Path("t.dbf"), TableBytes({{"A", 'C', 2}}, c.rows));
        auto book = OpenForImport(dir.Path("t.dbf"));
        book->xbase.format = 4;
        book->xbase.encoding = c.encoding;
        book->refusedTexts = 7; // a count of an earlier import goes
        ASSERT_TRUE(ImportXBase(*book)) << c.name;
        EXPECT_EQ(AllCells(*book->tree.active), c.cells) << c.name;
        EXPECT_EQ(book->refusedTexts, c.refused) << c.name;
    }
}

// A deleted record keeps its values and turns red.
TEST(XBaseImport, DeletedRecordIsRed) {
    TempFolder dir;
    const Imported r = ImportTable(dir, TableBytes({{"A", 'C', 1}}, {" a", "*b", " c"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.cells, "A1=t:A|A2=t:a|A3=t:b|A4=t:c");
    CellCursor runs{0, r.book->tree.active->formats.runs.FirstPage(), 0};
    const uint8_t* p = FormatRunCursorNext(runs);
    ASSERT_NE(p, nullptr);
    const FormatRun run = LoadFormatRun(p);
    EXPECT_EQ(run.row, 2u);
    EXPECT_EQ(run.firstColumn, 0);
    EXPECT_EQ(run.lastColumn, kLastColumn);
    const StyleRecord& style = GetStyleRecord(r.book->styles, run.style);
    EXPECT_EQ(style.fontRef.colorGiven, 1);
    EXPECT_EQ(style.fontRef.color, Rgb(255, 0, 0));
    runs.offset = uint16_t(runs.offset + kFormatRunSize);
    EXPECT_EQ(FormatRunCursorNext(runs), nullptr);
}

// A record the file's end cuts keeps its whole fields; the end mark stops the records.
TEST(XBaseImport, ShortFileAndEndMark) {
    TempFolder dir;
    std::string bytes = TableBytes({{"A", 'C', 2}, {"B", 'C', 2}}, {" aabb"});
    bytes.pop_back();
    EXPECT_EQ(ImportTable(dir, bytes + " cc").cells, "A1=t:A|B1=t:B|A2=t:aa|B2=t:bb|A3=t:cc");
    EXPECT_EQ(ImportTable(dir, bytes + "\x1A"
                                       " ccdd")
                  .cells,
              "A1=t:A|B1=t:B|A2=t:aa|B2=t:bb");
}

struct BadHeader {
    const char* name;
    std::string bytes;
};

TEST(XBaseImport, RefusedHeaders) {
    TempFolder dir;
    const std::string good = TableBytes({{"A", 'C', 3}}, {" abc"});
    std::string noLetter = good;
    noLetter[32 + 11] = '3';
    std::string lowerType = good;
    lowerType[32 + 11] = 'c';
    const std::vector<BadHeader> cases = {
        {"empty file", ""},
        {"truncated header", good.substr(0, 31)},
        {"truncated descriptors", good.substr(0, 40)},
        {"no fields", TableBytes({}, {}, 3, 1, 32)},
        {"header one short", TableBytes({{"A", 'C', 3}}, {" abc"}, 3, -1, 64)},
        {"record length 0", TableBytes({{"A", 'C', 3}}, {}, 3, 0)},
        {"fields past the record", TableBytes({{"A", 'C', 3}}, {}, 3, 3)},
        {"type no letter", noLetter},
        {"type lower case", lowerType},
    };
    for (const BadHeader& c : cases) {
        const Imported r = ImportTable(dir, c.bytes);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.book->error, kErrorFileFormat) << c.name;
        // The tree is left as it was: no worksheet was made.
        EXPECT_EQ(r.book->tree.first, nullptr) << c.name;
    }
    // The last values accepted beside them.
    EXPECT_TRUE(ImportTable(dir, TableBytes({{"A", 'C', 3}}, {" abc"}, 3, 4, 65)).ok);
    const Imported wide = ImportTable(dir, TableBytes({{"A", 'C', 3}}, {}, 3, 5, 65) + "x");
    EXPECT_TRUE(wide.ok);
}

// The largest field count a header length can give, with the excess bytes of a record skipped.
TEST(XBaseImport, LargestFieldCount) {
    TempFolder dir;
    std::vector<FieldSpec> fields(2046, FieldSpec{"F", 'C', 1});
    const std::string record = " " + std::string(2046, 'z') + "??";
    const Imported r = ImportTable(dir, TableBytes(fields, {record}, 3, 2049));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(CellAt(*r.book->tree.active, 2045, 1), "t:z");
    EXPECT_EQ(CellAt(*r.book->tree.active, 2045, 0), "t:F");
}

// A header that claims more records than the file holds reads what is there.
TEST(XBaseImport, RecordCountFromFileLength) {
    TempFolder dir;
    const std::string path = dir.Path("n.dbf");
    std::string bytes = TableBytes({{"A", 'C', 1}}, {" a", " b"});
    StoreU32(reinterpret_cast<uint8_t*>(bytes.data()) + 4, 1000);
    WriteFile(path, bytes);
    auto book = OpenForImport(path);
    ASSERT_TRUE(ReadDbfHeader(*book, book->xbase));
    EXPECT_EQ(RecordCount(book->xbase), 2u);
    book.reset();
    WriteFile(path, bytes.substr(0, 60) + std::string(6, '\0'));
    auto shorter = OpenForImport(path);
    ASSERT_TRUE(ReadDbfHeader(*shorter, shorter->xbase));
    EXPECT_EQ(RecordCount(shorter->xbase), 0u);
}

TEST(XBaseExport, EmptySheet) {
    TempFolder dir;
    for (uint8_t format : {3, 4, 5, 6}) {
        auto book = BookWithSheet();
        const std::string bytes = ExportTable(dir, *book, format);
        const bool endMark = format == 3 || format == 4;
        ASSERT_EQ(bytes.size(), endMark ? 66u : 65u) << int(format);
        EXPECT_EQ(uint8_t(bytes[0]), 0x03);
        EXPECT_EQ(LoadU16(reinterpret_cast<const uint8_t*>(bytes.data()) + 8), 65);
        EXPECT_EQ(LoadU16(reinterpret_cast<const uint8_t*>(bytes.data()) + 10), 2);
        EXPECT_EQ(LoadU32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4), 0u);
        EXPECT_EQ(bytes.substr(32, 12), std::string("field_1\0\0\0\0C", 12));
        EXPECT_EQ(bytes[48], 1);
        EXPECT_EQ(bytes[64], '\x0D');
        if (endMark) {
            EXPECT_EQ(bytes[65], '\x1A');
        }
    }
}

TEST(XBaseExport, DerivedFields) {
    TempFolder dir;
    struct Case {
        uint8_t format;
        std::string types;   // type letters of the three fields
        std::string lengths; // length bytes
        std::string decimals;
        uint8_t version;
    };
    const std::vector<Case> cases = {
        {3, "CNM", std::string("\x05\x12\x0A", 3), std::string("\0\x01\0", 3), 0x83},
        {4, "CFM", std::string("\x05\x14\x0A", 3), std::string("\0\x06\0", 3), 0x8B},
        {5, "CFC", std::string("\x05\x14\x2C", 3), std::string("\0\x06\x01", 3), 0x03},
        {6, "CNC", std::string("\x05\x12\x2C", 3), std::string("\0\x01\x01", 3), 0x03},
    };
    for (const Case& c : cases) {
        auto book = BookWithSheet();
        CWorksheet& s = *book->tree.active;
        PutText(s, 0, 0, "Name of the field");
        PutText(s, 1, 0, "Amount");
        PutText(s, 0, 1, "abc");
        PutText(s, 0, 2, "abcde");
        PutNumber(s, 1, 1, 2.5);
        PutText(s, 2, 3, std::string(300, 'm'));
        book->xbase.encoding = 3;
        const std::string bytes = ExportTable(dir, *book, uint8_t(c.format));
        ASSERT_GT(bytes.size(), 128u);
        EXPECT_EQ(uint8_t(bytes[0]), c.version) << int(c.format);
        EXPECT_EQ(book->xbase.encoding, 3) << int(c.format);
        EXPECT_EQ(bytes.substr(32, 11), std::string("Name of the", 10) + '\0');
        EXPECT_EQ(bytes.substr(64, 7), std::string("Amount\0", 7));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(bytes[32 + 32 * i + 11], c.types[i]) << int(c.format) << i;
            EXPECT_EQ(bytes[32 + 32 * i + 16], c.lengths[i]) << int(c.format) << i;
            EXPECT_EQ(bytes[32 + 32 * i + 17], c.decimals[i]) << int(c.format) << i;
        }
        EXPECT_EQ(LoadU32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4), 3u);
    }
}

// A text after a number widens the field to it; a number after a text is written whole.
TEST(XBaseExport, MixedColumns) {
    TempFolder dir;
    auto book = BookWithSheet();
    CWorksheet& s = *book->tree.active;
    PutNumber(s, 0, 1, 1);
    PutText(s, 0, 2, std::string(30, 't'));
    PutText(s, 1, 1, "a");
    PutNumber(s, 1, 2, 123456);
    const std::string bytes = ExportTable(dir, *book, 4);
    EXPECT_EQ(bytes[32 + 11], 'C');
    EXPECT_EQ(bytes[32 + 16], 30);
    EXPECT_EQ(bytes[64 + 11], 'C');
    EXPECT_EQ(bytes[64 + 16], 6);
    const Imported back = ImportTable(dir, bytes, 4, 2, "out.dbf");
    EXPECT_EQ(CellAt(*back.book->tree.active, 1, 2), "t:123456");
    EXPECT_EQ(CellAt(*back.book->tree.active, 0, 2), "t:" + std::string(30, 't'));
}

// A number column that a later text turns Character takes the numbers before it whole,
// however much wider than a number field their shown texts are.
TEST(XBaseExport, NumbersBeforeATextKeepTheirWholeText) {
    TempFolder dir;
    for (uint8_t format : {3, 4, 5, 6}) {
        auto book = BookWithSheet();
        CWorksheet& s = *book->tree.active;
        PutNumber(s, 0, 1, -1.23456789012345e-300);
        PutNumber(s, 0, 2, 7);
        PutText(s, 0, 3, "t");
        const std::string bytes = ExportTable(dir, *book, format);
        ASSERT_NE(bytes, "<failed>");
        EXPECT_EQ(bytes[32 + 11], 'C') << int(format);
        EXPECT_EQ(uint8_t(bytes[32 + 16]), 22u) << int(format); // 15 significant digits
        const Imported back = ImportTable(dir, bytes, format, 2, "out.dbf");
        EXPECT_EQ(CellAt(*back.book->tree.active, 0, 1), "t:-1.23456789012345E-300") << int(format);
        EXPECT_EQ(CellAt(*back.book->tree.active, 0, 2), "t:7") << int(format);
    }
}

// Field list from a table object: logical, date and numeric fields written from cells.
TEST(XBaseExport, WrittenFieldValues) {
    TempFolder dir;
    auto book = BookWithSheet();
    CWorksheet& s = *book->tree.active;
    const std::vector<std::pair<double, const char*>> logical = {
        {0, nullptr}, {1, nullptr}, {0, "true"}, {0, "x-ray"}, {0, "no"}, {0, "?"}};
    for (uint32_t i = 0; i < logical.size(); ++i) {
        if (logical[i].second)
            PutText(s, 0, i + 1, logical[i].second);
        else
            PutNumber(s, 0, i + 1, logical[i].first);
    }
    PutText(s, 1, 1, "2007-12-31");
    PutText(s, 1, 2, "no date");
    PutNumber(s, 1, 3, 5);
    PutNumber(s, 2, 1, 123.4);
    PutNumber(s, 2, 2, -1.26);
    PutText(s, 2, 3, "12.5");
    XBaseSaveOptions& o = book->xbase;
    o.format = 4;
    ASSERT_TRUE(AllocateDescriptors(o, 3));
    const FieldSpec specs[] = {{"L", 'L', 1}, {"D", 'D', 8}, {"N", 'N', 5, 1}};
    for (int i = 0; i < 3; ++i) {
        uint8_t* d = o.fieldDescriptors + 32 * i;
        d[0] = uint8_t(specs[i].name[0]);
        d[11] = uint8_t(specs[i].type);
        d[16] = specs[i].length;
        d[17] = specs[i].decimals;
    }
    FillXBaseHeader(o, 3, 15, 0, false);
    const std::string path = dir.Path("v.dbf");
    const std::string bytes = SaveTableBytes(*book, s, path, [](CWorkbook&) { return true; });
    ASSERT_EQ(bytes.size(), 129u + 6 * 15 + 1);
    const std::string records = bytes.substr(129, 6 * 15);
    const std::string blank8(8, ' ');
    EXPECT_EQ(records, " N20071231123.4"
                       " Y" +
                           blank8 + " -1.3" + " Y" + blank8 + " 12.5" + "  " + blank8 + "     " +
                           " N" + blank8 + "     " + " ?" + blank8 + "     ");
}

// The limits of the derived fields: a text of 254 characters stays Character, 255 and more
// become a memo.
TEST(XBaseExport, MemoFromTheFirstTextOf255Characters) {
    TempFolder dir;
    auto book = BookWithSheet();
    CWorksheet& s = *book->tree.active;
    const uint32_t lengths[] = {254, 255, 300};
    for (uint16_t c = 0; c < 3; ++c) PutText(s, c, 1, std::string(lengths[c], 'a' + c));
    const std::string bytes = ExportTable(dir, *book, 3);
    ASSERT_GT(bytes.size(), 128u);
    const char types[] = {'C', 'M', 'M'};
    const uint8_t stored[] = {254, 10, 10};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bytes[32 + 32 * i + 11], types[i]) << lengths[i];
        EXPECT_EQ(uint8_t(bytes[32 + 32 * i + 16]), stored[i]) << lengths[i];
    }
}

// A column of 123456789012 and 0.1234567 takes the widest field, 20 characters with seven
// decimals, Numeric or Float; a narrower one could not hold both and the export would fail.
TEST(XBaseExport, AWideWholePartAndSevenDecimalsTakeTheWidestField) {
    TempFolder dir;
    for (uint8_t format : {3, 4}) {
        SCOPED_TRACE(int(format));
        auto book = BookWithSheet();
        CWorksheet& s = *book->tree.active;
        PutText(s, 0, 0, "Amount");
        PutNumber(s, 0, 1, 123456789012);
        PutNumber(s, 0, 2, 0.1234567);
        const std::string bytes = ExportTable(dir, *book, format);
        ASSERT_NE(bytes, "<failed>") << int(book->error);
        EXPECT_EQ(bytes[32 + 11], format == 3 ? 'N' : 'F');
        EXPECT_EQ(std::pair(int(bytes[32 + 16]), int(bytes[32 + 17])), std::pair(20, 7));
        const Imported back = ImportTable(dir, bytes, format, 2, "wide.dbf");
        ASSERT_TRUE(back.ok);
        EXPECT_EQ(CellAt(*back.book->tree.active, 0, 1), "n:123456789012");
        EXPECT_EQ(CellAt(*back.book->tree.active, 0, 2), "n:0.1234567");
    }
}

// A number exactly as wide as its Numeric field, at the field's decimals, is written; one
// wider (rounding included) fails the export with 118, the old table kept byte for byte,
// since any text that fits would read back as another number.
TEST(XBaseExport, NumbersAtTheFieldWidth) {
    struct Case {
        double value;
        uint8_t width, decimals;
        const char* written; // null: refused
    } const cases[] = {
        {999.9, 5, 1, "999.9"},
        {-99.9, 5, 1, "-99.9"},
        {7, 5, 1, "  7.0"},
        {999.94, 5, 1, "999.9"},
        {999.95, 5, 1, nullptr},
        {1000, 5, 1, nullptr},
        {-100, 5, 1, nullptr},
        {12345.678, 5, 1, nullptr},
        {-1234.56, 5, 1, nullptr},
        {123456, 5, 1, nullptr},
        {-12345, 5, 1, nullptr},
        {99999.96, 5, 1, nullptr},
        {-9999.99, 8, 2, "-9999.99"},
        {99999.994, 8, 2, "99999.99"},
        {-99999.99, 8, 2, nullptr},
        {-99999.999, 8, 2, nullptr},
        {99999.996, 8, 2, nullptr},
        {12345678, 8, 0, "12345678"},
        {-1234567.4, 8, 0, "-1234567"},
        {-1234567.5, 8, 0, "-1234568"},
        {-12345678, 8, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        TempFolder dir;
        auto book = BookWithSheet();
        CWorksheet& s = *book->tree.active;
        PutNumber(s, 0, 1, 1);
        PutNumber(s, 0, 2, c.value);
        XBaseSaveOptions& o = book->xbase;
        o.format = 3;
        ASSERT_TRUE(AllocateDescriptors(o, 1));
        o.fieldDescriptors[0] = 'N';
        o.fieldDescriptors[11] = 'N';
        o.fieldDescriptors[16] = c.width;
        o.fieldDescriptors[17] = c.decimals;
        FillXBaseHeader(o, 1, uint32_t(1 + c.width), 0, false);
        const std::string path = dir.Path("w.dbf");
        { std::ofstream(path, std::ios::binary) << "old table"; }
        const std::string bytes = SaveTableBytes(*book, s, path, [](CWorkbook&) { return true; });
        if (!c.written) {
            EXPECT_EQ(bytes, "<failed>");
            EXPECT_EQ(book->error, kErrorFieldOverflow);
            EXPECT_EQ(ReadFile(path), "old table");
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()),
                                    std::filesystem::directory_iterator()),
                      1);
            continue;
        }
        ASSERT_EQ(bytes.size(), 65u + 2 * (1 + c.width) + 1);
        EXPECT_EQ(bytes.substr(65 + 1 + c.width, 1 + c.width), std::string(" ") + c.written);
    }
}

// The Float field of the newer tables carries six decimals: a number of more than 20
// characters keeps its whole part and the decimals that fit.
TEST(XBaseExport, FloatFieldsCutOnlyDecimals) {
    TempFolder dir;
    auto book = BookWithSheet();
    CWorksheet& s = *book->tree.active;
    PutText(s, 0, 0, "F");
    struct Case {
        double value;
        const char* written;
    } const cases[] = {
        {1234567890123.5, "1234567890123.500000"},
        {12345678901234.25, "12345678901234.25000"},
        {-1234567890123456.0, "-1234567890123456.00"},
        {12345678901234567890.0, "12345678901234567168"},
    };
    for (uint32_t i = 0; i < std::size(cases); ++i) PutNumber(s, 0, i + 1, cases[i].value);
    const std::string bytes = ExportTable(dir, *book, 4);
    ASSERT_GT(bytes.size(), 32u + 12);
    ASSERT_EQ(bytes[32 + 11], 'F');
    const std::size_t header = uint8_t(bytes[8]) | std::size_t(uint8_t(bytes[9])) << 8;
    ASSERT_EQ(bytes.size(), header + std::size(cases) * 21 + 1);
    for (uint32_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(bytes.substr(header + 21 * i + 1, 20), cases[i].written) << cases[i].value;
    // A whole part wider than the field fails the export.
    PutNumber(s, 0, 1, 1e20);
    EXPECT_EQ(ExportTable(dir, *book, 4), "<failed>");
    EXPECT_EQ(book->error, kErrorFieldOverflow);
}

// The record's limit: 65,534 bytes pass for dBase III+ and are refused for the split formats.
TEST(XBaseExport, RecordTooLong) {
    struct Case {
        uint8_t format;
        uint32_t last; // length of the text in the last column, 0 for none
        bool ok;
    };
    const Case cases[] = {{3, 1, true}, {3, 2, false}, {5, 0, true}, {5, 1, false}};
    for (const Case& c : cases) {
        auto book = BookWithSheet();
        CWorksheet& s = *book->tree.active;
        // 258 texts of 254 characters and the flag byte: 65,533 bytes.
        for (uint16_t col = 0; col < 258; ++col) PutText(s, col, 1, std::string(254, 'a'));
        XBaseSaveOptions& o = book->xbase;
        ASSERT_TRUE(BuildXBaseFieldList(*book, s, o, 4));
        const std::string before(reinterpret_cast<const char*>(o.header), 32);
        if (c.last) PutText(s, 258, 1, std::string(c.last, 'b'));
        const bool ok = BuildXBaseFieldList(*book, s, o, c.format);
        EXPECT_EQ(ok, c.ok) << int(c.format) << " " << c.last;
        if (ok) {
            EXPECT_EQ(RecordLength(o), 65533 + c.last);
        } else {
            EXPECT_EQ(book->error, kErrorTooManyFields);
            // The field list of the last success is kept whole.
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(o.header), 32), before);
            EXPECT_EQ(o.format, 4);
        }
    }
}

// Texts up to the cell limit survive every format, through memos or split lengths.
TEST(XBaseRoundTrip, LongTextsEveryFormat) {
    TempFolder dir;
    for (uint8_t format : {3, 4, 5, 6}) {
        for (uint8_t encoding : {2, 3}) {
            auto book = BookWithSheet();
            CWorksheet& s = *book->tree.active;
            PutText(s, 0, 0, "TEXT");
            PutText(s, 0, 1, std::string(kMaxCellText, '\xE4'));
            PutText(s, 0, 2, "short");
            PutText(s, 0, 3, std::string(511, 'q'));
            PutNumber(s, 1, 3, -3);
            book->xbase.encoding = encoding;
            const std::string bytes = ExportTable(dir, *book, format);
            ASSERT_NE(bytes, "<failed>");
            const Imported back = ImportTable(dir, bytes, format, encoding, "out.dbf");
            ASSERT_TRUE(back.ok);
            const CWorksheet& t = *back.book->tree.active;
            EXPECT_EQ(CellAt(t, 0, 1), "t:" + std::string(kMaxCellText, '\xE4'))
                << int(format) << int(encoding);
            EXPECT_EQ(CellAt(t, 0, 2), "t:short");
            EXPECT_EQ(CellAt(t, 0, 3), "t:" + std::string(511, 'q'));
            EXPECT_EQ(CellAt(t, 1, 3), "n:-3");
        }
    }
}

// What comes back of each kind of cell a table field cannot hold as it is: an empty cell of
// a number column stays empty (a blank field is no 0), and an error value comes back as its
// name in a Character field, never as a number.
TEST(XBaseRoundTrip, EmptyCellsAndErrorValuesEveryFormat) {
    TempFolder dir;
    for (uint8_t format : {3, 4, 5, 6}) {
        auto book = BookWithSheet();
        CWorksheet& s = *book->tree.active;
        PutText(s, 0, 0, "N");
        PutNumber(s, 0, 1, 1.5);
        PutNumber(s, 0, 3, 2);
        PutText(s, 1, 0, "E");
        PutNumber(s, 1, 1, 7);
        PutNumber(s, 1, 2, 0);
        cell::SetError(FindCell(s.cells, 2, 1), kErrDivZero >> 4);
        const std::string bytes = ExportTable(dir, *book, format);
        ASSERT_NE(bytes, "<failed>");
        const Imported back = ImportTable(dir, bytes, format, 2, "out.dbf");
        ASSERT_TRUE(back.ok);
        const CWorksheet& t = *back.book->tree.active;
        EXPECT_EQ(CellAt(t, 0, 1) + "|" + CellAt(t, 0, 2) + "|" + CellAt(t, 0, 3), "n:1.5||n:2")
            << int(format);
        EXPECT_EQ(CellAt(t, 1, 1) + "|" + CellAt(t, 1, 2), "t:7|t:#DIV/0!") << int(format);
    }
}

TEST(XBaseExport, FoxProMemoVersion) {
    TempFolder dir;
    auto book = BookWithSheet();
    PutText(*book->tree.active, 0, 1, std::string(300, 'x'));
    XBaseSaveOptions& o = book->xbase;
    o.format = 5;
    ASSERT_TRUE(AllocateDescriptors(o, 1));
    o.fieldDescriptors[0] = 'M';
    o.fieldDescriptors[11] = 'M';
    o.fieldDescriptors[16] = 10;
    FillXBaseHeader(o, 1, 11, 0, true);
    const std::string path = dir.Path("f.dbf");
    const std::string bytes =
        SaveTableBytes(*book, *book->tree.active, path, [](CWorkbook&) { return true; });
    EXPECT_EQ(uint8_t(bytes[0]), 0xF5);
    EXPECT_EQ(bytes.substr(66, 10), "         8");
    EXPECT_TRUE(CFileStream::FileExists(dir.Path("f.fpt").c_str()));
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// The memo beside a table is saved like any file: held by another program it is refused
// (43) and the table and memo stay as they were; through a symbolic link the link stays and
// the file it names is the new memo.
TEST(XBaseExport, TheMemoKeepsHeldFilesAndLinks) {
    TempFolder dir;
    auto book = BookWithSheet();
    PutText(*book->tree.active, 0, 1, std::string(300, 'm'));
    ASSERT_NE(ExportTable(dir, *book, 3), "<failed>");
    const std::string memo = dir.Path("out.dbt");
    const std::string table = ReadFile(dir.Path("out.dbf")), memoBytes = ReadFile(memo);
    ASSERT_FALSE(memoBytes.empty());
    const int holder = open(memo.c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    PutText(*book->tree.active, 0, 1, std::string(400, 'n'));
    EXPECT_EQ(ExportTable(dir, *book, 3), "<failed>");
    EXPECT_EQ(book->error, kStreamInUse);
    EXPECT_EQ(ReadFile(dir.Path("out.dbf")), table);
    EXPECT_EQ(ReadFile(memo), memoBytes);
    close(holder);

    const std::string real = dir.Path("real.dbt");
    std::filesystem::rename(memo, real);
    ASSERT_EQ(symlink("real.dbt", memo.c_str()), 0);
    ASSERT_NE(ExportTable(dir, *book, 3), "<failed>");
    EXPECT_TRUE(std::filesystem::is_symlink(memo));
    EXPECT_NE(ReadFile(real).find(std::string(400, 'n')), std::string::npos);
}

} // namespace
} // namespace vl
