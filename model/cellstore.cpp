#include "model/cellstore.h"

#include "model/cellwalk.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

constexpr uint32_t kCompactMinFree = 1000000;
constexpr uint32_t kPageBytes = 8192;
// The compaction that puts start leaves a quarter of every page free. Packed full, the
// next scattered puts would split nearly every page they touch, the estimate would pass
// its limit again after a quarter as many puts as the store has pages, and every such
// round would repack the whole store.
constexpr uint32_t kPutCompactFill = kPagePayload * 3 / 4;

struct Spot {
    Page* page;
    uint32_t offset;
    bool found;
};

uint32_t CellLength(const uint8_t* r) {
    return cell::Length(r);
}

bool KeyAfter(const uint8_t* r, uint32_t row, uint16_t column) {
    return cell::Before(row, column, cell::Row(r), cell::Column(r));
}

// Asks for the rest of a page at once: the walk below needs each record's length before it
// can read the next, so on a page that is not in the cache every line would be a wait.
void PrefetchPage(const Page* page, uint32_t offset) {
    for (uint32_t at = offset; at < page->used; at += 64) __builtin_prefetch(page->payload + at);
}

// The first record not below (row, column) from a start position, or the end of the chain.
Spot LocateCell(Page* page, uint32_t offset, uint32_t row, uint16_t column) {
    cellwalk::PositionOnRow(page, offset, row);
    PrefetchPage(page, offset);
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
// record fits neither way, it gets a page of its own before the tail's (kAlone). kGiveHead
// is kKeep with the head and the record going to the end of the previous page, which has
// room for them, instead of a new page taking the tail.
enum class Split { kNone, kKeep, kOpen, kAlone, kGiveHead };

Split ChooseSplit(uint32_t used, uint32_t at, uint32_t size) {
    if (used + size <= kPagePayload) return Split::kNone;
    const uint32_t tail = used - at;
    const bool keepFits = at + size <= kPagePayload;
    const bool openFits = at > 0 && size + tail <= kPagePayload;
    if (at < kSplitOffset) return keepFits ? Split::kKeep : openFits ? Split::kOpen : Split::kAlone;
    return openFits ? Split::kOpen : keepFits ? Split::kKeep : Split::kAlone;
}

// Where a kKeep split cuts the old page: at the first record boundary from which the old
// page, with the record, is about half full. Cutting at the insertion point itself would
// leave the old page with the few records before it, and a column written beside a full
// one (every put just past the last) would leave pages of two or three records each.
uint32_t KeepCut(const uint8_t* payload, uint32_t used, uint32_t at, uint32_t size,
                 RecordLengthFn length) {
    uint32_t cut = at;
    while (cut < used && cut + size < kSplitOffset) cut += length(payload + cut);
    return cut + size <= kPagePayload ? cut : at;
}

struct Placed {
    Page* page;
    uint32_t offset;
};

// Writes the record at `at` of `target` (whose used bytes have the old record removed) in
// the form the split asks for, moving the tail to the fresh pages; where the record went.
Placed WriteRecord(Split split, Page* target, uint32_t at, uint32_t cut, const uint8_t* record,
                   uint32_t size, Page* const fresh[2]) {
    uint8_t* base = target->payload;
    const uint32_t used = target->used;
    const uint32_t tail = used - at;
    switch (split) {
    case Split::kNone:
        std::memmove(base + at + size, base + at, tail);
        std::memcpy(base + at, record, size);
        target->used = uint16_t(used + size);
        return {target, at};
    case Split::kGiveHead: {
        Page* prev = target->prev;
        const uint32_t start = prev->used;
        uint8_t* to = prev->payload + start;
        std::memcpy(to, base, at);
        std::memcpy(to + at, record, size);
        std::memcpy(to + at + size, base + at, cut - at);
        prev->used = uint16_t(start + cut + size);
        std::memmove(base, base + cut, used - cut);
        target->used = uint16_t(used - cut);
        return {prev, start + at};
    }
    case Split::kKeep: {
        std::memcpy(fresh[0]->payload, base + cut, used - cut);
        fresh[0]->used = uint16_t(used - cut);
        std::memmove(base + at + size, base + at, cut - at);
        std::memcpy(base + at, record, size);
        target->used = uint16_t(cut + size);
        return {target, at};
    }
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
                             uint32_t size, CellCursor& cursor, RecordLengthFn length) {
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
    if (!length) length = CellLength;
    Split split = ChooseSplit(used, at, size);
    uint32_t cut = at;
    if (split == Split::kKeep && removeLen == 0) {
        cut = KeepCut(target->payload, used, at, size, length);
        Page* prev = target->prev;
        if (prev && cut < used && prev->used + cut + size <= kPagePayload) split = Split::kGiveHead;
    }
    Page* fresh[2] = {};
    const uint32_t needed = split == Split::kNone || split == Split::kGiveHead ? 0
                            : split == Split::kAlone                           ? 2
                                                                               : 1;
    if (!TakePages(fresh, needed)) return false;
    // The records that move lie in the rows from the target's first to the page's last.
    uint32_t firstRow = 0, lastRow = 0;
    if (validBlocks_) {
        const uint32_t row = cell::Row(record);
        firstRow = target->used ? std::min(row, cellwalk::FirstRow(target)) : row;
        const Page* next = page->next;
        lastRow =
            std::max(row, next && next->used ? cellwalk::FirstRow(next) : cellwalk::LastRow(page));
    }
    BeginRowsEdit();

    if (removeLen) {
        uint8_t* p = page->payload + offset;
        std::memmove(p, p + removeLen, page->used - offset - removeLen);
        page->used = uint16_t(page->used - removeLen);
        if (split == Split::kKeep) cut = KeepCut(target->payload, target->used, at, size, length);
    }
    const Placed placed = WriteRecord(split, target, at, cut, record, size, fresh);
    Page* after = target;
    for (uint32_t i = 0; i < needed; ++i) {
        LinkPage(fresh[i], after);
        after = fresh[i];
        ++pageCount_;
        freeBytes_ += kPagePayload;
    }
    if (freeBytes_ >= size) freeBytes_ -= size;
    EndRowsEdit(firstRow, lastRow);
    cursor.page = placed.page;
    cursor.offset = uint16_t(placed.offset + ((cursor.flags & kAdvance) ? size : 0));
    return true;
}

void CCellStore::CompactIfSparse(const uint8_t* record, CellCursor& cursor) {
    if (freeBytes_ <= kCompactMinFree) return;
    if (uint64_t(pageCount_) * kPageBytes / freeBytes_ >= 5) return;
    CompactTo(kPutCompactFill, false);
    const Spot spot =
        LocateCell(StartPageForRow(cell::Row(record)), 0, cell::Row(record), cell::Column(record));
    cursor.page = spot.page;
    cursor.offset = uint16_t(spot.offset);
    if (spot.found && (cursor.flags & kAdvance))
        cursor.offset = uint16_t(spot.offset + cell::Length(record));
}

void CCellStore::Compact(bool freePages) {
    CompactTo(kPagePayload, freePages);
}

void CCellStore::CompactTo(uint32_t fill, bool freePages) {
    ClearRowIndex(false);
    // Whole chains change below; the directory is built afresh when next needed.
    DropDirectory();
    freeBytes_ = 0;
    if (!firstPage_) return;
    Page* write = firstPage_;
    uint32_t writeOffset = 0;
    for (Page* read = firstPage_; read; read = read->next) {
        const uint32_t used = read->used;
        for (uint32_t offset = 0; offset < used;) {
            const uint8_t* r = read->payload + offset;
            const uint32_t len = cell::Length(r);
            // The page being read may take everything it holds; only pages already read
            // are kept to the fill, so the writer never passes the reader.
            const uint32_t limit = write == read ? kPagePayload : fill;
            if (writeOffset > 0 && writeOffset + len > limit) {
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
