#pragma once
// Attribute and element values of the XML form turned into numbers, booleans and colours.
// Each converter returns 0 or the error code the reader reports: malformed or out-of-range
// numbers are 59, words outside their table (booleans, colours) are 57.

#include "platform/core/errorcode.h"
#include "platform/core/screen.h"

#include <cstdint>
#include <string_view>

namespace vl {

// The largest value each unsigned converter accumulates: the type's maximum minus one.
constexpr uint64_t kXmlCapU8 = 254;
constexpr uint64_t kXmlCapU16 = 65534;
constexpr uint64_t kXmlCapU32 = 4294967294u;

// Decimal digits only (no sign, no blanks); the empty text is 0. A running value past
// `cap`, any other character, or a value outside [min, max] is 59.
ErrorCode ParseXmlUnsigned(std::string_view text, uint64_t cap, uint64_t min, uint64_t max,
                           uint64_t& out);

// An optional "-", optional whitespace, then decimal digits; the empty text, blanks alone
// and a lone "-" are 0. A magnitude past `cap` (checked while the digits accumulate), any other
// character, or a value outside [min, max] is 59.
ErrorCode ParseXmlSigned(std::string_view text, uint64_t cap, int64_t min, int64_t max,
                         int64_t& out);

// The whole text as one decimal number (no blanks, no hexadecimal, no "inf" or "nan"),
// finite and inside [min, max]; else 59.
ErrorCode ParseXmlDouble(std::string_view text, double min, double max, double& out);

// "true", "Yes", "1" and "false", "No", "0" exactly; else 57.
ErrorCode ParseXmlBool(std::string_view text, bool& out);

// "#" and exactly six hexadecimal digits (red first, either case) or one of the sixteen
// colour names as the whole text; else 57.
ErrorCode ParseXmlColor(std::string_view text, COLORREF& out);

} // namespace vl
