#pragma once
// Numbers shown through number-format codes: the section is chosen by sign or by
// conditions and rendered as a fixed, scientific or fraction number. Every path has a
// plain fallback: a code that fails to compile or render leaves the caller to show the
// FormatDouble text.

#include "core/settings.h"
#include "values/numfmt_compile.h"
#include "values/numfmt_render.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// The text of `value` through `code` (stored with the internal separators) with the
// separators of `set` (none converted when null). False, with the FormatGeneralNumber text,
// when the code does not compile or render.
bool FormatValueText(double value, std::string_view code, std::string& text,
                     const SeparatorSet* set);
bool FormatNumberValue(RenderedList& out, double value, std::string_view code,
                       const SeparatorSet* set);
// The same with a code compiled already (with the internal set).
bool FormatCompiledNumber(RenderedList& out, double value, const CompiledFormat& format,
                          const SeparatorSet* set);

// "3 - 4i": the real part, the sign and magnitude of the imaginary part, the suffix.
std::string FormatComplex(double real, double imaginary, std::string_view suffix);

// True when the section has no condition or `value` satisfies all of them.
bool TestFormatConditions(const CompiledFormat& format, double value, int section);

bool RenderFixedNumber(RenderedList& out, double value, const FormatSection& section,
                       const FormatToken* tokens);
bool RenderScientificNumber(RenderedList& out, double value, const FormatSection& section,
                            const FormatToken* tokens);
bool RenderFractionNumber(RenderedList& out, double value, const FormatSection& section,
                          const FormatToken* tokens);

enum class DigitDirection { RightToLeft, LeftToRight };

// Places `digits` over the placeholders of tokens [first, end): from the right for an
// integer part (left-over digits at the leftmost placeholder, thousands separators
// between groups), from the left for a fraction (extra digits dropped). Other tokens are
// copied in place. `literalDigits` makes literal digit tokens placeholders too (a fixed
// denominator). `placed` counts the digits written.
bool AnalyseDigitPlaceholders(const FormatToken* tokens, uint16_t first, uint16_t end,
                              RenderedList& out, std::string_view digits, DigitDirection dir,
                              bool literalDigits = false, int* placed = nullptr);

// The fixed text of `value` (not negative) with `decimals` decimals, rounded half away from
// zero from its 15 significant digits, the form the user typed and sees: 2.675 gives
// 2.68 and 3E+23 gives 3 and 23 zeros, not the binary value's digits.
std::string RoundedFixedText(double value, int decimals);
// True when RoundedFixedText of `value` holds no digit but zeros.
bool RoundsToZero(double value, int decimals);

// True when the section's fraction of `value` (not negative) has no whole part and no
// numerator.
bool FractionShowsZero(double value, const FormatSection& section, const FormatToken* tokens);

// Renders the fixed-point part of a section up to token `end` (the exponent token of a
// scientific section, else the section's end). A zero whole part shows through "#" only
// with `zeroDigit`.
bool RenderFixedRange(RenderedList& out, double value, const FormatSection& section,
                      const FormatToken* tokens, uint16_t end, bool zeroDigit = false);

} // namespace vl
