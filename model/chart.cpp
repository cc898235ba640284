#include "model/chart.h"

#include "model/viewtransform.h"

#include <algorithm>
#include <memory>

namespace vl {

namespace {

constexpr COLORREF kPalette[16] = {
    0x00FF00, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFFFF00, 0x808080, 0x808000, 0xFF00FF,
    0x008080, 0x800080, 0xFFFFFF, 0x000080, 0x008000, 0x800000, 0xC0C0C0, 0x000000,
};

COLORREF WindowText() {
    return GetSystemColor(kColorWindowText);
}
COLORREF WindowColor() {
    return GetSystemColor(kColorWindow);
}

BorderLine SolidLine(COLORREF color, uint8_t given) {
    return {FORMAT_LINE_SOLID, given, color};
}

InteriorFill SolidFill(COLORREF color) {
    InteriorFill fill;
    fill.pattern = FORMAT_PAT_SOLID;
    fill.patternColorGiven = 1;
    fill.patternColor = color;
    fill.backgroundColor = WindowColor();
    return fill;
}

} // namespace

uint8_t DefaultSeriesKind(uint8_t chartType) {
    switch (chartType) {
    case kChart2D:
        return 1;
    case kChart3D:
        return 7;
    case kChartXY:
        return 6;
    default:
        return 0;
    }
}

COLORREF ChartPaletteColor(int index) {
    return kPalette[index & 15];
}

void ResetPagedList(CPagedList& list) {
    std::destroy_at(&list);
    std::construct_at(&list);
}

CChart::CChart(uint8_t type) {
    // The type first: the series take their kind from it.
    settings.type = type;
    InitChartSettings(*this);
    ApplyChartTransform(viewMatrix, kResetTransform, 0.0);
}

CChart::~CChart() {
    ClearChart(*this);
}

void InitSeries(CChart& chart, uint16_t index) {
    if (index >= kChartSeries) return;
    SeriesSettings& s = chart.series[index].settings;
    s = SeriesSettings{};
    const COLORREF color = ChartPaletteColor(index);
    s.periods = s.subperiods = 1;
    s.divisor = 1;
    s.kind = DefaultSeriesKind(chart.settings.type);
    s.visible = 1;
    s.symbol = kNewSeriesSymbol;
    s.font.color = WindowText();
    s.line = SolidLine(color, 1);
    s.fill = SolidFill(color);
    s.sliceFillCount = 16;
    for (int k = 0; k < 16; ++k) s.sliceFills[k] = SolidFill(ChartPaletteColor(k));
    s.axisFlags = 0x72;
    s.axisLine = SolidLine(WindowText(), 0);
    s.axisFont.color = WindowText();
    s.majorGrid = s.minorGrid = SolidLine(WindowText(), 0);
    for (BorderLine& line : s.userGridLines) line = SolidLine(WindowText(), 0);
}

void InitChartSettings(CChart& chart) {
    ChartSettings& s = chart.settings;
    // The type is the chart's own, not a setting: the series defaults follow it.
    const uint8_t type = s.type;
    s = ChartSettings{};
    s.type = type;
    s.viewWidth = s.viewHeight = 100;
    s.barSize = s.stackBarSize = s.lineWidth3D = 70;
    s.pieThickness3D = 25;
    s.pieSplit = 15;
    s.titleFont[0].color = s.titleFont[1].color = WindowText();
    float identity[16];
    SetIdentityMatrix(identity);
    MultiplyMatrix4(identity, identity, chart.viewMatrix);
    s.lightDirectionX = 80;
    s.lightDirectionY = 100;
    s.perspective = 40;
    s.planeXY = s.planeXZ = s.planeYZ = 1;
    s.planeFill.pattern = FORMAT_PAT_SOLID;
    s.planeFill.patternColor = s.planeFill.backgroundColor = WindowColor();
    s.planeBorder = SolidLine(WindowText(), 0);
    for (uint16_t i = 0; i < kChartSeries; ++i) InitSeries(chart, i);
}

void ResetSeriesData(CChart& chart, uint16_t index) {
    if (index >= kChartSeries) return;
    CChartSeries& s = chart.series[index];
    s.valueFlags = s.scaled = 0;
    s.minimum = s.maximum = s.logMinimum = s.logMaximum = 0;
    s.lowPosition = s.highPosition = s.baseOffset = 0;
    s.settings.rangeFlags &= uint16_t(~kStackLimitsFixed);
    s.points.Clear(true);
    s.labels.Clear(true);
    s.labelAnchors.Clear(true);
}

bool CopyPagedList(const CPagedList& source, CPagedList& target, uint32_t size) {
    target.Clear(true);
    for (const Page* page = source.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at + size <= page->used; at += size) {
            if (!target.AppendItem(page->payload + at, size)) {
                target.Clear(true);
                return false;
            }
        }
    }
    return true;
}

