// The View page's eleven previews of a 3D chart drawn again, and the X rotation held on a
// container of four 3D charts of 16 series of 100 points, each step applied and the charts
// laid out and painted. Goals: at least 20 full sets of previews and 30 applied steps a
// second on one core.
#include "charts/draw/containerpainter.h"
#include "charts/scales.h"
#include "charts/seriesdata.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/containeredit.h"
#include "dialogs/chart/options3dpage.h"
#include "dialogs/chart/viewpage.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/workbook.h"
#include "platform/gui/devicecontext.h"
#include "render/canvas.h"

#include <QApplication>
#include <QImage>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <cmath>

namespace vl {

namespace {

void BM_ViewPreviews3D(benchmark::State& state) {
    for (auto _ : state)
        for (int i = 0; i < 11; ++i) benchmark::DoNotOptimize(DrawViewPreview(kChart3D, i, 80));
    state.counters["sets/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ViewPreviews3D)->Unit(benchmark::kMillisecond);

void Collect(CChart& chart, uint16_t n) {
    CCellStore store;
    for (uint32_t row = 0; row < 100; ++row) {
        CellBuffer b;
        CellCursor cursor;
        MakeNumberCell(b, 0, row, 2 + std::sin(row * 0.1 + n));
        store.PutCell(b.data(), cursor);
    }
    ResetSeriesData(chart, n);
    CollectSeriesPoints(chart, n, store.FirstPage(), 100, 1);
}

void BM_RotateXApplied(benchmark::State& state) {
    auto book = CreateWorkbook();
    auto sheetContainer = NewBlockObject<CContainer>();
    CContainer& target = *sheetContainer;
    InitContainerDefaults(target, nullptr, nullptr);
    target.settings.id = 1;
    target.settings.right = 799;
    target.settings.bottom = 599;
    QImage image(800, 600, QImage::Format_RGB32);
    ContainerDlgHost host;
    // The applied copy replaces the sheet's container, which is laid out and painted again.
    host.apply = [&](const CContainer& edited) {
        CopyContainerTo(edited, target);
        for (int k = 0; k < target.settings.objectCount; ++k) {
            CChart& chart = *target.slots[k].chart;
            for (uint16_t n = 0; n < chart.settings.seriesCount; ++n) Collect(chart, n);
            UpdateChartScales(chart);
        }
        auto dc = CDeviceContext::ForImage(image);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        PaintContainer(*book, target, canvas, {0, 0, 799, 599}, 100, 100);
    };
    CContainerPropertiesDlg dlg(std::move(host), nullptr);
    dlg.Open(&target);
    CContainer& work = dlg.Working();
    for (int k = 0; k < 4; ++k) {
        AddChartObject(work, kChart3D);
        CChart& chart = *work.slots[k].chart;
        for (int n = 0; n < 16; ++n) chart.series[AddChartSeries(chart)].settings.role = 1;
    }
    dlg.ChooseObject(2);
    dlg.Tabs()->setCurrentIndex(7);
    auto* page = static_cast<CChart3DOptionsPage*>(dlg.Page(7));
    for (auto _ : state) page->OnRotate(1, 1);
    state.counters["steps/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RotateXApplied)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
