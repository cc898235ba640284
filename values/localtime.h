#pragma once
// The local date and time, the one reading of the wall clock that saves, exports, page
// headers and the date functions stamp with.

#include "values/isodate.h"

#include <cstdint>

namespace vl {

// The local date and time of a moment in seconds since the epoch, with both parts; a leap
// second reads as the last ordinary one.
IsoDateTime LocalDateTimeAt(int64_t seconds);

// Now, on the process clock.
IsoDateTime LocalDateTime();

} // namespace vl
