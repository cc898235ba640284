#pragma once
// The elementary math and trigonometry functions: ABS to TANH, ATAN2, LOG, POWER and PI.

namespace vl {

void BindMathFunctions();

} // namespace vl
