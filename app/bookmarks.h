#pragma once
// Bookmarks of the address box: a reference stored in R1C1 notation, the separator and the
// user's name. The list shows each in the notation in use.

#include <string>
#include <string_view>

namespace vl {

// Bookmarks that Add Bookmark accepts (a profile may bring one more).
constexpr int kMaxAddedBookmarks = 49;

// A stored bookmark as the list shows it: the location and range written again in the
// notation (`r1c1`), then the tail when both fit. A bookmark whose range does not parse
// shows as it is stored.
std::string ShownBookmark(std::string_view stored, bool r1c1);

} // namespace vl
