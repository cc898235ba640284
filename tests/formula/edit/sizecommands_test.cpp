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

TEST(LineSizeCommands, ADragRecordsItsLineAndSetsItUndoRedoRestore) {
    struct Case {
        bool columns;
        uint32_t line;
        uint16_t size, stored; // asked, kept
    };
    const Case cases[] = {
        {true, 3, 37, 37},               // beside a custom 90 with a style
        {true, 2, 37, 37},               // over it
        {true, kLastColumn, 4095, 4095}, // the last column, the largest size
        {false, 4, 17, 17},              // over the custom 30
        {false, 5, 300, 300},            // below it
        {false, 7, 4096, 4095},          // past the list; the first size too large
        {false, kLastRow, 0, 0},         // the last row, the list grown to it
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet& ws = b.S1();
        // Bits the sizes do not own, so that a size that clears them shows.
        ws.formats.columns[2].width |= 0x8000;
        auto size = [&](uint32_t line) {
            return c.columns ? ws.formats.columns[line].width : Height(ws, line);
        };
        const uint16_t neighbour = size(c.line - 1);
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        const GridSelection firstVisible{{1, 6, 3, 7}, 5, 11};
        ASSERT_EQ(RecordLineSizeCommand(b.Book(), firstVisible, c.columns, c.line),
                  CommandResult::kDone);
        EXPECT_EQ(b.Book().undo.current, undo + 1);
        EXPECT_EQ(b.Book().undo.entries[undo + 1].cursorColumn, 5);
        EXPECT_EQ(b.Book().undo.entries[undo + 1].cursorRow, 11u);
        ASSERT_EQ(SetLineSizeCommand(b.Book(), c.columns, c.line, c.size), CommandResult::kDone)
            << c.line;
        // Resting on one size again changes nothing.
        EXPECT_EQ(SetLineSizeCommand(b.Book(), c.columns, c.line, c.stored),
                  CommandResult::kNothing);
        const uint16_t high = c.columns && c.line == 2 ? 0x8000 : 0;
        EXPECT_EQ(size(c.line), uint16_t(high | c.stored << 1 | 1)) << c.line;
        EXPECT_EQ(size(c.line - 1), neighbour) << c.line; // the line before keeps its size
        // The resize is one entry: one undo brings back every size.
        EXPECT_EQ(b.Book().undo.current, undo + 1);
        SCOPED_TRACE(c.line);
        ExpectUndoRedo(b, before, b.Dump());
    }
}

TEST(LineSizeCommands, LinesPastTheSheetAndNoWorksheetChangeNothing) {
    CUndoBook b;
    const WorkbookDump before = b.Dump();
    const int32_t undo = b.Book().undo.current;
    EXPECT_EQ(RecordLineSizeCommand(b.Book(), {}, true, kLastColumn + 1u), CommandResult::kNothing);
    EXPECT_EQ(RecordLineSizeCommand(b.Book(), {}, false, kLastRow + 1), CommandResult::kNothing);
    EXPECT_EQ(SetLineSizeCommand(b.Book(), true, kLastColumn + 1u, 50), CommandResult::kNothing);
    EXPECT_EQ(SetLineSizeCommand(b.Book(), false, kLastRow + 1, 50), CommandResult::kNothing);
    b.Book().tree.active = nullptr;
    EXPECT_EQ(RecordLineSizeCommand(b.Book(), {}, true, 1), CommandResult::kFailed);
    EXPECT_EQ(SetLineSizeCommand(b.Book(), false, 1, 50), CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorNoWorksheet);
    EXPECT_EQ(b.Book().undo.current, undo);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
}

} // namespace vl
