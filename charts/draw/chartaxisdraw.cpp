#include "charts/axislabel.h"
#include "charts/axismap.h"
#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartplot.h"
#include "charts/draw/plotarea.h"
#include "render/canvas.h"

#include <cmath>
#include <string>

namespace vl {

namespace {

// Where texts stand beside a band: left or right of it, above or below it.
enum class Placement { kNone, kLeft, kRight, kAbove, kBelow };

Placement PlacementOf(uint8_t side) {
    switch (side) {
    case kSideLeft:
    case kSideDepthLeft:
        return Placement::kLeft;
    case kSideRight:
    case kSideDepthRight:
        return Placement::kRight;
    case kSideTop:
        return Placement::kAbove;
    case kSideBottom:
    case kSideDepthBottom:
    case kSideDepthRight64:
        return Placement::kBelow;
    default:
        return Placement::kNone;
    }
}

struct Pt {
    double x, y;
};

// The outer edge of the band from the axis's start (fraction 0) to its end (fraction 1).
struct BandEdge {
    Pt start, end;
    Pt At(double f) const {
        return {start.x + (end.x - start.x) * f, start.y + (end.y - start.y) * f};
    }
    // The turn of texts along an oblique edge, in degrees; 0 for a level or upright one.
    double Turn() const {
        const double dx = end.x - start.x, dy = end.y - start.y;
        if (std::fabs(dx) < 0.5 || std::fabs(dy) < 0.5) return 0;
        double a = std::atan2(-dy, dx) * 180 / M_PI;
        if (a > 90) a -= 180;
        if (a <= -90) a += 180;
        return a;
    }
};

BandEdge EdgeOf(CChart& chart, const AxisRecord& axis) {
    // The corners run from the far end of the axis on these sides.
    const bool fromFar = axis.side == kSideLeft || axis.side == kSideTop ||
                         axis.side == kSideDepthLeft || axis.side == kSideDepthRight64;
    const ChartVertex b = VertexAt(chart, axis.firstVertex + 1);
    const ChartVertex c = VertexAt(chart, axis.firstVertex + 2);
    const Pt pb{b.viewX, b.viewY}, pc{c.viewX, c.viewY};
    return fromFar ? BandEdge{pc, pb} : BandEdge{pb, pc};
}

bool HasBand(CChart& chart, const AxisRecord& axis) {
    return axis.series && chart.canvas && chart.vertices.BuildPageIndex() &&
           uint64_t(axis.firstVertex) + 4 <= chart.vertices.ItemCount();
}

void SelectAxisFont(CChart& chart, const CChartSeries& s, double turn) {
    CCanvas& canvas = *chart.canvas;
    canvas.SetBkMode(1);
    const ColoredFont& font = s.settings.axisFont;
    canvas.SetTextColor(LineColor({1, font.colorGiven, font.color}));
    canvas.SelectFont(font.font, int16_t(std::lround(turn)), chart.zoomY);
    canvas.SetTextAlign(kAlignLeft, kAlignTop);
}

// Draws the text in a box beside `at` on the placement's side, `offset` further out; an
// upright text (turned a quarter) is as wide as a level one is high.
void DrawBesideEdge(CCanvas& canvas, Placement place, Pt at, double offset, bool upright,
                    double turn, const std::string& text) {
    int32_t w = 0, h = 0;
    if (text.empty() || !canvas.MeasureText(text, w, h)) return;
    if (turn != 0) {
        canvas.SetTextAlign(kAlignCenter, kAlignTop);
        // Lines step across the text: a quarter turn more for upright texts.
        const double r = (turn + (upright ? 90 : 0)) * M_PI / 180;
        const double out = place == Placement::kLeft || place == Placement::kAbove ? -1 : 1;
        const double nx = place == Placement::kLeft || place == Placement::kRight ? out : 0;
        const double ny = nx == 0 ? out : 0;
        const double d = offset + (out < 0 ? h : 0);
        canvas.DrawTextLines(DeviceCoord(at.x + nx * d), DeviceCoord(at.y + ny * d), text, r);
        canvas.SetTextAlign(kAlignLeft, kAlignTop);
        return;
    }
    const double bw = upright ? h : w, bh = upright ? w : h;
    double left = at.x - bw / 2, top = at.y - bh / 2;
    switch (place) {
    case Placement::kLeft:
        left = at.x - offset - bw;
        break;
    case Placement::kRight:
        left = at.x + offset;
        break;
    case Placement::kAbove:
        top = at.y - offset - bh;
        break;
    default:
        top = at.y + offset;
        break;
    }
    // An upright text runs up from its reference point, its lines stepping right.
    const double y = upright ? top + bh : top;
    canvas.DrawTextLines(DeviceCoord(left), DeviceCoord(y), text, upright ? M_PI / 2 : 0);
}

// What the label and title drawers share: the band's edge, the side the texts stand on, and
// the axis font turned with the band (and a quarter more for upright texts).
struct AxisTexts {
    const CChartSeries* series = nullptr;
    Placement place = Placement::kNone;
    BandEdge edge{};
    double turn = 0;
    bool upright = false;

