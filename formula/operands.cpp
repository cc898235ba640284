#include "formula/operands.h"

#include "formula/literals.h"
#include "formula/spreadreach.h"
#include "values/formatdouble.h"

#include <cmath>

namespace vl {

namespace {

void SetErrorIfNone(FormulaToken& slot, FormulaError error) {
    if (slot.error == 0) slot.error = error;
}

void MakeEmpty(FormulaToken& slot) {
    slot.type = kTokenEmpty;
    slot.number = 0;
}

// The cell's value into the slot, the cell's error merged into the slot's.
void LoadCell(CEvalContext& ctx, FormulaToken& slot, const uint8_t* record) {
    if (!record) {
        MakeEmpty(slot);
        return;
    }
    slot.number = 0;
    std::string_view text;
    bool isText = false;
    if (cell::IsText(record)) {
        text = cell::Text(record);
        isText = true;
    } else if (cell::IsNumber(record)) {
        slot.type = kTokenNumber;
        slot.number = cell::Number(record);
    } else {
        uint8_t result = cell::ResultFlags(record);
        if (result & kResultText) {
            text = cell::CachedText(record);
            isText = true;
        } else {
            slot.type = kTokenNumber;
            slot.number = cell::CachedNumber(record);
        }
        if (!(result & kResultCalculated) && slot.cells) NotePending(ctx, slot.cells, record);
    }
    if (isText) {
        if (ctx.stringPool.PushString(text)) {
            slot.type = kTokenText;
        } else {
            slot.type = kTokenEmpty;
            slot.error = MergeError(slot.error, kErrValue);
        }
    }
    slot.error = MergeError(slot.error, FormulaError(record[0] & 0xF0));
}

std::size_t SkipSpaces(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

// The rounding of whole-number arguments: halves away from zero.
double RoundHalfAway(double value) {
    return std::trunc(value < 0 ? value - 0.5 : value + 0.5);
}

// Reference resolution, then text converted to a number; the slot is then a number,
// an empty value or something else that no conversion applies to.
void ToNumberSlot(CEvalContext& ctx, FormulaToken& slot) {
    ResolveReferenceValue(ctx, slot);
    TextToNumberOperand(ctx, slot);
}

FormulaError RejectOther(CEvalContext& ctx, FormulaToken& slot) {
    ReleaseOperand(ctx, slot);
    SetErrorIfNone(slot, kErrValue);
    return slot.error;
}

} // namespace

// Every path that takes a text or an array value pops it, so that the pool and the array
// stack stay paired with the value stack; a slot given up for an error is consumed too.
void ReleaseOperand(CEvalContext& ctx, FormulaToken& slot) {
    if (slot.type == kTokenText) {
        ctx.stringPool.PopTempString();
    } else if (slot.type == kTokenArray) {
        Page* chain = ctx.scratch.PopPointer();
        if (chain) ctx.scratch.cells.FreePageChain(chain);
    } else {
        return;
    }
    MakeEmpty(slot);
}

void NotePending(CEvalContext& ctx, CCellStore* cells, const uint8_t* record) {
    FormulaToken& pending = ClearOperand(ctx.pendingPrecedent);
    pending.column = cell::Column(record);
    pending.row = cell::Row(record);
    pending.refFlags = kRefCell;
    pending.cells = cells;
    ctx.pendingCells.Add({cells, pending.row, pending.column});
}

void CellToOperand(CEvalContext& ctx, FormulaToken& slot, const uint8_t* record) {
    slot.error = 0;
    LoadCell(ctx, slot, record);
}

void ResolveReferenceValue(CEvalContext& ctx, FormulaToken& slot) {
    if (slot.type != kTokenReference) return;
    if (slot.error) {
        MakeEmpty(slot);
        return;
    }
    if (slot.cells) NoteRead(ctx, slot.cells, {slot.column, slot.row, slot.column, slot.row});
    const uint8_t* record = slot.cells ? FindCell(*slot.cells, slot.row, slot.column) : nullptr;
    LoadCell(ctx, slot, record);
}

FormulaError GetNumberArg(CEvalContext& ctx, FormulaToken& slot, double& out, double minimum,
                          double maximum) {
    ToNumberSlot(ctx, slot);
    if (slot.type == kTokenNumber) {
        out = slot.number;
        if (!(slot.number >= minimum && slot.number <= maximum)) SetErrorIfNone(slot, kErrNum);
        return slot.error;
    }
    if (slot.type == kTokenEmpty) return slot.error;
    return RejectOther(ctx, slot);
}

FormulaError GetListNumber(CEvalContext& ctx, FormulaToken& slot, double& out, double minimum,
                           double maximum) {
    ResolveReferenceValue(ctx, slot);
    if (slot.type == kTokenText && slot.error == 0) {
        std::string_view text = ctx.stringPool.PopTempString();
        if (text.find_first_not_of(' ') == std::string_view::npos) {
            slot.type = kTokenEmpty;
            slot.number = 0;
            slot.error = kErrNum;
            return slot.error;
        }
        ctx.stringPool.PushString(text);
    }
    return GetNumberArg(ctx, slot, out, minimum, maximum);
}

FormulaError GetIntArg(CEvalContext& ctx, FormulaToken& slot, int32_t& out, int32_t minimum,
                       int32_t maximum) {
    ToNumberSlot(ctx, slot);
    if (slot.type == kTokenNumber) {
        double x = slot.number;
        if (!(x <= 2147483647.0 && x >= -2147483647.0)) {
            SetErrorIfNone(slot, kErrNum);
            return slot.error;
        }
        double rounded = RoundHalfAway(x);
        if (rounded > 2147483647.0) rounded = 2147483647.0;
        out = int32_t(rounded);
        if (out < minimum || out > maximum) SetErrorIfNone(slot, kErrNum);
        return slot.error;
    }
    if (slot.type == kTokenEmpty) return slot.error;
    return RejectOther(ctx, slot);
}

FormulaError GetInt64Arg(CEvalContext& ctx, FormulaToken& slot, int64_t& out, int64_t minimum,
                         int64_t maximum) {
    ToNumberSlot(ctx, slot);
    if (slot.type == kTokenNumber) {
        // Beyond 2^63 no conversion is defined; such values lie outside every bound.
        constexpr double kLimit = 9223372036854775807.0;
        double rounded = RoundHalfAway(slot.number);
        if (!(rounded < kLimit && rounded > -kLimit)) {
            SetErrorIfNone(slot, kErrNum);
            return slot.error;
        }
        out = int64_t(rounded);
        if (out < minimum || out > maximum) SetErrorIfNone(slot, kErrNum);
        return slot.error;
    }
    if (slot.type == kTokenEmpty) return slot.error;
    return RejectOther(ctx, slot);
}

std::string NumberAsText(double value) {
    return FormatGeneralNumber(value);
}

FormulaError GetStringArg(CEvalContext& ctx, FormulaToken& slot, std::string& out) {
    ResolveReferenceValue(ctx, slot);
    if (slot.type == kTokenNumber) {
        std::string text =
            slot.error ? std::string(GetFormulaErrorText(slot.error)) : NumberAsText(slot.number);
        if (!ctx.stringPool.PushString(text)) {
            MakeEmpty(slot);
            SetErrorIfNone(slot, kErrValue);
            return slot.error;
        }
        slot.type = kTokenText;
    }
    if (slot.type == kTokenText) {
        out.assign(ctx.stringPool.PopTempString());
        return slot.error;
    }
    if (slot.type == kTokenEmpty) return slot.error;
    return RejectOther(ctx, slot);
}

FormulaError GetDateTimeArg(CEvalContext& ctx, FormulaToken& slot, IsoDateTime& out) {
    ResolveReferenceValue(ctx, slot);
    if (slot.type == kTokenText) {
        std::string_view text = ctx.stringPool.PopTempString();
        if (!ParseIsoDateTime(out, text)) SetErrorIfNone(slot, kErrValue);
        return slot.error;
    }
    if (slot.type == kTokenEmpty) return slot.error;
    return RejectOther(ctx, slot);
}

FormulaError GetRangeArg(CEvalContext& ctx, FormulaToken& slot, Page*& firstPage) {
    firstPage = nullptr;
    if (slot.type == kTokenReference) MakeOneCellArea(slot);
    if (slot.type == kTokenArea) {
        if (slot.error == 0 && slot.cells) {
            firstPage = slot.cells->FirstPage();
            NoteRead(ctx, slot.cells,
                     {slot.firstColumn, slot.firstRow, slot.lastColumn, slot.lastRow});
        }
        return slot.error;
    }
    if (slot.type == kTokenArray) {
        Page* chain = ctx.scratch.PopPointer();
        // An array carrying an error still owns its chain, which nobody will walk.
        if (slot.error == 0)
            firstPage = chain;
        else if (chain)
            ctx.scratch.cells.FreePageChain(chain);
        return slot.error;
    }
    if (slot.type == kTokenEmpty) return slot.error;
    return RejectOther(ctx, slot);
}

void MakeOneCellArea(FormulaToken& slot) {
    if (slot.type != kTokenReference) return;
    slot.type = kTokenArea;
    slot.firstColumn = slot.lastColumn = slot.column;
    slot.firstRow = slot.lastRow = slot.row;
    slot.firstFlags = slot.lastFlags = slot.refFlags;
}

bool TextAsNumber(std::string_view text, double& value) {
    std::size_t start = SkipSpaces(text, 0);
    std::size_t end = 0;
    if (!ScanNumber(text.substr(start), value, end, false)) return false;
    return SkipSpaces(text, start + end) == text.size() && !IsOutOfRange(value);
}

void TextToNumberOperand(CEvalContext& ctx, FormulaToken& slot) {
    if (slot.type != kTokenText) return;
    std::string_view text = ctx.stringPool.PopTempString();
    double value = 0;
    if (slot.error == 0 && TextAsNumber(text, value)) {
        slot.type = kTokenNumber;
        slot.number = value;
        return;
    }
    MakeEmpty(slot);
    SetErrorIfNone(slot, kErrNum);
}

bool IsAcceptableResult(double value) {
    return !IsOutOfRange(value);
}

} // namespace vl
