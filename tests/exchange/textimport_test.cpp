// Text files read into a worksheet: fields, quoting, line ends, widths, code pages and the
// number form, also under a decimal-comma locale.
#include "core/settings.h"
#include "exchange/textfile.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/cellrecord.h"
#include "model/rangestyle.h"
#include "tests/exchange/exchangetestutil.h"

#include <clocale>
#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

struct ImportCase {
    const char* name;
    std::string bytes;
    std::string cells;
    uint8_t encoding = 2;
    uint8_t conversion = 1;
};

std::string Import(const TempFolder& dir, const std::string& bytes, TextFileSettings settings,
                   bool* ok = nullptr, std::string* sheetName = nullptr) {
    const std::string path = dir.Path("in.csv");
    WriteFile(path, bytes);
    auto book = OpenForImport(path);
    book->textFile = settings;
    CEvalContext ctx;
    const bool done = ImportTextFile(*book, ctx);
    if (ok) *ok = done;
    if (sheetName) *sheetName = book->tree.active ? book->tree.active->name : "";
    return book->tree.active ? AllCells(*book->tree.active) : "<no sheet>";
}

std::vector<ImportCase> DelimitedCases() {
    const std::string x8173(kMaxCellText, 'x');
    return {
        {"quoted separator", "\"a,b\",5", "A1=t:a,b|B1=n:5"},
        {"doubled quote", "\"a\"\"b\"", "A1=t:a\"b"},
        {"empty field counts", "a,,c", "A1=t:a|C1=t:c"},
        {"minus blanks exponent", "-  12.5e3", "A1=n:-12500"},
        {"leading blank", " 12", "A1=t: 12"},
        {"leading blank fraction", " 1/8", "A1=n:0.125"},
        {"leading blank date stays text", " 1/8/2026", "A1=t: 1/8/2026"},
        {"slash first stays text", "/8", "A1=t:/8"},
        {"thousands separator", "\"1.000,5\"", "A1=t:1.000,5"},
        {"point in a comma file", "1.000,5", "A1=n:1|B1=n:5"},
        // What the text export writes reads back as the number it was shown from.
        {"percent", "12%", "A1=n:0.12"},
        {"percent with decimals", "56.87%", "A1=n:0.5687"},
        {"thousands as exported", "\"1,234.5\"", "A1=n:1234.5"},
        {"currency as exported", "\"$1,234.00\"", "A1=n:1234"},
        {"negative currency", "($12.50)", "A1=n:-12.5"},
        {"date as exported", "1/2/2026", "A1=t:2026-01-02"}, // the ISO text a date cell holds
        // Past the double range a field stays its text, as typed; the largest double is a
        // number.
        {"past the double range", "1e309,-1e400,1e-400", "A1=t:1e309|B1=t:-1e400|C1=n:0"},
        {"the largest double", "1.7976931348623157e308,1.7976931348623159e308",
         "A1=n:1.79769313486232e+308|B1=t:1.7976931348623159e308"},
        {"dangling exponent", "1e", "A1=t:1e"},
        {"blank between digits", "007  1", "A1=t:007  1"},
        {"blank between digits before a point", "12 34.5", "A1=t:12 34.5"},
        {"blank between digits before a percent", "12 34%", "A1=t:12 34%"},
        {"currency and a blank", "$ 12", "A1=n:12"},
        {"whole and fraction", "1 1/2", "A1=n:1.5"},
        {"percent and blanks", "12%  ", "A1=n:0.12"},
        {"trailing blanks", "12  ", "A1=n:12"},
        {"lone minus", "-", "A1=t:-"},
        {"lone point", ".", "A1=t:."},
        {"blanks only", "  ", "A1=t:  "},
        {"fraction only", ".5", "A1=n:0.5"},
        {"line ends", "a\r\nb\nc\rd", "A1=t:a|A2=t:b|A3=t:c|A4=t:d"},
        {"empty line", "a\n\nb", "A1=t:a|A3=t:b"},
        {"control to blank", "a\tb", "A1=t:a b"},
        {"break inside quotes", "\"a\r\nb\"", "A1=t:a\r\nb"},
        {"tab inside quotes", "\"a\tb\"", "A1=t:a\tb"},
        {"control inside quotes to blank",
         "\"a\x01"
         "b\"",
         "A1=t:a b"},
        {"formula", "=1+2", "A1=f:=1+2"},
        {"no conversion", "5", "A1=t:5", 2, 0},
        {"utf8 umlauts",
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         "A1=t:Gr\xFC\xDF"
         "e",
         1},
        {"utf8 stray byte",
         "ab\xFF"
         "cd,e",
         "B1=t:e", 1},
        {"utf8 cut sequence", "ab\xC3", "", 1},
        {"utf8 four bytes",
         "a\xF0\x9F\x98\x80"
         "b",
         "", 1},
        {"utf8 signature kept",
         "\xEF\xBB\xBF"
         "x",
         "A1=t:\xEF\xBB\xBF"
         "x"},
        {"utf8 signature read",
         "\xEF\xBB\xBF"
         "x",
         "A1=t:x", 1},
        {"oem", "\x81\xE1", "A1=t:\xFC\xDF", 3},
        {"long field dropped past limit", std::string(kMaxCellText + 100, 'x') + ",5",
         "A1=t:" + x8173 + "|B1=n:5"},
        {"long quoted field", "\"" + std::string(kMaxCellText + 1, 'x') + "\",5",
         "A1=t:" + x8173 + "|B1=n:5"},
        // After a closing quote blanks join the field; other text makes the quotes part of
        // a field read as it stands, up to its separator; a quote never closed quotes nothing.
        {"blank after the quote", "\"Smith, John\" ,42", "A1=t:Smith, John |B1=n:42"},
        {"blanks then line end", "\"ab\"  \r\nc", "A1=t:ab  |A2=t:c"},
        {"text after the quote", "\"ab\"cd,x", "A1=t:\"ab\"cd|B1=t:x"},
        {"blank then text after the quote", "\"ab\" cd,x", "A1=t:\"ab\" cd|B1=t:x"},
        {"doubled quote then text", "\"a\"\"b\"c,d", "A1=t:\"a\"\"b\"c|B1=t:d"},
        {"separator inside, text after", "\"a,b\"c,x", "A1=t:\"a|B1=t:b\"c|C1=t:x"},
        {"unclosed quote", "a,b\r\n\"open,1\r\n2,3",
         "A1=t:a|B1=t:b|A2=t:\"open|B2=n:1|A3=n:2|B3=n:3"},
        {"lone quote at the end", "a,\"", "A1=t:a|B1=t:\""},
        {"control byte after the quote", std::string("\"ab\"\0,c", 7), "A1=t:\"ab\" |B1=t:c"},
        {"quoted then end of file", "\"ab\"", "A1=t:ab"},
    };
}

