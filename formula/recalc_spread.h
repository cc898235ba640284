#pragma once
// The rounds that follow the first walk of a recalculation while arrays change the cells they
// spread over: formulas calculated before such a change read the old elements, so they, and
// every formula calculated from them, are calculated again.

#include "formula/evalcontext.h"

#include <functional>

namespace vl {

class CWorkbook;

// Calculates one formula cell, its uncalculated precedents first.
using CellCalculation = std::function<void(CCellStore& cells, uint32_t row, uint16_t column)>;

// Runs rounds while arrays change their elements. Each round makes the formulas that read a
// changed area uncalculated, and those that read them, and calculates them again, an array
// before the formulas that read its elements. An array is not made uncalculated by its own
// change, and one of random numbers takes one turn only. The rounds after the first are
// bounded by the number of arrays that changed in them. With `only`, the formulas calculated
// are those of that worksheet and the arrays they read.
void SettleSpreads(CEvalContext& ctx, CWorkbook& workbook, const CCellStore* only,
                   const CellCalculation& calculate);

} // namespace vl
