#pragma once
// Class and interface identifiers, written and read in the registry form
// "{94A639E6-E2D3-4A33-BDFD-1C2844446310}".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

struct Guid {
    std::array<uint8_t, 16> bytes{}; // in the order the text shows them

    friend bool operator==(const Guid&, const Guid&) = default;
};

// The identifier of a text with or without braces, in either case; false when it is none.
bool ParseGuid(std::string_view text, Guid& out);
std::string GuidToText(const Guid& guid);
// For identifiers fixed in the code: the text must be well formed.
Guid GuidOf(std::string_view text);

} // namespace vl
