#include "charts/scales.h"
#include "charts/seriesdata.h"
#include "formula/evaluator.h"
#include "formula/recalc.h"
#include "formula/workbookcontext.h"
#include "model/container.h"
#include "model/workbook.h"
#include "model/worksheet.h"

#include <string>

namespace vl {

namespace {

// The evaluated array of one series: its page chain and size.
struct SeriesArray {
    Page* pages = nullptr;
    uint32_t rows = 1, columns = 1;
};

ErrorCode EvaluateSeries(CEvalContext& ctx, const SeriesSettings& s, SeriesArray& out) {
    // Files keep the range formula without its leading "=".
    std::string text = s.dataArray;
    if (text[0] != '=' && text[0] != '+') text.insert(0, 1, '=');
    const uint16_t kind = EvaluateFormulaText(ctx, text, 0, 0);
    const FormulaToken& top = ctx.values[1];
    if (kind != kTokenArray)
        return top.error == kErrMemory ? kErrorWorksheetMemory : kErrorChartArray;
    out.pages = ctx.scratch.PopPointer();
    out.rows = top.lastRow + 1;
    out.columns = uint32_t(top.lastColumn) + 1;
    if (ctx.status != 0 || (top.error != 0 && top.error != kErrMemory)) return kErrorChartArray;
    if (top.error == kErrMemory) return kErrorWorksheetMemory;
    return kErrorNone;
}

void ResetAllSeries(CChart& chart) {
    for (uint16_t i = 0; i < kChartSeries; ++i) ResetSeriesData(chart, i);
    chart.flags &= uint8_t(~(kChartScalesValid | kChartLaidOut));
}

ErrorCode StoreChartData(CChart& chart, const SeriesArray* arrays) {
    ResetAllSeries(chart);
    ResetChartLayoutState(chart);
    chart.error = kErrorNone;
    for (uint16_t i = 0; i < chart.settings.seriesCount; ++i) {
        const SeriesArray& a = arrays[i];
        if (!CollectSeriesPoints(chart, i, a.pages, a.rows, a.columns))
            return ErrorOr(chart.error, kErrorChartArray);
    }
    if (!UpdateChartScales(chart)) return chart.error;
    return kErrorNone;
}

} // namespace

void ResetChartLayoutState(CChart& chart) {
    chart.gridLineCount = 0;
    for (GridLineSet& g : chart.gridLines) g = GridLineSet{};
    chart.axisCount = 0;
    for (AxisRecord& a : chart.axes) a = AxisRecord{};
    for (WallRecord& w : chart.walls) w.built = 0;
    for (int32_t& m : chart.margins) m = 0;
    chart.light[0] = chart.light[1] = 0;
    chart.light[2] = 1.0f;
    chart.canvas = nullptr;
    chart.zoomX = chart.zoomY = 100;
    chart.gap = 4;
    chart.vertices.Clear(true);
    chart.faces.Clear(true);
}

bool RefreshChart(CEvalContext& ctx, CTreeItem& worksheet, CChart& chart) {
    SeriesArray arrays[kChartSeries];
    ErrorCode e = CheckChartCounts(chart);
    CWorksheet* sheet = AsWorksheet(&worksheet);
    ctx.currentCells = sheet ? &sheet->cells : nullptr;
    for (uint16_t i = 0; i < chart.settings.seriesCount && !e; ++i)
        if (chart.series[i].settings.dataArray[0])
            e = EvaluateSeries(ctx, chart.series[i].settings, arrays[i]);
    if (!e) e = StoreChartData(chart, arrays);
    for (const SeriesArray& a : arrays)
        if (a.pages) ctx.scratch.cells.FreePageChain(a.pages);
    if (!e) return true;
    ResetAllSeries(chart);
    chart.error = e;
    return false;
}

bool RefreshContainerCharts(CWorkbook& workbook, CTreeItem& worksheet, CContainer& container) {
    CEvalContext* ctx = WorkbookEvalContext(workbook);
    if (!ctx) {
        if (!AttachEvalContext(workbook)) return false;
        ctx = WorkbookEvalContext(workbook);
    }
    ctx->worksheetList = workbook.tree.first;
    bool refreshed = true;
    for (int k = 0; k < container.settings.objectCount && k < kMaxContainerObjects; ++k) {
        ContainerSlot& slot = container.slots[k];
        if (slot.kind != kObjectChart || !slot.chart) continue;
        if (!RefreshChart(*ctx, worksheet, *slot.chart)) {
            workbook.error = slot.chart->error;
            refreshed = false;
        }
    }
    return refreshed;
}

void InstallChartRefresh() {
    SetChartRefresh(RefreshContainerCharts);
}

} // namespace vl
