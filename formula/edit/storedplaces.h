#pragma once
// The cell positions kept outside formulas (a container's anchor, the page setup's print
// range, the inspect pane's entries) as texts of the formula plan, so that a structural edit
// moves them with the formulas and undo and redo exchange them the same way.

#include "formula/edit/moveadjust.h"
#include "formula/edit/referenceplan.h"

#include <string>
#include <string_view>

namespace vl {

class CTreeItem;

inline bool IsStoredPlace(const FormulaText& t) {
    return t.column >= kFirstStoredColumn;
}

// The place's present value as a plan text; false when it names nothing (a container gone,
// an entry past the list's end).
bool ReadStoredPlace(CWorkbook& workbook, CWorksheet& ws, const FormulaText& t, std::string& out);
// Puts a text read by ReadStoredPlace back; a place that names nothing is passed over.
void WriteStoredPlace(CWorkbook& workbook, CWorksheet& ws, const FormulaText& t);

// The new places for rows (columns) of `edited` inserted or removed: anchors and print range
// follow their cells; a print range wholly removed prints everything, an inspect entry whose
// cell is removed names no worksheet.
void PlanStoredPlacesAfterEdit(const CWorkbook& workbook, CWorksheet& edited, uint8_t mode,
                               const RangeDescriptor& range, FormulaPlan& plan);

// The new places for a block of `edited` moved (or turned): an anchor or an inspect entry
// in the block goes with its cell, a print range wholly in it with the block.
void PlanStoredPlacesAfterMove(const CWorkbook& workbook, CWorksheet& edited, const BlockMove& move,
                               FormulaPlan& plan);

// Inspect entries naming `item` (or anything below it) by its path take `newPath`; they go
// with the plan of a worksheet outside `item`'s subtree (none: they stay).
void PlanInspectPaths(const CWorkbook& workbook, const CTreeItem& item, std::string_view newPath,
                      FormulaPlan& plan);

} // namespace vl
