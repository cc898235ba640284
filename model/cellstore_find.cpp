#include "model/cellstore.h"
#include "model/cellwalk.h"
#include "platform/core/alloc.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

// Scans forward from a position for (row, column); the cursor, when given, follows.
uint8_t* ScanForCell(Page* page, uint32_t offset, uint32_t row, uint16_t column,
                     CellCursor* cursor) {
    for (;;) {
        if (!cellwalk::StepPage(page, offset)) break;
        uint8_t* r = page->payload + offset;
        const uint32_t rr = cell::Row(r);
        const uint16_t rc = cell::Column(r);
        if (cursor) {
            cursor->page = page;
            cursor->offset = uint16_t(offset);
        }
        if (rr == row && rc == column) {
            if (cursor && (cursor->flags & kAdvance))
                cursor->offset = uint16_t(offset + cell::Length(r));
            return r;
        }
        if (cell::Before(row, column, rr, rc)) return nullptr;
        offset += cell::Length(r);
    }
    if (cursor) {
        cursor->page = page;
        cursor->offset = uint16_t(offset);
    }
    return nullptr;
}

bool InRect(const uint8_t* r, const CellRange& rect) {
    return RangeContains(rect, cell::Column(r), cell::Row(r));
}

// A find in a row with column marks, from the row's first record at page and offset: from
// the cell itself when it was found lately, else from the mark before the column; the cell
// found is noted. Kept out of line, so that the finds in rows without marks stay as short.
[[gnu::noinline]] uint8_t* FindInMarkedRow(const CCellStore& store, uint32_t row, uint16_t column,
                                           Page* page, uint32_t offset, CellCursor& cursor) {
    if (store.MarkedStart(row, column, page, offset)) {
        uint8_t* r = page->payload + offset;
        cursor.page = page;
        cursor.offset = uint16_t(offset + ((cursor.flags & kAdvance) ? cell::Length(r) : 0));
        return r;
    }
    uint8_t* r = ScanForCell(page, offset, row, column, &cursor);
    if (r) store.NoteFound(row, column, cursor.page, uint32_t(r - cursor.page->payload));
    return r;
}

} // namespace

uint8_t* FindCell(const CCellStore& store, uint32_t row, uint16_t column) {
    if (row > kLastRow) return nullptr;
    const uint32_t block = row / kRowBlockRows;
    if (store.BlockValid(block)) {
        const RowIndexEntry& entry = store.rowIndex_->blocks[block][row % kRowBlockRows];
        if (!entry.page) return nullptr;
        if (!store.RowMarked(row))
            return ScanForCell(entry.page, entry.offset, row, column, nullptr);
        CellCursor at;
        return FindInMarkedRow(store, row, column, entry.page, entry.offset, at);
    }
    Page* page = store.StartPageForRow(row);
    if (!page) return nullptr;
    return ScanForCell(page, 0, row, column, nullptr);
}

uint8_t* FindCellFromCursor(const CCellStore& store, uint32_t row, uint16_t column,
                            CellCursor& cursor) {
    Page* page = cursor.page;
    uint32_t offset = cursor.offset;
    if (!page) {
        const RowIndexEntry* entry = store.RowEntry(row);
        if (entry && entry->page) {
            if (store.RowMarked(row))
                return FindInMarkedRow(store, row, column, entry->page, entry->offset, cursor);
            page = entry->page;
            offset = entry->offset;
        } else {
            page = store.StartPageForRow(row);
            offset = 0;
        }
    }
    if (!page) return nullptr;
    cellwalk::PositionOnRow(page, offset, row);
    return ScanForCell(page, offset, row, column, &cursor);
}

uint8_t* NextCellRecord(CellCursor& cursor) {
    if (!cursor.page) return nullptr;
    Page* page = cursor.page;
    uint32_t offset = cursor.offset;
    if (!cellwalk::StepPage(page, offset)) return nullptr;
    uint8_t* r = page->payload + offset;
    cursor.page = page;
    cursor.offset = uint16_t(offset);
    if (cursor.flags & kAdvance) cursor.offset = uint16_t(offset + cell::Length(r));
    return r;
}

// The tests stay in the loop and the cursor is written once, on the way out: a lookup walks
// every record of its rows, most of them beside the range.
uint8_t* GetNextCellInRange(CellCursor& cursor, const CellRange& rect) {
    if (!cursor.page) return nullptr;
    Page* page = cursor.page;
    uint32_t offset = cursor.offset;
    cellwalk::PositionOnRow(page, offset, rect.r1);
    uint8_t* found = nullptr;
    while (cellwalk::StepPage(page, offset)) {
        uint8_t* r = page->payload + offset;
        const uint32_t row = cell::Row(r);
        // Records of the rows above the range are only stepped over.
        if (row >= rect.r1) {
            if (row > rect.r2) break;
            const uint16_t column = cell::Column(r);
            if (column >= rect.c1 && column <= rect.c2) {
                found = r;
                break;
            }
            if (row == rect.r2 && column > rect.c2) break;
        }
        offset += cell::Length(r);
    }
    cursor.page = page;
    cursor.offset = uint16_t(offset);
    if (found && (cursor.flags & kAdvance)) cursor.offset = uint16_t(offset + cell::Length(found));
    return found;
}

