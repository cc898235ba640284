#include "model/rangeops.h"
#include "platform/core/alloc.h"
#include "render/metrics.h"
#include "rendertest.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

class MetricsTest : public rendertest::FixedSheetTest {
protected:
    uint16_t RowEntry(uint32_t row) { return *Sheet().formats.rowHeights.GetItem2(row); }
    std::vector<uint16_t> RowEntries(uint32_t count) {
        std::vector<uint16_t> out;
        for (uint32_t row = 0; row < count; ++row) out.push_back(RowEntry(row));
        return out;
    }
    void SetColumnWidth(uint16_t column, uint16_t word) {
        Sheet().formats.columns[column].width = word;
    }
};

} // namespace

TEST_F(MetricsTest, RowHeightsScaleAndOnlyCustomOnesIgnoreColumnStyles) {
    CFormatStore& f = Sheet().formats;
    ASSERT_TRUE(SetFormatStoreRowEntry(f, 1, 20, true));
    ASSERT_TRUE(SetFormatStoreRowEntry(f, 2, 25, false));
    ASSERT_TRUE(SetFormatStoreRowEntry(f, 3, 0, true));
    struct Case {
        uint32_t row;
        uint16_t zoom;
        int32_t height;
    } before[] = {{1, 100, 20}, {1, 150, 30}, {2, 100, 25},   {3, 100, 0},
                  {0, 100, 18}, {0, 50, 9},   {9999, 200, 36}},
      after[] = {{1, 150, 30}, {2, 100, 40}, {3, 100, 0}, {0, 100, 40}, {9999, 10, 4}};
    for (const Case& c : before)
        EXPECT_EQ(GetRowHeight(Sheet(), c.row, c.zoom), c.height) << c.row << " at " << c.zoom;
    f.columns[700].autoRowHeight = 0xF000 | 40; // the high bits are not part of the height
    ColumnsChanged(f);
    for (const Case& c : after)
        EXPECT_EQ(GetRowHeight(Sheet(), c.row, c.zoom), c.height) << c.row << " at " << c.zoom;
}

TEST_F(MetricsTest, LargestColumnStyleHeightIsCachedUntilTheColumnsChange) {
    CFormatStore& f = Sheet().formats;
    f.columns[3].autoRowHeight = 30;
    ColumnsChanged(f);
    EXPECT_EQ(GetRowHeight(Sheet(), 0, 100), 30);
    f.columns[4].autoRowHeight = 50; // written behind the cache's back: not seen yet
    EXPECT_EQ(GetRowHeight(Sheet(), 0, 100), 30);
    CFormatStore copy;
    ASSERT_TRUE(CopyFormatStore(f, copy));
    EXPECT_EQ(GetRowHeight(Sheet(), 0, 100), 30);
    copy.columns[4].autoRowHeight = 0;
    ASSERT_TRUE(CopyFormatStore(copy, f)); // a copy into the sheet drops its cache
    EXPECT_EQ(GetRowHeight(Sheet(), 0, 100), 30);
    ClearFormatStore(f);
    EXPECT_EQ(GetRowHeight(Sheet(), 0, 100), 18);
}

TEST_F(MetricsTest, ColumnWidthsUseTheStoredWidthWheneverItIsNotZero) {
    struct Case {
        uint16_t word;
        uint16_t zoom;
        int32_t width;
    } cases[] = {
        {0, 100, 72}, {0, 150, 108},     {50 << 1, 100, 50},           {(50 << 1) | 1, 50, 25},
        {1, 100, 0},  {0xE000, 100, 72}, {(4095 << 1) | 1, 100, 4095}, {0xE000 | (8 << 1), 300, 24},
    };
    for (const Case& c : cases) {
        SetColumnWidth(5, c.word);
        EXPECT_EQ(GetColumnWidth(Sheet(), 5, c.zoom), c.width) << std::hex << c.word;
    }
    EXPECT_EQ(GetColumnWidth(Sheet(), kMaxColumns, 100), 72);
}