TEST(TextImport, DelimitedFields) {
    TempFolder dir;
    for (const ImportCase& c : DelimitedCases()) {
        TextFileSettings s;
        s.encoding = c.encoding;
        s.conversion = c.conversion;
        bool ok = false;
        EXPECT_EQ(Import(dir, c.bytes, s, &ok), c.cells) << c.name;
        EXPECT_TRUE(ok) << c.name;
    }
}

// A text with a character the code page has not (another alphabet, a character past 16
// bits, a malformed sequence, an OEM character Windows-1252 lacks) is left out and counted;
// the import reads on, and every other field is stored.
TEST(TextImport, TextsOutsideTheCodePageAreLeftOutAndCounted) {
    TempFolder dir;
    const struct {
        const char* name;
        std::string bytes;
        uint8_t encoding;
        const char* cells;
        uint32_t refused;
    } cases[] = {
        {"all kept", "caf\xC3\xA9,\xE2\x82\xAC 5", 1, "A1=t:caf\xE9|B1=t:\x80 5", 0},
        {"cyrillic", "a,\xD0\x96,b", 1, "A1=t:a|C1=t:b", 1},
        {"emoji and cyrillic", "\xF0\x9F\x98\x80\r\nx,\xD0\x96", 1, "A2=t:x", 2},
        {"a question mark is kept", "?,\xC3\xA9?", 1, "A1=t:?|B1=t:\xE9?", 0},
        {"oem box drawing", "a,\xC4\xB3", 3, "A1=t:a", 1},
        {"oem letters", "\x81,\x82", 3, "A1=t:\xFC|B1=t:\xE9", 0},
        {"ansi takes every byte", "\x81\x8D", 2, "A1=t:\x81\x8D", 0},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Path("cp.csv");
        WriteFile(path, c.bytes);
        auto book = OpenForImport(path);
        book->textFile.encoding = c.encoding;
        book->refusedTexts = 7; // a count of an earlier import goes
        CEvalContext ctx;
        ASSERT_TRUE(ImportTextFile(*book, ctx)) << c.name;
        EXPECT_EQ(AllCells(*book->tree.active), c.cells) << c.name;
        EXPECT_EQ(book->refusedTexts, c.refused) << c.name;
    }
}

