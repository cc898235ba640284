#pragma once
// The styles of a worksheet's cells, kept apart from their values: runs of adjacent
// cells of one row sharing a style index, in cell-store pages; the column table; and
// the row heights.

#include "model/cellstore.h"
#include "model/pagedlist.h"

#include <cstdint>

namespace vl {

// A run as it is stored, 10 bytes little-endian: first column, last column, row, style.
struct FormatRun {
    uint16_t firstColumn;
    uint16_t lastColumn;
    uint32_t row;
    uint16_t style;
};
constexpr uint32_t kFormatRunSize = 10;
FormatRun LoadFormatRun(const uint8_t* p);
void StoreFormatRun(uint8_t* p, const FormatRun& run);

// Column table entry: width word (bit 0 fixed, bits 1-12 width), style word (bits 0-11),
// automatic row height word (bits 0-11).
struct ColumnEntry {
    uint16_t width;
    uint16_t style;
    uint16_t autoRowHeight;
};

struct CFormatStore {
    CCellStore runs;
    ColumnEntry columns[kMaxColumns] = {};
    // Per row: bit 0 fixed height, bits 1-12 height, bits 13-15 kept.
    CPagedList rowHeights;
    // The largest automatic row height of the column table, kept by the row metrics while
    // `autoRowHeightKnown` is set. Whatever rewrites column entries calls ColumnsChanged.
    uint16_t largestAutoRowHeight = 0;
    bool autoRowHeightKnown = false;
};

// Drops what is cached about the column table after its entries changed.
inline void ColumnsChanged(CFormatStore& store) {
    store.autoRowHeightKnown = false;
}

void InitFormatStore(CFormatStore& store);
bool PutFormatRun(CFormatStore& store, const FormatRun& run, CellCursor& cursor);
// Removes the style from a rectangle, splitting the runs that cross its edges.
bool ClearFormatRect(CFormatStore& store, const CellRange& rect, CellCursor* cursor,
                     bool freePages);
bool GetFormatRunsRange(const CFormatStore& store, uint16_t* firstCol, uint16_t* lastCol,
                        uint32_t* firstRow, uint32_t* lastRow);
// A cursor on the first run of `row` or of a row after it (at the end of a page when there
// is none there), for a walk in storage order; empty without runs.
CellCursor FormatRunsFromRow(const CFormatStore& store, uint32_t row);
// Returns the run bytes at the cursor (LoadFormatRun reads them), null at the end.
uint8_t* FormatRunCursorNext(CellCursor& cursor);
bool SetFormatStoreRowEntry(CFormatStore& store, uint32_t row, uint16_t height, bool fixed);
void ReleaseFormatStore(CFormatStore& store, bool free);
// Merges the runs of one row and style that touch and packs the runs into the first pages;
// the emptied pages are freed or kept on the free-page list. The row index is dropped and the
// free-byte count becomes 0.
void CompactFormatRuns(CCellStore& runs, bool freePages);
void ClearFormatStore(CFormatStore& store);

} // namespace vl
