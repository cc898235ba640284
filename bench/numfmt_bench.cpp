// Rendering numbers and dates through format codes, with the compiled codes cached and
// compiled afresh for every value.

#include "core/settings.h"
#include "values/numfmt_cache.h"
#include "values/numfmt_date.h"
#include "values/numfmt_number.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace vl;

constexpr int kValues = 1000000;

void RenderNumbers(benchmark::State& state, bool cached) {
    SetFormatCacheEnabled(cached);
    std::string text;
    for (auto _ : state) {
        for (int k = 0; k < kValues; ++k) {
            double value = (k - kValues / 2) * 12.345;
            FormatValueText(value, "#,##0.00", text, &UserSeparators());
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kValues);
    SetFormatCacheEnabled(true);
}

void RenderDates(benchmark::State& state, bool cached) {
    SetFormatCacheEnabled(cached);
    static const char* kDates[] = {"2006-01-31", "1999-12-31T23:59:59", "2024-02-29T08:05:00",
                                   "1985-03-04"};
    std::string text;
    for (auto _ : state) {
        for (int k = 0; k < kValues; ++k) {
            FormatDateText(kDates[k & 3], "dddd, mmmm dd, yyyy", text, &UserSeparators());
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kValues);
    SetFormatCacheEnabled(true);
}

// A sheet's worth of 100,000 numbers of uneven size and sign, each through one of the
// codes a workbook commonly holds, into the rendered list the painter reads.
void BM_HundredThousandFormatted(benchmark::State& state) {
    static const char* kCodes[] = {"#,##0.00",           "0.00%", "0",        "# ?/?", "0.00E+00",
                                   "#,##0;[red](#,##0)", "0.000", "#,##0.00,"};
    constexpr int kCount = 100000;
    RenderedList list;
    for (auto _ : state) {
        for (int k = 0; k < kCount; ++k) {
            double value = (k - kCount / 3) * 1.0137 * ((k % 7) + 0.5) / ((k % 5) * 100 + 1);
            FormatNumberValue(list, value, kCodes[k % 8], &UserSeparators());
            benchmark::DoNotOptimize(list.count);
        }
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
// A fixed count, so that whole-process timings of two builds compare.
BENCHMARK(BM_HundredThousandFormatted)->Unit(benchmark::kMillisecond)->Iterations(60);

void BM_NumbersCached(benchmark::State& state) {
    RenderNumbers(state, true);
}
void BM_NumbersCompiledEachTime(benchmark::State& state) {
    RenderNumbers(state, false);
}
void BM_DatesCached(benchmark::State& state) {
    RenderDates(state, true);
}
void BM_DatesCompiledEachTime(benchmark::State& state) {
    RenderDates(state, false);
}

BENCHMARK(BM_NumbersCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumbersCompiledEachTime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatesCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatesCompiledEachTime)->Unit(benchmark::kMillisecond);

} // namespace
