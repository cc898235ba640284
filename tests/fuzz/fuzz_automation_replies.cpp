// Replies of automation servers as trees of variants built from the input: every type,
// references, arrays of one to three dimensions with any bounds, rows filled only in part
// and nested arrays, through the conversion to formula values and the column of several
// property replies. No crash, no allocation beyond what the input pays for, and nothing
// left on the string pool or the array stack but the one result.
#include "formula/operands.h"
#include "functions/general/automationbridge.h"
#include "functions/general/variantvalue.h"
#include "harness.h"

#include <cstring>

namespace {

using Reader = vl::fuzz::ByteReader;

constexpr int kMaxDepth = 3;

template <class T> T Raw(Reader& r) {
    uint8_t bytes[sizeof(T)];
    for (uint8_t& b : bytes) b = r.Byte();
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

vl::CVariant Tree(Reader& r, int depth);

// Each element costs at least a byte of the input, so the counts stay within what is left.
std::shared_ptr<vl::CSafeArray> Array(Reader& r, int depth) {
    const uint8_t shape = r.Byte();
    const uint32_t dimensions = 1 + shape % 3;
    std::vector<vl::SafeArrayBound> bounds;
    uint64_t total = 1;
    for (uint32_t d = 0; d < dimensions; ++d) {
        const int32_t lower = shape & 0x10 ? Raw<int32_t>(r) : int32_t(int8_t(r.Byte()));
        const uint32_t count = shape & 0x20 ? Raw<uint16_t>(r) : r.Byte() % 8;
        bounds.push_back({lower, count});
        total *= count;
    }
    if (total > r.size - r.pos) return nullptr;
    auto array = vl::CSafeArray::Create(bounds);
    if (!array) return nullptr;
    // Rows filled only up to a count of their own leave the rest empty.
    const uint32_t rows = bounds[0].count;
    const uint32_t columns = dimensions > 1 ? bounds[1].count : 1;
    for (uint32_t i = 0; i < rows && r.More(); ++i) {
        const uint32_t filled = columns ? r.Byte() % (columns + 1) : 0;
        for (uint32_t j = 0; j < filled && r.More(); ++j) {
            int32_t index[3] = {int32_t(int64_t(bounds[0].lowerBound) + i), 0, 0};
            if (dimensions > 1) index[1] = int32_t(int64_t(bounds[1].lowerBound) + j);
            if (dimensions > 2) index[2] = bounds[2].lowerBound;
            array->PutElement(std::span(index, dimensions), Tree(r, depth + 1));
        }
    }
    return array;
}

vl::CVariant Tree(Reader& r, int depth) {
    static const uint16_t kTypes[] = {vl::VT_EMPTY,
                                      vl::VT_NULL,
                                      vl::VT_I1,
                                      vl::VT_I2,
                                      vl::VT_I4,
                                      vl::VT_INT,
                                      vl::VT_ERROR,
                                      vl::VT_UI1,
                                      vl::VT_UI2,
                                      vl::VT_UI4,
                                      vl::VT_UINT,
                                      vl::VT_I8,
                                      vl::VT_UI8,
                                      vl::VT_CY,
                                      vl::VT_R4,
                                      vl::VT_R8,
                                      vl::VT_DATE,
                                      vl::VT_BSTR,
                                      vl::VT_BOOL,
                                      vl::VT_DECIMAL,
                                      vl::VT_DISPATCH,
                                      vl::VT_BYREF | vl::VT_VARIANT,
                                      vl::VT_ARRAY | vl::VT_VARIANT,
                                      vl::VT_ARRAY | vl::VT_R8};
    const uint16_t vt = r.Pick(kTypes);
    switch (vt) {
    case vl::VT_R4:
    case vl::VT_R8:
        return vl::CVariant::R8(Raw<double>(r));
    case vl::VT_DATE:
        return vl::CVariant::Date(Raw<double>(r));
    case vl::VT_BSTR: {
        // Up to 65,535 bytes, as many as the input still has.
        const std::size_t wanted = Raw<uint16_t>(r);
        std::string text;
        while (text.size() < wanted && r.More()) text += char(r.Byte());
        return vl::CVariant::Bstr(std::move(text));
    }
    case vl::VT_DECIMAL:
        return vl::CVariant::Dec(
            {uint8_t(r.Byte() % 30), bool(r.Byte() & 1), Raw<uint32_t>(r), Raw<uint64_t>(r)});
    case vl::VT_BYREF | vl::VT_VARIANT:
        return depth < kMaxDepth ? vl::CVariant::RefTo(Tree(r, depth + 1)) : vl::CVariant{};
    case vl::VT_ARRAY | vl::VT_VARIANT:
    case vl::VT_ARRAY | vl::VT_R8: {
        if (depth >= kMaxDepth) return {};
        vl::CVariant v = vl::CVariant::Array(Array(r, depth));
        v.vt = vt;
        return v;
    }
    default:
        return vl::CVariant::Integer(vt, Raw<int64_t>(r));
    }
}

void Release(vl::CEvalContext& ctx, vl::FormulaToken& value) {
    const uint16_t kind = value.type;
    vl::fuzz::RequireOnlyResult(ctx, kind == vl::kTokenText || kind == vl::kTokenArray ? kind : 0);
    vl::ReleaseOperand(ctx, value);
    vl::fuzz::RequireOnlyResult(ctx, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader r{data, size};
    static vl::CEvalContext* ctx = new vl::CEvalContext();
    vl::FormulaToken value;
    if (r.Byte() & 1) {
        vl::VariantToValue(*ctx, Tree(r, 0), value);
    } else {
        // Several property replies, as RTD with two or more names assembles them.
        vl::CPropertyColumn column(*ctx);
        for (int n = r.Count(6); n > 0 && column.Add(Tree(r, 0)); --n) {
        }
        column.Finish(value);
    }
    Release(*ctx, value);
    return 0;
}
