#pragma once
// Dates, times and durations (ISO 8601 text in text cells) shown through format codes:
// calendar fields with the month and day names of the user's locale, or a duration as
// elapsed time ("[h]:mm:ss" shows PT63H30M as 63:30:00).

#include "core/settings.h"
#include "values/numfmt_compile.h"
#include "values/numfmt_render.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// The text of an ISO date-time or duration through `code`; when it does not render,
// `text` is `iso` unchanged and the result is false. An empty code lays the text out as
// it is. A time with a zone shows as written. Names come from the locale choice
// of `set` (of the user set when null); separators are converted to `set`'s.
bool FormatDateText(std::string_view iso, std::string_view code, std::string& text,
                    const SeparatorSet* set);
bool FormatDateTimeValue(RenderedList& out, std::string_view iso, std::string_view code,
                         const SeparatorSet* set);

bool RenderDateParts(RenderedList& out, std::string_view iso, const FormatSection& section,
                     const FormatToken* tokens, uint8_t localeChoice);
bool RenderTimeParts(RenderedList& out, std::string_view duration, const FormatSection& section,
                     const FormatToken* tokens);

} // namespace vl
