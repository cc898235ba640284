// Fixed-point and scientific rendering of one section.

#include "platform/core/number.h"
#include "values/inttext.h"
#include "values/numfmt_number.h"

#include <charconv>
#include <cmath>

namespace vl {

namespace {

constexpr std::size_t kMaxDigitText = 1025;
constexpr int kSignificantDigits = 15;

// A value as its 15 significant digits, the form the user typed and sees: `digits[i]`
// stands at the power of ten `exponent - i` (2.675 is "267500000000000" at 0).
struct DecimalForm {
    char digits[kSignificantDigits + 1];
    int count = 0;
    int exponent = 0;
};

DecimalForm DecimalFormOf(double value) {
    DecimalForm d;
    char text[40];
    auto r = std::to_chars(text, text + sizeof text, std::fabs(value),
                           std::chars_format::scientific, kSignificantDigits - 1);
    const char* p = text;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p != '.') d.digits[d.count++] = *p;
    int exponent = 0;
    bool negative = p + 1 < r.ptr && p[1] == '-';
    for (p += 2; p < r.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    d.exponent = negative ? -exponent : exponent;
    return d;
}

// Keeps the first `keep` digits, rounding the rest half away from zero as decimal digits
// (2.675 to two decimals is 2.68, although the double lies just below it). Keeps no digit
// when the value rounds to zero.
void RoundDecimalForm(DecimalForm& d, int keep) {
    if (keep >= d.count) return;
    bool up = keep >= 0 && d.digits[keep] >= '5';
    d.count = keep < 0 ? 0 : keep;
    if (!up) return;
    int k = d.count - 1;
    while (k >= 0 && d.digits[k] == '9') d.digits[k--] = '0';
    if (k >= 0) {
        ++d.digits[k];
    } else {
        // Every kept digit was 9 (or none was kept): one power of ten up.
        for (int i = d.count; i > 0; --i) d.digits[i] = d.digits[i - 1];
        d.digits[0] = '1';
        ++d.count;
        ++d.exponent;
    }
}

char DigitAt(const DecimalForm& d, int power) {
    int index = d.exponent - power;
    return index >= 0 && index < d.count ? d.digits[index] : '0';
}

// The multiple of `group` at or below `exponent`.
int FloorToMultiple(int exponent, int group) {
    int q = exponent / group;
    if (exponent % group != 0 && exponent < 0) --q;
    return q * group;
}

// The mantissa and exponent of `value` (not negative) with `decimals` mantissa decimals,
// rounded from its 15-digit form as RoundedFixedText is. The exponent is a multiple of
// `group` (3 for "##0.0E+0", whose mantissa then holds one to three integer digits).
void RoundedScientific(double value, int decimals, int group, double& mantissa, int& exponent) {
    mantissa = 0;
    exponent = 0;
    if (value == 0) return;
    DecimalForm d = DecimalFormOf(value);
    int intDigits = d.exponent - FloorToMultiple(d.exponent, group) + 1;
    RoundDecimalForm(d,
                     intDigits + (decimals < kSignificantDigits ? decimals : kSignificantDigits));
    exponent = FloorToMultiple(d.exponent, group);
    intDigits = d.exponent - exponent + 1;
    // At most 16 digits over an exact power of ten: the quotient is the nearest double.
    double digits = 0, scale = 1;
    for (int k = 0; k < d.count; ++k) digits = digits * 10 + (d.digits[k] - '0');
    for (int k = intDigits; k < d.count; ++k) scale *= 10;
    for (int k = d.count; k < intDigits; ++k) digits *= 10;
    mantissa = digits / scale;
}

// The exponent's step: the count of integer placeholders ("##0.0E+0" is engineering
// notation, "00.0E+00" steps by 2), at least 1.
int ExponentGroup(const FormatSection& s) {
    return s.intDigits > 1 ? s.intDigits : 1;
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

std::string RoundedFixedText(double value, int precision) {
    std::string text;
    if (value != 0) {
        DecimalForm d = DecimalFormOf(value);
        RoundDecimalForm(d, d.exponent + 1 + precision);
        if (d.count > 0) {
            int top = d.exponent < 0 ? 0 : d.exponent;
            text.reserve(std::size_t(top + 2 + precision));
            for (int power = top; power >= 0; --power) text += DigitAt(d, power);
            if (precision > 0) text += '.';
            for (int power = -1; power >= -precision; --power) text += DigitAt(d, power);
            return text;
        }
    }
    text = "0";
    if (precision > 0) text.append(1, '.').append(std::size_t(precision), '0');
    return text;
}

bool RoundsToZero(double value, int decimals) {
    if (value == 0) return true;
    if (!(value < 1)) return false;
    DecimalForm d = DecimalFormOf(value);
    RoundDecimalForm(d, d.exponent + 1 + decimals);
    return d.count == 0;
}

bool RenderFixedRange(RenderedList& out, double value, const FormatSection& s,
                      const FormatToken* tokens, uint16_t end, bool zeroDigit) {
    if (s.tokenCount == 0) return true;
    // A fixed exponent can scale a finite value past the largest double.
    if (!std::isfinite(value)) return false;
    std::string digits = RoundedFixedText(std::fabs(value), s.fracDigits);
    if (digits.size() >= kMaxDigitText) return false;
    StripFractionZeros(digits);
    std::size_t dot = digits.find('.');
    std::string_view whole = std::string_view(digits).substr(0, dot);
    std::string_view fraction;
    if (dot != std::string::npos) fraction = std::string_view(digits).substr(dot + 1);
    uint16_t decimal = (s.decimalIndex != kNoToken && s.decimalIndex < end) ? s.decimalIndex : end;
    // A zero whole part is no digit: "#.##" shows 0.5 as .5, "?" keeps its blank and
    // only "0" writes the zero.
    if (whole == "0" && !zeroDigit) whole = {};
    if (!AnalyseDigitPlaceholders(tokens, s.firstToken, decimal, out, whole,
                                  DigitDirection::RightToLeft))
        return false;
    if (decimal == end) return true;
    RenderedList part;
    int placed = 0;
    if (!AnalyseDigitPlaceholders(tokens, uint16_t(decimal + 1), end, part, fraction,
                                  DigitDirection::LeftToRight, false, &placed))
        return false;
    // The separator stands when a digit follows it, or a "?" that keeps the column (a
    // "_x" space is no such column).
    bool blanks = false;
    for (uint16_t k = uint16_t(decimal + 1); k < end; ++k)
        blanks |= tokens[k].kind == kFmtDigit && tokens[k].ch == '?';
    if ((placed > 0 || blanks) && !out.Add(kFmtDecimal, char(tokens[decimal].ch))) return false;
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
        RoundedScientific(std::fabs(value), s.fracDigits, ExponentGroup(s), mantissa, exponent);
    } else {
        exponent = FixedExponent(tokens, uint16_t(expIndex + 1), end);
        if (exponent < 0) return false;
        if (s.exponentSign == '-') exponent = -exponent;
        mantissa = value / std::pow(10.0, exponent);
    }
    // A mantissa of zero is a digit even for "#": 0 through #.##E+00 is 0E+00.
    if (!RenderFixedRange(out, mantissa, s, tokens, expIndex, mantissa == 0)) return false;
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
