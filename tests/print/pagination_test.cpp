#include "model/container.h"
#include "model/formatstore.h"
#include "model/rangedescriptor.h"
#include "print/pagination.h"
#include "render/metrics.h"
#include "rendertest.h"

#include <array>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace vl {

using rendertest::FixedSheetTest;

// A 96-dpi printer with Letter paper and no margins; without headings a default row takes
// 19 pixels with its gridline and a default column 73; with the frame line above and left
// of the cells a page holds 55 rows and 11 columns.
class PaginationTest : public FixedSheetTest {
protected:
    PaginationTest() {
        Sheet().InitPageSetup();
        Page().rowHeadings = Page().columnHeadings = 0;
        metrics_.pageRight = 815;
        metrics_.pageBottom = 1055;
    }
    PageSetupRecord& Page() { return Sheet().pageSetup; }
    void SetText(char* field, const char* text) { std::strcpy(field, text); }
    bool Paginate() {
        scale_ = {100, 100};
        return PaginateSheet(Book(), canvas_, Sheet(), metrics_, scale_);
    }
    std::vector<PageRecord> Pages() {
        std::vector<PageRecord> pages(PageListCount(Book()));
        for (uint32_t i = 0; i < pages.size(); ++i) EXPECT_TRUE(GetPageRecord(Book(), i, pages[i]));
        return pages;
    }
    std::vector<uint32_t> FirstRows() {
        std::vector<uint32_t> rows;
        for (const PageRecord& p : Pages()) rows.push_back(p.firstRow);
        return rows;
    }
    void FillRows(uint32_t last) {
        for (uint32_t row = 0; row <= last; ++row) PutNumber(0, row, row);
    }

    PrintMetrics metrics_;
    ZoomPair scale_{100, 100};
};

TEST_F(PaginationTest, BlocksOfRowsAndColumns) {
    ASSERT_TRUE(Paginate()); // an empty sheet still prints one page
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].lastRow, 0u);
    EXPECT_EQ(pages[0].lastColumn, 0u);
    EXPECT_EQ(pages[0].print, 1);
    EXPECT_EQ(pages[0].width, 74u);
    EXPECT_EQ(pages[0].height, 20u);

    // Rows that fill the height exactly all fit; the first that does not starts a band.
    FillRows(60);
    PutNumber(11, 0, 1);           // the twelfth column starts a second page in each band
    metrics_.pageBottom = 55 * 19; // 1 + 55 x 19 pixels high
    ASSERT_TRUE(Paginate());
    pages = Pages();
    ASSERT_EQ(pages.size(), 4u);
    const uint32_t expected[4][4] = {
        {0, 0, 54, 10}, {0, 11, 54, 11}, {55, 0, 60, 10}, {55, 11, 60, 11}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pages[i].firstRow, expected[i][0]) << i;
        EXPECT_EQ(pages[i].firstColumn, expected[i][1]) << i;
        EXPECT_EQ(pages[i].lastRow, expected[i][2]) << i;
        EXPECT_EQ(pages[i].lastColumn, expected[i][3]) << i;
    }
    EXPECT_EQ(pages[0].height, 55u * 19 + 1);
}

TEST_F(PaginationTest, RowHeadingsAreAsWideAsTheLargestNumberShown) {
    Page().rowHeadings = 1;
    // last row, the nines its number needs: row 99 is numbered 100
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0, 99},     {98, 99},         {99, 999},         {998, 999},
        {999, 9999}, {999998, 999999}, {999999, 9999999}, {2097151, 9999999}};
    for (const auto& [last, nines] : cases) {
        PageRecord page;
        page.firstRow = last;
        page.lastRow = last;
        page.firstColumn = page.lastColumn = 0;
        GetPageContentSize(canvas_, Sheet(), PageRows(Sheet()), PageColumns(Sheet()), page,
                           {100, 100});
        EXPECT_EQ(page.width, uint32_t(GetNumberWidth(canvas_, nines, 100)) + 1 + 73) << last;
    }
}

