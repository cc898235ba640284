#include "model/formatattribute.h"

#include <cstring>

namespace vl {

namespace {

void CopyNumberFormat(StandardFormat& target, const StandardFormat& source, bool withCode) {
    target = StandardFormat{};
    target.kind = source.kind;
    if (withCode)
        std::memcpy(target.code, source.code, sizeof target.code);
    else
        std::memcpy(target.params, source.params, sizeof target.params);
}

bool CopyFontAttribute(FontRecord& target, const FontRecord& source, uint8_t code) {
    switch (code) {
    case kAttrFontSize:
        target.size = source.size;
        break;
    case kAttrFontName:
        std::memcpy(target.faceName, source.faceName, sizeof target.faceName);
        break;
    case kAttrFontCharSet:
        target.charSet = source.charSet;
        break;
    case kAttrFontWeight:
        target.weight = source.weight;
        break;
    case kAttrFontItalic:
        target.italic = source.italic;
        break;
    case kAttrFontUnderline:
        target.underline = source.underline;
        break;
    case kAttrFontStrikeout:
        target.strikeout = source.strikeout;
        break;
    case kAttrFont:
        target = source;
        break;
    default:
        return false;
    }
    return true;
}

// A colour where no pattern draws it: the solid pattern, which paints in the pattern
// colour, the background's when none is given.
void FillWithColor(InteriorFill& fill) {
    if (fill.pattern != FORMAT_PAT_NONE || !(fill.patternColorGiven || fill.backgroundColorGiven))
        return;
    fill.pattern = FORMAT_PAT_SOLID;
    if (!fill.patternColorGiven) {
        fill.patternColorGiven = 1;
        fill.patternColor = fill.backgroundColor;
    }
}

void CopyStyleAttribute(StyleRecord& t, const StyleRecord& s, uint8_t code) {
    switch (code) {
    case kAttrFontColor:
        t.fontRef.colorGiven = s.fontRef.colorGiven;
        t.fontRef.color = s.fontRef.color;
        break;
    case kAttrDropDownList:
        t.dropDownList = s.dropDownList;
        t.sort = s.sort;
        t.autoAppend = s.autoAppend;
        t.autoComplete = s.autoComplete;
        break;
    case kAttrAlignment:
        CopyStyleAttribute(t, s, kAttrHorizontalAlignment);
        CopyStyleAttribute(t, s, kAttrVerticalAlignment);
        CopyStyleAttribute(t, s, kAttrWrapping);
        break;
    case kAttrAlignmentRotation:
        CopyStyleAttribute(t, s, kAttrAlignment);
        t.rotation = s.rotation;
        break;
    case kAttrHorizontalAlignment:
        t.horizontalAlignment = s.horizontalAlignment;
        t.horizontalIndent = s.horizontalIndent;
        break;
    case kAttrVerticalAlignment:
        t.verticalAlignment = s.verticalAlignment;
        t.verticalIndent = s.verticalIndent;
        break;
    case kAttrWrapping:
        t.wrapText = s.wrapText;
        t.fitToCell = s.fitToCell;
        break;
    case kAttrHorizontalOnly:
        t.horizontalAlignment = s.horizontalAlignment;
        break;
    case kAttrVerticalOnly:
        t.verticalAlignment = s.verticalAlignment;
        break;
    case kAttrHorizontalIndent:
        t.horizontalIndent = s.horizontalIndent;
        break;
    case kAttrVerticalIndent:
        t.verticalIndent = s.verticalIndent;
        break;
    case kAttrRotation:
        t.rotation = s.rotation;
        break;
    case kAttrBorders:
        t.borderSides = s.borderSides;
        t.borderLine = s.borderLine;
        break;
    case kAttrInterior:
        t.fill = s.fill;
        break;
    case kAttrBorderLineStyle:
        t.borderLine.style = s.borderLine.style;
        break;
    case kAttrBorderColor:
        t.borderLine.colorGiven = s.borderLine.colorGiven;
        t.borderLine.color = s.borderLine.color;
        break;
    case kAttrPattern:
        t.fill.pattern = s.fill.pattern;
        break;
    case kAttrPatternColor:
        t.fill.patternColorGiven = s.fill.patternColorGiven;
        t.fill.patternColor = s.fill.patternColor;
        FillWithColor(t.fill);
        break;
    case kAttrBackgroundColor:
        t.fill.backgroundColorGiven = s.fill.backgroundColorGiven;
        t.fill.backgroundColor = s.fill.backgroundColor;
        FillWithColor(t.fill);
        break;
    case kAttrProtection:
        t.isProtected = s.isProtected;
        break;
    default:
        break;
    }
}

} // namespace

bool ApplyFormatAttribute(StyleRecord& targetStyle, FontRecord& targetFont,
                          const StyleRecord& sourceStyle, const FontRecord& sourceFont,
                          uint8_t code) {
    if (code == kAttrNumberFormat || code == kAttrNumberFormatCode) {
        CopyNumberFormat(targetStyle.numberFormat, sourceStyle.numberFormat,
                         code == kAttrNumberFormatCode);
        return false;
    }
    if (CopyFontAttribute(targetFont, sourceFont, code)) return true;
    CopyStyleAttribute(targetStyle, sourceStyle, code);
    return false;
}

} // namespace vl
