// The version-6 reader on files built for one behaviour each: flags, objects, page setup,
// tables at the sheet's limits, cells, formulas under the user's notation, memory failures
// and the binary save of what was read.

#include "filestestutil.h"
#include "formula/token.h"
#include "formula/translate.h"
#include "model/container.h"
#include "platform/core/alloc.h"
#include "v6fixtures.h"

#include <climits>
#include <gtest/gtest.h>
#include <limits>

namespace vl {

using namespace v6test;

namespace {

// The cells of a store in storage order as (row, column, number).
std::vector<Ints> Numbers(const CCellStore& store) {
    std::vector<Ints> out;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        out.push_back(Of(cell::Row(r), cell::Column(r), cell::Number(r)));
    return out;
}

} // namespace

// 0x40 and 0xC1 are the golden files' flags, 0x41 and 0x01 two of the malformed files'.
TEST(V6Sheet, FlagsByteAcceptsZeroFortyOrBitSeven) {
    const struct {
        uint8_t flags;
        bool ok;
    } cases[] = {{0x00, true}, {0x80, true}, {0xFF, true}, {0x7F, false}};
    for (const auto& c : cases) {
        V6Load load = LoadV6File({.flags = c.flags, .items = MinimalFile().items});
        EXPECT_EQ(load.ok, c.ok) << int(c.flags);
        EXPECT_EQ(load.book->error, c.ok ? 0 : 21) << int(c.flags);
    }
}

// The placement is summed in 64 bits and must stay inside 32.
TEST(V6Sheet, PlacementAtTheLimitsOf32Bits) {
    const struct {
        int32_t x, right;
        bool ok;
    } cases[] = {{INT32_MAX - 100, 99, true},
                 {INT32_MAX - 100, 100, false},
                 {INT32_MIN, -1, true},
                 {INT32_MIN, -2, false}};
    for (const auto& c : cases) {
        V6Object o = Obj({.introduce = "TextObj", .x = c.x});
        o.frame[2] = c.right;
        V6Load load = LoadV6File(FileWith({.objects = {o}}));
        EXPECT_EQ(load.ok, c.ok) << c.x << " " << c.right;
        if (!c.ok) continue;
        // The least placement the XML form holds is -(2^31 - 1).
        EXPECT_EQ(load.Sheet().firstContainer->settings.right,
                  std::max<int64_t>(int64_t(c.x) + c.right + 1, -INT32_MAX));
    }
}

TEST(V6Sheet, PageFlagsAndPagesPerSheet) {
    const struct {
        uint32_t flags;
        uint16_t perSheet;
        uint8_t range, alignment, rows, columns, grid;
    } cases[] = {
        {2, 0, kPrintSelection, 0, 1, 1, 0},
        {6, 1, kPrintPageList, 0, 1, 1, 0},
        {32, 2, 0, 2, 1, 2, 0},
        {64, 4, 0, 16, 2, 2, 0},
        {96, 9, 0, 18, 3, 3, 0},
        {131072, 12, 0, 0, 4, 3, 1},
        {0, 16, 0, 0, 4, 4, 0},
        {0, 25, 0, 0, 5, 5, 0},
        {0, 3, 0, 0, 1, 1, 0},
        {0, 26, 0, 0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        V6Load load = LoadV6File(FileWith({.presence = 1,
                                           .page = V6PageSetup{.flags = c.flags,
                                                               .pages = std::string(130, 'p'),
                                                               .pagesPerSheet = c.perSheet,
                                                               .footer = std::string(127, 'f')}}));
        ASSERT_TRUE(load.ok);
        const PageSetupRecord& p = load.Sheet().pageSetup;
        EXPECT_EQ(Of(p.printRangeKind, p.alignment, p.pagesPerSheetRows, p.pagesPerSheetColumns,
                     load.Sheet().view.showGrid, std::string(p.pages).size(),
                     std::string(p.footerText).size()),
                  Of(c.range, c.alignment, c.rows, c.columns, c.grid,
                     c.range == kPrintPageList ? 127 : 0, 127))
            << c.flags << " " << c.perSheet;
        EXPECT_STREQ(p.paperName, "A4");
    }
}

// Widths, styles, heights and runs reaching past column 2,046 or row 2,097,151 are cut.
TEST(V6Sheet, TablesReachingPastTheSheetAreCut) {
    V6File f = MinimalFile();
    f.styles.resize(5);
    V6Sheet& s = f.items[0].sheet;
    s.tables.widths = {{500, 80}, {2000, 123}};
    s.tables.styles = {{510, 0}, {1600, 3}};
    s.tables.rows = kMaxRows + 8;
    s.tables.heights = {{kMaxRows - 2, 17}, {10, 25}};
    s.tables.runRows = 3;
    s.tables.blocks = {{3, kMaxRows - 2, {{2040, 3000, 4}, {2047, 2050, 1}}}};
    V6Load load = LoadV6File(f);
    ASSERT_TRUE(load.ok) << int(load.book->error);
    CFormatStore& formats = load.Sheet().formats;
    const ColumnEntry* columns = formats.columns;
    EXPECT_EQ(Of(columns[499].width, columns[500].width, columns[kLastColumn].width,
                 columns[509].style, columns[kLastColumn].style),
              Of(0, 246, 246, 0, 3));
    ASSERT_EQ(formats.rowHeights.ItemCount(), kMaxRows);
    EXPECT_EQ(*formats.rowHeights.GetItem2(kLastRow), 50);
    EXPECT_EQ(*formats.rowHeights.GetItem2(kLastRow - 2), 0);
    EXPECT_EQ(Runs(formats), (std::vector<Ints>{Of(kLastRow - 1, 2040, kLastColumn, 4),
                                                Of(kLastRow, 2040, kLastColumn, 4)}));
}

// Blocks that go back over styled cells, or whose runs overlap, leave the later style on
// each cell and no two runs of a row overlapping.
TEST(V6Sheet, OverlappingRunsKeepTheLaterStyle) {
    V6File f = MinimalFile();
    f.styles.resize(4);
    V6Sheet& s = f.items[0].sheet;
    s.tables.runRows = 3;
    s.tables.blocks = {{2, 5, {{0, 9, 1}, {4, 5, 2}}}, {1, 5, {{8, 12, 3}}}};
    V6Load load = LoadV6File(f);
    ASSERT_TRUE(load.ok);
    const std::vector<Ints> expected = {Of(5, 0, 3, 1),  Of(5, 4, 5, 2), Of(5, 6, 7, 1),
                                        Of(5, 8, 12, 3), Of(6, 0, 3, 1), Of(6, 4, 5, 2),
                                        Of(6, 6, 9, 1)};
    EXPECT_EQ(Runs(load.Sheet().formats), expected);
}

TEST(V6Sheet, CellsOutOfRowOrderLandInPlace) {
    V6Sheet s;
    s.cells = {{5, 5, 2, "", 1}, {1, 1, 2, "", 2}, {3, 300, 2, "", 3},
               {0, 0, 2, "", 4}, {1, 1, 2, "", 5}, {2, 1, 2, "", 6}};
    for (uint8_t width : {0, 1, 0x80}) {
        s.rowWidth = width;
        V6Load load = LoadV6File(FileWith(s));
        ASSERT_TRUE(load.ok);
        const std::vector<Ints> expected = {Of(0, 0, 4), Of(1, 1, 5), Of(1, 2, 6), Of(5, 5, 1),
                                            Of(300, 3, 3)};
        EXPECT_EQ(Numbers(load.Sheet().cells), expected) << int(width);
    }
}

// A formula under the default notation is one of the golden book's cells.
TEST(V6Sheet, FormulasAreTranslatedFromTheUserForm) {
    const struct {
        char decimal, list;
        bool a1;
        std::string text;
        bool formula;
        std::string stored;
    } cases[] = {
        {',', ';', true, "=SUM(A1;B2)*1,5", true, "=SUM(R[-2]C,R[-1]C[1])*1.5"},
        {'.', ',', false, "=R[-1]C+R1C1", true, "=R[-1]C+R1C1"},
        {'.', ',', true, "+A4", true, "=+R[1]C"},
        // The longest formula a record holds, and one character more, which stays a text.
        {'.', ',', true, "=\"" + std::string(kMaxFormulaText - 3, 'q') + "\"", true,
         "=\"" + std::string(kMaxFormulaText - 3, 'q') + "\""},
        {'.', ',', true, "=\"" + std::string(kMaxFormulaText - 2, 'q') + "\"", false, ""},
    };
    for (const auto& c : cases) {
        NotationScope notation(c.decimal, c.list, c.a1);
        V6Load load = LoadV6File(FileWith({.cells = {{0, 2, 4, c.text, 9.5}}}));
        ASSERT_TRUE(load.ok);
        const uint8_t* r = FindCell(load.Sheet().cells, 2, 0);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(cell::IsFormula(r), c.formula) << c.text;
        if (c.formula) {
            EXPECT_EQ(cell::Formula(r), c.stored);
            EXPECT_EQ(cell::CachedNumber(r), 9.5);
        } else {
            EXPECT_EQ(cell::Text(r), c.text);
        }
    }
}

// Texts at their limits and one past: cells 8,173 bytes, titles and page texts 127.
TEST(V6Sheet, TextsAreCutAtTheirLimits) {
    for (size_t extra : {0, 1}) {
        V6Load load = LoadV6File(FileWith(
            {.objects = {Obj({.introduce = "TextObj",
                              .text = V6TextObject{.title = std::string(127 + extra, 't')}})},
             .presence = 1,
             .page = V6PageSetup{.header = std::string(127 + extra, 'h')},
             .cells = {{0, 0, 1, std::string(kMaxCellText + extra, 'c'), 0}}}));
        ASSERT_TRUE(load.ok);
        CWorksheet& sheet = load.Sheet();
        EXPECT_EQ(cell::TextLength(FindCell(sheet.cells, 0, 0)), kMaxCellText);
        EXPECT_EQ(std::string(sheet.firstContainer->settings.titleText[0]).size(), 127u);
        EXPECT_EQ(std::string(sheet.pageSetup.headerText).size(), 127u);
    }
}

TEST(V6Sheet, ListIndexesBelowAHundredOnly) {
    V6Load load = LoadV6File({.lists = {{99, ""}, {100, ""}, {0xFFFFFFFF, "a"}, {0, "\r\nlead"}},
                              .items = MinimalFile().items});
    ASSERT_TRUE(load.ok);
    EXPECT_STREQ(load.book->dropDownLists[99].name, "List 99.");
    EXPECT_EQ(load.book->dropDownLists[0].entries, (std::vector<std::string>{"", "lead"}));
}

// A name fills at most the 52 bytes before the type field, with or without its NUL.
TEST(V6Sheet, ItemNamesEndAtTheTypeField) {
    for (size_t length : {51, 52}) {
        V6Load load = LoadV6File(
            {.items = {{.name = std::string(length, 'n')}, {std::string(length, 'f'), 2, 1, 1}}});
        ASSERT_TRUE(load.ok);
        EXPECT_EQ(std::string(load.book->tree.first->name), std::string(length, 'n'));
        EXPECT_EQ(std::string(load.book->tree.first->next->name), std::string(length, 'f'));
    }
}

// Whatever a folder's size counts beyond its header is passed over.
TEST(V6Sheet, FolderBytesBeyondTheHeaderArePassedOver) {
    V6Bytes bytes = WriteV6File({.items = {{"F", 2, 1, 1, {}, false, 106}, {.name = "S"}}});
    const size_t folderEnd = bytes.itemEnds[0] + 100;
    bytes.data.insert(bytes.data.begin() + long(folderEnd), 10, 0xAB);
    V6Load load = LoadV6Bytes(bytes.data);
    ASSERT_TRUE(load.ok) << int(load.book->error);
    EXPECT_EQ(load.book->tree.folderCount, 1u);
    EXPECT_STREQ(load.book->tree.active->name, "S");
}

TEST(V6Sheet, SavedInTheBinaryFormLoadsBackEqual) {
    NotationScope notation('.', ',', true);
    V6Load load = LoadV6DataFile("book.vlb");
    ASSERT_TRUE(load.ok);
    tempfiles::TempFolder dir;
    ASSERT_TRUE(filestest::SaveToPath(*load.book, dir.Path("saved.vlb"), false));
    bool ok = false;
    auto back = filestest::LoadFromPath(dir.Path("saved.vlb"), nullptr, ok);
    ASSERT_TRUE(ok) << int(back->error);
    filestest::ExpectSameWorkbook(*load.book, *back);
}

// Running out of memory at any allocation fails the load with 8 and frees everything.
TEST(V6Sheet, MemoryFailureAtEveryPointGives8) {
    V6File f = RichFile();
    // Row heights are left out: a row whose page cannot be had keeps no height and the load
    // goes on.
    for (V6Item& item : f.items) {
        item.sheet.tables.rows = 0;
        item.sheet.tables.heights.clear();
    }
    tempfiles::TempFolder dir;
    tempfiles::WriteBytes(dir.Path("f.vlb"), WriteV6File(f).data);
    bool loaded = false;
    for (long n = 0; n < 100000 && !loaded; ++n) {
        const long blocks = LiveBlockCount();
        {
            auto book = CreateWorkbook();
            ASSERT_TRUE(OpenDocumentFile(*book, dir.Path("f.vlb").c_str()));
            SetAllocFailAfter(n);
            loaded = OpenWorkbookFile(*book, nullptr);
            SetAllocFailAfter(-1);
            if (!loaded) {
                ASSERT_EQ(book->error, kErrorWorksheetMemory) << n;
            }
        }
        ASSERT_EQ(LiveBlockCount(), blocks) << n;
    }
    EXPECT_TRUE(loaded);
}

} // namespace vl

namespace vl {

using namespace v6test;

// A number or a formula's cached result that is infinite or NaN reads as #NUM!, as computing
// it gives, never as a number no form writes; a finite one beside it stays.
TEST(V6Sheet, InfiniteAndNaNNumbersReadAsNumError) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    V6Sheet s;
    s.cells = {{0, 0, 2, "", inf},     {0, 1, 2, "", -inf},  {0, 2, 2, "", nan}, {0, 3, 2, "", 1.5},
               {1, 0, 4, "=1/0", inf}, {1, 1, 4, "=2", nan}, {1, 2, 4, "=3", 3}};
    V6Load load = LoadV6File(FileWith(s));
    ASSERT_TRUE(load.ok);
    const CCellStore& cells = load.Sheet().cells;
    const struct {
        uint16_t column;
        uint32_t row;
        uint8_t error;
        double number;
    } expected[] = {{0, 0, kErrNum >> 4, 0},
                    {0, 1, kErrNum >> 4, 0},
                    {0, 2, kErrNum >> 4, 0},
                    {0, 3, 0, 1.5},
                    {1, 0, kErrNum >> 4, 0},
                    {1, 1, kErrNum >> 4, 0},
                    {1, 2, 0, 3}};
    for (const auto& e : expected) {
        const uint8_t* r = FindCell(cells, e.row, e.column);
        ASSERT_NE(r, nullptr) << e.column << "," << e.row;
        EXPECT_EQ(cell::Error(r), e.error) << e.column << "," << e.row;
        EXPECT_EQ(cell::IsFormula(r) ? cell::CachedNumber(r) : cell::Number(r), e.number)
            << e.column << "," << e.row;
    }
}

} // namespace vl
