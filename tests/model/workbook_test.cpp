#include "model/container.h"
#include "model/rangeops.h"
#include "model/workbook.h"
#include "platform/core/alloc.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

void PutNumber(CWorksheet& ws, uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value));
    CellCursor cursor;
    ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor));
}

void PutRun(CWorksheet& ws, uint16_t first, uint16_t last, uint32_t row, uint16_t style) {
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, {first, last, row, style}, cursor));
}

std::vector<FormatRun> AllRuns(const CWorksheet& ws) {
    return RunsInRect(ws.formats, {0, 0, kLastColumn, kLastRow});
}

} // namespace

TEST(Workbook, NewWorkbookDefaults) {
    auto book = NewWorkbook();
    ASSERT_TRUE(book);
    EXPECT_EQ(book->styles.styleCount, 1);
    EXPECT_EQ(book->styles.fontCount, 1);
    EXPECT_EQ(book->undo.current, -1);
    EXPECT_EQ(book->undo.maximum, 0u);
    EXPECT_EQ(book->error, 0);
    EXPECT_EQ(book->tree.first, nullptr);
    EXPECT_EQ(book->panes.treeShown, 1);
    EXPECT_EQ(book->panes.treeWidth, 100);
    EXPECT_EQ(book->panes.inspectShown, 0);
    EXPECT_EQ(book->panes.inspectHeight, 100);
    EXPECT_EQ(book->textFile.separator, ',');
    EXPECT_EQ(book->textFile.quotingSymbol, '"');
    EXPECT_EQ(book->textFile.encoding, 2);
    EXPECT_EQ(book->textFile.conversion, 1);
    EXPECT_EQ(book->textFile.columnWidths[2046], 0);
    EXPECT_EQ(book->xbase.encoding, 2);
    EXPECT_EQ(book->xbase.format, 4);
    EXPECT_EQ(book->printPages.ItemCount(), 0u);
    for (const DropDownListRecord& list : book->dropDownLists)
        EXPECT_FALSE(DropDownListInUse(list));
}

TEST(Workbook, DropDownListsInUse) {
    DropDownListRecord list;
    InitDropDownList(list);
    EXPECT_FALSE(DropDownListInUse(list));
    SetDropDownName(list, "A name much longer than twenty-nine characters");
    EXPECT_EQ(std::string(list.name), "A name much longer than twent"); // 29 characters
    EXPECT_TRUE(DropDownListInUse(list)); // a name without entries is still written
    InitDropDownList(list);
    AddDropDownEntry(list, std::string(2000, 'e'));
    EXPECT_EQ(list.entries[0].size(), kMaxDropDownEntry);
    EXPECT_TRUE(DropDownListInUse(list));
    FreeDropDownList(list);
    EXPECT_FALSE(DropDownListInUse(list));
}

TEST(Workbook, CompactionKeepsUsedStylesAndRemapsEveryRun) {
    auto book = NewWorkbook();
    CWorksheet& ws = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1));
    CWorksheet& other = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "T", 1));
    StyleTables& t = book->styles;
    for (int f = 1; f <= 4; ++f)
        CopyTextField(t.fonts[f].faceName, ("F" + std::to_string(f)).c_str(), 128);
    t.fontCount = 5;
    for (int s = 1; s <= 8; ++s) {
        t.styles[s].rotation = int8_t(s);
        t.styles[s].fontRef.fontIndex = uint8_t(s % 5);
    }
    t.styleCount = 9;
    // Styles 0, 3 and 7 are used: 3 by runs on two sheets, 7 by a run and a column entry.
    PutRun(ws, 0, 4, 2, 3);
    PutRun(ws, 5, 9, 2, 0);
    PutRun(ws, 0, 0, 9, 7);
    PutRun(other, 3, 3, 100, 3);
    ws.formats.columns[12].style = 0xF000 | 7;
    ws.formats.columns[13].style = 0xA000; // upper bits only
    book->CompactStyleTables();
    EXPECT_EQ(t.styleCount, 3);
    EXPECT_EQ(t.styles[1].rotation, 3);
    EXPECT_EQ(t.styles[2].rotation, 7);
    EXPECT_EQ(t.fontCount, 3);
    EXPECT_STREQ(t.fonts[1].faceName, "F2"); // font of style 7
    EXPECT_STREQ(t.fonts[2].faceName, "F3"); // font of style 3
    EXPECT_EQ(t.styles[1].fontRef.fontIndex, 2);
    EXPECT_EQ(t.styles[2].fontRef.fontIndex, 1);
    const std::vector<FormatRun> runs = AllRuns(ws);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].style, 1);
    EXPECT_EQ(runs[1].style, 0);
    EXPECT_EQ(runs[2].style, 2);
    EXPECT_EQ(AllRuns(other)[0].style, 1);
    EXPECT_EQ(ws.formats.columns[12].style, 0xF000 | 2);
    EXPECT_EQ(ws.formats.columns[13].style, 0xA000);
}

