// The clipboard's paths and the series fill. Goals: pasting text at least 500,000 cells a
// second in, copying to text 2 million out, pasting from the copy history into another
// workbook 5 million, ten times the cells in at most 12 times the time; filling numbers
// 5 million and dates 1 million rows a second, beside a full column at most 3 times the cost.

#include "formula/edit/clipboardtext.h"
#include "formula/edit/datacommands.h"
#include "formula/edit/editcommands.h"
#include "formula/workbookcontext.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

using namespace vl;

constexpr uint16_t kColumns = 10;

std::unique_ptr<CWorkbook> Book() {
    auto book = CreateWorkbook();
    NewWorkbook(*book);
    AttachEvalContext(*book);
    book->SetUndoLevel(2);
    book->updateMode = 3; // manual: no recalculation inside the timing
    return book;
}

// Ten columns of numbers and texts, `cells` in all.
void FillBlock(CCellStore& store, uint32_t cells) {
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer b;
    for (uint32_t i = 0; i < cells; ++i) {
        const uint16_t c = uint16_t(i % kColumns);
        const uint32_t r = i / kColumns;
        if (c % 2)
            MakeTextCell(b, c, r, "item " + std::to_string(i % 997));
        else
            MakeNumberCell(b, c, r, double(i) * 0.25);
        store.PutCell(b.bytes, cursor);
    }
}

std::string BlockText(uint32_t cells) {
    auto book = Book();
    FillBlock(book->tree.active->cells, cells);
    std::string text;
    WriteRangeText(book->tree.active->cells, {0, 0, kColumns - 1, cells / kColumns - 1}, text);
    return text;
}

void BM_PasteText(benchmark::State& state) {
    const uint32_t cells = uint32_t(state.range(0));
    const std::string text = BlockText(cells);
    auto book = Book();
    for (auto _ : state) PasteTextCommand(*book, *EditContext(*book), {{0, 0, 0, 0}, 0, 0}, text);
    state.SetItemsProcessed(state.iterations() * cells);
}
BENCHMARK(BM_PasteText)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_CopyToText(benchmark::State& state) {
    const uint32_t cells = uint32_t(state.range(0));
    auto book = Book();
    FillBlock(book->tree.active->cells, cells);
    std::string text;
    for (auto _ : state) {
        WriteRangeText(book->tree.active->cells, {0, 0, kColumns - 1, cells / kColumns - 1}, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * cells);
}
BENCHMARK(BM_CopyToText)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A copy kept in a history, pasted into another workbook with its formats.
void BM_PasteFromHistory(benchmark::State& state) {
    const uint32_t cells = uint32_t(state.range(0));
    auto source = Book();
    FillBlock(source->tree.active->cells, cells);
    auto history = std::make_unique<UndoHistory>();
    history->maximum = 0;
    RangeDescriptor range;
    MakeRangeDescriptor({0, 0, kColumns - 1, cells / kColumns - 1}, &range);
    SnapshotRangeToUndo(*source, *source->tree.active, range, *history, history->current, true,
                        true);
    source.reset();
    auto target = Book();
    for (auto _ : state)
        PasteRangeFromEntry(*target, *target->tree.active, {2, 2, 2, 2}, *history, 0, true, true);
    state.SetItemsProcessed(state.iterations() * cells);
}
BENCHMARK(BM_PasteFromHistory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A column of 1,000,000 rows from one number or one date; with the flag, beside a full
// column.
void BM_FillSeries(benchmark::State& state) {
    const bool dates = state.range(0) != 0, beside = state.range(1) != 0;
    const uint32_t rows = 1000000;
    auto book = Book();
    CCellStore& cells = book->tree.active->cells;
    CellCursor cursor{kAdvance, nullptr, 0};
    CellBuffer b;
    if (beside)
        for (uint32_t r = 0; r < rows; ++r) {
            MakeNumberCell(b, 0, r, double(r));
            cells.PutCell(b.bytes, cursor);
        }
    for (auto _ : state) {
        state.PauseTiming();
        CellCursor first;
        if (dates)
            MakeTextCell(b, 1, 0, "2024-01-31");
        else
            MakeNumberCell(b, 1, 0, 1);
        cells.PutCell(b.bytes, first);
        state.ResumeTiming();
        FillSeriesCommand(*book, *EditContext(*book), {{1, 0, 1, rows - 1}, 0, 0});
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_FillSeries)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