TEST_F(PaginationTest, ARowTallerThanThePageIsAPageAlone) {
    FillRows(2);
    ASSERT_TRUE(SetFormatStoreRowEntry(Sheet().formats, 1, 2000, true));
    ASSERT_TRUE(Paginate());
    EXPECT_EQ(FirstRows(), (std::vector<uint32_t>{0, 1, 2}));
    for (const PageRecord& p : Pages()) EXPECT_EQ(p.firstRow, p.lastRow);
    EXPECT_LT(scale_[1], 100); // the tall page set the scale of all
}

TEST_F(PaginationTest, LongTextGrowsThePageAndAddsABand) {
    PutText(0, 0, std::string(30, 'x')); // 218 pixels with its indents: three columns
    metrics_.pageRight = 2 * 73;
    ASSERT_TRUE(Paginate());
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].lastColumn, 1u);
    EXPECT_EQ(pages[0].continued, 1);
    EXPECT_EQ(pages[1].firstColumn, 2u);
    EXPECT_EQ(pages[1].lastColumn, 2u);
    EXPECT_EQ(pages[1].continued, 0);
}

// A 150-character title in A1 (1,050 pixels with its indents, to column 14) prints over the
// columns painting lets it cover: left or centred (which cannot flow left of column A and so
// flows right as left text does) it adds a band; right-aligned, wrapped into its cell or
// stopped by a neighbour's record it does not.
TEST_F(PaginationTest, TextSpansPaginateAsTheyPaintForEveryAlignment) {
    struct Span {
        uint32_t firstColumn, lastColumn;
        uint8_t continued;
        bool operator==(const Span&) const = default;
    };
    const std::vector<Span> twoBands{{0, 10, 1}, {11, 14, 0}};
    struct Case {
        const char* what;
        uint8_t align;
        bool wrap;
        int neighbour; // the column of a record beside it in row 1, or -1
        std::vector<Span> pages;
    } cases[] = {
        {"general", 0, false, -1, twoBands},
        {"left", kAlignLeft, false, -1, twoBands},
        {"centre", kAlignCenter, false, -1, twoBands},
        {"a file's unknown code", 5, false, -1, twoBands},
        {"right", kAlignRight, false, -1, {{0, 0, 0}}},
        {"centre wrapped", kAlignCenter, true, -1, {{0, 0, 0}}},
        {"left wrapped", kAlignLeft, true, -1, {{0, 0, 0}}},
        {"left before C1", kAlignLeft, false, 2, {{0, 2, 0}}},
        {"centre before C1", kAlignCenter, false, 2, {{0, 2, 0}}},
        {"centre before B1", kAlignCenter, false, 1, {{0, 1, 0}}},
        {"centre before P1", kAlignCenter, false, 15, {{0, 10, 1}, {11, 15, 0}}},
    };
    // Words of four letters: wrapped, two of them fit a column.
    std::string title;
    while (title.size() < 150) title += title.empty() ? "xxxx" : " xxxx";
    title.resize(150);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rendertest::SheetFixture fresh;
        fresh.Sheet().InitPageSetup();
        fresh.Sheet().pageSetup.rowHeadings = fresh.Sheet().pageSetup.columnHeadings = 0;
        StyleRecord style = GetStyleRecord(fresh.Book().styles, 0);
        style.horizontalAlignment = c.align;
        style.wrapText = c.wrap;
        fresh.PutText(0, 0, title);
        fresh.SetStyle(0, 0, fresh.AddStyle(style));
        if (c.neighbour >= 0) fresh.PutText(uint16_t(c.neighbour), 0, "y");
        ZoomPair scale{100, 100};
        ASSERT_TRUE(PaginateSheet(fresh.Book(), canvas_, fresh.Sheet(), metrics_, scale));
        std::vector<Span> got;
        for (uint32_t i = 0; i < PageListCount(fresh.Book()); ++i) {
            PageRecord page;
            ASSERT_TRUE(GetPageRecord(fresh.Book(), i, page));
            got.push_back({page.firstColumn, page.lastColumn, page.continued});
        }
        EXPECT_EQ(got, c.pages);
    }
    // A number too wide for its cell stands at the right on paper, a formula's result too:
    // neither reaches right of column A.
    PutNumber(0, 0, 1234567890123.0);
    PutFormula(0, 1, "1234567890123", 1234567890123.0);
    ASSERT_TRUE(Paginate());
    ASSERT_EQ(PageListCount(Book()), 1u);
    EXPECT_EQ(Pages()[0].lastColumn, 0u);
}

