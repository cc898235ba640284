#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartplot.h"
#include "charts/draw/plotarea.h"
#include "core/settings.h"
#include "model/cellrecord.h"
#include "render/canvas.h"
#include "values/numfmt_number.h"
#include "values/standardformat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace vl {

namespace {

enum : uint8_t { kLabelsX = 1, kLabelsY = 2, kLabelsXY = 3, kLabelsYX = 4 };

std::string Bounded(const char* text, size_t size) {
    return std::string(text, strnlen(text, size - 1));
}

bool FormatPointValue(const CChartSeries& s, double value, std::string& text) {
    const StandardFormat& format = s.settings.numberFormat;
    if (format.kind == STD_STYLE_PERCENTAGE) value *= 100;
    return FormatValueText(value, Bounded(format.code, sizeof format.code), text,
                           &UserSeparators());
}

bool XText(const CChartSeries& s, const CChartSeries* domain, uint32_t p, std::string& text) {
    text.clear();
    if (!domain) return true;
    auto& d = const_cast<CChartSeries&>(*domain);
    if (d.settings.role == 2 && p < d.points.ItemCount()) {
        const ChartPoint point = SeriesPoint(d, p);
        if (Drawable(point)) return FormatPointValue(s, point.value, text);
    }
    if (d.settings.role == 3 && p < d.labels.ItemCount()) {
        const auto* label = static_cast<const ChartLabel*>(d.labels.GetItem44(p));
        if (label && !(label->flags & (kPointOutside | kPointNoValue))) {
            text = Bounded(label->text, sizeof label->text);
            return true;
        }
    }
    text = std::to_string(uint64_t(p) + 1);
    return true;
}

// The label of point p, cut to the longest text drawn; false when a value cannot be
// formatted or the series shows no labels.
bool ComposeLabel(CChartSeries& s, const CChartSeries* domain, uint32_t p, std::string& text) {
    const uint8_t kind = s.settings.labels;
    if (kind < kLabelsX || kind > kLabelsYX) return false;
    std::string y, x;
    if (kind != kLabelsX && !FormatPointValue(s, SeriesPoint(s, p).value, y)) return false;
    if (kind != kLabelsY && !XText(s, domain, p, x)) return false;
    switch (kind) {
    case kLabelsX:
        text = std::move(x);
        break;
    case kLabelsY:
        text = std::move(y);
        break;
    case kLabelsXY:
        text = x + "\n" + y;
        break;
    default:
        text = y + "\n" + x;
        break;
    }
    if (text.size() > kMaxLabelText) text.resize(kMaxLabelText);
    return true;
}

// The label format code, font and colour, and the page indexes the texts are read through.
void PrepareLabels(CChart& chart, CChartSeries& s, const CChartSeries* domain) {
    s.points.BuildPageIndex();
    if (domain) {
        auto& d = const_cast<CChartSeries&>(*domain);
        d.points.BuildPageIndex();
        d.labels.BuildPageIndex();
    }
    StandardFormat& format = s.settings.numberFormat;
    if (format.kind != STD_STYLE_USER_DEFINED) {
        const std::string code = BuildStandardFormatCode(format.kind, format.params);
        const size_t n = std::min(code.size(), sizeof format.code - 1);
        std::memcpy(format.code, code.data(), n);
        format.code[n] = 0;
    }
    chart.canvas->SetBkMode(1);
    chart.canvas->SetTextColor(LineColor({1, s.settings.font.colorGiven, s.settings.font.color}));
    chart.canvas->SelectFont(s.settings.font.font, 0, chart.zoomY);
}

struct AlignRow {
    double upTo;
    uint8_t horizontal, vertical;
};
constexpr AlignRow kAlignRows[] = {{10, 1, 5},  {80, 1, 7},  {100, 2, 7}, {170, 3, 7}, {190, 3, 5},
                                   {260, 3, 4}, {280, 2, 4}, {350, 1, 4}, {360, 1, 5}};

double Direction(const ChartVertex& a, const ChartVertex& p) {
    if (p.viewY == a.viewY) return 90;
    if (p.viewX == a.viewX) return p.viewY < a.viewY ? 90 : 270;
    double d = std::atan2(double(a.viewY) - p.viewY, double(p.viewX) - a.viewX) * 180 / M_PI;
    if (d < 0) d += 360;
    // Float vertices hold a boundary direction only to a few millionths of a degree.
    return std::round(d * 1000) / 1000;
}

double Distance(const ChartVertex& a, const ChartVertex& b) {
    return std::hypot(double(b.viewX) - a.viewX, double(b.viewY) - a.viewY);
}

// The point the label stands at and its alignment codes.
ChartVertex PlaceAnchor(CChart& chart, const LabelAnchor& anchor, uint8_t& h, uint8_t& v) {
    const ChartVertex a = VertexAt(chart, anchor.a);
    h = anchor.horizontal, v = anchor.vertical;
    if (h != 0 || v != 0) return a;
    const ChartVertex b = VertexAt(chart, anchor.b);
    const ChartVertex c = VertexAt(chart, anchor.c);
    const ChartVertex at = Distance(a, c) > Distance(a, b) ? c : b;
    const double direction = Direction(a, at);
    h = 1, v = 5;
    for (const AlignRow& row : kAlignRows)
        if (direction <= row.upTo) {
            h = row.horizontal, v = row.vertical;
            break;
        }
    return at;
}

} // namespace

