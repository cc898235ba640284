#pragma once
// Typed dates and times in the user's form ("8/11/2005", "January 5, 2006", "1:05 PM"),
// matched against the date and time styles of the standard formats.

#include "core/settings.h"
#include "values/isodate.h"
#include "values/numfmt_compile.h"
#include "values/standardformat.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vl {

// True when `text` is a date, a time or both. `kind` comes in as the cell's format kind
// (its own date or time style is tried first) and goes out as 4, 5 or 6, with the
// style that matched in `params`; dates typed in a kind-0 cell are read in the user's
// date order. With `elapsed` given, an elapsed-time style ("[h]:mm:ss") may match too:
// the time is then a duration in `*elapsed` and `result` has neither date nor time.
// Where the date or time separator is also the decimal or thousands separator, a text
// that reads as a number is left to the number reader.
bool ParseDateText(std::string_view text, IsoDateTime& result, uint8_t& kind,
                   uint8_t params[kStandardFormatParams], const SeparatorSet& set,
                   IsoDuration* elapsed = nullptr);

// Matches the text from its start against the first section of a compiled date or time
// format, read with the separators and the locale names of `set`. `end` is set behind
// what matched (and the blanks after it). Fields that matched are set in `rec`; month
// and day with no year take the current year, and the date must exist. A format with an
// elapsed field fills `*elapsed` instead, and fails when it is null.
bool ParseDateParts(const CompiledFormat& format, std::string_view text, std::size_t& end,
                    IsoDateTime& rec, const SeparatorSet& set, IsoDuration* elapsed = nullptr);

// The year a year of exactly two digits stands for: 00-29 in this century, 30-99 in the
// last, as other spreadsheets read it. Every route that reads a typed date (typing, text
// import, Replace, paste, date functions) reads its year so.
constexpr int32_t TwoDigitYear(int32_t digits) {
    return digits < 30 ? 2000 + digits : 1900 + digits;
}
// Whether a "yy" code shows `year` as two digits: only where they read back as that year.
constexpr bool ShowsTwoDigitYear(int32_t year) {
    return year >= 2000 && TwoDigitYear(year % 100) == year;
}

// The year the clock shows now; tests may pin it (0 unpins).
int32_t CurrentYear();

} // namespace vl
