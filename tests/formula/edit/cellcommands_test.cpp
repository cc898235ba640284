#include "formula/edit/cellcommands.h"
#include "model/rangestyle.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

StandardFormat Format(uint8_t kind) {
    StandardFormat f;
    f.kind = kind;
    return f;
}

uint8_t KindAt(CUndoBook& b, CWorksheet& ws, uint16_t c, uint32_t r) {
    return b.Book().styles.styles[CellStyleIndex(ws.formats, r, c)].numberFormat.kind;
}

} // namespace

TEST(StoreCellCommand, ValuesFormatsAndEmptyingUndoAndRedoToTheSameBook) {
    struct Case {
        const char* name;
        uint16_t column;
        uint32_t row;
        bool empty;
        uint8_t format;
        bool autoFormatting;
        std::string value;
        uint8_t kind;
    };
    const Case cases[] = {
        {"number over text", 1, 3, false, STD_STYLE_DEFAULT, true, "42", STD_STYLE_DEFAULT},
        {"a percentage restyles", 2, 19, false, STD_STYLE_PERCENTAGE, true, "42",
         STD_STYLE_PERCENTAGE},
        {"without auto formatting", 2, 19, false, STD_STYLE_PERCENTAGE, false, "42",
         STD_STYLE_DEFAULT},
        {"emptied", 0, 4, true, STD_STYLE_DATE, true, "", STD_STYLE_DEFAULT},
        {"a formula cell emptied", 3, 2, true, STD_STYLE_DEFAULT, true, "", STD_STYLE_DEFAULT},
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet& ws = b.S1();
        const WorkbookDump before = b.Dump();
        CellBuffer record;
        ASSERT_TRUE(MakeNumberCell(record, c.column, c.row, 42));
        bool stored = false;
        ASSERT_EQ(StoreCellCommand(b.Book(), c.column, c.row, c.empty ? nullptr : &record,
                                   Format(c.format), c.autoFormatting, 0, 0, &stored),
                  CommandResult::kDone)
            << c.name;
        EXPECT_TRUE(stored);
        EXPECT_EQ(ValueAt(ws.cells, c.column, c.row), c.value) << c.name;
        EXPECT_EQ(KindAt(b, ws, c.column, c.row), c.kind) << c.name;
        const WorkbookDump after = b.Dump();
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        b.Book().CompactStyleTables();
        EXPECT_TRUE(SameWorkbook(before, b.Dump())) << c.name;
        ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(ValueAt(ws.cells, c.column, c.row), c.value) << c.name;
        EXPECT_EQ(KindAt(b, ws, c.column, c.row), c.kind) << c.name;
    }
}

TEST(StoreCellCommand, AFullStyleTableKeepsTheValueAndTheOldStyle) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    b.FillStyleTable(ws);
    CellBuffer record;
    ASSERT_TRUE(MakeNumberCell(record, 0, 0, 0.5));
    const int32_t undo = b.Book().undo.current;
    bool stored = false;
    EXPECT_EQ(StoreCellCommand(b.Book(), 0, 0, &record, Format(STD_STYLE_PERCENTAGE), true, 0, 0,
                               &stored),
              CommandResult::kFailed);
    EXPECT_TRUE(stored);
    EXPECT_EQ(b.Book().error, kErrorTooManyStyles);
    EXPECT_EQ(ValueAt(ws.cells, 0, 0), "0.5");
    EXPECT_EQ(KindAt(b, ws, 0, 0), STD_STYLE_DEFAULT);
    EXPECT_EQ(b.Book().undo.current, undo + 1);

    b.Book().tree.active = nullptr;
    EXPECT_EQ(
        StoreCellCommand(b.Book(), 0, 0, &record, Format(STD_STYLE_DEFAULT), true, 0, 0, &stored),
        CommandResult::kFailed);
    EXPECT_FALSE(stored);
    EXPECT_EQ(b.Book().error, kErrorNoWorksheet);
    EXPECT_EQ(b.Book().undo.current, undo + 1);
}

} // namespace vl
