#pragma once
// The rounds that follow the first walk of a recalculation while arrays change the cells they
// spread over: formulas calculated before such a change read the old elements, so they, and
// every formula calculated from them, are calculated again.

#include "formula/evalcontext.h"

#include <functional>
#include <vector>

namespace vl {

class CWorkbook;

// Calculates one formula cell, its uncalculated precedents first.
using CellCalculation = std::function<void(CCellStore& cells, uint32_t row, uint16_t column)>;

struct FormulaPlace {
    CCellStore* cells;
    uint32_t row;
    uint16_t column;
};

// Runs rounds while arrays change their elements. Each round makes the formulas that read a
// changed area before it changed uncalculated, and those that read them, and calculates them
// again, each after the formulas whose results it reads. What a formula reads is what its last
// evaluation in these rounds read (what its text names until then), so a branch not taken
// reads nothing. Formulas that read one another's elements form a loop:
// a change inside a loop gives its formulas at most as many turns as the loop has formulas,
// whatever else the workbook holds, and none to one that draws random numbers. A formula that
// no array calculated again reads, directly or through others, waits until no array changes
// and is calculated once then. An array reading its own elements outside a loop reads them as
// they stood before the recalculation, however many turns it takes. `deferred` are formulas the
// walk left out (those that draw random numbers): arrays take their turn in the first round,
// after what they read, and single cells once the arrays have settled. With `only`, the
// formulas calculated are those of that worksheet and the arrays they read.
void SettleSpreads(CEvalContext& ctx, CWorkbook& workbook, const CCellStore* only,
                   const CellCalculation& calculate,
                   const std::vector<FormulaPlace>& deferred = {});

} // namespace vl
