#include "render/rowscan.h"

#include "model/runpage.h"

#include <algorithm>

namespace vl {

void CRowScan::Load(uint32_t row) {
    cellCount_ = 0;
    CellCursor cursor;
    const uint8_t* r = FindCellFromCursor(sheet_.cells, row, 0, cursor);
    if (!r) r = NextCellRecord(cursor);
    while (r && cell::Row(r) == row && cellCount_ < kMaxColumns) {
        cellColumns_[cellCount_] = cell::Column(r);
        cells_[cellCount_++] = r;
        cursor.offset = uint16_t(cursor.offset + cell::Length(r));
        r = NextCellRecord(cursor);
    }
    LoadRuns(row);
}

void CRowScan::LoadRuns(uint32_t row) {
    runCount_ = 0;
    Page* page = sheet_.formats.runs.FirstPage();
    if (!page) return;
    uint32_t offset = 0;
    runpage::PositionOnRunRow(page, offset, row);
    for (; page; page = page->next, offset = 0) {
        for (; offset + kFormatRunSize <= page->used; offset += kFormatRunSize) {
            const FormatRun run = LoadFormatRun(page->payload + offset);
            if (run.row > row) return;
            if (run.row == row && runCount_ < kMaxColumns) runs_[runCount_++] = run;
        }
    }
}

const uint8_t* CRowScan::Cell(uint16_t column) const {
    const uint16_t* end = cellColumns_ + cellCount_;
    const uint16_t* at = std::lower_bound(cellColumns_, end, column);
    return at != end && *at == column ? cells_[at - cellColumns_] : nullptr;
}

const uint8_t* CRowScan::CellBefore(uint16_t column) const {
    const uint16_t* at = std::lower_bound(cellColumns_, cellColumns_ + cellCount_, column);
    return at != cellColumns_ ? cells_[at - 1 - cellColumns_] : nullptr;
}

const uint8_t* CRowScan::CellFrom(uint32_t column) const {
    const uint16_t* end = cellColumns_ + cellCount_;
    const uint16_t* at = std::lower_bound(cellColumns_, end, column);
    return at != end ? cells_[at - cellColumns_] : nullptr;
}

uint16_t CRowScan::StyleIndex(uint16_t column) const {
    const FormatRun* end = runs_ + runCount_;
    const FormatRun* at = std::lower_bound(
        runs_, end, column, [](const FormatRun& run, uint16_t c) { return run.lastColumn < c; });
    if (at != end && at->firstColumn <= column) return at->style;
    return ColumnStyleIndex(sheet_.formats, column);
}

} // namespace vl
