#pragma once
// What every image reader's fuzz target asks of a result: a block that passes the header
// check and converts to exactly its pixels, or a failure with a code and nothing left over.

#include "harness.h"
#include "platform/core/alloc.h"
#include "platform/core/packeddib.h"

#include <cstdint>

namespace vl::fuzz {

inline void RequireImageResult(const PackedDib& dib, uint8_t error, long liveBefore) {
    if (!dib) {
        Require(error != 0 && LiveBlockCount() == liveBefore);
        return;
    }
    Require(error == 0);
    DibLayout layout;
    Require(ReadDibLayout(dib, layout));
    // A run-length file of a hundred bytes can stand for 400 million pixels: converting
    // those takes longer than the fuzzer's time limit under the sanitizers. Pictures past
    // 16 million pixels are held to the header check alone.
    if (uint64_t(layout.width) * layout.Rows() > (uint64_t(1) << 24)) return;
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    Require(DibToPixels32(dib, pixels, width, height));
    Require(pixels.size() == size_t(width) * size_t(height));
}

} // namespace vl::fuzz
