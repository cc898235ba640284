#include "model/containerpaste.h"
#include "model/worksheetpaste.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

// Copies the named item into a clipboard history of its own.
void Copy(CWorkbook& book, const char* name, UndoHistory& clipboard) {
    ASSERT_TRUE(SnapshotWorksheetToUndo(book, *Named(book, name), clipboard, clipboard.current));
}

} // namespace

TEST(NextCopyName, CountersAtTheEndAndTheLengthLimit) {
    struct Case {
        std::string name;
        size_t limit;
        bool made;
        std::string out;
    };
    const Case cases[] = {
        {"Data", 127, true, "Data(1)"},
        {"Data(1)", 127, true, "Data(2)"},
        {"Data(9)", 127, true, "Data(10)"},
        {"Data()", 127, true, "Data(1)"},
        {"Data(007)", 127, true, "Data(8)"},
        {"(4)", 127, true, "(5)"},
        {"Data(1", 127, true, "Data(1(1)"},
        {"Data(x)", 127, true, "Data(x)(1)"},
        {"D(99999999999999999999)", 127, true, "D(100000000000000000000)"},
        {"", 127, true, "(1)"},
        {"Data", 7, true, "Data(1)"},
        {"Data", 6, false, "Data"},
        {"Data(9)", 8, true, "Data(10)"},
        {"Data(9)", 7, false, "Data(9)"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(NextCopyName(c.name.c_str(), out, c.limit), c.made) << c.name;
        EXPECT_EQ(out, c.out) << c.name;
    }
}

TEST(CopyWorksheetUnique, NamesClashWithSiblingsOnlyWithoutRegardToCase) {
    auto book = BookWith({{W, "Sales", 1}, {F, "Box", 1}, {W, "Sales", 2}, {W, "Data(9)", 1}});
    UndoHistory clipboard;
    Copy(*book, "Sales", clipboard);
    std::string made; // name and level of each pasted item
    const auto paste = [&](CTreeItem* target) {
        const CTreeItem* p = CopyWorksheetUnique(*book, target, clipboard, clipboard.current);
        made += p ? std::string(p->name) + ":" + std::to_string(p->level) + " " : "none ";
    };
    paste(nullptr);
    paste(nullptr);
    paste(Named(*book, "Box")); // the only sibling there is the folder's own Sales
    Named(*book, "Sales")->SetName("SALES");
    Copy(*book, "Data(9)", clipboard);
    paste(nullptr);
    EXPECT_EQ(made, "Sales(1):1 Sales(2):1 Sales(1):2 Data(10):1 ");
    EXPECT_EQ(Names(book->tree.first), "SALES:1 Box:1 Sales:2 Sales(1):2 Data(9):1 Sales(1):1 "
                                       "Sales(2):1 Data(10):1 ");
    EXPECT_EQ(book->tree.worksheetCount, 7u);
}

TEST(CopyWorksheetUnique, AFolderComesWithItsSubtreeShiftedToTheTarget) {
    auto book = BookWith({{W, "A", 1},
                          {F, "F", 1},
                          {W, "B", 2},
                          {F, "G", 2},
                          {W, "C", 3},
                          {F, "T", 1},
                          {W, "D", 2}});
    UndoHistory clipboard;
    Copy(*book, "F", clipboard);
    CTreeItem* first = CopyWorksheetUnique(*book, Named(*book, "T"), clipboard, clipboard.current);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Names(book->tree.first), "A:1 F:1 B:2 G:2 C:3 T:1 D:2 F:2 B:3 G:3 C:4 ");
    EXPECT_EQ(book->tree.folderCount, 5u);
}

TEST(CopyWorksheetUnique, StylesComeByContentAndAFullTableRefusesThePaste) {
    auto book = BookWith({{W, "S", 1}});
    CWorksheet& ws = *book->tree.active;
    StyleTables& t = book->styles;
    t.styles[1].horizontalAlignment = 3;
    t.styleCount = 2;
    PutRun(ws.formats, {0, 4, 2, 1});
    ws.formats.columns[5].style = 0x1001; // style 1 with an upper bit kept
    UndoHistory clipboard;
    Copy(*book, "S", clipboard);
    // Pasted where the styles are: nothing is added.
    CTreeItem* first = CopyWorksheetUnique(*book, nullptr, clipboard, clipboard.current);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::tuple(t.styleCount, t.fontCount, AsWorksheet(first)->formats.columns[5].style),
              std::tuple(uint16_t(2), uint8_t(1), uint16_t(0x1001)));
    // Pasted into another workbook whose tables are full: error 14, nothing pasted.
    // The style table full; the font table full; the style table full after the kept font
    // was added.
    for (int round : {0, 1, 2}) {
        auto other = BookWith({{W, "X", 1}});
        if (round == 1) {
            t.styles[1].fontRef.fontIndex = 1;
            t.fonts[1].size = 30;
            t.fontCount = 2;
            UndoHistory again;
            Copy(*book, "S", again);
            clipboard.entries[clipboard.current] = std::move(again.entries[again.current]);
            other->styles.fontCount = kMaxFonts;
            for (int i = 1; i < kMaxFonts; ++i) other->styles.fonts[i].size = uint8_t(i % 29 + 40);
        } else {
            for (uint16_t i = 1; i < kMaxStyles; ++i)
                other->styles.styles[i].rotation = int8_t(i % 90 + 1),
                other->styles.styles[i].verticalIndent = uint8_t(i / 90);
            other->styles.styleCount = kMaxStyles;
        }
        const BookState before = StateOf(*other);
        EXPECT_EQ(CopyWorksheetUnique(*other, nullptr, clipboard, clipboard.current), nullptr);
        EXPECT_EQ(std::tuple(other->error, StateOf(*other) == before),
                  std::tuple(ErrorCode(kErrorTooManyStyles), true))
            << round;
    }
}

