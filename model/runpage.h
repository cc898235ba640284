#pragma once
// Steps shared by the walks over format-run pages.

#include "model/pagedlist.h"
#include "platform/core/bytes.h"

#include <cstdint>

namespace vl::runpage {

inline uint32_t FirstRunRow(const Page* page) {
    return LoadU32(page->payload + 4);
}

// Moves on to the page whose runs may precede or hold `row`.
inline void PositionOnRunRow(Page*& page, uint32_t& offset, uint32_t row) {
    while (page->next && page->next->used && FirstRunRow(page->next) < row) {
        page = page->next;
        offset = 0;
    }
}

} // namespace vl::runpage
