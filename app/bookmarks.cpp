#include "app/bookmarks.h"

#include "formula/addresstext.h"

namespace vl {

std::string ShownBookmark(std::string_view stored, bool r1c1) {
    AddressParts parts;
    RangeDescriptor range;
    std::size_t end = 0;
    if (!SplitAddressText(stored, parts) || !ParseAddressRange(parts.rest, 0, 0, range, &end))
        return std::string(stored);
    std::string shown = FormatCellAddress(
        parts.file, parts.hasLocation ? std::string_view(parts.location) : std::string_view(),
        range, r1c1);
    const std::string_view tail = parts.rest.substr(end);
    if (!tail.empty() && shown.size() + tail.size() <= kMaxAddressText) shown += tail;
    return shown;
}

} // namespace vl
