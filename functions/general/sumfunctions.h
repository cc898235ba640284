#pragma once
// Sums and products over numbers, ranges and arrays: SUM, SUMSQ, PRODUCT, SUMPRODUCT,
// SUMX2MY2, SUMX2PY2, SUMXMY2 and SERIESSUM.

namespace vl {

void BindSumFunctions();

} // namespace vl
