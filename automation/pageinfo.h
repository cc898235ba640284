#pragma once
// The PageInfo object: one worksheet page-setup record in its stored form, byte for byte,
// that a client reads from and writes to a worksheet.

#include "automation/interfaces.h"
#include "automation/serverlock.h"
#include "model/sheetsettings.h"

#include <memory>

namespace vl {

class CPageInfoObj final : public IAutomationObject, public IPageInfo {
public:
    static HRESULT Create(std::shared_ptr<CPageInfoObj>& out);

    const CoClassInfo& ClassInfo() const override;
    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) const override;
    IPageInfo* QueryPageInfo() override { return this; }

    HRESULT GetMargins(double& left, double& top, double& right, double& bottom) override;
    HRESULT SetMargins(double left, double top, double right, double bottom) override;
    HRESULT SetData(const CSafeArray* data) override;
    HRESULT GetData(CSafeArray* data) override;

    const uint8_t* Bytes() const { return record_; }

private:
    CPageInfoObj() = default;

    CServerLockHold lock_;
    uint8_t record_[kPageSetupRecordSize] = {};
};

const CoClassInfo& PageInfoClass();

// The bytes of a page-setup record as a one-dimensional array of VT_UI1 from 0; null when
// memory runs out.
std::shared_ptr<CSafeArray> PageRecordArray(const uint8_t* bytes);
// Elements 0 to 1,151 of an array, each a number 0 to 255; false when one cannot be read.
bool ReadPageRecordArray(const CSafeArray& array, uint8_t* bytes);
// True when printing could take the record: a print range kind 0 to 4, 1 to 10 pages each
// way on a sheet, a scale of 10 to 1,000 %, 1 to 65,534 copies, and margins and distances
// that are finite millimetres from 0 to 65,534; and one every form keeps and opens again: a
// header font whose codes are within their tables and a print range within the worksheet.
bool IsPrintablePageSetup(const PageSetupRecord& page);

} // namespace vl
