// The presentation element of a value series: its kind by element name and chart type,
// its display options and its font, fills and lines.

#include "files/xmlchartparts.h"
#include "files/xmlfields.h"
#include "files/xmlnames.h"
#include "files/xmlstyleitems.h"

#include <algorithm>
#include <array>
#include <span>

namespace vl {

namespace {

constexpr std::array<std::string_view, 5> kLabelNames = {"None", "X", "Y", "XY", "YX"};
constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd;
constexpr uint8_t kMaxSlices = 16;

enum Child : uint8_t { kNoChild, kFont, kFill, kLine, kBorder, kConnectingLine, kSlices };

// One presentation element in one chart type: the kind it gives, the options it carries
// and its children in order.
struct StyleForm {
    std::string_view name;
    uint8_t kind;
    bool stacked;
    bool labels;
    bool symbol;
    std::array<Child, 4> children;
};

constexpr std::array<StyleForm, 6> k2DForms = {{
    {"Column", 1, true, true, false, {kFont, kFill}},
    {"Bar", 2, true, true, false, {kFont, kFill}},
    {"Area", 4, true, true, false, {kFont, kFill}},
    {"Line", 3, false, true, false, {kFont, kLine}},
    {"Pie", 5, false, true, false, {kFont, kSlices}},
    {"Scatter", 6, false, true, true, {kFont, kBorder, kFill, kConnectingLine}},
}};
constexpr std::array<StyleForm, 5> k3DForms = {{
    {"Column", 7, true, false, false, {kFill}},
    {"Bar", 8, true, false, false, {kFill}},
    {"Area", 10, true, false, false, {kFill}},
    {"Line", 9, false, false, false, {kFill}},
    // A 3D pie shows its labels, as a flat one does.
    {"Pie", 11, false, true, false, {kFont, kSlices}},
}};
constexpr std::array<StyleForm, 1> kXYForms = {{k2DForms[5]}};

std::span<const StyleForm> FormsOf(uint8_t chartType) {
    if (chartType == kChart3D) return k3DForms;
    if (chartType == kChartXY) return kXYForms;
    return k2DForms;
}

// The form a series is written in: the one of its kind in the chart's type, or the type's
// first form for a kind the type has not, so that everything written reads back.
const StyleForm& WrittenForm(uint8_t chartType, uint8_t kind) {
    const std::span<const StyleForm> forms = FormsOf(chartType);
    const uint8_t flat = kind >= 7 && kind <= 11 ? uint8_t(kind - 6) : kind;
    const bool has3D = flat >= 1 && flat <= 5;
    const uint8_t wanted = chartType != kChart3D ? flat : has3D ? uint8_t(flat + 6) : 0;
    for (const StyleForm& f : forms)
        if (f.kind == wanted) return f;
    return forms[0];
}

bool ReadSlices(CXmlReader& r, SeriesSettings& s) {
    uint8_t count = 0;
    if (!r.ReadNextTag("FillPattern", kEmptyElement) || !ReadXmlInterior(r, s.sliceFills[count++]))
        return false;
    while (r.ReadNextTag("FillPattern", kEmptyElement | kXmlOptional)) {
        if (count == kMaxSlices) return r.Fail(kErrorXmlElement);
        if (!ReadXmlInterior(r, s.sliceFills[count++])) return false;
    }
    s.sliceFillCount = count;
    return r.Ok();
}

bool ReadChild(CXmlReader& r, Child child, SeriesSettings& s) {
    switch (child) {
    case kFont:
        return r.ReadNextTag("Font", kEmptyElement) && ReadXmlColoredFont(r, s.font);
    case kFill:
        return r.ReadNextTag("FillPattern", kEmptyElement) && ReadXmlInterior(r, s.fill);
    case kLine:
        return r.ReadNextTag("Line", kEmptyElement) && ReadXmlBorder(r, s.line);
    case kBorder:
        return r.ReadNextTag("Border", kEmptyElement) && ReadXmlBorder(r, s.line);
    case kConnectingLine:
        return r.ReadNextTag("ConnectingLine", kEmptyElement) && ReadXmlBorder(r, s.connectingLine);
    case kSlices:
        return ReadSlices(r, s);
    default:
        return true;
    }
}

bool ReadForm(CXmlReader& r, const StyleForm& form, SeriesSettings& s) {
    if (!ReadXmlSeriesOptions(r, s, form.stacked, form.symbol)) return false;
    s.kind = form.kind;
    if (r.IsEnd()) return r.Fail(kErrorXmlElement); // every form has children
    for (Child child : form.children)
        if (!ReadChild(r, child, s)) return false;
    return r.ReadNextTag(form.name, kXmlEnd);
}

void WriteChild(CXmlWriter& w, Child child, const SeriesSettings& s, int level) {
    switch (child) {
    case kFont:
        WriteXmlColorFont(w, s.font, level);
        break;
    case kFill:
        WriteXmlFillPattern(w, s.fill, level);
        break;
    case kLine:
        WriteXmlBorderLine(w, "Line", s.line, level);
        break;
    case kBorder:
        WriteXmlBorderLine(w, "Border", s.line, level);
        break;
    case kConnectingLine:
        WriteXmlBorderLine(w, "ConnectingLine", s.connectingLine, level);
        break;
    case kSlices: {
        // A pie has at least one slice: the reader requires the first fill.
        const int count = s.sliceFillCount < 1            ? 1
                          : s.sliceFillCount > kMaxSlices ? kMaxSlices
                                                          : s.sliceFillCount;
        for (int i = 0; i < count; ++i) WriteXmlFillPattern(w, s.sliceFills[i], level);
        break;
    }
    default:
        break;
    }
}

std::string_view StackedName(const SeriesSettings& s) {
    if (!s.stacked) return "No";
    return s.relative ? "Relative" : "Normal";
}

} // namespace

void SettleXmlSeriesStyle(uint8_t chartType, SeriesSettings& s) {
    const StyleForm& form = WrittenForm(chartType, s.kind);
    s.kind = form.kind;
    if (!form.symbol) s.symbol = 5;
}

void FreshUnwrittenStyle(uint8_t chartType, const SeriesSettings& fresh, SeriesSettings& s) {
    const StyleForm& form = WrittenForm(chartType, s.kind);
    auto has = [&form](Child c) {
        return std::find(form.children.begin(), form.children.end(), c) != form.children.end();
    };
    if (!form.stacked) s.stacked = fresh.stacked;
    if (!s.stacked) s.relative = fresh.relative;
    s.relative = s.relative != 0;
    s.stacked = s.stacked != 0;
    s.visible = s.visible != 0;
    if (!has(kFont)) s.font = fresh.font;
    if (!has(kFill)) s.fill = fresh.fill;
    if (!has(kLine) && !has(kBorder)) s.line = fresh.line;
    if (!has(kConnectingLine)) s.connectingLine = fresh.connectingLine;
    if (!has(kSlices)) {
        s.sliceFillCount = fresh.sliceFillCount;
        std::copy(fresh.sliceFills, fresh.sliceFills + kMaxSlices, s.sliceFills);
        return;
    }
    s.sliceFillCount = std::clamp<uint8_t>(s.sliceFillCount, 1, kMaxSlices);
    std::copy(fresh.sliceFills + s.sliceFillCount, fresh.sliceFills + kMaxSlices,
              s.sliceFills + s.sliceFillCount);
}

bool ReadXmlSeriesOptions(CXmlReader& r, SeriesSettings& s, bool readStacked, bool readSymbol) {
    if (readStacked && r.FindAttribute("Stacked")) {
        const std::string_view v = r.Value();
        if (v == "No") {
            s.stacked = 0;
        } else if (v == "Normal" || v == "Relative") {
            s.stacked = 1;
            if (v == "Relative") s.relative = 1;
        } else {
            return r.Fail(kErrorXmlAttribute);
        }
    }
    if (!ReadXmlKeywordIf(r, "Labels", kLabelNames, s.labels)) return false;
    s.visible = 1;
    if (!ReadXmlBoolIf(r, "Visible", s.visible)) return false;
    if (!readSymbol) {
        s.symbol = 5;
        return true;
    }
    // Symbol 0 is written as the empty word, which reads back as 0.
    s.symbol = 3;
    return ReadXmlKeywordIf(r, "Symbol", kXmlPointSymbols, s.symbol);
}

bool ReadXmlSeriesStyle(CXmlReader& r, uint8_t chartType, SeriesSettings& s) {
    for (const StyleForm& form : FormsOf(chartType)) {
        if (r.ReadNextTag(form.name, kXmlAttributes | kXmlStart | kXmlOptional))
            return ReadForm(r, form, s);
        if (!r.Ok()) return false;
    }
    return r.Fail(kErrorXmlElement);
}

void WriteXmlSeriesStyle(CXmlWriter& w, uint8_t chartType, const SeriesSettings& s, int level) {
    const StyleForm& form = WrittenForm(chartType, s.kind);
    XmlAttributeText a;
    if (form.stacked) a.Raw("Stacked", StackedName(s));
    if (form.symbol) a.Raw("Symbol", XmlNameOf(kXmlPointSymbols, s.symbol));
    if (form.labels)
        a.Raw("Labels", s.labels < kLabelNames.size() ? kLabelNames[s.labels] : "None");
    a.Bool("Visible", s.visible);
    w.WriteTag(form.name, a.str(), kXmlStartTag, level, 1);
    for (Child child : form.children) WriteChild(w, child, s, level + 1);
    w.WriteTag(form.name, {}, kXmlEndTag, level, 1);
}

} // namespace vl
