#pragma once
// Lists of numbers and ranges as users type them for pages, rows and columns: items
// separated by blanks and commas, each a number or numbers joined by hyphens.

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace vl {

// Each item gives {smaller - 1, larger - 1}; every number within lowest..highest. Returns
// the item count or -1.
int ParseIntegerList(std::string_view text, std::vector<std::pair<int, int>>* pairs, int lowest,
                     int highest);

// The same items as ParseIntegerList, with the numbers as typed, and a chain a-b-c giving
// (a, b) and (b, c). Returns the pair count or -1; with null pairs it only counts.
int ParseNumberRanges(std::string_view text, std::vector<std::pair<uint32_t, uint32_t>>* pairs,
                      uint32_t lowest, uint32_t highest);

} // namespace vl
