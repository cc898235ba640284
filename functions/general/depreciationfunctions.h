#pragma once
// Depreciation (DB, DDB, SLN, SYD), fractional prices (DOLLARDE, DOLLARFR), rate
// conversion (EFFECT, NOMINAL) and growth under a schedule of rates (FVSCHEDULE).

namespace vl {

void BindDepreciationFunctions();

} // namespace vl
