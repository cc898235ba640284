#include "charts/draw/chart3d.h"
#include "charts/draw/chart3dsolid.h"
#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartplot.h"
#include "model/chartprojection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vl {

namespace {

constexpr double kTurn = 6.28318530717958;
constexpr double kRimStep = 0.05711986642890527;
// A start this close to the slice's end takes no step of its own: 110 steps of the rounded
// step size fall a hair short of the whole turn.
constexpr double kStepSlack = 1e-9;

// Flags the points of the other sign than the first counted one as left out; the sum of the
// absolute values kept.
double KeepOneSign(CChartSeries& s) {
    uint8_t sign = 0;
    double total = 0;
    const uint32_t count = s.points.ItemCount();
    for (uint32_t j = 0; j < count; ++j) {
        ChartPoint p = PointAt(s, j);
        if (!IsPlotted(p)) continue;
        const uint8_t own = p.flags & (kPointPositive | kPointNegative);
        if (own != kPointPositive && own != kPointNegative) continue;
        if (!sign) sign = own;
        if (own != sign) {
            p.flags |= kPointOutside;
            std::memcpy(s.points.GetItem16(j), &p, sizeof p);
            continue;
        }
        total += std::fabs(p.value);
    }
    return total;
}

struct PieFrame {
    float cx = 0, cy = 0, radius = 0, split = 0, za = 0, zb = 0, labelDistance = 0;
};

PieFrame MeasurePie(CChart& chart, CChartSeries& s, const SceneFrame& frame) {
    PieFrame pie;
    const ChartVertex c0 = LoadVertex(chart, chart.walls[kWallXY].firstVertex);
    const ChartVertex c2 = LoadVertex(chart, chart.walls[kWallXY].firstVertex + 2);
    pie.cx = (c0.modelX + c2.modelX) / 2, pie.cy = (c0.modelY + c2.modelY) / 2;
    uint32_t width = 0, height = 0;
    MeasureSeriesLabels(chart, s, FindXDomainSeries(chart, s), width, height);
    const float r0 =
        std::min(std::fabs(c2.modelX - c0.modelX), std::fabs(c2.modelY - c0.modelY)) / 2 -
        float(chart.gap);
    float r1 = r0 - float(std::max(width, height));
    if (r1 <= 10) r1 = 10;
    pie.radius = r1 - float(chart.settings.pieSplit) * r1 * 0.01f;
    if (pie.radius <= 10) pie.radius = 10;
    pie.split = float(chart.settings.pieSplit) * pie.radius * 0.01f;
    const float D = frame.depth;
    const float T = float(chart.settings.pieThickness3D) * D * 0.01f;
    const uint32_t floor = chart.walls[kWallFloor].firstVertex;
    pie.za = LoadVertex(chart, floor).modelZ + (D - T) / 2;
    pie.zb = LoadVertex(chart, floor + 2).modelZ - (D - T) / 2;
    pie.labelDistance = pie.radius + 2 * float(chart.gap);
    return pie;
}

// One slice from angle a0 to a1 about its (moved) centre.
struct Slice {
    double a0, a1;
    float cx, cy;
};

bool RimCorner(SolidBuilder& solid, const PieFrame& pie, const Slice& s, double t, float z,
               uint32_t& index) {
    const float x = s.cx + pie.radius * float(std::sin(t));
    const float y = s.cy + pie.radius * float(std::cos(t));
    return solid.Corner(x, y, z, index);
}

// The rim in steps from the start angle, a fan triangle on each flat face and two on the
// rim a step; an exploded slice is closed by its two radial sides.
bool AppendSlice(SolidBuilder& solid, const PieFrame& pie, const Slice& s) {
    uint32_t ca = 0, cb = 0;
    if (!solid.Corner(s.cx, s.cy, pie.za, ca) || !solid.Corner(s.cx, s.cy, pie.zb, cb))
        return false;
    const bool sides = pie.split != 0;
    for (int k = 0;; ++k) {
        const double t0 = s.a0 + k * kRimStep;
        if (t0 >= s.a1 - kStepSlack) break;
        const bool last = t0 + kRimStep >= s.a1 - kStepSlack;
        const double t1 = last ? s.a1 : t0 + kRimStep;
        uint32_t sa = 0, sb = 0, ea = 0, eb = 0;
        if (!RimCorner(solid, pie, s, t0, pie.za, sa) ||
            !RimCorner(solid, pie, s, t0, pie.zb, sb) ||
            !RimCorner(solid, pie, s, t1, pie.za, ea) || !RimCorner(solid, pie, s, t1, pie.zb, eb))
            return false;
        if (!solid.Face(ca, sa, ea, 2) || !solid.Face(cb, eb, sb, 2) ||
            !solid.Face(ea, sa, sb, 0) || !solid.Face(sb, eb, ea, 0))
            return false;
        if (sides && k == 0 && (!solid.Face(sb, sa, ca, 3) || !solid.Face(cb, sb, ca, 1)))
            return false;
        if (sides && last && (!solid.Face(ea, eb, cb, 3) || !solid.Face(cb, ca, ea, 3)))
            return false;
        if (last) break;
    }
    return true;
}

bool AddPieLabel(CChart& chart, CChartSeries& s, uint32_t point, const PieFrame& pie,
                 const Slice& slice, double middle) {
    const float z = (pie.za + pie.zb) / 2;
    const float x = slice.cx + pie.labelDistance * float(std::sin(middle));
    const float y = slice.cy + pie.labelDistance * float(std::cos(middle));
    LabelAnchor anchor;
    anchor.point = point;
    anchor.a = chart.vertices.ItemCount();
    anchor.b = anchor.c = anchor.a + 1;
    return AddVertex(chart, slice.cx, slice.cy, z) && AddVertex(chart, x, y, z) &&
           s.labelAnchors.AppendItem24(&anchor);
}

} // namespace

bool Build3DPieFaces(CChart& chart, CChartSeries& s) {
    SceneFrame frame;
    if (!ReadSceneFrame(chart, frame)) return false;
    s.labelAnchors.Clear(true);
    if (!s.settings.visible) return true;
    const double total = KeepOneSign(s);
    // A sum past the double range would leave every angle undefined.
    if (total == 0 || !std::isfinite(total)) return true;
    const PieFrame pie = MeasurePie(chart, s, frame);
    const uint8_t fills = std::clamp<uint8_t>(s.settings.sliceFillCount, 1, 16);
    const bool labels = s.settings.labels != 0;
    double running = 0;
    const uint32_t count = s.points.ItemCount();
    for (uint32_t j = 0; j < count; ++j) {
        const ChartPoint p = PointAt(s, j);
        if (!IsPlotted(p) || !(p.flags & (kPointPositive | kPointNegative))) continue;
        const double a0 = running * kTurn / total;
        running += std::fabs(p.value);
        const double a1 = running * kTurn / total, middle = (a0 + a1) / 2;
        const float dx = float(std::sin(middle)), dy = float(std::cos(middle));
        const Slice slice{a0, a1, pie.cx + pie.split * dx, pie.cy + pie.split * dy};
        SolidBuilder solid(chart, s.settings.sliceFills[j % fills].patternColor);
        const float half = pie.radius / 2;
        if (!solid.Reference(slice.cx + half * dx, slice.cy + half * dy, (pie.za + pie.zb) / 2) ||
            !AppendSlice(solid, pie, slice))
            return false;
        if (labels && !AddPieLabel(chart, s, j, pie, slice, middle)) return false;
    }
    return true;
}

} // namespace vl
