// Numbers read out of operand text: the scan with the user's decimal separator and an
// optional minus, and complex numbers written as text.
#include "core/settings.h"
#include "formula/formulanumber.h"
#include "formula/operands.h"
#include "formula/textscan.h"
#include "platform/core/cp1252.h"
#include "platform/core/number.h"

#include <algorithm>

namespace vl {

namespace {

std::size_t SkipSpaces(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

bool StartsWithDigits(std::string_view text, char decimal) {
    if (text.empty()) return false;
    if (IsAsciiDigit(text[0])) return true;
    return text[0] == decimal && text.size() > 1 && IsAsciiDigit(text[1]);
}

// The conversion stored numbers go through: a sign, digits, "." and an exponent.
// Nothing read gives 0 and length 0.
std::size_t ReadPlainNumber(std::string_view text, double& value) {
    value = 0;
    return vl::ScanNumber(text, value, true).length;
}

bool IsFiniteNormalOrZero(double value) {
    return !IsOutOfRange(value);
}

bool IsImaginaryUnit(char c) {
    return c == 'i' || c == 'j';
}

} // namespace

bool ScanNumber(std::string_view text, double& number, std::size_t& end, bool internalForm) {
    end = 0;
    number = 0;
    if (internalForm) {
        std::size_t start = SkipSpaces(text, 0);
        std::size_t length = ReadPlainNumber(text.substr(start), number);
        if (length) end = start + length;
        return true;
    }
    std::size_t i = 0;
    bool negative = At(text, 0) == '-';
    if (negative) i = SkipSpaces(text, 1);
    char decimal = UserSeparators().decimal;
    std::string_view rest = text.substr(std::min(i, text.size()));
    if (!StartsWithDigits(rest, decimal)) return true;
    FormulaNumber n = ScanFormulaNumber(rest, decimal, false);
    if (!n.ok) return false;
    number = negative ? -n.value : n.value;
    end = i + n.length;
    return true;
}

bool ParseComplexText(CEvalContext& ctx, std::string_view text, double& real, double& imaginary) {
    (void)ctx;
    std::size_t i = SkipSpaces(text, 0);
    bool negative = At(text, i) == '-';
    if (negative) i = SkipSpaces(text, i + 1);
    double first = 0;
    std::size_t length = ReadPlainNumber(text.substr(i), first);
    i += length;
    if (negative) first = -first;
    i = SkipSpaces(text, i);

    bool hasImaginary = false;
    double imag = 0;
    double re = first;
    if (IsImaginaryUnit(At(text, i))) {
        hasImaginary = true;
        imag = length ? first : (negative ? -1.0 : 1.0);
        re = 0;
        i = SkipSpaces(text, i + 1);
    } else if (At(text, i) == '+' || At(text, i) == '-') {
        bool minus = text[i] == '-';
        i = SkipSpaces(text, i + 1);
        std::size_t digits = ReadPlainNumber(text.substr(i), imag);
        i += digits;
        if (!digits) imag = 1.0;
        if (minus) imag = -imag;
        i = SkipSpaces(text, i);
        if (!IsImaginaryUnit(At(text, i))) return false;
        hasImaginary = true;
        // Nothing, not even a blank, may follow the suffix of "x + yi".
        ++i;
    }
    if (i != text.size()) return false;
    if (!IsFiniteNormalOrZero(re) || !IsFiniteNormalOrZero(imag)) return false;
    real = re;
    if (hasImaginary) imaginary = imag;
    return true;
}

} // namespace vl