TEST_F(MetricsTest, RowHeadingWidthSwitchesWithTheLargestNumberShown) {
    struct Case {
        uint32_t largest;
        uint16_t zoom;
        int32_t width;
    } cases[] = {
        {1, 100, 22},       {99, 100, 22},      {100, 100, 29},    {999, 100, 29},
        {1000, 100, 36},    {99999, 100, 43},   {100000, 100, 50}, {999999, 100, 50},
        {1000000, 100, 57}, {2097152, 100, 57}, {99, 150, 33},     {100, 50, 14},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetNumberWidth(canvas_, c.largest, c.zoom), c.width) << c.largest;
    EXPECT_EQ(GetHeadingRowHeight(canvas_, 100), 14);
    EXPECT_EQ(GetHeadingRowHeight(canvas_, 150), 21);
}

TEST_F(MetricsTest, AutoFitStoresZeroForAnEmptyRowWhichShowsTheDefault) {
    const uint16_t custom = AddStyle(StyleRecord{}, nullptr);
    Sheet().formats.columns[2].style = custom;
    ASSERT_TRUE(SetFormatStoreRowEntry(Sheet().formats, 1, 33, true));
    ASSERT_TRUE(AutoFitRowHeights(Book(), Display(), canvas_, Sheet(), 0, 3));
    EXPECT_EQ(Sheet().formats.rowHeights.ItemCount(), 4u);
    EXPECT_EQ(RowEntries(2), (std::vector<uint16_t>{0, (33 << 1) | 1})); // custom heights stay
    EXPECT_EQ(std::pair(GetRowHeight(Sheet(), 0, 100), GetRowHeight(Sheet(), 3, 100)),
              std::pair(18, 18));
}

TEST_F(MetricsTest, AutoHeightsComeFromCellsRunsAndColumnStyles) {
    const FontRecord big = rendertest::Font("Liberation Serif", 20);
    StyleRecord style;
    style.verticalIndent = 3;
    const uint16_t s = AddStyle(style, &big);
    StyleRecord fit;
    fit.fitToCell = 1;
    const uint16_t f = AddStyle(fit, &big);
    PutText(0, 0, "one\ntwo"); // two lines: 28 + the default indent 2
    PutNumber(1, 1, 5);        // "X": 14 + 3
    SetStyle(1, 1, s);
    SetStyle(4, 6, 2, s); // a styled run without cells: "X" + 2
    PutText(0, 3, "a\nb\nc");
    SetStyle(0, 3, f); // fitted cells ask for nothing
    ASSERT_TRUE(AutoFitRowHeights(Book(), Display(), canvas_, Sheet(), 0, 4));
    EXPECT_EQ(RowEntries(4), (std::vector<uint16_t>{30 << 1, 17 << 1, 16 << 1, 0}));
    // Measured one row at a time without cursors: the same answers.
    for (uint32_t row = 0; row < 4; ++row)
        EXPECT_EQ(MeasureRowAutoHeights(Book(), Display(), canvas_, Sheet(), row, nullptr, nullptr),
                  RowEntry(row) >> 1);
}

// Lines here measure 14 pixels in every font: text in the default font, at any weight, asks
// the default height of 18, every other font what it measures.
TEST_F(MetricsTest, TheDefaultFontAsksTheDefaultHeightOtherFontsWhatTheyMeasure) {
    struct Case {
        const char* name;
        const char* face; // null: no font of its own
        uint8_t size, weight, indent;
        uint16_t height;
    };
    const char* standard = DefaultFontRecord().faceName;
    const Case cases[] = {
        {"default font", nullptr, 0, 0, 2, 18},
        {"default face and size, bold", standard, 10, 2, 2, 18},
        {"default face at 6 points", standard, 6, 0, 2, 16},
        {"default face at 11 points", standard, 11, 0, 2, 16},
        {"another face at 10 points", "Liberation Serif", 10, 0, 2, 16},
        {"default font, indent past the default", standard, 10, 0, 6, 20},
    };
    uint32_t row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StyleRecord style;
        style.verticalIndent = c.indent;
        const FontRecord font = c.face ? rendertest::Font(c.face, c.size, c.weight) : FontRecord{};
        PutText(0, row, "text");
        if (c.face || c.indent != 2) SetStyle(0, row, AddStyle(style, c.face ? &font : nullptr));
        ASSERT_TRUE(AutoFitRowHeights(Book(), Display(), canvas_, Sheet(), row, row));
        EXPECT_EQ(RowEntry(row) >> 1, c.height);
        ++row;
    }
}

