// Fonts, font references, border lines and fills of the XML form.

#include "files/xmlstyleitems.h"

#include "files/xmlfields.h"
#include "files/xmlnames.h"

#include <cstring>

namespace vl {

namespace {

// A colour attribute: stored with its flag set when present.
bool ReadGivenColor(CXmlReader& r, std::string_view name, uint8_t& given, COLORREF& color) {
    if (!r.FindAttribute(name)) return true;
    if (!r.GetColorAttribute(color)) return false;
    given = 1;
    return true;
}

bool ReadFaceName(CXmlReader& r, FontRecord& font) {
    if (!r.FindAttribute("Name")) return true;
    std::string name;
    // Counted after decoding, so that every name the writer escapes reads back.
    if (!r.DecodeValue(name, kFaceNameSize - 1)) return false;
    std::memcpy(font.faceName, name.c_str(), name.size() + 1);
    return true;
}

bool ReadWeight(CXmlReader& r, FontRecord& font) {
    if (!r.FindAttribute("Weight")) return true;
    if (r.Value() == "Regular") {
        font.weight = 0;
        return true;
    }
    const int index = FindXmlName(kXmlFontWeights, r.Value());
    if (index < 0) return r.Fail(kErrorXmlAttribute);
    font.weight = uint8_t(index);
    return true;
}

bool ReadSlant(CXmlReader& r, FontRecord& font) {
    if (!r.FindAttribute("Slant")) return true;
    const std::string_view v = r.Value();
    if (v != "Italic" && v != "Regular" && v != "Roman") return r.Fail(kErrorXmlAttribute);
    font.italic = v == "Italic" ? 1 : 0;
    return true;
}

bool ReadFlag(CXmlReader& r, std::string_view name, uint8_t& out) {
    return !r.FindAttribute(name) || r.GetBoolAttribute(out);
}

// Plain fills default to the window colour, hatches to the text colour.
COLORREF UnwrittenPatternColor(uint8_t pattern) {
    return GetSystemColor(pattern <= FORMAT_PAT_SOLID ? kColorWindow : kColorWindowText);
}

COLORREF UnwrittenLineColor() {
    return GetSystemColor(kColorWindowText);
}

} // namespace

void SetUnwrittenFillColors(InteriorFill& fill) {
    if (!fill.patternColorGiven) fill.patternColor = UnwrittenPatternColor(fill.pattern);
    if (!fill.backgroundColorGiven) fill.backgroundColor = GetSystemColor(kColorWindow);
}

void SetUnwrittenLineColor(BorderLine& line) {
    if (!line.colorGiven) line.color = UnwrittenLineColor();
}

bool ReadXmlFont(CXmlReader& r, FontRecord& font) {
    return ReadFaceName(r, font) && ReadXmlKeywordIf(r, "Family", kXmlFontFamilies, font.family) &&
           (!r.FindAttribute("Size") || r.GetU8Attribute(font.size, 1, 254)) &&
           ReadWeight(r, font) && ReadSlant(r, font) && ReadFlag(r, "Underline", font.underline) &&
           ReadFlag(r, "Strikeout", font.strikeout) &&
           ReadXmlKeywordIf(r, "CharSet", kXmlCharSets, font.charSet);
}

bool ReadXmlColoredFont(CXmlReader& r, ColoredFont& font) {
    return ReadXmlFont(r, font.font) && ReadGivenColor(r, "Color", font.colorGiven, font.color);
}

bool ReadXmlFontRef(CXmlReader& r, const StyleTables& tables, FontRef& ref) {
    if (r.FindAttribute("FontID")) {
        uint8_t index = 0;
        if (!r.GetU8Attribute(index, 0, kMaxFonts - 1)) return false;
        if (index >= tables.fontCount) return r.Fail(kErrorXmlAttribute);
        ref.fontIndex = index;
    }
    return ReadGivenColor(r, "Color", ref.colorGiven, ref.color);
}

bool ReadXmlBorder(CXmlReader& r, BorderLine& line) {
    line.style = FORMAT_LINE_NULL;
    if (!ReadXmlKeywordIf(r, "Style", kXmlLineStyles, line.style)) return false;
    if (!r.FindAttribute("Color")) {
        line.color = UnwrittenLineColor();
        return true;
    }
    return ReadGivenColor(r, "Color", line.colorGiven, line.color);
}

bool ReadXmlInterior(CXmlReader& r, InteriorFill& fill) {
    fill.pattern = FORMAT_PAT_NONE;
    if (!ReadXmlKeywordIf(r, "PatternType", kXmlFillPatterns, fill.pattern)) return false;
    if (r.FindAttribute("PatternColor")) {
        if (!ReadGivenColor(r, "PatternColor", fill.patternColorGiven, fill.patternColor))
            return false;
    } else {
        fill.patternColor = UnwrittenPatternColor(fill.pattern);
    }
    if (!r.FindAttribute("BackgroundColor")) {
        fill.backgroundColor = GetSystemColor(kColorWindow);
        return true;
    }
    return ReadGivenColor(r, "BackgroundColor", fill.backgroundColorGiven, fill.backgroundColor);
}

void AppendXmlFontAttributes(XmlAttributeText& a, const FontRecord& font) {
    if (font.faceName[0]) a.Text("Name", font.faceName);
    if (font.family) a.Raw("Family", XmlNameOf(kXmlFontFamilies, font.family));
    if (font.size) a.Int("Size", font.size);
    if (font.weight) a.Raw("Weight", XmlNameOf(kXmlFontWeights, font.weight));
    if (font.italic) a.Raw("Slant", "Italic");
    if (font.underline) a.Raw("Underline", "1");
    if (font.strikeout) a.Raw("Strikeout", "1");
    if (font.charSet) a.Raw("CharSet", XmlNameOf(kXmlCharSets, font.charSet));
}

void WriteXmlFont(CXmlWriter& w, const FontRecord& font, int id, int level) {
    XmlAttributeText a(w.Utf8());
    a.Int("ID", id);
    AppendXmlFontAttributes(a, font);
    w.WriteTag("Font", a.str(), kXmlEmptyTag, level, 1);
}

void WriteXmlColorFont(CXmlWriter& w, const ColoredFont& font, int level) {
    XmlAttributeText a(w.Utf8());
    AppendXmlFontAttributes(a, font.font);
    if (font.colorGiven) a.Color("Color", font.color, false);
    w.WriteTag("Font", a.str(), kXmlEmptyTag, level, 1);
}

void WriteXmlFillPattern(CXmlWriter& w, const InteriorFill& fill, int level) {
    XmlAttributeText a(w.Utf8());
    if (fill.pattern) a.Raw("PatternType", XmlNameOf(kXmlFillPatterns, fill.pattern));
    if (fill.patternColorGiven) a.Color("PatternColor", fill.patternColor, true);
    if (fill.backgroundColorGiven) a.Color("BackgroundColor", fill.backgroundColor, true);
    w.WriteTag("FillPattern", a.str(), kXmlEmptyTag, level, 1);
}

void WriteXmlBorderLine(CXmlWriter& w, std::string_view name, const BorderLine& line, int level) {
    XmlAttributeText a(w.Utf8());
    if (line.style) a.Raw("Style", XmlNameOf(kXmlLineStyles, line.style));
    if (line.colorGiven) a.Color("Color", line.color, true);
    w.WriteTag(name, a.str(), kXmlEmptyTag, level, 1);
}

} // namespace vl
