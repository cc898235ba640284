#pragma once
// The cash-flow functions: NPV and IRR over values at regular intervals, MIRR, and XNPV
// and XIRR over flows paired with ISO 8601 dates.

namespace vl {

void BindCashFlowFunctions();

} // namespace vl