// While the workbook shows formulas, paper shows them too: a left-aligned formula's text, far
// wider than its value, reaches the columns it covers when measured as printed.
TEST_F(PaginationTest, ShownFormulasPaginateAsTheyPrint) {
    StyleRecord left;
    left.horizontalAlignment = kAlignLeft;
    PutFormula(0, 0, "1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1", 16); // 32 characters with its "="
    SetStyle(0, 0, AddStyle(left));
    const struct {
        uint8_t showFormulas;
        bool display;
        uint16_t lastColumn;
    } cases[] = {{0, true, 0}, {1, true, 3}, {1, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.showFormulas) + (c.display ? " as shown" : " as values"));
        Book().showFormulas = c.showFormulas;
        scale_ = {100, 100};
        ASSERT_TRUE(PaginateSheet(Book(), canvas_, Sheet(), metrics_, scale_, nullptr,
                                  c.display ? &Display() : nullptr));
        ASSERT_EQ(PageListCount(Book()), 1u);
        EXPECT_EQ(Pages()[0].lastColumn, c.lastColumn);
    }
}

// Pagination tells each page it makes and the rows behind it of the rows to walk, counted
// from the first row printed: a range from row 100 walks its own 400 rows.
TEST_F(PaginationTest, ProgressCountsThePrintedRows) {
    class Recording : public IPrintProgress {
    public:
        bool Step(PrintStage stage, uint32_t pages, uint32_t done, uint32_t total) override {
            EXPECT_EQ(stage, PrintStage::kPaginating);
            steps.push_back({pages, done, total});
            return true;
        }
        bool Stopped() const override { return false; }
        std::vector<std::array<uint32_t, 3>> steps;
    } progress;
    FillRows(499);
    Page().printRangeKind = kPrintCellRange;
    MakeRangeDescriptor({0, 100, 0, 499}, &Page().printRange);
    metrics_.pageBottom = 55 * 19; // 55 rows a page
    scale_ = {100, 100};
    ASSERT_TRUE(PaginateSheet(Book(), canvas_, Sheet(), metrics_, scale_, &progress));
    const std::vector<std::array<uint32_t, 3>> expected{{0, 0, 400},   {1, 55, 400},  {2, 110, 400},
                                                        {3, 165, 400}, {4, 220, 400}, {5, 275, 400},
                                                        {6, 330, 400}, {7, 385, 400}};
    EXPECT_EQ(progress.steps, expected);
    EXPECT_EQ(PageListCount(Book()), 8u);
}

