#include "model/rowpermute.h"

#include "model/arrayelements.h"
#include "model/cellmerge.h"
#include "model/memoryguard.h"
#include "model/runappender.h"
#include "model/workbook.h"

#include <algorithm>

namespace vl {

namespace {

// The records of the rectangle with, per row, where that row's records begin.
template <class Record> struct RowsOf {
    std::vector<Record> records;
    std::vector<uint32_t> start; // per row of the rectangle, and one past the last
};

RowsOf<const uint8_t*> CellRows(const CCellStore& store, const CellRange& rect) {
    RowsOf<const uint8_t*> rows;
    rows.start.assign(size_t(rect.r2 - rect.r1) + 2, 0);
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
        rows.records.push_back(r);
        ++rows.start[cell::Row(r) - rect.r1 + 1];
    }
    for (size_t i = 1; i < rows.start.size(); ++i) rows.start[i] += rows.start[i - 1];
    return rows;
}

RowsOf<FormatRun> RunRows(const CFormatStore& formats, const CellRange& rect) {
    RowsOf<FormatRun> rows;
    rows.start.assign(size_t(rect.r2 - rect.r1) + 2, 0);
    rows.records = RunsInRect(formats, rect);
    for (const FormatRun& run : rows.records) ++rows.start[run.row - rect.r1 + 1];
    for (size_t i = 1; i < rows.start.size(); ++i) rows.start[i] += rows.start[i - 1];
    return rows;
}

// The new runs of the rectangle's rows: old runs cut to outside its columns, the gathered
// runs in between, touching runs of one style joined.
bool FillRuns(CRowSplice& splice, const CellRange& rect, const std::vector<FormatRun>& in) {
    CRunAppender out(splice);
    size_t next = 0;
    const auto before = [](const FormatRun& a, const FormatRun& b) {
        return a.row < b.row || (a.row == b.row && a.firstColumn < b.firstColumn);
    };
    const auto put = [&](const FormatRun& part) {
        for (; next < in.size() && before(in[next], part); ++next)
            if (!out.Append(in[next])) return false;
        return out.Append(part);
    };
    while (const uint8_t* p = splice.NextOld()) {
        const FormatRun run = LoadFormatRun(p);
        if (run.row < rect.r1 || run.row > rect.r2 || run.lastColumn < rect.c1 ||
            run.firstColumn > rect.c2) {
            if (!put(run)) return false;
            continue;
        }
        if (run.firstColumn < rect.c1 &&
            !put({run.firstColumn, uint16_t(rect.c1 - 1), run.row, run.style}))
            return false;
        if (run.lastColumn > rect.c2 &&
            !put({uint16_t(rect.c2 + 1), run.lastColumn, run.row, run.style}))
            return false;
    }
    for (; next < in.size(); ++next)
        if (!out.Append(in[next])) return false;
    return true;
}

bool PermuteUnguarded(CWorksheet& ws, const CellRange& rect, const uint32_t* gather) {
    const uint32_t count = rect.r2 - rect.r1 + 1;
    const RowsOf<const uint8_t*> cells = CellRows(ws.cells, rect);
    const RowsOf<FormatRun> runs = RunRows(ws.formats, rect);
    std::vector<PlacedCell> placed;
    placed.reserve(cells.records.size());
    std::vector<FormatRun> movedRuns;
    movedRuns.reserve(runs.records.size());
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t from = gather[i] - rect.r1, to = rect.r1 + i;
        for (uint32_t k = cells.start[from]; k < cells.start[from + 1]; ++k) {
            const uint8_t* r = cells.records[k];
            placed.push_back({r, cell::Length(r), cell::Column(r), to});
        }
        for (uint32_t k = runs.start[from]; k < runs.start[from + 1]; ++k) {
            FormatRun run = runs.records[k];
            run.row = to;
            movedRuns.push_back(run);
        }
    }
    // Both rebuilt aside, then both put in place: the gathered records are read from the old
    // pages, which stay until the commits.
    CRowSplice cellSplice(ws.cells, kCellLayout, rect.r1, rect.r2);
    CListFeed feed(placed);
    if (!FillCells(cellSplice, rect.r1, rect.r2, {rect}, feed)) return false;
    CRowSplice runSplice(ws.formats.runs, kRunLayout, rect.r1, rect.r2);
    if (!FillRuns(runSplice, rect, movedRuns)) return false;
    cellSplice.Commit();
    runSplice.Commit();
    // Rows of an array area sorted apart leave elements that their array no longer holds.
    DropStrayArrayElements(ws.cells);
    return true;
}

} // namespace

std::vector<uint32_t> InvertRowPermutation(const CellRange& rect, const uint32_t* gather) {
    if (RangeEmpty(rect)) return {};
    const uint32_t count = rect.r2 - rect.r1 + 1;
    std::vector<uint32_t> inverse(count, UINT32_MAX);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t from = gather[i];
        if (from < rect.r1 || from > rect.r2 || inverse[from - rect.r1] != UINT32_MAX) return {};
        inverse[from - rect.r1] = rect.r1 + i;
    }
    return inverse;
}

bool PermuteRangeRows(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect,
                      const uint32_t* gather) {
    return GuardWorksheetMemory(workbook, [&] {
        if (RangeEmpty(rect) || rect.r2 > kLastRow || rect.c2 > kLastColumn ||
            InvertRowPermutation(rect, gather).empty())
            return workbook.error = kErrorInvalidCacheIndex, false;
        if (!PermuteUnguarded(ws, rect, gather))
            return workbook.error = kErrorWorksheetMemory, false;
        return true;
    });
}

} // namespace vl
