#pragma once
// One formatting attribute copied from a source style and font into a target style and
// font, by the attribute codes the format commands and the automation interface share.

#include "model/styles.h"

#include <cstdint>

namespace vl {

// Attribute codes 1 to 31; any other code copies nothing.
enum FormatAttribute : uint8_t {
    kAttrNumberFormat = 1,     // the kind and its parameters
    kAttrNumberFormatCode = 2, // the kind and its format text
    kAttrFontSize = 3,
    kAttrFontName = 4,
    kAttrFontCharSet = 5,
    kAttrFontWeight = 6,
    kAttrFontItalic = 7,
    kAttrFontUnderline = 8,
    kAttrFontStrikeout = 9,
    kAttrFont = 10, // the whole font record
    kAttrFontColor = 11,
    kAttrDropDownList = 12,
    kAttrAlignment = 13, // both alignments with their indents, and wrapping
    kAttrHorizontalAlignment = 14,
    kAttrVerticalAlignment = 15,
    kAttrWrapping = 16,
    kAttrBorders = 17,
    kAttrNothing = 18,
    kAttrInterior = 19,
    kAttrProtection = 20,
    // The alignment page's whole alignment: code 13 and the text rotation. No client names
    // it: a client's code 13 leaves the rotation as it is.
    kAttrAlignmentRotation = 21,
    // The alignment page's controls one by one, so that a change of one leaves the others of
    // every selected cell as they are; no client names them either.
    kAttrHorizontalOnly = 22,
    kAttrVerticalOnly = 23,
    kAttrHorizontalIndent = 24,
    kAttrVerticalIndent = 25,
    kAttrRotation = 26,
    // The cell page's controls one by one, for the same reason. A colour given to a cell
    // without a pattern makes it solid in that colour: no pattern would draw nothing.
    kAttrBorderLineStyle = 27,
    kAttrBorderColor = 28,
    kAttrPattern = 29,
    kAttrPatternColor = 30,
    kAttrBackgroundColor = 31,
};

// Copies attribute `code`; returns true when the target font changed.
bool ApplyFormatAttribute(StyleRecord& targetStyle, FontRecord& targetFont,
                          const StyleRecord& sourceStyle, const FontRecord& sourceFont,
                          uint8_t code);

} // namespace vl
