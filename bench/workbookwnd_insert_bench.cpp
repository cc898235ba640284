// Insert Date into 100,000 selected cells of a window, each cell typed input with its own
// undo entry. Goal: at least 100,000 cells a second, as fast with 200 undo levels as with 1.

#include "functions/bindall/bindall.h"
#include "model/workbook.h"
#include "qtmain.h"
#include "resources/commandids.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/workbookwndfactory.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace vl {

namespace {

void BM_InsertDate(benchmark::State& state) {
    CWorkbookWndFactory factory;
    std::unique_ptr<CWorkbookWnd> window(AsWorkbookWnd(factory.Create(nullptr, QString())));
    if (!window) return state.SkipWithError("no window");
    window->resize(1280, 1024);
    window->Book().SetUndoLevel(uint32_t(state.range(0)));
    window->Book().updateMode = 3;
    constexpr uint32_t kCells = 100000;
    for (auto _ : state) {
        window->View(0)->SetSelection({0, 0, 9, kCells / 10 - 1});
        window->HandleCommand(ID_INSERT_DATE);
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_InsertDate)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QApplication>(argc, argv, [] { vl::BindAllFunctions(); });
}
