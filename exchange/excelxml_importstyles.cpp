// Reading the "Style" elements of an Excel 2003 XML spreadsheet into the style and font
// tables: alignment, borders, font, interior and number format.

#include "exchange/excelxmlparts.h"
#include "model/styles.h"
#include "values/formatdefaults.h"
#include "values/numfmt_compile.h"

#include <array>
#include <cstring>

namespace vl {

namespace {

constexpr std::size_t kMaxFaceName = 127;
constexpr std::size_t kMaxPattern = kMaxFormatCode; // what a style holds
constexpr uint8_t kNegativeParentheses = 2;

struct Word {
    std::string_view text;
    uint8_t code;
};

// The code of the word the current value is; false when it is none of them.
template <std::size_t N> bool Lookup(CXmlReader& r, const Word (&words)[N], uint8_t& out) {
    for (const Word& w : words)
        if (r.Value() == w.text) {
            out = w.code;
            return true;
        }
    return false;
}

bool GetFlag(CXmlReader& r, std::string_view name, uint8_t& out) {
    return !r.FindAttribute(name) || r.GetU8Attribute(out, 0, 1);
}

bool ReadAlignment(CXmlReader& r, StyleRecord& s) {
    static const Word kVertical[] = {{"Top", 4}, {"Center", 5}, {"Bottom", 7}};
    static const Word kHorizontal[] = {{"Left", 1}, {"Center", 2}, {"Right", 3}};
    if (r.FindAttribute("Vertical")) Lookup(r, kVertical, s.verticalAlignment);
    if (r.FindAttribute("Horizontal")) Lookup(r, kHorizontal, s.horizontalAlignment);
    if (r.FindAttribute("Indent")) {
        int16_t indent = 0;
        if (!r.GetI16Attribute(indent, -200, 200)) return false;
        s.horizontalIndent = uint8_t(indent < 0 ? 4 : indent);
    }
    if (!GetFlag(r, "WrapText", s.wrapText) || !GetFlag(r, "ShrinkToFit", s.fitToCell))
        return false;
    if (r.FindAttribute("Rotate")) {
        int16_t rotate = 0;
        if (!r.GetI16Attribute(rotate, -360, 360)) return false;
        s.rotation = int8_t(rotate < -90 ? -90 : rotate > 90 ? 90 : rotate);
    }
    return true;
}

void ReadExcelXmlBorder(CXmlReader& r, BorderLine& line) {
    static const Word kStyles[] = {{"None", 0},    {"Continuous", 1}, {"Dot", 2},   {"Dash", 3},
                                   {"DashDot", 4}, {"DashDotDot", 5}, {"Double", 9}};
    static const Word kWeights[] = {{"1", 6}, {"2", 7}, {"3", 8}};
    if (r.FindAttribute("LineStyle")) Lookup(r, kStyles, line.style);
    if (line.style == FORMAT_LINE_SOLID && r.FindAttribute("Weight"))
        Lookup(r, kWeights, line.style);
    uint32_t color = 0;
    if (!r.FindAttribute("Color"))
        line.color = GetSystemColor(kColorWindowText);
    else if (ParseColor(r.Value(), color)) {
        line.color = color;
        line.colorGiven = 1;
    }
}

bool ReadBorders(CXmlReader& r, StyleRecord& s) {
    static const Word kPositions[] = {{"Top", 1},   {"Bottom", 2},        {"Left", 4},
                                      {"Right", 8}, {"DiagonalLeft", 16}, {"DiagonalRight", 32}};
    if (!r.ReadNextTag("Borders", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    while (r.ReadNextTag("Border", kXmlAttributes | kXmlStart | kXmlOptional)) {
        if (!r.IsEnd()) return r.Fail(kErrorXmlElement);
        uint8_t bit = 0;
        if (r.FindAttribute("Position") && Lookup(r, kPositions, bit)) s.borderSides |= bit;
        ReadExcelXmlBorder(r, s.borderLine);
    }
    return r.Ok() && SkipToEndTag(r, "Borders");
}

bool ReadExcelXmlFont(CXmlReader& r, ColoredFont& f) {
    static const Word kFamilies[] = {{"Any", 0},   {"Swiss", 1},  {"Modern", 2},
                                     {"Roman", 3}, {"Script", 4}, {"Decorative", 5}};
    if (r.FindAttribute("FontName")) {
        // Decoded as every other text: the export encodes face names, so a name kept as
        // written would change on every save.
        std::string face;
        if (!r.DecodeValue(face, kMaxFaceName)) return false;
        std::memcpy(f.font.faceName, face.c_str(), face.size() + 1);
    }
    if (r.FindAttribute("Family")) Lookup(r, kFamilies, f.font.family);
    if (r.FindAttribute("Size")) {
        double size = 0;
        if (!r.GetDoubleAttribute(size, -1e308, 1e308)) return false;
        f.font.size = size < 0 || size > 254 ? 10 : uint8_t(size);
    }
    if (r.FindAttribute("Bold")) f.font.weight = r.Value() == "0" || r.Value() == "Regular" ? 0 : 2;
    if (r.FindAttribute("Italic")) f.font.italic = r.Value() == "1" ? 1 : 0;
    if (r.FindAttribute("Underline"))
        f.font.underline = r.Value() == "Single" || r.Value() == "Double" ? 1 : 0;
    uint32_t color = 0;
    if (r.FindAttribute("Color") && ParseColor(r.Value(), color)) {
        f.color = color;
        f.colorGiven = 1;
    }
    return true;
}

bool ReadFont(CXmlReader& r, CWorkbook& wb, StyleRecord& s) {
    if (!r.ReadNextTag("Font", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    if (!r.IsEnd()) return r.Fail(kErrorXmlElement);
    ColoredFont f;
    f.font = FontRecord{};
    if (!ReadExcelXmlFont(r, f)) return false;
    uint8_t index = 0;
    FindOrAddFont(wb.styles, f.font, &index); // a full table leaves font 0
    s.fontRef.fontIndex = index;
    s.fontRef.colorGiven = f.colorGiven;
    s.fontRef.color = f.color;
    return true;
}

bool ReadExcelXmlInterior(CXmlReader& r, InteriorFill& fill) {
    fill.pattern = FORMAT_PAT_NONE;
    if (r.FindAttribute("Pattern"))
        for (std::size_t i = 0; i < kPatternNames.size(); ++i)
            if (r.Value() == kPatternNames[i]) fill.pattern = uint8_t(i);
    uint32_t color = 0;
    if (r.FindAttribute("PatternColor")) {
        if (!ParseColor(r.Value(), color)) return r.Fail(kErrorXmlAttribute);
        fill.patternColor = color;
        fill.patternColorGiven = 1;
    } else {
        fill.patternColor =
            GetSystemColor(fill.pattern <= FORMAT_PAT_SOLID ? kColorWindow : kColorWindowText);
    }
    if (!r.FindAttribute("Color")) {
        fill.backgroundColor = GetSystemColor(kColorWindow);
        return true;
    }
    if (ParseColor(r.Value(), color)) {
        fill.backgroundColor = color;
        fill.backgroundColorGiven = 1;
    }
    if (fill.pattern == FORMAT_PAT_SOLID && !fill.patternColorGiven) {
        fill.patternColor = fill.backgroundColor;
        fill.patternColorGiven = 1;
    }
    return true;
}

bool ReadInterior(CXmlReader& r, StyleRecord& s) {
    if (!r.ReadNextTag("Interior", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    if (!r.IsEnd()) return r.Fail(kErrorXmlElement);
    return ReadExcelXmlInterior(r, s.fill);
}

// The codes the export writes for a percentage ("#,##0.00%", "#,##0%", "#,##0.#%") give the
// percentage kind back with its decimals.
bool ReadPercentCode(std::string_view code, StandardFormat& out) {
    constexpr std::string_view kHead = "#,##0";
    if (code.size() < kHead.size() + 1 || code.substr(0, kHead.size()) != kHead ||
        code.back() != '%')
        return false;
    std::string_view decimals = code.substr(kHead.size(), code.size() - kHead.size() - 1);
    StandardFormat f = DefaultStandardFormat(STD_STYLE_PERCENTAGE);
    if (decimals == ".#") {
        f.params[fmtparam::kFixedDecimals] = 0;
    } else {
        if (!decimals.empty() && (decimals.size() < 2 || decimals[0] != '.' ||
                                  decimals.find_first_not_of('0', 1) != std::string_view::npos))
            return false;
        f.params[fmtparam::kFixedDecimals] = 1;
        f.params[fmtparam::kDecimals] = uint8_t(decimals.empty() ? 0 : decimals.size() - 1);
    }
    if (!IsValidStandardFormat(f)) return false;
    BuildStandardFormatCode(f);
    out = f;
    return true;
}

// The names the spreadsheet form gives its built-in formats, as the codes they stand for
// (the euro sign in the code page).
struct NamedFormat {
    std::string_view name;
    std::string_view code;
};
constexpr NamedFormat kNamedFormats[] = {
    {"General Number", "General"},
    {"General Date", "m/d/yyyy h:mm"},
    {"Long Date", "dddd, mmmm d, yyyy"},
    {"Medium Date", "d-mmm-yy"},
    {"Long Time", "h:mm:ss AM/PM"},
    {"Medium Time", "h:mm AM/PM"},
    {"Short Time", "h:mm"},
    // A blank between the sign and the amount, as other readers of the form show it.
    {"Euro Currency", "\x80 #,##0.00_);(\x80 #,##0.00)"},
    {"Fixed", "0.00"},
    {"Standard", "#,##0.00"},
    {"Percent", "0.00%"},
    {"Scientific", "0.00E+00"},
    {"Yes/No", "\"Yes\";\"Yes\";\"No\""},
    {"True/False", "\"True\";\"True\";\"False\""},
    {"On/Off", "\"On\";\"On\";\"Off\""},
};

void SetUserCode(StandardFormat& f, std::string_view code) {
    f.kind = STD_STYLE_USER_DEFINED;
    if (code.size() > kMaxPattern) code = code.substr(0, kMaxPattern);
    std::memcpy(f.code, code.data(), code.size());
    f.code[code.size()] = 0;
}

bool ReadNumberFormat(CXmlReader& r, StyleRecord& s) {
    static const Word kKinds[] = {
        {"Currency", 2}, {"Accounting", 3}, {"Short Date", 4}, {"Time", 1}, {"Fraction", 1}};
    if (!r.ReadNextTag("NumberFormat", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    if (!r.IsEnd() && !SkipToEndTag(r, "NumberFormat")) return false;
    if (!r.FindAttribute("Format")) return true;
    std::string format;
    if (!r.DecodeValue(format, r.ValueLimit())) return false;
    for (const Word& w : kKinds)
        if (format == w.text) {
            // A name gives the kind alone: a kind that changes starts from its own settings.
            if (s.numberFormat.kind != w.code) s.numberFormat = DefaultStandardFormat(w.code);
            // The form's "Currency" shows a negative amount in parentheses.
            if (format == "Currency") {
                s.numberFormat.params[fmtparam::kCurrencyNegative] = kNegativeParentheses;
                BuildStandardFormatCode(s.numberFormat);
            }
            return true;
        }
    for (const NamedFormat& n : kNamedFormats)
        if (format == n.name) {
            SetUserCode(s.numberFormat, n.code);
            return true;
        }
    if (ReadPercentCode(format, s.numberFormat)) return true;
    SetUserCode(s.numberFormat, format);
    return true;
}

bool ReadOneStyle(ExcelImport& im) {
    CXmlReader& r = im.reader;
    StyleTables& t = im.workbook.styles;
    // A style without an identifier names no slot that cells could refer to.
    if (!r.FindAttribute("ID")) return r.Fail(kErrorXmlMissing);
    uint16_t slot = 0;
    if (!im.styles.Define(r.Value(), slot)) return r.Fail(kErrorXmlData);
    if (slot + 1 > t.styleCount) t.styleCount = uint16_t(slot + 1);
    StyleRecord& s = t.styles[slot];
    s = t.styles[0];
    // A parent no style has leaves the default style's settings, counted for the user.
    if (r.FindAttribute("Parent")) {
        uint16_t parent = 0;
        if (im.styles.Resolve(r.Value(), parent))
            s = t.styles[parent];
        else
            ++im.workbook.unknownStyles;
    }
    if (r.IsEnd()) return true;
    if (r.ReadNextTag("Alignment", kXmlAttributes | kXmlStart | kXmlOptional)) {
        if (!ReadAlignment(r, s) || (!r.IsEnd() && !SkipToEndTag(r, "Alignment"))) return false;
    }
    return r.Ok() && ReadBorders(r, s) && ReadFont(r, im.workbook, s) && ReadInterior(r, s) &&
           ReadNumberFormat(r, s) && SkipToEndTag(r, "Style");
}

} // namespace

bool ReadExcelXmlStyle(ExcelImport& im) {
    CXmlReader& r = im.reader;
    while (r.ReadNextTag("Style", kXmlAttributes | kXmlStart | kXmlOptional))
        if (!ReadOneStyle(im)) return false;
    return r.Ok();
}

bool ExcelStyleIds::Define(std::string_view id, uint16_t& slot) {
    if (const auto it = named_.find(id); it != named_.end()) {
        slot = it->second;
        return true;
    }
    uint16_t numbered = 0;
    if (id == "Default") {
        slot = 0;
    } else if (Resolve(id, numbered) && numbered != 0 && !taken_[numbered]) {
        slot = numbered;
    } else {
        // Slot 0 stays the default's, which unstyled cells show: "s1" is a style of its own.
        // A number whose slot another identifier took goes elsewhere as well.
        uint16_t free = uint16_t(taken_.size() - 1);
        while (free > 0 && taken_[free]) --free;
        if (free == 0) return false;
        slot = free;
    }
    taken_[slot] = true;
    named_.emplace(std::string(id), slot);
    return true;
}

bool ExcelStyleIds::Resolve(std::string_view id, uint16_t& slot) const {
    if (const auto it = named_.find(id); it != named_.end()) {
        slot = it->second;
        return true;
    }
    if (id == "Default") {
        slot = 0;
        return true;
    }
    if (id.size() < 2 || id.size() > 4) return false;
    uint32_t n = 0;
    for (char c : id.substr(1)) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + uint32_t(c - '0');
    }
    if (n < 1 || n > 512) return false;
    slot = uint16_t(n - 1);
    return true;
}

} // namespace vl
