// Chart painting throughput: 16 series of 10,000 (and 100,000) points per series painted
// into a 1,600 x 1,200 image, for every kind, with labels off and on; once as a repaint over
// the kept layout and once with the data collected, the scales, the layout and the paint
// (goal: 5 charts a second on one core for every kind with labels off, and a per-point cost
// at 100,000 points at most 1.2 times that at 10,000).

#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
#include "qtmain.h"
#include "render/canvas.h"
#include "tests/charts/draw/chartdrawtest.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace vl {

namespace {

// Kind, stacked and type of each benchmarked chart.
struct KindRow {
    uint8_t kind, stacked, type;
};
constexpr KindRow kKinds[] = {
    {1, 0, kChart2D}, {2, 0, kChart2D}, {1, 1, kChart2D}, {3, 0, kChart2D},
    {4, 1, kChart2D}, {6, 0, kChart2D}, {6, 0, kChartXY}, {5, 0, kChart2D},
};
const char* const kKindNames[] = {"column",       "bar",     "stacked column", "line",
                                  "stacked area", "scatter", "XY scatter",     "pie"};

struct Bench {
    std::unique_ptr<CChart> chart;
    std::vector<std::unique_ptr<CCellStore>> stores;
    uint32_t rows;

    Bench(const KindRow& row, bool labels, uint32_t points) : rows(points) {
        chart = charttest::NewDrawnChart(row.type);
        for (uint16_t k = 0; k < kChartSeries; ++k) {
            auto store = std::make_unique<CCellStore>();
            for (uint32_t r = 0; r < points; ++r) {
                CellBuffer b;
                MakeNumberCell(b, 0, r, 1 + (r * 7919u + k * 104729u) % 1000);
                CellCursor cursor;
                if (!store->PutCell(b.data(), cursor)) std::abort();
            }
            const bool domain = row.type == kChartXY && k < 8;
            InitSeries(*chart, k);
            SeriesSettings& s = chart->series[k].settings;
            s.role = domain ? 2 : 1;
            s.kind = row.kind;
            s.stacked = row.stacked;
            s.labels = labels ? 2 : 0;
            s.font.font = charttest::SansFont(7);
            std::snprintf(s.name, sizeof s.name, "S%u", unsigned(k));
            if (row.type == kChartXY && !domain)
                std::snprintf(s.relatedX, sizeof s.relatedX, "S%u", unsigned(k - 8));
            stores.push_back(std::move(store));
        }
        chart->settings.seriesCount = kChartSeries;
        Collect();
    }
    void Collect() {
        for (uint16_t k = 0; k < kChartSeries; ++k) {
            ResetSeriesData(*chart, k);
            if (!CollectSeriesPoints(*chart, k, stores[k]->FirstPage(), rows, 1)) std::abort();
        }
        chart->flags = 0;
        if (!UpdateChartScales(*chart)) std::abort();
    }
};

void Run(benchmark::State& state, bool full) {
    const KindRow& row = kKinds[state.range(0)];
    const uint32_t points = uint32_t(state.range(2));
    Bench bench(row, state.range(1) != 0, points);
    QImage image(1600, 1200, QImage::Format_RGB32);
    auto dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    const DcRect rect{0, 0, 1599, 1199};
    for (auto _ : state) {
        if (full) {
            bench.Collect();
        }
        if (full || !(bench.chart->flags & kChartLaidOut)) ClearChartLayout(*bench.chart);
        if (!DrawChartLayout(*bench.chart, &canvas, rect, 100, 100)) std::abort();
        FitChartPlotArea(*bench.chart, rect, canvas);
    }
    state.SetLabel(kKindNames[state.range(0)]);
    state.counters["charts/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["points/s"] = benchmark::Counter(
        double(state.iterations()) * points * kChartSeries, benchmark::Counter::kIsRate);
}

void BM_ChartRepaint(benchmark::State& state) {
    Run(state, false);
}
void BM_ChartRefreshLayoutPaint(benchmark::State& state) {
    Run(state, true);
}

void Arguments(benchmark::internal::Benchmark* b) {
    for (int kind = 0; kind < 8; ++kind) {
        b->Args({kind, 0, 10000});
        b->Args({kind, 1, 10000});
        b->Args({kind, 0, 100000});
    }
}
BENCHMARK(BM_ChartRepaint)->Apply(Arguments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartRefreshLayoutPaint)->Apply(Arguments)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QGuiApplication>(argc, argv);
}
