// Worksheets written as text files: golden bytes of each form, and round trips.
#include "exchange/textfile.h"
#include "formula/evalcontext.h"
#include "model/formatstore.h"
#include "model/styles.h"
#include "tests/exchange/exchangetestutil.h"
#include "values/formatdefaults.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

std::unique_ptr<CWorkbook> BookWithSheet() {
    auto book = CreateWorkbook();
    EXPECT_TRUE(NewWorkbook(*book));
    return book;
}

std::string Export(const TempFolder& dir, CWorkbook& book, const TextFileSettings& s) {
    book.textFile = s;
    CWorksheet& sheet = *book.tree.active;
    return SaveBytes(book, dir.Path("out.csv"),
                     [&](CWorkbook& b) { return ExportTextFile(b, sheet); });
}

TEST(TextExport, GoldenBytes) {
    TempFolder dir;
    struct Case {
        const char* name;
        std::function<void(CWorksheet&)> fill;
        std::string bytes;
        uint8_t encoding = 2;
        char separator = ',';
    };
    const std::vector<Case> cases = {
        {"only C2", [](CWorksheet& s) { PutNumber(s, 2, 1, 7); }, "\r\n,,7"},
        {"gaps in a line",
         [](CWorksheet& s) {
             PutText(s, 1, 0, "b");
             PutText(s, 4, 0, "e");
         },
         ",b,,,e"},
        {"separator quoted", [](CWorksheet& s) { PutText(s, 0, 0, "a,b"); }, "\"a,b\""},
        {"quote doubled", [](CWorksheet& s) { PutText(s, 0, 0, "say \"hi\""); },
         "\"say \"\"hi\"\"\""},
        {"line break quoted", [](CWorksheet& s) { PutText(s, 0, 0, "a\nb"); }, "\"a\nb\""},
        {"return quoted", [](CWorksheet& s) { PutText(s, 0, 0, "a\rb"); }, "\"a\rb\""},
        {"tab quoted", [](CWorksheet& s) { PutText(s, 0, 0, "a\tb"); }, "\"a\tb\""},
        {"other separator",
         [](CWorksheet& s) {
             PutText(s, 0, 0, "a,b");
             PutNumber(s, 1, 0, -1.5);
         },
         "a,b;-1.5", 2, ';'},
        {"utf8",
         [](CWorksheet& s) {
             PutText(s, 0, 0,
                     "Gr\xFC\xDF"
                     "e");
         },
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         1},
        {"ansi",
         [](CWorksheet& s) {
             PutText(s, 0, 0,
                     "Gr\xFC\xDF"
                     "e");
         },
         "Gr\xFC\xDF"
         "e",
         2},
        {"oem",
         [](CWorksheet& s) {
             PutText(s, 0, 0,
                     "Gr\xFC\xDF"
                     "e");
         },
         "Gr\x81\xE1"
         "e",
         3},
        {"oem lacks the euro", [](CWorksheet& s) { PutText(s, 0, 0, "\x80"); }, "?", 3},
    };
    for (const Case& c : cases) {
        auto book = BookWithSheet();
        c.fill(*book->tree.active);
        TextFileSettings s;
        s.encoding = c.encoding;
        s.separator = uint8_t(c.separator);
        EXPECT_EQ(Export(dir, *book, s), c.bytes) << c.name;
    }
}

TEST(TextExport, FixedWidths) {
    TempFolder dir;
    auto book = BookWithSheet();
    CWorksheet& sheet = *book->tree.active;
    PutText(sheet, 0, 0, "abcdef");
    PutText(sheet, 1, 0, "ab");
    PutText(sheet, 3, 0, "tail");
    PutText(sheet, 1, 1, "x,\"y");
    TextFileSettings s;
    s.useFixedColWidths = 1;
    s.columnWidths[0] = 4;
    s.columnWidths[1] = 4;
    s.columnWidths[2] = 3;
    EXPECT_EQ(Export(dir, *book, s), "abcdab     tail\r\n    x,\"y");
    // In UTF-8 a width counts characters: none is cut in two, and padding fills up to it.
    PutText(sheet, 0, 2, "\xE9\x80\xFCxyz");
    PutText(sheet, 1, 2, "\xE9");
    s.encoding = 1;
    EXPECT_EQ(Export(dir, *book, s), "abcdab     tail\r\n    x,\"y\r\n"
                                     "\xC3\xA9\xE2\x82\xAC\xC3\xBCx\xC3\xA9   ");
}

