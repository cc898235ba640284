#pragma once
// One entry of a workbook's undo history: what an edit destroyed, and where it happened.
// Every payload is owned by the entry and freed with it.

#include "model/container.h"
#include "model/dropdownlist.h"
#include "model/rangedescriptor.h"
#include "model/styles.h"
#include "model/worksheet.h"
#include "platform/core/alloc.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vl {

// What the entry owns.
enum UndoKind : uint8_t {
    kUndoEmpty = 0,
    kUndoCells = 1,        // a heap buffer of kept cells (or a kept name)
    kUndoRangeCells = 2,   // a scratch worksheet: cells (or column table, row heights)
    kUndoRangeFormats = 3, // a scratch worksheet: formats
    kUndoRangeBoth = 4,    // a scratch worksheet: cells and formats
    kUndoContainer = 5,
    kUndoTreeChain = 6,
    kUndoMemoryBlock = 7,
    kUndoDropDownList = 8, // a removed drop-down list and the styles that lost it
};

// The edit it undoes.
enum UndoOperation : uint8_t {
    kOpNone = 0,
    kOpCells = 1,
    kOpRange = 2,
    kOpColumnWidths = 3,
    kOpRowHeights = 4,
    kOpContainerInserted = 5,
    kOpContainerChanged = 6,
    kOpTree = 7,
    kOpRename = 8,
    kOpSort = 9,
    kOpRows = 10,
    kOpColumns = 11,
    kOpDropDownList = 12,
};

constexpr int kUndoSlots = 201;
constexpr int kUndoSpareSlot = 200;
constexpr int kUndoPathSize = 258;

struct BlockDeleter {
    void operator()(uint8_t* p) const { FreeBlock(p); }
};
using BlockPtr = std::unique_ptr<uint8_t, BlockDeleter>;

// What an entry's payload keeps, beside its kind: restores read only what is there.
enum UndoHolds : uint8_t {
    kHoldsKeptCells = 1,   // kind 1: a buffer of kept cells
    kHoldsName = 2,        // kind 1: a tree item's old name (128 bytes)
    kHoldsCells = 4,       // scratch worksheet: the cells of the descriptor's range
    kHoldsFormats = 8,     // scratch worksheet: the runs (and sheet entries) of the range
    kHoldsColumns = 16,    // scratch worksheet: the column table
    kHoldsRowHeights = 32, // scratch worksheet: the row heights
};

// The styles and fonts an entry's kept formats use, renumbered from 0 (the workbook's
// style 0) so that they can be put back into a style table that changed meanwhile. A
// worksheet held by an entry without them carries the workbook's own style numbers.
struct KeptStyles : BlockAllocated {
    std::vector<StyleRecord> styles;
    std::vector<FontRecord> fonts;
    StyleView View() const {
        return {styles.data(), uint16_t(styles.size()), fonts.data(), uint8_t(fonts.size())};
    }
};

// A drop-down list slot and the list fields of the styles that named it, exchanged with the
// workbook's each time the entry is carried out, so that Undo and Redo are the same step.
struct KeptDropDownList : BlockAllocated {
    struct StyleLink {
        uint16_t style = 0;
        uint16_t dropDownList = 0;
        uint8_t sort = 0;
        uint8_t autoAppend = 0;
        uint8_t autoComplete = 0;
    };
    uint16_t list = 0; // 1 to kDropDownLists
    DropDownListRecord record;
    std::vector<StyleLink> styles;
};

class CWorkbook;

// Formulas of another open workbook that an edit rewrote, as the texts before and after
// (each packed as a formula plan of that workbook); carried out, a cell holding one of them
// takes the other, and a cell changed since is left alone.
struct KeptOtherBook {
    const CWorkbook* book = nullptr;
    BlockPtr before, after;
    uint32_t beforeSize = 0, afterSize = 0;
};

