#pragma once
// Block operations on the cells and formats of worksheets: clearing, deleting columns,
// whole-store copies, block copies and moves, format blocks and transposition. Every edit
// that needs memory builds its result aside and puts it in place only when complete, so a
// failure leaves the worksheet as it was.

#include "model/cellstore.h"
#include "model/clearset.h"
#include "model/formatstore.h"
#include "model/rangedescriptor.h"
#include "model/styles.h"
#include "platform/core/errorcode.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vl {

class CWorkbook;
class CWorksheet;

// Removes every record inside the rectangle, array areas included. Cannot fail. Emptied
// pages are freed or kept on the free-page list by the flag; a given cursor is reset.
void ClearRect(CCellStore& store, const CellRange& rect, CellCursor* cursor, bool freePages);
// Removes every record that lies in one of the rectangles of `set`, taken as they are (no
// array rule). Cannot fail.
void ClearCells(CCellStore& store, const std::vector<CellRange>& set, bool freePages);
// Deletes columns c1..c2: their records go and later columns move left.
void ClearColumns(CCellStore& store, uint16_t c1, uint16_t c2);
// The target becomes a page-by-page copy of the source; false (target unchanged) when
// pages could not be had.
bool CopyFrom(CCellStore& source, CCellStore& target);
// The target's runs, row heights and column table become copies of the source's; false
// (target emptied) on failure.
bool CopyFormatStore(CFormatStore& source, CFormatStore& target);

// Clears the target rectangle and copies into it the source's records shifted by the
// offset between the source's top-left cell (sc, sr) and the target's; records that would
// land outside the target on any side are left out. Source and target may be one store.
bool CopyBlock(CCellStore& target, const CellRange& t, uint16_t sc, uint32_t sr,
               const CCellStore& source);
// Moves the records of `source` so that its top-left cell lands on (dc, dr): the source
// area and the target area are cleared, then the moved records put.
bool MoveBlock(CCellStore& store, const CellRange& source, uint16_t dc, uint32_t dr);

// The runs of rows r1..r2 that overlap columns c1..c2, cut to those columns, in order.
std::vector<FormatRun> RunsInRect(const CFormatStore& store, const CellRange& rect);

// Copying a block of formats in two steps: Prepare maps the styles (appending what the
// target tables lack) and builds the new runs aside; Commit puts them in place and cannot
// fail. A copy dropped before Commit leaves target and tables as they were.
class CFormatBlockCopy {
public:
    CFormatBlockCopy();
    ~CFormatBlockCopy();
    CFormatBlockCopy(const CFormatBlockCopy&) = delete;
    CFormatBlockCopy& operator=(const CFormatBlockCopy&) = delete;

    // Clears rectangle t (and any `alsoClear` rectangle) of the target and copies the runs
    // of source rectangle s into t; with `sheetEntries`, whole columns carry their column
    // entries and whole rows their heights. 0, or 8 when pages could not be had, 14 when
    // the style tables would pass 128 fonts or 512 styles.
    ErrorCode Prepare(StyleTables& tables, const CellRange& t, const CellRange& s,
                      CFormatStore& target, CFormatStore& source, const StyleView& sourceStyles,
                      const std::vector<CellRange>& alsoClear = {}, bool sheetEntries = true);
    void Commit();

private:
    struct Pending;
    std::unique_ptr<Pending> pending_;
};

// Formats. `tables` and `sourceStyles` may describe one workbook.
bool TransposeFormatRect(const CFormatStore& source, const CellRange& rect, CFormatStore& target,
                         CellCursor& cursor);
bool CopyFormatBlock(StyleTables& tables, const CellRange& t, const CellRange& s,
                     CFormatStore& target, CFormatStore& source, const StyleView& sourceStyles);

// Range operations on worksheets of a workbook: cells and formats together. On failure the
// worksheets are unchanged and the workbook's error code is 8 (14 when the style tables
// would overflow). `sourceStyles` are the tables the source's style numbers refer to: the
// workbook's own (ViewOf), another workbook's, or the few an undo entry keeps; the styles
// are brought into the workbook's tables by content.
bool TransposeRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& range);
bool CopyRange(CWorkbook& workbook, CWorksheet& target, const CellRange& t, CWorksheet& source,
               uint16_t sc, uint32_t sr, const StyleView& sourceStyles);
// Moves the source block so that its top-left cell lands on (dc, dr) of `target`, which may
// be the source worksheet itself; the source block is left empty.
bool MoveRange(CWorkbook& workbook, CWorksheet& target, CWorksheet& source, const CellRange& s,
               uint16_t dc, uint32_t dr, const StyleView& sourceStyles);
bool ClearRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& range);

// What a block copy carries: the cells, the formats (with the tables their styles refer to;
// null for none) and, for whole columns or rows, the column entries and row heights.
struct BlockCopyParts {
    bool cells = true;
    const StyleView* formats = nullptr;
    bool sheetEntries = true;
};
bool CopyBlockParts(CWorkbook& workbook, CWorksheet& target, const CellRange& t, CWorksheet& source,
                    uint16_t sc, uint32_t sr, const BlockCopyParts& parts);

} // namespace vl
