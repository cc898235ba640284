#pragma once
// Address texts of the address box, the bookmarks, the Go command and the reference picked
// into a formula: one writer (FormatCellAddress) and the readers that split a located
// address and parse its range. Cells are written relative in A1 and absolute in R1C1.

#include "model/rangedescriptor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// Address texts (a location with its range, a bookmark) hold at most this many bytes.
constexpr std::size_t kMaxAddressText = 255;
// Between a bookmark's reference and its name.
constexpr const char kBookmarkSeparator[] = "  -  ";

// True when a location needs no quotes: it begins with a letter, "_" or "\" and holds only
// letters, digits, "_" and "\".
bool IsUnquotedName(std::string_view location);

// A location in quotes, each quote inside it doubled, so that it reads back whole.
std::string QuotedLocation(std::string_view location);

// The range alone: one cell when it is one, else both corners joined by ":"; whole columns
// or whole rows (by the descriptor's kind) in the short form of the notation.
std::string FormatRangeText(const RangeDescriptor& range, bool r1c1);

// "[file]location!range" (the file part only when `file` is not empty), the location quoted
// when it is not a plain name; the range alone when there is no location or the whole
// would not fit in `limit` with room for the quotes and the "!".
std::string FormatCellAddress(std::string_view file, std::string_view location,
                              const RangeDescriptor& range, bool r1c1,
                              std::size_t limit = kMaxAddressText);

// A located address split into its parts: an optional quote around the location (a quote
// doubled inside it stands for one), an optional "[file]" (trailing blanks cut; inside
// quotes the file ends at the last "]" that a "\" or the closing quote follows, so that a
// path may hold "]"), the location up to "!" (or the closing quote), then the rest (the
// range and whatever follows it).
struct AddressParts {
    std::string file;
    std::string location;
    bool hasLocation = false;
    std::string_view rest;
};
// False when a quote is not closed or a bracket not ended, or a quoted location is not
// followed by "!".
bool SplitAddressText(std::string_view text, AddressParts& out);

// One R1C1 reference, or two joined by ":" (relative parts counted from the base cell). A
// column reference spans every row, a row reference every column. True only when both ends
// were read, neither is out of range and both are of the same kind. `end`, when given,
// receives the length read.
bool ParseAddressRange(std::string_view text, uint16_t baseColumn, uint32_t baseRow,
                       RangeDescriptor& out, std::size_t* end = nullptr);
// The same in A1 notation.
bool ParseA1AddressRange(std::string_view text, RangeDescriptor& out, std::size_t* end = nullptr);

// The range of the Go command: the whole text (blanks around it aside) is one range in the
// notation; a single reference must name a cell.
bool ParseGoRange(std::string_view text, bool r1c1, uint16_t baseColumn, uint32_t baseRow,
                  RangeDescriptor& out);

} // namespace vl
