#pragma once
// The annuity functions on a constant rate per period: PV, FV, PMT, NPER, the parts of one
// payment IPMT and PPMT, their sums CUMIPMT and CUMPRINC, and RATE found by iteration.

namespace vl {

void BindAnnuityFunctions();

} // namespace vl
