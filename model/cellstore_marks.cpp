#include "model/cellstore.h"

#include <cstdlib>
#include <cstring>

namespace vl {

void CCellStore::ResetColumnMarks(uint32_t block) {
    if (columnMarks_) columnMarks_[block].count = 0;
}

void CCellStore::AddColumnMark(uint32_t block, const ColumnMark& mark) {
    if (!columnMarks_) {
        columnMarks_ = static_cast<MarkList*>(std::calloc(kRowBlocks, sizeof(MarkList)));
        if (!columnMarks_) return;
    }
    MarkList& list = columnMarks_[block];
    if (list.count == list.capacity) {
        const uint32_t capacity = list.capacity ? list.capacity * 2 : 64;
        void* grown = std::realloc(list.marks, sizeof(ColumnMark) * capacity);
        if (!grown) return;
        list.marks = static_cast<ColumnMark*>(grown);
        list.capacity = capacity;
    }
    list.marks[list.count++] = mark;
}

void CCellStore::FinishColumnMarks(uint32_t block) {
    if (!columnMarks_ || columnMarks_[block].count == 0) return;
    MarkList& list = columnMarks_[block];
    if (!list.rowStart) {
        list.rowStart = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * (kRowBlockRows + 1)));
        if (!list.rowStart) {
            list.count = 0;
            return;
        }
    }
    const uint32_t first = block * kRowBlockRows;
    uint32_t m = 0;
    for (uint32_t i = 0; i <= kRowBlockRows; ++i) {
        while (m < list.count && list.marks[m].row < first + i) ++m;
        list.rowStart[i] = m;
    }
}

// The marks of rows first..last (all in the block) in place of the ones they had.
void CCellStore::SpliceColumnMarks(uint32_t block, uint32_t first, uint32_t last,
                                   const ColumnMark* marks, uint32_t count) {
    if (!columnMarks_) {
        for (uint32_t i = 0; i < count; ++i) AddColumnMark(block, marks[i]);
        FinishColumnMarks(block);
        return;
    }
    MarkList& list = columnMarks_[block];
    const uint32_t top = block * kRowBlockRows;
    const uint32_t from = list.count ? list.rowStart[first - top] : 0;
    const uint32_t to = list.count ? list.rowStart[last - top + 1] : 0;
    const uint32_t total = list.count - (to - from) + count;
    if (total > list.capacity) {
        void* grown = std::realloc(list.marks, sizeof(ColumnMark) * total);
        if (!grown) {
            list.count = 0;
            return;
        }
        list.marks = static_cast<ColumnMark*>(grown);
        list.capacity = total;
    }
    if (to != from + count)
        std::memmove(list.marks + from + count, list.marks + to,
                     sizeof(ColumnMark) * (list.count - to));
    if (count) std::memcpy(list.marks + from, marks, sizeof(ColumnMark) * count);
    list.count = total;
    FinishColumnMarks(block);
}

void CCellStore::FreeColumnMarks() {
    if (!columnMarks_) return;
    for (uint32_t b = 0; b < kRowBlocks; ++b) {
        std::free(columnMarks_[b].marks);
        std::free(columnMarks_[b].rowStart);
    }
    std::free(columnMarks_);
    columnMarks_ = nullptr;
}

uint32_t CCellStore::ColumnMarkCount(uint32_t block) const {
    return BlockValid(block) && columnMarks_ ? columnMarks_[block].count : 0;
}

const ColumnMark* CCellStore::ColumnMarks(uint32_t block) const {
    return ColumnMarkCount(block) ? columnMarks_[block].marks : nullptr;
}

bool CCellStore::MarkedStart(uint32_t row, uint16_t column, Page*& page, uint32_t& offset) const {
    if (RecentCell(row, column, page, offset)) return true;
    const MarkList& list = columnMarks_[row / kRowBlockRows];
    const uint32_t at = row % kRowBlockRows;
    const uint32_t begin = list.rowStart[at];
    uint32_t n = list.rowStart[at + 1] - begin;
    if (list.marks[begin].column > column) return false;
    // A row without gaps has its marks kColumnMarkEvery columns apart: the guess is the
    // mark itself when the next one lies past the column.
    const uint32_t guess = (column - list.marks[begin].column) / kColumnMarkEvery;
    if (guess < n && list.marks[begin + guess].column <= column &&
        (guess + 1 == n || list.marks[begin + guess + 1].column > column)) {
        page = list.marks[begin + guess].page;
        offset = list.marks[begin + guess].offset;
        return false;
    }
    // The last mark of the row at or before the column. Written without branches on the
    // comparisons: a row is searched at every column, so they would be mispredicted half
    // the time.
    const ColumnMark* base = list.marks + begin;
    while (n > 1) {
        const uint32_t half = n / 2;
        base = base[half].column <= column ? base + half : base;
        n -= half;
    }
    page = base->page;
    offset = base->offset;
    return false;
}

bool CCellStore::RecentCell(uint32_t row, uint16_t column, Page*& page, uint32_t& offset) const {
    for (const Found& f : recent_)
        if (f.page && f.row == row && f.column == column) {
            // The place is taken without a scan, so its record must still be the cell.
            const uint8_t* r = f.page->payload + f.offset;
            if (f.offset >= f.page->used || cell::Row(r) != row || cell::Column(r) != column)
                return false;
            page = f.page;
            offset = f.offset;
            return true;
        }
    return false;
}

void CCellStore::NoteFound(uint32_t row, uint16_t column, Page* page, uint32_t offset) const {
    if (!BlockValid(row / kRowBlockRows)) return;
    recent_[recentNext_] = {page, row, column, uint16_t(offset)};
    recentNext_ = (recentNext_ + 1) % kRecent;
}

void CCellStore::ForgetRecent() {
    for (Found& f : recent_) f.page = nullptr;
}

} // namespace vl
