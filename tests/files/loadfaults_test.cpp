// Files that once loaded wrongly: version-6 run blocks that multiply on load, binary bodies
// without a worksheet, compressed files cut short, and XML texts with bytes that are not
// UTF-8 or that XML cannot carry raw.

#include "files/binarybody.h"
#include "files/xmltext.h"
#include "filestestutil.h"
#include "v6fixtures.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace vl {

using namespace v6test;
using namespace filestest;

namespace {

std::string Decoded(const std::string& raw) {
    std::string out;
    EXPECT_EQ(DecodeXmlText(raw, true, 100, out), kErrorNone) << raw;
    return out;
}

} // namespace

// Runs that go on with the style before them become one run, so a block over many rows costs
// a run per row and style change, not per run of the file.
TEST(LoadFaults, TouchingRunsOfOneStyleJoin) {
    V6File f = MinimalFile();
    f.styles.resize(3);
    V6Sheet& s = f.items[0].sheet;
    s.tables.runRows = 2;
    s.tables.blocks = {{2, 4, {{0, 0, 1}, {1, 1, 1}, {2, 5, 1}, {6, 6, 2}, {8, 8, 2}}}};
    V6Load load = LoadV6File(f);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(Runs(load.Sheet().formats),
              (std::vector<Ints>{Of(4, 0, 5, 1), Of(4, 6, 6, 2), Of(4, 8, 8, 2), Of(5, 0, 5, 1),
                                 Of(5, 6, 6, 2), Of(5, 8, 8, 2)}));

    // Every column a run of its own, one style, over the most rows a block covers.
    V6RunBlock wide{65535, 0, {}};
    for (uint16_t c = 0; c <= kLastColumn; ++c) wide.runs.push_back({c, c, 1});
    s.tables.runRows = 65535;
    s.tables.blocks = {wide};
    load = LoadV6File(f);
    ASSERT_TRUE(load.ok);
    const std::vector<Ints> runs = Runs(load.Sheet().formats);
    ASSERT_EQ(runs.size(), 65535u);
    EXPECT_EQ(runs.back(), Of(65534, 0, kLastColumn, 1));
}

// A body of no item is error 9 in the binary form as in the others.
TEST(LoadFaults, BinaryBodyWithoutAWorksheetIs9) {
    TempFolder dir;
    auto rich = MakeRichWorkbook();
    auto empty = CreateWorkbook();
    {
        WriteBytes(dir.Path("body"), BodyOf(*empty));
        auto loaded = CreateWorkbook();
        ASSERT_TRUE(loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize));
        EXPECT_FALSE(ReadBinaryWorkbookBody(*loaded, loaded->stream, 3, nullptr));
        EXPECT_EQ(loaded->error, kErrorLastWorksheet);
        EXPECT_EQ(loaded->tree.first, nullptr);
    }
    // The rich workbook's body still loads: only the missing worksheet is refused.
    WriteBytes(dir.Path("body"), BodyOf(*rich));
    auto loaded = CreateWorkbook();
    ASSERT_TRUE(loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize));
    EXPECT_TRUE(ReadBinaryWorkbookBody(*loaded, loaded->stream, 3, nullptr));
}

// A compressed workbook cut anywhere is the format error, never a new empty workbook.
TEST(LoadFaults, CutCompressedWorkbookIs21) {
    TempFolder dir;
    auto rich = MakeRichWorkbook();
    const std::string whole = dir.Path("whole.vlb");
    ASSERT_TRUE(SaveToPath(*rich, whole, true));
    const Bytes bytes = ReadBytes(whole);
    for (size_t length :
         {size_t(4), size_t(10), size_t(11), size_t(12), bytes.size() / 2, bytes.size() - 1}) {
        const std::string cut = dir.Path("cut.vlb");
        WriteBytes(cut, Bytes(bytes.begin(), bytes.begin() + long(length)));
        auto book = CreateWorkbook();
        ASSERT_TRUE(OpenDocumentFile(*book, cut.c_str()));
        EXPECT_FALSE(OpenWorkbookFile(*book, nullptr)) << length;
        EXPECT_EQ(book->error, kErrorFileFormat) << length;
    }
    bool ok = false;
    LoadFromPath(whole, nullptr, ok);
    EXPECT_TRUE(ok);
}

// A byte that starts no well-formed sequence is one "?" and the text goes on after it.
TEST(LoadFaults, InvalidUtf8BecomesQuestionMarks) {
    const struct {
        std::string raw, text;
    } cases[] = {
        {"a\xFF"
         "b",
         "a?b"},
        {"a\x80"
         "b",
         "a?b"},
        {"\xC0\x80"
         "b",
         "??b"},
        {"\xC1\xBF", "??"},
        {"\xE0\x80\x80"
         "z",
         "???z"},
        {"\xE0\x9F\xBF", "???"},
        {"\xE0\xA0\x80", "?"},   // U+0800, first of three bytes, outside the page
        {"\xED\xA0\x80", "???"}, // a surrogate
        {"\xC3"
         "c",
         "?c"},
        {"x\xE2\x82", "x??"},     // cut by the end
        {"\xE2\x82\xAC", "\x80"}, // the euro sign
        {"\xC3\xBC", "\xFC"},
        {"\xF0\x9F\x98\x80!", "?!"}, // outside the page: one character
        {"\xF4\x8F\xBF\xBF", "?"},
        {"\xF4\x90\x80\x80", "????"}, // past U+10FFFF
        {"\xF5\x80", "??"},
    };
    for (const auto& c : cases) EXPECT_EQ(Decoded(c.raw), c.text) << c.raw;
    EXPECT_EQ(Utf8ToAnsi("a\xFF"
                         "b\xC3\xA9"),
              "a?b\xE9");
}

// Byte 0 is written as a reference, never raw; but no cell holds one (it would end the text
// wherever it is passed on), so the reader refuses it as a reference no XML has, raw or named.
// The other control characters are written as references the reader takes back.
TEST(LoadFaults, ByteZeroIsWrittenAsAReference) {
    const std::string text("a\0b\x1F", 4);
    std::string escaped;
    AppendXmlEscaped(escaped, text, true);
    EXPECT_EQ(escaped, "a&#00;b&#31;");
    std::string out;
    EXPECT_EQ(DecodeXmlText(escaped, true, 100, out), kErrorXmlData);
    EXPECT_EQ(DecodeXmlText(text, true, 100, out), kErrorXmlData);
    EXPECT_EQ(Decoded("a&#01;b&#31;"), "a\001b\037");
}

} // namespace vl
