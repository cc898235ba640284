#include "model/arrayelements.h"
#include "model/rangeops.h"
#include "model/rowcolumnedit.h"
#include "model/runappender.h"
#include "model/worksheet.h"

#include <algorithm>
#include <new>

namespace vl {

namespace {

// Bits of a row-height entry that stay with the row's position.
constexpr uint16_t kKeptRowBits = 0xE000;

// The runs of the store from a row on, written afresh through a transformation that may
// drop a run; runs that end up touching with one style are joined.
class CRunRewrite {
public:
    CRunRewrite(CCellStore& runs, uint32_t firstRow)
        : splice_(runs, kRunLayout, firstRow, kLastRow), out_(splice_) {}

    // Builds the new runs aside; nothing is in place until Commit.
    template <class Change> bool Fill(Change&& change) {
        while (const uint8_t* p = splice_.NextOld()) {
            FormatRun run = LoadFormatRun(p);
            if (change(run) && !out_.Append(run)) return false;
        }
        return true;
    }
    void Commit() { splice_.Commit(); }

private:
    CRowSplice splice_;
    CRunAppender out_;
};

// The length the row-height list needs so that the entries of rows first.. can move down
// by count: default entries pushed past the old end are not kept.
uint32_t GrownRowCount(CPagedList& heights, uint32_t first, uint32_t count) {
    const uint32_t n = heights.ItemCount();
    if (first >= n) return n;
    for (uint32_t i = n; i-- > std::max(first, n > count ? n - count : 0);)
        if (*heights.GetItem2(i) != 0)
            return uint32_t(std::min<uint64_t>(uint64_t(i) + count + 1, kMaxRows));
    return n;
}

// Moves the entries of rows first.. down by count within the list's (grown) length.
void ShiftRowHeightsDown(CPagedList& heights, uint32_t first, uint32_t count) {
    const uint32_t n = heights.ItemCount();
    for (uint32_t i = n; i-- > first + count;) *heights.GetItem2(i) = *heights.GetItem2(i - count);
    for (uint32_t i = first; i < first + count && i < n; ++i) *heights.GetItem2(i) &= kKeptRowBits;
}

void ShiftRowHeightsUp(CPagedList& heights, uint32_t first, uint32_t count) {
    const uint32_t n = heights.ItemCount();
    for (uint32_t i = first; i < n; ++i) {
        uint16_t* to = heights.GetItem2(i);
        *to = uint64_t(i) + count < n ? *heights.GetItem2(i + count) : uint16_t(*to & kKeptRowBits);
    }
}

// Each change is built aside; `between` runs once nothing can fail any more but before the
// change is put in place, so that a worksheet's cells move with its formats or not at all.
template <class Between>
bool InsertRowFormatsAnd(CFormatStore& formats, uint32_t first, uint32_t count, Between&& between) {
    CRunRewrite rewrite(formats.runs, first);
    const bool filled = rewrite.Fill([&](FormatRun& run) {
        if (run.row < first) return true;
        if (uint64_t(run.row) + count > kLastRow) return false;
        run.row += count;
        return true;
    });
    const uint32_t n = formats.rowHeights.ItemCount();
    if (!filled ||
        !formats.rowHeights.GrowTo2(GrownRowCount(formats.rowHeights, first, count), 0, true))
        return false;
    between();
    rewrite.Commit();
    if (first < n) ShiftRowHeightsDown(formats.rowHeights, first, count);
    return true;
}

template <class Between>
bool RemoveRowFormatsAnd(CFormatStore& formats, uint32_t first, uint32_t last, Between&& between) {
    const uint32_t count = last - first + 1;
    CRunRewrite rewrite(formats.runs, first);
    const bool done = rewrite.Fill([&](FormatRun& run) {
        if (run.row < first) return true;
        if (run.row <= last) return false;
        run.row -= count;
        return true;
    });
    if (!done) return false;
    between();
    rewrite.Commit();
    ShiftRowHeightsUp(formats.rowHeights, first, count);
    return true;
}

template <class Between>
bool InsertColumnFormatsAnd(CFormatStore& formats, uint16_t first, uint16_t count,
                            Between&& between) {
    CRunRewrite rewrite(formats.runs, 0);
    const bool done = rewrite.Fill([&](FormatRun& run) {
        uint32_t a = run.firstColumn, b = run.lastColumn;
        if (a >= first) a += count;
        if (b >= first) b += count;
        if (a > kLastColumn) return false;
        run.firstColumn = uint16_t(a);
        run.lastColumn = uint16_t(std::min<uint32_t>(b, kLastColumn));
        return true;
    });
    if (!done) return false;
    between();
    rewrite.Commit();
    ColumnEntry* columns = formats.columns;
    for (int c = kLastColumn; c >= int(first) + count; --c) columns[c] = columns[c - count];
    for (int c = first; c < int(first) + count && c <= kLastColumn; ++c) columns[c] = ColumnEntry{};
    ColumnsChanged(formats);
    return true;
}

template <class Between>
bool RemoveColumnFormatsAnd(CFormatStore& formats, uint16_t first, uint16_t last,
                            Between&& between) {
    const int count = last - first + 1;
    CRunRewrite rewrite(formats.runs, 0);
    const bool done = rewrite.Fill([&](FormatRun& run) {
        const int a = run.firstColumn, b = run.lastColumn;
        const int a2 = a < first ? a : a > last ? a - count : first;
        const int b2 = b < first ? b : b > last ? b - count : first - 1;
        if (a2 > b2) return false;
        run.firstColumn = uint16_t(a2);
        run.lastColumn = uint16_t(b2);
        return true;
    });
    if (!done) return false;
    between();
    rewrite.Commit();
    ColumnEntry* columns = formats.columns;
    for (int c = first; c + count <= kLastColumn; ++c) columns[c] = columns[c + count];
    for (int c = std::max<int>(first, kLastColumn + 1 - count); c <= kLastColumn; ++c)
        columns[c] = ColumnEntry{};
    ColumnsChanged(formats);
    return true;
}

void Nothing() {}

// A composite edit: the cells' half may run out of memory only before it changes anything
// (clearing collects its areas first), and the formats are put in place after it.
template <class Edit> bool Guarded(ErrorCode& error, Edit&& edit) {
    try {
        if (edit()) return true;
    } catch (const std::bad_alloc&) {
    }
    error = kErrorWorksheetMemory;
    return false;
}

} // namespace

bool InsertRowFormats(CFormatStore& formats, uint32_t first, uint32_t count) {
    return count == 0 || first > kLastRow || InsertRowFormatsAnd(formats, first, count, Nothing);
}

bool RemoveRowFormats(CFormatStore& formats, uint32_t first, uint32_t last) {
    return first > last || RemoveRowFormatsAnd(formats, first, last, Nothing);
}

bool InsertColumnFormats(CFormatStore& formats, uint16_t first, uint16_t count) {
    return count == 0 || first > kLastColumn ||
           InsertColumnFormatsAnd(formats, first, count, Nothing);
}

bool RemoveColumnFormats(CFormatStore& formats, uint16_t first, uint16_t last) {
    return first > last || RemoveColumnFormatsAnd(formats, first, last, Nothing);
}

bool InsertWorksheetRows(CWorksheet& ws, uint32_t first, uint32_t last, ErrorCode& error) {
    if (first > last || last > kLastRow) return true;
    const uint32_t count = last - first + 1;
    if (!RowsInsertFit(ws.cells, first, count)) return error = kErrorNoEmptyRows, false;
    return Guarded(error, [&] {
        return InsertRowFormatsAnd(ws.formats, first, count,
                                   [&] { InsertRowsInCellStore(ws.cells, first, count); });
    });
}

bool RemoveWorksheetRows(CWorksheet& ws, uint32_t first, uint32_t last, ErrorCode& error) {
    if (first > last || last > kLastRow) return true;
    return Guarded(error, [&] {
        return RemoveRowFormatsAnd(ws.formats, first, last,
                                   [&] { RemoveRowsFromCellStore(ws.cells, first, last); });
    });
}

bool InsertWorksheetColumns(CWorksheet& ws, uint16_t first, uint16_t last, ErrorCode& error) {
    if (first > last || last > kLastColumn) return true;
    const uint16_t count = uint16_t(last - first + 1);
    if (!ColumnsInsertFit(ws.cells, first, count)) return error = kErrorNoEmptyColumns, false;
    return Guarded(error, [&] {
        return InsertColumnFormatsAnd(ws.formats, first, count,
                                      [&] { InsertColumnsInCellStore(ws.cells, first, count); });
    });
}

namespace {

// Applies `change` to every run in place; the changes keep the runs' order.
template <class Change> void ChangeRunsInPlace(CCellStore& runs, Change&& change) {
    for (Page* page = runs.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at + kFormatRunSize <= page->used; at += kFormatRunSize) {
            FormatRun run = LoadFormatRun(page->payload + at);
            change(run);
            StoreFormatRun(page->payload + at, run);
        }
    }
    runs.ClearRowIndex(false);
}

} // namespace

