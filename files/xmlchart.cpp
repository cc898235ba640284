// The chart elements "Chart2D", "Chart3D" and "ChartXY": options, titles, legend, the 3D
// view, the data series and the chart plane.

#include "files/xmlchartparts.h"
#include "files/xmlelements.h"
#include "files/xmlfields.h"
#include "files/xmlstyleitems.h"
#include "model/viewtransform.h"

#include <array>
#include <cfloat>
#include <cmath>

namespace vl {

namespace {

constexpr std::array<std::string_view, 4> kChartNames = {"", "Chart2D", "Chart3D", "ChartXY"};
constexpr std::array<std::string_view, 4> kLegendPositions = {"Left", "Top", "Right", "Bottom"};
constexpr std::array<std::string_view, 16> kMatrixNames = {"m11", "m12", "m13", "m14", "m21", "m22",
                                                           "m23", "m24", "m31", "m32", "m33", "m34",
                                                           "m41", "m42", "m43", "m44"};
constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd;

bool ReadOptions(CXmlReader& r, ChartSettings& s) {
    if (!r.ReadNextTag("Options", kXmlStart | kXmlOptional)) return r.Ok();
    if (!ReadXmlElementU8(r, "ViewWidth", kViewSizeMin, kViewSizeMax, s.viewWidth) ||
        !ReadXmlElementU8(r, "ViewHeight", kViewSizeMin, kViewSizeMax, s.viewHeight) ||
        !ReadXmlElementU8(r, "BarSize", 1, 100, s.barSize) ||
        !ReadXmlElementU8(r, "StackBarSize", 1, 100, s.stackBarSize))
        return false;
    if (s.type == kChart3D && (!ReadXmlElementU8(r, "LineWidth3D", 1, 100, s.lineWidth3D) ||
                               !ReadXmlElementU8(r, "PieTickness3D", 1, 100, s.pieThickness3D)))
        return false;
    return ReadXmlElementU8(r, "PieSplit", 0, 100, s.pieSplit) && r.ReadNextTag("Options", kXmlEnd);
}

bool ReadLegend(CXmlReader& r, CChart& chart) {
    if (!r.ReadNextTag("Legend", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    return ReadXmlLegendLayout(r, chart) && r.ReadNextTag("Font", kEmptyElement) &&
           ReadXmlColoredFont(r, chart.settings.legendFont) && r.ReadNextTag("Legend", kXmlEnd);
}

// Each entry is stored as a float, so it must stay finite as one.
bool ReadMatrix(CXmlReader& r, CChart& chart) {
    float matrix[16] = {};
    for (std::size_t i = 0; i < kMatrixNames.size(); ++i) {
        double v = 0;
        if (r.FindAttribute(kMatrixNames[i]) && !r.GetDoubleAttribute(v, -DBL_MAX, DBL_MAX))
            return false;
        matrix[i] = float(v);
        if (!std::isfinite(matrix[i])) return r.Fail(kErrorXmlData);
    }
    std::copy(matrix, matrix + 16, chart.viewMatrix);
    return true;
}

bool ReadRotation(CXmlReader& r, std::string_view name, int16_t& angle) {
    if (!r.ReadElementText(name, kXmlNumberTextLimit, kXmlAttributes)) return false;
    int64_t v = 0;
    if (!r.Check(ParseXmlSigned(r.Text(), 32768, -360, 360, v))) return false;
    angle = int16_t(v);
    return true;
}

bool ReadRotations(CXmlReader& r, CChart& chart) {
    ChartSettings& s = chart.settings;
    if (!ReadRotation(r, "RotationX", s.rotationX) || !ReadRotation(r, "RotationY", s.rotationY) ||
        !ReadRotation(r, "RotationZ", s.rotationZ))
        return false;
    ApplyChartTransform(chart.viewMatrix, kRotateX, ChartDegreesToRadians(s.rotationX));
    ApplyChartTransform(chart.viewMatrix, kRotateY, ChartDegreesToRadians(s.rotationY));
    ApplyChartTransform(chart.viewMatrix, kRotateZ, ChartDegreesToRadians(s.rotationZ));
    return true;
}

bool ReadTransformation(CXmlReader& r, CChart& chart) {
    if (!r.ReadNextTag("Transformation", kXmlStart | kXmlOptional)) return r.Ok();
    ChartSettings& s = chart.settings;
    if (r.ReadNextTag("Matrix", kEmptyElement | kXmlOptional)) {
        if (!ReadMatrix(r, chart)) return false;
    } else if (!r.Ok() || !ReadRotations(r, chart)) {
        return false;
    }
    return ReadXmlElementU16(r, "LightDirectionX", 0, 180, s.lightDirectionX) &&
           ReadXmlElementU16(r, "LightDirectionY", 0, 180, s.lightDirectionY) &&
           ReadXmlElementU16(r, "Perspective", 1, 100, s.perspective) &&
           r.ReadNextTag("Transformation", kXmlEnd);
}

bool ReadChartPlane(CXmlReader& r, ChartSettings& s) {
    if (!r.ReadNextTag("ChartPlane", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    s.planeXY = 1;
    if (!ReadXmlBoolIf(r, "PlaneXY", s.planeXY)) return false;
    if (s.type == kChart3D) {
        s.planeXZ = s.planeYZ = 1;
        if (!ReadXmlBoolIf(r, "PlaneXZ", s.planeXZ) || !ReadXmlBoolIf(r, "PlaneYZ", s.planeYZ))
            return false;
    }
    return r.ReadNextTag("FillPattern", kEmptyElement) && ReadXmlInterior(r, s.planeFill) &&
           r.ReadNextTag("Border", kEmptyElement) && ReadXmlBorder(r, s.planeBorder) &&
           r.ReadNextTag("ChartPlane", kXmlEnd);
}

bool ReadChartBody(CXmlReader& r, CChart& chart) {
    ChartSettings& s = chart.settings;
    return ReadOptions(r, s) && ReadXmlTitles(r, s.titleFont, s.titleText) &&
           ReadLegend(r, chart) && (s.type != kChart3D || ReadTransformation(r, chart)) &&
           ReadXmlDataSeries(r, chart) && ReadChartPlane(r, s) &&
           r.ReadNextTag(kChartNames[s.type], kXmlEnd);
}

void WriteOptions(CXmlWriter& w, uint8_t type, const ChartSettings& s, int level) {
    w.WriteTag("Options", {}, kXmlStartTag, level, 1);
    WriteXmlNumberElement(w, "ViewWidth", s.viewWidth, level + 1);
    WriteXmlNumberElement(w, "ViewHeight", s.viewHeight, level + 1);
    WriteXmlNumberElement(w, "BarSize", s.barSize, level + 1);
    WriteXmlNumberElement(w, "StackBarSize", s.stackBarSize, level + 1);
    if (type == kChart3D) {
        WriteXmlNumberElement(w, "LineWidth3D", s.lineWidth3D, level + 1);
        WriteXmlNumberElement(w, "PieTickness3D", s.pieThickness3D, level + 1);
    }
    WriteXmlNumberElement(w, "PieSplit", s.pieSplit, level + 1);
    w.WriteTag("Options", {}, kXmlEndTag, level, 1);
}

void WriteLegend(CXmlWriter& w, const ChartSettings& s, int level) {
    if (s.legendCode == 0) return;
    XmlAttributeText a;
    const unsigned position = (s.legendCode - 1u) / 2;
    a.Raw("Position", position < kLegendPositions.size() ? kLegendPositions[position] : "None");
    a.Raw("Layout", s.legendCode % 2 == 0 ? "Horizontal" : "Vertical");
    w.WriteTag("Legend", a.str(), kXmlStartTag, level, 1);
    WriteXmlColorFont(w, s.legendFont, level + 1);
    w.WriteTag("Legend", {}, kXmlEndTag, level, 1);
}

void WriteTransformation(CXmlWriter& w, const CChart& chart, int level) {
    const ChartSettings& s = chart.settings;
    w.WriteTag("Transformation", {}, kXmlStartTag, level, 1);
    XmlAttributeText m;
    for (std::size_t i = 0; i < kMatrixNames.size(); ++i)
        m.Raw(kMatrixNames[i], XmlFloatText(chart.viewMatrix[i]));
    w.WriteTag("Matrix", m.str(), kXmlEmptyTag, level + 1, 1);
    WriteXmlNumberElement(w, "LightDirectionX", s.lightDirectionX, level + 1);
    WriteXmlNumberElement(w, "LightDirectionY", s.lightDirectionY, level + 1);
    WriteXmlNumberElement(w, "Perspective", s.perspective, level + 1);
    w.WriteTag("Transformation", {}, kXmlEndTag, level, 1);
}

void WriteChartPlane(CXmlWriter& w, uint8_t type, const ChartSettings& s, int level) {
    XmlAttributeText a;
    a.Bool("PlaneXY", s.planeXY);
    if (type == kChart3D) a.Bool("PlaneXZ", s.planeXZ).Bool("PlaneYZ", s.planeYZ);
    w.WriteTag("ChartPlane", a.str(), kXmlStartTag, level, 1);
    // The plane of a 3D chart is always drawn solid.
    InteriorFill fill = s.planeFill;
    if (type == kChart3D) fill.pattern = FORMAT_PAT_SOLID;
    WriteXmlFillPattern(w, fill, level + 1);
    WriteXmlBorderLine(w, "Border", s.planeBorder, level + 1);
    w.WriteTag("ChartPlane", {}, kXmlEndTag, level, 1);
}

} // namespace

bool ReadXmlTitles(CXmlReader& r, ColoredFont fonts[2], char texts[2][kChartTextSize]) {
    for (int t = 0; t < 2; ++t) {
        if (!r.ReadNextTag("Title", kXmlStart | kXmlOptional)) return r.Ok();
        if (!r.ReadNextTag("Font", kEmptyElement) || !ReadXmlColoredFont(r, fonts[t]) ||
            !ReadXmlTextField(r, "Text", texts[t], kChartTextSize, kXmlAttributes) ||
            !r.ReadNextTag("Title", kXmlEnd))
            return false;
    }
    return true;
}

void WriteXmlTitles(CXmlWriter& w, const ColoredFont fonts[2], const char texts[2][kChartTextSize],
                    int level) {
    const int count = XmlTitlesWritten(texts);
    for (int t = 0; t < count; ++t) {
        w.WriteTag("Title", {}, kXmlStartTag, level, 1);
        WriteXmlColorFont(w, fonts[t], level + 1);
        w.WriteElement("Text", texts[t], level + 1, 1);
        w.WriteTag("Title", {}, kXmlEndTag, level, 1);
    }
}

bool ReadXmlLegendLayout(CXmlReader& r, CChart& chart) {
    uint8_t position = 2; // "Right"
    uint8_t layout = 0;
    if (r.FindAttribute("Position") && r.Value() == "None") {
        position = 255;
    } else if (!ReadXmlKeywordIf(r, "Position", kLegendPositions, position)) {
        return false;
    }
    static constexpr std::array<std::string_view, 2> kLayouts = {"Vertical", "Horizontal"};
    if (!ReadXmlKeywordIf(r, "Layout", kLayouts, layout)) return false;
    if (position != 255) chart.settings.legendCode = uint8_t(2 * position + 1 + layout);
    return true;
}

bool ReadXmlChart(CXmlReader& r, CChart& chart) {
    uint8_t type = 0;
    for (uint8_t t : {kChart2D, kChartXY, kChart3D}) {
        if (r.ReadNextTag(kChartNames[t], kXmlStart | kXmlOptional)) {
            type = t;
            break;
        }
        if (!r.Ok()) return false;
    }
    if (type == 0) return true;
    chart.settings.type = type;
    return r.IsEnd() || ReadChartBody(r, chart);
}

void WriteXmlChart(CXmlWriter& w, const CChart& chart) {
    constexpr int kLevel = 3;
    const ChartSettings& s = chart.settings;
    const uint8_t type = WrittenChartType(s.type);
    w.WriteTag(kChartNames[type], {}, kXmlStartTag, kLevel, 1);
    WriteOptions(w, type, s, kLevel + 1);
    WriteXmlTitles(w, s.titleFont, s.titleText, kLevel + 1);
    WriteLegend(w, s, kLevel + 1);
    if (type == kChart3D) WriteTransformation(w, chart, kLevel + 1);
    WriteXmlDataSeries(w, chart, kLevel + 1);
    WriteChartPlane(w, type, s, kLevel + 1);
    w.WriteTag(kChartNames[type], {}, kXmlEndTag, kLevel, 1);
}

} // namespace vl
