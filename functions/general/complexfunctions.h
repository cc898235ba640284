#pragma once
// Complex numbers as text ("3 + 4i", suffix "i" or "j"): COMPLEX builds one, the IM
// functions read their arguments as text, compute in double precision and give a number
// or a new text.

namespace vl {

void BindComplexFunctions();

} // namespace vl
