#pragma once
// Keeping what an edit will destroy in an entry of an undo table (a workbook's history or
// the clipboard's copy history), and putting it back. Every snapshot claims its slot first
// (ClaimUndoSlot: `index` moves one on, or stays at 200, the spare slot) and on failure
// leaves it empty with the workbook's error code at 8. Restores check that the entry holds
// what they read (error 12 otherwise) and change nothing when they fail.

#include "model/undoentry.h"

#include <cstdint>

namespace vl {

class CWorkbook;

// Keeps the cells of a rectangle in a heap buffer (entry kind 1); one cell is a 1 x 1
// rectangle. Formulas keep their text only, constant errors their flags byte.
bool SnapshotCellsToUndo(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect,
                         UndoHistory& history, int32_t& index);
bool SnapshotCellToUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                        UndoHistory& history, int32_t& index);
// Writes kept cells back with the kept rectangle's top-left cell at (column, row), cut at
// the sheet's edges: the rectangle is cleared first (whole array areas included).
bool RestoreCellFromUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                         UndoHistory& history, int32_t index);

// Keeps a range's cells and/or formats in a scratch worksheet (entry kind 2, 3 or 4).
bool SnapshotRangeToUndo(CWorkbook& workbook, CWorksheet& ws, const RangeDescriptor& range,
                         UndoHistory& history, int32_t& index, bool cells, bool formats);
// Puts back what a scratch-worksheet entry holds for its descriptor's range: cells and
// formats (by the flags), and the column entries or row heights of a width or height entry.
// Nothing changes on failure (8 memory, 12 nothing to restore, 14 when the style tables
// would overflow).
bool RestoreRangeFromUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history, int32_t index,
                          bool cells, bool formats);
// Pastes a range entry into `target`, its top-left cell first: a single cell grows to the
// entry's size (cut at the sheet's edges), a larger target cuts what lands past its last
// column and row. Formulas keep their relative texts, which move with their cells.
bool PasteRangeFromEntry(CWorkbook& workbook, CWorksheet& ws, const CellRange& target,
                         UndoHistory& history, int32_t index, bool cells, bool formats);
// The format part of a range snapshot: the runs of the rectangle in the scratch store, their
// styles kept (renumbered) in `kept`.
bool SnapshotFormatsToUndo(const StyleTables& tables, const CellRange& rect, CFormatStore& source,
                           CFormatStore& scratch, KeptStyles& kept);

// Keep the whole column table, or all row heights, in a scratch worksheet (entry kind 2).
bool SnapshotColumnsToUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history,
                           int32_t& index);
bool SnapshotRowHeightsToUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history,
                              int32_t& index);
// Keeps an item's name (entry kind 1) and the path of the folders that enclose it.
bool SnapshotItemNameToUndo(CWorkbook& workbook, const CTreeItem& item, UndoHistory& history,
                            int32_t& index);
// Keeps a copy of a worksheet or of a folder with its subtree (entry kind 6), with the styles
// the copy uses.
bool SnapshotWorksheetToUndo(CWorkbook& workbook, CTreeItem& item, UndoHistory& history,
                             int32_t& index);
// Keeps a copy of a container (entry kind 5).
bool SnapshotContainer(CWorkbook& workbook, CTreeItem* item, CContainer& container,
                       UndoHistory& history, int32_t& index);

// The layout of a kind-1 cell buffer: a header (u16 c1, u32 r1, u16 c2, u32 r2, u32 count)
// and per kept cell u16 column, u32 row, u8 kind, f64 number, u16 length, the text and a
// zero. Kind: 1 text, 2 number, 4 formula text, or the flags byte of a constant error; text,
// number and error keep bit 8 when the cell is an element of an array. A
// formula keeps its array width (u16) and height (u32) in the number's first six bytes.
constexpr uint32_t kKeptCellsHead = 16;
constexpr uint32_t kKeptCellHead = 17;

} // namespace vl
