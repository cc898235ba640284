// One attribute applied over a rectangle: runs cut and rewritten, styles shared, and a
// full style table that leaves everything as it was.

#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/workbook.h"

#include <gtest/gtest.h>
#include <vector>

namespace vl {

static bool operator==(const FormatRun& a, const FormatRun& b) {
    return a.firstColumn == b.firstColumn && a.lastColumn == b.lastColumn && a.row == b.row &&
           a.style == b.style;
}

namespace {

std::vector<FormatRun> Runs(const CFormatStore& store) {
    std::vector<FormatRun> runs;
    CellCursor cursor{.flags = kAdvance, .page = store.runs.FirstPage()};
    while (const uint8_t* p = FormatRunCursorNext(cursor)) runs.push_back(LoadFormatRun(p));
    return runs;
}

class RangeStyleTest : public ::testing::Test {
protected:
    RangeStyleTest() {
        InitStyleTables(tables);
        InitFormatStore(store);
        percent.numberFormat.kind = STD_STYLE_PERCENTAGE;
        percent.numberFormat.params[0] = 2;
    }
    uint16_t AddStyle(uint8_t kind) {
        StyleRecord s;
        s.numberFormat.kind = kind;
        tables.styles[tables.styleCount] = s;
        return tables.styleCount++;
    }
    void Put(uint16_t c1, uint16_t c2, uint32_t row, uint16_t style) {
        CellCursor cursor;
        ASSERT_TRUE(PutFormatRun(store, {c1, c2, row, style}, cursor));
    }
    bool Apply(uint16_t c1, uint16_t c2, uint32_t r1, uint32_t r2) {
        return ApplyStyleToRange(tables, c1, c2, r1, r2, store, kAttrNumberFormat, percent,
                                 FontRecord{});
    }

    StyleTables tables;
    CFormatStore store;
    StyleRecord percent;
};

TEST_F(RangeStyleTest, AStyledMiddleOfARunLeavesItsEndsWithTheOldStyle) {
    const uint16_t old = AddStyle(STD_STYLE_CURRENCY);
    Put(2, 10, 5, old);
    ASSERT_TRUE(Apply(4, 6, 5, 5));
    const uint16_t added = uint16_t(tables.styleCount - 1);
    EXPECT_EQ(tables.styles[added].numberFormat.kind, STD_STYLE_PERCENTAGE);
    const std::vector<FormatRun> expected = {{2, 3, 5, old}, {4, 6, 5, added}, {7, 10, 5, old}};
    EXPECT_EQ(Runs(store), expected);
}

TEST_F(RangeStyleTest, UnstyledCellsGetOneSharedStyleAndARunPerRow) {
    ASSERT_TRUE(Apply(1, 3, 0, 2));
    EXPECT_EQ(tables.styleCount, 2);
    const std::vector<FormatRun> expected = {{1, 3, 0, 1}, {1, 3, 1, 1}, {1, 3, 2, 1}};
    EXPECT_EQ(Runs(store), expected);
    // Applying the same again adds neither a style nor a run.
    ASSERT_TRUE(Apply(1, 3, 0, 2));
    EXPECT_EQ(tables.styleCount, 2);
    EXPECT_EQ(Runs(store), expected);
}

TEST_F(RangeStyleTest, AResultEqualToTheColumnStyleNeedsNoRun) {
    const uint16_t columnStyle = AddStyle(STD_STYLE_PERCENTAGE);
    tables.styles[columnStyle].numberFormat = percent.numberFormat;
    store.columns[4].style = columnStyle;
    const uint16_t other = AddStyle(STD_STYLE_DATE);
    Put(3, 5, 0, other);
    ASSERT_TRUE(Apply(3, 5, 0, 0));
    // Column 4 falls back to its column; 3 and 5 keep a run of the shared new style.
    const std::vector<FormatRun> expected = {{3, 3, 0, columnStyle}, {5, 5, 0, columnStyle}};
    EXPECT_EQ(Runs(store), expected);
    EXPECT_EQ(tables.styleCount, 3);
}

TEST_F(RangeStyleTest, AFullStyleTablePutsTheOldRunsBack) {
    const uint16_t a = AddStyle(STD_STYLE_CURRENCY);
    const uint16_t b = AddStyle(STD_STYLE_DATE);
    Put(0, 8, 1, a);
    Put(2, 4, 2, b);
    Put(6, 9, 2, a);
    while (tables.styleCount < kMaxStyles) AddStyle(STD_STYLE_TIME);
    const std::vector<FormatRun> before = Runs(store);
    EXPECT_FALSE(Apply(3, 7, 1, 2));
    EXPECT_EQ(Runs(store), before);
    EXPECT_EQ(tables.styleCount, kMaxStyles);
}

TEST_F(RangeStyleTest, CellStyleIndexFindsTheRunElseTheColumn) {
    store.columns[7].style = 0x7003; // only the low 12 bits are the style
    const uint16_t a = AddStyle(STD_STYLE_CURRENCY);
    Put(2, 4, 3, a);
    EXPECT_EQ(CellStyleIndex(store, 3, 3), a);
    EXPECT_EQ(CellStyleIndex(store, 3, 5), 0);
    EXPECT_EQ(CellStyleIndex(store, 4, 7), 3);
    EXPECT_EQ(CellStyleIndex(store, 2, 3), 0);
}

} // namespace

} // namespace vl
