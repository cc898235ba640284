#pragma once
// How the statistical built-ins take their arguments from the value stack: the value
// list (every scalar and every stored cell of every range or array, from the last
// argument to the first), the data argument of the ranked functions, parameters applied
// element by element, and areas read position by position into a matrix.

#include "formula/arraylimits.h"
#include "formula/operands.h"
#include "functions/numeric/matrix.h"
#include "functions/numeric/orderstat.h"

#include <cstdint>
#include <initializer_list>
#include <new>
#include <vector>

namespace vl {

// One value of a value list after the number conversion.
struct ListValue {
    double number = 0;         // 0 unless the value converted (an empty cell named directly)
    FormulaError error = 0;    // of the value or of its conversion
    uint16_t argumentType = 0; // the argument's type before conversion (area or array for cells)
    uint16_t type = 0;         // after conversion: number, or empty (also for failed text)
    bool leftOut = false;      // a range's text that is no number (a header, ""): no value
    bool FromArea() const { return argumentType & kAreaOrArray; }
};

// A removed reference (#REF!) or an intersection of no cells (#NULL!) given as an argument:
// an error where a range was meant.
inline bool IsLostRange(const ListValue& v) {
    return !v.FromArea() && (v.error == kErrRef || v.error == kErrNull);
}

// A range or array argument being walked, with the worksheet whose formula cells report
// themselves when read before they were calculated.
struct AreaWalk {
    explicit AreaWalk(CEvalContext& ctx) : walk(ctx) {}

    // Takes the argument; the slot of an array is marked as taken so that nothing releases
    // its pages twice.
    FormulaError Take(FormulaToken& slot);
    const uint8_t* Next() { return walk.Next(); }
    // The cell's value as an operand, its text pushed on the pool.
    void Load(CEvalContext& ctx, const uint8_t* record, FormulaToken& slot) const;

    CRangeWalk walk;
    CCellStore* cells = nullptr; // null for an array
};

// A cell through the number conversion.
void ConvertCell(CEvalContext& ctx, const AreaWalk& area, const uint8_t* record, ListValue& value);

// The next cell of a walk through the number conversion, numbers read straight from
// their records. False at the end.
inline bool NextCellNumber(CEvalContext& ctx, AreaWalk& area, ListValue& value) {
    const uint8_t* record = area.Next();
    if (!record) return false;
    if (cell::IsNumber(record) && cell::Error(record) == 0) {
        value.number = cell::Number(record);
        value.error = 0;
        value.type = kTokenNumber;
        value.leftOut = false;
    } else {
        ConvertCell(ctx, area, record, value);
    }
    return true;
}

// What a range's text that is no number (a header, "") is: no value for the plain
// functions, the value 0 for their A forms.
enum class RangeTexts { LeftOut, Zero };

// Visits every value of the call's arguments, last argument first, cells of a range or
// array in storage order, their texts that are no number as `texts` says; scalars are
// preset to 0 before their conversion.
template <class Visit>
void GatherValueList(CEvalContext& ctx, Visit&& visit, RangeTexts texts = RangeTexts::LeftOut) {
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (slot.type & kAreaOrArray) {
            AreaWalk area(ctx);
            ListValue value;
            value.argumentType = slot.type;
            value.error = area.Take(slot);
            if (value.error) {
                visit(value);
                continue;
            }
            while (NextCellNumber(ctx, area, value)) {
                if (!value.leftOut) {
                    visit(value);
                } else if (texts == RangeTexts::Zero) {
                    ListValue zero = value;
                    zero.number = 0;
                    zero.error = 0;
                    zero.type = kTokenNumber;
                    visit(zero);
                }
            }
            continue;
        }
        ListValue value;
        value.argumentType = slot.type;
        value.error = GetListNumber(ctx, slot, value.number);
        value.type = slot.type;
        visit(value);
    }
}

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

// Every stored cell of a data argument with its number conversion; the texts point into
// the walk's pages, which must outlive the items.
void GatherDataItems(CEvalContext& ctx, AreaWalk& area, std::vector<DataItem>& items);

// Orders gathered items by their cells as a sort of the worksheet orders rows (sortkey.h),
// items of equal value in the order they were gathered.
void SortDataItems(std::vector<DataItem>& items, bool ascending);

// Positions beyond which an area is not read into a matrix: #MEMORY!.
constexpr uint64_t kMaxAreaPositions = kMaxArrayPositions;

// Reads a taken area into a zero-filled rows x columns matrix: numbers and numeric texts
// at their positions; error cells, other texts and empty cells stay 0. With `codesOnly`
// (an argument whose numbers are codes, which a text written in their place must not
// silently become) a text that is no number is #VALUE!.
FormulaError ReadAreaPositions(CEvalContext& ctx, AreaWalk& area, Matrix& positions,
                               bool codesOnly = false);

// Reads two area arguments (the later one first, as the array stack holds them) into
// zero-filled matrices of their shapes. Their argument errors come first; two shapes
// that differ in rows or columns set `sameShape` false and read nothing.
FormulaError ReadPairedAreas(CEvalContext& ctx, uint16_t firstIndex, uint16_t secondIndex,
                             Matrix& first, Matrix& second, bool& sameShape);

// Ends the call with a one-column array of these numbers; #MEMORY! when a cell cannot be
// stored.
void ReturnColumn(CEvalContext& ctx, const double* values, uint32_t count);

} // namespace vl
