#include "core/settings.h"
#include "model/workbook.h"

#include <algorithm>

namespace vl {

namespace {

// The highest slot a recorder may write: the spare slot 200 belongs to the executor.
int32_t UsableMaximum(const UndoHistory& h) {
    return int32_t(h.maximum < kUndoSpareSlot - 1 ? h.maximum : kUndoSpareSlot - 1);
}

} // namespace

void UndoSlots::RotateFirst(int32_t n) {
    if (n <= 1) return;
    if (n != ring_) {
        // Another ring: the slots are put back in position order first.
        if (ring_ > 0) std::rotate(slots_, slots_ + origin_, slots_ + ring_);
        ring_ = n;
        origin_ = 0;
    }
    origin_ = (origin_ + 1) % ring_;
}

void FreeUndoEntry(UndoHistory& history, int32_t index) {
    if (index < 0 || index >= kUndoSlots) return;
    UndoEntry& e = history.entries[index];
    // A cell buffer the entry does not own is left to its owner.
    if (e.kind == kUndoCells && e.bufferOwnership != 1 && e.bufferOwnership != 4)
        (void)e.cellBuffer.release();
    e = UndoEntry{};
}

UndoEntry* ClaimUndoSlot(UndoHistory& history, int32_t& index) {
    if (index == kUndoSpareSlot) {
        FreeUndoEntry(history, index);
        return &history.entries[index];
    }
    if (index < -1 || index > kUndoSpareSlot) return nullptr;
    const int32_t maximum = UsableMaximum(history);
    int32_t at = index + 1;
    if (at > maximum) {
        // Full: the oldest entry goes and the others move down one slot.
        FreeUndoEntry(history, 0);
        history.entries.RotateFirst(maximum + 1);
        at = maximum;
    }
    index = at;
    for (int32_t i = at; i <= maximum; ++i) FreeUndoEntry(history, i);
    return &history.entries[at];
}

UndoEntry DiscardLastUndo(UndoHistory& history, bool free) {
    UndoEntry taken;
    const int32_t index = history.current;
    if (index < 0 || index >= kUndoSlots) return taken;
    if (free)
        FreeUndoEntry(history, index);
    else
        taken = std::move(history.entries[index]);
    history.entries[index] = UndoEntry{};
    history.current = index - 1;
    return taken;
}

void CWorkbook::FreeUndoHistoryEntries() {
    for (int32_t i = 0; i < kUndoSlots; ++i) vl::FreeUndoEntry(undo, i);
    undo.current = -1;
}

int32_t CWorkbook::MakeUndoRoom() {
    ClaimUndoSlot(undo, undo.current);
    return undo.current;
}

void CWorkbook::SetUndoLevel(uint32_t level) {
    // Out of range the maximum is 0, as for level 1; entries beyond it go as they would then.
    if (level < 1 || level > 200) level = 1;
    const int32_t maximum = int32_t(level) - 1;
    const int32_t drop = undo.current - maximum;
    if (drop > 0) {
        for (int32_t i = 0; i < drop; ++i) vl::FreeUndoEntry(undo, i);
        for (int32_t i = drop; i <= undo.current; ++i)
            undo.entries[i - drop] = std::move(undo.entries[i]);
        undo.current = maximum;
    }
    for (int32_t i = maximum + 1; i < kUndoSpareSlot; ++i) vl::FreeUndoEntry(undo, i);
    undo.maximum = uint32_t(maximum);
}

void CWorkbook::ApplyUndoLevelSetting() {
    SetUndoLevel(Profile().undoLevel);
}

} // namespace vl
