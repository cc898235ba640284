#pragma once
// Recalculation of a workbook's formula cells without a dependency graph: a walk in storage
// order that calculates a formula's uncalculated precedents first, with circular
// references found by counting how often a cell is entered while it waits. An array that
// changes the cells it spreads over makes the formulas that read them calculated again in
// the same recalculation (recalc_spread.h).

#include "formula/evalcontext.h"
#include "formula/recalc_spread.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vl {

// A result flag held only while a recalculation runs: the walk passes over the formula.
constexpr uint8_t kResultDeferred = 8;

class CContainer;
class CTreeItem;
class CWorkbook;

// Refreshes the charts of a container after a recalculation; false when one cannot be.
using ChartRefresh = bool (*)(CWorkbook& workbook, CTreeItem& item, CContainer& container);
// The chart library installs its refresh here; without one every refresh succeeds.
void SetChartRefresh(ChartRefresh refresh);
bool UpdateCharts(CWorkbook& workbook, CTreeItem& item, CContainer& container);
// Refreshes every chart of every worksheet; false when one could not be.
bool UpdateWorkbookCharts(CWorkbook& workbook);

// Recalculates every worksheet of the workbook, or only the one whose store is `cells`
// (every formula cell is reset all the same, so precedents elsewhere are calculated on
// demand); `ctx` is the workbook's evaluator context. False when a chart refresh failed.
bool RecalculateWorkbook(CWorkbook& workbook, CEvalContext& ctx, CCellStore* cells = nullptr);

// The start of a pass over one store: every formula cell uncalculated and unvisited, and a
// direct row index for every block that holds formulas, so that a precedent is found by a
// block lookup. With `deferred`, the formulas that may draw random numbers are left out of
// the walk (a formula that reads one still waits for it), marked kResultDeferred until the
// recalculation ends, and listed there for the rounds after it.
void ResetFormulaCells(CCellStore& cells, std::vector<FormulaPlace>* deferred = nullptr);

// Calculates every formula cell of the store that is not yet calculated in this pass.
bool RecalcSheet(CEvalContext& ctx, CCellStore& cells, CTreeItem* list);

// The store of the n-th item (from 0) of the context's list; the current store when the
// list is shorter or that item is a folder.
CCellStore* GetWorksheetByIndex(const CEvalContext& ctx, uint32_t n);

// Writes the value in slot 1, of the kind FinishFormulaResult gave (0: #SYNTAX!), as the
// result of the formula cell at (row, column) and marks it calculated. `formula` is the
// cell's formula text, kept aside in case the record has to be built again.
void WriteFormulaResult(CEvalContext& ctx, CCellStore& cells, uint32_t row, uint16_t column,
                        std::string_view formula, uint16_t kind);

// Puts back the elements the array at that place showed before this recalculation first
// changed them, for a turn of an array that reads its own elements; its next result is a
// change only where it differs from what the array showed before this. False when none were
// kept or they cannot go back (the area they covered is taken).
bool RestoreSavedElements(CEvalContext& ctx, CCellStore& cells, uint32_t row, uint16_t column);

} // namespace vl
