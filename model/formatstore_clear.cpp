#include "model/formatstore.h"
#include "model/runpage.h"

#include <cstring>

namespace vl {

namespace {

// The runs of one page with a rectangle cut out; splitting can double them.
struct ClearedRuns {
    uint8_t bytes[2 * kPagePayload];
    uint32_t used = 0;
    bool changed = false;

    void Add(uint16_t first, uint16_t last, uint32_t row, uint16_t style) {
        StoreFormatRun(bytes + used, {first, last, row, style});
        used += kFormatRunSize;
    }
};

void CutRuns(const Page* page, const CellRange& rect, ClearedRuns& out) {
    const uint16_t c1 = rect.c1, c2 = rect.c2;
    const uint32_t r1 = rect.r1, r2 = rect.r2;
    for (uint32_t offset = 0; offset < page->used; offset += kFormatRunSize) {
        const FormatRun run = LoadFormatRun(page->payload + offset);
        if (run.row < r1 || run.row > r2 || run.lastColumn < c1 || run.firstColumn > c2) {
            out.Add(run.firstColumn, run.lastColumn, run.row, run.style);
            continue;
        }
        out.changed = true;
        if (run.firstColumn < c1) out.Add(run.firstColumn, uint16_t(c1 - 1), run.row, run.style);
        if (run.lastColumn > c2) out.Add(uint16_t(c2 + 1), run.lastColumn, run.row, run.style);
    }
}

uint32_t Less(uint32_t value, uint32_t amount) {
    return value > amount ? value - amount : 0;
}

// Puts the runs beyond what a page holds at the start of the next page, or on a new page
// when they do not fit there; false when no page was to be had.
bool SpillOver(CCellStore& runs, Page* page, const uint8_t* rest, uint32_t size) {
    Page* next = page->next;
    if (next && next->used + size <= kPagePayload) {
        std::memmove(next->payload + size, next->payload, next->used);
        std::memcpy(next->payload, rest, size);
        next->used = uint16_t(next->used + size);
        runs.SetFreeBytes(Less(runs.FreeBytes(), size));
        return true;
    }
    Page* fresh = runs.AllocPage();
    if (!fresh) return false;
    std::memcpy(fresh->payload, rest, size);
    fresh->used = uint16_t(size);
    runs.LinkPage(fresh, page);
    runs.SetFreeBytes(Less(runs.FreeBytes(), size));
    return true;
}

// Writes the cut runs back; false when an overflow found no page (the page unchanged).
bool Rewrite(CCellStore& runs, Page* page, const ClearedRuns& cut, bool freePages) {
    const uint32_t oldUsed = page->used;
    if (cut.used == 0) {
        runs.SetFreeBytes(Less(runs.FreeBytes(), kPagePayload - oldUsed));
        runs.ReleasePage(page, freePages);
        return true;
    }
    uint32_t keep = cut.used;
    if (keep > kPagePayload) {
        keep = kPagePayload - kPagePayload % kFormatRunSize;
        if (!SpillOver(runs, page, cut.bytes + keep, cut.used - keep)) return false;
    }
    std::memcpy(page->payload, cut.bytes, keep);
    page->used = uint16_t(keep);
    if (keep <= oldUsed)
        runs.SetFreeBytes(runs.FreeBytes() + (oldUsed - keep));
    else
        runs.SetFreeBytes(Less(runs.FreeBytes(), keep - oldUsed));
    return true;
}

} // namespace

bool ClearFormatRect(CFormatStore& store, const CellRange& rect, CellCursor* cursor,
                     bool freePages) {
    CCellStore& runs = store.runs;
    Page* page = cursor && cursor->page ? cursor->page : runs.FirstPage();
    // The cursor's page may be released below; later walks start from the first page.
    if (cursor) *cursor = CellCursor{cursor->flags, nullptr, 0};
    if (!page || RangeEmpty(rect)) return true;
    while (page->prev && (!page->used || runpage::FirstRunRow(page) >= rect.r1)) page = page->prev;
    uint32_t offset = 0;
    runpage::PositionOnRunRow(page, offset, rect.r1);
    runs.ClearRowIndex(false);
    ClearedRuns cut;
    while (page && page->used && runpage::FirstRunRow(page) <= rect.r2) {
        Page* next = page->next;
        cut.used = 0;
        cut.changed = false;
        CutRuns(page, rect, cut);
        if (cut.changed && !Rewrite(runs, page, cut, freePages)) return false;
        page = next;
    }
    return true;
}

} // namespace vl
