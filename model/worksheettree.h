#pragma once
// The workbook's tree of folders and worksheets: paths, insertion, detaching subtrees.

#include "model/worksheet.h"
#include "platform/core/errorcode.h"

#include <cstdint>
#include <string>

namespace vl {

struct TreeHead {
    CTreeItem* first = nullptr;
    CWorksheet* active = nullptr;
    uint32_t worksheetCount = 0;
    uint32_t folderCount = 0;
};

constexpr size_t kMaxTreePath = 256;

// "\A\B\S" for worksheet S in folder B inside folder A; with foldersOnly "\A\B\". False when
// the path would reach 256 bytes; `out` then holds the part built so far.
bool BuildTreeItemPath(const CTreeItem* item, std::string& out, bool foldersOnly);
// Links a chain in at the end of a target folder's subtree one level deeper, before a target
// worksheet at its level, or at the end of the tree at level 1 without a target.
void InsertTreeItem(TreeHead& head, CTreeItem* chain, CTreeItem* target);
// Unlinks an item with its subtree into a free-standing chain that the caller then owns.
// Refused with error 9, changing nothing, when the subtree holds every worksheet or the
// item is not in the tree (a second detach of the same item).
bool DetachTreeItem(TreeHead& head, CTreeItem* item, ErrorCode& error);

// The last item of an item's subtree (the item itself for a worksheet).
CTreeItem* SubtreeEnd(CTreeItem* item);
// The item at a 0-based position (the first item below 1), or null past the end.
CTreeItem* GetTreeItemAt(int32_t position, CTreeItem* first);
// The 0-based position of an item in the list, -1 when it is not in it.
int32_t GetTreeItemIndex(const CTreeItem* item, const CTreeItem* first);
// The item whose path (as BuildTreeItemPath gives it) equals `path`, or null.
CTreeItem* FindTreeItemByPath(CTreeItem* first, const std::string& path);
// Makes every level of a list usable: the first item at 1, no item more than one level
// below the folder before it, none beyond the deepest level. Readers call it after loading.
void NormalizeTreeLevels(CTreeItem* first);

} // namespace vl