void TakeOutEmptyRows(CWorksheet& ws, uint32_t first, uint32_t last) {
    if (first > last || last > kLastRow) return;
    const uint32_t count = last - first + 1;
    ws.cells.ClearRowIndex(false);
    for (Page* page = ws.cells.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at < page->used; at += cell::Length(page->payload + at)) {
            uint8_t* r = page->payload + at;
            if (cell::Row(r) > last) StoreU32(r + 3, cell::Row(r) - count);
        }
    }
    ChangeRunsInPlace(ws.formats.runs, [&](FormatRun& run) {
        if (run.row > last) run.row -= count;
    });
    ShiftRowHeightsUp(ws.formats.rowHeights, first, count);
}

void TakeOutEmptyColumns(CWorksheet& ws, uint16_t first, uint16_t last) {
    if (first > last || last > kLastColumn) return;
    const uint16_t count = uint16_t(last - first + 1);
    ws.cells.ClearRowIndex(false);
    for (Page* page = ws.cells.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at < page->used; at += cell::Length(page->payload + at)) {
            uint8_t* r = page->payload + at;
            if (cell::Column(r) > last) StoreU16(r + 1, uint16_t(cell::Column(r) - count));
        }
    }
    ChangeRunsInPlace(ws.formats.runs, [&](FormatRun& run) {
        if (run.firstColumn > last) run.firstColumn = uint16_t(run.firstColumn - count);
        if (run.lastColumn > last) run.lastColumn = uint16_t(run.lastColumn - count);
    });
    ColumnEntry* columns = ws.formats.columns;
    for (int c = first; c + count <= kLastColumn; ++c) columns[c] = columns[c + count];
    for (int c = kLastColumn + 1 - count; c <= kLastColumn; ++c) columns[c] = ColumnEntry{};
    ColumnsChanged(ws.formats);
}

bool RemoveWorksheetColumns(CWorksheet& ws, uint16_t first, uint16_t last, ErrorCode& error) {
    if (first > last || last > kLastColumn) return true;
    return Guarded(error, [&] {
        return RemoveColumnFormatsAnd(ws.formats, first, last, [&] {
            ClearColumns(ws.cells, first, last);
            DropStrayArrayElements(ws.cells);
        });
    });
}

} // namespace vl