TEST_F(PaginationTest, ExcludedRows) {
    struct Case {
        const char* text;
        uint32_t lastData;
        size_t pages;
        uint32_t lastRow;   // of the first page
        uint32_t rowsShown; // on the first page
    };
    const Case cases[] = {
        {"2,5-6", 9, 1, 9, 7},
        {"2-", 9, 1, 9, 10}, // invalid: nothing excluded
        {"", 9, 1, 9, 10},
        {"51-2097152", 99999, 1, 99999, 50},
        {"51-2097151", 99999, 1, 99999, 50}, // the last row itself stays out of reach
    };
    for (const Case& c : cases) {
        PutNumber(0, c.lastData, 1);
        FillRows(std::min<uint32_t>(c.lastData, 60));
        SetText(Page().excludedRows, c.text);
        ASSERT_TRUE(Paginate()) << c.text;
        auto pages = Pages();
        ASSERT_EQ(pages.size(), c.pages) << c.text;
        EXPECT_EQ(pages[0].lastRow, c.lastRow) << c.text;
        EXPECT_EQ(pages[0].height, c.rowsShown * 19 + 1) << c.text;
    }
    SetText(Page().excludedRows, "2,5-6");
    EXPECT_TRUE(IsRowExcluded(Sheet(), 1));
    EXPECT_FALSE(IsRowExcluded(Sheet(), 2));
    EXPECT_TRUE(IsRowExcluded(Sheet(), 5));
    EXPECT_FALSE(IsRowExcluded(Sheet(), 6));
    SetText(Page().excludedColumns, "2047");
    EXPECT_TRUE(IsColumnExcluded(Sheet(), 2046));
    SetText(Page().excludedColumns, "2048"); // past the bound: the text is invalid
    EXPECT_FALSE(IsColumnExcluded(Sheet(), 2046));
}

TEST_F(PaginationTest, PageListSelectsPrintedPages) {
    FillRows(10 * 55 - 1);
    Page().printRangeKind = kPrintPageList;
    struct Case {
        const char* text;
        bool ok;
        std::vector<uint8_t> printed;
    };
    const Case cases[] = {
        {"3-5", true, {0, 0, 1, 1, 1, 0, 0, 0, 0, 0}},
        {"1, 10", true, {1, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"", false, {}},
        {"12", false, {}},
        {"1;2", false, {}},
    };
    for (const Case& c : cases) {
        SetText(Page().pages, c.text);
        Book().error = kErrorNone;
        ASSERT_EQ(Paginate(), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_EQ(Book().error, 17) << c.text;
            continue;
        }
        std::vector<uint8_t> printed;
        for (const PageRecord& p : Pages()) printed.push_back(p.print);
        EXPECT_EQ(printed, c.printed) << c.text;
    }
}

TEST_F(PaginationTest, FitToSheetSizeLowersTheScale) {
    PutNumber(21, 109, 1); // two bands of two pages
    Page().fitToSheetSize = 1;
    Page().pagesPerSheetRows = Page().pagesPerSheetColumns = 2;
    ASSERT_TRUE(Paginate());
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0].print, 1);
    EXPECT_EQ(pages[0].lastRow, 109u);
    EXPECT_EQ(pages[0].lastColumn, 21u);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(pages[i].print, 0) << i;
    EXPECT_LT(scale_[0], 100);
    EXPECT_LE(pages[0].width, 816u);
    EXPECT_LE(pages[0].height, 1056u);
    // The fitted page fills the whole printable area.
    EXPECT_EQ(Page().pagesPerSheetRows, 1);
    EXPECT_EQ(Page().pagesPerSheetColumns, 1);
}

TEST_F(PaginationTest, CopiesRepeatThePrintedPages) {
    FillRows(3 * 55 - 1);
    Page().copies = 2;
    ASSERT_TRUE(Paginate());
    EXPECT_EQ(FirstRows(), (std::vector<uint32_t>{0, 55, 110, 0, 55, 110}));
    Page().collate = 1;
    ASSERT_TRUE(Paginate());
    EXPECT_EQ(FirstRows(), (std::vector<uint32_t>{0, 0, 55, 55, 110, 110}));
}

