#pragma once
// The items of a workbook's tree: folders and worksheets, kept in one doubly linked list in
// display order, nesting expressed by a level number. A worksheet owns its cell store, its
// format store (with column table and row heights), its containers, its view settings and
// its page setup.

#include "model/blockobject.h"
#include "model/cellstore.h"
#include "model/formatstore.h"
#include "model/sheetsettings.h"

#include <cstdint>
#include <memory>

namespace vl {

class CContainer;
class CWorkbook;

enum TreeItemType : uint8_t {
    TREE_TYPE_WORKSHEET = 1,
    TREE_TYPE_FOLDER = 2,
};

constexpr int kTreeNameSize = 128;
// Levels run from 1 (top) to this depth; deeper levels met anywhere are cut to it, so tables
// indexed by level never overrun.
constexpr uint16_t kMaxTreeLevel = 255;

inline uint16_t ClampTreeLevel(long level) {
    return uint16_t(level < 1 ? 1 : level > kMaxTreeLevel ? kMaxTreeLevel : level);
}

class CTreeItem : public BlockAllocated {
public:
    // The name is cut to 127 characters.
    CTreeItem(const char* name, uint16_t level, uint8_t type, uint8_t expanded);
    virtual ~CTreeItem() = default;
    CTreeItem(const CTreeItem&) = delete;
    CTreeItem& operator=(const CTreeItem&) = delete;

    void SetName(const char* name);
    bool IsWorksheet() const { return itemType == TREE_TYPE_WORKSHEET; }
    bool IsFolder() const { return itemType == TREE_TYPE_FOLDER; }

    char name[kTreeNameSize] = {};
    uint8_t itemType;
    uint16_t level;
    uint8_t expanded;
    CCellStore* cellStore = nullptr; // a worksheet's own store; null for a folder
    CTreeItem* prev = nullptr;
    CTreeItem* next = nullptr;
};

class CWorksheet : public CTreeItem {
public:
    CWorksheet(const char* name, uint16_t level);
    ~CWorksheet() override;

    CCellStore cells;
    CFormatStore formats;
    uint16_t columnTableTail = 0;
    uint16_t reserved[2] = {};
    CContainer* firstContainer = nullptr; // owned list
    ViewSettingsRecord view;
    PageSetupRecord pageSetup;
    uint8_t flags[2] = {}; // the display modes: scrolling may move pixels with {1, 0 or 1}
    // Split horizontally, split vertically: how the window showed this worksheet, restored
    // when it becomes active again. Not kept in files.
    uint8_t split[2] = {};

    void InitViewSettings() { vl::InitViewSettings(view); }
    void InitPageSetup() { vl::InitPageSetup(pageSetup); }

    // A copy of the item and its subtree as a free-standing chain (folders as they are,
    // worksheets with cells, formats, containers and settings); null with error 8 in the
    // workbook when any item could not be copied. A container that cannot be copied is left
    // out and its source gets status 4.
    static CTreeItem* Clone(CWorkbook& workbook, CTreeItem* item);
};

inline CWorksheet* AsWorksheet(CTreeItem* item) {
    return item && item->IsWorksheet() ? static_cast<CWorksheet*>(item) : nullptr;
}
inline const CWorksheet* AsWorksheet(const CTreeItem* item) {
    return item && item->IsWorksheet() ? static_cast<const CWorksheet*>(item) : nullptr;
}

// Deletes every item of a chain, following the next links.
void FreeTreeItemList(CTreeItem* first);

// Owns a free-standing chain of tree items.
struct TreeChainDeleter {
    void operator()(CTreeItem* first) const { FreeTreeItemList(first); }
};
using TreeChain = std::unique_ptr<CTreeItem, TreeChainDeleter>;

} // namespace vl
