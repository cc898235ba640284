#include "formula/formulanumber.h"

#include "formula/textscan.h"
#include "platform/core/cp1252.h"
#include "platform/core/number.h"
#include "values/formatdouble.h"

#include <cfloat>
#include <cmath>

namespace vl {

namespace {

constexpr int kConstantDigits = 15;

// "1.23456789e-010": 15 significant digits in the exponent form, without trailing zeros.
std::string ExponentText(double value) {
    std::string text = FormatNumberE(value, kConstantDigits - 1);
    std::size_t e = text.find('e');
    std::size_t last = text.find_last_not_of('0', e - 1);
    if (text[last] == '.') --last;
    return text.erase(last + 1, e - last - 1);
}

// The shortest text that reads back as the value, when 15 digits do not: a whole number
// below 10^17 in plain digits, anything else in the exponent form with 16 or 17 digits.
std::string RoundTripText(double value) {
    if (value == std::trunc(value) && std::fabs(value) < 1e17) return FormatNumberF(value, 0);
    std::string text;
    for (int digits = kConstantDigits + 1; digits <= 17; ++digits) {
        text = FormatNumberE(value, digits - 1);
        double back = 0;
        if (ParseNumber(text, back) && back == value) break;
    }
    std::size_t e = text.find('e');
    std::size_t last = text.find_last_not_of('0', e - 1);
    if (text[last] == '.') --last;
    return text.erase(last + 1, e - last - 1);
}

std::size_t SkipDigits(std::string_view t, std::size_t i) {
    while (IsAsciiDigit(At(t, i))) ++i;
    return i;
}

} // namespace

FormulaNumber ScanFormulaNumber(std::string_view text, char decimal, bool internalForm) {
    FormulaNumber result;
    std::size_t i = SkipDigits(text, 0);
    bool digits = i > 0;
    std::size_t separator = std::string_view::npos;
    if (At(text, i) == decimal && decimal != '\0') {
        separator = i;
        std::size_t fractionEnd = SkipDigits(text, i + 1);
        digits = digits || fractionEnd > i + 1;
        i = fractionEnd;
    }
    if (!digits) return result;
    if (At(text, i) == 'e' || At(text, i) == 'E') {
        std::size_t j = i + 1;
        if (At(text, j) == '+' || At(text, j) == '-') ++j;
        if (IsAsciiDigit(At(text, j)))
            i = SkipDigits(text, j);
        else if (!internalForm)
            return result;
    }
    if (!internalForm && i > kNumberBuffer) return result;

    std::string_view span = text.substr(0, i);
    double value = 0;
    NumberScan scan;
    if (separator == std::string_view::npos || decimal == '.') {
        scan = ScanNumber(span, value, false);
    } else {
        std::string buffer(span);
        buffer[separator] = '.';
        scan = ScanNumber(buffer, value, false);
    }
    if (scan.length != i) return result;
    result.ok = true;
    result.length = i;
    result.value = value;
    return result;
}

bool IsOutOfRange(double value) {
    if (std::isnan(value)) return true;
    double magnitude = std::fabs(value);
    return magnitude > DBL_MAX || (magnitude != 0 && magnitude < DBL_MIN);
}

void AppendFormulaNumber(std::string& out, double value, char decimal, bool exact) {
    std::string text = FormatDouble(value);
    // The plain text keeps at most 14 decimals: where that drops a significant digit of
    // the 15 a constant keeps, the exponent form is written instead.
    double back = 0;
    if (std::isfinite(value) && ParseNumber(text, back) &&
        FormatNumberE(back, kConstantDigits - 1) != FormatNumberE(value, kConstantDigits - 1))
        text = ExponentText(value);
    // A constant keeps its whole value: where 15 digits read back as another double (or
    // overflow), the digits that tell it apart are written.
    if (exact && std::isfinite(value) && !(ParseNumber(text, back) && back == value))
        text = RoundTripText(value);
    if (decimal != '.') {
        std::size_t dot = text.find('.');
        if (dot != std::string::npos) text[dot] = decimal;
    }
    out += text;
}

} // namespace vl
