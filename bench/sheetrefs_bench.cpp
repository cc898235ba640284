// A common layout: a worksheet that holds only data and a worksheet of formulas that read
// it, beside the control of the same formulas reading the same data on their own worksheet.
// Per formula the two should cost within twice each other: a grid of 1,000 × 1,000 numbers
// read by 100 columns of formulas spread over its width, and a column of numbers read by a
// column of formulas.
#include "bench/benchbook.h"
#include "formula/recalc.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace vl;
using benchbook::Book;

constexpr uint32_t kGridRows = 1000;
constexpr uint16_t kGridColumns = 1000;
constexpr uint16_t kFormulaColumns = 100;

CCellStore& AddSheet(Book& book, const char* name) {
    return AsWorksheet(book.workbook->AppendTreeItem(TREE_TYPE_WORKSHEET, name, 1))->cells;
}

void Put(CCellStore& cells, CellCursor& cursor, const CellBuffer& b) {
    cells.PutCell(b.data(), cursor);
}

void PutGrid(CCellStore& cells, uint32_t rows, uint16_t columns) {
    CellCursor cursor;
    for (uint32_t r = 0; r < rows; ++r)
        for (uint16_t c = 0; c < columns; ++c) {
            CellBuffer b;
            MakeNumberCell(b, c, r, r + c);
            Put(cells, cursor, b);
        }
}

// Formula column k of row r reads the data at (r - rowShift, 10k): spread over the grid's
// width, so that a find far along a wide row is measured as well as one near its start.
void PutReaders(CCellStore& cells, const std::string& prefix, uint32_t firstRow, uint32_t rows,
                uint16_t columns, uint16_t step) {
    const std::string row = firstRow ? "R[-" + std::to_string(firstRow) + "]" : "R";
    CellCursor cursor;
    for (uint32_t r = firstRow; r < firstRow + rows; ++r)
        for (uint16_t k = 0; k < columns; ++k) {
            CellBuffer b;
            MakeFormulaCell(b, k, r, FormulaHead{},
                            "=" + prefix + row + "C[" + std::to_string(k * (step - 1)) + "]*2");
            Put(cells, cursor, b);
        }
}

bool Correct(benchmark::State& state, Book& book, const CCellStore& cells, uint32_t row,
             uint16_t column, double expected) {
    RecalculateWorkbook(*book.workbook, *book.ctx);
    const uint8_t* r = FindCell(cells, row, column);
    if (r && !(r[0] & 0xF0) && cell::CachedNumber(r) == expected) return true;
    state.SkipWithError("wrong result");
    return false;
}

void Recalculate(benchmark::State& state, Book& book, int64_t formulas) {
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    state.SetItemsProcessed(state.iterations() * formulas);
}

// The control: the grid's rows followed on the same worksheet by the formulas reading them.
void BM_GridReadOnItsOwnSheet(benchmark::State& state) {
    Book book;
    PutGrid(book.cells, kGridRows, kGridColumns);
    PutReaders(book.cells, "", kGridRows, kGridRows, kFormulaColumns, 10);
    // The last formula reads (999, 990): 2 × (999 + 990).
    if (Correct(state, book, book.cells, 2 * kGridRows - 1, kFormulaColumns - 1, 3978))
        Recalculate(state, book, int64_t(kGridRows) * kFormulaColumns);
}
BENCHMARK(BM_GridReadOnItsOwnSheet)->Unit(benchmark::kMillisecond);

void BM_GridReadFromADataSheet(benchmark::State& state) {
    Book book;
    CCellStore& data = AddSheet(book, "Data");
    PutGrid(data, kGridRows, kGridColumns);
    PutReaders(book.cells, "Data!", 0, kGridRows, kFormulaColumns, 10);
    if (Correct(state, book, book.cells, kGridRows - 1, kFormulaColumns - 1, 3978))
        Recalculate(state, book, int64_t(kGridRows) * kFormulaColumns);
}
BENCHMARK(BM_GridReadFromADataSheet)->Unit(benchmark::kMillisecond);

void BM_ColumnReadOnItsOwnSheet(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    for (uint32_t r = 0; r < n; ++r) {
        book.Number(0, r, r);
        book.Formula(1, r, "=RC[-1]*2");
    }
    if (Correct(state, book, book.cells, n - 1, 1, 2.0 * (n - 1))) Recalculate(state, book, n);
}
BENCHMARK(BM_ColumnReadOnItsOwnSheet)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ColumnReadFromADataSheet(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CCellStore& data = AddSheet(book, "Data");
    CellCursor cursor;
    for (uint32_t r = 0; r < n; ++r) {
        CellBuffer b;
        MakeNumberCell(b, 0, r, r);
        Put(data, cursor, b);
        book.Formula(1, r, "=Data!RC[-1]*2");
    }
    if (Correct(state, book, book.cells, n - 1, 1, 2.0 * (n - 1))) Recalculate(state, book, n);
}
BENCHMARK(BM_ColumnReadFromADataSheet)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
