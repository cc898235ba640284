// Recalculation of many lookups into one table of constants, beside the same number of
// `=A1*2` formulas. Each case reports its time per formula ("per_formula"): a lookup should
// cost at most five times the simple formula, grow linearly with the number of lookups
// (ten times the lookups within twelve times the time) and not with the table (a table of
// 10,000 rows within twice the time of one of 100), for exact and approximate match alike.
#include "bench/benchbook.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

using namespace vl;

using benchbook::Book;

void Recalculate(benchmark::State& state, Book& book, uint32_t formulas) {
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    state.SetItemsProcessed(state.iterations() * int64_t(formulas));
    state.counters["per_formula"] =
        benchmark::Counter(double(formulas), benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}

// The key of lookup r: a table row spread over the table, even (present) for exact match and
// odd (between two rows) for approximate match.
double KeyOf(uint32_t r, uint32_t rows, bool between) {
    return 2.0 * double((uint64_t(r) * 7919u) % rows) + (between ? 1 : 0);
}

// Columns A:B hold the table (A sorted, B its values); column C the keys, column D the
// formulas.
void Run(benchmark::State& state, const char* formula, bool between) {
    const uint32_t lookups = uint32_t(state.range(0));
    const uint32_t rows = uint32_t(state.range(1));
    Book book;
    const std::string text = formula + std::to_string(rows) + (between ? "C2,2,1)" : "C2,2,0)");
    for (uint32_t r = 0; r < std::max(lookups, rows); ++r) {
        if (r < rows) {
            book.Number(0, r, 2.0 * r);
            book.Number(1, r, r + 0.25);
        }
        if (r < lookups) {
            book.Number(2, r, KeyOf(r, rows, between));
            book.Formula(3, r, text);
        }
    }
    Recalculate(state, book, lookups);
}

void BM_TimesTwo(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    for (uint32_t r = 0; r < n; ++r) {
        book.Number(0, r, r);
        book.Formula(1, r, "=RC[-1]*2");
    }
    Recalculate(state, book, n);
}
BENCHMARK(BM_TimesTwo)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_VlookupExact(benchmark::State& state) {
    Run(state, "=VLOOKUP(RC[-1],R1C1:R", false);
}
void BM_VlookupApproximate(benchmark::State& state) {
    Run(state, "=VLOOKUP(RC[-1],R1C1:R", true);
}
// Arguments: lookups, table rows.
BENCHMARK(BM_VlookupExact)
    ->Args({200000, 100})
    ->Args({20000, 10000})
    ->Args({200000, 10000})
    ->Args({200000, 100000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VlookupApproximate)
    ->Args({200000, 100})
    ->Args({20000, 10000})
    ->Args({200000, 10000})
    ->Args({200000, 100000})
    ->Unit(benchmark::kMillisecond);

// Lookups that each search a range of their own, which no index serves: the walk itself.
// Arguments: lookups, table rows (each range ends that many rows below its formula).
void BM_VlookupOwnRanges(benchmark::State& state) {
    const uint32_t lookups = uint32_t(state.range(0));
    const uint32_t rows = uint32_t(state.range(1));
    Book book;
    const std::string formula = "=VLOOKUP(RC[-1],RC1:R[" + std::to_string(rows - 1) + "]C2,2,0)";
    for (uint32_t r = 0; r < lookups + rows; ++r) {
        book.Number(0, r, 2.0 * r);
        book.Number(1, r, r + 0.25);
        if (r < lookups) {
            book.Number(2, r, 2.0 * (r + (uint64_t(r) * 7919u) % rows));
            book.Formula(3, r, formula);
        }
    }
    Recalculate(state, book, lookups);
}
BENCHMARK(BM_VlookupOwnRanges)
    ->Args({20000, 100})
    ->Args({2000, 1000})
    ->Unit(benchmark::kMillisecond);

// MATCH of texts, exact: names "item n" in column A, keys in column C.
void BM_MatchText(benchmark::State& state) {
    const uint32_t lookups = uint32_t(state.range(0));
    const uint32_t rows = uint32_t(state.range(1));
    Book book;
    const std::string formula = "=MATCH(RC[-1],R1C1:R" + std::to_string(rows) + "C1,0)";
    for (uint32_t r = 0; r < std::max(lookups, rows); ++r) {
        if (r < rows) book.Text(0, r, "item " + std::to_string(r));
        if (r < lookups) {
            book.Text(2, r, "ITEM " + std::to_string((uint64_t(r) * 7919u) % rows));
            book.Formula(3, r, formula);
        }
    }
    Recalculate(state, book, lookups);
}
BENCHMARK(BM_MatchText)->Args({200000, 10000})->Unit(benchmark::kMillisecond);

} // namespace
