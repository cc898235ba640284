#include "automation/formatinfo.h"

#include "automation/typelib.h"
#include "platform/core/screen.h"

#include <cstring>
#include <new>

namespace vl {

namespace {

constexpr uint16_t kWindowText = 1;
constexpr uint16_t kWindow = 2;
constexpr int32_t kLargestFontSize = 254;
constexpr size_t kAnsiBuffer = 1025;

// The highest value of each enumeration a put takes: the writers index name tables by them.
constexpr int32_t kLastPattern = typelib::FORMAT_PAT_SYM_GRAD_HORZ;
constexpr int32_t kLastLine = typelib::FORMAT_LINE_DOUBLE;
constexpr int32_t kAllBorders = 63;

HRESULT PutFlag(uint8_t& field, int32_t on) {
    field = on ? 1 : 0;
    return S_OK;
}

HRESULT GetByte(uint8_t field, int32_t& out) {
    out = field;
    return S_OK;
}

HRESULT PutByte(uint8_t& field, int32_t value, int32_t last) {
    if (value < 0 || value > last) return E_INVALIDARG;
    field = uint8_t(value);
    return S_OK;
}

} // namespace

const CoClassInfo& FormatInfoClass() {
    return CoClasses()[2];
}

HRESULT CFormatInfoObj::Create(std::shared_ptr<CFormatInfoObj>& out) {
    out.reset();
    std::shared_ptr<CFormatInfoObj> obj(new (std::nothrow) CFormatInfoObj);
    if (!obj) return E_OUTOFMEMORY;
    out = std::move(obj);
    return S_OK;
}

const CoClassInfo& CFormatInfoObj::ClassInfo() const {
    return FormatInfoClass();
}

HRESULT CFormatInfoObj::InterfaceSupportsErrorInfo(const Guid& iid) const {
    return iid == IID_IFormatInfo ? S_OK : S_FALSE;
}

HRESULT CFormatInfoObj::GetColor(const Color& c, uint16_t systemColor, uint32_t& out) {
    out = c.given ? c.value : GetSystemColor(systemColor);
    return S_OK;
}

HRESULT CFormatInfoObj::PutColor(Color& c, uint32_t value) {
    c = {1, value};
    return S_OK;
}

HRESULT CFormatInfoObj::get_fontName(CBstr& name) {
    name = CBstr::FromAnsi(font_.faceName);
    return S_OK;
}

HRESULT CFormatInfoObj::put_fontName(const CBstr& name) {
    std::string ansi;
    // A character outside the code page would become a question mark: refused, as a name
    // too long for the field is.
    if (!name.ToAnsiExact(kAnsiBuffer, ansi) || ansi.size() >= sizeof(font_.faceName))
        return E_INVALIDARG;
    std::memset(font_.faceName, 0, sizeof(font_.faceName));
    std::memcpy(font_.faceName, ansi.data(), ansi.size());
    return S_OK;
}

HRESULT CFormatInfoObj::get_fontSize(int32_t& size) {
    return GetByte(font_.size, size);
}

HRESULT CFormatInfoObj::put_fontSize(int32_t size) {
    if (size < 1 || size > kLargestFontSize) return E_INVALIDARG;
    font_.size = uint8_t(size);
    return S_OK;
}

HRESULT CFormatInfoObj::get_boldFont(int32_t& on) {
    on = font_.weight ? 1 : 0;
    return S_OK;
}

HRESULT CFormatInfoObj::put_boldFont(int32_t on) {
    font_.weight = on ? 2 : 0;
    return S_OK;
}

HRESULT CFormatInfoObj::get_italicFont(int32_t& on) {
    return GetByte(font_.italic, on);
}

HRESULT CFormatInfoObj::put_italicFont(int32_t on) {
    return PutFlag(font_.italic, on);
}

HRESULT CFormatInfoObj::get_underlineFont(int32_t& on) {
    return GetByte(font_.underline, on);
}

HRESULT CFormatInfoObj::put_underlineFont(int32_t on) {
    return PutFlag(font_.underline, on);
}

HRESULT CFormatInfoObj::get_strikeoutFont(int32_t& on) {
    return GetByte(font_.strikeout, on);
}

HRESULT CFormatInfoObj::put_strikeoutFont(int32_t on) {
    return PutFlag(font_.strikeout, on);
}

HRESULT CFormatInfoObj::get_fontColor(uint32_t& color) {
    return GetColor(fontColor_, kWindowText, color);
}

HRESULT CFormatInfoObj::put_fontColor(uint32_t color) {
    return PutColor(fontColor_, color);
}

HRESULT CFormatInfoObj::get_styleID(int32_t& id) {
    return GetByte(styleId_, id);
}

HRESULT CFormatInfoObj::put_styleID(int32_t id) {
    // Kept as given: format reads a value above 10 as nothing to do.
    styleId_ = uint8_t(id);
    return S_OK;
}

HRESULT CFormatInfoObj::get_fillType(int32_t& type) {
    return GetByte(fillType_, type);
}

HRESULT CFormatInfoObj::put_fillType(int32_t type) {
    return PutByte(fillType_, type, kLastPattern);
}

HRESULT CFormatInfoObj::get_fillPatternColor(uint32_t& color) {
    return GetColor(patternColor_, fillType_ > 1 ? kWindowText : kWindow, color);
}

HRESULT CFormatInfoObj::put_fillPatternColor(uint32_t color) {
    return PutColor(patternColor_, color);
}

HRESULT CFormatInfoObj::get_fillBackgroundColor(uint32_t& color) {
    return GetColor(backgroundColor_, kWindow, color);
}

HRESULT CFormatInfoObj::put_fillBackgroundColor(uint32_t color) {
    return PutColor(backgroundColor_, color);
}

HRESULT CFormatInfoObj::get_borderType(int32_t& type) {
    return GetByte(borderType_, type);
}

HRESULT CFormatInfoObj::put_borderType(int32_t type) {
    return PutByte(borderType_, type, kLastLine);
}

HRESULT CFormatInfoObj::get_borderColor(uint32_t& color) {
    return GetColor(borderColor_, kWindowText, color);
}

HRESULT CFormatInfoObj::put_borderColor(uint32_t color) {
    return PutColor(borderColor_, color);
}

HRESULT CFormatInfoObj::get_borderPosition(int32_t& position) {
    return GetByte(borderPosition_, position);
}

HRESULT CFormatInfoObj::put_borderPosition(int32_t position) {
    return PutByte(borderPosition_, position, kAllBorders);
}

} // namespace vl
