// The View page's eleven previews of a 3D chart drawn again. Goal: at least 20 full sets a
// second on one core. The X rotation held in the window is measured with the workbook window
// (workbookwnd_containers_bench).
#include "dialogs/chart/viewpage.h"
#include "model/chart.h"
#include "qtmain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace vl {

namespace {

void BM_ViewPreviews3D(benchmark::State& state) {
    for (auto _ : state)
        for (int i = 0; i < 11; ++i) benchmark::DoNotOptimize(DrawViewPreview(kChart3D, i, 80));
    state.counters["sets/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ViewPreviews3D)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QApplication>(argc, argv);
}