// A printout stops at its page limits, the last page counted and the list emptied past them:
// a worksheet used to its last row and column would make seven million pages.
TEST_F(PaginationTest, PagesPastTheLimitsAreRefusedAndTheListEmptied) {
    PutNumber(0, 0, 1);
    struct Case {
        uint8_t kind;
        uint32_t lastRow; // of the range, one column wide
        uint16_t copies;
        uint32_t pages; // 0: refused with 130
    };
    const Case cases[] = {
        {kPrintCellRange, 55 * kMaxPrintPages - 1, 1, kMaxPrintPages},
        {kPrintCellRange, 55 * kMaxPrintPages, 1, 0},
        {kPrintAll, 0, 1, 0}, // the last cell below at the last row and column
        {kPrintCellRange, 109, kMaxCopiedPages / 2, kMaxCopiedPages},
        {kPrintCellRange, 109, kMaxCopiedPages / 2 + 1, 0},
        {kPrintCellRange, 55 * 11 - 1, 9091, 0}, // 100,001 pages: the first refused
        {kPrintCellRange, 54, 65535, 65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastRow);
        if (c.kind == kPrintAll) PutNumber(kLastPrintColumn, kLastPrintRow, 2);
        Page().printRangeKind = c.kind;
        Page().printRange.r2 = c.lastRow;
        Page().copies = c.copies;
        Book().error = kErrorNone;
        ASSERT_EQ(Paginate(), c.pages != 0);
        EXPECT_EQ(Book().error, c.pages ? ErrorCode(kErrorNone) : kErrorTooManyPages);
        EXPECT_EQ(PageListCount(Book()), c.pages);
        PageRecord last;
        if (c.pages) {
            ASSERT_TRUE(GetPageRecord(Book(), c.pages - 1, last));
            EXPECT_EQ(last.lastRow, c.lastRow);
        }
    }
}

TEST_F(PaginationTest, SheetGridsWithoutRoomFailAndBoundsHold) {
    FillRows(3 * 55 - 1);
    struct Case {
        uint8_t rows, columns;
        int32_t pageRight;
        bool ok;
    };
    const Case cases[] = {
        {2, 2, 815, true},
        {10, 10, 10 * (2 * 4 + 1) - 1, false}, // one pixel: the lines alone outgrow it
        {10, 10, 10 * (2 * 4) - 1, false},     // no room at all
        {11, 11, 10 * (2 * 4) - 1, false},     // counted as 10
        {0, 0, 815, true},                     // counted as 1
    };
    for (const Case& c : cases) {
        Page().pagesPerSheetRows = c.rows;
        Page().pagesPerSheetColumns = c.columns;
        metrics_.pageRight = c.pageRight;
        Book().error = kErrorNone;
        EXPECT_EQ(Paginate(), c.ok) << int(c.rows) << " " << c.pageRight;
        if (!c.ok) {
            EXPECT_EQ(Book().error, 18);
        }
    }
    EXPECT_EQ(PagesPerSheet(Page()), (std::pair<int32_t, int32_t>{1, 1}));
}

