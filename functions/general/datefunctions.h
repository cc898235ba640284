#pragma once
// The date and time functions over ISO 8601 text: DATE, TIME, DATEVALUE, TIMEVALUE,
// DATEDIFF, EDATE, EDATE2, EOMONTH, the field extractors YEAR to SECOND, WEEKDAY and
// WEEKNUM, and NOW and TODAY on the process clock.

#include "values/isodate.h"

namespace vl {

void BindDateFunctions();

} // namespace vl
