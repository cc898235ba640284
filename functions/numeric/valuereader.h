#pragma once
// The one place that decides how a function's argument values take part. A value arrives
// in one of four shapes: a cell of a range (a whole column too), a cell named on its own,
// a constant written in the formula (or computed there), an element of an array. From a
// range, a named cell or an array only numbers take part: blanks, texts (those that read
// as numbers too) and "" results are left out, or count as 0 for the functions that take
// texts as 0; an error there is the function's result. A constant text that reads as a
// number is that number. Functions that count or test what the others leave out (COUNTA,
// COUNTBLANK, COUNTIF, the IS functions) read their cells themselves.

#include "formula/operands.h"

#include <cstdint>
#include <vector>

namespace vl {

enum class ValueShape : uint8_t { Range, Cell, Constant, Array };

// The shape of an argument of this type (a cell walked out of an area has the area's).
inline ValueShape ShapeOf(uint16_t argumentType) {
    if (argumentType == kTokenArea) return ValueShape::Range;
    if (argumentType == kTokenArray) return ValueShape::Array;
    if (argumentType == kTokenReference) return ValueShape::Cell;
    return ValueShape::Constant;
}

// What a text (and "") of a range, named cell or array is: no value for the plain
// functions, the value 0 for their A forms.
enum class RangeTexts { LeftOut, Zero };

enum class ValueFate : uint8_t { Number, LeftOut, Error };

// One value after the reader decided it.
struct ListValue {
    double number = 0;         // the number taking part (0 for an omitted constant)
    FormulaError error = 0;    // of an Error value
    uint16_t argumentType = 0; // the argument's type before reading (area or array for cells)
    uint16_t type = 0;         // number, or empty for an omitted constant
    ValueFate fate = ValueFate::Number;
    bool leftOut = false; // fate == LeftOut, kept for the callers that only ask this
    bool FromArea() const { return argumentType & kAreaOrArray; }
};

// Decides one value: a walked cell's operand (shape Range or Array) or the argument slot
// itself (Cell or Constant). A text the value holds is taken off the pool.
void ReadValue(CEvalContext& ctx, ValueShape shape, FormulaToken& value, RangeTexts texts,
               ListValue& out);

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
    ValueShape Shape() const { return cells ? ValueShape::Range : ValueShape::Array; }

    CRangeWalk walk;
    CCellStore* cells = nullptr; // null for an array
};

// A walked cell decided by the reader.
void ReadCell(CEvalContext& ctx, const AreaWalk& area, const uint8_t* record, RangeTexts texts,
              ListValue& value);

// The next stored cell of a walk, decided; numbers are read straight from their records.
// False at the end.
inline bool NextAreaValue(CEvalContext& ctx, AreaWalk& area, ListValue& value,
                          RangeTexts texts = RangeTexts::LeftOut) {
    const uint8_t* record = area.Next();
    if (!record) return false;
    if (cell::IsNumber(record) && cell::Error(record) == 0) {
        value.number = cell::Number(record);
        value.error = 0;
        value.type = kTokenNumber;
        value.fate = ValueFate::Number;
        value.leftOut = false;
    } else {
        ReadCell(ctx, area, record, texts, value);
    }
    return true;
}

// Reads argument `i` whatever its shape, visiting every value that takes part (numbers
// and errors; left-out values are not visited) in storage order.
template <class Visit>
void ReadArgumentValues(CEvalContext& ctx, uint16_t i, Visit&& visit,
                        RangeTexts texts = RangeTexts::LeftOut) {
    FormulaToken& slot = Argument(ctx, i);
    ListValue value;
    value.argumentType = slot.type;
    if (slot.type & kAreaOrArray) {
        AreaWalk area(ctx);
        value.error = area.Take(slot);
        if (value.error) {
            value.fate = ValueFate::Error;
            visit(value);
            return;
        }
        while (NextAreaValue(ctx, area, value, texts))
            if (value.fate != ValueFate::LeftOut) visit(value);
        return;
    }
    ReadValue(ctx, ShapeOf(slot.type), slot, texts, value);
    if (value.fate != ValueFate::LeftOut) visit(value);
}

// Visits the values of every argument, the last argument first.
template <class Visit>
void GatherValueList(CEvalContext& ctx, Visit&& visit, RangeTexts texts = RangeTexts::LeftOut) {
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) ReadArgumentValues(ctx, i, visit, texts);
}

// The numbers of arguments first to last - 1 in argument order (an omitted one as 0),
// read the last first; the largest error met, else 0.
FormulaError ReadNumbersInOrder(CEvalContext& ctx, uint16_t first, uint16_t last,
                                std::vector<double>& numbers);

// Positions of an area read into a rows x columns grid: the number at each position that
// has one, and whether it has one.
struct PositionGrid {
    uint32_t rows = 0, columns = 0;
    std::vector<double> numbers;
    std::vector<uint8_t> present;
};

// Reads a taken area position by position; an error cell is the result. With `codesOnly`
// (numbers that are codes, which a text written in their place must not silently become)
// a text is the number it writes, or #VALUE!. #MEMORY! past `maxPositions`.
FormulaError ReadPositionGrid(CEvalContext& ctx, AreaWalk& area, PositionGrid& grid,
                              uint64_t maxPositions, bool codesOnly = false);

// The place of the cell a walk last returned, in the walk's order of places.
uint64_t LinearPlace(const CRangeWalk& walk);

// Two area arguments (the later one read first) as pairs of numbers: a pair with a value
// that is no number on either side is left out; an error on either side is the result.
// Shapes that differ in rows or columns set `sameShape` false and read nothing.
FormulaError ReadPairs(CEvalContext& ctx, uint16_t firstIndex, uint16_t secondIndex,
                       std::vector<double>& first, std::vector<double>& second, bool& sameShape);

} // namespace vl
