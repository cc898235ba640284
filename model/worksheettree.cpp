#include "model/worksheettree.h"

#include <cstring>
#include <vector>

namespace vl {

bool BuildTreeItemPath(const CTreeItem* item, std::string& out, bool foldersOnly) {
    std::vector<const CTreeItem*> folders; // innermost first
    size_t length = 1 + (foldersOnly ? 0 : std::strlen(item->name));
    bool complete = true;
    uint16_t level = item->level;
    for (const CTreeItem* p = item->prev; p && level >= 2; p = p->prev) {
        if (!p->IsFolder() || p->level >= level) continue;
        const size_t nameLength = std::strlen(p->name);
        if (nameLength + 1 + length >= kMaxTreePath) {
            complete = false;
            break;
        }
        folders.push_back(p);
        length += nameLength + 1;
        level = p->level;
    }
    out.clear();
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        out.push_back('\\');
        out.append((*it)->name);
    }
    out.push_back('\\');
    if (!foldersOnly) out.append(item->name);
    return complete;
}

CTreeItem* SubtreeEnd(CTreeItem* item) {
    CTreeItem* last = item;
    while (last->next && last->next->level > item->level) last = last->next;
    return last;
}

void InsertTreeItem(TreeHead& head, CTreeItem* chain, CTreeItem* target) {
    if (!chain) return;
    CTreeItem* before = nullptr; // the item the chain follows
    CTreeItem* after = nullptr;  // the item that follows the chain
    long level = 1;
    if (!target || !head.first) {
        for (before = head.first; before && before->next;) before = before->next;
    } else if (target->IsFolder()) {
        before = SubtreeEnd(target);
        after = before->next;
        level = long(target->level) + 1;
    } else {
        before = target->prev;
        after = target;
        level = target->level;
    }
    const long shift = level - long(chain->level);
    CTreeItem* last = chain;
    for (CTreeItem* p = chain; p; p = p->next) {
        p->level = ClampTreeLevel(long(p->level) + shift);
        if (p->IsWorksheet()) ++head.worksheetCount;
        if (p->IsFolder()) ++head.folderCount;
        last = p;
    }
    chain->prev = before;
    if (before)
        before->next = chain;
    else
        head.first = chain;
    last->next = after;
    if (after) after->prev = last;
}

// The nearest worksheet outside a run, the item after the run tried first at every step.
static CWorksheet* NearestWorksheet(CTreeItem* forward, CTreeItem* backward) {
    while (forward || backward) {
        if (CWorksheet* ws = AsWorksheet(forward)) return ws;
        if (CWorksheet* ws = AsWorksheet(backward)) return ws;
        if (forward) forward = forward->next;
        if (backward) backward = backward->prev;
    }
    return nullptr;
}

bool DetachTreeItem(TreeHead& head, CTreeItem* item, ErrorCode& error) {
    // An item already taken out (by an undo recorder, or a first detach) is not the
    // tree's: its chain would be read as the tree's own.
    if (!item || GetTreeItemIndex(item, head.first) < 0) {
        error = kErrorLastWorksheet;
        return false;
    }
    CTreeItem* last = SubtreeEnd(item);
    uint32_t worksheets = 0, folders = 0;
    bool holdsActive = false;
    for (CTreeItem* p = item;; p = p->next) {
        if (p->IsWorksheet()) ++worksheets;
        if (p->IsFolder()) ++folders;
        if (p == head.active) holdsActive = true;
        if (p == last) break;
    }
    if (worksheets == head.worksheetCount) {
        error = kErrorLastWorksheet;
        return false;
    }
    CTreeItem* before = item->prev;
    CTreeItem* after = last->next;
    if (before)
        before->next = after;
    else
        head.first = after;
    if (after) after->prev = before;
    if (holdsActive) head.active = NearestWorksheet(after, before);
    item->prev = nullptr;
    last->next = nullptr;
    head.worksheetCount -= worksheets;
    head.folderCount -= folders;
    return true;
}

CTreeItem* GetTreeItemAt(int32_t position, CTreeItem* first) {
    CTreeItem* p = first;
    for (int32_t i = 0; p && i < position; ++i) p = p->next;
    return p;
}

int32_t GetTreeItemIndex(const CTreeItem* item, const CTreeItem* first) {
    int32_t i = 0;
    for (const CTreeItem* p = first; p; p = p->next, ++i)
        if (p == item) return i;
    return -1;
}

CTreeItem* FindTreeItemByPath(CTreeItem* first, const std::string& path) {
    std::string candidate;
    for (CTreeItem* p = first; p; p = p->next)
        if (BuildTreeItemPath(p, candidate, false) && candidate == path) return p;
    return nullptr;
}

void NormalizeTreeLevels(CTreeItem* first) {
    for (CTreeItem* p = first; p; p = p->next) {
        long limit = 1;
        if (p->prev) limit = long(p->prev->level) + (p->prev->IsFolder() ? 1 : 0);
        p->level = ClampTreeLevel(p->level > limit ? limit : p->level);
    }
}

} // namespace vl
