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
    auto book = CreateWorkbook();
    CWorksheet& ws = NewSheet(*book);
    FillBlock(ws);
    const CellRange target{kSide, 0, 2 * kSide - 1, kSide - 1};
    for (auto _ : state) {
        if (!CopyRange(*book, ws, target, ws, 0, 0, ViewOf(book->styles)))
            state.SkipWithError("copy failed");
        state.PauseTiming();
        ClearRect(ws.cells, target, nullptr, false);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_CopyBlock)->Unit(benchmark::kMillisecond);

// Copies the block onto itself shifted by one cell: every row of the block is rebuilt.
void BM_CopyOverlapping(benchmark::State& state) {
    auto book = CreateWorkbook();
    CWorksheet& ws = NewSheet(*book);
    FillBlock(ws);
    for (auto _ : state) {
        if (!CopyRange(*book, ws, {1, 1, kSide, kSide}, ws, 0, 0, ViewOf(book->styles)))
            state.SkipWithError("copy failed");
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_CopyOverlapping)->Unit(benchmark::kMillisecond);

void BM_ClearBlock(benchmark::State& state) {
    auto book = CreateWorkbook();
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
    auto book = CreateWorkbook();
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
    auto book = CreateWorkbook();
    CWorksheet& ws = NewSheet(*book);
    FillBlock(ws);
    for (auto _ : state) {
        if (!TransposeRange(*book, ws, {0, 0, kSide - 1, kSide - 1}))
            state.SkipWithError("transpose failed");
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_Transpose)->Unit(benchmark::kMillisecond);

// Clearing column A where every row anchors a one-row array formula over A:C: each anchor
// adds its area to what the clear removes.
void BM_ClearColumnOfArrays(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    CCellStore master;
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer b;
    FormulaHead head;
    head.arrayWidth = 3;
    head.resultFlags = kResultNumber | kResultArray;
    for (uint32_t r = 0; r < rows; ++r) {
        MakeFormulaCell(b, 0, r, head, "R1C1");
        master.PutCell(b.bytes, cursor);
        for (uint16_t c = 1; c < 3; ++c) {
            MakeNumberCell(b, c, r, 1.0);
            b.bytes[0] |= kCellArrayElement;
            master.PutCell(b.bytes, cursor);
        }
    }
    CCellStore store;
    for (auto _ : state) {
        state.PauseTiming();
        CopyFrom(master, store);
        state.ResumeTiming();
        ClearRect(store, {0, 0, 0, kLastRow}, nullptr, false);
        if (store.FirstPage()) state.SkipWithError("arrays left");
    }
    state.counters["per_array"] =
        benchmark::Counter(double(rows) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ClearColumnOfArrays)
    ->ArgName("arrays")
    ->Arg(16000)
    ->Arg(32000)
    ->Arg(64000)
    ->Unit(benchmark::kMillisecond);

} // namespace
