// The Statistics dialog's counts: every cell of 1,000,000 in 10 worksheets (goal at least 20
// million records a second on one core), and 100 rows of a 1,000,000-row worksheet against
// the whole of it (goal: at most a thousandth of its time, the first row found by bisection
// rather than a walk of the pages before it).

#include "model/workbook.h"
#include "model/workbookstats.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace vl {

namespace {

void Fill(CWorksheet& sheet, uint16_t columns, uint32_t rows) {
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer b;
    for (uint32_t row = 0; row < rows; ++row)
        for (uint16_t col = 0; col < columns; ++col) {
            if ((row + col) % 5 == 0)
                MakeTextCell(b, col, row, "text");
            else
                MakeNumberCell(b, col, row, row * 0.5);
            if (!sheet.cells.PutCell(b.bytes, cursor)) std::abort();
        }
}

std::unique_ptr<CWorkbook> TenSheets() {
    auto book = CreateWorkbook();
    for (int i = 0; i < 10; ++i)
        Fill(*AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1)), 10, 10000);
    book->tree.active = AsWorksheet(book->tree.first);
    return book;
}

std::unique_ptr<CWorkbook> LongSheet() {
    auto book = CreateWorkbook();
    CWorksheet* sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
    Fill(*sheet, 1, 1000000);
    book->tree.active = sheet;
    return book;
}

void BM_StatisticsWorkbook(benchmark::State& state) {
    static const auto book = TenSheets();
    for (auto _ : state)
        benchmark::DoNotOptimize(CountStatistics(*book, kScopeWorkbook, {}).TotalCells());
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000000);
}
BENCHMARK(BM_StatisticsWorkbook)->Unit(benchmark::kMillisecond);

void BM_StatisticsWholeSheet(benchmark::State& state) {
    static const auto book = LongSheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(CountStatistics(*book, kScopeWorksheet, {}).TotalCells());
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000000);
}
BENCHMARK(BM_StatisticsWholeSheet)->Unit(benchmark::kMicrosecond);

void BM_StatisticsHundredRows(benchmark::State& state) {
    static const auto book = LongSheet();
    const CellRange rows{0, 700000, 0, 700099};
    for (auto _ : state)
        benchmark::DoNotOptimize(CountStatistics(*book, kScopeRange, rows).TotalCells());
    state.SetItemsProcessed(int64_t(state.iterations()) * 100);
}
BENCHMARK(BM_StatisticsHundredRows)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace vl

BENCHMARK_MAIN();
