#pragma once
// The FormatInfo object: a font part and a style part that a client fills and hands to
// IWorksheet::format, which applies one attribute of them to a range.

#include "automation/interfaces.h"
#include "automation/serverlock.h"
#include "core/fontrecord.h"

#include <memory>

namespace vl {

class CFormatInfoObj final : public IAutomationObject, public IFormatInfo {
public:
    static HRESULT Create(std::shared_ptr<CFormatInfoObj>& out);

    const CoClassInfo& ClassInfo() const override;
    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) const override;
    IFormatInfo* QueryFormatInfo() override { return this; }

    HRESULT get_fontName(CBstr& name) override;
    HRESULT put_fontName(const CBstr& name) override;
    HRESULT get_fontSize(int32_t& size) override;
    HRESULT put_fontSize(int32_t size) override;
    HRESULT get_boldFont(int32_t& on) override;
    HRESULT put_boldFont(int32_t on) override;
    HRESULT get_italicFont(int32_t& on) override;
    HRESULT put_italicFont(int32_t on) override;
    HRESULT get_underlineFont(int32_t& on) override;
    HRESULT put_underlineFont(int32_t on) override;
    HRESULT get_strikeoutFont(int32_t& on) override;
    HRESULT put_strikeoutFont(int32_t on) override;
    HRESULT get_fontColor(uint32_t& color) override;
    HRESULT put_fontColor(uint32_t color) override;
    HRESULT get_styleID(int32_t& id) override;
    HRESULT put_styleID(int32_t id) override;
    HRESULT get_fillType(int32_t& type) override;
    HRESULT put_fillType(int32_t type) override;
    HRESULT get_fillPatternColor(uint32_t& color) override;
    HRESULT put_fillPatternColor(uint32_t color) override;
    HRESULT get_fillBackgroundColor(uint32_t& color) override;
    HRESULT put_fillBackgroundColor(uint32_t color) override;
    HRESULT get_borderType(int32_t& type) override;
    HRESULT put_borderType(int32_t type) override;
    HRESULT get_borderColor(uint32_t& color) override;
    HRESULT put_borderColor(uint32_t color) override;
    HRESULT get_borderPosition(int32_t& position) override;
    HRESULT put_borderPosition(int32_t position) override;

private:
    CFormatInfoObj() = default;

    struct Color {
        uint8_t given = 0;
        uint32_t value = 0;
    };
    // A color not given reads as the system color.
    static HRESULT GetColor(const Color& c, uint16_t systemColor, uint32_t& out);
    static HRESULT PutColor(Color& c, uint32_t value);

    CServerLockHold lock_;
    FontRecord font_;
    Color fontColor_, patternColor_, backgroundColor_, borderColor_;
    uint8_t styleId_ = 0, fillType_ = 0, borderType_ = 0, borderPosition_ = 0;
};

const CoClassInfo& FormatInfoClass();

} // namespace vl
