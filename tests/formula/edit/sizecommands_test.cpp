#include "formula/edit/sizecommands.h"
#include "model/rowcolumnsizes.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

uint16_t Height(CWorksheet& ws, uint32_t row) {
    CPagedList& list = ws.formats.rowHeights;
    return row < list.ItemCount() ? *list.GetItem2(row) : 0;
}

void ExpectUndoRedo(CUndoBook& b, const WorkbookDump& before, const WorkbookDump& after) {
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(after, b.Dump()));
}

} // namespace

TEST(SetSizesCommand, ColumnsAndRowsOfTheSelectionOnlyAndUndoRedo) {
    struct Case {
        CellRange range;
        bool columns;
    };
    const Case cases[] = {
        {{1, 6, 3, 7}, true},            // three columns of a 3 x 2 box
        {{1, 6, 3, 7}, false},           // its two rows
        {{0, 4, kLastColumn, 9}, false}, // whole rows over a custom height
        {{2, 0, 2, kLastRow}, true},     // a whole column with a style of its own
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet& ws = b.S1();
        const WorkbookDump before = b.Dump();
        bool recorded = false;
        ASSERT_EQ(SetSizesCommand(b.Book(), {c.range, 0, 0}, c.columns, 123, &recorded),
                  CommandResult::kDone);
        EXPECT_TRUE(recorded);
        if (c.columns) {
            EXPECT_EQ(ws.formats.columns[c.range.c1].width, 123 << 1 | 1);
            EXPECT_EQ(ws.formats.columns[c.range.c2].width, 123 << 1 | 1);
            EXPECT_NE(ws.formats.columns[c.range.c2 + 1].width, 123 << 1 | 1);
            EXPECT_EQ(ws.formats.columns[c.range.c1 - 1].width, 0);
        } else {
            EXPECT_EQ(Height(ws, c.range.r1), 123 << 1 | 1);
            EXPECT_EQ(Height(ws, c.range.r2), 123 << 1 | 1);
            EXPECT_NE(Height(ws, c.range.r2 + 1), 123 << 1 | 1);
            EXPECT_NE(Height(ws, c.range.r1 - 1), 123 << 1 | 1);
        }
        ExpectUndoRedo(b, before, b.Dump());
    }
}

TEST(AutoSizeCommand, RowsLoseTheirCustomFlagColumnsAreOnlyRecorded) {
    CUndoBook b;
    CWorksheet& ws = b.S1();
    ASSERT_FALSE(AutoRowHeightTicked(ws.formats, 4, 4)); // row 4 holds a custom 30
    const WorkbookDump before = b.Dump();
    ASSERT_EQ(AutoSizeCommand(b.Book(), {{0, 3, 5, 5}, 0, 0}, false), CommandResult::kDone);
    EXPECT_TRUE(AutoRowHeightTicked(ws.formats, 3, 5));
    ExpectUndoRedo(b, before, b.Dump());

    const int32_t undo = b.Book().undo.current;
    const WorkbookDump after = b.Dump();
    ASSERT_EQ(AutoSizeCommand(b.Book(), {{0, 0, 3, kLastRow}, 0, 0}, true), CommandResult::kDone);
    EXPECT_EQ(b.Book().undo.current, undo + 1);
    EXPECT_TRUE(SameWorkbook(after, b.Dump()));

    // Without an active worksheet nothing is recorded.
    b.Book().tree.active = nullptr;
    bool recorded = true;
    EXPECT_EQ(SetSizesCommand(b.Book(), {{0, 0, 1, 1}, 0, 0}, true, 50, &recorded),
              CommandResult::kFailed);
    EXPECT_FALSE(recorded);
    EXPECT_EQ(AutoSizeCommand(b.Book(), {{0, 0, 1, 1}, 0, 0}, false), CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorNoWorksheet);
    EXPECT_EQ(b.Book().undo.current, undo + 1);
}

} // namespace vl
