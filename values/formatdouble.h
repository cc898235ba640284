#pragma once
// The plain text of a number wherever it is shown without a number format: formula
// text, the "&" operator, general cells and every fallback. 15 significant digits, written
// out from 1e-14 to below 1e15, else in exponent notation with three-digit exponents
// ("1.5e+020"), trailing zeros of a fraction stripped.

#include "core/settings.h"

#include <string>

namespace vl {

// With a separator set the decimal point becomes the set's decimal separator; texts in
// exponent form keep "." whatever the set.
std::string FormatDouble(double value, const SeparatorSet* set = nullptr);

// A number as text where no format applies: a General cell, a number joined with "&" or given
// as a text argument, the clipboard and text-file forms of a cell. 15 significant digits:
// written out where the whole part has at most 15 digits and the digits with a fraction's
// leading zeros are at most 15 or the text is no longer than the exponent form; otherwise the
// exponent form with a capital E and at least two exponent digits (3E+23, 1.42857142857143E-14).
std::string FormatGeneralNumber(double value, const SeparatorSet* set = nullptr);

} // namespace vl
