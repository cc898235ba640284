#pragma once
// AND, OR, NOT, IF, TRUE and FALSE. A value is true when it rounds to a whole number
// above 0; negative numbers and text that is no number are #NUM!.

namespace vl {

void BindLogicalFunctions();

} // namespace vl
