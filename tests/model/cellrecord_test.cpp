#include "model/cellrecord.h"
#include "modeltestutil.h"

namespace vl {

// Every field of every kind, with distinct values, at its offset.
TEST(CellRecord, LayoutOfEachKind) {
    CellBuffer n, t, f;
    ASSERT_TRUE(MakeNumberCell(n, 0x0102, 0x00123456, 1.5, 7));
    ASSERT_TRUE(MakeTextCell(t, 3, 0x01020304, "Ab\xE9"));
    FormulaHead head{uint8_t(kCellFormula | (3 << 4)),
                     0x0203,
                     0x04050607,
                     9,
                     kResultText | kResultCalculated,
                     0x0A0B,
                     0x0C0D0E0F,
                     0x11121314,
                     -2.0};
    ASSERT_TRUE(MakeFormulaCell(f, 1, 2, head, "R1C1", "xy"));
    const std::vector<uint8_t> expected[] = {
        {0x72, 0x02, 0x01, 0x56, 0x34, 0x12, 0x00, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F},
        {0x01, 0x03, 0x00, 0x04, 0x03, 0x02, 0x01, 0x03, 0x00, 'A', 'b', 0xE9},
        {0x34, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x02, 0x07, 0x06, 0x05, 0x04, 0x09, 0x11,
         0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x0C, 0x14, 0x13, 0x12, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00,
         0x00, 0x00, 0xC0, 0x04, 0x00, 'R',  '1',  'C',  '1',  0x02, 0x00, 'x',  'y'}};
    const CellBuffer* built[] = {&n, &t, &f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::vector<uint8_t>(built[i]->bytes, built[i]->bytes + built[i]->size),
                  expected[i]);
        EXPECT_EQ(cell::Length(built[i]->bytes), expected[i].size());
    }
    EXPECT_TRUE(cell::IsNumber(n.bytes) && cell::IsText(t.bytes) && cell::IsFormula(f.bytes));
    EXPECT_EQ(cell::Error(n.bytes), 7);
    EXPECT_EQ(cell::CachedText(f.bytes), "xy");
    // Without the text result no cached text is written.
    ASSERT_TRUE(MakeFormulaCell(f, 0, 0, FormulaHead{}, "1+1", "ignored"));
    EXPECT_EQ(f.size, 38u);
    EXPECT_EQ(cell::CachedText(f.bytes), "");
    // The text bit is tested first, then the number bit; neither is a formula.
    const uint8_t both[15] = {kCellText | kCellNumber}, none[15] = {0x50};
    EXPECT_TRUE(cell::IsText(both) && !cell::IsNumber(both) && cell::IsFormula(none));
}

TEST(CellRecord, PageSizedRecordsAtAndOnePastTheLimit) {
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
    uint8_t r[kPagePayload] = {kCellFormula};
    StoreU16(r + 33, uint16_t(kPagePayload - kFormulaHead));
    EXPECT_EQ(cell::CheckedLength(r), kPagePayload);
    r[14] = kResultText; // a cached text whose length word would lie beyond the page
    EXPECT_EQ(cell::CheckedLength(r), 0u);
    r[0] = kCellText;
    StoreU16(r + 7, uint16_t(kMaxCellText + 1));
    EXPECT_EQ(cell::CheckedLength(r), 0u);
}

TEST(CellRecord, CompareNoCase) {
    const struct {
        const char *a, *b;
        int expected;
    } cases[] = {
        {"abc", "ABC", 0}, {"ab", "abc", -1}, {"abc", "ab", 1}, {"", "", 0},
        {"", "a", -1},     {"b", "A", 1},     {"a", "B", -1},   {"\xE9t\xE9", "\xC9T\xC9", 0},
        {"\xFF", "z", 1},  {"[", "a", 1}, // '[' sorts after 'A' once both are upper case
    };
    for (const auto& c : cases) EXPECT_EQ(CompareNoCase(c.a, c.b), c.expected) << c.a << c.b;
}

TEST(FormatRunRecord, Layout) {
    uint8_t bytes[kFormatRunSize];
    StoreFormatRun(bytes, {5, 0x0109, 0x00010203, 0x0405});
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + kFormatRunSize),
              (std::vector<uint8_t>{0x05, 0x00, 0x09, 0x01, 0x03, 0x02, 0x01, 0x00, 0x05, 0x04}));
    const FormatRun run = LoadFormatRun(bytes);
    EXPECT_EQ(std::tuple(run.firstColumn, run.lastColumn, run.row, run.style),
              std::tuple(5, 0x0109, 0x00010203u, 0x0405));
}

} // namespace vl
