#pragma once
// Keeping what an edit will destroy in an entry of the undo history, and putting it back.
// Snapshots fill the slot they are given (a recorder claims it first); on failure they
// leave it empty and the workbook's error code at 8. A slot outside 0 to 200 is error 12,
// for snapshots and restores alike.

#include "model/undoentry.h"

#include <cstdint>

namespace vl {

class CWorkbook;

// Keeps the cells of a rectangle in a heap buffer (entry kind 1); one cell is a 1 x 1
// rectangle. Formulas keep their text only, constant errors their flags byte.
bool SnapshotCellsToUndo(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect, int32_t slot);
bool SnapshotCellToUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                        int32_t slot);
// Writes the kept cells back with the kept rectangle's top-left cell at (column, row): the
// rectangle is cleared first (whole array areas included). Error 12 on an empty slot.
bool RestoreCellFromUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                         UndoHistory& history, int32_t slot);

// Keeps a range's cells and/or formats in a scratch worksheet (entry kind 2, 3 or 4).
bool SnapshotRangeToUndo(CWorkbook& workbook, CWorksheet& ws, const RangeDescriptor& range,
                         int32_t slot, bool cells, bool formats);
// Puts a kept range back; nothing changes on failure (8 memory, 12 empty slot, 14 when the
// style tables would overflow).
bool RestoreRangeFromUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history, int32_t slot,
                          bool cells, bool formats);
// The format part of a range snapshot: the runs of the rectangle in the scratch store, their
// styles kept (renumbered) in `kept`.
bool SnapshotFormatsToUndo(const StyleTables& tables, const CellRange& rect, CFormatStore& source,
                           CFormatStore& scratch, KeptStyles& kept);

bool SnapshotColumnsToUndo(CWorkbook& workbook, CWorksheet& ws, int32_t slot);
bool SnapshotRowHeightsToUndo(CWorkbook& workbook, CWorksheet& ws, int32_t slot);
bool SnapshotItemNameToUndo(CWorkbook& workbook, const CTreeItem& item, UndoHistory& history,
                            int32_t slot);
// Keeps a copy of the worksheet (entry kind 6) with the styles it uses.
bool SnapshotWorksheetToUndo(CWorkbook& workbook, CWorksheet& ws, int32_t slot);
// Keeps a copy of a container (entry kind 5).
bool SnapshotContainer(CWorkbook& workbook, CTreeItem* item, CContainer& container,
                       UndoHistory& history, int32_t slot);

// The layout of a kind-1 cell buffer: a header (u16 c1, u32 r1, u16 c2, u32 r2, u32 count)
// and per kept cell u16 column, u32 row, u8 kind, f64 number, u16 length, the text and a
// zero. Kind: 1 text, 2 number, 4 formula text, or the flags byte of a constant error.
constexpr uint32_t kKeptCellsHead = 16;
constexpr uint32_t kKeptCellHead = 17;

} // namespace vl