TEST(Workbook, CompactionRenumbersTheFontOfStyleZero) {
    auto book = NewWorkbook();
    ASSERT_TRUE(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1));
    StyleTables& t = book->styles;
    CopyTextField(t.fonts[2].faceName, "Default face", kFaceNameSize);
    t.fontCount = 3;
    t.styles[0].fontRef.fontIndex = 2;
    t.styles[1].fontRef.fontIndex = 1; // style 1 and font 1 are used by nothing
    t.styleCount = 2;
    book->CompactStyleTables();
    EXPECT_EQ(t.styleCount, 1);
    EXPECT_EQ(t.fontCount, 2);
    EXPECT_EQ(t.styles[0].fontRef.fontIndex, 1);
    EXPECT_STREQ(GetFontRecord(t, t.styles[0].fontRef.fontIndex).faceName, "Default face");
}

TEST(Workbook, HundredWorksheetsTearDownWithoutLeaks) {
    const long before = LiveBlockCount();
    {
        auto book = NewWorkbook();
        for (int i = 0; i < 100; ++i) {
            CTreeItem* item = book->AppendTreeItem(
                i % 10 == 0 ? TREE_TYPE_FOLDER : TREE_TYPE_WORKSHEET, nullptr, i % 10 == 0 ? 1 : 2);
            ASSERT_TRUE(item);
            CWorksheet* ws = AsWorksheet(item);
            if (!ws) continue;
            for (uint32_t r = 0; r < 200; ++r) PutNumber(*ws, uint16_t(r % 7), r * 3, r);
            PutRun(*ws, 0, 3, 5, 1);
            ASSERT_TRUE(SetFormatStoreRowEntry(ws->formats, 300, 40, true));
            auto c = NewBlockObject<CContainer>();
            InitContainerDefaults(*c, nullptr, nullptr);
            c->settings.background.kind = kBackgroundFractal;
            c->fractalCache = std::make_unique<FractalBitmap>();
            c->slots[0].kind = kObjectChart;
            c->slots[0].chart = NewBlockObject<CChart>(kChart2D);
            uint8_t point[16] = {};
            ASSERT_TRUE(c->slots[0].chart->series[0].points.AppendItem16(point));
            c->settings.objectCount = 1;
            LinkContainer(*ws, std::move(c));
        }
        book->styles.styleCount = 2;
        EXPECT_EQ(book->tree.worksheetCount, 90u);
        EXPECT_TRUE(book->RecordUndoRange({0, 0, 5, 50}, 0, 0, true, true));
        book->xbase.fieldDescriptors = static_cast<uint8_t*>(AllocBlock(64));
        uint8_t watched[396] = {};
        ASSERT_TRUE(book->inspectedCells.AppendItem(watched, 396));
    }
    EXPECT_EQ(LiveBlockCount(), before);
}

TEST(Workbook, FailedAllocationOfATreeItemSetsErrorEight) {
    auto book = NewWorkbook();
    SetAllocFailAfter(0);
    CTreeItem* item = book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1);
    SetAllocFailAfter(-1);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
    EXPECT_EQ(book->tree.worksheetCount, 0u);
}

} // namespace vl
