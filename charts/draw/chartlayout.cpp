#include "charts/draw/chartlayout.h"

#include "charts/draw/chart3d.h"
#include "charts/draw/chartgeometry.h"
#include "charts/seriesdata.h"
#include "model/chartprojection.h"

#include <algorithm>

namespace vl {

namespace {

bool FirstDataSeriesIsPie3D(const CChart& chart) {
    for (uint16_t i = 0; i < chart.settings.seriesCount && i < kChartSeries; ++i)
        if (chart.series[i].settings.role == 1) return chart.series[i].settings.kind == 11;
    return false;
}

// Builds the plot's geometry; false with the chart's error byte set.
bool BuildPlot(CChart& chart, int32_t w, int32_t h) {
    // A plot squeezed to nothing by its margins gets no wall and no axis.
    if (w <= 0 || h <= 0) return true;
    if (CountLayoutVertices(chart) > kMaxLayoutVertices || !SceneFits(chart)) {
        chart.error = kErrorChartMemory;
        return false;
    }
    if (!BuildXYWall(chart, w, h)) {
        chart.error = kErrorChartMemory;
        return false;
    }
    if (chart.settings.type == kChart3D) return Build3DScene(chart, w, h);
    if (!BuildChartAxes(chart, w, h)) {
        // The table's own overflow code, too, is reported as memory here.
        chart.error = kErrorChartMemory;
        return false;
    }
    return true;
}

void CopyModelToView(CChart& chart) {
    const uint32_t count = chart.vertices.ItemCount();
    for (uint32_t i = 0; i < count; ++i) {
        ChartVertex v = LoadVertex(chart, i);
        v.viewX = v.modelX, v.viewY = v.modelY, v.viewZ = v.modelZ;
        StoreVertex(chart, i, v);
    }
}

} // namespace

void ClearChartLayout(CChart& chart) {
    ResetChartLayoutState(chart);
    chart.error = kErrorNone;
    chart.flags &= uint8_t(~kChartLaidOut);
}

void ApplyChartViewSize(CChart& chart, const DcRect& rect, int32_t& width, int32_t& height) {
    int32_t* m = chart.margins;
    width = rect.right - rect.left - m[0] - m[2];
    height = rect.bottom - rect.top - m[1] - m[3];
    if (chart.settings.viewWidth != 100) {
        const int32_t shrink = (width - width * chart.settings.viewWidth / 100) / 2;
        m[0] += shrink, m[2] += shrink;
        width = rect.right - rect.left - m[0] - m[2];
    }
    if (chart.settings.viewHeight != 100) {
        const int32_t shrink = (height - height * chart.settings.viewHeight / 100) / 2;
        m[1] += shrink, m[3] += shrink;
        height = rect.bottom - rect.top - m[1] - m[3];
    }
}

bool DrawChartLayout(CChart& chart, CCanvas* canvas, const DcRect& rect, uint16_t zoomX,
                     uint16_t zoomY) {
    if (!(chart.flags & kChartScalesValid)) return false;
    if (chart.flags & kChartLaidOut) return true;
    ClearChartLayout(chart);
    chart.canvas = canvas;
    chart.zoomX = zoomX, chart.zoomY = zoomY;
    chart.gap = uint16_t(4 * std::max(zoomX, zoomY) / 100);
    // A 3D chart without data series has an empty scene, measured for nothing.
    bool hasData = false;
    int32_t w = 0, h = 0;
    for (uint16_t i = 0; i < chart.settings.seriesCount && i < kChartSeries; ++i)
        hasData |= chart.series[i].settings.role == 1;
    if (chart.settings.type != kChart3D || hasData) {
        MeasureChartTextBoxes(chart, rect);
        MeasureChartLegend(chart, rect);
        if (!(chart.settings.type == kChart3D && FirstDataSeriesIsPie3D(chart)))
            ReserveAxisMargins(chart);
        ApplyChartViewSize(chart, rect, w, h);
        if (!BuildPlot(chart, w, h)) return false;
    }
    if (!chart.vertices.BuildPageIndex() || !chart.faces.BuildPageIndex()) {
        chart.error = kErrorChartMemory;
        return false;
    }
    CenterChartModel(chart, true);
    if (chart.settings.type == kChart3D)
        ProjectChart3D(chart, w, h);
    else
        CopyModelToView(chart);
    chart.flags |= kChartLaidOut;
    return true;
}

} // namespace vl
