#pragma once
// The working-day functions NETWORKDAYS and WORKDAY: Monday to Friday count, and the days
// off of an optional range or array recur every year on their month and day.

namespace vl {

void BindWorkdayFunctions();

} // namespace vl
