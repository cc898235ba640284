// Quick statistics of the status bar over a selection of 1,000,000 stored numbers: the walk
// visits stored cells only, so a selection of the whole sheet costs what its cells cost.

#include "app/statustext.h"
#include "model/cellrecord.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace vl {

namespace {

constexpr uint32_t kColumns = 4;
constexpr uint32_t kRows = 250000;

std::unique_ptr<CCellStore> Numbers() {
    auto store = std::make_unique<CCellStore>();
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < kRows; ++row) {
        for (uint16_t col = 0; col < kColumns; ++col) {
            CellBuffer b;
            MakeNumberCell(b, col, row, row * 0.25 - col);
            if (!store->PutCell(b.bytes, cursor)) std::abort();
        }
    }
    return store;
}

void Run(benchmark::State& state, const CellRange& range) {
    static std::unique_ptr<CCellStore> store = Numbers();
    for (auto _ : state) {
        SelectionStats stats = ComputeSelectionStats(*store, range);
        benchmark::DoNotOptimize(stats);
        if (stats.numbers != kColumns * kRows) std::abort();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kColumns) * kRows);
}

void BM_StatsOfStoredBlock(benchmark::State& state) {
    Run(state, {0, 0, kColumns - 1, kRows - 1});
}
BENCHMARK(BM_StatsOfStoredBlock)->Unit(benchmark::kMillisecond);

void BM_StatsOfWholeSheet(benchmark::State& state) {
    Run(state, {0, 0, 2046, 2097151});
}
BENCHMARK(BM_StatsOfWholeSheet)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
