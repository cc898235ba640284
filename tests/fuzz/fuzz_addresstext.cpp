// Address texts from arbitrary bytes: the Go text and the bookmark split, the range parsers
// in both notations, and the writer on what they read.

#include "formula/addresstext.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vl;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    AddressParts parts;
    if (!SplitAddressText(text, parts)) return 0;
    for (bool r1c1 : {false, true}) {
        RangeDescriptor range;
        if (ParseGoRange(parts.rest, r1c1, 5, 7, range))
            (void)FormatCellAddress(parts.file, parts.location, range, r1c1);
    }
    RangeDescriptor range;
    std::size_t end = 0;
    if (ParseAddressRange(parts.rest, 0, 0, range, &end)) fuzz::Require(end <= parts.rest.size());
    return 0;
}
