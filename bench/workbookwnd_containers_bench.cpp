// The X rotation held in the container properties window of a workbook window: a container
// of four 3D charts of 16 series of 100 cells each, every step applied through the window's
// Apply (one undo entry, the charts refreshed from the worksheet) and the container painted
// again, at the size Insert Container gives (argument 0) and at 800 by 600 pixels (1). Goal:
// at least 30 applied steps a second on one core.

#include "charts/seriesdata.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/containeredit.h"
#include "dialogs/chart/options3dpage.h"
#include "functions/bindall/bindall.h"
#include "model/cellrecord.h"
#include "model/container.h"
#include "model/workbook.h"
#include "qtmain.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/workbookwndfactory.h"

#include <QApplication>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace vl {

namespace {

// Columns 1 to 16 of rows 1 to 100 hold the series' values.
void FillValues(CWorksheet& sheet) {
    CellCursor cursor;
    for (uint16_t column = 0; column < 16; ++column)
        for (uint32_t row = 0; row < 100; ++row) {
            CellBuffer b;
            MakeNumberCell(b, column, row, 2 + std::sin(row * 0.1 + column));
            if (!sheet.cells.PutCell(b.data(), cursor)) std::abort();
        }
}

// A container as Insert Container makes it (350 by 250 pixels), or 800 by 600 when `large`.
CContainer& AddRotatingContainer(CWorksheet& sheet, bool large) {
    auto c = NewBlockObject<CContainer>();
    const CellRef anchor{0, 0, 0};
    InitContainerDefaults(*c, &anchor, nullptr);
    c->settings.id = 1;
    if (large) {
        c->settings.right = c->settings.left + 799;
        c->settings.bottom = c->settings.top + 599;
    }
    for (int k = 0; k < 4; ++k) {
        if (AddChartObject(*c, kChart3D) != 0) std::abort();
        CChart& chart = *c->slots[k].chart;
        for (int n = 0; n < 16; ++n) {
            CChartSeries& s = chart.series[AddChartSeries(chart)];
            s.settings.role = 1;
            const std::string range =
                "R1C" + std::to_string(n + 1) + ":R100C" + std::to_string(n + 1);
            std::strncpy(s.settings.dataArray, range.c_str(), kDataArraySize - 1);
        }
    }
    CContainer& ref = *c;
    LinkContainer(sheet, std::move(c));
    return ref;
}

void BM_RotateXAppliedInTheWindow(benchmark::State& state) {
    InstallChartRefresh();
    CWorkbookWndFactory factory;
    std::unique_ptr<CWorkbookWnd> window(AsWorkbookWnd(factory.Create(nullptr, QString())));
    if (!window) std::abort();
    window->resize(1000, 800);
    window->show();
    CWorksheet& sheet = *window->Book().tree.active;
    FillValues(sheet);
    CContainer& container = AddRotatingContainer(sheet, state.range(0) != 0);
    window->OpenContainerProperties(container);
    CContainerPropertiesDlg& dlg = *window->ContainerProperties();
    dlg.ChooseObject(2);
    dlg.Tabs()->setCurrentIndex(7);
    auto* page = dynamic_cast<CChart3DOptionsPage*>(dlg.Page(7));
    if (!page) std::abort();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        page->OnRotate(1, 1);
        QCoreApplication::processEvents(); // the repaint the Apply asked for
    }
    if (container.slots[0].chart->series[15].points.ItemCount() != 100)
        state.SkipWithError("the charts were not refreshed");
    state.counters["steps/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    dlg.hide();
}
BENCHMARK(BM_RotateXAppliedInTheWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QApplication>(argc, argv, [] { vl::BindAllFunctions(); });
}