// A whole text of the cell limit leaves as UTF-8 of twice its length and comes back equal.
TEST(TextExport, LongTextsRoundTrip) {
    TempFolder dir;
    const std::string text(kMaxCellText, '\xE9');
    for (uint8_t encoding : {1, 2, 3}) {
        auto book = BookWithSheet();
        PutText(*book->tree.active, 0, 0, text);
        PutText(*book->tree.active, 1, 0, "a,\"b\"\r\nc");
        PutNumber(*book->tree.active, 0, 2, -0.25);
        TextFileSettings s;
        s.encoding = encoding;
        const std::string bytes = Export(dir, *book, s);
        if (encoding == 1) {
            EXPECT_EQ(bytes.size(), 2 * kMaxCellText + 22);
        }
        auto back = OpenForImport(dir.Path("out.csv"));
        back->textFile = s;
        CEvalContext ctx;
        ASSERT_TRUE(ImportTextFile(*back, ctx));
        const CWorksheet& sheet = *back->tree.active;
        EXPECT_EQ(CellAt(sheet, 0, 0), "t:" + text) << int(encoding);
        EXPECT_EQ(CellAt(sheet, 1, 0), "t:a,\"b\"\r\nc") << int(encoding);
        EXPECT_EQ(CellAt(sheet, 0, 2), "n:-0.25") << int(encoding);
    }
}

TEST(TextExport, WriteFailureKeepsTarget) {
    TempFolder dir;
    auto book = BookWithSheet();
    PutText(*book->tree.active, 0, 0, "new");
    const std::string target = dir.Path("missing/out.csv");
    EXPECT_EQ(
        SaveBytes(*book, target, [&](CWorkbook& b) { return ExportTextFile(b, *b.tree.active); }),
        "<failed>");
    EXPECT_NE(book->error, kErrorNone);
    EXPECT_FALSE(book->stream.IsOpen());
    EXPECT_FALSE(CFileStream::FileExists(target.c_str()));
}

} // namespace
} // namespace vl

