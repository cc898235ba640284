#pragma once
// Steps shared by the walks over cell pages: every page on a chain holds at least one
// record, and records start at payload offset 0.

#include "model/cellrecord.h"
#include "model/pagedlist.h"

#include <cstdint>

namespace vl::cellwalk {

inline uint32_t FirstRow(const Page* page) {
    return cell::Row(page->payload);
}

// The row of a page's last record (of an empty page: 0).
inline uint32_t LastRow(const Page* page) {
    uint32_t row = 0;
    for (uint32_t offset = 0; offset < page->used; offset += cell::Length(page->payload + offset))
        row = cell::Row(page->payload + offset);
    return row;
}

// Moves on to the page whose records may precede or hold `row`; the pages skipped end
// before the row begins.
inline void PositionOnRow(Page*& page, uint32_t& offset, uint32_t row) {
    while (page->next && page->next->used && FirstRow(page->next) < row) {
        page = page->next;
        offset = 0;
    }
}

// Moves from the end of a page to the start of the next one; false at the end of the chain.
inline bool StepPage(Page*& page, uint32_t& offset) {
    while (offset >= page->used) {
        if (!page->next) return false;
        page = page->next;
        offset = 0;
    }
    return true;
}

} // namespace vl::cellwalk
