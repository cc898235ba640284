#pragma once
// The TextFileInfo and XBaseInfo objects: the settings of a text file or an xBase table that
// a client prepares and passes to the load and save methods.

#include "automation/interfaces.h"
#include "automation/serverlock.h"
#include "model/exchangesettings.h"

#include <memory>

namespace vl {

class CTextFileInfoObj final : public IAutomationObject, public ITextFileInfo {
public:
    static HRESULT Create(std::shared_ptr<CTextFileInfoObj>& out);

    const TextFileSettings& Settings() const { return *settings_; }

    const CoClassInfo& ClassInfo() const override;
    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) const override;
    ITextFileInfo* QueryTextFileInfo() override { return this; }

    HRESULT SetSeparator(const CBstr& separator) override;
    HRESULT SetEncoding(int32_t encoding) override;
    HRESULT SetQuotingSymbol(const CBstr& symbol) override;
    HRESULT SetConversion(int32_t conversion) override;
    HRESULT SetColumnWidths(const CSafeArray* widths) override;
    HRESULT GetConversion(int32_t& conversion) override;
    HRESULT GetQuotingSymbol(CBstr& symbol) override;
    HRESULT GetEncoding(int32_t& encoding) override;
    HRESULT GetSeparator(CBstr& separator) override;
    HRESULT GetColumnWidths(std::shared_ptr<CSafeArray>& widths) override;
    HRESULT get_useFixedColWidths(int32_t& fixed) override;
    HRESULT put_useFixedColWidths(int32_t fixed) override;

private:
    CTextFileInfoObj() = default;

    CServerLockHold lock_;
    std::unique_ptr<TextFileSettings> settings_;
};

class CXBaseInfoObj final : public IAutomationObject, public IXBaseInfo {
public:
    static HRESULT Create(std::shared_ptr<CXBaseInfoObj>& out);
    ~CXBaseInfoObj() override;
    CXBaseInfoObj(const CXBaseInfoObj&) = delete;
    CXBaseInfoObj& operator=(const CXBaseInfoObj&) = delete;

    const CoClassInfo& ClassInfo() const override;
    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) const override;
    IXBaseInfo* QueryXBaseInfo() override { return this; }

    HRESULT SetXBaseFormat(int32_t format) override;
    HRESULT GetXBaseFormat(int32_t& format) override;
    HRESULT SetField(int32_t index, const CBstr& name, uint8_t type, int32_t length,
                     int32_t decimals) override;
    HRESULT GetField(int32_t index, CBstr& name, uint8_t& type, int32_t& length,
                     int32_t& decimals) override;
    HRESULT GetFieldCount(int32_t& count) override;
    HRESULT DeleteField(int32_t index) override;
    HRESULT GetEncoding(int32_t& encoding) override;
    HRESULT SetEncoding(int32_t encoding) override;
    HRESULT SetFieldCount(int32_t count) override;

private:
    CXBaseInfoObj() = default;
    uint8_t* DescriptorAt(int32_t index);

    CServerLockHold lock_;
    int32_t count_ = 0;
    XBaseSaveOptions options_;
};

const CoClassInfo& TextFileInfoClass();
const CoClassInfo& XBaseInfoClass();

} // namespace vl
