// The worksheet tree of a large workbook: folders of nine worksheets each, the tree pane
// filled from the list and then walked from the first worksheet to the last by Next
// Worksheet. Goal: at least 100,000 items a second, linear in the items.

#include "functions/bindall/bindall.h"
#include "model/workbook.h"
#include "qtmain.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/workbookwndfactory.h"

#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace vl {

namespace {

std::unique_ptr<CWorkbookWnd> TreeWindow(int folders) {
    CWorkbookWndFactory factory;
    std::unique_ptr<CWorkbookWnd> window(AsWorkbookWnd(factory.Create(nullptr, QString())));
    if (!window) std::abort();
    CWorkbook& book = window->Book();
    for (int f = 0; f < folders; ++f) {
        if (!book.AppendTreeItem(TREE_TYPE_FOLDER, ("F" + std::to_string(f)).c_str(), 1))
            std::abort();
        for (int s = 0; s < 9; ++s)
            if (!book.AppendTreeItem(TREE_TYPE_WORKSHEET,
                                     ("S" + std::to_string(f) + "_" + std::to_string(s)).c_str(),
                                     2))
                std::abort();
    }
    window->resize(800, 600);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

void BM_TreeFillAndWalk(benchmark::State& state) {
    const int folders = int(state.range(0));
    auto window = TreeWindow(folders);
    CWorkbook& book = window->Book();
    int64_t items = 0;
    for (CTreeItem* p = book.tree.first; p; p = p->next) ++items;
    for (auto _ : state) {
        book.tree.active = static_cast<CWorksheet*>(book.tree.first);
        if (!window->TreePane()->Fill()) state.SkipWithError("the fill failed");
        CTreeItem* before = nullptr;
        while (before != book.tree.active) {
            before = book.tree.active;
            window->OnNextPrevWorksheet(true);
        }
        if (book.tree.active->next) state.SkipWithError("the walk stopped early");
    }
    state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_TreeFillAndWalk)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QApplication>(argc, argv, [] { vl::BindAllFunctions(); });
}