// Fields the worksheet cannot hold are counted: past the last column or row (left out), or
// longer than a cell's text (cut); the last column and row and a field of a cell's length
// are taken whole.
TEST(TextImport, FieldsPastTheLimitsAreCounted) {
    TempFolder dir;
    std::string lastColumn, pastColumn;
    for (int i = 0; i < kMaxColumns; ++i) lastColumn += "x,";
    pastColumn = lastColumn + "y,z";
    lastColumn.pop_back();
    const std::string full(kMaxCellText, 'a');
    const struct {
        const char* name;
        std::string bytes;
        uint8_t encoding;
        uint32_t cut;
        uint32_t cells;
    } cases[] = {
        {"last column", lastColumn, 2, 0, kMaxColumns},
        {"two past the last column", pastColumn, 2, 2, kMaxColumns},
        {"a cell's length", full, 2, 0, 1},
        {"one past a cell's length", full + "b", 2, 1, 1},
        {"far past a cell's length", std::string(9000, 'c') + ",5", 2, 1, 2},
        {"past in UTF-8", std::string(kMaxCellText, 'a') + "\xC3\xA9", 1, 1, 1},
        {"past in quotes", "\"" + full + "b\",1", 2, 1, 2},
        {"last row", std::string(kMaxRows - 1, '\n') + "x", 2, 0, 1},
        {"past the last row", std::string(kMaxRows, '\n') + "x,y", 2, 2, 0},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Path("wide.csv");
        WriteFile(path, c.bytes);
        auto book = OpenForImport(path);
        book->textFile.encoding = c.encoding;
        CEvalContext ctx;
        uint32_t cut = 99;
        ASSERT_TRUE(ImportTextFile(*book, ctx, &cut)) << c.name;
        EXPECT_EQ(cut, c.cut) << c.name;
        uint32_t cells = 0;
        CellCursor cursor{kAdvance, book->tree.active->cells.FirstPage(), 0};
        while (NextCellRecord(cursor)) ++cells;
        EXPECT_EQ(cells, c.cells) << c.name;
    }
}

// A separator equal to the quoting symbol makes a file that cannot be read back: refused
// by both directions, the workbook left as it was.
TEST(TextImport, SeparatorEqualToTheQuoteIsRefused) {
    TempFolder dir;
    const std::string path = dir.Path("same.csv");
    WriteFile(path, "a\"b");
    auto book = OpenForImport(path);
    book->textFile.separator = '"';
    CEvalContext ctx;
    const CTreeItem* before = book->tree.first;
    EXPECT_FALSE(ImportTextFile(*book, ctx));
    EXPECT_EQ(book->error, kErrorFileFormat);
    EXPECT_EQ(book->tree.first, before);
    book->textFile.useFixedColWidths = 1; // widths know no quotes
    EXPECT_TRUE(ImportTextFile(*book, ctx));
}

// The locale's decimal separator reads numbers; the C runtime's locale changes nothing.
// A number read with a format keeps it, as typing it would: the cell shows what the file
// held. A plain number stays unstyled, and one format makes one style.
TEST(TextImport, NumbersKeepTheFormatTheyWereReadWith) {
    TempFolder dir;
    const std::string path = dir.Path("shown.csv");
    WriteFile(path, "12%,$5.00,\"1,234\",7\r\n25%,text,($12.50),1/2/2026");
    auto book = OpenForImport(path);
    book->textFile.conversion = 1;
    CEvalContext ctx;
    ASSERT_TRUE(ImportTextFile(*book, ctx));
    const CWorksheet& sheet = *book->tree.active;
    const struct {
        uint16_t column;
        uint32_t row;
        const char* shown;
        bool styled;
    } cases[] = {{0, 0, "12%", true},      {1, 0, "$5.00", true},   {2, 0, "1,234", true},
                 {3, 0, "7", false},       {0, 1, "25%", true},     {1, 1, "text", false},
                 {2, 1, "($12.50)", true}, {3, 1, "1/2/2026", true}};
    for (const auto& c : cases) {
        const uint8_t* r = FindCell(sheet.cells, c.row, c.column);
        ASSERT_NE(r, nullptr) << c.shown;
        const uint16_t style = CellStyleIndex(sheet.formats, c.row, c.column);
        EXPECT_EQ(style != 0, c.styled) << c.shown;
        std::string text;
        FormatCellValue(r, GetStyleRecord(book->styles, style).numberFormat, text);
        EXPECT_EQ(text, c.shown) << c.shown;
    }
    EXPECT_EQ(CellStyleIndex(sheet.formats, 0, 0), CellStyleIndex(sheet.formats, 1, 0));
}

