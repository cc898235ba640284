#pragma once
// The reference texts that automation clients pass for cells and ranges: "$B$3" or
// "$B$3:$D$5" in A1 notation, "R3C2" or "R3C2:R5C4" in R1C1, by the addressing setting.

#include "model/cellref.h"
#include "model/rangedescriptor.h"
#include "platform/com/bstr.h"

namespace vl {

constexpr size_t kReferenceBuffer = 1024;

struct ParsedCellRef {
    CellRef first;
    CellRef last; // equal to the first for a single cell
};

// True when the text is a usable reference: one or two corners and nothing after them,
// every part absolute and inside the grid, both corners naming the same parts (both a
// column and a row, or in R1C1 both only rows or only columns).
bool ParseCellRefBstr(const CBstr& text, bool addressingA1, ParsedCellRef& out);
// The same with the addressing setting of the profile.
bool ParseCellRefBstr(const CBstr& text, ParsedCellRef& out);

// The rectangle of a usable reference, corners in order; a reference of rows only spans
// every column, one of columns only every row.
CellRange RangeOfRef(const ParsedCellRef& ref);

} // namespace vl
