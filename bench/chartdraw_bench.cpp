// Chart layout throughput: a chart of 16 series, each with a Dual axis of 100 intervals of
// 10 minor steps and its labels shown, laid out again and again on the screen's metrics
// (goal: 30 layouts a second).

#include "charts/draw/chartlayout.h"
#include "charts/scales.h"
#include "charts/seriesdata.h"
#include "model/cellstore.h"
#include "qtmain.h"
#include "render/canvas.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace vl {

namespace {

void BM_DrawChartLayout(benchmark::State& state) {
    auto chart = NewBlockObject<CChart>(kChart2D);
    chart->settings.seriesCount = kChartSeries;
    for (uint16_t k = 0; k < kChartSeries; ++k) {
        SeriesSettings& s = chart->series[k].settings;
        s.role = 1, s.axisType = 3, s.periods = 100, s.subperiods = 10;
        CCellStore store;
        for (uint32_t row = 0; row < 50; ++row) {
            CellBuffer b;
            MakeNumberCell(b, 0, row, row * (k + 1.5));
            CellCursor cursor;
            if (!store.PutCell(b.data(), cursor)) std::abort();
        }
        if (!CollectSeriesPoints(*chart, k, store.FirstPage(), 50, 1)) std::abort();
    }
    if (!UpdateChartScales(*chart)) std::abort();
    auto dc = CDeviceContext::ForScreen();
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    for (auto _ : state) {
        ClearChartLayout(*chart);
        if (!DrawChartLayout(*chart, &canvas, {0, 0, 4000, 3000}, 100, 100)) std::abort();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_DrawChartLayout)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QGuiApplication>(argc, argv);
}
