// 3D charts of 16 series of 1,000 and 10,000 points (columns, lines, areas) and pies of
// 1,000 and 10,000 slices into a 1,600 x 1,200 image: the layout (faces, projection, depth
// sort) and the drawing measured apart, in charts and faces a second. Goals: layout and
// drawing of 16 x 1,000 at least 5 charts a second; the layout of ten times the points at
// most twelve times the time; the drawing's cost a face at 10,000 points at most 1.2 times
// that at 1,000.

#include "charts/draw/chart3d.h"
#include "charts/draw/chartlayout.h"
#include "charts/scales.h"
#include "model/chartprojection.h"
#include "model/viewtransform.h"
#include "qtmain.h"
#include "render/canvas.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace vl {

namespace {

constexpr DcRect kRect{0, 0, 1599, 1199};

// A chart of `series` series of `points` values of the kind, turned as a user would.
std::unique_ptr<CChart> Chart(uint8_t kind, int series, uint32_t points) {
    auto chart = NewBlockObject<CChart>(kChart3D);
    chart->settings.seriesCount = uint8_t(series);
    for (int k = 0; k < series; ++k) {
        CChartSeries& s = chart->series[k];
        s.settings.role = 1, s.settings.kind = kind;
        for (uint32_t j = 0; j < points; ++j) {
            ChartPoint p;
            p.value = 10 + 8 * std::sin(0.01 * j + k) + k;
            p.flags = kPointPositive;
            if (!s.points.AppendItem16(&p)) std::abort();
        }
    }
    if (!UpdateChartScales(*chart)) std::abort();
    ApplyChartTransform(chart->viewMatrix, kRotateX, ChartDegreesToRadians(-30));
    ApplyChartTransform(chart->viewMatrix, kRotateY, ChartDegreesToRadians(20));
    return chart;
}

void Args(benchmark::internal::Benchmark* b) {
    for (int kind : {7, 9, 10}) b->Args({kind, 16, 1000})->Args({kind, 16, 10000});
    b->Args({11, 1, 1000})->Args({11, 1, 10000});
}

struct Screen {
    std::unique_ptr<CDeviceContext> dc = CDeviceContext::ForScreen();
    CCanvas canvas;
    Screen() { canvas.AttachDC(dc.get()); }
};

void Report(benchmark::State& state, const CChart& chart) {
    state.counters["charts/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["faces/s"] = benchmark::Counter(
        double(state.iterations()) * chart.faces.ItemCount(), benchmark::Counter::kIsRate);
    state.counters["faces"] = double(chart.faces.ItemCount());
}

void BM_Layout3D(benchmark::State& state) {
    auto chart = Chart(uint8_t(state.range(0)), int(state.range(1)), uint32_t(state.range(2)));
    Screen screen;
    for (auto _ : state) {
        ClearChartLayout(*chart);
        if (!DrawChartLayout(*chart, &screen.canvas, kRect, 100, 100)) std::abort();
    }
    Report(state, *chart);
}
BENCHMARK(BM_Layout3D)->Apply(Args)->Unit(benchmark::kMillisecond);

// Moves the view coordinates by the plot centre, y mirrored, as the container painter does.
void PlaceOnDevice(CChart& chart, float sign) {
    int32_t w = 0, h = 0;
    int32_t margins[4];
    std::copy(chart.margins, chart.margins + 4, margins);
    ApplyChartViewSize(chart, kRect, w, h);
    std::copy(margins, margins + 4, chart.margins);
    const float cx = float(w / 2 + chart.margins[0]), cy = float(h / 2 + chart.margins[1]);
    for (uint32_t i = 0; i < chart.vertices.ItemCount(); ++i) {
        ChartVertex v = LoadVertex(chart, i);
        v.viewX = sign > 0 ? cx + v.viewX : v.viewX - cx;
        v.viewY = cy - v.viewY;
        StoreVertex(chart, i, v);
    }
}

void BM_Draw3D(benchmark::State& state) {
    auto chart = Chart(uint8_t(state.range(0)), int(state.range(1)), uint32_t(state.range(2)));
    Screen screen;
    if (!DrawChartLayout(*chart, &screen.canvas, kRect, 100, 100)) std::abort();
    PlaceOnDevice(*chart, 1);
    QImage image(1600, 1200, QImage::Format_RGB32);
    auto dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    chart->canvas = &canvas;
    for (auto _ : state) {
        image.fill(Qt::white);
        DrawChart3D(*chart, false);
    }
    Report(state, *chart);
}
BENCHMARK(BM_Draw3D)->Apply(Args)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QGuiApplication>(argc, argv);
}
