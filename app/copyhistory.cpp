#include "app/copyhistory.h"

#include "model/workbook.h"
#include "model/worksheettree.h"

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
    origins_.clear();
}

void CCopyHistory::NoteOrigin(int32_t index, const CWorkbook* workbook, const CTreeItem* item) {
    if (index < 0 || index >= kUndoSpareSlot) return;
    const UndoEntry* slot = &history_.entries[index];
    const auto same = [&](const Origin& o) { return o.slot == slot; };
    origins_.erase(std::remove_if(origins_.begin(), origins_.end(), same), origins_.end());
    origins_.push_back({slot, slot->worksheetPath, workbook, item});
}

std::string CCopyHistory::ListedPath(const UndoEntry& e,
                                     const std::vector<const CWorkbook*>& workbooks) const {
    const std::string kept = e.worksheetPath;
    for (const Origin& o : origins_) {
        if (o.slot != &e || o.path != kept) continue;
        if (std::find(workbooks.begin(), workbooks.end(), o.workbook) == workbooks.end())
            return kept;
        // The item is looked for, never read, until it is found in the tree.
        for (const CTreeItem* p = o.workbook->tree.first; p; p = p->next) {
            std::string path;
            if (p == o.item) return BuildTreeItemPath(p, path, false) ? path : kept;
        }
        return kept;
    }
    return kept;
}

CCopyHistory& CopyHistory() {
    static CCopyHistory history;
    return history;
}

} // namespace vl
