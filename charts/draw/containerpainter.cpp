#include "charts/draw/containerpainter.h"

#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
#include "model/chartprojection.h"
#include "render/canvas.h"
#include "render/containerbackground.h"
#include "render/containerplace.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

// A kept layout made for another zoom or another size of cell: the grid's zoom, a printed
// page or an export would otherwise draw a plot sized for somewhere else.
bool ChartLayoutIsStale(CChart& chart, const DcRect& cell, uint16_t zoomAcross, uint16_t zoomDown) {
    if (!(chart.flags & kChartLaidOut)) return false;
    if (chart.zoomX != zoomAcross || chart.zoomY != zoomDown) return true;
    const WallRecord& wall = chart.walls[kWallXY];
    if (!wall.built || wall.firstVertex + 2 >= chart.vertices.ItemCount()) return false;
    const ChartVertex a = LoadVertex(chart, wall.firstVertex);
    const ChartVertex b = LoadVertex(chart, wall.firstVertex + 2);
    const int32_t* m = chart.margins;
    const float w = float(cell.right - cell.left - m[0] - m[2]);
    const float h = float(cell.bottom - cell.top - m[1] - m[3]);
    return std::fabs(std::fabs(b.modelX - a.modelX) - w) > 0.5f ||
           std::fabs(std::fabs(b.modelY - a.modelY) - h) > 0.5f;
}

} // namespace

void PaintContainer(CWorkbook& workbook, CContainer& c, CCanvas& source, const DcRect& rect,
                    uint16_t zoomAcross, uint16_t zoomDown) {
    CCanvas canvas;
    canvas.AttachSavedDC(source);
    PaintContainerBackground(workbook, c, canvas, rect, zoomAcross, zoomDown);
    canvas.IntersectClip({rect.left + 1, rect.top + 1, rect.right, rect.bottom});
    // The captions are measured first, so that the charts start below them, and drawn
    // after the charts.
    DcRect area = rect;
    DrawContainerCaptions(c, canvas, area, zoomAcross, zoomDown, true);
    for (int k = 0; k < c.settings.objectCount && k < kMaxContainerObjects; ++k) {
        if (c.slots[k].kind != kObjectChart || !c.slots[k].chart) continue;
        CChart& chart = *c.slots[k].chart;
        const DcRect cell = ContainerObjectCell(c, area, k, zoomAcross, zoomDown);
        if (ChartLayoutIsStale(chart, cell, zoomAcross, zoomDown)) ClearChartLayout(chart);
        if (DrawChartLayout(chart, &canvas, cell, zoomAcross, zoomDown))
            FitChartPlotArea(chart, cell, canvas);
        else
            c.status = chart.error;
        // The canvas ends with this call: the chart keeps no pointer to it.
        chart.canvas = nullptr;
    }
    DcRect captions = rect;
    DrawContainerCaptions(c, canvas, captions, zoomAcross, zoomDown, false);
    PaintItemBorders(c, canvas, rect);
    canvas.DetachSavedDC();
}

DcRect ContainerObjectCell(const CContainer& c, const DcRect& area, int index, uint16_t zoomAcross,
                           uint16_t zoomDown) {
    const int columns = std::max<int>(c.settings.columns, 1);
    const int rows = std::max<int>(c.settings.rows, 1);
    const int32_t width = (area.right - area.left + 1) / columns;
    const int32_t height = (area.bottom - area.top + 1) / rows;
    const int32_t left = area.left + (index % columns) * width;
    const int32_t top = area.top + (index / columns) * height;
    DcRect cell{left, top, left + width - 1, top + height - 1};
    const int32_t across = std::max<int32_t>(c.settings.horzSpacing * zoomAcross / 100, 1);
    const int32_t down = std::max<int32_t>(c.settings.vertSpacing * zoomDown / 100, 1);
    DeflateRectBy(cell, across, down, across, down);
    return cell;
}

void DrawSheetContainers(CWorkbook& workbook, CCanvas& canvas, const DcRect& origin,
                         CWorksheet& sheet, uint16_t firstColumn, uint32_t firstRow,
                         ZoomPair zoom) {
    for (CContainer* c = sheet.firstContainer; c; c = c->next) {
        DcRect rect;
        if (GetObjectRect(sheet, origin, firstRow, firstColumn, *c, rect, zoom))
            PaintContainer(workbook, *c, canvas, rect, zoom[0], zoom[1]);
    }
}

} // namespace vl
