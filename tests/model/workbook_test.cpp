#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

// A new document: the tree replaced by one worksheet "Worksheet1", active and current, the
// record itself as built (one style, one font, an empty history, no file).
TEST(Workbook, NewWorkbookReplacesTheTreeWithOneWorksheet) {
    auto book = BookWith({{W, "A", 1}, {W, "B", 1}, {F, "F", 1}});
    const long live = LiveBlockCount();
    ASSERT_TRUE(NewWorkbook(*book));
    EXPECT_LT(LiveBlockCount(), live);
    CWorksheet* only = AsWorksheet(book->tree.first);
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(std::tuple(Names(only), book->tree.active, book->currentItem, book->currentCells),
              std::tuple("Worksheet1:1 ", only, only, &only->cells));
    EXPECT_EQ(std::tuple(book->tree.worksheetCount, book->tree.folderCount, book->styles.styleCount,
                         book->styles.fontCount, book->undo.current, book->fileFamily,
                         book->fileKind, book->evalContext.get()),
              std::tuple(1u, 0u, uint16_t(1), uint8_t(1), -1, uint8_t(0), uint8_t(0), nullptr));
    AllocFailGuard fail(0);
    EXPECT_FALSE(NewWorkbook(*book));
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
    // The tree it could not replace stays whole.
    EXPECT_EQ(std::tuple(book->tree.first, book->tree.active, book->tree.worksheetCount),
              std::tuple(only, only, 1u));
}

TEST(Workbook, DropDownListsInUse) {
    DropDownListRecord list;
    list.sort = list.autoComplete = list.appendNewItems = 1;
    InitDropDownList(list);
    EXPECT_EQ(list.sort + list.autoComplete + list.appendNewItems, 0);
    EXPECT_FALSE(DropDownListInUse(list));
    SetDropDownName(list, "A name much longer than twenty-nine characters");
    EXPECT_EQ(std::string(list.name), "A name much longer than twent"); // 29 characters
    EXPECT_TRUE(DropDownListInUse(list)); // a name without entries is still written
    InitDropDownList(list);
    AddDropDownEntry(list, std::string(kMaxDropDownEntry, 'e'));
    AddDropDownEntry(list, std::string(kMaxDropDownEntry + 1, 'e'));
    EXPECT_EQ(std::tuple(list.entries[0].size(), list.entries[1].size()),
              std::tuple(std::size_t(kMaxDropDownEntry), std::size_t(kMaxDropDownEntry)));
    EXPECT_TRUE(DropDownListInUse(list));
    FreeDropDownList(list);
    EXPECT_FALSE(DropDownListInUse(list));
}

TEST(Workbook, CompactionKeepsUsedStylesAndRemapsEveryRun) {
    auto book = BookWithSheets(2);
    CWorksheet& ws = Sheet(*book, 0);
    CWorksheet& other = Sheet(*book, 1);
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
    for (FormatRun run : {FormatRun{0, 4, 2, 3}, FormatRun{5, 9, 2, 0}, FormatRun{0, 0, 9, 7}})
        PutRun(ws.formats, run);
    PutRun(other.formats, {3, 3, 100, 3});
    ws.formats.columns[12].style = 0xF000 | 7;
    ws.formats.columns[13].style = 0xA000; // upper bits only
    book->CompactStyleTables();
    // Styles 3 and 7 become 1 and 2; fonts 3 and 2 (of styles 3 and 7) become 2 and 1.
    EXPECT_EQ(std::tuple(t.styleCount, t.styles[1].rotation, t.styles[2].rotation, t.fontCount),
              std::tuple(uint16_t(3), int8_t(3), int8_t(7), uint8_t(3)));
    EXPECT_EQ(std::tuple(std::string(t.fonts[1].faceName), std::string(t.fonts[2].faceName),
                         t.styles[1].fontRef.fontIndex, t.styles[2].fontRef.fontIndex),
              std::tuple(std::string("F2"), std::string("F3"), uint8_t(2), uint8_t(1)));
    EXPECT_EQ(AllRuns(ws.formats), (Runs{{2, 0, 4, 1}, {2, 5, 9, 0}, {9, 0, 0, 2}}));
    EXPECT_EQ(AllRuns(other.formats), (Runs{{100, 3, 3, 1}}));
    EXPECT_EQ(std::tuple(ws.formats.columns[12].style, ws.formats.columns[13].style),
              std::tuple(uint16_t(0xF000 | 2), uint16_t(0xA000)));
}

