#pragma once
// What every image reader's fuzz target asks of a result: a block that passes the header
// check and converts to exactly its pixels, or a failure with a code and nothing left over.

#include "harness.h"
#include "platform/core/alloc.h"
#include "platform/core/packeddib.h"

namespace vl::fuzz {

inline void RequireImageResult(const PackedDib& dib, uint8_t error, long liveBefore) {
    if (!dib) {
        Require(error != 0 && LiveBlockCount() == liveBefore);
        return;
    }
    Require(error == 0);
    DibLayout layout;
    Require(ReadDibLayout(dib, layout));
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    Require(DibToPixels32(dib, pixels, width, height));
    Require(pixels.size() == size_t(width) * size_t(height));
}

} // namespace vl::fuzz