TEST(CopyWorksheetUnique, ANameWithNoRoomForACounterBesideItsTwinIsRefused) {
    // A sibling of the same name (case aside) that cannot take "(1)" within 127 characters;
    // in another folder the same name is no clash.
    const std::string full(125, 'n'), fits(124, 'n');
    auto book = BookWith({{W, "S", 1}, {F, "Box", 1}, {W, "T", 2}});
    CTreeItem* source = Named(*book, "S");
    source->SetName(full.c_str());
    Named(*book, "T")->SetName(std::string(125, 'N').c_str());
    UndoHistory clipboard;
    Copy(*book, full.c_str(), clipboard);
    const BookState before = StateOf(*book);
    EXPECT_EQ(CopyWorksheetUnique(*book, nullptr, clipboard, clipboard.current), nullptr);
    EXPECT_EQ(std::tuple(book->error, StateOf(*book) == before),
              std::tuple(ErrorCode(kErrorDuplicatePath), true));
    const CTreeItem* inBox =
        CopyWorksheetUnique(*book, Named(*book, "Box"), clipboard, clipboard.current);
    EXPECT_EQ(inBox, nullptr); // its twin there differs only in case
    source->SetName(fits.c_str());
    Copy(*book, fits.c_str(), clipboard);
    const CTreeItem* pasted = CopyWorksheetUnique(*book, nullptr, clipboard, clipboard.current);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(std::string(pasted->name), fits + "(1)");
}

TEST(CopyWorksheetUnique, AnEmptyEntryAndContainerIds) {
    auto book = BookWith({{W, "S", 1}, {W, "T", 1}});
    UndoHistory clipboard;
    EXPECT_EQ(CopyWorksheetUnique(*book, nullptr, clipboard, 0), nullptr);
    EXPECT_EQ(book->error, kErrorInvalidCacheIndex);
    for (uint16_t id : {1, 3}) LinkContainer(*book->tree.active, NewContainer(id));
    Copy(*book, "S", clipboard);
    CWorksheet* pasted = AsWorksheet(CopyWorksheetUnique(*book, nullptr, clipboard, 0));
    ASSERT_NE(pasted, nullptr);
    // Ids stay unique over the workbook: the copies take the smallest free ones.
    ASSERT_NE(pasted->firstContainer, nullptr);
    EXPECT_EQ(
        std::tuple(pasted->firstContainer->settings.id, pasted->firstContainer->next->settings.id),
        std::tuple(uint16_t(2), uint16_t(4)));
}

TEST(RestoreContainerFromUndo, PastesACopyAnchoredWithAFreeIdOrRefuses) {
    auto book = BookWith({{W, "S", 1}});
    CWorksheet& ws = *book->tree.active;
    const ContainerFrame frame{100, 50, 300, 120};
    auto c = NewContainer(1, &frame);
    CContainer& kept = *c;
    LinkContainer(ws, std::move(c));
    UndoHistory clipboard;
    ASSERT_TRUE(SnapshotContainer(*book, &ws, kept, clipboard, clipboard.current));
    EXPECT_FALSE(RestoreContainerFromUndo(*book, ws, {}, clipboard, 5));
    EXPECT_EQ(book->error, kErrorInvalidCacheIndex);
    const CellRef anchor{3, 7, kRefCell};
    ASSERT_TRUE(RestoreContainerFromUndo(*book, ws, anchor, clipboard, clipboard.current));
    const CContainer* pasted = ws.firstContainer->next;
    ASSERT_NE(pasted, nullptr);
    const ContainerSettings& s = pasted->settings;
    EXPECT_EQ(std::tuple(s.id, s.anchor.column, s.anchor.row, s.left, s.top, s.right, s.bottom),
              std::tuple(uint16_t(2), uint16_t(3), 7u, 4, 2, 204, 72));
    // With every id taken nothing is pasted: error 22, the copy gone. The id space is
    // narrowed to the two ids in use instead of placing 65,533 containers.
    ASSERT_TRUE(RestoreContainerFromUndo(*book, ws, anchor, clipboard, clipboard.current));
    SetContainerIdLimit(3);
    book->error = 0;
    EXPECT_FALSE(RestoreContainerFromUndo(*book, ws, anchor, clipboard, clipboard.current));
    SetContainerIdLimit(0);
    EXPECT_EQ(book->error, kErrorTooManyContainers);
    int count = 0;
    for (const CContainer* p = ws.firstContainer; p; p = p->next) ++count;
    EXPECT_EQ(count, 3);
}

} // namespace vl
