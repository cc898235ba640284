#pragma once
// Numbers as text, free of the process locale: the one place that reads and writes
// doubles for everything stored, parsed or shown. Qt sets the process locale from the
// environment, and a user's decimal comma must never reach a file.
//
// Grammar read: [+|-] digits [. digits] [(e|E) [+|-] digits], at least one mantissa digit;
// no hexadecimal, no "inf", no "nan". Writing follows printf in the C locale, except that
// exponents have at least three digits ("1e+015").

#include <cstddef>
#include <string>
#include <string_view>

namespace vl {

struct NumberScan {
    std::size_t length = 0; // characters consumed; 0 when the text starts with no number
    bool overflow = false;  // the value was too large; it is then +-HUGE_VAL
};

// Reads the longest number at the start of `text`. A dangling exponent mark ("1e",
// "1e+") is not consumed. `allowSign` admits a leading sign.
NumberScan ScanNumber(std::string_view text, double& value, bool allowSign = true);

// True when the whole text is one number (no blanks) within range.
bool ParseNumber(std::string_view text, double& value);

// printf's %.*g, %.*e and %.*f in the C locale, with three-digit exponents.
std::string FormatNumberG(double value, int precision);
std::string FormatNumberE(double value, int precision);
std::string FormatNumberF(double value, int precision);

} // namespace vl
