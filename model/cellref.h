#pragma once
// One cell reference as formulas, views, containers and the undo history exchange it.

#include <cstdint>

namespace vl {

// Reference flags. Row and column are always absolute positions; the relative bits only
// say how the reference is written back.
constexpr uint8_t kRefRow = 1;
constexpr uint8_t kRefRowRelative = 2;
constexpr uint8_t kRefRowBackward = 4;
constexpr uint8_t kRefColumn = 8;
constexpr uint8_t kRefColumnRelative = 16;
constexpr uint8_t kRefColumnBackward = 32;
constexpr uint8_t kRefOutOfRange = 64;
constexpr uint8_t kRefCell = kRefRow | kRefColumn;

struct CellRef {
    uint16_t column = 0; // 0-based
    uint32_t row = 0;    // 0-based
    uint8_t flags = 0;
};

} // namespace vl
