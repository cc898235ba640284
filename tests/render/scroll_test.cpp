#include "render/metrics.h"
#include "render/scroll.h"
#include "rendertest.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vl {

namespace {

// Steps across, then down, in the same order on both axes.
enum Across { kLineLeft, kLineRight, kPageLeft, kPageRight, kToStart, kToEnd };
enum Down { kLineUp = 6, kLineDown, kPageUp, kPageDown, kToTop, kToBottom };
// The first row or column and the active one after a step, and the pixels it scrolled
// (page and end steps report none).
using Moved = std::tuple<uint32_t, uint32_t, int32_t>;

template <class Active, class Result>
using StepFn = Result (*)(const CWorkbook&, CCanvas&, const DcRect&, CWorksheet&, uint32_t&,
                          uint16_t&, Active&, ZoomPair);
const StepFn<uint16_t, int32_t> kColumnLines[] = {ScrollColumnsLineLeft, ScrollColumnsLineRight};
const StepFn<uint16_t, void> kColumnJumps[] = {ScrollColumnsPageLeft, ScrollColumnsPageRight,
                                               ScrollColumnsToStart, ScrollColumnsToEnd};
const StepFn<uint32_t, int32_t> kRowLines[] = {ScrollRowsLineUp, ScrollRowsLineDown};
const StepFn<uint32_t, void> kRowJumps[] = {ScrollRowsPageUp, ScrollRowsPageDown, ScrollRowsToTop,
                                            ScrollRowsToBottom};

// A 400 x 200 view with text 7 wide and 14 high: a heading band of 14, a row heading of 22
// (29 from row 100 on), rows of 19 and columns of 73 pixels with their gridlines. The
// scrolled rows get 186 pixels: 9 whole rows and part of a tenth; the columns get 378: 5
// whole columns and part of a sixth.
class ScrollTest : public rendertest::FixedSheetTest {
protected:
    // Takes one step from `first` and `active` on the step's axis; `otherFirst` is the first
    // row or column of the other axis.
    Moved Run(int step, uint32_t first, uint32_t active, uint32_t otherFirst = 0,
              ZoomPair zoom = {100, 100}) {
        const bool across = step < kLineUp;
        const int k = step % kLineUp;
        uint32_t firstRow = across ? otherFirst : first, activeRow = active;
        uint16_t firstColumn = uint16_t(across ? first : otherFirst);
        uint16_t activeColumn = uint16_t(active);
        const auto run = [&](auto fn, auto& moving) {
            return fn(Book(), canvas_, view_, Sheet(), firstRow, firstColumn, moving, zoom);
        };
        int32_t px = 0;
        if (across && k < 2) px = run(kColumnLines[k], activeColumn);
        if (across && k >= 2) run(kColumnJumps[k - 2], activeColumn);
        if (!across && k < 2) px = run(kRowLines[k], activeRow);
        if (!across && k >= 2) run(kRowJumps[k - 2], activeRow);
        return across ? Moved{firstColumn, activeColumn, px} : Moved{firstRow, activeRow, px};
    }
    void Expect(const std::vector<std::tuple<int, uint32_t, uint32_t, Moved>>& cases,
                uint32_t otherFirst = 0) {
        for (const auto& [step, first, active, moved] : cases)
            EXPECT_EQ(Run(step, first, active, otherFirst), moved)
                << "step " << step << " from " << first << ", " << active;
    }

    const DcRect view_{0, 0, 399, 199};
};

} // namespace

TEST_F(ScrollTest, LineStepsMoveTheActiveCellAndScrollOnlyToShowIt) {
    Expect({
        {kLineLeft, 0, 0, {0, 0, 0}},
        {kLineLeft, 3, 5, {3, 4, 0}},
        {kLineLeft, 3, 3, {2, 2, 73}},
        {kLineRight, 0, 2, {0, 3, 0}},
        {kLineRight, 0, 4, {1, 5, 73}},
        {kLineRight, 2042, 2046, {2042, 2046, 0}},
        {kLineRight, 2040, 2045, {2042, 2046, 146}},
        {kLineUp, 0, 0, {0, 0, 0}},
        {kLineUp, 5, 5, {4, 4, 19}},
        {kLineUp, 5, 9, {5, 8, 0}},
        {kLineDown, 0, 3, {0, 4, 0}},
        {kLineDown, 0, 8, {1, 9, 19}},
        {kLineDown, kLastRow - 8, kLastRow, {kLastRow - 8, kLastRow, 0}},
    });
}

TEST_F(ScrollTest, LineStepReturnsTheWidthOfTheColumnBroughtIntoView) {
    Sheet().formats.columns[1].width = (100 << 1) | 1;
    EXPECT_EQ(std::get<2>(Run(kLineLeft, 2, 2)), 101);
    EXPECT_EQ(std::get<2>(Run(kLineLeft, 3, 3, 0, {150, 100})), 109);
}

