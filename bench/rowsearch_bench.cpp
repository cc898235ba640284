// Next Empty Cell down three full columns: the walk over the store in order. Target: at
// least 5 million rows a second.

#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/rowsearch.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vl;

void BM_NextEmptyDownThreeColumns(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    CCellStore store;
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer buffer;
    for (uint32_t r = 0; r < rows; ++r)
        for (uint16_t c = 0; c < 3; ++c) {
            MakeNumberCell(buffer, c, r, double(r));
            store.PutCell(buffer.data(), cursor);
        }
    for (auto _ : state)
        benchmark::DoNotOptimize(FindQualifyingRow(store, 0, 2, 0, RowSearch::kEmpty, false));
    state.SetItemsProcessed(int64_t(state.iterations()) * rows);
}
BENCHMARK(BM_NextEmptyDownThreeColumns)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
