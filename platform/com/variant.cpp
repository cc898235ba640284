#include "platform/com/variant.h"

#include <cmath>
#include <new>

namespace vl {

CVariant CVariant::R8(double value) {
    CVariant v;
    v.vt = VT_R8;
    v.real = value;
    return v;
}

CVariant CVariant::Bstr(std::string utf8) {
    CVariant v;
    v.vt = VT_BSTR;
    v.text = std::move(utf8);
    return v;
}

CVariant CVariant::Integer(uint16_t type, int64_t value) {
    CVariant v;
    v.vt = type;
    v.integer = value;
    return v;
}

bool VariantWholeNumber(const CVariant& v, int64_t max, int64_t& out) {
    switch (v.vt) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
        if (v.integer < 0 || v.integer > max) return false;
        out = v.integer;
        return true;
    default:
        return false;
    }
}

CVariant CVariant::Date(double days) {
    CVariant v = R8(days);
    v.vt = VT_DATE;
    return v;
}

CVariant CVariant::Currency(int64_t scaled) {
    return Integer(VT_CY, scaled);
}

CVariant CVariant::Dec(const Decimal& value) {
    CVariant v;
    v.vt = VT_DECIMAL;
    v.decimal = value;
    return v;
}

CVariant CVariant::Array(std::shared_ptr<CSafeArray> array) {
    CVariant v;
    v.vt = VT_ARRAY | VT_VARIANT;
    v.array = std::move(array);
    return v;
}

CVariant CVariant::RefTo(CVariant value) {
    CVariant v;
    v.vt = VT_BYREF | VT_VARIANT;
    v.ref = std::make_shared<CVariant>(std::move(value));
    return v;
}

std::shared_ptr<CSafeArray> CSafeArray::Create(std::vector<SafeArrayBound> bounds) {
    if (bounds.empty()) return nullptr;
    uint64_t total = 1;
    for (const SafeArrayBound& b : bounds) {
        total *= b.count;
        if (total > kMaxElements) return nullptr;
    }
    std::shared_ptr<CSafeArray> array(new (std::nothrow) CSafeArray(std::move(bounds)));
    if (!array) return nullptr;
    try {
        array->elements_.resize(total);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return array;
}

HRESULT CSafeArray::Offset(std::span<const int32_t> indices, uint64_t& offset) const {
    if (indices.size() != bounds_.size()) return E_INVALIDARG;
    offset = 0;
    for (size_t d = 0; d < bounds_.size(); ++d) {
        const int64_t i = int64_t(indices[d]) - bounds_[d].lowerBound;
        if (i < 0 || i >= int64_t(bounds_[d].count)) return DISP_E_BADINDEX;
        offset = offset * bounds_[d].count + uint64_t(i);
    }
    return S_OK;
}

HRESULT CSafeArray::GetElement(std::span<const int32_t> indices, CVariant& out) const {
    uint64_t offset = 0;
    const HRESULT hr = Offset(indices, offset);
    if (hr == S_OK) out = elements_[offset];
    return hr;
}

HRESULT CSafeArray::PutElement(std::span<const int32_t> indices, CVariant value) {
    uint64_t offset = 0;
    const HRESULT hr = Offset(indices, offset);
    if (hr == S_OK) elements_[offset] = std::move(value);
    return hr;
}

double CurrencyToDouble(int64_t scaled) {
    return double(scaled) / 10000.0;
}

double DecimalToDouble(const Decimal& value) {
    const double magnitude = (double(value.hi) * 18446744073709551616.0 + double(value.lo)) /
                             std::pow(10.0, value.scale);
    return value.negative ? -magnitude : magnitude;
}

bool VariantDateToYmd(double days, int& year, int& month, int& day) {
    // The whole days count toward zero: -1.25 is 1899-12-29 at 06:00.
    constexpr double kFirst = -657434.0, kLast = 2958465.0; // 0100-01-01, 9999-12-31
    if (!(days >= kFirst && days < kLast + 1)) return false;
    // Days since 1970-01-01, then the civil calendar of that day count.
    const int64_t z = int64_t(std::trunc(days)) - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return true;
}

} // namespace vl
