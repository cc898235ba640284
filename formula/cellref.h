#pragma once
// Single cell references in A1 and R1C1 text: the scanners that read them and the
// writers that write them back. The grid has 2047 columns (A to BZS) and 2,097,152 rows.

#include "formula/token.h"
#include "model/cellref.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CEvalContext;

// Both scanners return the flags, 0 when the text is no reference. An out-of-range part
// sets kRefOutOfRange and holds kColumnOutOfRange or kRowOutOfRange; digit runs of any
// length are read without wrapping. `end` counts the characters read.
uint8_t ParseA1Ref(std::string_view text, CellRef& ref, std::size_t& end);
uint8_t ParseR1C1Ref(std::string_view text, uint16_t baseColumn, uint32_t baseRow, CellRef& ref,
                     std::size_t& end);
uint8_t ParseR1C1Ref(const CEvalContext& ctx, std::string_view text, CellRef& ref,
                     std::size_t& end);

// Appends the A1 text ("$B$3", "C", "$5"); a position outside the grid is written "?".
uint8_t RefToA1Text(std::string& out, const CellRef& ref);
std::string RefToA1Text(const CellRef& ref);

// Appends the R1C1 text relative to the base cell ("R", "R[-2]", "R5C[1]") and sets the
// direction bits of relative parts to match the offsets written.
void FormatReference(std::string& out, CellRef& ref, uint16_t baseColumn, uint32_t baseRow);
void FormatReference(const CEvalContext& ctx, std::string& out, CellRef& ref);

// A1 column letters in bijective base 26: 0 is "A", 701 "ZZ", 702 "AAA", 2046 "BZS".
void AppendColumnLetters(std::string& out, uint16_t column);

} // namespace vl
