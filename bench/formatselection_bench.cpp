// The format commands' work on a large selection: comparing 1,000,000 rows x 3 columns whose
// styles alternate by row, Bold over the range and over the whole columns A:C (with the
// style compaction after it) at two sizes, and Row Height over 1,000,000 rows.

#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/rowcolumnsizes.h"
#include "model/selectionstyles.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace vl {

namespace {

// Rows of three cells in one run each, styles 1 and 2 by turns.
std::unique_ptr<CWorkbook> Alternating(uint32_t rows) {
    auto book = CreateWorkbook();
    if (!book || !NewWorkbook(*book)) std::abort();
    StyleTables& t = book->styles;
    for (uint8_t kind : {4, 5}) {
        StyleRecord s;
        s.numberFormat.kind = kind;
        t.styles[t.styleCount++] = s;
    }
    CFormatStore& formats = book->tree.active->formats;
    CellCursor cursor;
    for (uint32_t r = 0; r < rows; ++r)
        if (!PutFormatRun(formats, {0, 2, r, uint16_t(1 + r % 2)}, cursor)) std::abort();
    return book;
}

void BM_CompareSelection(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    auto book = Alternating(rows);
    for (auto _ : state) {
        SelectionStyle s =
            CompareSelectionStyles(book->styles, 0, 2, 0, rows - 1, book->tree.active->formats);
        benchmark::DoNotOptimize(s.mixed);
    }
    state.counters["runs/s"] =
        benchmark::Counter(double(state.iterations()) * rows, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CompareSelection)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Bold over the rows of a fresh book by `apply`, then the compaction; runs counted by rows.
template <class Apply> void BoldAndCompact(benchmark::State& state, Apply apply) {
    const uint32_t rows = uint32_t(state.range(0));
    FontRecord bold;
    bold.weight = 2;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = Alternating(rows);
        state.ResumeTiming();
        if (!apply(*book, rows, bold)) std::abort();
        book->CompactStyleTables();
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
    state.counters["runs/s"] =
        benchmark::Counter(double(state.iterations()) * rows, benchmark::Counter::kIsRate);
}

void BM_BoldRange(benchmark::State& state) {
    BoldAndCompact(state, [](CWorkbook& book, uint32_t rows, const FontRecord& bold) {
        return ApplyStyleToRange(book.styles, 0, 2, 0, rows - 1, book.tree.active->formats,
                                 kAttrFontWeight, StyleRecord{}, bold);
    });
}
BENCHMARK(BM_BoldRange)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_BoldWholeColumns(benchmark::State& state) {
    BoldAndCompact(state, [](CWorkbook& book, uint32_t, const FontRecord& bold) {
        for (uint16_t c = 0; c <= 2; ++c)
            if (!ApplyStyleToColumn(book.styles, c, book.tree.active->formats, kAttrFontWeight,
                                    StyleRecord{}, bold))
                return false;
        return true;
    });
}
BENCHMARK(BM_BoldWholeColumns)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RowHeight(benchmark::State& state) {
    const uint32_t rows = 1000000;
    CFormatStore store;
    InitFormatStore(store);
    uint16_t height = 20;
    for (auto _ : state) {
        if (!SetCustomRowHeights(store, 0, rows - 1, height)) std::abort();
        height = uint16_t(height == 20 ? 30 : 20);
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(state.iterations()) * rows, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RowHeight)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