const RowIndexEntry* CCellStore::RowEntry(uint32_t row) const {
    if (row > kLastRow) return nullptr;
    const uint32_t block = row / kRowBlockRows;
    if (!BlockValid(block)) return nullptr;
    return &rowIndex_->blocks[block][row % kRowBlockRows];
}

bool CCellStore::BuildRowBlockIndex(uint32_t block, CellCursor& cursor) {
    if (block >= kRowBlocks || !EnsureIndexTable()) return false;
    RowIndexEntry*& entries = rowIndex_->blocks[block];
    if (!entries) {
        void* p = AllocBlock(sizeof(RowIndexEntry) * kRowBlockRows);
        if (!p) return false;
        entries = static_cast<RowIndexEntry*>(p);
    }
    std::fill(entries, entries + kRowBlockRows, RowIndexEntry{nullptr, 0});
    ResetColumnMarks(block);
    ForgetRecent();
    if (!(rowIndex_->flags[block] & kBlockValid)) ++validBlocks_;
    rowIndex_->flags[block] = kBlockValid;

    const uint32_t first = block * kRowBlockRows;
    const uint32_t end = first + kRowBlockRows;
    Page* page = cursor.page ? cursor.page : firstPage_;
    if (!page) return true;
    // The cursor only picks the page: its offset may stand past rows of the block, which
    // may also begin on an earlier page.
    while (page->prev && (!page->used || cellwalk::FirstRow(page) >= first)) page = page->prev;
    uint32_t offset = 0;
    cellwalk::PositionOnRow(page, offset, first);
    uint32_t lastRow = first - 1;
    bool any = false;
    uint32_t inRow = 0;
    while (cellwalk::StepPage(page, offset)) {
        uint8_t* r = page->payload + offset;
        const uint32_t row = cell::Row(r);
        if (row >= end) break;
        const uint32_t len = cell::Length(r);
        if (row >= first && (!any || row != lastRow)) {
            entries[row - first] = {page, uint16_t(offset)};
            any = true;
            lastRow = row;
            inRow = 0;
            cursor.page = page;
            cursor.offset = uint16_t(offset + ((cursor.flags & kAdvance) ? len : 0));
        } else if (row >= first && ++inRow % kColumnMarkEvery == 0) {
            AddColumnMark(block, {page, row, cell::Column(r), uint16_t(offset)});
        }
        offset += len;
    }
    FinishColumnMarks(block);
    return true;
}

bool CCellStore::GetUsedRange(uint16_t* firstCol, uint16_t* lastCol, uint32_t* firstRow,
                              uint32_t* lastRow) const {
    uint16_t c1 = 0, c2 = 0;
    uint32_t rowFirst = 0, rowLast = 0;
    const bool any = firstPage_ && firstPage_->used;
    if (any) {
        c1 = cell::Column(firstPage_->payload);
        rowFirst = cell::Row(firstPage_->payload);
        for (Page* page = firstPage_; page; page = page->next) {
            for (uint32_t offset = 0; offset < page->used;) {
                const uint8_t* r = page->payload + offset;
                c1 = std::min(c1, cell::Column(r));
                c2 = std::max(c2, cell::Column(r));
                rowLast = std::max(rowLast, cell::Row(r));
                offset += cell::Length(r);
            }
        }
    }
    if (firstCol) *firstCol = c1;
    if (lastCol) *lastCol = c2;
    if (firstRow) *firstRow = rowFirst;
    if (lastRow) *lastRow = rowLast;
    return any;
}

void CCellStore::CountCellKinds(uint32_t counts[6], const CellRange& rect) const {
    std::fill(counts, counts + 6, 0u);
    // Bisection finds the first row, so a few rows of a long sheet cost a few rows.
    Page* page = StartPageForRow(rect.r1);
    if (!page) return;
    uint32_t offset = 0;
    cellwalk::PositionOnRow(page, offset, rect.r1);
    for (; cellwalk::StepPage(page, offset); offset += cell::Length(page->payload + offset)) {
        const uint8_t* r = page->payload + offset;
        if (cell::Row(r) > rect.r2) return;
        if (!InRect(r, rect)) continue;
        if (cell::IsText(r))
            ++counts[1];
        else if (cell::IsNumber(r))
            ++counts[0];
        else if (cell::Error(r))
            ++counts[5];
        else if (cell::ResultFlags(r) & kResultText)
            ++counts[3];
        else if (cell::ResultFlags(r) & kResultNumber)
            ++counts[2];
        else if (cell::ResultFlags(r) & kResultArray)
            ++counts[4];
    }
}

} // namespace vl