// A container's rows and columns end with the last one its far edges reach, counted from
// its anchor's corner: an offset inside the anchor cell moves the far edges with it.
TEST_F(PaginationTest, PrintedAreaEndsWithAContainersLastLine) {
    auto container = NewBlockObject<CContainer>();
    InitContainerDefaults(*container, nullptr, nullptr);
    CContainer& c = *container;
    LinkContainer(Sheet(), std::move(container));
    struct Case {
        uint32_t anchorRow;
        uint16_t anchorColumn;
        int32_t top, bottom, left, right; // a default row takes 19 pixels, a column 73
        uint32_t lastRow;
        uint16_t lastColumn;
    };
    const Case cases[] = {
        {3, 2, 0, 5 * 19, 0, 2 * 73, 7, 3},         // exactly five rows and two columns
        {3, 2, 0, 5 * 19 + 1, 0, 2 * 73 + 1, 8, 4}, // a pixel more reaches the next ones
        {3, 2, 4, 5 * 19, 4, 2 * 73, 7, 3},         // starting inside: the same far edges
        // Five rows high and two columns wide, but starting 4 pixels inside its cell.
        {3, 2, 4, 4 + 5 * 19, 4, 4 + 2 * 73, 8, 4},
        {3, 2, 30, 31, 80, 81, 4, 3}, // small, wholly inside the next row and column
        {3, 2, 4, 5, 4, 5, 3, 2},
        {3, 2, 0, 0, 0, 0, 3, 2},        // nothing walked: its anchor
        {3, 2, -40, -10, -90, -5, 3, 2}, // above and left of its anchor
        {2097150, 2045, 4, 4 + 10 * 19, 4, 4 + 10 * 73, 2097151, 2046}, // stops at the last lines
    };
    for (const Case& k : cases) {
        c.settings.anchor.row = k.anchorRow;
        c.settings.anchor.column = k.anchorColumn;
        c.settings.top = k.top;
        c.settings.bottom = k.bottom;
        c.settings.left = k.left;
        c.settings.right = k.right;
        uint32_t lastRow = 0;
        uint16_t lastColumn = 0;
        GetPrintedArea(Book(), Sheet(), lastRow, lastColumn, {100, 100});
        EXPECT_EQ(lastRow, k.lastRow) << k.top << " " << k.bottom;
        EXPECT_EQ(lastColumn, k.lastColumn) << k.left << " " << k.right;
    }
    // Rows and columns left out of the printout take no room: the container reaches that
    // many lines further, as it is placed on paper.
    c.settings.anchor.row = 3;
    c.settings.anchor.column = 2;
    c.settings.top = c.settings.left = 0;
    c.settings.bottom = 5 * 19;
    c.settings.right = 2 * 73;
    std::strcpy(Page().excludedRows, "5-6");    // rows 4 and 5, 0-based
    std::strcpy(Page().excludedColumns, "4,9"); // column 3, and 8 beyond it
    uint32_t lastRow = 0;
    uint16_t lastColumn = 0;
    GetPrintedArea(Book(), Sheet(), lastRow, lastColumn, {100, 100});
    EXPECT_EQ(lastRow, 9u);
    EXPECT_EQ(lastColumn, 4u);
    Page().excludedRows[0] = Page().excludedColumns[0] = 0;
    // At 50 % the offsets shrink with the lines: 99 becomes 49 against rows of 9 + 1 and
    // 150 becomes 75 against columns of 36 + 1.
    c.settings.anchor = {};
    c.settings.top = 4;
    c.settings.bottom = 4 + 5 * 19;
    c.settings.left = 4;
    c.settings.right = 4 + 2 * 73;
    GetPrintedArea(Book(), Sheet(), lastRow, lastColumn, {50, 50});
    EXPECT_EQ(lastRow, 4u);
    EXPECT_EQ(lastColumn, 2u);
    // Ending on a page's last row, it adds no blank page.
    c.settings.anchor = {};
    c.settings.anchor.row = 50;
    c.settings.top = 0;
    c.settings.bottom = 5 * 19;
    c.settings.left = 0;
    c.settings.right = 73;
    ASSERT_TRUE(Paginate());
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].lastRow, 54u);
    EXPECT_EQ(pages[0].lastColumn, 0u);
    // A chart that starts inside its cell prints whole: its page takes the row and column
    // its lower right corner reaches.
    c.settings.anchor.row = 40;
    c.settings.top = 10;
    c.settings.bottom = 10 + 5 * 19;
    c.settings.left = 20;
    c.settings.right = 20 + 73;
    ASSERT_TRUE(Paginate());
    pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].lastRow, 45u);
    EXPECT_EQ(pages[0].lastColumn, 1u);
}

