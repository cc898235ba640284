#pragma once
// The rounding functions: ROUND, ROUNDUP, ROUNDDOWN and TRUNC to decimal digits, MROUND,
// CEILING and FLOOR to a multiple, EVEN, ODD and INT to integers. All but INT work on the
// magnitude and put the sign back, so "up" is away from zero. A value a representation
// error away from a whole or half number is taken as that number before the cut, so that
// ROUNDDOWN(19.99,2) stays 19.99 and INT(0.29*100) is 29.

namespace vl {

void BindRoundingFunctions();

} // namespace vl
