#pragma once
// Inserting and removing whole rows and columns of a worksheet: the cells, the format runs,
// the row heights and the column table move together. Formulas are not rewritten here (the
// editing library does that over the moved cells).

#include "model/cellstore.h"
#include "model/formatstore.h"
#include "platform/core/errorcode.h"

#include <cstdint>

namespace vl {

class CWorksheet;

// Cells. Insertion moves every cell at or after the first row (column) on by the count and
// refuses, changing nothing, when one would pass the last row (column). Removal deletes
// the cells of the span (whole array areas anchored there included) and moves later cells
// back. Both then drop the array elements that no array's area holds any longer (those an
// insertion pushed past their area's end); the recalculation fills the areas again. Neither
// fails otherwise.
bool InsertRowsInCellStore(CCellStore& store, uint32_t first, uint32_t count);
void RemoveRowsFromCellStore(CCellStore& store, uint32_t first, uint32_t last);
bool InsertColumnsInCellStore(CCellStore& store, uint16_t first, uint16_t count);

// Formats. Rows: runs at or below the first row move down (those pushed past the last row
// are dropped); a row-height list that reaches the first row grows by the count, the moved
// entries keep their values and the new ones only their bits 13-15, while default entries
// pushed past the old end are not kept. Columns: runs right of the first column move right
// and a run that crosses it grows over the new columns; the column table moves with them
// and the new entries are zero. Removal takes the span's runs out (a run that crosses it
// shrinks), moves later runs and entries back, and leaves the freed row entries only their
// bits 13-15 and the freed column entries zero. False (formats as they were) when pages
// could not be had.
bool InsertRowFormats(CFormatStore& formats, uint32_t first, uint32_t count);
bool RemoveRowFormats(CFormatStore& formats, uint32_t first, uint32_t last);
bool InsertColumnFormats(CFormatStore& formats, uint16_t first, uint16_t count);
bool RemoveColumnFormats(CFormatStore& formats, uint16_t first, uint16_t last);

// Both halves for a worksheet, all or nothing: false with 24 (rows) or 23 (columns) when a
// cell would be pushed off the sheet, 8 when pages could not be had.
bool InsertWorksheetRows(CWorksheet& ws, uint32_t first, uint32_t last, ErrorCode& error);
bool RemoveWorksheetRows(CWorksheet& ws, uint32_t first, uint32_t last, ErrorCode& error);
bool InsertWorksheetColumns(CWorksheet& ws, uint16_t first, uint16_t last, ErrorCode& error);
bool RemoveWorksheetColumns(CWorksheet& ws, uint16_t first, uint16_t last, ErrorCode& error);

// Takes out again rows (columns) that an insertion put in while they are still empty: the
// cells, runs, heights and column entries after them move back in place. Allocates nothing,
// so that an edit failing after its insertion can always go back.
void TakeOutEmptyRows(CWorksheet& ws, uint32_t first, uint32_t last);
void TakeOutEmptyColumns(CWorksheet& ws, uint16_t first, uint16_t last);

// Whether inserting `count` rows (columns) at `first` would push a cell off the sheet.
bool RowsInsertFit(const CCellStore& store, uint32_t first, uint32_t count);
bool ColumnsInsertFit(const CCellStore& store, uint16_t first, uint16_t count);

} // namespace vl
