// The workbook window on a large workbook, offscreen in a 1280 x 1024 grid: opening a file
// of 1,000,000 number cells through the window, and reaching its last row by Ctrl+Page
// Down, by Page Down and by dragging the thumb, each step painted whole. Step rates are
// measured at the first rows and at the last ones; the goal is at least 30 painted steps per
// second, and at the last row no less than 0.9 times the rate at the first.

#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/workbookwndfactory.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr uint32_t kRows = 100000;
constexpr uint16_t kColumns = 10;
constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 1024;

const std::string& BookPath() {
    static const std::string path = [] {
        const std::string file =
            (std::filesystem::temp_directory_path() / "vorlane-bench-million.vlb").string();
        auto book = CreateWorkbook();
        if (!book || !NewWorkbook(*book)) std::abort();
        CWorksheet& sheet = *book->tree.active;
        CellCursor cursor;
        CellBuffer b;
        for (uint32_t r = 0; r < kRows; ++r)
            for (uint16_t c = 0; c < kColumns; ++c) {
                // Numbers of one length everywhere, so that the first rows and the last
                // show the same amount of text.
                MakeNumberCell(b, c, r, 1000 + (r * 7919u + c * 131u) % 9000 + 0.25 * (c % 4));
                if (!sheet.cells.PutCell(b.bytes, cursor)) std::abort();
            }
        if (!SaveWorkbookFile(*book, file.c_str(), 3)) std::abort();
        return file;
    }();
    return path;
}

std::unique_ptr<CWorkbookWnd> OpenWindow() {
    CWorkbookWndFactory factory;
    IWorkbookWnd* made = factory.Create(nullptr, QString::fromStdString(BookPath()));
    return std::unique_ptr<CWorkbookWnd>(AsWorkbookWnd(made));
}

// One window on the big workbook, its grid sized to 1280 x 1024.
struct Screen {
    std::unique_ptr<CWorkbookWnd> window = OpenWindow();
    CWorksheetView* view = nullptr;

    Screen() {
        if (!window) std::abort();
        window->Book().panes.treeShown = 0;
        window->resize(kViewWidth + 40, kViewHeight + 40);
        window->show();
        QCoreApplication::processEvents();
        view = window->View(0);
        for (int i = 0; i < 3; ++i) {
            const QSize have = view->viewport()->size();
            window->resize(window->width() + kViewWidth - have.width(),
                           window->height() + kViewHeight - have.height());
            QCoreApplication::processEvents();
        }
    }
    void Step(int code, int track = 0) {
        view->OnVScroll(code, track);
        view->Render();
    }
    void Home(uint32_t row) {
        view->SetSelection({0, row, 0, row});
        view->SetScrollPosition(row, 0);
        view->Render();
    }
};

// Made on first use and owned by main, so that it goes before the application object.
std::unique_ptr<Screen>* g_screen = nullptr;

Screen& TheScreen() {
    if (!*g_screen) *g_screen = std::make_unique<Screen>();
    return **g_screen;
}

void BM_OpenThroughWindow(benchmark::State& state) {
    BookPath();
    for (auto _ : state) {
        auto window = OpenWindow();
        benchmark::DoNotOptimize(window.get());
    }
    state.counters["cells/s"] = benchmark::Counter(double(state.iterations()) * kRows * kColumns,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OpenThroughWindow)->Unit(benchmark::kMillisecond);

void Report(benchmark::State& state) {
    state.counters["steps/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    const QSize size = TheScreen().view->viewport()->size();
    state.SetLabel(std::to_string(size.width()) + "x" + std::to_string(size.height()));
}

// Page Down from the first row, or through the last pages; back to the start when the
// pages run out (not timed).
void BM_PageDown(benchmark::State& state) {
    Screen& s = TheScreen();
    const uint32_t start = state.range(0) ? kRows - 2000 : 0;
    s.Home(start);
    for (auto _ : state) {
        s.Step(SB_PAGEDOWN);
        if (s.view->Selection().r1 >= start + 1900) {
            state.PauseTiming();
            s.Home(start);
            state.ResumeTiming();
        }
    }
    Report(state);
}
BENCHMARK(BM_PageDown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Ctrl+Page Down reaches the last row in one step; Ctrl+Page Up goes back to the first.
void BM_CtrlPageDown(benchmark::State& state) {
    Screen& s = TheScreen();
    s.Home(0);
    bool down = true;
    for (auto _ : state) {
        s.view->OnKeyDown(down ? Qt::Key_PageDown : Qt::Key_PageUp, Qt::ControlModifier);
        s.view->Render();
        down = !down;
    }
    if (s.view->Selection().r1 != 0 && s.view->Selection().r1 != kRows - 1)
        state.SkipWithError("Ctrl+Page Down did not reach the last row");
    Report(state);
}
BENCHMARK(BM_CtrlPageDown)->Unit(benchmark::kMillisecond);

// The thumb dragged 50 rows at a time from the first row, or over the last rows.
void BM_ThumbDrag(benchmark::State& state) {
    Screen& s = TheScreen();
    const int start = state.range(0) ? int(kRows) - 5000 : 0;
    s.Home(uint32_t(start));
    s.view->UpdateScrollBars(true, true);
    int track = start;
    s.Step(SB_THUMBTRACK, track);
    for (auto _ : state) {
        track += 50;
        if (track > start + 4900) {
            state.PauseTiming();
            s.Step(SB_THUMBPOSITION);
            s.Home(uint32_t(start));
            track = start;
            s.Step(SB_THUMBTRACK, track);
            state.ResumeTiming();
            continue;
        }
        s.Step(SB_THUMBTRACK, track);
    }
    s.Step(SB_THUMBPOSITION);
    Report(state);
}
BENCHMARK(BM_ThumbDrag)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vl::BindAllFunctions();
    std::unique_ptr<vl::Screen> screen;
    vl::g_screen = &screen;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    screen.reset();
    std::filesystem::remove(vl::BookPath());
    return 0;
}
