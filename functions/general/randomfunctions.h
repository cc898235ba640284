#pragma once
// RAND and RANDBETWEEN from the process's shared generator, MDETERM and MINVERSE by
// Gaussian elimination, and MMULT, the matrix product under a second name.

namespace vl {

// False when a name is missing from the table.
bool BindRandomMatrixFunctions();

} // namespace vl
