// Fixed-point and scientific rendering of one section.

#include "platform/core/number.h"
#include "values/inttext.h"
#include "values/numfmt_number.h"

#include <cmath>

namespace vl {

namespace {

constexpr std::size_t kMaxDigitText = 1025;
constexpr int kSignificantDigits = 15;

// The precision of the digits: 15 significant digits, or fewer when the section asks
// for fewer decimals. Rounding to the placeholders also when the last one is "#" keeps
// 1.239 through "0.##" from being cut to 1.23.
int Precision(int integerWidth, const FormatSection& s) {
    int precision = kSignificantDigits - integerWidth;
    if (s.fracDigits < precision) precision = s.fracDigits;
    return precision < 0 ? 0 : precision;
}

void StripFractionZeros(std::string& text) {
    if (text.find('.') == std::string::npos) return;
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
}

bool HasDigitToken(const FormatToken* tokens, uint16_t first, uint16_t end) {
    for (uint16_t k = first; k < end; ++k)
        if (tokens[k].kind == kFmtDigit) return true;
    return false;
}

// The character of the last digit placeholder in [first, end), or 0.
char LastPlaceholder(const FormatToken* tokens, uint16_t first, uint16_t end) {
    for (uint16_t k = end; k > first; --k)
        if (tokens[k - 1].kind == kFmtDigit) return char(tokens[k - 1].ch);
    return '\0';
}

// The number written by the literal digits after the exponent token; -1 when over 99.
int FixedExponent(const FormatToken* tokens, uint16_t first, uint16_t end) {
    int value = 0;
    for (uint16_t k = first; k < end; ++k) {
        const FormatToken& t = tokens[k];
        if (t.kind != kFmtLiteral || t.ch < '0' || t.ch > '9') break;
        value = value * 10 + (t.ch - '0');
        if (value > 99) return -1;
    }
    return value;
}

} // namespace

bool RenderFixedRange(RenderedList& out, double value, const FormatSection& s,
                      const FormatToken* tokens, uint16_t end) {
    if (s.tokenCount == 0) return true;
    // A fixed exponent can scale a finite value past the largest double.
    if (!std::isfinite(value)) return false;
    int width = int(FormatNumberF(value, 0).size());
    std::string digits = FormatNumberF(value, Precision(width, s));
    if (digits.size() >= kMaxDigitText) return false;
    StripFractionZeros(digits);
    std::size_t dot = digits.find('.');
    std::string_view whole = std::string_view(digits).substr(0, dot);
    std::string_view fraction;
    if (dot != std::string::npos) fraction = std::string_view(digits).substr(dot + 1);
    uint16_t decimal = (s.decimalIndex != kNoToken && s.decimalIndex < end) ? s.decimalIndex : end;
    // A lone zero goes into its placeholder ("#.##" shows 0.5 as 0.5), except that "?"
    // keeps its blank: the zero section of an accounting code ("-??") shows the dash.
    if (whole == "0" && LastPlaceholder(tokens, s.firstToken, decimal) == '?') whole = {};
    if (!AnalyseDigitPlaceholders(tokens, s.firstToken, decimal, out, whole,
                                  DigitDirection::RightToLeft))
        return false;
    if (decimal == end) return true;
    RenderedList part;
    int placed = 0;
    if (!AnalyseDigitPlaceholders(tokens, uint16_t(decimal + 1), end, part, fraction,
                                  DigitDirection::LeftToRight, false, &placed))
        return false;
    if (placed > 0 && !out.Add(kFmtDecimal, char(tokens[decimal].ch))) return false;
    for (uint16_t k = 0; k < part.count; ++k)
        if (!out.Add(part.items[k].kind, char(part.items[k].ch))) return false;
    return true;
}

bool RenderFixedNumber(RenderedList& out, double value, const FormatSection& s,
                       const FormatToken* tokens) {
    return RenderFixedRange(out, value, s, tokens, s.EndToken());
}

bool RenderScientificNumber(RenderedList& out, double value, const FormatSection& s,
                            const FormatToken* tokens) {
    uint16_t expIndex = s.exponentIndex;
    uint16_t end = s.EndToken();
    if (expIndex == kNoToken || expIndex >= end) return false;
    bool placeholders = HasDigitToken(tokens, uint16_t(expIndex + 1), end);
    double mantissa = 0;
    int exponent = 0;
    if (placeholders) {
        int width = int(FormatNumberE(value, 0).size()) - 5; // less "e+015"
        std::string text = FormatNumberE(value, Precision(width, s));
        std::size_t e = text.find('e');
        if (e == std::string::npos) return false;
        if (!ParseNumber(std::string_view(text).substr(0, e), mantissa)) return false;
        double exp = 0;
        if (!ParseNumber(std::string_view(text).substr(e + 1), exp)) return false;
        exponent = int(exp);
    } else {
        exponent = FixedExponent(tokens, uint16_t(expIndex + 1), end);
        if (exponent < 0) return false;
        if (s.exponentSign == '-') exponent = -exponent;
        mantissa = value / std::pow(10.0, exponent);
    }
    if (!RenderFixedRange(out, mantissa, s, tokens, expIndex)) return false;
    if (!out.Add(kFmtExponent, char(tokens[expIndex].ch))) return false;
    if (exponent < 0 && !out.Add(kFmtLiteral, '-')) return false;
    if (exponent >= 0 && s.exponentSign == '+' && !out.Add(kFmtLiteral, '+')) return false;
    if (!placeholders) {
        for (uint16_t k = uint16_t(expIndex + 1); k < end; ++k)
            if (!out.Add(tokens[k].kind, char(tokens[k].ch))) return false;
        return true;
    }
    std::string digits = IntText(exponent < 0 ? -int64_t(exponent) : exponent);
    return AnalyseDigitPlaceholders(tokens, uint16_t(expIndex + 1), end, out, digits,
                                    DigitDirection::RightToLeft);
}

} // namespace vl
