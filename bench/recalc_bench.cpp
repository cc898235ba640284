// Full recalculation: a million independent simple formulas, a long chain that runs
// upward (each cell reads the one below, the walk's worst order), and many SUMs.
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

using namespace vl;

void PutNumber(CCellStore& cells, CellCursor& cursor, uint16_t column, uint32_t row, double x) {
    CellBuffer b;
    MakeNumberCell(b, column, row, x);
    cells.PutCell(b.data(), cursor);
}

void PutFormula(CCellStore& cells, CellCursor& cursor, uint16_t column, uint32_t row,
                std::string_view formula) {
    CellBuffer b;
    MakeFormulaCell(b, column, row, FormulaHead{}, formula);
    cells.PutCell(b.data(), cursor);
}

struct Book {
    std::unique_ptr<CWorkbook> workbook = CreateWorkbook();
    std::unique_ptr<CEvalContext> ctx = std::make_unique<CEvalContext>();
    CCellStore& cells;
    Book() : cells(AsWorksheet(workbook->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet1", 1))->cells) {
        BindAllFunctions();
    }
};

void Recalculate(benchmark::State& state, Book& book, int64_t formulas) {
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    state.SetItemsProcessed(state.iterations() * formulas);
}

void BM_IndependentFormulas(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r < n; ++r) {
        PutNumber(book.cells, cursor, 0, r, r);
        PutFormula(book.cells, cursor, 1, r, "=RC[-1]*2+1");
    }
    Recalculate(state, book, n);
}
BENCHMARK(BM_IndependentFormulas)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_UpwardChain(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r + 1 < n; ++r) PutFormula(book.cells, cursor, 0, r, "=R[1]C+1");
    PutFormula(book.cells, cursor, 0, n - 1, "=1");
    Recalculate(state, book, n);
}
BENCHMARK(BM_UpwardChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SumsOverRanges(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r < n + 99; ++r) {
        PutNumber(book.cells, cursor, 0, r, r % 7);
        if (r < n) PutFormula(book.cells, cursor, 1, r, "=SUM(RC[-1]:R[99]C[-1])");
    }
    Recalculate(state, book, n);
}
BENCHMARK(BM_SumsOverRanges)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
