#include "core/settings.h"
#include "model/workbook.h"

#include <algorithm>
#include <utility>

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

// The position of the first entry of the edit the entry at `index` belongs to.
int32_t EditStart(const UndoHistory& history, int32_t index) {
    while (index > 0 && history.entries[index].joined) --index;
    return index;
}

// The redo chain from `from` on, past a joined tail that passed the maximum.
void FreeRedoChain(UndoHistory& history, int32_t from) {
    const int32_t last = std::min(int32_t(history.maximum) + 1, kUndoSpareSlot - 1);
    for (int32_t i = from; i <= last; ++i) {
        const UndoEntry& e = history.entries[i];
        if (e.kind != kUndoEmpty && history.watched && e.serial == history.watched)
            history.watchedUndone = true;
        FreeUndoEntry(history, i);
    }
}

UndoEntry* ClaimUndoSlot(UndoHistory& history, int32_t& index) {
    if (index == kUndoSpareSlot) {
        FreeUndoEntry(history, index);
        return &history.entries[index];
    }
    if (index < -1 || index > kUndoSpareSlot) return nullptr;
    const bool joined = std::exchange(history.joinNext, false) && index >= 0;
    const int32_t maximum = UsableMaximum(history);
    int32_t at = index + 1;
    // An edit never loses its own first entries: alone in the table, it passes the maximum.
    const bool grows =
        joined && at > maximum && at < kUndoSpareSlot && EditStart(history, index) == 0;
    if (at > maximum && !grows) {
        // Full: the oldest edit goes whole and the others move down.
        int32_t gone = 1;
        while (gone <= index && history.entries[gone].joined) ++gone;
        for (int32_t i = 0; i < gone; ++i) FreeUndoEntry(history, i);
        if (gone > index) {
            at = 0;
        } else {
            for (int32_t i = 0; i < gone; ++i) history.entries.RotateFirst(maximum + 1);
            at = index + 1 - gone;
        }
    }
    index = at;
    ++history.claims;
    FreeRedoChain(history, at);
    history.entries[at].joined = joined && at > 0;
    history.entries[at].serial = history.claims;
    return &history.entries[at];
}

bool UndoEntryInForce(const UndoHistory& history, uint64_t serial) {
    if (serial == 0) return false;
    for (int32_t i = 0; i < kUndoSpareSlot; ++i) {
        const UndoEntry& e = history.entries[i];
        if (e.kind != kUndoEmpty && e.serial == serial) return i <= history.current;
    }
    return serial == history.watched && !history.watchedUndone;
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
    int32_t drop = undo.current - maximum;
    // Edits go whole; the latest alone stays whole even past the maximum.
    while (drop > 0 && drop <= undo.current && undo.entries[drop].joined) ++drop;
    if (drop > undo.current) drop = EditStart(undo, undo.current);
    if (drop > 0) {
        for (int32_t i = 0; i < drop; ++i) vl::FreeUndoEntry(undo, i);
        for (int32_t i = drop; i <= undo.current; ++i)
            undo.entries[i - drop] = std::move(undo.entries[i]);
        for (int32_t i = undo.current - drop + 1; i <= undo.current; ++i)
            vl::FreeUndoEntry(undo, i);
        undo.current -= drop;
    }
    int32_t kept = std::max(maximum, undo.current) + 1;
    while (kept < kUndoSpareSlot && undo.entries[kept].joined) ++kept;
    for (int32_t i = kept; i < kUndoSpareSlot; ++i) vl::FreeUndoEntry(undo, i);
    undo.maximum = uint32_t(maximum);
}

void CWorkbook::ApplyUndoLevelSetting() {
    SetUndoLevel(Profile().undoLevel);
}

} // namespace vl
