// Sorting rows by two keys and replacing in text cells. The sort goal: ten times the rows
// in at most 13 times the time, for random, sorted, reversed and all-equal keys alike. The
// replace goal: at least 500,000 cells per second.

#include "formula/edit/editcommands.h"
#include "formula/edit/findreplace.h"
#include "formula/edit/rowsort.h"
#include "formula/workbookcontext.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

using namespace vl;

enum Shape { kRandom, kSorted, kReversed, kEqual };

// Two key columns: the first holds few distinct values, so the second decides many ties.
void FillKeys(CCellStore& store, uint32_t rows, Shape shape) {
    std::mt19937 rng(42);
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer b;
    for (uint32_t r = 0; r < rows; ++r) {
        double first = 0, second = 0;
        switch (shape) {
        case kRandom:
            first = double(rng() % 1000), second = double(rng() % 1000000);
            break;
        case kSorted:
            first = double(r / 1000), second = double(r % 1000);
            break;
        case kReversed:
            first = double((rows - r) / 1000), second = double((rows - r) % 1000);
            break;
        case kEqual:
            break;
        }
        MakeNumberCell(b, 0, r, first);
        store.PutCell(b.bytes, cursor);
        MakeNumberCell(b, 1, r, second);
        store.PutCell(b.bytes, cursor);
    }
}

void BM_SortRows(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    CCellStore store;
    FillKeys(store, rows, Shape(state.range(1)));
    CEvalContext ctx;
    const uint16_t columns[] = {0, 1};
    const uint8_t ascending[] = {1, 1};
    std::vector<uint32_t> perm(rows);
    for (auto _ : state) {
        SortRows(ctx, store, 0, rows - 1, 2, columns, ascending, perm.data());
        benchmark::DoNotOptimize(perm.data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_SortRows)
    ->ArgsProduct({{100000, 1000000}, {kRandom, kSorted, kReversed, kEqual}})
    ->Unit(benchmark::kMillisecond);

// The whole Sort command: the permutation, the rows moved with their styles, the undo entry.
void BM_SortSelection(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    auto book = CreateWorkbook();
    NewWorkbook(*book);
    AttachEvalContext(*book);
    book->SetUndoLevel(2);
    book->updateMode = 3; // manual: no recalculation inside the timing
    FillKeys(book->tree.active->cells, rows, kRandom);
    const uint16_t columns[] = {0, 1};
    uint8_t ascending[] = {1, 1};
    for (auto _ : state) {
        ascending[0] ^= 1; // each pass reorders every row
        SortSelection(*book, {{0, 0, 1, rows - 1}, 0, 0}, 2, columns, ascending);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_SortSelection)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Every one of 1,000,000 text cells matches and is entered anew.
void BM_ReplaceInRange(benchmark::State& state) {
    const uint32_t rows = 1000000;
    auto book = CreateWorkbook();
    NewWorkbook(*book);
    AttachEvalContext(*book);
    CWorksheet& ws = *book->tree.active;
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer b;
    for (uint32_t r = 0; r < rows; ++r) {
        MakeTextCell(b, 0, r, "item b " + std::to_string(r % 977));
        ws.cells.PutCell(b.bytes, cursor);
    }
    bool forth = true;
    for (auto _ : state) {
        ReplaceInRange(*book, ws, {}, forth ? "b" : "c", forth ? "c" : "b",
                       {0, 0, kLastColumn, kLastRow});
        forth = !forth;
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ReplaceInRange)->Unit(benchmark::kMillisecond);

} // namespace