std::unique_ptr<CChart> CChart::Clone() const {
    auto copy = NewBlockObject<CChart>(settings.type);
    if (!copy) return nullptr;
    copy->flags = flags;
    copy->error = error;
    copy->settings = settings;
    std::copy(std::begin(viewMatrix), std::end(viewMatrix), copy->viewMatrix);
    for (int i = 0; i < kChartSeries; ++i) {
        const CChartSeries& from = series[i];
        CChartSeries& to = copy->series[i];
        to.settings = from.settings;
        to.valueFlags = from.valueFlags;
        to.scaled = from.scaled;
        to.minimum = from.minimum, to.maximum = from.maximum;
        to.logMinimum = from.logMinimum, to.logMaximum = from.logMaximum;
        to.lowPosition = from.lowPosition, to.highPosition = from.highPosition;
        to.baseOffset = from.baseOffset;
        if (!CopyPagedList(from.points, to.points, sizeof(ChartPoint)) ||
            !CopyPagedList(from.labels, to.labels, sizeof(ChartLabel)) ||
            !CopyPagedList(from.labelAnchors, to.labelAnchors, 24))
            return nullptr;
    }
    if (!CopyPagedList(vertices, copy->vertices, sizeof(ChartVertex)) ||
        !CopyPagedList(faces, copy->faces, sizeof(ChartFace)))
        return nullptr;
    std::copy(std::begin(walls), std::end(walls), copy->walls);
    copy->axisCount = axisCount;
    for (int i = 0; i < kChartAxes; ++i) {
        copy->axes[i] = axes[i];
        copy->axes[i].series = copy->OwnSeries(axes[i].series, *this);
    }
    copy->gridLineCount = gridLineCount;
    for (int i = 0; i < kChartGridLineSets; ++i) {
        copy->gridLines[i] = gridLines[i];
        copy->gridLines[i].series = copy->OwnSeries(gridLines[i].series, *this);
    }
    std::copy(std::begin(light), std::end(light), copy->light);
    copy->canvas = canvas;
    copy->gap = gap;
    copy->zoomX = zoomX, copy->zoomY = zoomY;
    std::copy(std::begin(margins), std::end(margins), copy->margins);
    return copy;
}

CChartSeries* CChart::OwnSeries(const CChartSeries* s, const CChart& source) {
    // Axes and grid lines belong to a series of their own chart.
    if (!s || s < source.series || s >= source.series + kChartSeries) return nullptr;
    return series + (s - source.series);
}

void ClearChart(CChart& chart) {
    for (uint16_t i = 0; i < chart.settings.seriesCount && i < kChartSeries; ++i)
        if (chart.series[i].settings.role != 0) ResetSeriesData(chart, i);
    chart.flags &= uint8_t(~(kChartScalesValid | kChartLaidOut));
    ResetPagedList(chart.vertices);
    ResetPagedList(chart.faces);
    for (CChartSeries& s : chart.series) {
        ResetPagedList(s.points);
        ResetPagedList(s.labels);
        ResetPagedList(s.labelAnchors);
    }
}

} // namespace vl
