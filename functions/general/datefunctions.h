#pragma once
// The date and time functions over ISO 8601 text: DATE, TIME, DATEVALUE, TIMEVALUE,
// DATEDIFF, EDATE, EDATE2, EOMONTH, the field extractors YEAR to SECOND, WEEKDAY and
// WEEKNUM, and NOW and TODAY on a clock that tests can set.

#include "values/isodate.h"

namespace vl {

void BindDateFunctions();

// The local date and time that NOW and TODAY read (a record with both parts); null
// restores the system clock.
using LocalClock = IsoDateTime (*)();
void SetLocalClock(LocalClock clock);
IsoDateTime ReadLocalClock();

} // namespace vl