bool AddLabelAnchor(CChart& chart, CChartSeries& series, uint32_t point, float x, float y,
                    uint8_t horizontal, uint8_t vertical) {
    const uint32_t vertex = chart.vertices.ItemCount();
    if (!AddVertex(chart, x, y, 0)) return false;
    LabelAnchor anchor{point, vertex, vertex, vertex, horizontal, vertical, {}};
    return series.labelAnchors.AppendItem24(&anchor);
}

CChartSeries* FindXDomainSeries(CChart& chart, const CChartSeries& series) {
    const std::string related = Bounded(series.settings.relatedX, kChartTextSize);
    if (related.empty()) return nullptr;
    for (uint16_t i = 0; i < chart.settings.seriesCount && i < kChartSeries; ++i) {
        const std::string name = Bounded(chart.series[i].settings.name, kChartTextSize);
        if (CompareNoCase(name.c_str(), related.c_str()) == 0) return &chart.series[i];
    }
    return nullptr;
}

void DrawSeriesLabels(CChart& chart, CChartSeries& s, const CChartSeries* domain) {
    if (s.settings.role != 1 || s.settings.labels == 0 || !chart.canvas) return;
    if (!chart.vertices.BuildPageIndex() || !s.labelAnchors.BuildPageIndex()) return;
    PrepareLabels(chart, s, domain);
    CCanvas& canvas = *chart.canvas;
    const uint32_t vertices = chart.vertices.ItemCount();
    std::string text;
    for (Page* page = s.labelAnchors.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at + sizeof(LabelAnchor) <= page->used; at += sizeof(LabelAnchor)) {
            LabelAnchor anchor;
            std::memcpy(&anchor, page->payload + at, sizeof anchor);
            if (anchor.a >= vertices || anchor.b >= vertices || anchor.c >= vertices) continue;
            uint8_t h = 0, v = 0;
            const ChartVertex where = PlaceAnchor(chart, anchor, h, v);
            if (!ComposeLabel(s, domain, anchor.point, text)) continue;
            canvas.SetTextAlign(h, v);
            canvas.DrawTextLines(DeviceCoord(where.viewX), DeviceCoord(where.viewY), text, 0);
        }
    }
}

void MeasureSeriesLabels(CChart& chart, CChartSeries& s, const CChartSeries* domain,
                         uint32_t& width, uint32_t& height) {
    width = height = 0;
    if (s.settings.role != 1 || s.settings.labels == 0 || !chart.canvas) return;
    PrepareLabels(chart, s, domain);
    std::string text;
    const uint32_t count = s.points.ItemCount();
    for (uint32_t p = 0; p < count; ++p) {
        if (!Drawable(SeriesPoint(s, p)) || !ComposeLabel(s, domain, p, text)) continue;
        int32_t w = 0, h = 0;
        if (!chart.canvas->MeasureText(text, w, h)) continue;
        width = std::max(width, uint32_t(std::max(w, 0)));
        height = std::max(height, uint32_t(std::max(h, 0)));
    }
}

} // namespace vl
