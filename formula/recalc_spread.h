#pragma once
// The rounds that follow the first walk of a recalculation while arrays change the cells they
// spread over: formulas calculated before such a change read the old elements, so they, and
// every formula calculated from them, are calculated again.

#include "formula/evalcontext.h"

namespace vl {

class CTreeItem;
class CWorkbook;

// Calculates the formula cells of one worksheet not yet calculated in the pass.
using SheetWalk = void (*)(CEvalContext& ctx, CCellStore& cells, CTreeItem* list);

// Runs rounds, each a walk of the worksheets with cells to calculate again, until no array
// changes its elements. An array still changing after as many rounds as the workbook has
// arrays, plus one, depends on its own elements: it becomes #CIRC! and spreads no more.
void SettleSpreads(CEvalContext& ctx, CWorkbook& workbook, SheetWalk walk);

} // namespace vl
