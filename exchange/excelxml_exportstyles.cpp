// Writing the style table as "Styles": one "Style" per record with its alignment,
// borders, font, interior and number format. Record 0 is "Default" and writes every child.

#include "exchange/excelxmlparts.h"
#include "model/styles.h"
#include "values/standardformat.h"

#include <array>
#include <cstring>

namespace vl {

namespace {

// An element of attributes only: bare when it has none.
void WriteEmpty(CXmlWriter& w, std::string_view name, const XmlAttributeText& a, int level) {
    w.WriteTag(name, a.str(), kXmlEmptyTag, level, 1);
}

std::string_view HorizontalName(uint8_t code) {
    return code == 1 ? "Left" : code == 2 ? "Center" : code == 3 ? "Right" : "";
}

std::string_view VerticalName(uint8_t code) {
    return code == 4 ? "Top" : code == 5 ? "Center" : code == 7 ? "Bottom" : "";
}

void WriteAlignment(CXmlWriter& w, const StyleRecord& s, const StyleRecord& base, bool first,
                    int level) {
    XmlAttributeText a;
    const std::string_view h = HorizontalName(s.horizontalAlignment);
    const std::string_view v = VerticalName(s.verticalAlignment);
    if (!h.empty() && (first || s.horizontalAlignment != base.horizontalAlignment))
        a.Raw("ss:Horizontal", h);
    if (!v.empty() && (first || s.verticalAlignment != base.verticalAlignment))
        a.Raw("ss:Vertical", v);
    if (s.horizontalIndent != 4) a.Int("ss:Indent", s.horizontalIndent);
    if (s.wrapText) a.Raw("ss:WrapText", "1");
    if (s.fitToCell) a.Raw("ss:ShrinkToFit", "1");
    if (s.rotation != 0) a.Int("ss:Rotate", s.rotation);
    if (first || !a.empty()) WriteEmpty(w, "Alignment", a, level);
}

void WriteExcelXmlBorder(CXmlWriter& w, std::string_view position, const BorderLine& line,
                         int level) {
    struct LineWord {
        std::string_view style;
        std::string_view weight;
    };
    static constexpr std::array<LineWord, 10> kLines = {{{"", ""},
                                                         {"Continuous", ""},
                                                         {"Dot", ""},
                                                         {"Dash", ""},
                                                         {"DashDot", ""},
                                                         {"DashDotDot", ""},
                                                         {"Continuous", "1"},
                                                         {"Continuous", "2"},
                                                         {"Continuous", "3"},
                                                         {"Double", "3"}}};
    XmlAttributeText a;
    a.Raw("ss:Position", position);
    if (line.style > 0 && line.style < kLines.size()) {
        a.Raw("ss:LineStyle", kLines[line.style].style);
        if (!kLines[line.style].weight.empty()) a.Raw("ss:Weight", kLines[line.style].weight);
    }
    if (line.colorGiven) a.Color("ss:Color", line.color, true);
    WriteEmpty(w, "Border", a, level);
}

void WriteBorders(CXmlWriter& w, const StyleRecord& s, bool first, int level) {
    static constexpr std::pair<uint8_t, std::string_view> kSides[] = {
        {kBorderLeft, "Left"},
        {kBorderTop, "Top"},
        {kBorderRight, "Right"},
        {kBorderBottom, "Bottom"},
        {kBorderDiagonalLeft, "DiagonalLeft"},
        {kBorderDiagonalRight, "DiagonalRight"}};
    if (!s.borderSides) {
        if (first) w.WriteTag("Borders", {}, kXmlEmptyTag, level, 1);
        return;
    }
    w.WriteTag("Borders", {}, kXmlStartTag, level, 1);
    for (const auto& [bit, name] : kSides)
        if (s.borderSides & bit) WriteExcelXmlBorder(w, name, s.borderLine, level + 1);
    w.WriteTag("Borders", {}, kXmlEndTag, level, 1);
}

void WriteExcelXmlFont(CXmlWriter& w, const StyleTables& t, const FontRef& ref, int level) {
    static constexpr std::string_view kFamilies[] = {"",      "Swiss",  "Modern",
                                                     "Roman", "Script", "Decorative"};
    const FontRecord& f = GetFontRecord(t, ref.fontIndex);
    XmlAttributeText a(w.Utf8());
    if (f.faceName[0]) a.Text("ss:FontName", f.faceName);
    if (f.family > 0 && f.family < std::size(kFamilies)) a.Raw("x:Family", kFamilies[f.family]);
    if (f.size) a.Int("ss:Size", f.size);
    if (f.weight) a.Raw("ss:Bold", "1");
    if (f.italic) a.Raw("ss:Italic", "1");
    if (f.underline) a.Raw("ss:Underline", "Single");
    if (ref.colorGiven) a.Color("ss:Color", ref.color, false);
    WriteEmpty(w, "Font", a, level);
}

void WriteExcelXmlInterior(CXmlWriter& w, const InteriorFill& fill, int level) {
    XmlAttributeText a;
    const uint8_t pattern = fill.pattern;
    if (pattern == FORMAT_PAT_SOLID || (pattern >= FORMAT_PAT_GRAD_VERT && pattern <= 22)) {
        // Gradients go out as solid fills of their first colour.
        if (fill.patternColorGiven) a.Color("ss:Color", fill.patternColor, true);
        a.Raw("ss:Pattern", "Solid");
    } else if (pattern >= FORMAT_PAT_GRAY125 && pattern <= FORMAT_PAT_THIN_DCROSS) {
        if (fill.backgroundColorGiven) a.Color("ss:Color", fill.backgroundColor, true);
        a.Raw("ss:Pattern", kPatternNames[pattern]);
        if (fill.patternColorGiven) a.Color("ss:PatternColor", fill.patternColor, true);
    }
    WriteEmpty(w, "Interior", a, level);
}

// The percentage code with the internal separators. The percent sign stays a percent sign:
// escaped, every reader would take it as a literal and show the value a hundred times less.
std::string PercentCode(const uint8_t* params) {
    const bool fixed = params[fmtparam::kFixedDecimals] != 0;
    const uint8_t decimals = params[fmtparam::kDecimals];
    if (fixed && decimals > 0) return "#,##0." + std::string(decimals, '0') + "%";
    if (fixed) return "#,##0%";
    return "#,##0.#%";
}

void WriteNumberFormat(CXmlWriter& w, StyleRecord& s, bool first, int level) {
    StandardFormat& f = s.numberFormat;
    if (f.kind == STD_STYLE_DEFAULT) {
        if (first) w.WriteTag("NumberFormat", {}, kXmlEmptyTag, level, 1);
        return;
    }
    // The file's percent code is the file's own: the workbook's style keeps its code.
    const std::string percent = f.kind == STD_STYLE_PERCENTAGE ? PercentCode(f.params) : "";
    if (f.kind != STD_STYLE_PERCENTAGE && f.kind != STD_STYLE_USER_DEFINED)
        BuildStandardFormatCode(f);
    XmlAttributeText a(w.Utf8());
    a.Text("ss:Format", f.kind == STD_STYLE_PERCENTAGE ? percent.c_str() : f.code);
    WriteEmpty(w, "NumberFormat", a, level);
}

} // namespace

void WriteExcelXmlStyles(CXmlWriter& w, CWorkbook& wb, int level) {
    StyleTables& t = wb.styles;
    w.WriteTag("Styles", {}, kXmlStartTag, level, 1);
    for (uint16_t n = 0; n < t.styleCount; ++n) {
        StyleRecord& s = t.styles[n];
        const bool first = n == 0;
        XmlAttributeText id;
        id.Raw("ss:ID", ExcelStyleId(n));
        if (first) id.Raw("ss:Name", "Normal");
        w.WriteTag("Style", id.str(), kXmlStartTag, level + 1, 1);
        WriteAlignment(w, s, t.styles[0], first, level + 2);
        WriteBorders(w, s, first, level + 2);
        // A font colour over the default font goes out with that font, or it would be lost.
        if (first || s.fontRef.fontIndex != 0 || s.fontRef.colorGiven)
            WriteExcelXmlFont(w, t, s.fontRef, level + 2);
        if (first || s.fill.pattern != FORMAT_PAT_NONE) WriteExcelXmlInterior(w, s.fill, level + 2);
        WriteNumberFormat(w, s, first, level + 2);
        if (first) w.WriteTag("Protection", {}, kXmlEmptyTag, level + 2, 1);
        w.WriteTag("Style", {}, kXmlEndTag, level + 1, 1);
    }
    w.WriteTag("Styles", {}, kXmlEndTag, level, 1);
}

} // namespace vl
