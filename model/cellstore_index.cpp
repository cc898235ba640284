// Keeping the row index in step with edits of records, and building blocks on demand.
#include "model/cellstore.h"
#include "model/cellwalk.h"
#include "platform/core/alloc.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace vl {

namespace {

constexpr uint32_t kNoPlace = UINT32_MAX;
// The pages a block is taken to hold when no directory says.
constexpr uint32_t kPagesGuess = 16;

} // namespace

bool CCellStore::EnsureIndexTable() {
    if (rowIndex_) return true;
    void* table = AllocBlock(sizeof(RowIndexTable));
    if (!table) return false;
    std::memset(table, 0, sizeof(RowIndexTable));
    rowIndex_.reset(static_cast<RowIndexTable*>(table));
    if (onDemand_) std::memset(rowIndex_->flags, kBlockOnDemand, sizeof rowIndex_->flags);
    return true;
}

// The table is made with the first block wanted: most worksheets a recalculation passes are
// never read by a formula.
void CCellStore::IndexOnDemand(bool on) {
    ForgetRecent();
    onDemand_ = on;
    if (!rowIndex_) return;
    // Valid blocks stay; every other block is wanted afresh.
    for (uint8_t& flags : rowIndex_->flags)
        if (!(flags & kBlockValid)) flags = on ? kBlockOnDemand : 0;
    if (!on) ClearRowIndex(false);
}

bool CCellStore::BringBlockUp(uint32_t block) const {
    // A store is never a const object: only the cache changes here.
    CCellStore& self = const_cast<CCellStore&>(*this);
    if (!rowIndex_ && !self.EnsureIndexTable()) return false;
    const uint8_t flags = rowIndex_->flags[block];
    if (flags & kBlockValid) {
        self.RefreshStaleRows(block);
        return true;
    }
    return (flags & kBlockOnDemand) && self.BuildOnDemand(block);
}

// A find without the block costs about a page's walk and building it a walk over its pages:
// it is built once its finds have cost that much, which costs at most about twice the
// cheaper of the two.
bool CCellStore::BuildOnDemand(uint32_t block) {
    uint8_t& flags = rowIndex_->flags[block];
    uint32_t& left = rowIndex_->findsLeft[block];
    if (!(flags & kBlockCounted)) {
        const uint32_t first = block * kRowBlockRows;
        left = PagesForRows(first, first + kRowBlockRows - 1);
        flags |= kBlockCounted;
        flagsTouched_ = true;
    }
    if (left > 0) {
        --left;
        return false;
    }
    CellCursor cursor;
    cursor.page = StartPageForRow(block * kRowBlockRows);
    if (BuildRowBlockIndex(block, cursor)) return true;
    // Without memory the block is left to the finds that do without it.
    flags = 0;
    return false;
}

uint32_t CCellStore::PagesForRows(uint32_t first, uint32_t last) const {
    const uint32_t from = DirectoryIndexForRow(first);
    const uint32_t to = last >= kLastRow ? directorySize_ : DirectoryIndexForRow(last + 1);
    if (from == kNoPlace || to == kNoPlace || to < from) return kPagesGuess;
    return to - from + 1;
}

void CCellStore::EndRowsEdit(uint32_t first, uint32_t last) {
    if (rowsEdits_) --rowsEdits_;
    RowsChanged(first, last);
}

void CCellStore::RowsChanged(uint32_t first, uint32_t last) {
    ForgetRecent();
    if (!validBlocks_ || first > last) return;
    const uint32_t lastBlock = std::min(last / kRowBlockRows, kRowBlocks - 1);
    for (uint32_t block = first / kRowBlockRows; block <= lastBlock; ++block) {
        uint8_t& flags = rowIndex_->flags[block];
        if (!(flags & kBlockValid)) continue;
        const uint32_t lo = std::max(first, block * kRowBlockRows);
        const uint32_t hi = std::min(last, block * kRowBlockRows + kRowBlockRows - 1);
        uint32_t& staleFirst = rowIndex_->staleFirst[block];
        uint32_t& staleLast = rowIndex_->staleLast[block];
        if (flags & kBlockStale) {
            staleFirst = std::min(staleFirst, lo);
            staleLast = std::max(staleLast, hi);
        } else {
            staleFirst = lo;
            staleLast = hi;
            flags |= kBlockStale;
        }
    }
}

// Finds the first record of every stale row again, and its column marks, from the pages.
void CCellStore::RefreshStaleRows(uint32_t block) {
    const uint32_t lo = rowIndex_->staleFirst[block];
    const uint32_t hi = rowIndex_->staleLast[block];
    rowIndex_->flags[block] = kBlockValid;
    const uint32_t first = block * kRowBlockRows;
    RowIndexEntry* entries = rowIndex_->blocks[block];
    std::fill(entries + (lo - first), entries + (hi - first) + 1, RowIndexEntry{nullptr, 0});
    std::vector<ColumnMark> marks;
    bool marksKept = true;
    Page* page = StartPageForRow(lo);
    uint32_t offset = 0;
    if (page) cellwalk::PositionOnRow(page, offset, lo);
    uint32_t lastRow = kNoPlace;
    uint32_t inRow = 0;
    while (page && cellwalk::StepPage(page, offset)) {
        uint8_t* r = page->payload + offset;
        const uint32_t row = cell::Row(r);
        if (row > hi) break;
        if (row >= lo && row != lastRow) {
            entries[row - first] = {page, uint16_t(offset)};
            lastRow = row;
            inRow = 0;
        } else if (row >= lo && ++inRow % kColumnMarkEvery == 0 && marksKept) {
            try {
                marks.push_back({page, row, cell::Column(r), uint16_t(offset)});
            } catch (const std::bad_alloc&) {
                marksKept = false;
            }
        }
        offset += cell::Length(r);
    }
    if (marksKept)
        SpliceColumnMarks(block, lo, hi, marks.data(), uint32_t(marks.size()));
    else
        ResetColumnMarks(block);
}

} // namespace vl
