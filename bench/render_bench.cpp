// Drawing throughput: repainting a full screen of 50 x 40 cells of mixed texts, numbers,
// fonts, fills and borders into an image; the selection highlight over it; and paging
// down a sheet of a million rows at its start and at its end, where a slower row-height
// lookup would show; the first paint of a fractal container as large as the Contents/Size page
// allows (10,000 pixels a side), which is computed at most a 4K screen's size (target under
// a second).

#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/workbook.h"
#include "qtmain.h"
#include "render/canvas.h"
#include "render/highlight.h"
#include "render/paintsheet.h"
#include "render/scroll.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace vl {

namespace {

void Put(CWorksheet& sheet, const CellBuffer& b) {
    CellCursor cursor;
    if (!sheet.cells.PutCell(b.bytes, cursor)) std::abort();
}

// Fonts, fills and borders enough that neighbouring cells rarely share a style.
void AddStyles(CWorkbook& book) {
    const char* faces[] = {"Arial", "Liberation Serif", "Liberation Mono"};
    StyleTables& t = book.styles;
    for (int i = 0; i < 12; ++i) {
        FontRecord font;
        std::strcpy(font.faceName, faces[i % 3]);
        font.size = uint8_t(8 + i % 5 * 2);
        font.weight = uint8_t(i % 2 ? 2 : 0);
        uint8_t index = 0;
        FindOrAddFont(t, font, &index);
        StyleRecord s;
        s.fontRef.fontIndex = index;
        if (i % 3 == 0) s.fill = {uint8_t(1 + i % 18), 1, Rgb(200, 220, uint8_t(i * 20)), 0, 0};
        if (i % 4 == 1) {
            s.borderSides = 0x0F;
            s.borderLine = {uint8_t(1 + i % 5), 1, Rgb(0, 0, 128)};
        }
        s.horizontalAlignment = uint8_t(i % 4);
        t.styles[t.styleCount++] = s;
    }
}

struct Screen {
    std::unique_ptr<CWorkbook> book = CreateWorkbook();
    CWorksheet* sheet = nullptr;
    CEvalContext ctx;
    CCellDisplay display{ctx, false};
    QImage image{1920, 820, QImage::Format_RGB32};
    std::unique_ptr<CDeviceContext> dc;
    CCanvas canvas;
    const DcRect area{0, 0, 1919, 819};

    Screen() {
        sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
        sheet->InitViewSettings();
        AddStyles(*book);
        for (uint16_t c = 0; c < 50; ++c) sheet->formats.columns[c].width = (36 << 1) | 1;
        CellBuffer b;
        CellCursor runs;
        for (uint32_t r = 0; r < 40; ++r) {
            for (uint16_t c = 0; c < 50; ++c) {
                const uint32_t k = r * 50 + c;
                if (k % 3 == 0)
                    MakeTextCell(b, c, r, "text " + std::to_string(k));
                else
                    MakeNumberCell(b, c, r, k * 1.25);
                Put(*sheet, b);
                PutFormatRun(sheet->formats, {c, c, r, uint16_t(1 + k % 12)}, runs);
            }
        }
        image.fill(Qt::white);
        dc = CDeviceContext::ForImage(image);
        canvas.AttachDC(dc.get());
    }
};

void BM_PaintSheet(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        PaintSheet(*s.book, s.display, s.canvas, s.area, *s.sheet, 0, 0, {100, 100});
        s.canvas.RestoreObjects();
    }
    state.counters["repaints/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintSheet)->Unit(benchmark::kMillisecond);

void BM_PaintSelectionHighlight(benchmark::State& state) {
    Screen s;
    PaintSheet(*s.book, s.display, s.canvas, s.area, *s.sheet, 0, 0, {100, 100});
    s.canvas.RestoreObjects();
    const CellRange a{3, 2, 40, 30}, b{5, 4, 45, 35};
    bool flip = false;
    for (auto _ : state) {
        const CellRange& to = flip ? a : b;
        const CellRange& from = flip ? b : a;
        PaintSelectionHighlight(*s.book, s.canvas, s.area, *s.sheet, 0, 0, &from, to, {100, 100});
        s.canvas.RestoreObjects();
        flip = !flip;
    }
    state.counters["moves/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintSelectionHighlight)->Unit(benchmark::kMillisecond);

// A million rows with heights of their own and a cell every thousand rows.
struct TallSheet {
    std::unique_ptr<CWorkbook> book = CreateWorkbook();
    CWorksheet* sheet = nullptr;
    std::unique_ptr<CDeviceContext> dc = CDeviceContext::ForScreen();
    CCanvas canvas;

    TallSheet() {
        sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
        sheet->InitViewSettings();
        if (!sheet->formats.rowHeights.GrowTo2(1000000, 0, true)) std::abort();
        for (uint32_t r = 0; r < 1000000; r += 7)
            *sheet->formats.rowHeights.GetItem2(r) = uint16_t(((18 + r % 11) << 1) | 1);
        for (uint16_t c = 0; c < kMaxColumns; c += 3) sheet->formats.columns[c].autoRowHeight = 16;
        CellBuffer b;
        for (uint32_t r = 0; r < 1000000; r += 1000) {
            MakeNumberCell(b, 0, r, r);
            Put(*sheet, b);
        }
        canvas.AttachDC(dc.get());
    }
};

void BM_PageDown(benchmark::State& state) {
    static TallSheet tall;
    const uint32_t start = uint32_t(state.range(0));
    const DcRect view{0, 0, 1279, 899};
    uint32_t first = start, active = start;
    uint16_t column = 0;
    for (auto _ : state) {
        ScrollRowsPageDown(*tall.book, tall.canvas, view, *tall.sheet, first, column, active,
                           {100, 100});
        if (first > start + 20000) first = active = start;
    }
    state.counters["pages/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PageDown)->Arg(0)->Arg(975000)->Unit(benchmark::kMicrosecond);

void BM_FirstFractalPaint(benchmark::State& state) {
    const COLORREF palette[16] = {0x00FF00, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFFFF00, 0x808080,
                                  0x808000, 0xFF00FF, 0x008080, 0x800080, 0xFFFFFF, 0x000080,
                                  0x008000, 0x800000, 0xC0C0C0, 0x000000};
    const JuliaParams params{0.11, 0.66, -1.1, 1.1, -1.1, 1.1};
    const int32_t side = int32_t(state.range(0));
    QImage image(1920, 1080, QImage::Format_RGB32);
    std::unique_ptr<CDeviceContext> dc = CDeviceContext::ForImage(image);
    for (auto _ : state) {
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        PackedDib cache; // a first paint: nothing cached yet
        ErrorCode error = kErrorNone;
        canvas.DrawFractal({0, 0, side - 1, side - 1}, cache, palette, params, &error);
        if (error) std::abort();
        canvas.Release();
    }
}
BENCHMARK(BM_FirstFractalPaint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QGuiApplication>(argc, argv);
}
