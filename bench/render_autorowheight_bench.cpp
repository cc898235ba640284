// Auto Row Height over 1,000,000 rows of short texts: the custom flags cleared and every
// row measured again.

#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/rowcolumnsizes.h"
#include "model/workbook.h"
#include "qtmain.h"
#include "render/canvas.h"
#include "render/metrics.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace vl {

namespace {

void BM_AutoRowHeight(benchmark::State& state) {
    const uint32_t rows = 1000000;
    auto book = CreateWorkbook();
    if (!book || !NewWorkbook(*book)) std::abort();
    CWorksheet& sheet = *book->tree.active;
    CellBuffer b;
    CellCursor cursor;
    for (uint32_t r = 0; r < rows; ++r) {
        MakeTextCell(b, 0, r, "ab");
        if (!sheet.cells.PutCell(b.bytes, cursor)) std::abort();
    }
    CEvalContext ctx;
    ctx.worksheetList = book->tree.first;
    ctx.currentCells = &sheet.cells;
    CCellDisplay display{ctx, false};
    QImage image(16, 16, QImage::Format_RGB32);
    auto dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    for (auto _ : state) {
        state.PauseTiming();
        if (!SetCustomRowHeights(sheet.formats, 0, rows - 1, 30)) std::abort();
        state.ResumeTiming();
        ClearCustomRowHeights(sheet.formats, 0, rows - 1);
        if (!AutoFitRowHeights(*book, display, canvas, sheet, 0, rows - 1)) std::abort();
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(state.iterations()) * rows, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AutoRowHeight)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QGuiApplication>(argc, argv);
}
