#include "tests/files/carried/xmlcarriedchart.h"

#include "files/xmlchartparts.h"
#include "files/xmlstyleitems.h"
#include "files/xmlwritten.h"
#include "model/blockobject.h"
#include "platform/core/screen.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vl {

namespace {

enum : uint8_t { kRoleY = 1, kRoleXY = 2, kRoleX = 3, kRoleSigma = 4 };
constexpr int kUserGridLines = 16;

// The group the XML form writes a role in; 3 for a role it does not write.
int WrittenGroup(uint8_t role) {
    switch (role) {
    case kRoleSigma:
        return 0;
    case kRoleXY:
    case kRoleX:
        return 1;
    case kRoleY:
        return 2;
    default:
        return 3;
    }
}

// Stack limits, fixed or not, are worked out again from the data by the chart's next
// refresh, which clears them first: the XML form does not carry them.
void KeepRange(const SeriesSettings& from, SeriesSettings& to) {
    to.rangeFlags = uint16_t(from.rangeFlags & (kFromValueGiven | kToValueGiven));
    to.fromValue = (from.rangeFlags & kFromValueGiven) ? from.fromValue : 0;
    to.toValue = (from.rangeFlags & kToValueGiven) ? from.toValue : 0;
    to.stackLower = 0;
    to.stackUpper = 0;
}

void KeepAxisAndGrid(const SeriesSettings& from, SeriesSettings& to) {
    to.numberFormat = from.numberFormat;
    to.axisType = from.axisType;
    to.axisFlags = from.axisFlags;
    to.axisLine = from.axisLine;
    to.axisFont = from.axisFont;
    std::memcpy(to.axisTitle, from.axisTitle, sizeof to.axisTitle);
    to.majorGrid = from.majorGrid;
    to.minorGrid = from.minorGrid;
    to.userGridCount = std::min<uint8_t>(from.userGridCount, kUserGridLines);
    for (int i = 0; i < to.userGridCount; ++i) {
        to.userGridLines[i] = from.userGridLines[i];
        to.userGridValues[i] = from.userGridValues[i];
    }
}

// A colour not given is not written: reading gives the new series' colour at that place.
void FreshColor(uint8_t given, COLORREF fresh, COLORREF& color) {
    if (!given) color = fresh;
}

// Colours not given are written as `XmlWrittenSeries` gives them, and read back with the
// reader's colours where they stay not given.
void FreshColors(const SeriesSettings& f, SeriesSettings& s) {
    s = XmlWrittenSeries(f, s);
    FreshColor(s.font.colorGiven, f.font.color, s.font.color);
    FreshColor(s.axisFont.colorGiven, f.axisFont.color, s.axisFont.color);
    SetUnwrittenFillColors(s.fill);
    for (InteriorFill& fill : s.sliceFills) SetUnwrittenFillColors(fill);
    for (BorderLine& line : s.userGridLines) SetUnwrittenLineColor(line);
    for (BorderLine* line : {&s.line, &s.connectingLine, &s.axisLine, &s.majorGrid, &s.minorGrid})
        SetUnwrittenLineColor(*line);
}

// Axis flags: labels and title each one orientation, the writer naming horizontal first;
// ticks and subticks; bits the XML form has no word for stay as a new series has them.
uint16_t WrittenAxisFlags(uint16_t fresh, uint16_t flags) {
    constexpr uint16_t kWritten = 0x3F, kTicks = 0x30;
    auto orientation = [flags](int shift) {
        const unsigned v = (flags >> shift) & 3u;
        return unsigned(v == 3 ? 2 : v) << shift;
    };
    return uint16_t((fresh & ~kWritten) | (flags & kTicks) | orientation(0) | orientation(2));
}

// `fresh` is a new series at the same place; `kept` what was loaded there.
void SettleFields(uint8_t chartType, const SeriesSettings& kept, SeriesSettings& s) {
    const SeriesSettings fresh = s;
    if (kept.role == kRoleY) {
        s = kept;
        s.reserved = 0;
        s.divisor = fresh.divisor; // value series write their periods, not a divisor
        // Grid lines past the count are not written.
        for (int i = s.userGridCount; i < kUserGridLines; ++i) {
            s.userGridLines[i] = fresh.userGridLines[i];
            s.userGridValues[i] = 0;
        }
        SettleXmlSeriesStyle(chartType, s);
        FreshUnwrittenStyle(chartType, fresh, s);
    } else {
        s.role = kept.role;
        std::memcpy(s.name, kept.name, sizeof s.name);
        std::memcpy(s.dataArray, kept.dataArray, sizeof s.dataArray);
    }
    KeepRange(kept, s);
    if (kept.role == kRoleSigma) return;
    if (kept.role != kRoleY) {
        // An X series is read back with the role its chart's type gives it.
        s.role = chartType == kChartXY ? kRoleXY : kRoleX;
        if (s.role == kRoleXY) {
            s.scale = kept.scale;
            s.periods = kept.periods;
            s.subperiods = kept.subperiods;
        } else {
            s.divisor = kept.divisor;
        }
        std::memcpy(s.relatedSigma, kept.relatedSigma, sizeof s.relatedSigma);
        KeepAxisAndGrid(kept, s);
    }
    if (chartType == kChart3D) std::memset(s.relatedSigma, 0, sizeof s.relatedSigma);
    s.axisFlags = WrittenAxisFlags(fresh.axisFlags, s.axisFlags);
    FreshColors(fresh, s);
}

} // namespace

