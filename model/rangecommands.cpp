#include "model/cellmerge.h"
#include "model/memoryguard.h"
#include "model/rangeops.h"
#include "model/workbook.h"

namespace vl {

namespace {

constexpr CellRange kNoCells{1, 1, 0, 0};

bool Fail(CWorkbook& workbook, ErrorCode code) {
    workbook.error = code;
    return false;
}

// The cells of `clear` emptied and the feed's cells put, with the formats of `formats`
// prepared alongside; both go in place together or not at all.
template <class Feed>
bool ApplyBlock(CWorkbook& workbook, CWorksheet& ws, const std::vector<CellRange>& clear,
                Feed& feed, CFormatBlockCopy& formats) {
    uint32_t top, bottom;
    ClearSetRows(clear, &top, &bottom);
    CRowSplice cells(ws.cells, kCellLayout, top, bottom);
    if (!FillCells(cells, top, bottom, clear, feed)) return Fail(workbook, kErrorWorksheetMemory);
    cells.Commit();
    formats.Commit();
    return true;
}

bool ClearRangeUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& range) {
    CFormatBlockCopy formats;
    const ErrorCode code = formats.Prepare(workbook.styles, range, kNoCells, ws.formats, ws.formats,
                                           ViewOf(workbook.styles));
    if (code != kErrorNone) return Fail(workbook, code);
    ClearRect(ws.cells, range, nullptr, false);
    formats.Commit();
    return true;
}

bool CopyRangeUnguarded(CWorkbook& workbook, CWorksheet& target, const CellRange& t,
                        CWorksheet& source, uint16_t sc, uint32_t sr) {
    const CellRange s = CopySourceBlock(t, sc, sr);
    CFormatBlockCopy formats;
    const ErrorCode code = formats.Prepare(workbook.styles, t, s, target.formats, source.formats,
                                           ViewOf(workbook.styles));
    if (code != kErrorNone) return Fail(workbook, code);
    CRangeFeed feed(source.cells, s, int64_t(t.c1) - sc, int64_t(t.r1) - sr);
    return ApplyBlock(workbook, target, CollectClearSet(target.cells, t), feed, formats);
}

bool MoveRangeUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& s, uint16_t dc,
                        uint32_t dr) {
    const int64_t c2 = int64_t(dc) + (s.c2 - s.c1);
    const int64_t r2 = int64_t(dr) + int64_t(s.r2 - s.r1);
    if (s.c1 > s.c2 || s.r1 > s.r2 || c2 > kLastColumn || r2 > kLastRow)
        return Fail(workbook, kErrorWorksheetMemory);
    const CellRange t{dc, dr, uint16_t(c2), uint32_t(r2)};
    CFormatBlockCopy formats;
    const ErrorCode code = formats.Prepare(workbook.styles, t, s, ws.formats, ws.formats,
                                           ViewOf(workbook.styles), {s});
    if (code != kErrorNone) return Fail(workbook, code);
    std::vector<CellRange> clear = CollectClearSet(ws.cells, t);
    for (const CellRange& r : CollectClearSet(ws.cells, s)) clear.push_back(r);
    CRangeFeed feed(ws.cells, s, int64_t(dc) - s.c1, int64_t(dr) - s.r1);
    return ApplyBlock(workbook, ws, clear, feed, formats);
}

} // namespace

bool ClearRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& range) {
    return GuardWorksheetMemory(workbook, [&] { return ClearRangeUnguarded(workbook, ws, range); });
}

bool CopyRange(CWorkbook& workbook, CWorksheet& target, const CellRange& t, CWorksheet& source,
               uint16_t sc, uint32_t sr) {
    return GuardWorksheetMemory(
        workbook, [&] { return CopyRangeUnguarded(workbook, target, t, source, sc, sr); });
}

bool MoveRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& s, uint16_t dc, uint32_t dr) {
    return GuardWorksheetMemory(workbook,
                                [&] { return MoveRangeUnguarded(workbook, ws, s, dc, dr); });
}

} // namespace vl
