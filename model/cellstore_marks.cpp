#include "model/cellstore.h"

#include <cstdlib>

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

bool CCellStore::IndexedStart(uint32_t row, uint16_t column, Page*& page, uint32_t& offset) const {
    const RowIndexEntry* entry = RowEntry(row);
    if (!entry || !entry->page) return false;
    page = entry->page;
    offset = entry->offset;
    const uint32_t block = row / kRowBlockRows;
    const uint32_t count = ColumnMarkCount(block);
    if (count == 0) return true;
    const MarkList& list = columnMarks_[block];
    const uint32_t at = row % kRowBlockRows;
    const uint32_t begin = list.rowStart[at];
    // The first mark of the row past the column; the one before it is the last at or
    // before the column.
    uint32_t lo = begin, hi = list.rowStart[at + 1];
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (list.marks[mid].column > column)
            hi = mid;
        else
            lo = mid + 1;
    }
    if (lo > begin) {
        page = list.marks[lo - 1].page;
        offset = list.marks[lo - 1].offset;
    }
    return true;
}

} // namespace vl
