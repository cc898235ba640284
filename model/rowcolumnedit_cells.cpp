#include "model/arrayelements.h"
#include "model/rangeops.h"
#include "model/rowcolumnedit.h"

namespace vl {

namespace {

bool IsElement(const uint8_t* r) {
    return (cell::Flags(r) & kCellArrayElement) != 0;
}

// Applies `change` to every record from the page `from` on, in place. True when the store
// holds an array element anywhere (the pages before `from` are only looked at), so that
// only then the walk for strays follows.
template <class Change> bool ChangeRecords(CCellStore& store, Page* from, Change&& change) {
    bool elements = false;
    Page* page = store.FirstPage();
    for (; page && page != from && !elements; page = page->next)
        for (uint32_t offset = 0; offset < page->used && !elements;
             offset += cell::Length(page->payload + offset))
            elements = IsElement(page->payload + offset);
    for (page = from; page; page = page->next)
        for (uint32_t offset = 0; offset < page->used;
             offset += cell::Length(page->payload + offset)) {
            uint8_t* r = page->payload + offset;
            elements = elements || IsElement(r);
            change(r);
        }
    return elements;
}

} // namespace

bool RowsInsertFit(const CCellStore& store, uint32_t first, uint32_t count) {
    const Page* last = store.FirstPage();
    if (!last) return true;
    while (last->next && last->next->used) last = last->next;
    // Records are in row order, so the last one holds the highest row.
    uint32_t row = 0;
    for (uint32_t offset = 0; offset < last->used; offset += cell::Length(last->payload + offset))
        row = cell::Row(last->payload + offset);
    return row < first || uint64_t(row) + count <= kLastRow;
}

bool ColumnsInsertFit(const CCellStore& store, uint16_t first, uint16_t count) {
    for (const Page* page = store.FirstPage(); page; page = page->next) {
        for (uint32_t offset = 0; offset < page->used;) {
            const uint8_t* r = page->payload + offset;
            const uint16_t column = cell::Column(r);
            if (column >= first && uint32_t(column) + count > kLastColumn) return false;
            offset += cell::Length(r);
        }
    }
    return true;
}

bool InsertRowsInCellStore(CCellStore& store, uint32_t first, uint32_t count) {
    if (count == 0) return true;
    if (!RowsInsertFit(store, first, count)) return false;
    store.ClearRowIndex(false);
    if (ChangeRecords(store, store.StartPageForRow(first), [&](uint8_t* r) {
            if (cell::Row(r) >= first) StoreU32(r + 3, cell::Row(r) + count);
        }))
        DropStrayArrayElements(store);
    return true;
}

void RemoveRowsFromCellStore(CCellStore& store, uint32_t first, uint32_t last) {
    if (first > last) return;
    ClearRect(store, {0, first, kLastColumn, last}, nullptr, true);
    const uint32_t count = last - first + 1;
    store.ClearRowIndex(false);
    if (ChangeRecords(store, store.StartPageForRow(first), [&](uint8_t* r) {
            if (cell::Row(r) > last) StoreU32(r + 3, cell::Row(r) - count);
        }))
        DropStrayArrayElements(store);
}

bool InsertColumnsInCellStore(CCellStore& store, uint16_t first, uint16_t count) {
    if (count == 0) return true;
    if (!ColumnsInsertFit(store, first, count)) return false;
    store.ClearRowIndex(false);
    if (ChangeRecords(store, store.FirstPage(), [&](uint8_t* r) {
            if (cell::Column(r) >= first) StoreU16(r + 1, uint16_t(cell::Column(r) + count));
        }))
        DropStrayArrayElements(store);
    return true;
}

} // namespace vl
