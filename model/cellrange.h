#pragma once
// A rectangle of cells, the one form in which every operation takes one: first column and
// row, last column and row, inclusive. Commands pass their selection in the same order.

#include <cstdint>

namespace vl {

struct CellRange {
    uint16_t c1 = 0;
    uint32_t r1 = 0;
    uint16_t c2 = 0;
    uint32_t r2 = 0;
};

inline bool RangeContains(const CellRange& r, uint16_t column, uint32_t row) {
    return column >= r.c1 && column <= r.c2 && row >= r.r1 && row <= r.r2;
}

inline bool RangeEmpty(const CellRange& r) {
    return r.c1 > r.c2 || r.r1 > r.r2;
}

} // namespace vl
