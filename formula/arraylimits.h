#pragma once
// How large a temporary array or a matrix read from an area may be. One formula over whole
// columns can name billions of positions; past this cap it gives #MEMORY! and allocates
// nothing.

#include <cstdint>

namespace vl {

constexpr uint64_t kMaxArrayPositions = uint64_t(1) << 26;

} // namespace vl
