#pragma once
// The automation value: a variant tagged by its VT_ type, and the safe array of variants
// with a lower bound and a count per dimension and checked access to its elements.

#include "platform/com/hresult.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vl {

enum VarType : uint16_t {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

constexpr int16_t VARIANT_TRUE = -1;
constexpr int16_t VARIANT_FALSE = 0;

// A 96-bit decimal: (hi * 2^64 + lo) / 10^scale, negative when the sign is set.
struct Decimal {
    uint8_t scale = 0; // 0 to 28
    bool negative = false;
    uint32_t hi = 0;
    uint64_t lo = 0;

    friend bool operator==(const Decimal&, const Decimal&) = default;
};

class CSafeArray;

// Copies share an array or a referenced variant; everything else is copied.
struct CVariant {
    uint16_t vt = VT_EMPTY;
    int64_t integer = 0; // the integer types, VT_BOOL (0 or -1), VT_ERROR, VT_CY (x 10,000)
    double real = 0;     // VT_R4, VT_R8, VT_DATE (days since 1899-12-30)
    Decimal decimal;
    std::string text; // VT_BSTR, UTF-8
    std::shared_ptr<CSafeArray> array;
    std::shared_ptr<CVariant> ref; // VT_BYREF | VT_VARIANT

    static CVariant Empty() { return {}; }
    static CVariant R8(double value);
    static CVariant Bstr(std::string utf8);
    static CVariant Integer(uint16_t type, int64_t value);
    static CVariant Bool(bool value) { return Integer(VT_BOOL, value ? VARIANT_TRUE : 0); }
    static CVariant Date(double days);
    static CVariant Currency(int64_t scaled);
    static CVariant Dec(const Decimal& value);
    static CVariant Array(std::shared_ptr<CSafeArray> array);
    static CVariant RefTo(CVariant value);
};

struct SafeArrayBound {
    int32_t lowerBound = 0;
    uint32_t count = 0;
};

// A safe array of variants. Dimensions are listed first to last (for a table: rows, then
// columns); elements are addressed by one index per dimension within its bounds.
class CSafeArray {
public:
    // More elements than this are refused as out of memory.
    static constexpr uint64_t kMaxElements = uint64_t(1) << 20;

    // Null when there are no dimensions or the elements cannot be had.
    static std::shared_ptr<CSafeArray> Create(std::vector<SafeArrayBound> bounds);

    uint32_t Dimensions() const { return uint32_t(bounds_.size()); }
    const SafeArrayBound& Bound(uint32_t dimension) const { return bounds_[dimension]; }
    uint64_t ElementCount() const { return elements_.size(); }

    // E_INVALIDARG for a wrong number of indices, DISP_E_BADINDEX outside the bounds.
    HRESULT GetElement(std::span<const int32_t> indices, CVariant& out) const;
    HRESULT PutElement(std::span<const int32_t> indices, CVariant value);

private:
    explicit CSafeArray(std::vector<SafeArrayBound> bounds) : bounds_(std::move(bounds)) {}
    HRESULT Offset(std::span<const int32_t> indices, uint64_t& offset) const;

    std::vector<SafeArrayBound> bounds_;
    std::vector<CVariant> elements_;
};

// The value of a variant of an integer type (not VT_BOOL, VT_ERROR or VT_CY) from 0 to
// `max`; false for another type or a value outside.
bool VariantWholeNumber(const CVariant& v, int64_t max, int64_t& out);

// The number of a currency or decimal value (VarR8FromCy, VarR8FromDec).
double CurrencyToDouble(int64_t scaled);
double DecimalToDouble(const Decimal& value);
// The calendar date of a variant date; false outside the years 100 to 9999.
bool VariantDateToYmd(double days, int& year, int& month, int& day);

} // namespace vl
