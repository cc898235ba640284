#include "automation/infoobjects.h"

#include "automation/typelib.h"
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "platform/core/alloc.h"

#include <cstring>
#include <new>

namespace vl {

namespace {

constexpr size_t kAnsiBuffer = 1025;
constexpr int32_t kByteLimit = 255;
constexpr int32_t kSplitLimit = 65535;
constexpr int32_t kLongestUnsplit = 254;

// The first character of a string in the program's code page; false for an empty one.
bool FirstCharacter(const CBstr& text, uint8_t& out) {
    std::string ansi;
    if (!text.ToAnsi(kAnsiBuffer, ansi) || ansi.empty()) return false;
    out = uint8_t(ansi[0]);
    return true;
}

bool ReadWidth(const CVariant& v, uint16_t& width) {
    int64_t n = 0;
    if (!VariantWholeNumber(v, 0xFFFF, n)) return false;
    width = uint16_t(n);
    return true;
}

} // namespace

const CoClassInfo& XBaseInfoClass() {
    return CoClasses()[0];
}

const CoClassInfo& TextFileInfoClass() {
    return CoClasses()[1];
}

HRESULT CTextFileInfoObj::Create(std::shared_ptr<CTextFileInfoObj>& out) {
    out.reset();
    std::shared_ptr<CTextFileInfoObj> obj(new (std::nothrow) CTextFileInfoObj);
    if (!obj) return E_OUTOFMEMORY;
    obj->settings_.reset(new (std::nothrow) TextFileSettings);
    if (!obj->settings_) return E_OUTOFMEMORY;
    out = std::move(obj);
    return S_OK;
}

const CoClassInfo& CTextFileInfoObj::ClassInfo() const {
    return TextFileInfoClass();
}

HRESULT CTextFileInfoObj::InterfaceSupportsErrorInfo(const Guid& iid) const {
    return iid == IID_ITextFileInfo ? S_OK : S_FALSE;
}

HRESULT CTextFileInfoObj::SetSeparator(const CBstr& separator) {
    // An empty separator would make every byte a field of its own.
    if (!FirstCharacter(separator, settings_->separator)) return E_INVALIDARG;
    settings_->useFixedColWidths = 0;
    return S_OK;
}

HRESULT CTextFileInfoObj::SetEncoding(int32_t encoding) {
    if (encoding < 1 || encoding > 3) return E_INVALIDARG;
    settings_->encoding = uint8_t(encoding);
    return S_OK;
}

HRESULT CTextFileInfoObj::SetQuotingSymbol(const CBstr& symbol) {
    return FirstCharacter(symbol, settings_->quotingSymbol) ? S_OK : E_INVALIDARG;
}

HRESULT CTextFileInfoObj::SetConversion(int32_t conversion) {
    if (conversion != 0 && conversion != 1) return E_INVALIDARG;
    settings_->conversion = uint8_t(conversion);
    return S_OK;
}

HRESULT CTextFileInfoObj::SetColumnWidths(const CSafeArray* widths) {
    if (!widths || widths->Dimensions() != 1) return E_INVALIDARG;
    const SafeArrayBound& bound = widths->Bound(0);
    const int64_t last = int64_t(bound.lowerBound) + bound.count - 1;
    if (bound.lowerBound < 0 || bound.lowerBound >= int32_t(kMaxColumns) ||
        last >= int64_t(kMaxColumns))
        return E_INVALIDARG;
    for (int64_t i = bound.lowerBound; i <= last; ++i) {
        CVariant element;
        const int32_t index[] = {int32_t(i)};
        uint16_t width = 0;
        if (Failed(widths->GetElement(index, element)) || !ReadWidth(element, width))
            return E_OUTOFMEMORY;
        settings_->columnWidths[i] = width;
    }
    settings_->useFixedColWidths = 1;
    return S_OK;
}

HRESULT CTextFileInfoObj::GetConversion(int32_t& conversion) {
    conversion = settings_->conversion;
    return S_OK;
}

HRESULT CTextFileInfoObj::GetQuotingSymbol(CBstr& symbol) {
    symbol = CBstr::FromAnsi(std::string(1, char(settings_->quotingSymbol)));
    return S_OK;
}

HRESULT CTextFileInfoObj::GetEncoding(int32_t& encoding) {
    encoding = settings_->encoding;
    return S_OK;
}

HRESULT CTextFileInfoObj::GetSeparator(CBstr& separator) {
    separator = CBstr::FromAnsi(std::string(1, char(settings_->separator)));
    return S_OK;
}

HRESULT CTextFileInfoObj::GetColumnWidths(std::shared_ptr<CSafeArray>& widths) {
    std::shared_ptr<CSafeArray> array = CSafeArray::Create({{0, kMaxColumns}});
    if (!array) return E_OUTOFMEMORY;
    for (int32_t i = 0; i < int32_t(kMaxColumns); ++i) {
        const int32_t index[] = {i};
        if (Failed(array->PutElement(index, CVariant::Integer(VT_UI2, settings_->columnWidths[i]))))
            return E_OUTOFMEMORY;
    }
    widths = std::move(array);
    return S_OK;
}

HRESULT CTextFileInfoObj::get_useFixedColWidths(int32_t& fixed) {
    fixed = settings_->useFixedColWidths ? 1 : 0;
    return S_OK;
}

HRESULT CTextFileInfoObj::put_useFixedColWidths(int32_t fixed) {
    settings_->useFixedColWidths = fixed == 1 ? 1 : 0;
    return S_OK;
}

HRESULT CXBaseInfoObj::Create(std::shared_ptr<CXBaseInfoObj>& out) {
    out.reset();
    std::shared_ptr<CXBaseInfoObj> obj(new (std::nothrow) CXBaseInfoObj);
    if (!obj) return E_OUTOFMEMORY;
    out = std::move(obj);
    return S_OK;
}

CXBaseInfoObj::~CXBaseInfoObj() {
    ReleaseXBaseSaveOptions(options_);
}

const CoClassInfo& CXBaseInfoObj::ClassInfo() const {
    return XBaseInfoClass();
}

HRESULT CXBaseInfoObj::InterfaceSupportsErrorInfo(const Guid& iid) const {
    return iid == IID_IXBaseInfo ? S_OK : S_FALSE;
}

uint8_t* CXBaseInfoObj::DescriptorAt(int32_t index) {
    if (index < 0 || index >= count_ || !options_.fieldDescriptors) return nullptr;
    return options_.fieldDescriptors + std::size_t(index) * kDescriptorSize;
}

HRESULT CXBaseInfoObj::SetXBaseFormat(int32_t format) {
    options_.format = uint8_t(format);
    return S_OK;
}

HRESULT CXBaseInfoObj::GetXBaseFormat(int32_t& format) {
    format = options_.format;
    return S_OK;
}

HRESULT CXBaseInfoObj::SetField(int32_t index, const CBstr& name, uint8_t type, int32_t length,
                                int32_t decimals) {
    uint8_t* d = DescriptorAt(index);
    if (!d) return E_INVALIDARG;
    // A length or decimal count its byte cannot hold would be stored as another one.
    const bool split = type == 'C' && SplitsLengths(options_.format);
    if (type == 'C' && (length < 0 || length > (split ? kSplitLimit : kByteLimit)))
        return E_INVALIDARG;
    if ((type == 'N' || type == 'F') && (length < 0 || length > kByteLimit)) return E_INVALIDARG;
    if (type == 'N' && (decimals < 0 || decimals > kByteLimit)) return E_INVALIDARG;
    // A name the 11-byte field cannot hold whole (over 10 bytes, or a character outside the
    // code page) would be cut or changed: refused, as the field dialog refuses it.
    std::string ansi;
    if (!name.ToAnsiExact(kFieldNameLength + 1, ansi)) return E_INVALIDARG;
    std::memset(d, 0, kDescriptorSize);
    std::memcpy(d, ansi.data(), ansi.size());
    d[kFieldTypeByte] = type;
    switch (type) {
    case 'C':
        if (split && length > kLongestUnsplit)
            SetFieldLength(d, uint32_t(length), options_.format);
        else
            d[kFieldLengthByte] = uint8_t(length);
        break;
    case 'N':
        d[kFieldLengthByte] = uint8_t(length);
        d[kFieldDecimalsByte] = uint8_t(decimals);
        break;
    case 'F':
        d[kFieldLengthByte] = uint8_t(length);
        break;
    case 'L':
        d[kFieldLengthByte] = 1;
        break;
    case 'D':
        d[kFieldLengthByte] = 8;
        break;
    case 'M':
        d[kFieldLengthByte] = 10;
        break;
    default:
        // A type with no fixed size here (a date-time or a double of a loaded table) keeps
        // the size it was given, so that a table saved again has records as long as before.
        if (length > 0 && length <= kByteLimit) d[kFieldLengthByte] = uint8_t(length);
        if (decimals > 0 && decimals <= kByteLimit) d[kFieldDecimalsByte] = uint8_t(decimals);
        break;
    }
    return S_OK;
}

HRESULT CXBaseInfoObj::GetField(int32_t index, CBstr& name, uint8_t& type, int32_t& length,
                                int32_t& decimals) {
    const uint8_t* d = DescriptorAt(index);
    if (!d) return E_INVALIDARG;
    name = CBstr::FromAnsi(FieldName(d));
    type = d[kFieldTypeByte];
    length = d[kFieldLengthByte];
    decimals = d[kFieldDecimalsByte];
    return S_OK;
}

HRESULT CXBaseInfoObj::GetFieldCount(int32_t& count) {
    count = count_;
    return S_OK;
}

HRESULT CXBaseInfoObj::DeleteField(int32_t index) {
    uint8_t* d = DescriptorAt(index);
    if (!d) return E_INVALIDARG;
    std::memmove(d, d + kDescriptorSize, std::size_t(count_ - index - 1) * kDescriptorSize);
    --count_;
    return S_OK;
}

HRESULT CXBaseInfoObj::GetEncoding(int32_t& encoding) {
    encoding = options_.encoding;
    return S_OK;
}

HRESULT CXBaseInfoObj::SetEncoding(int32_t encoding) {
    if (encoding != 2 && encoding != 3) return E_INVALIDARG;
    options_.encoding = uint8_t(encoding);
    return S_OK;
}

HRESULT CXBaseInfoObj::SetFieldCount(int32_t count) {
    if (count < 0 || count > int32_t(kMaxXBaseFields)) return E_INVALIDARG;
    if (!AllocateDescriptors(options_, uint32_t(count))) return E_OUTOFMEMORY;
    count_ = count;
    return S_OK;
}

} // namespace vl
