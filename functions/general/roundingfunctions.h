#pragma once
// The rounding functions: ROUND, ROUNDUP, ROUNDDOWN and TRUNC to decimal digits, MROUND,
// CEILING and FLOOR to a multiple, EVEN, ODD and INT to integers. All but INT work on the
// magnitude and put the sign back, so "up" is away from zero.

namespace vl {

void BindRoundingFunctions();

} // namespace vl
