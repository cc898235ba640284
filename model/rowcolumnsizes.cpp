#include "model/rowcolumnsizes.h"

#include <algorithm>

namespace vl {

namespace {

uint16_t CustomSize(uint16_t entry, uint16_t size) {
    return uint16_t((entry & 0xE000) | ((size & 0x0FFF) << 1) | 1);
}

// Calls `fn` on the entries of rows first to last that the list holds, in order.
template <typename Fn> void ForRowEntries(CPagedList& rows, uint32_t first, uint32_t last, Fn fn) {
    if (first >= rows.ItemCount()) return;
    if (last >= rows.ItemCount()) last = rows.ItemCount() - 1;
    rows.BuildPageIndex();
    uint32_t row = first;
    while (row <= last) {
        uint16_t* entry = rows.GetItem2(row);
        if (!entry) return;
        // The entries of one page lie side by side.
        const uint32_t inPage = kPagePayload / 2 - row % (kPagePayload / 2);
        const uint32_t end = std::min<uint64_t>(uint64_t(row) + inPage - 1, last);
        for (uint32_t r = row; r <= end; ++r) fn(entry[r - row]);
        row = end + 1;
    }
}

} // namespace

bool SetCustomRowHeights(CFormatStore& store, uint32_t first, uint32_t last, uint16_t height) {
    CPagedList& rows = store.rowHeights;
    const bool grown = last < rows.ItemCount() || rows.GrowTo2(last + 1, 0, true);
    ForRowEntries(rows, first, last, [height](uint16_t& e) { e = CustomSize(e, height); });
    return grown;
}

void ClearCustomRowHeights(CFormatStore& store, uint32_t first, uint32_t last) {
    ForRowEntries(store.rowHeights, first, last, [](uint16_t& e) { e = uint16_t(e & ~1u); });
}

void SetCustomColumnWidths(CFormatStore& store, uint16_t first, uint16_t last, uint16_t width) {
    for (uint32_t c = first; c <= last && c < kMaxColumns; ++c)
        store.columns[c].width = CustomSize(store.columns[c].width, width);
    ColumnsChanged(store);
}

bool AutoRowHeightTicked(CFormatStore& store, uint32_t first, uint32_t last) {
    bool ticked = true;
    ForRowEntries(store.rowHeights, first, last, [&ticked](uint16_t& e) {
        if (e & 1) ticked = false;
    });
    return ticked;
}

} // namespace vl
