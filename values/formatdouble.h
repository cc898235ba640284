#pragma once
// The plain text of a number wherever it is shown without a number format: formula
// text, the "&" operator, general cells and every fallback. At most 15 significant
// digits in fixed notation, 14 in exponent notation with three-digit exponents
// ("1.5e+020"), trailing zeros of a fraction stripped.

#include "core/settings.h"

#include <string>

namespace vl {

// With a separator set the decimal point becomes the set's decimal separator; texts in
// exponent form keep "." whatever the set.
std::string FormatDouble(double value, const SeparatorSet* set = nullptr);

} // namespace vl
