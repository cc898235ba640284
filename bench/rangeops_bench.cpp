// Block operations on a 1,000 x 1,000 block of number cells.

#include "model/rangeops.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vl;

constexpr uint16_t kSide = 1000;

void FillBlock(CWorksheet& ws) {
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer b;
    for (uint32_t r = 0; r < kSide; ++r) {
        for (uint16_t c = 0; c < kSide; ++c) {
            MakeNumberCell(b, c, r, r * 0.5 + c);
            ws.cells.PutCell(b.bytes, cursor);
        }
    }
}

CWorksheet& NewSheet(CWorkbook& book) {
    return *AsWorksheet(book.AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
}

// Copies the block beside itself, onto an empty area, then clears the copy again.
void BM_CopyBlock(benchmark::State& state) {
    auto book = NewWorkbook();
    CWorksheet& ws = NewSheet(*book);
    FillBlock(ws);
    const CellRange target{kSide, 0, 2 * kSide - 1, kSide - 1};
    for (auto _ : state) {
        if (!CopyRange(*book, ws, target, ws, 0, 0)) state.SkipWithError("copy failed");
        state.PauseTiming();
        ClearRect(ws.cells, target, nullptr, false);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_CopyBlock)->Unit(benchmark::kMillisecond);

// Copies the block onto itself shifted by one cell: every row of the block is rebuilt.
void BM_CopyOverlapping(benchmark::State& state) {
    auto book = NewWorkbook();
    CWorksheet& ws = NewSheet(*book);
    FillBlock(ws);
    for (auto _ : state) {
        if (!CopyRange(*book, ws, {1, 1, kSide, kSide}, ws, 0, 0))
            state.SkipWithError("copy failed");
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_CopyOverlapping)->Unit(benchmark::kMillisecond);

void BM_ClearBlock(benchmark::State& state) {
    auto book = NewWorkbook();
    CWorksheet& ws = NewSheet(*book);
    CWorksheet& master = NewSheet(*book);
    FillBlock(master);
    for (auto _ : state) {
        state.PauseTiming();
        CopyFrom(master.cells, ws.cells);
        state.ResumeTiming();
        ClearRect(ws.cells, {0, 0, kSide - 1, kSide - 1}, nullptr, false);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ClearBlock)->Unit(benchmark::kMillisecond);

// Clearing through the worksheet command, formats included.
void BM_ClearRange(benchmark::State& state) {
    auto book = NewWorkbook();
    CWorksheet& ws = NewSheet(*book);
    CWorksheet& master = NewSheet(*book);
    FillBlock(master);
    for (auto _ : state) {
        state.PauseTiming();
        CopyFrom(master.cells, ws.cells);
        state.ResumeTiming();
        if (!ClearRange(*book, ws, {0, 0, kSide - 1, kSide - 1})) state.SkipWithError("failed");
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ClearRange)->Unit(benchmark::kMillisecond);

void BM_Transpose(benchmark::State& state) {
    auto book = NewWorkbook();
    CWorksheet& ws = NewSheet(*book);
    FillBlock(ws);
    for (auto _ : state) {
        if (!TransposeRange(*book, ws, {0, 0, kSide - 1, kSide - 1}))
            state.SkipWithError("transpose failed");
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_Transpose)->Unit(benchmark::kMillisecond);

} // namespace