TEST_F(MetricsTest, WrappedCellIsWrappedAtTheColumnWidthLessBothIndents) {
    StyleRecord style;
    style.wrapText = 1;
    style.horizontalIndent = 5;
    style.verticalIndent = 0;
    SetStyle(2, 0, AddStyle(style));
    SetColumnWidth(2, (100 << 1) | 1);
    PutText(2, 0, std::string(20, 'a'));
    dc_.SetMetrics(10, 14);
    // Nine characters a line at 90 pixels: three lines; at 100 it would be two.
    EXPECT_EQ(MeasureRowAutoHeights(Book(), Display(), canvas_, Sheet(), 0, nullptr, nullptr), 42);
}

TEST_F(MetricsTest, HugeFontsStopAt4095) {
    dc_.SetMetrics(5000, 5000);
    const FontRecord font = rendertest::Font("Arial", 255);
    StyleRecord style;
    const uint16_t s = AddStyle(style, &font);
    Sheet().formats.columns[9].style = s;
    PutText(9, 0, "huge");
    UpdateColumnStyleHeights(Book(), canvas_, Sheet(), 0, kLastColumn);
    EXPECT_EQ(Sheet().formats.columns[9].autoRowHeight & 0x0FFF, 4095);
    EXPECT_EQ(Sheet().formats.columns[8].autoRowHeight, 0); // style 0's font is all zero
    EXPECT_EQ(GetRowHeight(Sheet(), 5, 100), 4095);
    EXPECT_EQ(MeasureRowAutoHeights(Book(), Display(), canvas_, Sheet(), 0, nullptr, nullptr),
              4095);
    EXPECT_EQ(MeasureColumnAutoWidth(Book(), canvas_, Sheet(), 9), 4095);
}

TEST_F(MetricsTest, ColumnAutoFitTakesTheWidestUnwrappedCell) {
    StyleRecord wrapped;
    wrapped.wrapText = 1;
    const uint16_t w = AddStyle(wrapped);
    StyleRecord wide;
    wide.horizontalIndent = 10;
    const uint16_t x = AddStyle(wide);
    PutText(1, 0, "abcd");               // 28 + 8 + 2
    PutText(1, 5, std::string(30, 'z')); // wrapped: not counted
    SetStyle(1, 5, w);
    PutNumber(2, 3, 12.5); // "12.5": 28 + 20 + 2
    SetStyle(2, 3, x);
    PutText(3, 0, std::string(30, 'z'));
    SetStyle(3, 0, w);
    SetColumnWidth(3, 0xE000 | (40 << 1) | 1);
    SetColumnWidth(4, 0x2000 | (38 << 1)); // stored width equal to the answer: unchanged
    PutText(4, 0, "abcd");
    AutoFitColumnWidths(Book(), canvas_, Sheet(), 0, 4);
    // Column 3 goes back to the default with its other flags kept.
    std::vector<int> widths;
    for (int c = 0; c < 5; ++c) widths.push_back(Sheet().formats.columns[c].width);
    EXPECT_EQ(widths,
              (std::vector<int>{0, (38 << 1) | 1, (50 << 1) | 1, 0xE000, 0x2000 | (38 << 1)}));
    EXPECT_EQ(GetColumnWidth(Sheet(), 3, 100), 72);
}

TEST_F(MetricsTest, RowListThatCannotGrowFailsWithError8) {
    SetAllocFailAfter(0);
    const bool ok = AutoFitRowHeights(Book(), Display(), canvas_, Sheet(), 0, 100000);
    SetAllocFailAfter(-1);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Book().error, kErrorWorksheetMemory);
}

} // namespace vl
