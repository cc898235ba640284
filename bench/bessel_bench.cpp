// Bessel functions of large order: the library's recurrences walk through every order up to
// n, the uniform expansion costs the same at every order.
#include "functions/general/largeorderbessel.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// x = 1.5 n: the recurrences run forward from orders 0 and 1.
void BM_LibraryJ(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(jn(n, 1.5 * n));
}
BENCHMARK(BM_LibraryJ)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_LibraryY(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(yn(n, 1.5 * n));
}
BENCHMARK(BM_LibraryY)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// x in tenths of n: below, at and beyond the turning point.
void BM_ExpansionJ(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const double x = n * (state.range(1) / 10.0);
    for (auto _ : state) benchmark::DoNotOptimize(vl::LargeOrderBesselJ(n, x));
}
BENCHMARK(BM_ExpansionJ)
    ->ArgsProduct({{100000, 1000000, 2147483647}, {9, 10, 15, 100}})
    ->Unit(benchmark::kMicrosecond);

void BM_ExpansionY(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const double x = n * (state.range(1) / 10.0);
    for (auto _ : state) benchmark::DoNotOptimize(vl::LargeOrderBesselY(n, x));
}
BENCHMARK(BM_ExpansionY)
    ->ArgsProduct({{100000, 1000000, 2147483647}, {9, 10, 15, 100}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