TEST(TextImport, DecimalCommaLocale) {
    TempFolder dir;
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    for (const ImportCase& c : DelimitedCases()) {
        TextFileSettings s;
        s.encoding = c.encoding;
        s.conversion = c.conversion;
        EXPECT_EQ(Import(dir, c.bytes, s), c.cells) << c.name;
    }
    SeparatorSet& user = UserSeparators();
    const SeparatorSet kept = user;
    user.decimal = ',';
    user.thousands = '.';
    TextFileSettings s;
    s.separator = ';';
    EXPECT_EQ(Import(dir, "12,5;12.5;-1,5e2", s), "A1=n:12.5|B1=t:12.5|C1=n:-150");
    // Where a blank groups thousands, digits it joins are one number.
    user.thousands = ' ';
    EXPECT_EQ(Import(dir, "12 345;007  1", s), "A1=n:12345|B1=t:007  1");
    user = kept;
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(TextImport, FixedWidths) {
    TempFolder dir;
    TextFileSettings s;
    s.useFixedColWidths = 1;
    s.columnWidths[0] = 3;
    s.columnWidths[1] = 2;
    EXPECT_EQ(Import(dir, "abcdefgh", s), "A1=t:abc|B1=t:de|C1=t:fgh");
    EXPECT_EQ(Import(dir, "abcdefgh\r\n12,4567", s),
              "A1=t:abc|B1=t:de|C1=t:fgh|A2=t:12,|B2=n:45|C2=n:67");
    // Quoting symbols and separators are plain characters here.
    EXPECT_EQ(Import(dir, "\"a,\"", s), "A1=t:\"a,|B1=t:\"");
    // Trailing blanks are the padding of the width; a field of blanks is no cell.
    EXPECT_EQ(Import(dir, "a  b    z", s), "A1=t:a|B1=t:b|C1=t:   z");
    EXPECT_EQ(Import(dir, "a    xy", s), "A1=t:a|C1=t:xy");
    // In UTF-8 a width counts characters, whose bytes stay together.
    s.encoding = 1;
    EXPECT_EQ(Import(dir, "\xC3\xA9\xE2\x82\xACxyz", s), "A1=t:\xE9\x80x|B1=t:yz");
}

// Column 2046 is the last one kept; a field of column 2047 is dropped and the import succeeds.
TEST(TextImport, ColumnLimit) {
    TempFolder dir;
    TextFileSettings s;
    bool ok = false;
    const std::string last = Import(dir, std::string(kLastColumn, ',') + "x", s, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(last, "S1=t:x"); // column 2046: the short form names columns modulo 26
    EXPECT_EQ(Import(dir, std::string(kMaxColumns, ',') + "x\ny", s, &ok), "A2=t:y");
    EXPECT_TRUE(ok);
}

// A separator or quoting symbol past ASCII is a character of the file's encoding: two bytes
// in UTF-8 ("\xC2\xA7" for the section sign), its OEM byte in an OEM file. Another character
// of the same lead byte stays in its field; a symbol across the reader's chunks is one.
TEST(TextImport, SymbolsPastAsciiAreCharactersOfTheEncoding) {
    TempFolder dir;
    const struct {
        const char* name;
        std::string bytes;
        uint8_t encoding;
        char separator, quote;
        const char* cells;
    } cases[] = {
        {"utf-8 section sign",
         "caf\xC3\xA9\xC2\xA7"
         "b\xC2\xA7"
         "12",
         1, '\xA7', '"', "A1=t:caf\xE9|B1=t:b|C1=n:12"},
        {"utf-8 same lead byte", "a\xC2\xA9\xC2\xA7\xC2\xA9", 1, '\xA7', '"',
         "A1=t:a\xA9|B1=t:\xA9"},
        // A quoted field holds the separator; the one after its closing quote ends it.
        {"utf-8 quoted separator", "\"x\xC2\xA7y\" \xC2\xA7z", 1, '\xA7', '"',
         "A1=t:x\xA7y |B1=t:z"},
        {"utf-8 three bytes",
         "1\xE2\x82\xAC"
         "2\xE2\x82\xAC\xE2\x82\xAC"
         "x",
         1, '\x80', '"', "A1=n:1|B1=n:2|D1=t:x"},
        {"utf-8 quote",
         "\xC2\xAB"
         "a;b\xC2\xAB;\xC2\xAB"
         "x\xC2\xAB\xC2\xAB"
         "y\xC2\xAB",
         1, ';', '\xAB', "A1=t:a;b|B1=t:x\xABy"},
        {"utf-8 stray quote kept",
         "\xC2\xAB"
         "ab\xC2\xAB"
         "c;d",
         1, ';', '\xAB',
         "A1=t:\xAB"
         "ab\xAB"
         "c|B1=t:d"},
        {"oem section sign",
         "a\xF5"
         "b\xF5\x81",
         3, '\xA7', '"', "A1=t:a|B1=t:b|C1=t:\xFC"},
        {"ansi section sign",
         "a\xA7"
         "b",
         2, '\xA7', '"', "A1=t:a|B1=t:b"},
    };
    for (const auto& c : cases) {
        TextFileSettings s;
        s.encoding = c.encoding;
        s.separator = uint8_t(c.separator);
        s.quotingSymbol = uint8_t(c.quote);
        bool ok = false;
        EXPECT_EQ(Import(dir, c.bytes, s, &ok), c.cells) << c.name;
        EXPECT_TRUE(ok) << c.name;
    }
    // The section sign's two bytes on either side of the reader's 64 KiB chunk.
    std::string bytes = std::string(533, 'y') + "\n";
    for (int k = 0; k <= 13000; ++k)
        bytes += "a\xC2\xA7"
                 "b\n";
    ASSERT_EQ(bytes.find("\xC2", 65535 - 1), 65535u);
    const std::string path = dir.Path("chunks.csv");
    WriteFile(path, bytes);
    auto book = OpenForImport(path);
    book->textFile.encoding = 1;
    book->textFile.separator = 0xA7;
    CEvalContext ctx;
    ASSERT_TRUE(ImportTextFile(*book, ctx));
    EXPECT_EQ(book->refusedTexts, 0u);
    for (const uint32_t row : {1u, 13000u, 13001u})
        EXPECT_EQ(CellAt(*book->tree.active, 0, row) + CellAt(*book->tree.active, 1, row), "t:at:b")
            << row;
    // A separator the OEM code page has no byte for cannot be written or read: refused.
    WriteFile(path, "a,b");
    book = OpenForImport(path);
    book->textFile.encoding = 3;
    book->textFile.separator = 0x80;
    EXPECT_FALSE(ImportTextFile(*book, ctx));
    EXPECT_EQ(book->error, kErrorFileFormat);
}

// Formulas read from a file are calculated when the import ends, as typed ones are: the grid
// shows their results at once, and a text save after it writes the results, never 0. A
// formula's text result, an error and a formula reading another are calculated too.
TEST(TextImport, FormulasAreCalculatedWhenRead) {
    TempFolder dir;
    const std::string path = dir.Path("sums.csv");
    WriteFile(path, "item,qty,price,total\r\nA,2,3.5,=B2*C2\r\n,,,=D2*2+B2\r\n=A2&\"x\",=1/0");
    auto book = OpenForImport(path);
    CEvalContext ctx;
    ASSERT_TRUE(ImportTextFile(*book, ctx));
    const CWorksheet& sheet = *book->tree.active;
    EXPECT_EQ(CellAt(sheet, 3, 1), "f:=RC[-2]*RC[-1]");
    const struct {
        uint16_t column;
        uint32_t row;
        const char* shown;
    } results[] = {{3, 1, "7"}, {3, 2, "16"}, {0, 3, "Ax"}, {1, 3, "#DIV/0!"}};
    for (const auto& r : results) {
        std::string text;
        ASSERT_TRUE(
            FormatCellValue(FindCell(sheet.cells, r.row, r.column), StandardFormat{}, text));
        EXPECT_EQ(text, r.shown) << r.column << ',' << r.row;
    }
    EXPECT_EQ(SaveBytes(*book, dir.Path("out.csv"),
                        [&](CWorkbook& b) { return ExportTextFile(b, *b.tree.active); }),
              "item,qty,price,total\r\nA,2,3.5,7\r\n,,,16\r\nAx,#DIV/0!");
}

TEST(TextImport, SheetNamedAfterFile) {
    TempFolder dir;
    std::string name;
    Import(dir, "1", TextFileSettings{}, nullptr, &name);
    EXPECT_EQ(name, "in.csv");
}

TEST(TextImport, ReadFailureReportsStreamError) {
    auto book = CreateWorkbook();
    CEvalContext ctx;
    // A stream that was never opened reads nothing and has no error: an empty worksheet.
    EXPECT_TRUE(ImportTextFile(*book, ctx));
    ASSERT_NE(book->tree.active, nullptr);
    EXPECT_EQ(AllCells(*book->tree.active), "");
}

} // namespace
} // namespace vl
