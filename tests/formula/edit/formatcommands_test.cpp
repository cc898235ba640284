#include "formula/edit/formatcommands.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

const StyleRecord& StyleAt(CUndoBook& b, CWorksheet& ws, uint16_t c, uint32_t r) {
    return b.Book().styles.styles[CellStyleIndex(ws.formats, r, c)];
}

StyleRecord Aligned(uint8_t align) {
    StyleRecord s;
    s.horizontalAlignment = align;
    return s;
}

// Undo leaves the styles the command added in the table, unused until the next compaction.
void ExpectUndoRedoCompacted(CUndoBook& b, const WorkbookDump& before, const WorkbookDump& after) {
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    b.Book().CompactStyleTables();
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(after, b.Dump()));
}

} // namespace

TEST(FormatCommand, ABoxAndWholeColumnsTakeTheAttributeAndUndoRedoRestore) {
    struct Case {
        CellRange range;
        uint16_t inColumn;
        uint32_t inRow;
        uint16_t outColumn;
        uint32_t outRow;
    };
    const Case cases[] = {
        {{2, 3, 3, 5}, 3, 5, 4, 3},            // a 2 x 3 box: its last cell in, right of it out
        {{2, 3, 3, 5}, 2, 3, 2, 6},            // its first cell in, below it out
        {{1, 0, 2, kLastRow}, 2, 70000, 3, 0}, // whole columns, far down
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet& ws = b.S3();
        b.Book().tree.active = &ws;
        b.Book().CompactStyleTables();
        const WorkbookDump before = b.Dump();
        bool recorded = false;
        ASSERT_EQ(FormatCommand(b.Book(), {c.range, 0, 0}, kAttrHorizontalAlignment, Aligned(3),
                                FontRecord{}, &recorded),
                  CommandResult::kDone);
        EXPECT_TRUE(recorded);
        EXPECT_EQ(StyleAt(b, ws, c.inColumn, c.inRow).horizontalAlignment, 3) << c.inRow;
        EXPECT_EQ(StyleAt(b, ws, c.outColumn, c.outRow).horizontalAlignment, 0) << c.outRow;
        ExpectUndoRedoCompacted(b, before, b.Dump());
    }
}

TEST(OutlineBordersCommand, SidesLandOnTheEdgesOnlyWholeColumnsTakeNoTopOrBottom) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    StyleRecord style;
    style.borderSides = kBorderLeft | kBorderRight | kBorderTop | kBorderBottom;
    style.borderLine.style = FORMAT_LINE_SOLID;
    b.Book().CompactStyleTables();
    const WorkbookDump before = b.Dump();
    // Three columns by four rows, started at (1, 2).
    ASSERT_EQ(OutlineBordersCommand(b.Book(), {{1, 2, 3, 5}, 0, 0}, style), CommandResult::kDone);
    const uint8_t L = kBorderLeft, R = kBorderRight, T = kBorderTop, B = kBorderBottom;
    const uint8_t expected[4][3] = {
        {uint8_t(L | T), T, uint8_t(R | T)},
        {L, 0, R},
        {L, 0, R},
        {uint8_t(L | B), B, uint8_t(R | B)},
    };
    for (uint32_t r = 0; r < 4; ++r)
        for (uint16_t c = 0; c < 3; ++c)
            EXPECT_EQ(StyleAt(b, ws, uint16_t(1 + c), 2 + r).borderSides, expected[r][c])
                << c << "," << r;
    EXPECT_EQ(StyleAt(b, ws, 0, 2).borderSides, 0);
    EXPECT_EQ(StyleAt(b, ws, 1, 6).borderSides, 0);
    ExpectUndoRedoCompacted(b, before, b.Dump());

    CUndoBook w;
    w.Book().tree.active = &w.S3();
    ASSERT_EQ(OutlineBordersCommand(w.Book(), {{4, 0, 5, kLastRow}, 0, 0}, style),
              CommandResult::kDone);
    for (uint32_t row : {0u, 100u, kLastRow}) {
        EXPECT_EQ(StyleAt(w, w.S3(), 4, row).borderSides, L) << row;
        EXPECT_EQ(StyleAt(w, w.S3(), 5, row).borderSides, R) << row;
    }
}

TEST(FormatCommand, AFullStyleTableFailsWithTheEntryKeptAndTheCellsAsTheyWere) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    b.FillStyleTable(ws);
    // A fill no style has yet needs a new slot.
    StyleRecord fresh;
    fresh.fill = {1, 1, 99999, 0, 0};
    const int32_t undo = b.Book().undo.current;
    bool recorded = false;
    EXPECT_EQ(FormatCommand(b.Book(), {{0, 0, 1, 2}, 0, 0}, kAttrInterior, fresh, FontRecord{},
                            &recorded),
              CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorTooManyStyles);
    EXPECT_TRUE(recorded);
    EXPECT_EQ(b.Book().undo.current, undo + 1);
    for (uint16_t c = 0; c <= 1; ++c)
        for (uint32_t r = 0; r <= 2; ++r) EXPECT_EQ(StyleAt(b, ws, c, r).fill.patternColor, 0u);

    b.Book().tree.active = nullptr;
    EXPECT_EQ(FormatCommand(b.Book(), {{0, 0, 1, 2}, 0, 0}, kAttrHorizontalAlignment, Aligned(2),
                            FontRecord{}, &recorded),
              CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorNoWorksheet);
    EXPECT_FALSE(recorded);
    EXPECT_EQ(b.Book().undo.current, undo + 1);
}

} // namespace vl
