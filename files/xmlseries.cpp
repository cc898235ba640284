// "DataSeries": the "Sigma", "X" and "Y" series of a chart with their data texts, scale,
// periods, number format, axis and grid lines.

#include "files/xmlchartparts.h"
#include "files/xmlfields.h"
#include "files/xmlnames.h"
#include "files/xmlstyleitems.h"
#include "files/xmlwritten.h"
#include "model/blockobject.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>

namespace vl {

namespace {

enum SeriesRole : uint8_t { kRoleY = 1, kRoleXY = 2, kRoleX = 3, kRoleSigma = 4 };

constexpr std::array<std::string_view, 4> kScaleNames = {"Linear", "Log2", "LogE", "Log10"};
constexpr std::array<std::string_view, 4> kAxisTypes = {"None", "Primary", "Secondary", "Dual"};
constexpr std::array<std::string_view, 3> kOrientations = {"None", "Vertical", "Horizontal"};
constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd;
constexpr uint8_t kMaxUserGridLines = 16;
// Axis flag bits: labels 0-1, title 2-3, ticks 4, subticks 5.
constexpr uint16_t kTicks = 16, kSubticks = 32;

bool ReadScale(CXmlReader& r, SeriesSettings& s) {
    if (s.role == kRoleX) return true;
    s.scale = 0;
    if (!r.FindAttribute("Scale")) return true;
    if (r.Value() == "Log") {
        s.scale = 2;
        return true;
    }
    return ReadXmlKeywordIf(r, "Scale", kScaleNames, s.scale);
}

// Whether hexadecimal digits with a binary exponent that no double reaches are too small
// rather than too large: the digits alone are a double and the exponent takes them below the
// smallest one.
bool Underflows(std::string_view t) {
    constexpr long kExponentCap = 100000;
    const std::size_t p = t.find_first_of("pP");
    if (p == std::string_view::npos) return false;
    double mantissa = 0;
    const auto digits = std::from_chars(t.data(), t.data() + p, mantissa, std::chars_format::hex);
    if (digits.ec != std::errc() || digits.ptr != t.data() + p) return false;
    std::string_view e = t.substr(p + 1);
    const bool down = !e.empty() && e[0] == '-';
    if (!e.empty() && (e[0] == '-' || e[0] == '+')) e.remove_prefix(1);
    long exponent = 0;
    for (const char c : e) exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
    return std::ldexp(mantissa, int(down ? -exponent : exponent)) == 0;
}

// The hexadecimal form of a number: an optional sign, "0x" or "0X", hexadecimal digits with
// an optional fraction and binary exponent ("0x1.8p3" is 12); the whole text, finite.
bool ParseHexNumber(std::string_view t, double& value) {
    const bool negative = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
    if (t.size() < 3 || t[0] != '0' || (t[1] != 'x' && t[1] != 'X')) return false;
    t.remove_prefix(2);
    // The digits carry no sign of their own.
    if (t[0] == '-' || t[0] == '+') return false;
    double v = 0;
    const auto [end, ec] =
        std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::hex);
    if (ec == std::errc::result_out_of_range && end == t.data() + t.size() && Underflows(t))
        v = 0; // too small for a double: zero, as the decimal conversion has it
    else if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
        return false;
    value = negative ? -v : v;
    return true;
}

// A "FromValue" or "ToValue", decimal or hexadecimal: blanks before the number are allowed,
// nothing after it.
bool ReadRangeValue(CXmlReader& r, std::string_view name, uint16_t flag, SeriesSettings& s,
                    double& value) {
    if (!r.FindAttribute(name)) return true;
    std::string_view v = r.Value();
    while (!v.empty() && IsAsciiSpace(v.front())) v.remove_prefix(1);
    if (!ParseHexNumber(v, value) && !r.Check(ParseXmlDouble(v, -DBL_MAX, DBL_MAX, value)))
        return false;
    s.rangeFlags |= flag;
    return true;
}

bool ReadPeriods(CXmlReader& r, SeriesSettings& s) {
    if (!r.ReadNextTag("DataPeriods", kEmptyElement)) return false;
    if (s.role == kRoleX)
        return !r.FindAttribute("Divisor") || r.GetU32Attribute(s.divisor, 1, uint32_t(kXmlCapU32));
    return (!r.FindAttribute("Periods") || r.GetU16Attribute(s.periods, 1, uint16_t(kXmlCapU16))) &&
           (!r.FindAttribute("Subperiods") ||
            r.GetU16Attribute(s.subperiods, 0, uint16_t(kXmlCapU16)));
}

// An orientation keyword sets its two bits of the axis flags to exactly that value.
bool ReadOrientation(CXmlReader& r, std::string_view name, int shift, uint16_t& flags) {
    uint8_t value = 0;
    if (!r.FindAttribute(name)) return true;
    if (!ReadXmlKeywordIf(r, name, kOrientations, value)) return false;
    flags = uint16_t((flags & ~(3u << shift)) | (unsigned(value) << shift));
    return true;
}

bool ReadFlagBit(CXmlReader& r, std::string_view name, uint16_t bit, uint16_t& flags) {
    if (!r.FindAttribute(name)) return true;
    bool on = false;
    if (!r.GetBoolAttribute(on)) return false;
    flags = uint16_t(on ? flags | bit : flags & ~bit);
    return true;
}

bool ReadAxis(CXmlReader& r, SeriesSettings& s) {
    if (!r.ReadNextTag("Axis", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    return ReadXmlKeywordIf(r, "Type", kAxisTypes, s.axisType) &&
           ReadOrientation(r, "Labels", 0, s.axisFlags) &&
           ReadOrientation(r, "Title", 2, s.axisFlags) &&
           ReadFlagBit(r, "Ticks", kTicks, s.axisFlags) &&
           ReadFlagBit(r, "Subticks", kSubticks, s.axisFlags) &&
           ReadXmlTextField(r, "TitleText", s.axisTitle, kChartTextSize) &&
           r.ReadNextTag("Font", kEmptyElement) && ReadXmlColoredFont(r, s.axisFont) &&
           r.ReadNextTag("Line", kEmptyElement) && ReadXmlBorder(r, s.axisLine) &&
           r.ReadNextTag("Axis", kXmlEnd);
}

// Major or minor grid lines: a value series may repeat them (the last wins).
bool ReadGridLine(CXmlReader& r, std::string_view name, bool repeat, BorderLine& line) {
    while (r.ReadNextTag(name, kEmptyElement | kXmlOptional)) {
        if (!ReadXmlBorder(r, line)) return false;
        if (!repeat) break;
    }
    return r.Ok();
}

bool ReadUserGridLine(CXmlReader& r, SeriesSettings& s) {
    if (s.userGridCount == kMaxUserGridLines) return r.Fail(kErrorXmlElement);
    const uint8_t i = s.userGridCount;
    if (!ReadXmlBorder(r, s.userGridLines[i])) return false;
    std::string_view text;
    if (!r.IsEnd()) {
        if (!r.ReadContent(kXmlNumberTextLimit) || !r.ReadNextTag("UserGridLine", kXmlEnd))
            return false;
        text = r.Text();
    }
    if (!r.Check(ParseXmlDouble(text, -DBL_MAX, DBL_MAX, s.userGridValues[i]))) return false;
    s.userGridCount = uint8_t(i + 1);
    return true;
}

bool ReadGridLines(CXmlReader& r, SeriesSettings& s, bool repeat) {
    if (!r.ReadNextTag("GridLines", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    if (!ReadGridLine(r, "MajorGridLines", repeat, s.majorGrid) ||
        !ReadGridLine(r, "MinorGridLines", repeat, s.minorGrid))
        return false;
    while (r.ReadNextTag("UserGridLine", kXmlAttributes | kXmlStart | kXmlOptional))
        if (!ReadUserGridLine(r, s)) return false;
    return r.Ok() && r.ReadNextTag("GridLines", kXmlEnd);
}

// The value range of a series, when its "DataArray" carries one: any series may hold one
// (the version-6 form gives one to its category series), and what is written reads back.
bool ReadRange(CXmlReader& r, SeriesSettings& s) {
    return ReadRangeValue(r, "FromValue", kFromValueGiven, s, s.fromValue) &&
           ReadRangeValue(r, "ToValue", kToValueGiven, s, s.toValue);
}

bool ReadSigma(CXmlReader& r, SeriesSettings& s) {
    return ReadXmlTextField(r, "Name", s.name, kChartTextSize) &&
           ReadXmlTextField(r, "DataArray", s.dataArray, kDataArraySize, kXmlAttributes) &&
           ReadRange(r, s);
}

bool ReadValueSeries(CXmlReader& r, uint8_t type, SeriesSettings& s) {
    const bool y = s.role == kRoleY;
    if (!ReadXmlTextField(r, "Name", s.name, kChartTextSize)) return false;
    if (type != kChart3D && !ReadXmlTextField(r, "RelatedSigma", s.relatedSigma, kChartTextSize))
        return false;
    if (y && !ReadXmlTextField(r, "RelatedX", s.relatedX, kChartTextSize)) return false;
    if (!ReadXmlTextField(r, "DataArray", s.dataArray, kDataArraySize, kXmlAttributes))
        return false;
    if (!ReadRange(r, s)) return false;
    if (!ReadPeriods(r, s) || !ReadXmlNumberFormat(r, s.numberFormat)) return false;
    if (y && !ReadXmlSeriesStyle(r, type, s)) return false;
    return ReadAxis(r, s) && ReadGridLines(r, s, y);
}

// Every series element of one name, each the chart's next series.
bool ReadGroup(CXmlReader& r, CChart& chart, std::string_view name, uint8_t role) {
    const uint8_t type = chart.settings.type;
    while (r.ReadNextTag(name, kXmlAttributes | kXmlStart | kXmlOptional)) {
        const uint8_t index = chart.settings.seriesCount;
        if (index >= kChartSeries) return r.Fail(kErrorXmlElement);
        InitSeries(chart, index);
        SeriesSettings& s = chart.series[index].settings;
        s.role = role;
        if (!ReadScale(r, s)) return false;
        if (r.IsEnd()) return r.Fail(kErrorXmlElement); // "Name" is required
        if (!(role == kRoleSigma ? ReadSigma(r, s) : ReadValueSeries(r, type, s))) return false;
        chart.settings.seriesCount = uint8_t(index + 1);
        if (!r.ReadNextTag(name, kXmlEnd)) return false;
    }
    return r.Ok();
}

void WriteDataArray(CXmlWriter& w, const SeriesSettings& s, int level) {
    XmlAttributeText a;
    if (s.rangeFlags & kFromValueGiven) a.Raw("FromValue", XmlNumberText(s.fromValue));
    if (s.rangeFlags & kToValueGiven) a.Raw("ToValue", XmlNumberText(s.toValue));
    WriteXmlTextElement(w, "DataArray", a.str(), s.dataArray, level);
}

std::string_view OrientationName(uint16_t flags, int shift) {
    if (flags & (2u << shift)) return "Horizontal";
    if (flags & (1u << shift)) return "Vertical";
    return "None";
}

void WriteAxis(CXmlWriter& w, const SeriesSettings& s, int level) {
    XmlAttributeText a;
    a.Raw("Type", s.axisType < kAxisTypes.size() ? kAxisTypes[s.axisType] : "None");
    a.Raw("Labels", OrientationName(s.axisFlags, 0)).Raw("Title", OrientationName(s.axisFlags, 2));
    a.Bool("Ticks", s.axisFlags & kTicks).Bool("Subticks", s.axisFlags & kSubticks);
    w.WriteTag("Axis", a.str(), kXmlStartTag, level, 1);
    w.WriteElement("TitleText", s.axisTitle, level + 1, 1);
    WriteXmlColorFont(w, s.axisFont, level + 1);
    WriteXmlBorderLine(w, "Line", s.axisLine, level + 1);
    w.WriteTag("Axis", {}, kXmlEndTag, level, 1);
}

void WriteGridLines(CXmlWriter& w, const SeriesSettings& s, int level) {
    w.WriteTag("GridLines", {}, kXmlStartTag, level, 1);
    WriteXmlBorderLine(w, "MajorGridLines", s.majorGrid, level + 1);
    WriteXmlBorderLine(w, "MinorGridLines", s.minorGrid, level + 1);
    const int count = s.userGridCount < kMaxUserGridLines ? s.userGridCount : kMaxUserGridLines;
    for (int i = 0; i < count; ++i) {
        const BorderLine& line = s.userGridLines[i];
        XmlAttributeText a;
        if (line.style) a.Raw("Style", XmlNameOf(kXmlLineStyles, line.style));
        if (line.colorGiven) a.Color("Color", line.color, false);
        WriteXmlTextElement(w, "UserGridLine", a.str(), XmlNumberText(s.userGridValues[i]),
                            level + 1);
    }
    w.WriteTag("GridLines", {}, kXmlEndTag, level, 1);
}

void WriteSeries(CXmlWriter& w, uint8_t type, const SeriesSettings& s, int level) {
    if (s.role == kRoleSigma) {
        w.WriteTag("Sigma", {}, kXmlStartTag, level, 1);
        w.WriteElement("Name", s.name, level + 1, 1);
        WriteDataArray(w, s, level + 1);
        w.WriteTag("Sigma", {}, kXmlEndTag, level, 1);
        return;
    }
    const bool y = s.role == kRoleY;
    const std::string_view name = y ? "Y" : "X";
    XmlAttributeText a;
    if (s.scale >= 1 && s.scale < kScaleNames.size()) a.Raw("Scale", kScaleNames[s.scale]);
    w.WriteTag(name, a.str(), kXmlStartTag, level, 1);
    w.WriteElement("Name", s.name, level + 1, 1);
    if (type != kChart3D) w.WriteElement("RelatedSigma", s.relatedSigma, level + 1, 1);
    if (y) w.WriteElement("RelatedX", s.relatedX, level + 1, 1);
    WriteDataArray(w, s, level + 1);
    XmlAttributeText periods;
    // An X series is read back with the role its chart's type gives it.
    if (!y && type != kChartXY)
        periods.Int("Divisor", s.divisor);
    else
        periods.Int("Periods", s.periods).Int("Subperiods", s.subperiods);
    w.WriteTag("DataPeriods", periods.str(), kXmlEmptyTag, level + 1, 1);
    WriteXmlNumberFormat(w, s.numberFormat, level + 1);
    if (y) WriteXmlSeriesStyle(w, type, s, level + 1);
    WriteAxis(w, s, level + 1);
    WriteGridLines(w, s, level + 1);
    w.WriteTag(name, {}, kXmlEndTag, level, 1);
}

} // namespace

bool ReadXmlDataSeries(CXmlReader& r, CChart& chart) {
    if (!r.ReadNextTag("DataSeries", kXmlStart)) return false;
    if (r.IsEnd()) return true;
    return ReadGroup(r, chart, "Sigma", kRoleSigma) &&
           ReadGroup(r, chart, "X", chart.settings.type == kChartXY ? kRoleXY : kRoleX) &&
           ReadGroup(r, chart, "Y", kRoleY) && r.ReadNextTag("DataSeries", kXmlEnd);
}

void WriteXmlDataSeries(CXmlWriter& w, const CChart& chart, int level) {
    const uint8_t type = WrittenChartType(chart.settings.type);
    const int count =
        chart.settings.seriesCount < kChartSeries ? chart.settings.seriesCount : kChartSeries;
    w.WriteTag("DataSeries", {}, kXmlStartTag, level, 1);
    // The reader starts each series as a new one at the place it is read to.
    const auto fresh = NewBlockObject<CChart>(type);
    uint16_t place = 0;
    for (const uint8_t role : {kRoleSigma, kRoleXY, kRoleY}) {
        for (int i = 0; i < count; ++i) {
            const SeriesSettings& s = chart.series[i].settings;
            // X series of both kinds form one group.
            if (s.role != role && !(role == kRoleXY && s.role == kRoleX)) continue;
            if (fresh) InitSeries(*fresh, place);
            WriteSeries(w, type, fresh ? XmlWrittenSeries(fresh->series[place].settings, s) : s,
                        level + 1);
            ++place;
        }
    }
    w.WriteTag("DataSeries", {}, kXmlEndTag, level, 1);
}

} // namespace vl
