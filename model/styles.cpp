#include "model/styles.h"

#include "platform/core/bytes.h"

#include <cstring>

namespace vl {

void WriteStyleRecord(uint8_t* p, const StyleRecord& r) {
    std::memset(p, 0, kStyleRecordSize);
    WriteStandardFormat(p + 32, r.numberFormat);
    WriteFontRef(p + 1096, r.fontRef);
    WriteInteriorFill(p + 1104, r.fill);
    p[1120] = r.borderSides;
    WriteBorderLine(p + 1124, r.borderLine);
    p[1132] = r.verticalAlignment;
    p[1133] = r.horizontalAlignment;
    p[1134] = r.horizontalIndent;
    p[1135] = r.verticalIndent;
    p[1136] = r.wrapText;
    p[1137] = r.fitToCell;
    p[1138] = uint8_t(r.rotation);
    StoreU16(p + 1140, r.dropDownList);
    p[1142] = r.sort;
    p[1143] = r.autoAppend;
    p[1144] = r.autoComplete;
    p[1146] = r.formulaHidden;
    p[1147] = r.isProtected;
}

void ReadStyleRecord(const uint8_t* p, StyleRecord& r) {
    ReadStandardFormat(p + 32, r.numberFormat);
    ReadFontRef(p + 1096, r.fontRef);
    ReadInteriorFill(p + 1104, r.fill);
    r.borderSides = p[1120];
    ReadBorderLine(p + 1124, r.borderLine);
    r.verticalAlignment = p[1132];
    r.horizontalAlignment = p[1133];
    r.horizontalIndent = p[1134];
    r.verticalIndent = p[1135];
    r.wrapText = p[1136];
    r.fitToCell = p[1137];
    r.rotation = int8_t(p[1138]);
    r.dropDownList = LoadU16(p + 1140);
    r.sort = p[1142];
    r.autoAppend = p[1143];
    r.autoComplete = p[1144];
    r.formulaHidden = p[1146];
    r.isProtected = p[1147];
}

static bool SameColor(uint8_t givenA, COLORREF a, uint8_t givenB, COLORREF b) {
    if ((givenA != 0) != (givenB != 0)) return false;
    return !givenA || a == b;
}

static bool SameNumberFormat(const StandardFormat& a, const StandardFormat& b) {
    if (a.kind != b.kind) return false;
    if (a.kind == STD_STYLE_DEFAULT) return true;
    if (a.kind == STD_STYLE_USER_DEFINED) return std::strncmp(a.code, b.code, sizeof a.code) == 0;
    return std::memcmp(a.params, b.params, sizeof a.params) == 0;
}

static bool SameFill(const InteriorFill& a, const InteriorFill& b) {
    if (a.pattern != b.pattern) return false;
    if (a.pattern == FORMAT_PAT_NONE) return true;
    return SameColor(a.patternColorGiven, a.patternColor, b.patternColorGiven, b.patternColor) &&
           SameColor(a.backgroundColorGiven, a.backgroundColor, b.backgroundColorGiven,
                     b.backgroundColor);
}

static bool SameBorder(const StyleRecord& a, const StyleRecord& b) {
    if (a.borderSides != b.borderSides) return false;
    if (!a.borderSides) return true;
    return a.borderLine.style == b.borderLine.style &&
           SameColor(a.borderLine.colorGiven, a.borderLine.color, b.borderLine.colorGiven,
                     b.borderLine.color);
}

bool CompareStyleRecords(const StyleRecord& a, const StyleRecord& b) {
    return SameNumberFormat(a.numberFormat, b.numberFormat) &&
           a.fontRef.fontIndex == b.fontRef.fontIndex &&
           SameColor(a.fontRef.colorGiven, a.fontRef.color, b.fontRef.colorGiven,
                     b.fontRef.color) &&
           SameFill(a.fill, b.fill) && SameBorder(a, b) &&
           a.verticalAlignment == b.verticalAlignment &&
           a.horizontalAlignment == b.horizontalAlignment &&
           a.horizontalIndent == b.horizontalIndent && a.verticalIndent == b.verticalIndent &&
           a.wrapText == b.wrapText && a.fitToCell == b.fitToCell && a.rotation == b.rotation &&
           a.dropDownList == b.dropDownList && a.sort == b.sort && a.autoAppend == b.autoAppend &&
           a.autoComplete == b.autoComplete && a.formulaHidden == b.formulaHidden &&
           a.isProtected == b.isProtected;
}

void InitStyleTables(StyleTables& tables) {
    tables.styleCount = 1;
    tables.fontCount = 1;
    for (FontRecord& f : tables.fonts) f = FontRecord{};
    for (StyleRecord& s : tables.styles) s = StyleRecord{};
}

const StyleRecord& GetStyleRecord(const StyleTables& tables, uint16_t index) {
    return tables.styles[index < tables.styleCount ? index : 0];
}

const FontRecord& GetFontRecord(const StyleTables& tables, uint16_t index) {
    return tables.fonts[index < tables.fontCount ? index : 0];
}

bool FindOrAddFont(StyleTables& tables, const FontRecord& candidate, uint8_t* index) {
    for (uint8_t i = 0; i < tables.fontCount; ++i) {
        if (FontRecordEquals(tables.fonts[i], candidate)) {
            *index = i;
            return true;
        }
    }
    if (tables.fontCount >= kMaxFonts) {
        *index = 0;
        return false;
    }
    tables.fonts[tables.fontCount] = candidate;
    *index = tables.fontCount++;
    return true;
}

bool ImportStyle(StyleTables& target, const StyleView& source, uint16_t index, uint16_t* out) {
    // An index past the source's table names no style: it goes on as it was stored.
    if (index >= source.styleCount) return *out = index, true;
    StyleRecord style = source.styles[index];
    const uint8_t font = style.fontRef.fontIndex;
    if (!FindOrAddFont(target, source.fonts[font < source.fontCount ? font : 0],
                       &style.fontRef.fontIndex))
        return false;
    for (uint16_t i = 0; i < target.styleCount; ++i) {
        if (CompareStyleRecords(target.styles[i], style)) {
            *out = i;
            return true;
        }
    }
    if (target.styleCount >= kMaxStyles) return false;
    target.styles[target.styleCount] = style;
    *out = target.styleCount++;
    return true;
}

uint32_t ForgetRemovedDropDownLists(StyleTables& tables, const DropDownListRecord* lists) {
    uint32_t changed = 0;
    for (uint16_t i = 0; i < tables.styleCount && i < kMaxStyles; ++i) {
        StyleRecord& style = tables.styles[i];
        const uint16_t n = style.dropDownList;
        if (n == 0 || (n <= kDropDownLists && DropDownListInUse(lists[n - 1]))) continue;
        style.dropDownList = 0;
        style.sort = style.autoAppend = style.autoComplete = 0;
        ++changed;
    }
    return changed;
}

} // namespace vl
