#include "render/metrics.h"
#include "render/scroll.h"
#include "rendertest.h"

#include <gtest/gtest.h>

namespace vl {

using rendertest::CFixedMetricsDC;
using rendertest::SheetFixture;

namespace {

// A 400 x 200 view with text 7 wide and 14 high: a heading band of 14, a row heading of 22
// (29 from row 100 on), rows of 19 and columns of 73 pixels with their gridlines. The
// scrolled rows get 186 pixels: 9 whole rows and part of a tenth; the columns get 378: 5
// whole columns and part of a sixth.
class ScrollTest : public ::testing::Test, public SheetFixture {
protected:
    ScrollTest() : dc_(7, 14) { canvas_.AttachDC(&dc_); }

    CFixedMetricsDC dc_;
    CCanvas canvas_;
    const DcRect view_{0, 0, 399, 199};
    const ZoomPair zoom_{100, 100};
};

struct LineCase {
    uint32_t first, active;
    uint32_t newFirst, newActive;
    int32_t scrolled;
};

} // namespace

TEST_F(ScrollTest, LineStepsMoveTheActiveCellAndScrollOnlyToShowIt) {
    const LineCase left[] = {
        {0, 0, 0, 0, 0}, {3, 5, 3, 4, 0}, {3, 3, 2, 2, 73}, {10, 10, 9, 9, 73}};
    for (const LineCase& c : left) {
        uint32_t row = 0;
        uint16_t first = uint16_t(c.first), active = uint16_t(c.active);
        EXPECT_EQ(ScrollColumnsLineLeft(Book(), canvas_, view_, Sheet(), row, first, active, zoom_),
                  c.scrolled);
        EXPECT_EQ(first, c.newFirst);
        EXPECT_EQ(active, c.newActive);
    }
    const LineCase right[] = {{0, 2, 0, 3, 0},
                              {0, 4, 1, 5, 73},
                              {2042, 2046, 2042, 2046, 0},
                              {2040, 2045, 2042, 2046, 146}};
    for (const LineCase& c : right) {
        uint32_t row = 0;
        uint16_t first = uint16_t(c.first), active = uint16_t(c.active);
        EXPECT_EQ(
            ScrollColumnsLineRight(Book(), canvas_, view_, Sheet(), row, first, active, zoom_),
            c.scrolled);
        EXPECT_EQ(first, c.newFirst) << c.first;
        EXPECT_EQ(active, c.newActive) << c.first;
    }
    const LineCase up[] = {{0, 0, 0, 0, 0}, {5, 5, 4, 4, 19}, {5, 9, 5, 8, 0}};
    for (const LineCase& c : up) {
        uint32_t first = c.first, active = c.active;
        uint16_t column = 0;
        EXPECT_EQ(ScrollRowsLineUp(Book(), canvas_, view_, Sheet(), first, column, active, zoom_),
                  c.scrolled);
        EXPECT_EQ(first, c.newFirst);
        EXPECT_EQ(active, c.newActive);
    }
    const LineCase down[] = {
        {0, 3, 0, 4, 0}, {0, 8, 1, 9, 19}, {kLastRow - 8, kLastRow, kLastRow - 8, kLastRow, 0}};
    for (const LineCase& c : down) {
        uint32_t first = c.first, active = c.active;
        uint16_t column = 0;
        EXPECT_EQ(ScrollRowsLineDown(Book(), canvas_, view_, Sheet(), first, column, active, zoom_),
                  c.scrolled);
        EXPECT_EQ(first, c.newFirst);
        EXPECT_EQ(active, c.newActive);
    }
}

TEST_F(ScrollTest, LineStepReturnsTheWidthOfTheColumnBroughtIntoView) {
    Sheet().formats.columns[1].width = (100 << 1) | 1;
    uint32_t row = 0;
    uint16_t first = 2, active = 2;
    EXPECT_EQ(ScrollColumnsLineLeft(Book(), canvas_, view_, Sheet(), row, first, active, zoom_),
              101);
    const ZoomPair zoomed{150, 100};
    first = active = 3;
    EXPECT_EQ(ScrollColumnsLineLeft(Book(), canvas_, view_, Sheet(), row, first, active, zoomed),
              109);
}

TEST_F(ScrollTest, PageStepsMoveByAWindowAndStopAtTheEnds) {
    struct Case {
        bool down;
        uint32_t first, active;
        uint32_t newFirst, newActive;
    } cases[] = {
        {true, 0, 3, 9, 12},
        {true, kLastRow - 20, kLastRow - 18, kLastRow - 11, kLastRow - 9},
        {true, kLastRow - 11, kLastRow - 9, kLastRow - 8,
         kLastRow - 6}, // stops with the last row in view
        {true, kLastRow - 8, kLastRow - 6, kLastRow - 8, kLastRow}, // the last row is reached
        {false, 0, 4, 0, 0},
        {false, 20, 25, 11, 16},
        {false, 3, 5, 0, 2},
    };
    for (const Case& c : cases) {
        uint32_t first = c.first, active = c.active;
        uint16_t column = 0;
        if (c.down)
            ScrollRowsPageDown(Book(), canvas_, view_, Sheet(), first, column, active, zoom_);
        else
            ScrollRowsPageUp(Book(), canvas_, view_, Sheet(), first, column, active, zoom_);
        EXPECT_EQ(first, c.newFirst) << c.first;
        EXPECT_EQ(active, c.newActive) << c.first;
    }
}

TEST_F(ScrollTest, PageStepsAcrossUseOneWidthBothWays) {
    uint32_t row = 0;
    uint16_t first = 0, active = 1;
    ScrollColumnsPageRight(Book(), canvas_, view_, Sheet(), row, first, active, zoom_);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(active, 6);
    ScrollColumnsPageLeft(Book(), canvas_, view_, Sheet(), row, first, active, zoom_);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(active, 1);
    first = 2041;
    active = 2043;
    ScrollColumnsPageRight(Book(), canvas_, view_, Sheet(), row, first, active, zoom_);
    EXPECT_EQ(first, 2041); // the last column is already reached
    EXPECT_EQ(active, 2046);
    first = 0;
    active = 3;
    ScrollColumnsPageLeft(Book(), canvas_, view_, Sheet(), row, first, active, zoom_);
    EXPECT_EQ(active, 0);
}

TEST_F(ScrollTest, EndStepsShowTheLastUsedCell) {
    uint32_t row = 7;
    uint16_t first = 9, active = 9;
    ScrollColumnsToEnd(Book(), canvas_, view_, Sheet(), row, first, active, zoom_);
    EXPECT_EQ(first, 0); // an empty sheet
    EXPECT_EQ(active, 0);
    PutNumber(10, 100, 1);
    PutNumber(2, 3, 1);
    ScrollColumnsToEnd(Book(), canvas_, view_, Sheet(), row, first, active, zoom_);
    EXPECT_EQ(first, 7); // columns 7 to 11 whole: one more after the last used
    EXPECT_EQ(active, 10);
    uint32_t firstRow = 0, activeRow = 0;
    uint16_t column = 0;
    ScrollRowsToBottom(Book(), canvas_, view_, Sheet(), firstRow, column, activeRow, zoom_);
    EXPECT_EQ(firstRow, 92); // rows 92 to 100 whole
    EXPECT_EQ(activeRow, 100);
    ScrollRowsToTop(Book(), canvas_, view_, Sheet(), firstRow, column, activeRow, zoom_);
    ScrollColumnsToStart(Book(), canvas_, view_, Sheet(), firstRow, first, active, zoom_);
    EXPECT_EQ(firstRow + activeRow + first + active, 0u);
}

TEST_F(ScrollTest, PinnedRowAndColumnTakeTheirSizeAndAGridline) {
    Sheet().view.freezed = {0, 0, kRefRow | kRefColumn};
    uint32_t first = 0, active = 7;
    uint16_t column = 0;
    EXPECT_EQ(ScrollRowsLineDown(Book(), canvas_, view_, Sheet(), first, column, active, zoom_),
              19); // 167 pixels: 8 whole rows
    EXPECT_EQ(first, 1u);
    uint32_t row = 0;
    uint16_t firstColumn = 0, activeColumn = 3;
    EXPECT_EQ(ScrollColumnsLineRight(Book(), canvas_, view_, Sheet(), row, firstColumn,
                                     activeColumn, zoom_),
              73); // 305 pixels: 4 whole columns
    EXPECT_EQ(firstColumn, 1);
}

TEST_F(ScrollTest, CellIntoViewLeavesVisibleCellsAndCentresOthers) {
    struct Case {
        uint32_t firstRow;
        uint16_t firstColumn;
        uint32_t row;
        uint16_t column;
        uint32_t newRow;
        uint16_t newColumn;
    } cases[] = {
        {10, 10, 18, 14, 10, 10}, // fully visible
        {10, 10, 19, 14, 15, 12}, // one row below: both axes centred
        {0, 0, 100, 50, 96, 48},  // the row heading grows to three digits
        {50, 50, 2, 1, 0, 0},
        {0, 0, kLastRow, kLastColumn, kLastRow - 4, kLastColumn - 1}, // seven-digit headings
    };
    for (const Case& c : cases) {
        uint32_t firstRow = c.firstRow;
        uint16_t firstColumn = c.firstColumn;
        ScrollCellIntoView(Book(), canvas_, view_, Sheet(), firstRow, firstColumn, c.row, c.column,
                           zoom_);
        EXPECT_EQ(firstRow, c.newRow) << c.row;
        EXPECT_EQ(firstColumn, c.newColumn) << c.column;
    }
}

TEST_F(ScrollTest, OffsetsToRowsAndColumns) {
    struct Case {
        int64_t distance;
        uint32_t start;
        bool whole;
        uint32_t row;
    } rows[] = {
        {0, 5, true, 5},
        {18, 5, true, 5},
        {19, 5, true, 5},
        {37, 5, true, 5},
        {38, 5, true, 6},
        {0, 5, false, 5},
        {19, 5, false, 5},
        {20, 5, false, 6},
        {1000, kLastRow - 1, false, kLastRow},
        {1000, kLastRow - 1, true, kLastRow},
        {10, kMaxRows, true, kMaxRows},
    };
    for (const Case& c : rows)
        EXPECT_EQ(RowAtOffset(Sheet(), c.distance, c.start, 100, c.whole), c.row)
            << c.distance << " from " << c.start;
    EXPECT_EQ(ColumnAtOffset(Sheet(), 146, 0, 100, true), 1);
    EXPECT_EQ(ColumnAtOffset(Sheet(), 147, 0, 100, false), 2);
    EXPECT_EQ(ColumnAtOffset(Sheet(), 1000, 2045, 100, false), 2046);
    EXPECT_EQ(ColumnAtOffset(Sheet(), 5, 2047, 100, false), 2047);
}

} // namespace vl
