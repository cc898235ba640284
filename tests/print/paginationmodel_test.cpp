// Random sheets paginated and held against a model of what pages must be: the area's cells
// each on one page, excluded and pinned lines on none of their own, bands from the top,
// each page within its cell of the sheet grid.
#include "model/formatstore.h"
#include "print/pagination.h"
#include "render/metrics.h"
#include "rendertest.h"

#include <cstring>
#include <random>
#include <set>
#include <string>

namespace vl {

namespace {

struct Random {
    std::mt19937 engine;
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
};

// "a-b, c" items within 1..highest, and the 0-based lines they name.
std::string ExclusionText(Random& random, int highest, std::set<uint32_t>& lines) {
    std::string text;
    for (int n = random.Between(0, 3); n > 0; --n) {
        const int a = random.Between(1, highest);
        const int b = std::min(highest, a + random.Between(0, 4));
        if (!text.empty()) text += random.Chance(50) ? ", " : ",";
        text += a == b ? std::to_string(a) : std::to_string(a) + " - " + std::to_string(b);
        for (int line = a; line <= b; ++line) lines.insert(uint32_t(line - 1));
    }
    return text;
}

std::vector<PageRecord> Pages(const CWorkbook& book) {
    std::vector<PageRecord> pages(PageListCount(book));
    for (uint32_t i = 0; i < pages.size(); ++i) EXPECT_TRUE(GetPageRecord(book, i, pages[i]));
    return pages;
}

using PaginationModelTest = rendertest::FixedCanvasTest;

} // namespace

TEST_F(PaginationModelTest, RandomSheetsKeepEveryCellOnOnePage) {
    Random random{std::mt19937(20261207)};
    constexpr int kSheets = 300;
    int paginatedSheets = 0, checkedSizes = 0;
    for (int round = 0; round < kSheets; ++round) {
        SCOPED_TRACE("sheet " + std::to_string(round));
        rendertest::SheetFixture f;
        CWorksheet& sheet = f.Sheet();
        PageSetupRecord& setup = sheet.pageSetup;
        sheet.InitPageSetup();
        const uint16_t percent = uint16_t(random.Between(10, 200));
        const uint32_t rows = uint32_t(random.Between(1, 260));
        const uint16_t columns = uint16_t(random.Between(1, 40));
        for (int n = random.Between(0, 8); n > 0; --n)
            ASSERT_TRUE(SetFormatStoreRowEntry(sheet.formats,
                                               uint32_t(random.Between(0, int(rows) - 1)),
                                               uint16_t(random.Between(2, 300)), true));
        for (int n = random.Between(0, 8); n > 0; --n)
            sheet.formats.columns[random.Between(0, columns - 1)].width =
                uint16_t(random.Between(3, 400) << 1);
        // Numbers, and short texts in columns of the default width, which they never leave;
        // the fixed text metrics do not shrink with the scale, so texts only from 100 %.
        for (int n = random.Between(0, 60); n > 0; --n) {
            const uint16_t c = uint16_t(random.Between(0, columns - 1));
            const uint32_t r = uint32_t(random.Between(0, int(rows) - 1));
            if (random.Chance(50) || sheet.formats.columns[c].width != 0 || percent < 100)
                f.PutNumber(c, r, r);
            else
                f.PutText(c, r, "ab");
        }
        f.PutNumber(uint16_t(columns - 1), rows - 1, 1); // the area's far corner

        std::set<uint32_t> excludedRows, excludedColumns;
        std::strcpy(setup.excludedRows, ExclusionText(random, int(rows) + 2, excludedRows).c_str());
        std::strcpy(setup.excludedColumns,
                    ExclusionText(random, columns + 2, excludedColumns).c_str());
        sheet.view.freezed = {};
        const bool pinRow = random.Chance(30), pinColumn = random.Chance(30);
        const uint32_t pinnedRow = uint32_t(random.Between(0, int(rows) - 1));
        const uint16_t pinnedColumn = uint16_t(random.Between(0, columns - 1));
        if (pinRow) {
            sheet.view.freezed.flags |= kRefRow;
            sheet.view.freezed.row = pinnedRow;
        }
        if (pinColumn) {
            sheet.view.freezed.flags |= kRefColumn;
            sheet.view.freezed.column = pinnedColumn;
        }
        setup.rowHeadings = uint8_t(random.Chance(50));
        setup.columnHeadings = uint8_t(random.Chance(50));
        const bool fit = random.Chance(20);
        setup.fitToSheetSize = fit;
        const bool twoByTwo = random.Chance(25);
        setup.pagesPerSheetRows = setup.pagesPerSheetColumns = twoByTwo ? 2 : 1;

        // Letter or A4 at 96 dpi, either way round, with margins.
        PrintMetrics metrics;
        const bool letter = random.Chance(50), landscape = random.Chance(30);
        int width = letter ? 816 : 794, height = letter ? 1056 : 1123;
        if (landscape) std::swap(width, height);
        metrics.pageRight = width - 1;
        metrics.pageBottom = height - 1;
        metrics.marginLeft = random.Between(0, 60);
        metrics.marginRight = random.Between(0, 60);
        metrics.marginTop = random.Between(0, 80);
        metrics.marginBottom = random.Between(0, 80);
        ZoomPair scale{percent, percent};

        f.Book().error = kErrorNone;
        const bool paginated = PaginateSheet(f.Book(), canvas_, sheet, metrics, scale);
        if (!paginated) {
            // Only a sheet grid without room may refuse, and only with 18.
            EXPECT_EQ(f.Book().error, 18);
            continue;
        }
        ++paginatedSheets;
        EXPECT_LE(scale[0], percent);
        EXPECT_EQ(scale[0], scale[1]);
        const std::vector<PageRecord> pages = Pages(f.Book());
        ASSERT_FALSE(pages.empty());
        const int printableWidth = metrics.pageRight - metrics.marginRight - metrics.marginLeft + 1;
        const int printableHeight =
            metrics.pageBottom - metrics.marginBottom - metrics.marginTop + 1;
        const int across = fit ? 1 : setup.pagesPerSheetColumns;
        const int down = fit ? 1 : setup.pagesPerSheetRows;
        for (const PageRecord& p : pages) {
            if (!p.print) continue;
            EXPECT_LE(int(p.width), printableWidth / across);
            EXPECT_LE(int(p.height), printableHeight / down);
        }

        auto ownRow = [&](uint32_t r) {
            return !excludedRows.count(r) && !(pinRow && r == pinnedRow);
        };
        auto ownColumn = [&](uint32_t c) {
            return !excludedColumns.count(c) && !(pinColumn && c == pinnedColumn);
        };
        if (fit) {
            // One printed page holding the whole area, one page to the sheet.
            EXPECT_TRUE(pages[0].print);
            for (size_t i = 1; i < pages.size(); ++i) EXPECT_FALSE(pages[i].print);
            EXPECT_EQ(pages[0].firstRow, 0u);
            EXPECT_EQ(pages[0].lastRow, rows - 1);
            EXPECT_EQ(pages[0].lastColumn, columns - 1u);
            EXPECT_EQ(setup.pagesPerSheetRows, 1);
            continue;
        }
        // Bands from the top: each band one block of rows, its pages left to right.
        uint32_t bandFirst = 0;
        size_t i = 0;
        while (i < pages.size()) {
            const uint32_t bandLast = pages[i].lastRow;
            EXPECT_EQ(pages[i].firstRow, bandFirst);
            uint32_t nextColumn = 0;
            for (; i < pages.size() && pages[i].firstRow == bandFirst; ++i) {
                EXPECT_EQ(pages[i].lastRow, bandLast);
                EXPECT_EQ(pages[i].firstColumn, nextColumn);
                EXPECT_LE(pages[i].firstColumn, pages[i].lastColumn);
                nextColumn = pages[i].lastColumn + 1u;
            }
            EXPECT_EQ(nextColumn, columns) << "a band ends at the area's last column";
            bandFirst = bandLast + 1;
        }
        EXPECT_EQ(bandFirst, rows) << "the last band ends at the area's last row";
        // Every own cell of the area once; excluded and pinned lines never among a page's own.
        std::vector<int> seen(size_t(rows) * columns, 0);
        for (const PageRecord& p : pages)
            for (uint32_t r = p.firstRow; r <= p.lastRow; ++r)
                for (uint32_t c = p.firstColumn; c <= p.lastColumn; ++c)
                    if (ownRow(r) && ownColumn(c)) ++seen[size_t(r) * columns + c];
        int wrong = 0;
        for (uint32_t r = 0; r < rows; ++r)
            for (uint32_t c = 0; c < columns; ++c)
                wrong += seen[size_t(r) * columns + c] != ((ownRow(r) && ownColumn(c)) ? 1 : 0);
        EXPECT_EQ(wrong, 0);
        // The pinned lines are on every page: its size counts them, whatever its own rows.
        if (!setup.rowHeadings && !setup.columnHeadings) {
            ++checkedSizes;
            for (const PageRecord& p : pages) {
                int64_t h = 1, w = 1;
                for (uint32_t r = p.firstRow; r <= p.lastRow; ++r)
                    if (ownRow(r)) h += GetRowHeight(sheet, r, scale[1]) + 1;
                for (uint32_t c = p.firstColumn; c <= p.lastColumn; ++c)
                    if (ownColumn(c)) w += GetColumnWidth(sheet, uint16_t(c), scale[0]) + 1;
                if (pinRow) h += GetRowHeight(sheet, pinnedRow, scale[1]) + 1;
                if (pinColumn) w += GetColumnWidth(sheet, pinnedColumn, scale[0]) + 1;
                EXPECT_EQ(int64_t(p.height), h) << p.firstRow;
                EXPECT_EQ(int64_t(p.width), w) << p.firstColumn;
            }
        }
    }
    // The seed gives sheets of every kind: nearly all paginate, a good share sized exactly.
    EXPECT_GT(paginatedSheets, kSheets * 9 / 10);
    EXPECT_GT(checkedSizes, kSheets / 8);
}

} // namespace vl
