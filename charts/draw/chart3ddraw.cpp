#include "charts/draw/chart3d.h"
#include "charts/draw/chart3ddevice.h"
#include "charts/draw/chartplot.h"
#include "model/chartprojection.h"
#include "render/canvas.h"

namespace vl {

namespace {

// The walls in drawing order with the plane codes of their grid lines.
struct WallPlane {
    int wall;
    uint8_t plane;
};
constexpr WallPlane kWallOrder[3] = {
    {kWallXY, kPlaneXY}, {kWallFloor, kPlaneFloor}, {kWallYZ, kPlaneYZ}};

bool FacesViewer(const float normal[3]) {
    return normal[2] >= 0;
}

void DrawWalls(CChart& chart, bool facing, bool outlineOnly) {
    for (const WallPlane& w : kWallOrder)
        if (FacesViewer(chart.walls[w.wall].normal) == facing)
            DrawChartWall(chart, w.wall, w.plane, outlineOnly);
}

void DrawAxes(CChart& chart, bool facing) {
    for (uint8_t i = 0; i < chart.axisCount && i < kChartAxes; ++i) {
        const AxisRecord& axis = chart.axes[i];
        if (!axis.series || FacesViewer(axis.normal) != facing) continue;
        DrawAxisLine(chart, axis);
        if (axis.series->settings.role == 3)
            DrawCategoryAxisLabels(chart, axis);
        else
            DrawValueAxisLabels(chart, axis);
        DrawAxisTitle(chart, axis);
    }
}

// Each face's outlined edges in the wall border's colour, whatever way it faces.
void DrawFaceOutlines(CChart& chart) {
    CCanvas& canvas = *chart.canvas;
    canvas.SetPen(1, chart.settings.planeBorder.color, 100);
    const uint32_t count = chart.faces.ItemCount();
    for (uint32_t i = 0; i < count; ++i) {
        const ChartFace f = LoadFace(chart, i);
        const uint32_t corners[3] = {f.a, f.b, f.c};
        for (int e = 0; e < 3; ++e) {
            if (!(f.edges & (1 << e))) continue;
            const DcPoint line[2] = {DevicePoint(LoadVertex(chart, corners[e])),
                                     DevicePoint(LoadVertex(chart, corners[(e + 1) % 3]))};
            canvas.DrawPolyline(line, 2);
        }
    }
}

// The faces turned to the viewer, far to near, lit by their lighting normals. On screen each
// is outlined in its own colour, which closes the seams between triangles; printers get no
// outline.
void DrawFilledFaces(CChart& chart) {
    CCanvas& canvas = *chart.canvas;
    const uint8_t pen = canvas.IsPrinting() ? 0 : 1;
    const uint32_t count = chart.faces.ItemCount();
    bool selected = false;
    COLORREF current = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const ChartFace f = LoadFace(chart, i);
        if (!(f.viewNormal[2] > 0)) continue;
        const float* n = f.lightNormal;
        const COLORREF colour = ShadeColour(chart, n[0], n[1], n[2], f.color);
        if (!selected || colour != current) {
            canvas.SetPen(pen, colour, 100);
            canvas.SelectFillPattern(1, colour, colour);
            selected = true, current = colour;
        }
        const DcPoint a = DevicePoint(LoadVertex(chart, f.a));
        const DcPoint points[4] = {a, DevicePoint(LoadVertex(chart, f.b)),
                                   DevicePoint(LoadVertex(chart, f.c)), a};
        canvas.DrawPolygon(points, 4);
    }
}

} // namespace

void DrawChart3D(CChart& chart, bool outlineOnly) {
    if (!chart.canvas) return;
    CChartSeries* data[kChartSeries];
    const int count = CollectDataSeries(chart, data);
    // A pie stands alone: no walls, grid lines or axes.
    const bool pie = count > 0 && data[0]->settings.kind == 11;
    if (!pie) {
        DrawWalls(chart, true, outlineOnly);
        DrawAxes(chart, true);
    }
    if (outlineOnly)
        DrawFaceOutlines(chart);
    else
        DrawFilledFaces(chart);
    if (!pie) {
        DrawWalls(chart, false, false);
        DrawAxes(chart, false);
        return;
    }
    for (int i = 0; i < count; ++i)
        if (data[i]->settings.labels != 0)
            DrawSeriesLabels(chart, *data[i], FindXDomainSeries(chart, *data[i]));
}

} // namespace vl
