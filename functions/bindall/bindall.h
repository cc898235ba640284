#pragma once
// Binds the implementation of every built-in function family to its rows of the function
// table; the program and the tests call it once before evaluating formulas.

namespace vl {

void BindAllFunctions();

} // namespace vl
