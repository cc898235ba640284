#include "formula/qualifiermemo.h"

#include <new>

namespace vl {

void CQualifierMemo::Begin() {
    entries_.clear();
    next_ = 0;
    active_ = true;
}

void CQualifierMemo::End() {
    entries_.clear();
    active_ = false;
}

bool CQualifierMemo::Find(const CCellStore* from, std::string_view name, CTreeItem*& item) const {
    for (const Entry& e : entries_)
        if (e.from == from && e.name == name) {
            item = e.item;
            return true;
        }
    return false;
}

// A name that cannot be kept is only looked up again.
void CQualifierMemo::Note(const CCellStore* from, std::string_view name, CTreeItem* item) {
    if (!active_) return;
    try {
        if (entries_.size() < kEntries) {
            entries_.push_back({from, std::string(name), item});
            return;
        }
        entries_[next_] = {from, std::string(name), item};
        next_ = (next_ + 1) % kEntries;
    } catch (const std::bad_alloc&) {
    }
}

} // namespace vl
