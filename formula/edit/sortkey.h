#pragma once
// The order of cell values that every sort of the program follows: the row sort, SORT,
// UNIQUE and the order statistics. Each value is mapped to a key and two keys compare
// field by field, so the order is a strict weak order in either direction by construction.
//
// Ascending: errors by code; then numbers together with the texts that spell a number, by
// value, a number before a text of the same value and such texts by their letters without
// regard to case; then the other texts without regard to case; empty cells last.
// Descending reverses the order inside each class and puts the errors after the texts;
// numbers stay ahead of the texts that spell none, and empty cells stay last, so that a
// heading among the data never counts as its largest value.
// Two values are equal only when both are errors of one code, numbers of one value (0 and
// -0 alike), or texts equal but for case: a number never equals a text.

#include <cstdint>
#include <string_view>

namespace vl {

enum class SortClass : uint8_t { kError, kNumber, kText, kEmpty };

struct SortKey {
    SortClass sortClass = SortClass::kEmpty;
    uint8_t error = 0;     // the record's error code when the class is kError
    bool isText = false;   // in kNumber: a text that spells the number
    double number = 0;     // in kNumber: the value
    std::string_view text; // a text's letters, read in place from its record
};

// The key of one cell record (null for a missing cell). A text spells a number when the
// number conversion of the formulas reads it whole and it holds more than blanks.
SortKey MakeSortKey(const uint8_t* record);

// Negative when `a` goes first, 0 when the two are equal, positive when `b` goes first.
int CompareSortKeys(const SortKey& a, const SortKey& b, bool ascending);

// Upper-cased byte by byte in the program's code page; a text that ends first is smaller.
int CompareTextNoCase(std::string_view a, std::string_view b);

} // namespace vl
