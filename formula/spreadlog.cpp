#include "formula/spreadlog.h"

#include <algorithm>
#include <functional>

namespace vl {

namespace {

// The latest references a read is tried against one by one.
constexpr std::size_t kRecent = 8;
// A formula's references past those merged are merged again once they are this many, or as
// many as the merge left: each merge at least halves them.
constexpr std::size_t kMergeAt = 64;

// Reads that may be merged: of the same worksheet and columns, at the same clock.
bool SameKey(const BuiltReference& a, const BuiltReference& b) {
    return a.cells == b.cells && a.area.c1 == b.area.c1 && a.area.c2 == b.area.c2 &&
           a.clock == b.clock;
}

// In the order of their keys, then of their first rows.
bool Before(const BuiltReference& a, const BuiltReference& b) {
    if (a.cells != b.cells) return std::less<const CCellStore*>()(a.cells, b.cells);
    if (a.area.c1 != b.area.c1) return a.area.c1 < b.area.c1;
    if (a.area.c2 != b.area.c2) return a.area.c2 < b.area.c2;
    if (a.clock != b.clock) return a.clock < b.clock;
    return a.area.r1 < b.area.r1;
}

// Rows that overlap or touch: their union is one area.
bool Touch(const CellRange& a, const CellRange& b) {
    return uint64_t(a.r1) <= uint64_t(b.r2) + 1 && uint64_t(b.r1) <= uint64_t(a.r2) + 1;
}

} // namespace

void CSpreadLog::Built(const BuiltReference& reference) {
    if (!active_ || builtLost_) return;
    const std::size_t n = built_.Size();
    // The same again at once: an evaluation's mark keeps the latest clock.
    if (n > 0 && Same(built_[n - 1], reference)) {
        built_[n - 1].clock = clock_;
        return;
    }
    BuiltReference kept = reference;
    kept.clock = clock_;
    if (n == 0 || !SameFormula(built_[n - 1], reference)) {
        // The formula before is left with its reads merged.
        if (n - TailStart() > kRecent && n > std::max(sortedEnd_, TailStart())) Compact();
        runStart_ = sortedBegin_ = sortedEnd_ = built_.Size();
        compacted_ = 0;
    } else if (kept.cells && Absorbed(kept)) {
        return;
    }
    if (!built_.Push(kept)) {
        builtLost_ = true;
        return;
    }
    if (built_.Size() - TailStart() >= std::max(kMergeAt, 2 * compacted_)) Compact();
}

bool CSpreadLog::Absorbed(const BuiltReference& read) {
    if (sortedBegin_ < sortedEnd_) {
        const BuiltReference* const first = &built_[sortedBegin_];
        const BuiltReference* const last = first + (sortedEnd_ - sortedBegin_);
        // The merged reads are apart: only the last that starts at or before it may hold it.
        const BuiltReference* const after = std::upper_bound(first, last, read, Before);
        if (after != first) {
            const BuiltReference& b = after[-1];
            if (SameKey(b, read) && b.area.r1 <= read.area.r1 && read.area.r2 <= b.area.r2)
                return true;
        }
    }
    // The latest may hold it; those noted since the merge, but for the taken ones, may grow.
    const std::size_t n = built_.Size();
    const std::size_t loose = std::max(sortedEnd_, TailStart());
    for (std::size_t i = n; i > runStart_ && n - i < kRecent; --i) {
        BuiltReference& b = built_[i - 1];
        if (!b.cells || !SameKey(b, read)) continue;
        if (b.area.r1 <= read.area.r1 && read.area.r2 <= b.area.r2) return true;
        if (i <= loose || !Touch(b.area, read.area)) continue;
        b.area.r1 = std::min(b.area.r1, read.area.r1);
        b.area.r2 = std::max(b.area.r2, read.area.r2);
        return true;
    }
    return false;
}

void CSpreadLog::Compact() {
    const std::size_t from = TailStart();
    const std::size_t n = built_.Size();
    if (n - from < 2) return;
    BuiltReference* const first = &built_[from];
    BuiltReference* const last = first + (n - from);
    BuiltReference* const marks = std::stable_partition(
        first, last, [](const BuiltReference& b) { return b.cells != nullptr; });
    std::sort(first, marks, Before);
    BuiltReference* out = first;
    for (const BuiltReference* b = first; b != marks; ++b) {
        if (out != first && SameKey(out[-1], *b) && Touch(out[-1].area, b->area))
            out[-1].area.r2 = std::max(out[-1].area.r2, b->area.r2);
        else
            *out++ = *b;
    }
    sortedBegin_ = from;
    sortedEnd_ = from + std::size_t(out - first);
    if (out != marks)
        out = std::copy(marks, last, out);
    else
        out = last;
    built_.Truncate(from + std::size_t(out - first));
    compacted_ = built_.Size() - from;
}

std::size_t CSpreadLog::TakeBuilt() {
    Compact();
    taken_ = built_.Size();
    compacted_ = 0;
    return taken_;
}

SavedElements* CSpreadLog::FindSaved(const CCellStore* cells, uint32_t row, uint16_t column) {
    if (saved_.empty()) return nullptr;
    const auto [first, last] = savedAt_.equal_range(SavedKey(cells, row, column));
    for (auto it = first; it != last; ++it) {
        SavedElements& s = saved_[it->second];
        if (s.cells == cells && s.row == row && s.column == column) return &s;
    }
    return nullptr;
}

SavedElements* CSpreadLog::SaveRoom(const CCellStore* cells, uint32_t row, uint16_t column,
                                    std::size_t bytes) {
    if (!active_ || FindSaved(cells, row, column) || savedBytes_ + bytes > kSavedLimit)
        return nullptr;
    savedBytes_ += bytes;
    savedAt_.emplace(SavedKey(cells, row, column), saved_.size());
    saved_.push_back({cells, row, column, 0, 0, {}, false, 0, 0, {}});
    return &saved_.back();
}

} // namespace vl
