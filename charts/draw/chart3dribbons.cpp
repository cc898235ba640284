#include "charts/draw/chart3d.h"
#include "charts/draw/chart3dsolid.h"

namespace vl {

namespace {

// The placement shared by lines and areas: points at the category centres.
struct Ribbon {
    SceneFrame frame;
    float slot = 0;
    float X(uint32_t j) const { return (float(j) + 0.5f) * slot + frame.x0; }
    float Y(const ChartPoint& p) const { return frame.y0 + frame.height * p.position; }
};

// Reads the scene frame, clears the series' label anchors and sets the category slot; false
// when the frame cannot be read. No categories (n = 0) leaves nothing to build.
bool StartRibbons(CChart& chart, CChartSeries* const* series, int count, Ribbon& r, uint32_t& n) {
    if (!ReadSceneFrame(chart, r.frame)) return false;
    for (int i = 0; i < count; ++i) series[i]->labelAnchors.Clear(true);
    n = CategoryCount(series, count);
    if (n) r.slot = (r.frame.x1 - r.frame.x0) / float(n);
    return true;
}

bool PlottedAt(const CChartSeries& s, int64_t j) {
    return j >= 0 && j < int64_t(s.points.ItemCount()) && IsPlotted(PointAt(s, uint32_t(j)));
}

// The end caps of a segment where its series' run starts or ends.
uint8_t RunCaps(const CChartSeries& s, uint32_t j) {
    uint8_t caps = 0;
    if (!PlottedAt(s, int64_t(j) - 1)) caps |= kPrismLeft;
    if (!PlottedAt(s, int64_t(j) + 2)) caps |= kPrismRight;
    return caps;
}

// One area prism as a solid of its own.
bool AreaPrism(CChart& chart, COLORREF color, const Prism& p, uint8_t faces, float y0,
               uint32_t* first = nullptr, uint32_t* reference = nullptr) {
    SolidBuilder solid(chart, color);
    if (!solid.Reference((p.xa + p.xb) / 2, y0, (p.zs + p.ze) / 2)) return false;
    if (reference) *reference = solid.ReferenceIndex();
    return AppendPrism(solid, p, faces, first);
}

constexpr uint8_t kAreaFaces = kPrismFront | kPrismBack | kPrismTop | kPrismBottom;

// The segment between points a and b of a series, split where it crosses the base line so
// that each part lies on one side of it.
bool AreaSegment(CChart& chart, const Ribbon& r, const CChartSeries& s, uint32_t j, float base,
                 float zs, float ze) {
    const ChartPoint pa = PointAt(s, j), pb = PointAt(s, j + 1);
    const float xa = r.X(j), xb = r.X(j + 1), ya = r.Y(pa), yb = r.Y(pb);
    const uint8_t caps = RunCaps(s, j);
    const COLORREF color = s.settings.fill.patternColor;
    const bool upA = IsAtOrAboveZero(pa), upB = IsAtOrAboveZero(pb);
    const auto part = [&](float x0, float y0, float x1, float y1, bool up, uint8_t faces) {
        const Prism p = up ? Prism{x0, x1, base, y0, base, y1, zs, ze}
                           : Prism{x0, x1, y0, base, y1, base, zs, ze};
        return AreaPrism(chart, color, p, faces, r.frame.y0);
    };
    if (upA == upB) return part(xa, ya, xb, yb, upA, kAreaFaces | caps);
    const float fall = ya - yb;
    const float xc = fall != 0 ? xa + (xb - xa) * (ya - base) / fall : xa;
    return part(xa, ya, xc, base, upA, kAreaFaces | (caps & kPrismLeft)) &&
           part(xc, base, xb, yb, upB, kAreaFaces | (caps & kPrismRight));
}

// A band's heights at one end of its segment, moving the running line of its side.
void StackEnd(const ChartPoint& p, float H, float b, float& up, float& down, float& low,
              float& high, bool& upward) {
    upward = IsAtOrAboveZero(p) || !(p.flags & kPointNegative);
    if (upward) {
        low = up, high = up + H * (p.position - b), up = high;
    } else {
        high = down, low = down - H * (b - p.position), down = low;
    }
}

struct Cap {
    bool present = false;
    uint32_t first = 0, reference = 0;
    COLORREF color = 0;
};

bool AppendCap(CChart& chart, const Cap& cap, uint8_t face) {
    if (!cap.present) return true;
    SolidBuilder solid(chart, cap.color);
    solid.SetReference(cap.reference);
    return AppendPrismFaces(solid, cap.first, face);
}

} // namespace

bool Build3DLineFaces(CChart& chart, CChartSeries* const* series, int count) {
    Ribbon r;
    uint32_t n = 0;
    if (!StartRibbons(chart, series, count, r, n)) return false;
    if (n == 0) return true;
    const float d = r.frame.depth / float(count);
    const float w = float(chart.settings.lineWidth3D) * 0.01f * d;
    for (int i = 0; i < count; ++i) {
        const CChartSeries& s = *series[i];
        const float zs = float(i) * d + (d - w) / 2, ze = zs + w;
        SolidBuilder solid(chart, s.settings.fill.patternColor);
        const uint32_t points = s.points.ItemCount();
        for (uint32_t j = 0; j + 1 < points; ++j) {
            const ChartPoint pa = PointAt(s, j), pb = PointAt(s, j + 1);
            if (!IsPlotted(pa) || !IsPlotted(pb)) continue;
            const float xa = r.X(j), xb = r.X(j + 1), ya = r.Y(pa), yb = r.Y(pb);
            uint32_t c1 = 0, c2 = 0, c3 = 0, c4 = 0;
            // Both sides of the ribbon face out, so it shows from the front and the back.
            if (!solid.Reference((xa + xb) / 2, r.frame.y0, (zs + ze) / 2) ||
                !solid.Corner(xa, ya, ze, c1) || !solid.Corner(xa, ya, zs, c2) ||
                !solid.Corner(xb, yb, zs, c3) || !solid.Corner(xb, yb, ze, c4) ||
                !solid.Face(c1, c4, c3, 3) || !solid.Face(c3, c2, c1, 3) ||
                !solid.Face(c1, c2, c3, 3) || !solid.Face(c3, c4, c1, 3))
                return false;
        }
    }
    return true;
}

bool Build3DAreaFaces(CChart& chart, CChartSeries* const* series, int count) {
    Ribbon r;
    uint32_t n = 0;
    if (!StartRibbons(chart, series, count, r, n)) return false;
    if (n == 0) return true;
    const float d = r.frame.depth / float(count);
    const float w = float(chart.settings.lineWidth3D) * 0.01f * d;
    for (int i = 0; i < count; ++i) {
        const CChartSeries& s = *series[i];
        float b = 0;
        if (!BasePosition(s, b)) continue;
        const float base = r.frame.y0 + r.frame.height * b;
        const float zs = float(i) * d + (d - w) / 2, ze = zs + w;
        const uint32_t points = s.points.ItemCount();
        for (uint32_t j = 0; j + 1 < points; ++j) {
            if (!PlottedAt(s, j) || !PlottedAt(s, j + 1)) continue;
            if (!AreaSegment(chart, r, s, j, base, zs, ze)) return false;
        }
    }
    return true;
}

bool Build3DStackedAreaFaces(CChart& chart, CChartSeries* const* series, int count) {
    Ribbon r;
    uint32_t n = 0;
    if (!StartRibbons(chart, series, count, r, n)) return false;
    if (n == 0) return true;
    float b = 0;
    if (!BasePosition(*series[0], b)) return false;
    const float D = r.frame.depth, H = r.frame.height;
    const float w = float(chart.settings.lineWidth3D) * 0.01f * D;
    const float zs = (D - w) / 2, ze = zs + w;
    for (uint32_t j = 0; j + 1 < n; ++j) {
        float upA = r.frame.y0 + H * b, downA = upA, upB = upA, downB = upA;
        Cap lastUp, lastDown;
        for (int i = 0; i < count; ++i) {
            const CChartSeries& s = *series[i];
            if (!PlottedAt(s, j) || !PlottedAt(s, j + 1)) continue;
            Prism p{r.X(j), r.X(j + 1), 0, 0, 0, 0, zs, ze};
            bool upwardA = false, upwardB = false;
            StackEnd(PointAt(s, j), H, b, upA, downA, p.lowA, p.highA, upwardA);
            StackEnd(PointAt(s, j + 1), H, b, upB, downB, p.lowB, p.highB, upwardB);
            Cap cap{true, 0, 0, s.settings.fill.patternColor};
            if (!AreaPrism(chart, cap.color, p, kAreaFaces | RunCaps(s, j), r.frame.y0, &cap.first,
                           &cap.reference))
                return false;
            if (upwardA || upwardB) lastUp = cap;
            if (!upwardA || !upwardB) lastDown = cap;
        }
        if (!AppendCap(chart, lastUp, kPrismTop) || !AppendCap(chart, lastDown, kPrismBottom))
            return false;
    }
    return true;
}

} // namespace vl
