#pragma once
// Reading the arguments of a fixed-count built-in. A call first passes BeginScalarCall
// (argument count, element-by-element application over ranges and arrays); its arguments
// are then read from the last to the first, because each reader consumes the newest text
// on the pool. The reader keeps the largest error met, as every function merges them.

#include "formula/operands.h"
#include "values/isodate.h"

#include <cassert>
#include <cfloat>
#include <cstdint>
#include <string>

namespace vl {

// False when the call has already ended: a wrong argument count (status #SYNTAX!) or a
// run element by element because an argument is a range or array.
inline bool BeginScalarCall(CEvalContext& ctx, uint16_t count) {
    return CheckArgumentCount(ctx, count, count) && !ApplyOverArrays(ctx);
}

// Date and time texts longer than this are refused with #VALUE!.
constexpr std::size_t kMaxDateText = 1027;

// GetDateTimeArg, but a text longer than kMaxDateText and an empty value are #VALUE!.
FormulaError ReadDateTimeArg(CEvalContext& ctx, FormulaToken& slot, IsoDateTime& out);

// As BeginScalarCall with minimum to maximum arguments, but only the arguments whose bit is
// set in `elementwise` (bit i for argument i) run element by element; the others are passed
// to every run unchanged.
bool BeginPartlyScalarCall(CEvalContext& ctx, uint16_t minimum, uint16_t maximum,
                           uint64_t elementwise);

class CArgReader {
public:
    explicit CArgReader(CEvalContext& ctx) : ctx_(ctx), next_(ArgumentCount(ctx)) {}

    CArgReader& Number(uint16_t i, double& out, double minimum = -DBL_MAX,
                       double maximum = DBL_MAX) {
        Merge(GetNumberArg(ctx_, Take(i), out, minimum, maximum));
        return *this;
    }
    CArgReader& Int(uint16_t i, int32_t& out, int32_t minimum = INT32_MIN,
                    int32_t maximum = INT32_MAX) {
        Merge(GetIntArg(ctx_, Take(i), out, minimum, maximum));
        return *this;
    }
    CArgReader& Int64(uint16_t i, int64_t& out, int64_t minimum, int64_t maximum) {
        Merge(GetInt64Arg(ctx_, Take(i), out, minimum, maximum));
        return *this;
    }
    CArgReader& Text(uint16_t i, std::string& out) {
        Merge(GetStringArg(ctx_, Take(i), out));
        return *this;
    }
    CArgReader& DateTime(uint16_t i, IsoDateTime& out) {
        Merge(ReadDateTimeArg(ctx_, Take(i), out));
        return *this;
    }
    // Whether argument i was written empty (or is a reference to an empty cell): true
    // only after it was read.
    bool WasEmpty(uint16_t i) const {
        const FormulaToken& slot = Argument(ctx_, i);
        return slot.type == kTokenEmpty && slot.error == 0;
    }
    void Merge(FormulaError e) { error = MergeError(error, e); }
    FormulaToken& Take(uint16_t i) {
        assert(i < next_ && "arguments are read from the last to the first");
        next_ = i;
        return Argument(ctx_, i);
    }

    FormulaError error = 0;

private:
    CEvalContext& ctx_;
    uint16_t next_;
};

} // namespace vl
