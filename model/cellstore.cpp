#include "model/cellstore.h"

#include "model/cellwalk.h"

#include <cstring>

namespace vl {

namespace {

constexpr uint32_t kCompactMinFree = 1000000;
constexpr uint32_t kPageBytes = 8192;

struct Spot {
    Page* page;
    uint32_t offset;
    bool found;
};

bool KeyAfter(const uint8_t* r, uint32_t row, uint16_t column) {
    return cell::Before(row, column, cell::Row(r), cell::Column(r));
}

// The first record not below (row, column) from a start position, or the end of the chain.
Spot LocateCell(Page* page, uint32_t offset, uint32_t row, uint16_t column) {
    cellwalk::PositionOnRow(page, offset, row);
    for (;;) {
        while (offset < page->used) {
            const uint8_t* r = page->payload + offset;
            if (!cell::Before(cell::Row(r), cell::Column(r), row, column))
                return {page, offset, cell::Row(r) == row && cell::Column(r) == column};
            offset += cell::Length(r);
        }
        if (!page->next) return {page, offset, false};
        page = page->next;
        offset = 0;
    }
}

// How a page that overflows is cut: the record stays in the old page and the tail moves
// (kKeep), the record opens a new page followed by the tail (kOpen), or, when a large
// record fits neither way, it gets a page of its own before the tail's (kAlone).
enum class Split { kNone, kKeep, kOpen, kAlone };

Split ChooseSplit(uint32_t used, uint32_t at, uint32_t size) {
    if (used + size <= kPagePayload) return Split::kNone;
    const uint32_t tail = used - at;
    const bool keepFits = at + size <= kPagePayload;
    const bool openFits = at > 0 && size + tail <= kPagePayload;
    if (at < kSplitOffset) return keepFits ? Split::kKeep : openFits ? Split::kOpen : Split::kAlone;
    return openFits ? Split::kOpen : keepFits ? Split::kKeep : Split::kAlone;
}

struct Placed {
    Page* page;
    uint32_t offset;
};

// Writes the record at `at` of `target` (whose used bytes have the old record removed) in
// the form the split asks for, moving the tail to the fresh pages; where the record went.
Placed WriteRecord(Split split, Page* target, uint32_t at, const uint8_t* record, uint32_t size,
                   Page* const fresh[2]) {
    uint8_t* base = target->payload;
    const uint32_t used = target->used;
    const uint32_t tail = used - at;
    switch (split) {
    case Split::kNone:
        std::memmove(base + at + size, base + at, tail);
        std::memcpy(base + at, record, size);
        target->used = uint16_t(used + size);
        return {target, at};
    case Split::kKeep:
        std::memcpy(fresh[0]->payload, base + at, tail);
        fresh[0]->used = uint16_t(tail);
        std::memcpy(base + at, record, size);
        target->used = uint16_t(at + size);
        return {target, at};
    case Split::kOpen:
        std::memcpy(fresh[0]->payload, record, size);
        std::memcpy(fresh[0]->payload + size, base + at, tail);
        fresh[0]->used = uint16_t(size + tail);
        break;
    case Split::kAlone:
        std::memcpy(fresh[0]->payload, record, size);
        fresh[0]->used = uint16_t(size);
        std::memcpy(fresh[1]->payload, base + at, tail);
        fresh[1]->used = uint16_t(tail);
        break;
    }
    target->used = uint16_t(at);
    return {fresh[0], 0};
}

} // namespace

bool CCellStore::PutCell(const uint8_t* record, CellCursor& cursor) {
    if (!record) return false;
    const uint32_t size = cell::CheckedLength(record);
    const uint16_t column = cell::Column(record);
    const uint32_t row = cell::Row(record);
    if (size == 0 || column > kLastColumn || row > kLastRow) return false;
    // The record may lie in this store's own pages, which the insertion moves.
    uint8_t copy[kPagePayload];
    std::memcpy(copy, record, size);

    if (!firstPage_) {
        Page* page = AllocPage();
        if (!page) return false;
        LinkPage(page, nullptr);
    }
    Page* page = nullptr;
    uint32_t offset = 0;
    if (!cursor.page) {
        page = StartPageForRow(row);
    } else {
        page = cursor.page;
        offset = cursor.offset <= page->used ? cursor.offset : 0;
        // A cursor left beyond the record's place would break the order: go back.
        while (page->prev && (page->used == 0 || KeyAfter(page->payload, row, column))) {
            page = page->prev;
            offset = 0;
        }
    }
    const Spot spot = LocateCell(page, offset, row, column);
    const uint32_t removeLen = spot.found ? cell::Length(spot.page->payload + spot.offset) : 0;
    if (!PlaceRecord(spot.page, spot.offset, removeLen, copy, size, cursor)) return false;
    CompactIfSparse(copy, cursor);
    return true;
}

bool CCellStore::PlaceRecord(Page* page, uint32_t offset, uint32_t removeLen, const uint8_t* record,
                             uint32_t size, CellCursor& cursor) {
    if (size > kPagePayload || offset + removeLen > page->used) return false;
    const uint32_t usedAfterRemove = page->used - removeLen;
    Page* target = page;
    uint32_t at = offset;
    // An emptied page must not stay on the chain, so a replacement that leaves nothing
    // behind keeps its page.
    if (offset == 0 && page->prev && usedAfterRemove > 0 && page->prev->used < usedAfterRemove) {
        target = page->prev;
        at = target->used;
    }
    const uint32_t used = target == page ? usedAfterRemove : target->used;
    const Split split = ChooseSplit(used, at, size);
    Page* fresh[2] = {};
    const uint32_t needed = split == Split::kNone ? 0 : split == Split::kAlone ? 2 : 1;
    if (!TakePages(fresh, needed)) return false;

    if (removeLen) {
        uint8_t* p = page->payload + offset;
        std::memmove(p, p + removeLen, page->used - offset - removeLen);
        page->used = uint16_t(page->used - removeLen);
    }
    const Placed placed = WriteRecord(split, target, at, record, size, fresh);
    Page* after = target;
    for (uint32_t i = 0; i < needed; ++i) {
        LinkPage(fresh[i], after);
        after = fresh[i];
        ++pageCount_;
        freeBytes_ += kPagePayload;
    }
    if (freeBytes_ >= size) freeBytes_ -= size;
    ClearRowIndex(false);
    cursor.page = placed.page;
    cursor.offset = uint16_t(placed.offset + ((cursor.flags & kAdvance) ? size : 0));
    return true;
}

void CCellStore::CompactIfSparse(const uint8_t* record, CellCursor& cursor) {
    if (freeBytes_ <= kCompactMinFree) return;
    if (uint64_t(pageCount_) * kPageBytes / freeBytes_ >= 5) return;
    Compact(false);
    const Spot spot =
        LocateCell(StartPageForRow(cell::Row(record)), 0, cell::Row(record), cell::Column(record));
    cursor.page = spot.page;
    cursor.offset = uint16_t(spot.offset);
    if (spot.found && (cursor.flags & kAdvance))
        cursor.offset = uint16_t(spot.offset + cell::Length(record));
}

void CCellStore::Compact(bool freePages) {
    ClearRowIndex(false);
    freeBytes_ = 0;
    if (!firstPage_) return;
    // Records only move towards the front, so the write position never passes the read one.
    Page* write = firstPage_;
    uint32_t writeOffset = 0;
    for (Page* read = firstPage_; read; read = read->next) {
        const uint32_t used = read->used;
        for (uint32_t offset = 0; offset < used;) {
            const uint8_t* r = read->payload + offset;
            const uint32_t len = cell::Length(r);
            if (writeOffset + len > kPagePayload) {
                write->used = uint16_t(writeOffset);
                write = write->next;
                writeOffset = 0;
            }
            if (write != read || writeOffset != offset)
                std::memmove(write->payload + writeOffset, r, len);
            writeOffset += len;
            offset += len;
        }
    }
    write->used = uint16_t(writeOffset);
    while (write->next) ReleasePage(write->next, freePages);
    if (writeOffset == 0) ReleasePage(write, freePages);
}

} // namespace vl
