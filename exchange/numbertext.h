#pragma once
// Numbers in the text and xBase forms, through the locale-free number module: the number
// form of a text field, the decimal text of xBase fields and their fixed-width forms.

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// A text field that is a number: an optional '-' (blanks may follow), digits with an
// optional `decimal` separator and fraction, an optional exponent with at least one digit,
// then only blanks. A field without any digit is no number.
bool ReadFieldNumber(std::string_view field, char decimal, double& value);

// The decimal number at the start of an xBase field after leading blanks ("12.50 ",
// "  -3"); 0 when it holds none.
double ReadDecimalField(std::string_view field);
// The same, false (with 0) when the number it holds lies past the double range.
bool ReadDecimalFieldValue(std::string_view field, double& value);
// The whole number at the start of a field after leading blanks (a memo's block number);
// 0 when it holds none or a negative one, saturated at the largest 32-bit value.
uint32_t ReadWholeField(std::string_view field);

// `value` with `decimals` digits after the point, right-aligned in `width` characters.
// A text wider than the field keeps its first `width` characters while only decimals (and
// the point) go; one whose whole part is wider becomes `width` asterisks, since the cut
// number would read as another number.
std::string FixedWidthNumber(double value, int width, int decimals);

} // namespace vl
