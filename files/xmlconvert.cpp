#include "files/xmlconvert.h"

#include "platform/core/cp1252.h"
#include "platform/core/number.h"
#include "values/numfmt_compile.h"

#include <cmath>

namespace vl {

namespace {

// Accumulates the digits from `i` to the end; false on another character or past `cap`.
bool AccumulateDigits(std::string_view text, std::size_t i, uint64_t cap, uint64_t& value) {
    value = 0;
    for (; i < text.size(); ++i) {
        if (!IsAsciiDigit(text[i])) return false;
        value = value * 10 + uint64_t(text[i] - '0');
        if (value > cap) return false;
    }
    return true;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

} // namespace

ErrorCode ParseXmlUnsigned(std::string_view text, uint64_t cap, uint64_t min, uint64_t max,
                           uint64_t& out) {
    uint64_t value = 0;
    if (!AccumulateDigits(text, 0, cap, value) || value < min || value > max) return kErrorXmlData;
    out = value;
    return kErrorNone;
}

ErrorCode ParseXmlSigned(std::string_view text, uint64_t cap, int64_t min, int64_t max,
                         int64_t& out) {
    const bool negative = !text.empty() && text[0] == '-';
    std::size_t i = negative ? 1 : 0;
    // Blanks may come before the digits, with or without the sign.
    while (i < text.size() && IsAsciiSpace(text[i])) ++i;
    uint64_t magnitude = 0;
    if (!AccumulateDigits(text, i, cap, magnitude)) return kErrorXmlData;
    const int64_t value = negative ? -int64_t(magnitude) : int64_t(magnitude);
    if (value < min || value > max) return kErrorXmlData;
    out = value;
    return kErrorNone;
}

ErrorCode ParseXmlDouble(std::string_view text, double min, double max, double& out) {
    // Blanks may come before the number, as the runtime's conversion takes them; not after.
    while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
    double value = 0;
    if (!ParseNumber(text, value) || !std::isfinite(value)) return kErrorXmlData;
    if (value < min || value > max) return kErrorXmlData;
    out = value;
    return kErrorNone;
}

ErrorCode ParseXmlBool(std::string_view text, bool& out) {
    if (text == "true" || text == "Yes" || text == "1") {
        out = true;
        return kErrorNone;
    }
    if (text == "false" || text == "No" || text == "0") {
        out = false;
        return kErrorNone;
    }
    return kErrorXmlAttribute;
}

ErrorCode ParseXmlColor(std::string_view text, COLORREF& out) {
    uint32_t color = 0;
    if (!ParseColor(text, color)) return kErrorXmlAttribute;
    // The colour reader also takes a colour at the start of longer text; a value is whole.
    const bool whole =
        text[0] == '#' ? text.size() == 7 : SameNoCase(text, FormatColor(color, true));
    if (!whole) return kErrorXmlAttribute;
    out = color;
    return kErrorNone;
}

} // namespace vl
