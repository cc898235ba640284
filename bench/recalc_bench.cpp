// Full recalculation: a million independent simple formulas, a long chain that runs
// upward (each cell reads the one below), and many SUMs. Then shapes whose formulas read
// cells the walk has not reached yet, each beside its control in the walk's own order: a
// total above its data and below it, a summary worksheet before its data and after it, and
// a column of SUMs of the next ten rows and of the previous ten. An "above" or "before"
// shape should cost at most twice its control, and the cost per formula should grow little
// from 100,000 rows to 1,000,000. Last, the column with an array whose new values a formula
// met earlier in the walk reads.
#include "bench/benchbook.h"
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

using benchbook::Book;

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

// The column above with an array whose values change before every recalculation, and a
// reader of its elements that the walk meets first: the cost of calculating that reader again.
void BM_IndependentFormulasAndAChangingArray(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    // Put in storage order, as the cursor expects.
    for (uint32_t r = 0; r < n; ++r) {
        PutNumber(book.cells, cursor, 0, r, r);
        PutFormula(book.cells, cursor, 1, r, "=RC[-1]*2+1");
        if (r == 0) PutFormula(book.cells, cursor, 2, 0, "=SUM(R2C4:R3C4)");
        if (r == 0) PutFormula(book.cells, cursor, 3, 0, "=R1C5:R3C5*2");
        if (r < 3) PutNumber(book.cells, cursor, 4, r, r);
    }
    double x = 0;
    for (auto _ : state) {
        CellCursor edit;
        PutNumber(book.cells, edit, 4, 1, ++x);
        benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IndependentFormulasAndAChangingArray)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

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

// A shape is measured only when one recalculation gives the cell its right result (with
// `exact` false: any number without an error).
bool Checked(benchmark::State& state, Book& book, const CCellStore& cells, uint32_t row,
             uint16_t column, double expected, bool exact = true) {
    RecalculateWorkbook(*book.workbook, *book.ctx);
    const uint8_t* r = FindCell(cells, row, column);
    if (r && !(r[0] & 0xF0) && (!exact || cell::CachedNumber(r) == expected)) return true;
    state.SkipWithError("wrong result");
    return false;
}

// The total of n rows of PutData.
double DataTotal(uint32_t n) {
    double total = 0;
    for (uint32_t r = 0; r < n; ++r) total += (r % 1000) * 2 + 1;
    return total;
}

// Column A numbers, column B "=RC[-1]*2+1" from row `first` on.
void PutData(CCellStore& cells, CellCursor& cursor, uint32_t first, uint32_t n) {
    for (uint32_t r = first; r < first + n; ++r) {
        PutNumber(cells, cursor, 0, r, (r - first) % 1000);
        PutFormula(cells, cursor, 1, r, "=RC[-1]*2+1");
    }
}

void BM_TotalAbove(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    PutFormula(book.cells, cursor, 1, 0, "=SUM(R[1]C:R[" + std::to_string(n) + "]C)");
    PutData(book.cells, cursor, 1, n);
    if (Checked(state, book, book.cells, 0, 1, DataTotal(n))) Recalculate(state, book, n + 1);
}
BENCHMARK(BM_TotalAbove)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_TotalBelow(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    PutData(book.cells, cursor, 0, n);
    PutFormula(book.cells, cursor, 1, n, "=SUM(R[-" + std::to_string(n) + "]C:R[-1]C)");
    if (Checked(state, book, book.cells, n, 1, DataTotal(n))) Recalculate(state, book, n + 1);
}
BENCHMARK(BM_TotalBelow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A summary worksheet with the total of a data worksheet, before or after it in the tree.
void SummaryAndData(benchmark::State& state, bool summaryFirst) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    const char* second = summaryFirst ? "Data" : "Summary";
    CCellStore& other =
        AsWorksheet(book.workbook->AppendTreeItem(TREE_TYPE_WORKSHEET, second, 1))->cells;
    CCellStore& data = summaryFirst ? other : book.cells;
    CCellStore& summary = summaryFirst ? book.cells : other;
    CellCursor cursor;
    PutData(data, cursor, 0, n);
    CellCursor summaryCursor;
    const std::string dataName = summaryFirst ? "Data" : "Sheet1";
    PutFormula(summary, summaryCursor, 0, 0,
               "=SUM(" + dataName + "!R1C2:R" + std::to_string(n) + "C2)");
    if (Checked(state, book, summary, 0, 0, DataTotal(n))) Recalculate(state, book, n + 1);
}

void BM_SummaryBeforeData(benchmark::State& state) {
    SummaryAndData(state, true);
}
BENCHMARK(BM_SummaryBeforeData)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SummaryAfterData(benchmark::State& state) {
    SummaryAndData(state, false);
}
BENCHMARK(BM_SummaryAfterData)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Column B: each formula the mean of its number and the SUM of the ten formulas below it
// (or, the control, above it); the ten rows that hold no formula hold plain numbers.
void SumOfTenRows(benchmark::State& state, bool below) {
    const uint32_t n = uint32_t(state.range(0));
    const uint32_t firstFormula = below ? 0 : 10;
    const char* formula =
        below ? "=(RC[-1]+SUM(R[1]C:R[10]C))/11" : "=(RC[-1]+SUM(R[-10]C:R[-1]C))/11";
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r < n + 10; ++r) {
        PutNumber(book.cells, cursor, 0, r, r % 7);
        if (r >= firstFormula && r < firstFormula + n)
            PutFormula(book.cells, cursor, 1, r, formula);
        else
            PutNumber(book.cells, cursor, 1, r, 1);
    }
    const uint32_t probeRow = below ? 0 : n + 9;
    if (Checked(state, book, book.cells, probeRow, 1, 0, false)) Recalculate(state, book, n);
}

void BM_SumOfNextTenRows(benchmark::State& state) {
    SumOfTenRows(state, true);
}
BENCHMARK(BM_SumOfNextTenRows)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SumOfPreviousTenRows(benchmark::State& state) {
    SumOfTenRows(state, false);
}
BENCHMARK(BM_SumOfPreviousTenRows)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One formula over two columns element by element: a comparison and a product, each giving
// an array of n elements, which SUMPRODUCT adds.
void BM_ElementsOfColumns(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r < n; ++r) {
        PutNumber(book.cells, cursor, 0, r, r % 7);
        PutNumber(book.cells, cursor, 1, r, 1);
    }
    const std::string rows = std::to_string(n);
    PutFormula(book.cells, cursor, 2, 0,
               "=SUMPRODUCT((R1C1:R" + rows + "C1>3)*R1C2:R" + rows + "C2)");
    Recalculate(state, book, n);
}
BENCHMARK(BM_ElementsOfColumns)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
