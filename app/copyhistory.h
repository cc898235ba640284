#pragma once
// The process's copy history: the copies Copy and Cut keep, newest last, pasted into any
// workbook window and kept after the workbook they came from is closed. Its capacity
// follows the CopyLevel setting; every entry is released when the shell finishes.

#include "model/undoentry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vl {

// The clipboard type of the private block.
inline constexpr char kPrivateClipboardMime[] = "application/x-vorlane-clipboard-format";

// The paste list has one command for each of this many items.
inline constexpr int kPasteListSize = 16;

class CCopyHistory {
public:
    UndoHistory& Entries() { return history_; }
    const UndoHistory& Entries() const { return history_; }
    bool Empty() const { return history_.current < 0; }
    // The paste list shows the newest kPasteListSize copies, oldest first: the index of the
    // first copy listed, and the copy that item `item` (0 for the first) stands for, -1 for
    // an item past the newest.
    int32_t FirstListed() const;
    int32_t ListedEntry(int item) const;
    // A level from 1 to 200 becomes the capacity; when the history holds more copies, the
    // newest `level` stay in their order and the older ones are released. Other levels
    // change nothing.
    void ApplyCopyLevel(int level);
    // Releases every entry; the history is empty afterwards.
    void ReleaseAll();
    // Copy `index` came from `item` of `workbook`. The paste list names it by the item's
    // present path while that workbook holds it, so that a rename shows there.
    void NoteOrigin(int32_t index, const CWorkbook* workbook, const CTreeItem* item);
    // The path the paste list shows for `e`: its item's present path while one of the open
    // `workbooks` holds it, else the path kept with the copy.
    std::string ListedPath(const UndoEntry& e,
                           const std::vector<const CWorkbook*>& workbooks) const;

private:
    // A copy's slot, the path it kept (a slot filled since keeps another) and its source.
    struct Origin {
        const UndoEntry* slot = nullptr;
        std::string path;
        const CWorkbook* workbook = nullptr;
        const CTreeItem* item = nullptr;
    };
    UndoHistory history_;
    std::vector<Origin> origins_;
};

// The one history of the process.
CCopyHistory& CopyHistory();

} // namespace vl