TEST(Workbook, CompactionRenumbersTheFontOfStyleZero) {
    auto book = BookWithSheets(1);
    StyleTables& t = book->styles;
    CopyTextField(t.fonts[2].faceName, "Default face", kFaceNameSize);
    t.fontCount = 3;
    t.styles[0].fontRef.fontIndex = 2;
    t.styles[1].fontRef.fontIndex = 1; // style 1 and font 1 are used by nothing
    book->CompactStyleTables();
    EXPECT_EQ(std::tuple(t.styleCount, t.fontCount, t.styles[0].fontRef.fontIndex),
              std::tuple(uint16_t(1), uint8_t(2), uint8_t(1)));
    EXPECT_STREQ(GetFontRecord(t, t.styles[0].fontRef.fontIndex).faceName, "Default face");
}

// A worksheet the history holds with the workbook's style numbers (a deleted one) keeps its
// styles through a compaction and comes back looking as it did; an entry's own kept styles
// are left alone.
TEST(Workbook, CompactionKeepsTheStylesOfWorksheetsInTheHistory) {
    auto book = BookWithSheets(2, 5);
    CWorksheet& a = Sheet(*book, 0);
    CWorksheet& b = Sheet(*book, 1);
    StyleTables& t = book->styles;
    for (uint8_t i = 1; i < 4; ++i) t.styles[i].horizontalAlignment = i;
    t.styleCount = 4;
    PutRun(a.formats, {0, 0, 0, 3});
    PutRun(b.formats, {0, 0, 0, 2});
    b.formats.columns[4].style = 3;
    book->tree.active = &b;
    ASSERT_TRUE(book->RecordUndoRange({0, 0, 0, 0}, 0, 0, true, true)); // b: kept styles
    ASSERT_TRUE(book->RecordUndoTreeRemove({}, 0, 0, &a));
    book->CompactStyleTables();
    EXPECT_EQ(t.styleCount, 3);
    InsertTreeItem(book->tree, book->undo.entries[1].treeChain.release(), book->tree.first);
    const auto look = [&](uint16_t style) { return GetStyleRecord(t, style).horizontalAlignment; };
    const KeptStyles& kept = *book->undo.entries[0].keptStyles;
    const uint16_t scratch = std::get<3>(AllRuns(book->undo.entries[0].Scratch()->formats)[0]);
    EXPECT_EQ(std::tuple(look(std::get<3>(AllRuns(a.formats)[0])),
                         look(std::get<3>(AllRuns(b.formats)[0])), look(b.formats.columns[4].style),
                         kept.styles[scratch].horizontalAlignment),
              std::tuple(3, 2, 3, 2));
}

TEST(Workbook, HundredWorksheetsTearDownWithoutLeaks) {
    const long before = LiveBlockCount();
    {
        auto book = CreateWorkbook();
        for (int i = 0; i < 100; ++i) {
            CTreeItem* item = book->AppendTreeItem(
                i % 10 == 0 ? TREE_TYPE_FOLDER : TREE_TYPE_WORKSHEET, nullptr, i % 10 == 0 ? 1 : 2);
            ASSERT_TRUE(item);
            CWorksheet* ws = AsWorksheet(item);
            if (!ws) continue;
            for (uint32_t r = 0; r < 200; ++r) PutNumber(ws->cells, uint16_t(r % 7), r * 3, r);
            PutRun(ws->formats, {0, 3, 5, 1});
            ASSERT_TRUE(SetFormatStoreRowEntry(ws->formats, 300, 40, true));
            auto c = ContainerWithChart(0, kChart2D);
            c->settings.background.kind = kBackgroundFractal;
            c->fractalCache = std::make_unique<FractalBitmap>();
            uint8_t point[16] = {};
            ASSERT_TRUE(c->slots[0].chart->series[0].points.AppendItem16(point));
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
    auto book = CreateWorkbook();
    AllocFailGuard fail(0);
    EXPECT_EQ(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1), nullptr);
    EXPECT_EQ(std::tuple(book->error, book->tree.worksheetCount),
              std::tuple(ErrorCode(kErrorWorksheetMemory), 0u));
}

} // namespace vl
