#pragma once
// The common formatting of a selection: the first style met among its cell positions, its
// font, and per attribute whether the positions agree (1), differ (2) or lack it (0). The
// format pages show an attribute flagged 2 as undetermined.

#include "model/formatstore.h"
#include "model/styles.h"

#include <array>
#include <cstdint>

namespace vl {

constexpr int kStyleMixCount = 36;
using StyleMixFlags = std::array<uint8_t, kStyleMixCount>;

// Positions in the flags.
enum StyleMix : uint8_t {
    kMixNumberKind = 0, // 0 to 10, one per number-format kind
    kMixFaceName = 11,
    kMixSize = 12,
    kMixCharSet = 13,
    kMixWeight = 14,
    kMixItalic = 15,
    kMixUnderline = 16,
    kMixStrikeout = 17,
    kMixFontColor = 18,
    kMixList = 19,
    kMixHorizontal = 20, // 20 left, 21 centre, 22 right
    kMixVertical = 23,   // 23 top, 24 centre, 25 bottom
    kMixWrap = 26,
    kMixFit = 27,
    kMixBorderLine = 28,
    kMixBorderColor = 29,
    kMixBorderSides = 30,
    kMixPattern = 31,
    kMixPatternColor = 32,
    kMixBackgroundColor = 33,
    kMixProtected = 34,
    kMixHidden = 35,
};

struct SelectionStyle {
    StyleRecord style; // the first style met
    FontRecord font;   // its font
    StyleMixFlags mixed{};
};

// Merges style `other` into the flags against `merged`; `merged` itself never changes.
void MergeSelectionStyles(const StyleTables& tables, const StyleRecord& merged,
                          const StyleRecord& other, StyleMixFlags& mixed);

// Compares every cell position of the rectangle: the format runs inside it and, for the
// positions without a run, their columns' styles. Without any style met, style 0 merged
// with itself.
SelectionStyle CompareSelectionStyles(const StyleTables& tables, uint16_t firstColumn,
                                      uint16_t lastColumn, uint32_t firstRow, uint32_t lastRow,
                                      const CFormatStore& store);

} // namespace vl
