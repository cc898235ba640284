#include "model/cellmerge.h"
#include "model/memoryguard.h"
#include "model/rangeops.h"
#include "model/workbook.h"

#include <algorithm>

namespace vl {

namespace {

// The range's records at their places once the range is turned about its top-left cell,
// in (row, column) order. They point into the store's pages, which stay as they are until
// the rebuilt rows are put in place.
std::vector<PlacedCell> TransposedCells(const CCellStore& store, const CellRange& range) {
    std::vector<PlacedCell> cells;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = GetNextCellInRange(cursor, range)) {
        const uint16_t column = uint16_t(range.c1 + (cell::Row(r) - range.r1));
        const uint32_t row = range.r1 + (cell::Column(r) - range.c1);
        cells.push_back({r, cell::Length(r), column, row});
    }
    std::sort(cells.begin(), cells.end(), [](const PlacedCell& a, const PlacedCell& b) {
        return cell::Before(a.row, a.column, b.row, b.column);
    });
    return cells;
}

bool TransposeRangeUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& range) {
    if (range.c1 > range.c2 || range.r1 > range.r2 ||
        uint64_t(range.c1) + (range.r2 - range.r1) >= kMaxColumns ||
        uint64_t(range.r1) + (range.c2 - range.c1) >= kMaxRows) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    const CellRange extent{range.c1, range.r1, uint16_t(range.c1 + (range.r2 - range.r1)),
                           range.r1 + (range.c2 - range.c1)};
    CFormatStore turned;
    InitFormatStore(turned);
    CellCursor cursor{kAdvance, nullptr, 0};
    CFormatBlockCopy formats;
    ErrorCode code = kErrorWorksheetMemory;
    if (TransposeFormatRect(ws.formats, range, turned, cursor))
        code = formats.Prepare(workbook.styles, extent, extent, ws.formats, turned,
                               ViewOf(workbook.styles), {range}, false);
    if (code != kErrorNone) {
        workbook.error = code;
        return false;
    }
    std::vector<CellRange> clear = CollectClearSet(ws.cells, range);
    for (const CellRange& r : CollectClearSet(ws.cells, extent)) clear.push_back(r);
    const std::vector<PlacedCell> cells = TransposedCells(ws.cells, range);
    CListFeed feed(cells);
    uint32_t top, bottom;
    ClearSetRows(clear, &top, &bottom);
    CRowSplice splice(ws.cells, kCellLayout, top, bottom);
    if (!FillCells(splice, top, bottom, clear, feed)) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    splice.Commit();
    formats.Commit();
    workbook.CompactStyleTables();
    return true;
}

} // namespace

bool TransposeRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& range) {
    return GuardWorksheetMemory(workbook,
                                [&] { return TransposeRangeUnguarded(workbook, ws, range); });
}

} // namespace vl
