#pragma once
// The reference functions: ADDRESS, AREAS, CHOOSE, COLUMN, COLUMNS, ROW, ROWS and OFFSET
// (referencefunctions.cpp), INDIRECT (indirectfunction.cpp) and INDEX
// (indexfunction.cpp). A reference or range result stays one for the enclosing formula.

namespace vl {

// Binds every reference function; the two below are its parts.
void BindReferenceFunctions();
void BindIndirectFunction();
void BindIndexFunction();

} // namespace vl
