#pragma once
// Numbers inside formula text and array constants: the scan with a given decimal
// separator, the range test of number values, and the writer whose text reads back.

#include <cstddef>
#include <string>
#include <string_view>

namespace vl {

// The longest number text the user form reads; longer runs are malformed.
constexpr std::size_t kNumberBuffer = 1024;

struct FormulaNumber {
    bool ok = false; // false: malformed (a syntax error)
    std::size_t length = 0;
    double value = 0;
};

// Digits, the decimal separator and digits (at least one digit in all), then an
// exponent. The internal form leaves a dangling exponent mark unread; the user form
// finds it malformed. No sign is read.
FormulaNumber ScanFormulaNumber(std::string_view text, char decimal, bool internalForm);

// NaN, infinities and subnormal values are no acceptable results.
bool IsOutOfRange(double value);

// The number as formula text with this decimal separator, in the exponent form too, so
// that the text reads back in the form it is written for. The plain text is written
// unless it would lose one of the value's 15 significant digits.
void AppendFormulaNumber(std::string& out, double value, char decimal, bool exact = true);

} // namespace vl
