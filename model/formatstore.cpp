#include "model/formatstore.h"

#include "model/runpage.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

constexpr uint32_t kCompactMinFree = 1000000;
constexpr uint32_t kPageBytes = 8192;

using runpage::FirstRunRow;
using runpage::PositionOnRunRow;

bool RunKeyAfter(const uint8_t* p, uint32_t row, uint16_t first) {
    const uint32_t r = LoadU32(p + 4);
    return r > row || (r == row && LoadU16(p) > first);
}

bool Joins(const FormatRun& before, const FormatRun& run) {
    return before.row == run.row && before.style == run.style &&
           uint32_t(before.lastColumn) + 1 == run.firstColumn;
}

// Tries to join the run into a neighbour of its row; true when it did.
bool JoinAt(uint8_t* p, const FormatRun& run) {
    FormatRun r = LoadFormatRun(p);
    if (r.row != run.row || r.style != run.style) return false;
    if (uint32_t(r.lastColumn) + 1 == run.firstColumn)
        r.lastColumn = run.lastColumn;
    else if (r.firstColumn == uint32_t(run.lastColumn) + 1)
        r.firstColumn = run.firstColumn;
    else
        return false;
    StoreFormatRun(p, r);
    return true;
}

} // namespace

void CompactFormatRuns(CCellStore& runs, bool freePages) {
    runs.ClearRowIndex(false);
    runs.SetFreeBytes(0);
    Page* write = runs.FirstPage();
    if (!write) return;
    uint32_t writeOffset = 0;
    uint8_t* lastWritten = nullptr;
    for (Page* read = runs.FirstPage(); read; read = read->next) {
        const uint32_t used = read->used;
        for (uint32_t offset = 0; offset < used; offset += kFormatRunSize) {
            const FormatRun run = LoadFormatRun(read->payload + offset);
            if (lastWritten) {
                FormatRun before = LoadFormatRun(lastWritten);
                if (Joins(before, run)) {
                    before.lastColumn = run.lastColumn;
                    StoreFormatRun(lastWritten, before);
                    continue;
                }
            }
            if (writeOffset + kFormatRunSize > kPagePayload) {
                write->used = uint16_t(writeOffset);
                write = write->next;
                writeOffset = 0;
            }
            lastWritten = write->payload + writeOffset;
            StoreFormatRun(lastWritten, run);
            writeOffset += kFormatRunSize;
        }
    }
    write->used = uint16_t(writeOffset);
    while (write->next) runs.ReleasePage(write->next, freePages);
    if (writeOffset == 0) runs.ReleasePage(write, freePages);
}

FormatRun LoadFormatRun(const uint8_t* p) {
    return {LoadU16(p), LoadU16(p + 2), LoadU32(p + 4), LoadU16(p + 8)};
}

void StoreFormatRun(uint8_t* p, const FormatRun& run) {
    StoreU16(p, run.firstColumn);
    StoreU16(p + 2, run.lastColumn);
    StoreU32(p + 4, run.row);
    StoreU16(p + 8, run.style);
}

void InitFormatStore(CFormatStore& store) {
    store.runs.FreeAll();
    std::fill(std::begin(store.columns), std::end(store.columns), ColumnEntry{});
    ColumnsChanged(store);
    store.rowHeights.FreeAll();
}