namespace vl {
namespace {

using namespace exchangetest;

// What the export writes under a number format (a percentage, currency, thousands separators,
// a date) the import reads back as the value it was shown from.
TEST(TextExport, FormattedValuesReadBackAsTheirValues) {
    StandardFormat percent = DefaultStandardFormat(STD_STYLE_PERCENTAGE);
    percent.params[fmtparam::kFixedDecimals] = 1;
    percent.params[fmtparam::kDecimals] = 2;
    StandardFormat thousands = DefaultStandardFormat(STD_STYLE_GENERAL);
    thousands.params[fmtparam::kThousands] = 1;
    StandardFormat timeFirst = DefaultStandardFormat(STD_STYLE_DATE_TIME);
    timeFirst.params[fmtparam::kTimeFirst] = 1;
    const struct {
        StandardFormat format;
        const char* text; // null: the number
        double number;
        const char* back;
    } cases[] = {
        {percent, nullptr, 0.5687, "n:0.5687"},
        {DefaultStandardFormat(STD_STYLE_CURRENCY), nullptr, -1234.5, "n:-1234.5"},
        {thousands, nullptr, 1234567.5, "n:1234567.5"},
        {DefaultStandardFormat(STD_STYLE_DATE), "2026-01-02", 0, "t:2026-01-02"},
        // A date under a date-time format is written with its time of day.
        {DefaultStandardFormat(STD_STYLE_DATE_TIME), "2009-11-05", 0, "t:2009-11-05T00:00:00"},
        {DefaultStandardFormat(STD_STYLE_DATE_TIME), "2009-11-05T13:10:00", 0,
         "t:2009-11-05T13:10:00"},
        {timeFirst, "2009-11-05T13:10:00", 0, "t:2009-11-05T13:10:00"},
        // A fraction leaves a zero whole part blank: " 1/8".
        {DefaultStandardFormat(STD_STYLE_FRACTION), nullptr, 0.125, "n:0.125"},
        {DefaultStandardFormat(STD_STYLE_FRACTION), nullptr, -0.125, "n:-0.125"},
        {DefaultStandardFormat(STD_STYLE_FRACTION), nullptr, 1.5, "n:1.5"},
        // General keeps 15 significant digits, in exponent form where that is shorter.
        {StandardFormat{}, nullptr, 5.444511618e-13, "n:5.444511618e-013"},
        {StandardFormat{}, nullptr, 1.0 / 700, "n:0.00142857142857143"},
        {StandardFormat{}, nullptr, -3e23, "n:-3e+023"},
    };
    TempFolder dir;
    auto book = BookWithSheet();
    CWorksheet& sheet = *book->tree.active;
    StyleTables& t = book->styles;
    t.styleCount = uint16_t(std::size(cases) + 1);
    CellCursor cursor;
    for (uint16_t c = 0; c < std::size(cases); ++c) {
        t.styles[c + 1].numberFormat = cases[c].format;
        if (cases[c].text)
            PutText(sheet, c, 0, cases[c].text);
        else
            PutNumber(sheet, c, 0, cases[c].number);
        ASSERT_TRUE(PutFormatRun(sheet.formats, FormatRun{c, c, 0, uint16_t(c + 1)}, cursor));
    }
    TextFileSettings s;
    const std::string bytes = Export(dir, *book, s);
    auto back = OpenForImport(dir.Path("out.csv"));
    back->textFile = s;
    CEvalContext ctx;
    ASSERT_TRUE(ImportTextFile(*back, ctx));
    for (uint16_t c = 0; c < std::size(cases); ++c)
        EXPECT_EQ(CellAt(*back->tree.active, c, 0), cases[c].back) << bytes;
    EXPECT_NE(bytes.find(",5.444511618E-13,0.00142857142857143,-3E+23"), std::string::npos)
        << bytes;
}

// A number whose shown text the peers read as a text (an exponent with a percent sign, a
// text longer than they read as a number) is written as the number, as General shows it;
// what they read back is written as shown.
TEST(TextExport, NumbersThePeersCannotReadBackAreWrittenAsNumbers) {
    const auto code = [](const char* text) {
        StandardFormat f;
        f.kind = STD_STYLE_USER_DEFINED;
        std::snprintf(f.code, sizeof f.code, "%s", text);
        return f;
    };
    const struct {
        StandardFormat format;
        double number;
        const char* written;
    } cases[] = {
        {code("#,##0.00%"), 1E+300, "1E+300"},
        {code("0.00E+00%"), 1E+300, "1E+300"},
        {code("0.00E+00%"), 0.12, "0.12"},
        {code("0.00E+00%"), -5, "-5"},
        {code("0.00%"), 0.12, "12.00%"},
        {code("#,##0.00%"), 1E+16, "1,000,000,000,000,000,000.00%"},
        {code("0.0E+0"), 1500, "1.5E+3"},
        // The peers read a number of 308 characters at most: 231 digits, 76 separators and
        // the percent sign are kept, two more decimals are not.
        {code("#,##0%"), 1E+228, nullptr},
        {code("#,##0.0%"), 1E+228, "1E+228"},
        // 232 digits and 77 separators: 309 characters, the first refused.
        {code("#,##0"), 1E+231, "1E+231"},
    };
    TempFolder dir;
    auto book = BookWithSheet();
    CWorksheet& sheet = *book->tree.active;
    StyleTables& t = book->styles;
    t.styleCount = uint16_t(std::size(cases) + 1);
    CellCursor cursor;
    for (uint16_t c = 0; c < std::size(cases); ++c) {
        t.styles[c + 1].numberFormat = cases[c].format;
        PutNumber(sheet, 0, c, cases[c].number);
        ASSERT_TRUE(PutFormatRun(sheet.formats, FormatRun{0, 0, c, uint16_t(c + 1)}, cursor));
    }
    TextFileSettings s;
    s.separator = ';';
    std::string bytes = Export(dir, *book, s);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at <= bytes.size();) {
        const std::size_t end = std::min(bytes.find("\r\n", at), bytes.size());
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), std::size(cases));
    std::string longest = "100";
    for (int group = 0; group < 76; ++group) longest += ",000";
    longest += '%';
    ASSERT_EQ(longest.size(), 308u);
    for (std::size_t c = 0; c < std::size(cases); ++c)
        EXPECT_EQ(lines[c], cases[c].written ? cases[c].written : longest) << c;
}

// A separator or quoting symbol past ASCII is written as a character of the file's encoding,
// and a text holding it is quoted, a quote in it doubled, in those bytes.
TEST(TextExport, SymbolsPastAsciiAreCharactersOfTheEncoding) {
    const struct {
        uint8_t encoding;
        char separator, quote;
        const char* bytes;
    } cases[] = {
        {1, '\xA7', '"', "1\xC2\xA7\xC2\xA7\"x\xC2\xA7y\"\xC2\xA7\xC2\xAB"},
        {1, ';', '\xAB', "1;;x\xC2\xA7y;\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB"},
        {3, '\xA7', '"', "1\xF5\xF5\"x\xF5y\"\xF5\xAE"},
        {2, '\xA7', '"', "1\xA7\xA7\"x\xA7y\"\xA7\xAB"},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        auto book = BookWithSheet();
        CWorksheet& sheet = *book->tree.active;
        PutNumber(sheet, 0, 0, 1);
        PutText(sheet, 2, 0, "x\xA7y");
        PutText(sheet, 3, 0, "\xAB");
        TextFileSettings s;
        s.encoding = c.encoding;
        s.separator = uint8_t(c.separator);
        s.quotingSymbol = uint8_t(c.quote);
        EXPECT_EQ(Export(dir, *book, s), c.bytes) << int(c.encoding) << c.separator;
    }
}

} // namespace
} // namespace vl
