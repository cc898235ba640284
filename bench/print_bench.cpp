// Printing throughput on 100,000 rows x 6 columns of numbers and short texts, Letter paper
// at 300 dpi: pagination in pages per second, and painting the first and the last tenth of
// the pages into a PDF, whose rates should match.

#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/workbook.h"
#include "print/pagepaint.h"
#include "print/printjob.h"
#include "qtmain.h"
#include "render/canvas.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace vl {

namespace {

struct Document {
    std::unique_ptr<CWorkbook> book = CreateWorkbook();
    CWorksheet* sheet = nullptr;
    CEvalContext ctx;
    CCellDisplay display{ctx, false};
    DeviceMode mode;

    Document() {
        sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
        sheet->InitViewSettings();
        sheet->InitPageSetup();
        for (uint32_t row = 0; row < 100000; ++row)
            for (uint16_t column = 0; column < 6; ++column) {
                CellBuffer b;
                const bool made = column % 2
                                      ? MakeTextCell(b, column, row, "t" + std::to_string(row))
                                      : MakeNumberCell(b, column, row, row * 1.5 + column);
                CellCursor cursor;
                if (!made || !sheet->cells.PutCell(b.bytes, cursor)) std::abort();
            }
        mode.printer = PdfPrinter();
        mode.printer.dpi = 300;
        mode.paper = {"Letter", 1, QPageSize(QPageSize::Letter)};
    }
};

// A canvas that measures as the printer would, on a small image.
struct MeasuringCanvas {
    QImage image{8, 8, QImage::Format_RGB32};
    std::unique_ptr<CDeviceContext> dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    MeasuringCanvas() {
        canvas.AttachDC(dc.get());
        canvas.SetPrintFlags(true, false);
    }
};

// Letter paper at 300 dpi, without an unprintable edge.
constexpr DeviceCaps kLetter300{2550, 3300, 0, 0, 2550, 3300, 300, 300, 216, 279};

Document& Shared() {
    static Document document;
    return document;
}

void BM_Paginate(benchmark::State& state) {
    Document& d = Shared();
    MeasuringCanvas measuring;
    CCanvas& canvas = measuring.canvas;
    const DeviceCaps& caps = kLetter300;
    uint64_t pages = 0;
    for (auto _ : state) {
        ZoomPair scale{};
        const PrintMetrics m = ComputePrintMetrics(caps, d.sheet->pageSetup, 96, 96, true, scale);
        if (!PaginateSheet(*d.book, canvas, *d.sheet, m, scale)) std::abort();
        pages += PageListCount(*d.book);
    }
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Paginate)->Unit(benchmark::kMillisecond);

// Pagination by the used area's extent: A1:C2 and one cell at (arg 0 row, arg 1 column), the
// last of them at the worksheet's last row and column. Within the page limit the list is
// built whole; past it pagination ends refused, in a bounded time.
void BM_PaginateExtent(benchmark::State& state) {
    auto book = CreateWorkbook();
    CWorksheet* sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
    sheet->InitViewSettings();
    sheet->InitPageSetup();
    const auto put = [&](uint16_t column, uint32_t row) {
        CellBuffer b;
        CellCursor cursor;
        if (!MakeNumberCell(b, column, row, row) || !sheet->cells.PutCell(b.bytes, cursor))
            std::abort();
    };
    for (uint32_t row = 0; row < 2; ++row)
        for (uint16_t column = 0; column < 3; ++column) put(column, row);
    put(uint16_t(state.range(1)), uint32_t(state.range(0)));
    MeasuringCanvas measuring;
    CCanvas& canvas = measuring.canvas;
    const DeviceCaps& caps = kLetter300;
    uint64_t pages = 0;
    bool refused = false;
    for (auto _ : state) {
        ZoomPair scale{};
        const PrintMetrics m = ComputePrintMetrics(caps, sheet->pageSetup, 96, 96, true, scale);
        book->error = kErrorNone;
        if (PaginateSheet(*book, canvas, *sheet, m, scale))
            pages += PageListCount(*book);
        else if (book->error == kErrorTooManyPages)
            refused = true;
        else
            std::abort();
    }
    state.counters["pages"] = double(pages) / double(state.iterations());
    state.counters["refused"] = refused;
}
BENCHMARK(BM_PaginateExtent)
    ->Args({1000, 10})
    ->Args({100000, 10})
    ->Args({100000, 200})
    ->Args({1000000, 20})
    ->Args({2097151, 2046})
    ->Unit(benchmark::kMillisecond);

// Arg 0: the first tenth of the sheets, 1: the last tenth.
void BM_PrintTenthToPdf(benchmark::State& state) {
    Document& d = Shared();
    QTemporaryDir dir;
    uint64_t sheets = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPrinter(printer, d.mode, dir.filePath("bench.pdf").toStdString());
        auto dc = CDeviceContext::ForDevice(printer);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        canvas.SetPrintFlags(true, false);
        ZoomPair scale{};
        const PrintMetrics m =
            ComputePrintMetrics(CapsOf(printer), d.sheet->pageSetup, 96, 96, true, scale);
        state.PauseTiming();
        if (!PaginateSheet(*d.book, canvas, *d.sheet, m, scale)) std::abort();
        const uint32_t count = SheetCount(*d.book, d.sheet->pageSetup);
        state.ResumeTiming();
        const uint32_t tenth = count / 10;
        const uint32_t first = state.range(0) ? count - tenth : 0;
        for (uint32_t n = first; n < first + tenth; ++n) {
            if (n > first) printer.newPage();
            const int level = dc->SaveDC();
            PaintPrintPage(*d.book, d.display, canvas, n, *d.sheet, m, scale, "Book");
            dc->RestoreDC(level);
        }
        sheets += tenth;
        canvas.Release();
    }
    state.counters["pages/s"] = benchmark::Counter(double(sheets), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintTenthToPdf)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Printing by page count, as a user's printout into a PDF runs: one text at column J on row
// arg 0 makes a worksheet of that many pages' rows, paginated and painted whole through
// PrintWorksheets. The rate should not fall as the count grows.
void BM_PrintByPageCount(benchmark::State& state) {
    auto book = CreateWorkbook();
    CWorksheet* sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
    sheet->InitViewSettings();
    sheet->InitPageSetup();
    CellBuffer b;
    CellCursor cursor;
    if (!MakeTextCell(b, 9, uint32_t(state.range(0)), "z") ||
        !sheet->cells.PutCell(b.bytes, cursor))
        std::abort();
    CEvalContext ctx;
    CCellDisplay display(ctx, false);
    DeviceMode mode;
    mode.printer = PdfPrinter();
    mode.paper = {"A4", 1, QPageSize(QPageSize::A4)};
    QTemporaryDir dir;
    const std::string path = dir.filePath("count.pdf").toStdString();
    uint64_t sheets = 0;
    for (auto _ : state) {
        const PrintOutcome out = PrintWorksheets(*book, display, {sheet}, mode, path, "");
        if (out.error) std::abort();
        sheets += out.sheets;
    }
    state.counters["pages"] = double(sheets) / double(state.iterations());
    state.counters["pages/s"] = benchmark::Counter(double(sheets), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintByPageCount)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Arg(200000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QGuiApplication>(argc, argv);
}
