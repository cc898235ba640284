#include "app/copyhistory.h"

#include <algorithm>
#include <utility>

namespace vl {

void CCopyHistory::ApplyCopyLevel(int level) {
    if (level < 1 || level > kUndoSpareSlot) return;
    const int32_t kept = history_.current + 1;
    if (kept > level) {
        const int32_t drop = kept - level;
        for (int32_t i = 0; i < drop; ++i) FreeUndoEntry(history_, i);
        for (int32_t i = drop; i < kept; ++i)
            history_.entries[i - drop] = std::move(history_.entries[i]);
        for (int32_t i = level; i < kept; ++i) FreeUndoEntry(history_, i);
        history_.current = level - 1;
    }
    history_.maximum = uint32_t(level - 1);
}

int32_t CCopyHistory::FirstListed() const {
    return std::max<int32_t>(0, history_.current + 1 - kPasteListSize);
}

int32_t CCopyHistory::ListedEntry(int item) const {
    if (item < 0 || item >= kPasteListSize) return -1;
    const int32_t index = FirstListed() + item;
    return index <= history_.current ? index : -1;
}

void CCopyHistory::ReleaseAll() {
    for (int32_t i = 0; i < kUndoSlots; ++i) FreeUndoEntry(history_, i);
    history_.current = -1;
}

CCopyHistory& CopyHistory() {
    static CCopyHistory history;
    return history;
}

} // namespace vl
