// The "Styles" element: the font table, then the style table. Entry 0 of each is the
// built-in default; style 0 is written (as ID 0, first) only when it differs from it, as a
// workbook taken from another form may have it, and every other style is read from the
// built-in default.

#include "files/xmlelements.h"
#include "files/xmlnames.h"
#include "files/xmlstyleitems.h"

namespace vl {

namespace {

constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional;
constexpr uint8_t kStartElement = kXmlAttributes | kXmlStart | kXmlOptional;

// An "ID" must be the position the entry takes: 59 outside 1..limit, 57 out of sequence.
bool ReadPositionId(CXmlReader& r, uint16_t limit, uint16_t position) {
    if (!r.FindAttribute("ID")) return true;
    uint16_t id = 0;
    if (!r.GetU16Attribute(id, 1, limit)) return false;
    return id == position || r.Fail(kErrorXmlAttribute);
}

bool ReadFonts(CXmlReader& r, StyleTables& tables) {
    while (r.ReadNextTag("Font", kEmptyElement)) {
        if (tables.fontCount == kMaxFonts) return r.Fail(kErrorXmlElement);
        if (!ReadPositionId(r, kMaxFonts - 1, tables.fontCount)) return false;
        FontRecord& font = tables.fonts[tables.fontCount];
        font = FontRecord{};
        if (!ReadXmlFont(r, font)) return false;
        ++tables.fontCount;
    }
    return r.Ok();
}

bool ReadAlignmentWord(CXmlReader& r, std::string_view name, const char* const words[3],
                       const uint8_t codes[3], uint8_t& out) {
    if (!r.FindAttribute(name) || r.Value() == "Default") return true;
    for (int i = 0; i < 3; ++i) {
        if (r.Value() == words[i]) {
            out = codes[i];
            return true;
        }
    }
    return r.Fail(kErrorXmlAttribute);
}

bool ReadFlag(CXmlReader& r, std::string_view name, uint8_t& out) {
    return !r.FindAttribute(name) || r.GetBoolAttribute(out);
}

bool ReadAlignment(CXmlReader& r, StyleRecord& s) {
    static const char* const kVertical[3] = {"Top", "Center", "Bottom"};
    static const char* const kHorizontal[3] = {"Left", "Center", "Right"};
    static const uint8_t kVerticalCodes[3] = {4, 5, 7};
    static const uint8_t kHorizontalCodes[3] = {1, 2, 3};
    return ReadAlignmentWord(r, "VerticalAlignment", kVertical, kVerticalCodes,
                             s.verticalAlignment) &&
           ReadAlignmentWord(r, "HorizontalAlignment", kHorizontal, kHorizontalCodes,
                             s.horizontalAlignment) &&
           (!r.FindAttribute("HorizontalIndent") || r.GetU8Attribute(s.horizontalIndent, 0, 254)) &&
           (!r.FindAttribute("VerticalIndent") || r.GetU8Attribute(s.verticalIndent, 0, 254)) &&
           ReadFlag(r, "WrapText", s.wrapText) && ReadFlag(r, "FitToCell", s.fitToCell) &&
           (!r.FindAttribute("Rotation") || r.GetI8Attribute(s.rotation, -90, 90));
}

bool ReadDropDownListRef(CXmlReader& r, StyleRecord& s) {
    if (r.FindAttribute("ListID")) {
        uint8_t list = 0;
        if (!r.GetU8Attribute(list, 1, kDropDownLists)) return false;
        s.dropDownList = list;
    }
    return ReadFlag(r, "Sort", s.sort) && ReadFlag(r, "AutoAppend", s.autoAppend) &&
           ReadFlag(r, "AutoComplete", s.autoComplete);
}

// The names the writer uses first, then the older spellings.
bool ReadProtection(CXmlReader& r, StyleRecord& s) {
    const bool isProtected = r.FindAttribute("Protected") || r.FindAttribute("Protect");
    if (isProtected && !r.GetBoolAttribute(s.isProtected)) return false;
    const bool hidden = r.FindAttribute("Hidden") || r.FindAttribute("HideFormula");
    return !hidden || r.GetBoolAttribute(s.formulaHidden);
}

// The side names are whole words of the text; each adds its bit.
void ReadBorderSides(std::string_view text, uint8_t& sides) {
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        const std::string_view word = text.substr(0, blank);
        for (const XmlBorderSide& side : kXmlBorderSides)
            if (word == side.name) sides |= side.bit;
        if (blank == std::string_view::npos) break;
        text.remove_prefix(blank + 1);
    }
}

bool ReadBorders(CXmlReader& r, StyleRecord& s) {
    if (!r.ReadNextTag("Borders", kStartElement)) return r.Ok();
    if (!ReadXmlBorder(r, s.borderLine)) return false;
    if (r.IsEnd()) return true;
    if (!r.ReadContent(1024) || !r.ReadNextTag("Borders", kXmlEnd)) return false;
    ReadBorderSides(r.Text(), s.borderSides);
    return true;
}

bool ReadStyleChildren(CXmlReader& r, const StyleTables& tables, StyleRecord& s) {
    if (r.ReadNextTag("FontRef", kEmptyElement) && !ReadXmlFontRef(r, tables, s.fontRef))
        return false;
    if (!r.Ok() || !ReadXmlNumberFormat(r, s.numberFormat)) return false;
    if (r.ReadNextTag("FillPattern", kEmptyElement) && !ReadXmlInterior(r, s.fill)) return false;
    if (!r.Ok()) return false;
    if (r.ReadNextTag("Alignment", kEmptyElement) && !ReadAlignment(r, s)) return false;
    if (!r.Ok()) return false;
    if (r.ReadNextTag("DropDownListRef", kEmptyElement) && !ReadDropDownListRef(r, s)) return false;
    if (!r.Ok()) return false;
    if (r.ReadNextTag("Protection", kEmptyElement) && !ReadProtection(r, s)) return false;
    return r.Ok() && ReadBorders(r, s) && r.ReadNextTag("Style", kXmlEnd);
}

// The style 0 of the file, when the first style names it: "ID" 0.
bool ReadsDefaultStyle(CXmlReader& r, bool first) {
    return first && r.FindAttribute("ID") && r.Value() == "0";
}

bool ReadStyleTable(CXmlReader& r, StyleTables& tables) {
    const StyleRecord base = tables.styles[0];
    bool first = true;
    while (r.ReadNextTag("Style", kStartElement)) {
        const bool zero = ReadsDefaultStyle(r, first);
        first = false;
        if (!zero && tables.styleCount == kMaxStyles) return r.Fail(kErrorXmlElement);
        if (!zero && !ReadPositionId(r, kMaxStyles - 1, tables.styleCount)) return false;
        StyleRecord& s = tables.styles[zero ? 0 : tables.styleCount++];
        s = base;
        if (!r.IsEnd() && !ReadStyleChildren(r, tables, s)) return false;
    }
    return r.Ok();
}

bool IsDefaultAlignment(const StyleRecord& s) {
    return s.horizontalIndent == 4 && s.verticalIndent == 2 && !s.wrapText && !s.fitToCell &&
           s.rotation == 0;
}

void WriteAlignment(CXmlWriter& w, const StyleRecord& s) {
    static const char* const kVertical[8] = {"", "", "", "", "Top", "Center", "", "Bottom"};
    static const char* const kHorizontal[4] = {"", "Left", "Center", "Right"};
    XmlAttributeText a;
    if (s.verticalAlignment < 8 && kVertical[s.verticalAlignment][0])
        a.Raw("VerticalAlignment", kVertical[s.verticalAlignment]);
    if (s.horizontalAlignment >= 1 && s.horizontalAlignment <= 3)
        a.Raw("HorizontalAlignment", kHorizontal[s.horizontalAlignment]);
    if (!IsDefaultAlignment(s)) {
        a.Int("HorizontalIndent", s.horizontalIndent).Int("VerticalIndent", s.verticalIndent);
        a.Bool("WrapText", s.wrapText).Bool("FitToCell", s.fitToCell);
        a.Int("Rotation", s.rotation);
    }
    w.WriteTag("Alignment", a.str(), kXmlEmptyTag, 2, 1);
}

void WriteBorders(CXmlWriter& w, const StyleRecord& s) {
    XmlAttributeText a;
    a.Raw("Style", XmlNameOf(kXmlLineStyles, s.borderLine.style));
    if (s.borderLine.colorGiven) a.Color("Color", s.borderLine.color, false);
    std::string sides;
    for (const XmlBorderSide& side : kXmlBorderSides) {
        if (!(s.borderSides & side.bit)) continue;
        if (!sides.empty()) sides += ' ';
        sides += side.name;
    }
    w.WriteTag("Borders", a.str(), kXmlStartTag, 2, 0);
    w.WriteRaw(sides);
    w.WriteTag("Borders", {}, kXmlEndTag, 0, 1);
}

void WriteStyle(CXmlWriter& w, const StyleRecord& s, int id) {
    XmlAttributeText a;
    a.Int("ID", id);
    w.WriteTag("Style", a.str(), kXmlStartTag, 1, 1);
    if (s.fontRef.fontIndex || s.fontRef.colorGiven) {
        XmlAttributeText f;
        if (s.fontRef.fontIndex) f.Int("FontID", s.fontRef.fontIndex);
        if (s.fontRef.colorGiven) f.Color("Color", s.fontRef.color, false);
        w.WriteTag("FontRef", f.str(), kXmlEmptyTag, 2, 1);
    }
    if (s.numberFormat.kind) WriteXmlNumberFormat(w, s.numberFormat, 2);
    if (s.fill.pattern) WriteXmlFillPattern(w, s.fill, 2);
    // Always written: a style with both indents 0 would otherwise read back as 4 and 2.
    WriteAlignment(w, s);
    // The list's flags go out without a list as well, or a style that holds only them
    // would read back as another.
    if (s.dropDownList || s.sort || s.autoAppend || s.autoComplete) {
        XmlAttributeText d;
        if (s.dropDownList) d.Int("ListID", s.dropDownList);
        d.Bool("Sort", s.sort);
        d.Bool("AutoAppend", s.autoAppend).Bool("AutoComplete", s.autoComplete);
        w.WriteTag("DropDownListRef", d.str(), kXmlEmptyTag, 2, 1);
    }
    if (s.isProtected || s.formulaHidden) {
        XmlAttributeText p;
        p.Bool("Protected", s.isProtected).Bool("Hidden", s.formulaHidden);
        w.WriteTag("Protection", p.str(), kXmlEmptyTag, 2, 1);
    }
    // Sides without a line, or a line without sides, are kept as well: both read back.
    if (s.borderSides || s.borderLine.style) WriteBorders(w, s);
    w.WriteTag("Style", {}, kXmlEndTag, 1, 1);
}

} // namespace

bool ReadXmlStyles(CXmlReader& r, CWorkbook& workbook) {
    if (!r.ReadNextTag("Styles", kXmlOptional)) return r.Ok();
    if (!r.IsStart()) return r.Fail(kErrorXmlElement);
    if (r.IsEnd()) return true;
    return ReadFonts(r, workbook.styles) && ReadStyleTable(r, workbook.styles) &&
           r.ReadNextTag("Styles", kXmlEnd);
}

void WriteXmlStyles(CXmlWriter& w, const CWorkbook& workbook) {
    const StyleTables& t = workbook.styles;
    if (t.styleCount == 0) {
        w.WriteTag("Styles", {}, kXmlEmptyTag, 0, 2);
        return;
    }
    w.WriteTag("Styles", {}, kXmlStartTag, 0, 1);
    for (int i = 1; i < t.fontCount; ++i) WriteXmlFont(w, t.fonts[i], i, 1);
    if (!CompareStyleRecords(t.styles[0], StyleRecord{})) WriteStyle(w, t.styles[0], 0);
    for (int i = 1; i < t.styleCount; ++i) WriteStyle(w, t.styles[i], i);
    w.WriteTag("Styles", {}, kXmlEndTag, 0, 2);
}

} // namespace vl
