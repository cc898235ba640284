// The JPEG reader from arbitrary bytes: every block it returns passes the header check
// and converts to pixels; every failure leaves nothing allocated. Seeds: tests/data/images.

#include "harness.h"
#include "platform/core/alloc.h"
#include "platform/core/imagecodecs.h"

using namespace vl;
using namespace vl::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the end is caught.
    std::vector<uint8_t> copy(data, data + size);
    const long live = LiveBlockCount();
    uint8_t error = 0;
    PackedDib dib = LoadJpeg(copy.data(), copy.size(), &error);
    if (!dib) {
        Require(error != 0 && LiveBlockCount() == live);
        return 0;
    }
    Require(error == 0);
    DibLayout layout;
    Require(ReadDibLayout(dib, layout));
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    Require(DibToPixels32(dib, pixels, width, height));
    Require(pixels.size() == size_t(width) * size_t(height));
    return 0;
}
