// Painting the walls of a 3D chart: their faces shaded by the light, their grid lines.
#include "charts/draw/chart3d.h"
#include "charts/draw/chart3ddevice.h"
#include "model/chartprojection.h"
#include "render/canvas.h"

#include <algorithm>

namespace vl {

namespace {

// The lines of a grid-line set from `first` on, two vertices each, with one pen.
uint32_t DrawLines(CChart& chart, uint32_t first, uint32_t count, const BorderLine& pen,
                   const float normal[3]) {
    chart.canvas->SetPen(pen.style, ShadeColour(chart, normal[0], normal[1], normal[2], pen.color),
                         100);
    for (uint32_t k = 0; k < count; ++k) DrawSegment(chart, first + 2 * k);
    return first + 2 * count;
}

void DrawGridLines(CChart& chart, uint8_t plane, const float normal[3]) {
    for (uint8_t g = 0; g < chart.gridLineCount && g < kChartGridLineSets; ++g) {
        const GridLineSet& set = chart.gridLines[g];
        if (set.plane != plane || !set.series) continue;
        const SeriesSettings& s = set.series->settings;
        uint32_t next = DrawLines(chart, set.firstVertex, set.majorCount, s.majorGrid, normal);
        next = DrawLines(chart, next, set.minorCount, s.minorGrid, normal);
        for (int k = 0; k < 16; ++k)
            if (set.userFlags[k]) next = DrawLines(chart, next, 1, s.userGridLines[k], normal);
    }
}

} // namespace

int32_t DeviceCoordinate(float value) {
    if (!(value == value)) return 0;
    return int32_t(std::clamp(value, -kMaxDeviceCoordinate, kMaxDeviceCoordinate));
}

void DrawSegment(CChart& chart, uint32_t first) {
    const DcPoint line[2] = {DevicePoint(LoadVertex(chart, first)),
                             DevicePoint(LoadVertex(chart, first + 1))};
    chart.canvas->DrawPolyline(line, 2);
}

COLORREF ShadeColour(const CChart& chart, float nx, float ny, float nz, COLORREF colour) {
    const float v = nx * chart.light[0] + ny * chart.light[1] + nz * chart.light[2];
    // Not a number, too, is lit as a surface turned away.
    const double f = v > 0 ? std::min(double(v) * (double(v) * 0.6 + 0.65) + 0.3, 1.0) : 0.3;
    COLORREF shaded = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t channel = (colour >> shift) & 0xFF;
        shaded |= uint32_t(double(channel) * f) << shift;
    }
    return shaded;
}

void DrawChartWall(CChart& chart, int index, uint8_t plane, bool outlineOnly) {
    if (index < 0 || index >= kChartWalls || !chart.canvas) return;
    const WallRecord& wall = chart.walls[index];
    if (!wall.built || !wall.shown) return;
    CCanvas& canvas = *chart.canvas;
    const float* n = wall.normal;
    const InteriorFill& fill = chart.settings.planeFill;
    const BorderLine& border = chart.settings.planeBorder;
    DcPoint points[5];
    for (int k = 0; k < 4; ++k) points[k] = DevicePoint(LoadVertex(chart, wall.firstVertex + k));
    points[4] = points[0];
    canvas.SetPen(border.style, ShadeColour(chart, n[0], n[1], n[2], border.color), 100);
    if (!outlineOnly && fill.pattern != 0) {
        canvas.SelectFillPattern(fill.pattern,
                                 ShadeColour(chart, n[0], n[1], n[2], fill.patternColor),
                                 ShadeColour(chart, n[0], n[1], n[2], fill.backgroundColor));
        canvas.DrawPolygon(points, 5);
    } else {
        canvas.DrawPolyline(points, 5);
    }
    for (uint32_t k = 0; k < wall.lineCount; ++k) DrawSegment(chart, wall.firstVertex + 4 + 2 * k);
    DrawGridLines(chart, plane, n);
}

} // namespace vl
