// The JPEG reader from arbitrary bytes: every block it returns passes the header check
// and converts to pixels; every failure leaves nothing allocated. Seeds: tests/data/images.

#include "imagecheck.h"
#include "platform/core/imagecodecs.h"

using namespace vl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the end is caught.
    std::vector<uint8_t> copy(data, data + size);
    const long live = LiveBlockCount();
    uint8_t error = 0;
    const PackedDib dib = LoadJpeg(copy.data(), copy.size(), &error);
    fuzz::RequireImageResult(dib, error, live);
    return 0;
}