struct UndoEntry {
    uint8_t kind = kUndoEmpty;
    uint8_t operation = kOpNone;
    char worksheetPath[kUndoPathSize] = {};
    int32_t activePosition = 0;
    uint16_t cursorColumn = 0;
    uint32_t cursorRow = 0;
    CellRange selection;
    uint8_t bufferOwnership = 0; // kind 1: 1 or 4 when the entry owns the buffer
    BlockPtr cellBuffer;
    uint32_t cellBufferSize = 0;
    uint8_t holds = 0;                 // UndoHolds
    RangeDescriptor secondRange;       // rows or columns inserted or removed
    std::unique_ptr<CTreeItem> object; // kinds 2 to 4: the scratch worksheet
    std::unique_ptr<KeptStyles> keptStyles;
    RangeDescriptor blockDescriptor; // kind 7
    BlockPtr memoryBlock;
    int32_t treePosition = 0;
    TreeChain treeChain; // kind 6: detached items, null while they are in the tree
    uint32_t containerId = 0;
    std::unique_ptr<CContainer> container;      // kind 5
    std::unique_ptr<KeptDropDownList> keptList; // kind 8
    // Any kind: texts of formulas on worksheets the edit did not move, which it rewrote
    // because they name what it moved or renamed; exchanged with the cells' texts each time
    // the entry is carried out.
    BlockPtr formulaTexts;
    uint32_t formulaTextsSize = 0;
    std::vector<KeptOtherBook> otherBooks;
    // Undone and redone together with the entry before it, as one edit (a drag-move).
    bool joined = false;
    uint64_t serial = 0; // the history's claims when it was claimed: names it while it moves

    CWorksheet* Scratch() const { return AsWorksheet(object.get()); }
};

// The slots of a table by position, 0 the oldest. The first `n` positions may form a ring,
// so that the oldest entry can give way without every other entry being moved down; the
// spare slot and the positions past the ring stay where they are.
class UndoSlots {
public:
    UndoEntry& operator[](int32_t i) { return slots_[Slot(i)]; }
    const UndoEntry& operator[](int32_t i) const { return slots_[Slot(i)]; }
    // Moves position 0 to position n - 1 and each of positions 1 to n - 1 down one.
    void RotateFirst(int32_t n);
    // Every slot, in no particular order.
    UndoEntry* begin() { return slots_; }
    UndoEntry* end() { return slots_ + kUndoSlots; }
    const UndoEntry* begin() const { return slots_; }
    const UndoEntry* end() const { return slots_ + kUndoSlots; }

private:
    int32_t Slot(int32_t i) const { return i < ring_ ? (origin_ + i) % ring_ : i; }

    UndoEntry slots_[kUndoSlots];
    int32_t ring_ = 0; // positions 0 to ring_ - 1 start at slot origin_
    int32_t origin_ = 0;
};

// A table of entries: a workbook's undo history, or the copy history of the clipboard.
struct UndoHistory {
    UndoSlots entries;
    int32_t current = -1;
    uint32_t maximum = 0; // highest usable slot: the undo level minus 1
    // The next entry claimed is undone and redone with the one before it, as one edit. An
    // edit goes whole when the oldest must give way; one edit alone may pass the maximum.
    bool joinNext = false;
    uint64_t claims = 0; // entries claimed so far: tells a caller whether a step recorded one
    // One entry watched by its serial: whether it went undone, freed with a redo chain.
    uint64_t watched = 0;
    bool watchedUndone = false;
};

// Whether the entry with `serial` is in force: at or below the current index, or gone from
// the table without being undone (the oldest giving way, the history emptied). Only the
// watched entry is known once gone.
bool UndoEntryInForce(const UndoHistory& history, uint64_t serial);

// Frees what the entry at `index` holds (a cell buffer only when the entry owns it) and
// empties it; an index outside the table is ignored.
void FreeUndoEntry(UndoHistory& history, int32_t index);
// The slot a new entry goes to, emptied: `index` (the table's current index, or another
// counter of it) moves one on, the oldest entry goes when the table is full and the entries
// after it (the redo chain) are freed; the oldest edit goes whole, with the entries joined to
// it, and an entry joined to an edit that fills the table makes it pass the maximum. An index of
// 200 names the spare slot, which is used unchanged. Null for an index outside -1 to 200.
UndoEntry* ClaimUndoSlot(UndoHistory& history, int32_t& index);
// Removes the newest entry and steps the current index back. With `free` what it held is
// freed; without, the entry is handed to the caller, who takes what it holds.
UndoEntry DiscardLastUndo(UndoHistory& history, bool free);

} // namespace vl