    bool Start(CChart& chart, const AxisRecord& axis, uint16_t uprightFlag, uint16_t levelFlag) {
        if (!HasBand(chart, axis)) return false;
        series = axis.series;
        const uint16_t flags = series->settings.axisFlags;
        place = PlacementOf(axis.side);
        if (!(flags & (uprightFlag | levelFlag)) || place == Placement::kNone) return false;
        edge = EdgeOf(chart, axis);
        turn = edge.Turn();
        upright = flags & uprightFlag;
        SelectAxisFont(chart, *series, turn + (upright ? 90 : 0));
        return true;
    }
    void Draw(CChart& chart, Pt at, double offset, const std::string& text) const {
        DrawBesideEdge(*chart.canvas, place, at, offset, upright, turn, text);
    }
};

} // namespace

void DrawAxisLine(CChart& chart, const AxisRecord& axis) {
    if (!HasBand(chart, axis)) return;
    CCanvas& canvas = *chart.canvas;
    const SeriesSettings& s = axis.series->settings;
    canvas.SetBorderPen(s.axisLine, 100);
    DcPoint corners[4];
    for (uint32_t k = 0; k < 4; ++k) {
        const ChartVertex v = VertexAt(chart, axis.firstVertex + k);
        corners[k] = DevicePoint(v.viewX, v.viewY);
    }
    canvas.DrawPolyline(corners, 4);
    const uint64_t ticks = uint64_t(axis.majorTicks) + axis.minorTicks;
    if (axis.firstVertex + 4 + 2 * ticks > chart.vertices.ItemCount()) return;
    for (uint32_t k = 0; k < ticks; ++k) {
        const bool major = k < axis.majorTicks;
        if (!(s.axisFlags & (major ? kMajorTickMarks : kMinorTickMarks))) continue;
        const ChartVertex a = VertexAt(chart, axis.firstVertex + 4 + 2 * k);
        const ChartVertex b = VertexAt(chart, axis.firstVertex + 5 + 2 * k);
        canvas.DrawLine(DeviceCoord(a.viewX), DeviceCoord(a.viewY), DeviceCoord(b.viewX),
                        DeviceCoord(b.viewY));
    }
}

void DrawValueAxisLabels(CChart& chart, const AxisRecord& axis) {
    AxisTexts t;
    if (!t.Start(chart, axis, kLabelsVertical, kLabelsHorizontal)) return;
    const uint32_t ticks = MajorIntervals(*t.series);
    std::string text;
    for (uint32_t k = 0; k <= ticks; ++k) {
        float f = 0;
        if (!FormatAxisLabel(k, *t.series, text) || !AxisTickFraction(*t.series, k, 0, f)) continue;
        t.Draw(chart, t.edge.At(f), 0, text);
    }
}

void DrawCategoryAxisLabels(CChart& chart, const AxisRecord& axis) {
    AxisTexts t;
    if (!t.Start(chart, axis, kLabelsVertical, kLabelsHorizontal)) return;
    const CChartSeries& s = *t.series;
    const uint32_t ticks = MajorIntervals(s);
    const double count = s.labels.ItemCount();
    std::string text;
    for (uint32_t k = 0; k < ticks; ++k) {
        if (!FormatAxisLabel(k, s, text)) break;
        const double f = (k + 0.5) * CategoryDivisor(s) / count;
        t.Draw(chart, t.edge.At(std::fmin(f, 1.0)), 0, text);
    }
}

void DrawAxisTitle(CChart& chart, const AxisRecord& axis) {
    AxisTexts t;
    if (!t.Start(chart, axis, kTitleVertical, kTitleHorizontal)) return;
    const uint16_t flags = t.series->settings.axisFlags;
    // Beyond the labels and the gap that follows them.
    const bool across = t.place == Placement::kLeft || t.place == Placement::kRight;
    const bool labelsUpright = flags & kLabelsVertical;
    double offset = 0;
    if (flags & (kLabelsVertical | kLabelsHorizontal))
        offset = double(across == labelsUpright ? axis.labelHeight : axis.labelWidth) + chart.gap;
    const char* title = t.series->settings.axisTitle;
    t.Draw(chart, t.edge.At(0.5), offset, std::string(title, strnlen(title, kChartTextSize - 1)));
}

} // namespace vl
