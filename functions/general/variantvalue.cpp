#include "functions/general/variantvalue.h"

#include "formula/evalcontext.h"
#include "formula/operands.h"
#include "model/cellrecord.h"
#include "platform/core/cp1252.h"
#include "values/inttext.h"

#include <cmath>

namespace vl {

namespace {

// The texts that one conversion may push: the buffer the system converts into.
constexpr size_t kTextBuffer = 1024;
constexpr int64_t kLastErrorNumber = 12;

// The element of a VT_UI1 error: its number (1 #DIV/0! ... 12 #SYNTAX!) as the high nibble;
// 0 is no error at all.
FormulaError ErrorOfByte(int64_t number) {
    return number >= 0 && number <= kLastErrorNumber ? FormulaError(number << 4) : kErrValue;
}

bool IsNumericType(uint16_t base) {
    switch (base) {
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_R4:
    case VT_R8:
    case VT_I1:
    case VT_UI2:
    case VT_UI4:
    case VT_CY:
    case VT_DECIMAL:
    case VT_BOOL:
        return true;
    default:
        return false;
    }
}

double NumberOf(const CVariant& v) {
    switch (v.vt & VT_TYPEMASK) {
    case VT_R4:
    case VT_R8:
        return v.real;
    case VT_CY:
        return CurrencyToDouble(v.integer);
    case VT_DECIMAL:
        return DecimalToDouble(v.decimal);
    case VT_BOOL:
        return uint16_t(v.integer) == 0xFFFF ? 1.0 : 0.0;
    default:
        return double(v.integer);
    }
}

// The text of a date or string variant; false when it does not fit the buffer.
bool TextOf(const CVariant& v, std::string& text) {
    if ((v.vt & VT_TYPEMASK) == VT_DATE) {
        int y = 0, m = 0, d = 0;
        if (!VariantDateToYmd(v.real, y, m, d)) return false;
        text.clear();
        AppendInt(text, y, 4);
        text += '-';
        AppendInt(text, m, 2);
        text += '-';
        AppendInt(text, d, 2);
        return true;
    }
    text = Utf8ToCp1252(v.text);
    return text.size() < kTextBuffer;
}

void SetNumber(FormulaToken& value, double number, FormulaError error) {
    value.type = kTokenNumber;
    value.number = std::isfinite(number) ? number : 0;
    value.error = std::isfinite(number) ? error : kErrNum;
}

void SetEmpty(FormulaToken& value, FormulaError error) {
    value.type = kTokenEmpty;
    value.number = 0;
    value.error = error;
}

// One element of an array as a cell record of the scratch store.
bool PutElement(CArrayBuilder& builder, const CVariant& e, uint16_t column, uint32_t row) {
    CellBuffer buffer;
    const uint16_t base = e.vt;
    if (base == VT_DATE || base == VT_BSTR) {
        std::string text;
        if (!TextOf(e, text))
            return MakeNumberCell(buffer, column, row, 0, kErrValue >> 4) &&
                   builder.PutRecord(buffer.bytes);
        return MakeTextCell(buffer, column, row, text) && builder.PutRecord(buffer.bytes);
    }
    double number = 0;
    FormulaError error = kErrValue;
    if (base == VT_UI1) {
        error = ErrorOfByte(e.integer);
    } else if (IsNumericType(base)) {
        number = NumberOf(e);
        error = std::isfinite(number) ? 0 : kErrNum;
        if (error) number = 0;
    }
    MakeNumberCell(buffer, column, row, number, uint8_t(error >> 4));
    return builder.PutRecord(buffer.bytes);
}

void ArrayToValue(CEvalContext& ctx, const CSafeArray& array, FormulaToken& value) {
    const SafeArrayBound rows = array.Bound(0);
    const SafeArrayBound columns = array.Dimensions() == 2 ? array.Bound(1) : SafeArrayBound{0, 1};
    if (rows.count > kMaxRows || columns.count > kMaxColumns) return SetEmpty(value, kErrRef);
    CArrayBuilder builder(ctx);
    CVariant element;
    for (uint32_t r = 0; r < rows.count; ++r) {
        for (uint32_t c = 0; c < columns.count; ++c) {
            const int32_t index[2] = {int32_t(rows.lowerBound + int64_t(r)),
                                      int32_t(columns.lowerBound + int64_t(c))};
            array.GetElement(std::span(index, array.Dimensions()), element);
            if (!PutElement(builder, element, uint16_t(c), r)) return SetEmpty(value, kErrMemory);
        }
    }
    value.error = 0;
    PushArrayValue(ctx, value, builder.Detach(), uint16_t(columns.count), rows.count);
}

} // namespace

void VariantToValue(CEvalContext& ctx, const CVariant& variant, FormulaToken& value) {
    ClearOperand(value);
    const CVariant* v = &variant;
    if (v->vt == (VT_BYREF | VT_VARIANT)) {
        if (!v->ref) return SetEmpty(value, 0);
        v = v->ref.get();
    }
    if (v->vt & VT_ARRAY) {
        const bool readable = (v->vt & VT_TYPEMASK) == VT_VARIANT && v->array &&
                              (v->array->Dimensions() == 1 || v->array->Dimensions() == 2);
        if (!readable) return SetEmpty(value, 0);
        return ArrayToValue(ctx, *v->array, value);
    }
    const uint16_t base = v->vt & VT_TYPEMASK;
    if (base == VT_UI1) return SetNumber(value, 0, ErrorOfByte(v->integer));
    if (IsNumericType(base)) return SetNumber(value, NumberOf(*v), 0);
    if (base == VT_DATE || base == VT_BSTR) {
        std::string text;
        if (!TextOf(*v, text) || !ctx.stringPool.PushString(text))
            return SetEmpty(value, kErrValue);
        value.type = kTokenText;
        return;
    }
    SetEmpty(value, 0);
}

} // namespace vl
