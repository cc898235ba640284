#pragma once
// The cases of ExecuteUndoRedo, one per kind of edit, shared by its two source files.

#include "formula/edit/formulaadjust.h"
#include "model/undoentry.h"

#include <cstdint>
#include <vector>

namespace vl {

class CWorkbook;
class CWorksheet;

namespace undocase {

constexpr int32_t kSpare = kUndoSpareSlot;

// Moves what the spare slot holds into entry `index`, whose old payload is freed; the place
// the entry notes stays, and so does its block descriptor unless `descriptor` is set.
void TakeSpare(UndoHistory& history, int32_t index, bool descriptor);

bool Cells(CWorkbook& workbook, CWorksheet& ws, int32_t index);
bool Range(CWorkbook& workbook, CWorksheet& ws, int32_t index);
bool ColumnWidths(CWorkbook& workbook, CWorksheet& ws, int32_t index);
bool RowHeights(CWorkbook& workbook, CWorksheet& ws, int32_t index);
bool Rename(CWorkbook& workbook, CTreeItem* item, int32_t index);
bool ContainerInserted(CWorkbook& workbook, CWorksheet& ws, int32_t index);
bool ContainerChanged(CWorkbook& workbook, CWorksheet& ws, int32_t index);
bool Tree(CWorkbook& workbook, int32_t index);
bool Sort(CWorkbook& workbook, CWorksheet& ws, int32_t index);
bool RowsOrColumns(CWorkbook& workbook, CWorksheet& ws, int32_t index, bool rows);
// Exchanges the kept drop-down list and its styles' links with the workbook's.
bool DropDownList(CWorkbook& workbook, int32_t index);

// The texts of formulas that a removal could not rewrite back, kept in the entry's cell
// buffer; false when the buffer could not be had.
bool KeepLostFormulas(UndoEntry& e, const std::vector<FormulaText>& lost);
// The same with the texts packed beforehand (null for none), so that keeping them cannot fail.
void KeepLostBlock(UndoEntry& e, BlockPtr block, uint32_t size);

} // namespace undocase
} // namespace vl
