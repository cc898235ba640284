// Sheets that are wide or two-dimensional, each reporting its time per formula:
// - the same chain of "left + 1" formulas laid out 10 columns wide and 1,000 wide: the wide
//   layout should cost at most 1.5 times the narrow one per formula;
// - a square grid whose cells read their left and upper neighbours, and its mirror reading
//   the right and lower ones: the mirror should cost at most twice the grid, and the grid's
//   recalculation at most three times a formula of the narrow chain.
// The "Input" forms also type every cell's A1 text as the text import does, so they measure
// the translation and the stores as well as the recalculation.
#include "bench/benchbook.h"
#include "formula/cellinput.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vl;

using benchbook::Book;

struct Cell {
    uint16_t column;
    uint32_t row;
    std::string text;
};

std::string ColumnName(uint32_t c) {
    std::string name;
    for (++c; c > 0; c = (c - 1) / 26) name.insert(name.begin(), char('A' + (c - 1) % 26));
    return name;
}

std::string Ref(uint16_t column, uint32_t row) {
    return ColumnName(column) + std::to_string(row + 1);
}

// Column A holds numbers; every other cell adds 1 to its left neighbour.
std::vector<Cell> ChainCells(uint16_t columns, uint32_t rows) {
    std::vector<Cell> out;
    out.reserve(size_t(columns) * rows);
    for (uint32_t r = 0; r < rows; ++r)
        for (uint16_t c = 0; c < columns; ++c)
            out.push_back({c, r, c == 0 ? "1" : "=" + Ref(c - 1, r) + "+1"});
    return out;
}

// An n × n square: the first row and column (the last ones for the mirror) hold 1, every
// other cell the mean of its left and upper neighbours (right and lower for the mirror).
std::vector<Cell> GridCells(uint32_t n, bool mirror) {
    std::vector<Cell> out;
    out.reserve(size_t(n) * n);
    const uint32_t edge = mirror ? n - 1 : 0;
    const int step = mirror ? 1 : -1;
    for (uint32_t r = 0; r < n; ++r)
        for (uint32_t c = 0; c < n; ++c) {
            if (r == edge || c == edge) {
                out.push_back({uint16_t(c), r, "1"});
                continue;
            }
            const std::string across = Ref(uint16_t(c + step), r);
            const std::string down = Ref(uint16_t(c), r + step);
            out.push_back({uint16_t(c), r, "=(" + across + "+" + down + ")/2"});
        }
    return out;
}

// Every cell typed as the import types it.
void Enter(Book& book, const std::vector<Cell>& cells) {
    CellCursor cursor;
    CellBuffer record;
    for (const Cell& cell : cells) {
        StandardFormat format;
        if (cell.text[0] == '=')
            ParseCellInput(*book.ctx, cell.text, format, cell.row, cell.column, record);
        else
            MakeNumberCell(record, cell.column, cell.row, std::stod(cell.text));
        book.cells.PutCell(record.data(), cursor);
    }
}

int64_t FormulaCount(const std::vector<Cell>& cells) {
    int64_t n = 0;
    for (const Cell& cell : cells) n += cell.text[0] == '=';
    return n;
}

// The cell must have its number after one recalculation, else the shape is not measured.
bool Checked(benchmark::State& state, Book& book, uint16_t column, uint32_t row, double expected) {
    RecalculateWorkbook(*book.workbook, *book.ctx);
    const uint8_t* r = FindCell(book.cells, row, column);
    if (r && !(r[0] & 0xF0) && cell::CachedNumber(r) == expected) return true;
    state.SkipWithError("wrong result");
    return false;
}

void PerFormula(benchmark::State& state, int64_t formulas) {
    state.counters["per_formula"] =
        benchmark::Counter(double(formulas), benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}

void Recalculate(benchmark::State& state, const std::vector<Cell>& cells, uint16_t column,
                 uint32_t row, double expected) {
    Book book;
    Enter(book, cells);
    if (!Checked(state, book, column, row, expected)) return;
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    PerFormula(state, FormulaCount(cells));
}

void InputAndRecalculate(benchmark::State& state, const std::vector<Cell>& cells) {
    for (auto _ : state) {
        Book book;
        Enter(book, cells);
        benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    }
    PerFormula(state, FormulaCount(cells));
}

// range(0) columns; as many rows as make a million cells.
void BM_ChainRecalc(benchmark::State& state) {
    const uint16_t columns = uint16_t(state.range(0));
    const uint32_t rows = uint32_t(1000000 / columns);
    Recalculate(state, ChainCells(columns, rows), uint16_t(columns - 1), rows - 1, columns);
}
BENCHMARK(BM_ChainRecalc)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ChainInput(benchmark::State& state) {
    const uint16_t columns = uint16_t(state.range(0));
    InputAndRecalculate(state, ChainCells(columns, uint32_t(1000000 / columns)));
}
BENCHMARK(BM_ChainInput)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// range(0): side of the square; range(1): 1 for the mirror.
void BM_GridRecalc(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    const bool mirror = state.range(1) != 0;
    const uint32_t far = mirror ? 0 : n - 1;
    Recalculate(state, GridCells(n, mirror), uint16_t(far), far, 1);
}
BENCHMARK(BM_GridRecalc)
    ->Args({300, 0})
    ->Args({300, 1})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_GridInput(benchmark::State& state) {
    InputAndRecalculate(state, GridCells(uint32_t(state.range(0)), state.range(1) != 0));
}
BENCHMARK(BM_GridInput)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
