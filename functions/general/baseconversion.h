#pragma once
// Conversion of integers between binary, octal, decimal and hexadecimal: BIN2DEC to
// OCT2HEX. Binary, octal and hexadecimal numbers are texts of at most 10 digits, negative
// ones in two's complement over all 10 digits (10, 30 or 40 bits).

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

void BindBaseConversionFunctions();

// The value of a text of base 2, 8 or 16; false for more than 10 characters or a
// character that is no digit of the base. An empty text is 0.
bool ReadBaseDigits(std::string_view text, int32_t bitsPerDigit, int64_t& value);
// The digits of a value of base 2, 8 or 16, padded to `places`; a negative value is
// written in two's complement over 10 digits whatever `places`.
std::string WriteBaseDigits(int64_t value, int32_t bitsPerDigit, int32_t places);

} // namespace vl
