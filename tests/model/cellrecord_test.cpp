#include "model/cellrecord.h"
#include "model/formatstore.h"

#include <gtest/gtest.h>
#include <vector>

namespace vl {

namespace {

std::vector<uint8_t> Bytes(const CellBuffer& b) {
    return {b.bytes, b.bytes + b.size};
}

} // namespace

TEST(CellRecord, NumberLayout) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, 0x0102, 0x00123456, 1.5, 7));
    const std::vector<uint8_t> expected = {0x72, 0x02, 0x01, 0x56, 0x34, 0x12, 0x00, 0x00,
                                           0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F};
    EXPECT_EQ(Bytes(b), expected);
    EXPECT_TRUE(cell::IsNumber(b.bytes));
    EXPECT_EQ(cell::Error(b.bytes), 7);
    EXPECT_EQ(cell::Length(b.bytes), 15u);
}

TEST(CellRecord, TextLayout) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, 3, 0x01020304, "Ab\xE9"));
    const std::vector<uint8_t> expected = {0x01, 0x03, 0x00, 0x04, 0x03, 0x02,
                                           0x01, 0x03, 0x00, 'A',  'b',  0xE9};
    EXPECT_EQ(Bytes(b), expected);
    EXPECT_EQ(cell::Text(b.bytes), "Ab\xE9");
    EXPECT_EQ(cell::Length(b.bytes), 12u);
}

TEST(CellRecord, FormulaWithCachedTextLayout) {
    FormulaHead head;
    head.flags = kCellFormula | (3 << 4);
    head.arrayWidth = 0x0203;
    head.arrayHeight = 0x04050607;
    head.visits = 9;
    head.resultFlags = kResultText | kResultCalculated;
    head.waitingColumn = 0x0A0B;
    head.waitingRow = 0x0C0D0E0F;
    head.waitingWorksheet = 0x11121314;
    head.cachedNumber = -2.0;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 1, 2, head, "R1C1", "xy"));
    const std::vector<uint8_t> expected = {
        0x34, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00,       // flags, column, row
        0x03, 0x02, 0x07, 0x06, 0x05, 0x04,             // array width, height
        0x09, 0x11,                                     // visits, result flags
        0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x0C,             // waiting column, row
        0x14, 0x13, 0x12, 0x11,                         // waiting worksheet
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, // cached number
        0x04, 0x00, 'R',  '1',  'C',  '1',  0x02, 0x00, 'x', 'y'};
    EXPECT_EQ(Bytes(b), expected);
    EXPECT_TRUE(cell::IsFormula(b.bytes));
    EXPECT_EQ(cell::Formula(b.bytes), "R1C1");
    EXPECT_EQ(cell::CachedText(b.bytes), "xy");
    EXPECT_EQ(cell::Length(b.bytes), 35u + 4 + 2 + 2);
}

TEST(CellRecord, FormulaWithoutTextResultHasNoCachedText) {
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 0, 0, FormulaHead{}, "1+1", "ignored"));
    EXPECT_EQ(b.size, 38u);
    EXPECT_EQ(cell::CachedText(b.bytes), "");
    EXPECT_EQ(cell::ArrayHeight(b.bytes), 1u);
    EXPECT_EQ(cell::ResultFlags(b.bytes), kResultNumber);
}

TEST(CellRecord, BuildersRefuseWhatAPageCannotHold) {
    CellBuffer b;
    EXPECT_TRUE(MakeTextCell(b, 0, 0, std::string(kMaxCellText, 'a')));
    EXPECT_EQ(b.size, kPagePayload);
    EXPECT_FALSE(MakeTextCell(b, 0, 0, std::string(kMaxCellText + 1, 'a')));
    EXPECT_EQ(b.size, 0u);
    FormulaHead head;
    head.resultFlags = kResultText;
    EXPECT_TRUE(MakeFormulaCell(b, 0, 0, head, std::string(8000, 'f'), std::string(145, 't')));
    EXPECT_EQ(b.size, kPagePayload);
    EXPECT_FALSE(MakeFormulaCell(b, 0, 0, head, std::string(8000, 'f'), std::string(146, 't')));
}

TEST(CellRecord, CheckedLengthRefusesOversizedClaims) {
    uint8_t r[kPagePayload] = {};
    r[0] = kCellFormula;
    StoreU16(r + 33, uint16_t(kPagePayload - kFormulaHead));
    EXPECT_EQ(cell::CheckedLength(r), kPagePayload);
    r[14] = kResultText; // a cached text whose length word would lie beyond the page
    EXPECT_EQ(cell::CheckedLength(r), 0u);
    r[0] = kCellText;
    StoreU16(r + 7, uint16_t(kMaxCellText + 1));
    EXPECT_EQ(cell::CheckedLength(r), 0u);
}

TEST(CellRecord, KindTestsTextBitFirst) {
    const uint8_t both[15] = {kCellText | kCellNumber};
    EXPECT_TRUE(cell::IsText(both));
    EXPECT_FALSE(cell::IsNumber(both));
    const uint8_t none[15] = {0x50};
    EXPECT_TRUE(cell::IsFormula(none));
}

TEST(CellRecord, CompareNoCase) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"abc", "ABC", 0}, {"ab", "abc", -1},
        {"abc", "ab", 1},  {"", "", 0},
        {"", "a", -1},     {"b", "A", 1},
        {"a", "B", -1},    {"\xE9t\xE9", "\xC9T\xC9", 0}, // accented letters of the code page
        {"\xFF", "z", 1},  {"[", "a", 1}, // '[' sorts after 'A' once both sides are upper case
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareNoCase(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(FormatRunRecord, Layout) {
    uint8_t bytes[kFormatRunSize];
    StoreFormatRun(bytes, {5, 0x0109, 0x00010203, 0x0405});
    const std::vector<uint8_t> expected = {0x05, 0x00, 0x09, 0x01, 0x03,
                                           0x02, 0x01, 0x00, 0x05, 0x04};
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + kFormatRunSize), expected);
    const FormatRun run = LoadFormatRun(bytes);
    EXPECT_EQ(run.firstColumn, 5);
    EXPECT_EQ(run.lastColumn, 0x0109);
    EXPECT_EQ(run.row, 0x00010203u);
    EXPECT_EQ(run.style, 0x0405);
}

} // namespace vl
