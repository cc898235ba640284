#include "formula/spreadlog.h"

#include <functional>

namespace vl {

namespace {

// Looked through one by one; past these a formula's references are found by hash.
constexpr std::size_t kRecent = 8;

} // namespace

std::size_t CSpreadLog::KeyHash::operator()(const Key& k) const {
    std::size_t h = std::hash<const void*>()(k.cells);
    for (uint64_t part :
         {uint64_t(k.area.c1) << 32 | k.area.r1, uint64_t(k.area.c2) << 32 | k.area.r2})
        h = h * 1000003u ^ std::hash<uint64_t>()(part);
    return h;
}

void CSpreadLog::Built(const BuiltReference& reference) {
    if (!active_ || builtLost_) return;
    const std::size_t n = built_.Size();
    // The same again at once: an evaluation's mark keeps the latest clock.
    if (n > 0 && Same(built_[n - 1], reference)) {
        built_[n - 1].clock = clock_;
        return;
    }
    if (n == 0 || !SameFormula(built_[n - 1], reference)) {
        runStart_ = seenUpTo_ = n;
        seen_.clear();
    } else if (reference.cells && Seen(reference)) {
        return;
    }
    if (!built_.Push(reference)) {
        builtLost_ = true;
        return;
    }
    built_[n].clock = clock_;
}

bool CSpreadLog::Seen(const BuiltReference& reference) {
    const std::size_t n = built_.Size();
    if (n - runStart_ <= kRecent) {
        for (std::size_t i = runStart_; i < n; ++i)
            if (Same(built_[i], reference)) return true;
        return false;
    }
    for (; seenUpTo_ < n; ++seenUpTo_)
        if (built_[seenUpTo_].cells)
            seen_.insert({built_[seenUpTo_].cells, built_[seenUpTo_].area});
    return seen_.count({reference.cells, reference.area}) != 0;
}

} // namespace vl
