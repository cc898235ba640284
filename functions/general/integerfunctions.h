#pragma once
// The integer and combinatorial functions: FACT, FACTDOUBLE, COMBIN, COMBIN2,
// MULTINOMIAL, GCD, LCM, QUOTIENT and MOD.

namespace vl {

void BindIntegerFunctions();

} // namespace vl
