// Cell store throughput: writing number cells in row-major order with one cursor, in
// column-major order beside a full column and in random order, finding them with and
// without the row index, walking them, and the memory that one number cell costs. The
// put benchmarks report "per_cell", the time of one put.

#include "model/cellstore.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <vector>

namespace vl {

namespace {

struct Cell {
    uint32_t row;
    uint16_t column;
};

void PutNumber(CCellStore& store, Cell c, CellCursor& cursor) {
    CellBuffer b;
    MakeNumberCell(b, c.column, c.row, c.row + c.column * 0.5);
    if (!store.PutCell(b.bytes, cursor)) std::abort();
}

// A store of columns x rows number cells written in row-major order.
std::unique_ptr<CCellStore> Grid(uint32_t columns, uint32_t rows) {
    auto store = std::make_unique<CCellStore>();
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < rows; ++row)
        for (uint32_t col = 0; col < columns; ++col)
            PutNumber(*store, {row, uint16_t(col)}, cursor);
    return store;
}

std::vector<Cell> Shuffled(uint32_t columns, uint32_t rows) {
    std::vector<Cell> cells;
    cells.reserve(size_t(columns) * rows);
    for (uint32_t row = 0; row < rows; ++row)
        for (uint32_t col = 0; col < columns; ++col) cells.push_back({row, uint16_t(col)});
    std::shuffle(cells.begin(), cells.end(), std::mt19937(7));
    return cells;
}

void SetMemoryCounter(benchmark::State& state, const CCellStore& store, size_t cells) {
    state.counters["bytes_per_cell"] = double(store.PageCount()) * sizeof(Page) / cells;
    state.counters["pages"] = store.PageCount();
}

void SetPerCellCounter(benchmark::State& state, size_t cells) {
    state.counters["per_cell"] =
        benchmark::Counter(double(cells) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Rows of a grid of range(0) columns and a million cells, or range(1) cells when given.
uint32_t Rows(const benchmark::State& state, bool sized) {
    const int64_t cells = sized ? state.range(1) : 1000000;
    return uint32_t(cells / state.range(0));
}

} // namespace

void BM_PutRowMajorWithCursor(benchmark::State& state) {
    const uint32_t columns = uint32_t(state.range(0)), rows = Rows(state, true);
    std::unique_ptr<CCellStore> store;
    for (auto _ : state) {
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
        store = Grid(columns, rows);
    }
    state.SetItemsProcessed(state.iterations() * columns * rows);
    SetPerCellCounter(state, size_t(columns) * rows);
    SetMemoryCounter(state, *store, size_t(columns) * rows);
}
// The time per cell stays the same from 10,000 to 1,000,000 cells: no put walks the chain.
BENCHMARK(BM_PutRowMajorWithCursor)
    ->ArgsProduct({{1000, 10, 1}, {10000, 100000, 1000000}})
    ->ArgNames({"columns", "cells"})
    ->Unit(benchmark::kMillisecond);

// A column typed or pasted beside a full one: every put lands between two records of the
// first column, with one cursor.
void BM_PutColumnMajorBeside(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    std::unique_ptr<CCellStore> store;
    for (auto _ : state) {
        state.PauseTiming();
        store = Grid(1, rows);
        state.ResumeTiming();
        CellCursor cursor{kAdvance, nullptr, 0};
        for (uint32_t row = 0; row < rows; ++row) PutNumber(*store, {row, 1}, cursor);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    SetPerCellCounter(state, rows);
    SetMemoryCounter(state, *store, size_t(rows) * 2);
}
BENCHMARK(BM_PutColumnMajorBeside)
    ->ArgName("cells")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

void BM_PutRandomOrder(benchmark::State& state) {
    const uint32_t cells = uint32_t(state.range(0));
    const uint32_t columns = 100, rows = cells / columns;
    const std::vector<Cell> order = Shuffled(columns, rows);
    std::unique_ptr<CCellStore> store;
    for (auto _ : state) {
        state.PauseTiming();
        store = std::make_unique<CCellStore>();
        state.ResumeTiming();
        for (const Cell& c : order) {
            CellCursor cursor{kAdvance, nullptr, 0};
            PutNumber(*store, c, cursor);
        }
    }
    state.SetItemsProcessed(state.iterations() * cells);
    SetPerCellCounter(state, cells);
    SetMemoryCounter(state, *store, cells);
}
BENCHMARK(BM_PutRandomOrder)
    ->ArgName("cells")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

void BM_Find(benchmark::State& state) {
    const uint32_t columns = uint32_t(state.range(0)), rows = Rows(state, false);
    const bool indexed = state.range(1) != 0;
    const auto store = Grid(columns, rows);
    if (indexed) {
        CellCursor cursor{kAdvance, nullptr, 0};
        for (uint32_t block = 0; block <= (rows - 1) / kRowBlockRows; ++block)
            store->BuildRowBlockIndex(block, cursor);
    }
    const std::vector<Cell> order = Shuffled(columns, rows);
    size_t i = 0;
    for (auto _ : state) {
        const Cell c = order[i++ % order.size()];
        benchmark::DoNotOptimize(FindCell(*store, c.row, c.column));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Find)->ArgsProduct({{1000, 10}, {0, 1}})->ArgNames({"columns", "indexed"});

void BM_IterateNextCellRecord(benchmark::State& state) {
    const auto store = Grid(1000, 1000);
    for (auto _ : state) {
        CellCursor cursor{kAdvance, store->FirstPage(), 0};
        double sum = 0;
        while (const uint8_t* r = NextCellRecord(cursor)) sum += cell::Number(r);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_IterateNextCellRecord)->Unit(benchmark::kMillisecond);

} // namespace vl