bool PutFormatRun(CFormatStore& store, const FormatRun& run, CellCursor& cursor) {
    if (run.firstColumn > run.lastColumn || run.lastColumn > kLastColumn || run.row > kLastRow)
        return false;
    CCellStore& runs = store.runs;
    if (!runs.FirstPage()) {
        Page* page = runs.AllocPage();
        if (!page) return false;
        runs.LinkPage(page, nullptr);
    }
    Page* page = runs.FirstPage();
    uint32_t offset = 0;
    if (cursor.page) {
        page = cursor.page;
        offset = cursor.offset <= page->used ? cursor.offset - cursor.offset % kFormatRunSize : 0;
        while (page->prev &&
               (!page->used || RunKeyAfter(page->payload, run.row, run.firstColumn))) {
            page = page->prev;
            offset = 0;
        }
    }
    PositionOnRunRow(page, offset, run.row);
    for (;;) {
        for (; offset < page->used; offset += kFormatRunSize) {
            uint8_t* p = page->payload + offset;
            if (JoinAt(p, run)) {
                cursor.page = page;
                cursor.offset = uint16_t(offset);
                return true;
            }
            if (RunKeyAfter(p, run.row, run.lastColumn)) break;
        }
        if (offset < page->used || !page->next) break;
        page = page->next;
        offset = 0;
    }
    uint8_t bytes[kFormatRunSize];
    StoreFormatRun(bytes, run);
    CellCursor placed;
    if (!runs.PlaceRecord(page, offset, 0, bytes, kFormatRunSize, placed,
                          [](const uint8_t*) { return kFormatRunSize; }))
        return false;
    // Left at the run itself, so that the next run of the row can join it.
    cursor.page = placed.page;
    cursor.offset = placed.offset;
    if (runs.FreeBytes() > kCompactMinFree &&
        uint64_t(runs.PageCount()) * kPageBytes / runs.FreeBytes() < 5) {
        CompactFormatRuns(runs, false);
        cursor.page = runs.FirstPage();
        cursor.offset = 0;
    }
    return true;
}

bool GetFormatRunsRange(const CFormatStore& store, uint16_t* firstCol, uint16_t* lastCol,
                        uint32_t* firstRow, uint32_t* lastRow) {
    uint16_t c1 = 0, c2 = 0;
    uint32_t rowFirst = 0, rowLast = 0;
    const Page* first = store.runs.FirstPage();
    const bool any = first && first->used;
    if (any) {
        c1 = LoadU16(first->payload);
        rowFirst = FirstRunRow(first);
        for (const Page* page = first; page; page = page->next) {
            for (uint32_t offset = 0; offset < page->used; offset += kFormatRunSize) {
                const FormatRun run = LoadFormatRun(page->payload + offset);
                c1 = std::min(c1, run.firstColumn);
                c2 = std::max(c2, run.lastColumn);
                rowLast = std::max(rowLast, run.row);
            }
        }
    }
    if (firstCol) *firstCol = c1;
    if (lastCol) *lastCol = c2;
    if (firstRow) *firstRow = rowFirst;
    if (lastRow) *lastRow = rowLast;
    return any;
}

CellCursor FormatRunsFromRow(const CFormatStore& store, uint32_t row) {
    CellCursor cursor;
    Page* page = store.runs.FirstPage();
    if (!page) return cursor;
    uint32_t offset = 0;
    PositionOnRunRow(page, offset, row);
    // A page's runs are in row order: the first of the row is found by bisection.
    uint32_t lo = 0, hi = page->used / kFormatRunSize;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (LoadU32(page->payload + mid * kFormatRunSize + 4) < row)
            lo = mid + 1;
        else
            hi = mid;
    }
    cursor.page = page;
    cursor.offset = uint16_t(lo * kFormatRunSize);
    return cursor;
}

uint8_t* FormatRunCursorNext(CellCursor& cursor) {
    Page* page = cursor.page;
    if (!page) return nullptr;
    uint32_t offset = cursor.offset;
    while (offset >= page->used) {
        if (!page->next) return nullptr;
        page = page->next;
        offset = 0;
    }
    cursor.page = page;
    cursor.offset = uint16_t(offset + ((cursor.flags & kAdvance) ? kFormatRunSize : 0));
    return page->payload + offset;
}

bool SetFormatStoreRowEntry(CFormatStore& store, uint32_t row, uint16_t height, bool fixed) {
    if (row > kLastRow) return false;
    if (!store.rowHeights.GrowTo2(row + 1, 0, true)) return false;
    uint16_t* entry = store.rowHeights.GetItem2(row);
    if (!entry) return false;
    *entry = uint16_t((*entry & 0xE000) | ((height & 0x0FFF) << 1) | (fixed ? 1 : 0));
    return true;
}

void ReleaseFormatStore(CFormatStore& store, bool free) {
    store.runs.ReleaseAllPages(free);
    std::fill(std::begin(store.columns), std::end(store.columns), ColumnEntry{});
    ColumnsChanged(store);
    store.rowHeights.Clear(true);
}

void ClearFormatStore(CFormatStore& store) {
    store.runs.FreeAll();
    std::fill(std::begin(store.columns), std::end(store.columns), ColumnEntry{});
    ColumnsChanged(store);
    store.rowHeights.FreeAll();
}

} // namespace vl
