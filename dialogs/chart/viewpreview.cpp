// The small charts of the View page: a chart of their own over fixed sample numbers, drawn
// by the chart drawing into a picture; the workbook is never touched.

#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
#include "charts/scales.h"
#include "charts/seriesdata.h"
#include "dialogs/chart/viewpage.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/viewtransform.h"
#include "platform/gui/devicecontext.h"
#include "render/canvas.h"

#include <cstring>
#include <vector>

namespace vl {

namespace {

constexpr double kSamples[3][6] = {
    {2.0, 3.4, 4.5, 4.1, 3.1, 3.9}, {1.1, 4.1, 4.4, 2.2, 4.8, 4.5}, {2.6, 2.9, 4.7, 4.9, 3.9, 3.7}};
constexpr double kXValues[6] = {1, 2, 3, 4, 5, 6};

bool Collect(CChart& chart, uint16_t n, const double* values, int count) {
    CCellStore store;
    for (int row = 0; row < count; ++row) {
        CellBuffer b;
        CellCursor cursor;
        if (!MakeNumberCell(b, 0, uint32_t(row), values[row]) || !store.PutCell(b.data(), cursor))
            return false;
    }
    ResetSeriesData(chart, n);
    return CollectSeriesPoints(chart, n, store.FirstPage(), uint32_t(count), 1);
}

void AddSeries(CChart& chart, uint16_t n, const SeriesView& view, uint8_t role) {
    InitSeries(chart, n);
    SeriesSettings& s = chart.series[n].settings;
    s.role = role;
    s.kind = view.kind;
    s.stacked = view.stacked;
    s.relative = view.relative;
    chart.settings.seriesCount = uint8_t(n + 1);
}

// How many sample values each series takes, and how many series.
std::pair<int, int> SampleShape(uint8_t type, int index) {
    if (type == kChart3D && index == 10) return {5, 1};
    if (index <= 5) return {3, 3};
    if (type == kChart2D && index == 9) return {5, 3};
    return {6, 3};
}

bool LoadPreview(CChart& chart, uint8_t type, int index) {
    const SeriesView view = ViewOfIndex(type, index);
    if (type == kChartXY) {
        for (uint16_t k = 0; k < 2; ++k) {
            const uint16_t x = uint16_t(2 * k), y = uint16_t(2 * k + 1);
            AddSeries(chart, x, view, 2);
            std::snprintf(chart.series[x].settings.name, kChartTextSize, "X%d", k);
            AddSeries(chart, y, view, 1);
            std::snprintf(chart.series[y].settings.relatedX, kChartTextSize, "X%d", k);
            if (!Collect(chart, x, kXValues, 6) || !Collect(chart, y, kSamples[k], 6)) return false;
        }
    } else {
        const auto [values, series] = SampleShape(type, index);
        for (uint16_t k = 0; k < series; ++k) {
            AddSeries(chart, k, view, 1);
            if (!Collect(chart, k, kSamples[k], values)) return false;
        }
        if (type == kChart3D && index == 10) ApplyChartTransform(chart.viewMatrix, kRotateX, -0.9);
    }
    return UpdateChartScales(chart);
}

} // namespace

QImage DrawViewPreview(uint8_t chartType, int index, int size) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    auto chart = NewBlockObject<CChart>(chartType);
    if (!chart) return image;
    InitChartSettings(*chart);
    chart->settings.type = chartType;
    if (!LoadPreview(*chart, chartType, index)) return image;
    {
        // The painter ends with the context, before the picture is handed on.
        auto dc = CDeviceContext::ForImage(image);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        const DcRect rect{4, 4, size - 5, size - 5};
        if (DrawChartLayout(*chart, &canvas, rect, 100, 100))
            FitChartPlotArea(*chart, rect, canvas);
        chart->canvas = nullptr;
    }
    return image;
}

} // namespace vl