TEST_F(ScrollTest, PageStepsMoveByAWindowAndStopAtTheEnds) {
    Expect({
        {kPageDown, 0, 3, {9, 12, 0}},
        {kPageDown, kLastRow - 20, kLastRow - 18, {kLastRow - 11, kLastRow - 9, 0}},
        // Stops with the last row in view, then the last row is reached.
        {kPageDown, kLastRow - 11, kLastRow - 9, {kLastRow - 8, kLastRow - 6, 0}},
        {kPageDown, kLastRow - 8, kLastRow - 6, {kLastRow - 8, kLastRow, 0}},
        {kPageUp, 0, 4, {0, 0, 0}},
        {kPageUp, 20, 25, {11, 16, 0}},
        {kPageUp, 3, 5, {0, 2, 0}},
        // Across, one width both ways; the last column is already reached.
        {kPageRight, 0, 1, {5, 6, 0}},
        {kPageLeft, 5, 6, {0, 1, 0}},
        {kPageRight, 2041, 2043, {2041, 2046, 0}},
        {kPageLeft, 0, 3, {0, 0, 0}},
    });
}

// A row taller (a column wider) than the window is a page of its own: the step goes on past
// it, and a step onto such a row keeps the active cell on it.
TEST_F(ScrollTest, PageStepsPassARowOrColumnLargerThanTheWindow) {
    ASSERT_TRUE(SetFormatStoreRowEntry(Sheet().formats, 6, 2000, true));
    Sheet().formats.columns[4].width = uint16_t((1000 << 1) | 1);
    Expect({
        {kPageDown, 0, 0, {6, 6, 0}},
        {kPageDown, 6, 6, {7, 7, 0}},
        {kPageDown, 6, 3, {7, 7, 0}},
        {kPageDown, 7, 7, {16, 16, 0}},
        {kPageDown, 5, 5, {6, 6, 0}},
        {kPageRight, 0, 0, {4, 4, 0}},
        {kPageRight, 4, 4, {5, 5, 0}},
        {kPageRight, 5, 6, {10, 11, 0}},
    });
}

TEST_F(ScrollTest, EndStepsShowTheLastUsedCell) {
    Expect({{kToEnd, 9, 9, {0, 0, 0}}}, 7); // an empty sheet
    PutNumber(10, 100, 1);
    PutNumber(2, 3, 1);
    Expect({{kToEnd, 0, 0, {7, 10, 0}}}, 7); // columns 7 to 11 whole: one more after the last
    Expect({
        {kToBottom, 0, 0, {92, 100, 0}}, // rows 92 to 100 whole
        {kToTop, 92, 100, {0, 0, 0}},
        {kToStart, 7, 10, {0, 0, 0}},
    });
}

TEST_F(ScrollTest, PinnedRowAndColumnTakeTheirSizeAndAGridline) {
    Sheet().view.freezed = {0, 0, kRefRow | kRefColumn};
    EXPECT_EQ(Run(kLineDown, 0, 7), Moved(1, 8, 19));  // 167 pixels: 8 whole rows
    EXPECT_EQ(Run(kLineRight, 0, 3), Moved(1, 4, 73)); // 305 pixels: 4 whole columns
}

TEST_F(ScrollTest, CellIntoViewLeavesVisibleCellsAndCentresOthers) {
    const std::tuple<uint32_t, uint16_t, uint32_t, uint16_t, uint32_t, uint16_t> cases[] = {
        {10, 10, 18, 14, 10, 10}, // fully visible
        {10, 10, 19, 14, 15, 12}, // one row below: both axes centred
        {0, 0, 100, 50, 96, 48},  // the row heading grows to three digits
        {50, 50, 2, 1, 0, 0},
        {0, 0, kLastRow, kLastColumn, kLastRow - 4, kLastColumn - 1}, // seven-digit headings
    };
    for (auto [firstRow, firstColumn, row, column, newRow, newColumn] : cases) {
        ScrollCellIntoView(Book(), canvas_, view_, Sheet(), firstRow, firstColumn, row, column,
                           {100, 100});
        EXPECT_EQ(std::tuple(firstRow, firstColumn), std::tuple(newRow, newColumn)) << row;
    }
}

TEST_F(ScrollTest, OffsetsToRowsAndColumns) {
    const std::tuple<int64_t, uint32_t, bool, uint32_t> rows[] = {
        {0, 5, true, 5},
        {19, 5, true, 5},
        {37, 5, true, 5},
        {38, 5, true, 6},
        {19, 5, false, 5},
        {20, 5, false, 6},
        {1000, kLastRow - 1, false, kLastRow},
        {1000, kLastRow - 1, true, kLastRow},
        {10, kMaxRows, true, kMaxRows},
    };
    for (auto [distance, start, whole, row] : rows)
        EXPECT_EQ(RowAtOffset(Sheet(), distance, start, 100, whole), row)
            << distance << " from " << start;
    EXPECT_EQ(ColumnAtOffset(Sheet(), 146, 0, 100, true), 1);
    EXPECT_EQ(ColumnAtOffset(Sheet(), 147, 0, 100, false), 2);
    EXPECT_EQ(ColumnAtOffset(Sheet(), 1000, 2045, 100, false), 2046);
    EXPECT_EQ(ColumnAtOffset(Sheet(), 5, 2047, 100, false), 2047);
}

} // namespace vl
