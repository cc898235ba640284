#include "model/rangeops.h"

#include "model/cellmerge.h"
#include "model/cellwalk.h"

#include <algorithm>
#include <cstring>

namespace vl {

// Drops the records of the clear set, which lies within rows top..bottom, from one page, in
// place; returns the bytes removed. Records above those rows stay where they are, those below
// move as one block.
static uint32_t SqueezePage(Page* page, CClearSetIndex& set, uint32_t top, uint32_t bottom) {
    uint32_t read = 0;
    while (read < page->used && cell::Row(page->payload + read) < top)
        read += cell::Length(page->payload + read);
    uint32_t write = read;
    while (read < page->used) {
        uint8_t* r = page->payload + read;
        if (cell::Row(r) > bottom) break;
        const uint32_t len = cell::Length(r);
        if (!set.Contains(cell::Column(r), cell::Row(r))) {
            if (write != read) std::memmove(page->payload + write, r, len);
            write += len;
        }
        read += len;
    }
    if (write != read) std::memmove(page->payload + write, page->payload + read, page->used - read);
    write += page->used - read;
    const uint32_t removed = page->used - write;
    page->used = uint16_t(write);
    return removed;
}

void ClearRect(CCellStore& store, const CellRange& rect, CellCursor* cursor, bool freePages) {
    if (cursor) *cursor = CellCursor{cursor->flags, nullptr, 0};
    if (RangeEmpty(rect) || !store.FirstPage()) return;
    ClearCells(store, CollectClearSet(store, rect), freePages);
}

void ClearCells(CCellStore& store, const std::vector<CellRange>& rects, bool freePages) {
    if (rects.empty() || !store.FirstPage()) return;
    uint32_t top, bottom;
    ClearSetRows(rects, &top, &bottom);
    CClearSetIndex set(rects);
    // Records of rows top.. move, up to the last page read; the index keeps other rows.
    uint32_t last = bottom;
    store.BeginRowsEdit();
    Page* page = store.StartPageForRow(top);
    while (page && cell::Row(page->payload) <= bottom) {
        Page* next = page->next;
        if (!next || cell::Row(next->payload) > bottom)
            last = std::max(last, next ? cellwalk::FirstRow(next) : cellwalk::LastRow(page));
        const uint32_t spaceBefore = kPagePayload - page->used;
        const uint32_t removed = SqueezePage(page, set, top, bottom);
        if (page->used == 0) {
            store.ReleasePage(page, freePages);
            if (store.FreeBytes() >= spaceBefore)
                store.SetFreeBytes(store.FreeBytes() - spaceBefore);
        } else if (removed) {
            store.SetFreeBytes(store.FreeBytes() + removed);
        }
        page = next;
    }
    store.EndRowsEdit(top, last);
}

void ClearColumns(CCellStore& store, uint16_t c1, uint16_t c2) {
    if (c1 > c2) return;
    ClearRect(store, {c1, 0, c2, kLastRow}, nullptr, true);
    const uint16_t width = uint16_t(c2 - c1 + 1);
    // The column marks of the index name the columns changed below.
    store.ClearRowIndex(false);
    for (Page* page = store.FirstPage(); page; page = page->next) {
        for (uint32_t offset = 0; offset < page->used;) {
            uint8_t* r = page->payload + offset;
            if (cell::Column(r) > c2) StoreU16(r + 1, uint16_t(cell::Column(r) - width));
            offset += cell::Length(r);
        }
    }
}

bool CopyFrom(CCellStore& source, CCellStore& target) {
    Page* first = nullptr;
    Page* last = nullptr;
    for (const Page* from = source.FirstPage(); from; from = from->next) {
        Page* page = source.AllocPage(true);
        if (!page) {
            source.FreePageChain(first);
            return false;
        }
        page->used = from->used;
        std::memcpy(page->payload, from->payload, from->used);
        page->prev = last;
        (last ? last->next : first) = page;
        last = page;
    }
    target.ReleaseAllPages(true);
    target.AdoptPages(first);
    return true;
}

CellRange CopySourceBlock(const CellRange& t, uint16_t sc, uint32_t sr) {
    const int64_t c2 = int64_t(sc) + (int64_t(t.c2) - t.c1);
    const int64_t r2 = int64_t(sr) + (int64_t(t.r2) - t.r1);
    if (c2 < sc || r2 < sr) return {1, 1, 0, 0};
    return {sc, sr, uint16_t(std::min<int64_t>(c2, kLastColumn)),
            uint32_t(std::min<int64_t>(r2, kLastRow))};
}

bool CopyBlock(CCellStore& target, const CellRange& t, uint16_t sc, uint32_t sr,
               const CCellStore& source) {
    if (t.c1 > t.c2 || t.r1 > t.r2) return true;
    const std::vector<CellRange> clear = CollectClearSet(target, t);
    uint32_t top, bottom;
    ClearSetRows(clear, &top, &bottom);
    CRangeFeed feed(source, CopySourceBlock(t, sc, sr), int64_t(t.c1) - sc, int64_t(t.r1) - sr);
    return RebuildCells(target, top, bottom, clear, feed);
}

bool MoveBlock(CCellStore& store, const CellRange& s, uint16_t dc, uint32_t dr) {
    const int64_t c2 = int64_t(dc) + (s.c2 - s.c1);
    const int64_t r2 = int64_t(dr) + (s.r2 - s.r1);
    if (s.c1 > s.c2 || s.r1 > s.r2 || c2 > kLastColumn || r2 > kLastRow) return false;
    const CellRange t{dc, dr, uint16_t(c2), uint32_t(r2)};
    std::vector<CellRange> clear = CollectClearSet(store, t);
    for (const CellRange& r : CollectClearSet(store, s)) clear.push_back(r);
    uint32_t top, bottom;
    ClearSetRows(clear, &top, &bottom);
    CRangeFeed feed(store, s, int64_t(dc) - s.c1, int64_t(dr) - s.r1);
    return RebuildCells(store, top, bottom, clear, feed);
}

bool CopyFormatStore(CFormatStore& source, CFormatStore& target) {
    target.rowHeights.Clear(true);
    bool ok = CopyFrom(source.runs, target.runs);
    PagedListIter it{kAdvance, nullptr, 0};
    while (ok) {
        const uint16_t* height = source.rowHeights.NextItem2(it);
        if (!height) break;
        ok = target.rowHeights.AppendItem2(*height);
    }
    if (!ok) {
        ReleaseFormatStore(target, true);
        return false;
    }
    std::memcpy(target.columns, source.columns, sizeof target.columns);
    ColumnsChanged(target);
    return true;
}

} // namespace vl
