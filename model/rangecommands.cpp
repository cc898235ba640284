#include "model/cellmerge.h"
#include "model/memoryguard.h"
#include "model/rangeops.h"
#include "model/workbook.h"

namespace vl {

namespace {

constexpr CellRange kNoCells{1, 1, 0, 0};

// The cells of `clear` emptied and the feed's cells put, prepared aside; nothing is in
// place until Commit.
struct PreparedCells {
    PreparedCells(CCellStore& store, const std::vector<CellRange>& clear) : clear(clear) {
        ClearSetRows(clear, &top, &bottom);
        splice = std::make_unique<CRowSplice>(store, kCellLayout, top, bottom);
    }
    template <class Feed> bool Fill(Feed& feed) {
        return FillCells(*splice, top, bottom, clear, feed);
    }
    std::vector<CellRange> clear;
    uint32_t top = 0, bottom = 0;
    std::unique_ptr<CRowSplice> splice;
};

struct NoFeed {
    bool Next(PlacedCell&) { return false; }
};

bool ClearRangeUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& range) {
    CFormatBlockCopy formats;
    const ErrorCode code = formats.Prepare(workbook.styles, range, kNoCells, ws.formats, ws.formats,
                                           ViewOf(workbook.styles));
    if (code != kErrorNone) return Fail(workbook, code);
    ClearRect(ws.cells, range, nullptr, false);
    formats.Commit();
    return true;
}

bool CopyBlockUnguarded(CWorkbook& workbook, CWorksheet& target, const CellRange& t,
                        CWorksheet& source, uint16_t sc, uint32_t sr, const BlockCopyParts& parts) {
    const CellRange s = CopySourceBlock(t, sc, sr);
    CFormatBlockCopy formats;
    if (parts.formats) {
        const ErrorCode code =
            formats.Prepare(workbook.styles, t, s, target.formats, source.formats, *parts.formats,
                            {}, parts.sheetEntries);
        if (code != kErrorNone) return Fail(workbook, code);
    }
    if (parts.cells) {
        PreparedCells cells(target.cells, CollectClearSet(target.cells, t));
        CRangeFeed feed(source.cells, s, int64_t(t.c1) - sc, int64_t(t.r1) - sr);
        if (!cells.Fill(feed)) return Fail(workbook, kErrorWorksheetMemory);
        cells.splice->Commit();
    }
    formats.Commit();
    return true;
}

// A move within one worksheet: the source and target areas are cleared and the moved cells
// put, in one rebuild of the rows they span.
bool MoveWithinUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& s,
                         const CellRange& t, const StyleView& sourceStyles) {
    CFormatBlockCopy formats;
    const ErrorCode code =
        formats.Prepare(workbook.styles, t, s, ws.formats, ws.formats, sourceStyles, {s});
    if (code != kErrorNone) return Fail(workbook, code);
    std::vector<CellRange> clear = CollectClearSet(ws.cells, t);
    for (const CellRange& r : CollectClearSet(ws.cells, s)) clear.push_back(r);
    PreparedCells cells(ws.cells, clear);
    CRangeFeed feed(ws.cells, s, int64_t(t.c1) - s.c1, int64_t(t.r1) - s.r1);
    if (!cells.Fill(feed)) return Fail(workbook, kErrorWorksheetMemory);
    cells.splice->Commit();
    formats.Commit();
    return true;
}

// A move between two worksheets: the copy into the target and the clearing of the source
// are both prepared before either is put in place.
bool MoveBetweenUnguarded(CWorkbook& workbook, CWorksheet& target, CWorksheet& source,
                          const CellRange& s, const CellRange& t, const StyleView& sourceStyles) {
    CFormatBlockCopy copied, cleared;
    ErrorCode code =
        copied.Prepare(workbook.styles, t, s, target.formats, source.formats, sourceStyles);
    if (code == kErrorNone)
        code = cleared.Prepare(workbook.styles, s, kNoCells, source.formats, source.formats,
                               sourceStyles);
    if (code != kErrorNone) return Fail(workbook, code);
    PreparedCells into(target.cells, CollectClearSet(target.cells, t));
    PreparedCells from(source.cells, CollectClearSet(source.cells, s));
    CRangeFeed feed(source.cells, s, int64_t(t.c1) - s.c1, int64_t(t.r1) - s.r1);
    NoFeed none;
    if (!into.Fill(feed) || !from.Fill(none)) return Fail(workbook, kErrorWorksheetMemory);
    into.splice->Commit();
    from.splice->Commit();
    copied.Commit();
    cleared.Commit();
    return true;
}

} // namespace

bool ClearRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& range) {
    return GuardWorksheetMemory(workbook, [&] { return ClearRangeUnguarded(workbook, ws, range); });
}

bool CopyBlockParts(CWorkbook& workbook, CWorksheet& target, const CellRange& t, CWorksheet& source,
                    uint16_t sc, uint32_t sr, const BlockCopyParts& parts) {
    return GuardWorksheetMemory(
        workbook, [&] { return CopyBlockUnguarded(workbook, target, t, source, sc, sr, parts); });
}

bool CopyRange(CWorkbook& workbook, CWorksheet& target, const CellRange& t, CWorksheet& source,
               uint16_t sc, uint32_t sr, const StyleView& sourceStyles) {
    return CopyBlockParts(workbook, target, t, source, sc, sr, {true, &sourceStyles, true});
}

bool MoveRange(CWorkbook& workbook, CWorksheet& target, CWorksheet& source, const CellRange& s,
               uint16_t dc, uint32_t dr, const StyleView& sourceStyles) {
    const int64_t c2 = int64_t(dc) + (int64_t(s.c2) - s.c1);
    const int64_t r2 = int64_t(dr) + (int64_t(s.r2) - s.r1);
    if (RangeEmpty(s) || c2 > kLastColumn || r2 > kLastRow)
        return Fail(workbook, kErrorWorksheetMemory);
    const CellRange t{dc, dr, uint16_t(c2), uint32_t(r2)};
    return GuardWorksheetMemory(workbook, [&] {
        if (&target == &source) return MoveWithinUnguarded(workbook, target, s, t, sourceStyles);
        return MoveBetweenUnguarded(workbook, target, source, s, t, sourceStyles);
    });
}

} // namespace vl
