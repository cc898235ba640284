#include "model/clearset.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace vl {

namespace {

auto Key(const CellRange& r) {
    return std::make_tuple(r.r1, r.c1, r.r2, r.c2);
}

} // namespace

bool IsSpreadArrayAnchor(const uint8_t* r) {
    constexpr uint8_t kFillError = 9; // "#FILL!": the array was not spread over its area
    if (!cell::IsFormula(r) || !(cell::ResultFlags(r) & kResultArray)) return false;
    if (cell::Error(r) == kFillError) return false;
    return cell::ArrayWidth(r) > 1 || cell::ArrayHeight(r) > 1;
}

CellRange SpreadArrayArea(const uint8_t* r) {
    const int64_t width = std::max<int64_t>(cell::ArrayWidth(r), 1);
    const int64_t height = std::max<int64_t>(cell::ArrayHeight(r), 1);
    const int64_t c2 = std::min<int64_t>(int64_t(cell::Column(r)) + width - 1, kLastColumn);
    const int64_t r2 = std::min<int64_t>(int64_t(cell::Row(r)) + height - 1, kLastRow);
    return {cell::Column(r), cell::Row(r), uint16_t(c2), uint32_t(r2)};
}

std::vector<CellRange> CollectClearSet(const CCellStore& store, const CellRange& rect) {
    std::vector<CellRange> set{rect};
    std::set<decltype(Key(rect))> known{Key(rect)};
    for (size_t i = 0; i < set.size(); ++i) {
        const CellRange area = set[i];
        CellCursor cursor{kAdvance, store.StartPageForRow(area.r1), 0};
        while (const uint8_t* r = GetNextCellInRange(cursor, area)) {
            if (!IsSpreadArrayAnchor(r)) continue;
            const CellRange spread = SpreadArrayArea(r);
            if (known.insert(Key(spread)).second) set.push_back(spread);
        }
    }
    return set;
}

void ClearSetRows(const std::vector<CellRange>& set, uint32_t* r1, uint32_t* r2) {
    *r1 = kLastRow;
    *r2 = 0;
    for (const CellRange& r : set) {
        *r1 = std::min(*r1, r.r1);
        *r2 = std::max(*r2, r.r2);
    }
}

// An empty set takes no memory: rebuilds that clear nothing (a rewrite taken back when
// memory ran out) must not need any.
CClearSetIndex::CClearSetIndex(const std::vector<CellRange>& set)
    : byTop_(set), columns_(set.empty() ? 0 : kMaxColumns + 1, 0) {
    std::erase_if(byTop_, RangeEmpty);
    std::sort(byTop_.begin(), byTop_.end(),
              [](const CellRange& a, const CellRange& b) { return a.r1 < b.r1; });
}

void CClearSetIndex::Restart() {
    std::fill(columns_.begin(), columns_.end(), 0);
    ends_.clear();
    next_ = 0;
}

// Fenwick tree over columns 1..2047 (column c at c + 1): adding at a and removing past b
// makes the prefix sum at any column the number of rectangles covering it.
void CClearSetIndex::Cover(uint16_t c1, uint16_t c2, int delta) {
    for (size_t i = size_t(c1) + 1; i < columns_.size(); i += i & (~i + 1)) columns_[i] += delta;
    for (size_t i = size_t(c2) + 2; i < columns_.size(); i += i & (~i + 1)) columns_[i] -= delta;
}

int CClearSetIndex::CoverageAt(uint16_t column) const {
    int sum = 0;
    for (size_t i = size_t(column) + 1; i > 0; i -= i & (~i + 1)) sum += columns_[i];
    return sum;
}

bool CClearSetIndex::Contains(uint16_t column, uint32_t row) {
    if (byTop_.empty()) return false;
    if (!started_ || row < row_) Restart();
    started_ = true;
    row_ = row;
    const auto laterEnd = [this](uint32_t a, uint32_t b) { return byTop_[a].r2 > byTop_[b].r2; };
    for (; next_ < byTop_.size() && byTop_[next_].r1 <= row; ++next_) {
        const CellRange& r = byTop_[next_];
        if (r.r2 < row) continue;
        Cover(r.c1, r.c2, 1);
        ends_.push_back(uint32_t(next_));
        std::push_heap(ends_.begin(), ends_.end(), laterEnd);
    }
    while (!ends_.empty() && byTop_[ends_.front()].r2 < row) {
        const CellRange& r = byTop_[ends_.front()];
        Cover(r.c1, r.c2, -1);
        std::pop_heap(ends_.begin(), ends_.end(), laterEnd);
        ends_.pop_back();
    }
    return column <= kLastColumn && CoverageAt(column) > 0;
}

} // namespace vl