void SettleSeriesRoles(CChart& chart) {
    const int count = std::min<int>(chart.settings.seriesCount, kChartSeries);
    std::vector<SeriesSettings> loaded;
    for (int i = 0; i < count; ++i) loaded.push_back(chart.series[i].settings);
    std::stable_sort(loaded.begin(), loaded.end(), [](const auto& a, const auto& b) {
        return WrittenGroup(a.role) < WrittenGroup(b.role);
    });
    const uint8_t type = WrittenChartType(chart.settings.type);
    uint8_t used = 0;
    for (const SeriesSettings& kept : loaded) {
        if (WrittenGroup(kept.role) == 3) break;
        InitSeries(chart, used);
        SettleFields(type, kept, chart.series[used].settings);
        ++used;
    }
    chart.settings.seriesCount = used;
}

void SettleChartLook(CChart& chart) {
    ChartSettings& s = chart.settings;
    s.type = WrittenChartType(s.type);
    const auto fresh = NewBlockObject<CChart>(s.type);
    if (!fresh) return;
    const ChartSettings& f = fresh->settings;
    const int titles = s.titleText[1][0] ? 2 : s.titleText[0][0] ? 1 : 0;
    for (int t = 0; t < 2; ++t) {
        if (t >= titles) s.titleFont[t] = f.titleFont[t];
        FreshColor(s.titleFont[t].colorGiven, f.titleFont[t].color, s.titleFont[t].color);
    }
    // Codes 1 to 8 name a position and a layout; any other reads back as a new chart's.
    if (s.legendCode > 8) s.legendCode = f.legendCode;
    if (!s.legendCode) s.legendFont = f.legendFont;
    FreshColor(s.legendFont.colorGiven, f.legendFont.color, s.legendFont.color);
    s.planeXY = s.planeXY != 0;
    s.planeXZ = s.planeXZ != 0;
    s.planeYZ = s.planeYZ != 0;
    // The plane of a 3D chart is written solid.
    if (s.type == kChart3D) s.planeFill.pattern = FORMAT_PAT_SOLID;
    SetUnwrittenFillColors(s.planeFill);
    SetUnwrittenLineColor(s.planeBorder);
}

void SettleFlatChart(CChart& chart) {
    if (WrittenChartType(chart.settings.type) == kChart3D) return;
    const auto fresh = NewBlockObject<CChart>(chart.settings.type);
    if (!fresh) return;
    ChartSettings& s = chart.settings;
    const ChartSettings& f = fresh->settings;
    s.rotationX = f.rotationX;
    s.rotationY = f.rotationY;
    s.rotationZ = f.rotationZ;
    s.lightDirectionX = f.lightDirectionX;
    s.lightDirectionY = f.lightDirectionY;
    s.perspective = f.perspective;
    s.lineWidth3D = f.lineWidth3D;
    s.pieThickness3D = f.pieThickness3D;
    s.planeXZ = f.planeXZ;
    s.planeYZ = f.planeYZ;
    std::copy(fresh->viewMatrix, fresh->viewMatrix + 16, chart.viewMatrix);
}

} // namespace vl
