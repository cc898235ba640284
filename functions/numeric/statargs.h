#pragma once
// How the statistical built-ins take their arguments from the value stack, over the value
// reader (valuereader.h): the data argument of the ranked functions, parameters applied
// element by element, and areas read position by position into a matrix.

#include "formula/arraylimits.h"
#include "formula/operands.h"
#include "functions/numeric/matrix.h"
#include "functions/numeric/orderstat.h"
#include "functions/numeric/valuereader.h"

#include <cstdint>
#include <initializer_list>
#include <new>
#include <vector>

namespace vl {

// Runs an implementation that keeps values in standard containers: running out of
// memory there ends the call with #MEMORY!.
template <class Body> void GuardStatMemory(CEvalContext& ctx, Body&& body) {
    try {
        body();
    } catch (const std::bad_alloc&) {
        ReleaseArguments(ctx);
        ReturnError(ctx, kErrMemory);
    }
}

// Applies the call element by element over those of the listed arguments that are ranges
// or arrays, the others passed whole; true when it did.
bool ApplyOverParameters(CEvalContext& ctx, std::initializer_list<uint16_t> parameters);

// The numbers of a data argument as the reader takes them, with their cells; an error
// cell is the result. The items point into the walk's pages, which must outlive them.
FormulaError GatherDataItems(CEvalContext& ctx, AreaWalk& area, std::vector<DataItem>& items);

// Orders gathered items by their cells as a sort of the worksheet orders rows (sortkey.h),
// items of equal value in the order they were gathered.
void SortDataItems(std::vector<DataItem>& items, bool ascending);

// Positions beyond which an area is not read into a matrix: #MEMORY!.
constexpr uint64_t kMaxAreaPositions = kMaxArrayPositions;

// Reads a taken area into a zero-filled rows x columns matrix: its numbers at their
// positions, other cells 0; an error cell is the result. With `codesOnly`
// (an argument whose numbers are codes, which a text written in their place must not
// silently become) a text is the number it writes, or #VALUE!.
FormulaError ReadAreaPositions(CEvalContext& ctx, AreaWalk& area, Matrix& positions,
                               bool codesOnly = false);

// Reads two area arguments (the later one first, as the array stack holds them) into
// zero-filled matrices of their shapes (ReadAreaPositions). Their argument errors come
// first; two shapes that differ in rows or columns set `sameShape` false and read nothing.
FormulaError ReadPairedAreas(CEvalContext& ctx, uint16_t firstIndex, uint16_t secondIndex,
                             Matrix& first, Matrix& second, bool& sameShape);

// Ends the call with a one-column array of these numbers; #MEMORY! when a cell cannot be
// stored.
void ReturnColumn(CEvalContext& ctx, const double* values, uint32_t count);

} // namespace vl
