// Random calls of the statistics built-ins with numbers, texts, errors, empty arguments,
// references, small ranges and small arrays: no crash, no hang, and after each call one
// result on the stack with no string or temporary array left behind.
#include "formula/functable.h"
#include "formula/operands.h"
#include "functions/numeric/statbuiltins.h"
#include "harness.h"

namespace {

using Reader = vl::fuzz::ByteReader;

const char* const kTexts[] = {"", "1", " 2 ", "x", "1e999", "-3.5", "abc", "0.25"};
const double kNumbers[] = {0,      1,     -1,     0.5,   2,    3.7,          10,    1e10,
                           -1e300, 1e300, 1e-310, 0.999, 60.5, 2147483647.0, 46341, 1e-9};

// Cell kinds: 0 none, 1 text, 2 error, 3 and up number; `pick` chooses the value.
void PutCell(vl::CellBuffer& b, uint16_t col, uint32_t row, unsigned kind, unsigned pick) {
    if (kind == 1)
        vl::MakeTextCell(b, col, row, kTexts[pick % 8]);
    else if (kind == 2)
        vl::MakeNumberCell(b, col, row, 0, uint8_t(1 + pick % 12));
    else
        vl::MakeNumberCell(b, col, row, kNumbers[pick % 16]);
}

struct Fixture {
    vl::CEvalContext ctx;
    vl::CCellStore sheet;
    std::vector<uint16_t> rows; // every row the statistics library binds

    Fixture() {
        vl::BindStatisticsBuiltins();
        for (uint16_t i = 0; i < vl::BuiltinFunctionCount(); ++i)
            if (vl::GetBuiltinFunction(i)->implementation != &vl::NotImplementedBuiltin)
                rows.push_back(i);
        // A 4 x 10 block of numbers, texts and errors, with holes.
        vl::CellCursor cursor;
        for (uint32_t row = 0; row < 10; ++row) {
            for (uint16_t col = 0; col < 4; ++col) {
                vl::CellBuffer b;
                if (unsigned kind = (row * 7 + col * 3) % 6) {
                    PutCell(b, col, row, kind, row * 4 + col);
                    sheet.PutCell(b.bytes, cursor);
                }
            }
        }
    }
};

Fixture& Shared() {
    static auto* fixture = new Fixture();
    return *fixture;
}

void PushArray(vl::CEvalContext& ctx, vl::FormulaToken& slot, Reader& in) {
    const uint16_t columns = uint16_t(in.Count(3));
    const uint32_t rows = uint32_t(in.Count(3));
    vl::CArrayBuilder builder(ctx);
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint16_t c = 0; c < columns; ++c) {
            vl::CellBuffer b;
            if (unsigned kind = in.Byte() % 4) {
                PutCell(b, c, r, kind, in.Byte());
                vl::fuzz::Require(builder.PutRecord(b.bytes));
            }
        }
    }
    vl::PushArrayValue(ctx, slot, builder.Detach(), columns, rows);
}

void PushArgument(Fixture& f, Reader& in) {
    vl::CEvalContext& ctx = f.ctx;
    vl::FormulaToken& slot = vl::ClearOperand(ctx.values[++ctx.valueCount]);
    const uint8_t kind = in.Byte() % 8;
    if (kind < 2) {
        slot.type = vl::kTokenNumber;
        slot.number = in.Pick(kNumbers);
    } else if (kind == 2) {
        slot.type = ctx.stringPool.PushString(in.Pick(kTexts)) ? vl::kTokenText : vl::kTokenEmpty;
    } else if (kind == 3) {
        slot.type = vl::kTokenEmpty;
        slot.error = uint8_t((in.Byte() % 13) << 4);
    } else if (kind == 4) {
        slot.type = vl::kTokenReference;
        slot.column = uint16_t(in.Byte() % 5);
        slot.row = in.Byte() % 12;
        slot.cells = &f.sheet;
    } else if (kind < 7) {
        slot.type = vl::kTokenArea;
        slot.firstColumn = uint16_t(in.Byte() % 5);
        slot.firstRow = in.Byte() % 12;
        slot.lastColumn = uint16_t(slot.firstColumn + in.Byte() % 4);
        slot.lastRow = slot.firstRow + in.Byte() % 12;
        slot.cells = &f.sheet;
    } else {
        PushArray(ctx, slot, in);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Fixture& f = Shared();
    vl::CEvalContext& ctx = f.ctx;
    Reader in{data, size};
    while (in.More()) {
        ctx.status = 0;
        ctx.valueCount = 0;
        uint16_t function = f.rows[in.Byte() % f.rows.size()];
        uint16_t count = uint16_t(in.Byte() % 6);
        for (uint16_t i = 0; i < count; ++i) PushArgument(f, in);
        vl::FormulaToken& call = vl::ClearOperand(ctx.values[++ctx.valueCount]);
        call.type = vl::kTokenFunction;
        call.functionIndex = function;
        call.firstArgument = count ? 1 : ctx.valueCount;
        if (!vl::EvalToken(ctx)) {
            // Refused: the stack stays as it was; drop it as the evaluator would.
            vl::fuzz::Require(ctx.valueCount == count + 1);
            vl::ReleaseTemporaries(ctx, uint16_t(ctx.valueCount - 1), count);
        } else {
            vl::fuzz::Require(ctx.valueCount == 1);
            vl::ReleaseTemporaries(ctx, 1, 1);
        }
        vl::fuzz::RequireOnlyResult(ctx, 0);
        ctx.valueCount = 0;
    }
    return 0;
}
