#pragma once
// ISO 8601 duration text ("P1Y2M3DT10H30M50S", "-P120D", "PT0.500S") and its record.
// Fields keep what was written: "PT63H" stays 63 hours and is never folded into days.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

struct IsoDuration {
    uint8_t negative = 0;
    int32_t years = 0;
    int32_t months = 0;
    int32_t days = 0;
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t seconds = 0;
    int32_t milliseconds = 0;
};

// Reads a duration at the start of `text` into `d` (zeroed by the caller). `end` is
// set behind the duration and any blanks that follow it.
bool ParseIsoDuration(IsoDuration& d, std::string_view text, std::size_t& end);
std::string FormatIsoDuration(const IsoDuration& d);

} // namespace vl
