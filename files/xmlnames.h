#pragma once
// The value words of the native XML form: each table is indexed by the stored code, and
// readers compare the words exactly (case-sensitive, no trimming).

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace vl {

using XmlNames = std::span<const std::string_view>;

inline constexpr std::array<std::string_view, 10> kXmlLineStyles = {
    "None",       "Continuous",    "Dot",           "Dash",          "DashDot",
    "DashDotDot", "Continuous1px", "Continuous2px", "Continuous3px", "Double",
};

inline constexpr std::array<std::string_view, 23> kXmlFillPatterns = {
    "None",
    "Solid",
    "Gray125",
    "Gray75",
    "Gray50",
    "Gray25",
    "Gray0625",
    "HorzStripe",
    "VertStripe",
    "ReverseDiagStripe",
    "DiagStripe",
    "DiagCross",
    "ThickDiagCross",
    "ThinHorzStripe",
    "ThinVertStripe",
    "ThinReverseDiagStripe",
    "ThinDiagStripe",
    "ThinHorzCross",
    "ThinDiagCross",
    "VertGradient",
    "HorzGradient",
    "VertSymGradient",
    "HorzSymGradient",
};

inline constexpr std::array<std::string_view, 6> kXmlFontFamilies = {
    "Any", "Swiss", "Modern", "Roman", "Script", "Decorative",
};

// "Regular" is read as "Normal" but never written.
inline constexpr std::array<std::string_view, 4> kXmlFontWeights = {
    "Normal",
    "Thin",
    "Bold",
    "Heavy",
};

inline constexpr std::array<std::string_view, 17> kXmlCharSets = {
    "Default", "Ansi",    "Baltic",   "Chineese", "EastEurope", "GB2312", "Greek",  "Hangul", "Mac",
    "OEM",     "Russian", "ShiftJIS", "Symbol",   "Turkish",    "Hebrew", "Arabic", "Thai",
};

inline constexpr std::array<std::string_view, 4> kXmlNegativeForms = {
    "Minus",
    "Red",
    "Brackets",
    "RedAndBrackets",
};

inline constexpr std::array<std::string_view, 4> kXmlSymbolPositions = {
    "$1.1",
    "$ 1.1",
    "1.1$",
    "1.1 $",
};

// Chart series point symbols; symbol 0 is written as the empty word.
inline constexpr std::array<std::string_view, 16> kXmlPointSymbols = {
    "",          "Dot",       "Rectangle3", "Rectangle5", "Rectangle7", "Rectangle9",
    "Diamond5",  "Diamond7",  "Diamond9",   "Circle5",    "Circle7",    "Circle9",
    "Asterisk7", "Asterisk9", "Cross7",     "Cross9",
};

// Bordered sides in the order they are written, with their bits.
struct XmlBorderSide {
    std::string_view name;
    uint8_t bit;
};
inline constexpr std::array<XmlBorderSide, 6> kXmlBorderSides = {{
    {"Left", 4},
    {"Right", 8},
    {"Top", 1},
    {"Bottom", 2},
    {"DiagonalLeft", 16},
    {"DiagonalRight", 32},
}};

// The index of `word` in the table, or -1.
inline int FindXmlName(XmlNames table, std::string_view word) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i] == word) return int(i);
    return -1;
}

// The word of a code, or the empty word for a code past the table.
inline std::string_view XmlNameOf(XmlNames table, unsigned code) {
    return code < table.size() ? table[code] : std::string_view();
}

} // namespace vl
