// Version-6 run blocks repeat their runs on every row they cover: what a file may put into
// the run stores of its worksheets is bounded by the file's size, and a file that describes
// more fails as out of memory without building the store first.

#include "filestestutil.h"
#include "v6fixtures.h"

#include <gtest/gtest.h>

namespace vl {

using namespace v6test;

namespace {

// Runs of style 1 on every other column from 0 to 2 × (count - 1), in blocks of 65,535
// rows down the sheet from row 0 for `rows` rows.
V6Sheet ApartColumns(uint16_t count, uint32_t rows) {
    V6Sheet s;
    std::vector<V6Run> runs;
    for (uint16_t c = 0; c < count; ++c) runs.push_back({uint16_t(2 * c), uint16_t(2 * c), 1});
    for (uint32_t first = 0; first < rows; first += 65535)
        s.tables.blocks.push_back({uint16_t(std::min<uint32_t>(65535, rows - first)), first, runs});
    s.tables.runRows = rows;
    return s;
}

V6File WithSheets(std::vector<V6Sheet> sheets) {
    V6File f = MinimalFile();
    f.styles.resize(2);
    f.items.clear();
    for (size_t i = 0; i < sheets.size(); ++i) {
        V6Item item;
        item.name = "S" + std::to_string(i + 1);
        item.sheet = std::move(sheets[i]);
        f.items.push_back(item);
    }
    return f;
}

uint64_t RunPages(const CWorkbook& book) {
    uint64_t pages = 0;
    for (const CTreeItem* item = book.tree.first; item; item = item->next)
        if (const CWorksheet* s = AsWorksheet(item)) pages += s->formats.runs.PageCount();
    return pages;
}

// 64 MiB, and 256 bytes for each byte of the file, in pages.
uint64_t BudgetPages(size_t fileBytes) {
    return ((uint64_t(64) << 20) + 256 * uint64_t(fileBytes)) / sizeof(Page);
}

} // namespace

// The file of the fault: 1,024 runs apart from each other over 65,535 rows would be 67
// million runs; it fails at the budget instead.
TEST(V6RunBudget, RunsRepeatedPastTheBudgetFailAsOutOfMemory) {
    const V6File f = WithSheets({ApartColumns(1024, 65535)});
    const size_t bytes = WriteV6File(f).data.size();
    ASSERT_LT(bytes, 8000u);
    V6Load load = LoadV6File(f);
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.book->error, kErrorWorksheetMemory);
    // The budget is looked at after each row: one row of runs (3 pages at most) may pass it.
    EXPECT_LE(RunPages(*load.book), BudgetPages(bytes) + 3);
}

// Three whole columns styled apart (6.3 million runs) fit the budget of a file of a few
// hundred bytes; four do not; and the budget is the workbook's, not each worksheet's.
TEST(V6RunBudget, WholeColumnsUpToTheBudgetLoad) {
    struct Case {
        std::vector<uint16_t> columnsPerSheet;
        bool loads;
    };
    const Case cases[] = {{{3}, true}, {{4}, false}, {{2, 1}, true}, {{2, 2}, false}};
    for (const Case& c : cases) {
        std::vector<V6Sheet> sheets;
        for (uint16_t n : c.columnsPerSheet) sheets.push_back(ApartColumns(n, kMaxRows));
        const V6File f = WithSheets(sheets);
        V6Load load = LoadV6File(f);
        const std::string label = std::to_string(c.columnsPerSheet.size()) + " sheets, " +
                                  std::to_string(c.columnsPerSheet.back()) + " last";
        ASSERT_EQ(load.ok, c.loads) << label;
        EXPECT_LE(RunPages(*load.book), BudgetPages(WriteV6File(f).data.size()) + 3) << label;
        if (!c.loads) {
            EXPECT_EQ(load.book->error, kErrorWorksheetMemory) << label;
            continue;
        }
        // Every row of every column holds its run.
        for (const CTreeItem* item = load.book->tree.first; item; item = item->next) {
            const CWorksheet* s = AsWorksheet(item);
            uint16_t c1 = 1, c2 = 0;
            uint32_t r1 = 1, r2 = 0;
            ASSERT_TRUE(GetFormatRunsRange(s->formats, &c1, &c2, &r1, &r2)) << label;
            EXPECT_EQ(Of(c1, r1, r2), Of(0, 0, kLastRow)) << label;
        }
    }
}

} // namespace vl