TEST_F(PaginationTest, ContainerAndRangeKinds) {
    FillRows(100);
    Page().printRangeKind = kPrintContainer;
    Page().printedContainer = 7;
    // A container the worksheet lacks prints nothing.
    EXPECT_FALSE(Paginate());
    EXPECT_EQ(Book().error, kErrorContainerNotFound);
    EXPECT_EQ(PageListCount(Book()), 0u);
    auto container = NewBlockObject<CContainer>();
    InitContainerDefaults(*container, nullptr, nullptr);
    container->settings.id = 7;
    LinkContainer(Sheet(), std::move(container));
    ASSERT_TRUE(Paginate());
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].objectId, 7);
    EXPECT_EQ(pages[0].width, 816u);
    EXPECT_EQ(pages[0].height, 1056u);

    Page().printRangeKind = kPrintCellRange;
    Page().printRange.c1 = 2;
    Page().printRange.r1 = 3;
    Page().printRange.c2 = 5;
    Page().printRange.r2 = 70;
    ASSERT_TRUE(Paginate());
    pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].firstRow, Page().printRange.r1);
    EXPECT_EQ(pages[0].firstColumn, Page().printRange.c1);
    EXPECT_EQ(pages[1].lastRow, Page().printRange.r2);
    EXPECT_EQ(pages[1].lastColumn, Page().printRange.c2);
}

// Long texts in a printed range, one column at a time and one left of the range: the range's
// edge cuts the flow, so the range paginates into the bands its columns make without text.
class RangeFlowTest : public rendertest::FixedCanvasTest {
protected:
    RangeFlowTest() { alarm(10); } // an endless pagination ends the run instead of CI
    ~RangeFlowTest() override { alarm(0); }

    struct Band {
        uint32_t firstColumn, lastColumn;
        bool operator==(const Band&) const = default;
    };
    // The bands of the range with a text of `length` characters in `column` of its first row.
    std::vector<Band> Paginate(RangeDescriptor range, int column, size_t length) {
        rendertest::SheetFixture f;
        f.Sheet().InitPageSetup();
        PageSetupRecord& setup = f.Sheet().pageSetup;
        setup.rowHeadings = setup.columnHeadings = 0;
        setup.printRangeKind = kPrintCellRange;
        setup.printRange = range;
        if (column >= 0) f.PutText(uint16_t(column), range.r1, std::string(length, 'x'));
        PrintMetrics metrics;
        metrics.pageRight = 815;
        metrics.pageBottom = 1055;
        ZoomPair scale{100, 100};
        std::vector<Band> bands;
        if (!PaginateSheet(f.Book(), canvas_, f.Sheet(), metrics, scale)) return bands;
        for (uint32_t i = 0; i < PageListCount(f.Book()); ++i) {
            PageRecord page;
            EXPECT_TRUE(GetPageRecord(f.Book(), i, page));
            EXPECT_EQ(page.firstRow, range.r1) << i;
            EXPECT_EQ(page.lastRow, range.r2) << i;
            bands.push_back({page.firstColumn, page.lastColumn});
        }
        return bands;
    }
    static RangeDescriptor Range(uint16_t c1, uint32_t r1, uint16_t c2, uint32_t r2) {
        RangeDescriptor r;
        r.c1 = c1;
        r.r1 = r1;
        r.c2 = c2;
        r.r2 = r2;
        return r;
    }
};

TEST_F(RangeFlowTest, TextFlowingPastTheRangeEndsAtItsEdge) {
    struct Case {
        RangeDescriptor range;
        std::vector<Band> bands;
    };
    const Case cases[] = {
        {Range(0, 0, 1, 1), {{0, 1}}}, // A1:B2
        {Range(2, 4, 15, 6), {{2, 12}, {13, 15}}},
        {Range(5, 0, 5, 0), {{5, 5}}},
        {Range(2036, 0, 2046, 0), {{2036, 2046}}}, // the last columns
    };
    for (const Case& c : cases) {
        const RangeDescriptor& r = c.range;
        SCOPED_TRACE(std::to_string(r.c1) + ":" + std::to_string(r.c2));
        ASSERT_EQ(Paginate(r, -1, 0), c.bands);
        for (int column = std::max(0, int(r.c1) - 1); column <= int(r.c2); ++column)
            for (size_t length : {60, 150, 2000})
                EXPECT_EQ(Paginate(r, column, length), c.bands) << column << " " << length;
    }
}

} // namespace vl
