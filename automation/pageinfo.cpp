#include "automation/pageinfo.h"

#include "automation/typelib.h"
#include "files/bodycheck.h"
#include "files/loadcheck.h"
#include "platform/core/bytes.h"

#include <cmath>
#include <cstring>
#include <new>

namespace vl {

namespace {

constexpr uint32_t kMarginLeft = 1104, kMarginRight = 1112, kMarginTop = 1120, kMarginBottom = 1128;
constexpr double kLongestDistance = 65534;

bool InDistance(double mm) {
    return std::isfinite(mm) && mm >= 0 && mm <= kLongestDistance;
}

bool ReadByte(const CVariant& v, uint8_t& out) {
    int64_t n = 0;
    if (!VariantWholeNumber(v, 255, n)) return false;
    out = uint8_t(n);
    return true;
}

} // namespace

const CoClassInfo& PageInfoClass() {
    return CoClasses()[3];
}

std::shared_ptr<CSafeArray> PageRecordArray(const uint8_t* bytes) {
    std::shared_ptr<CSafeArray> array = CSafeArray::Create({{0, kPageSetupRecordSize}});
    if (!array) return nullptr;
    for (int32_t i = 0; i < int32_t(kPageSetupRecordSize); ++i) {
        const int32_t index[] = {i};
        if (array->PutElement(index, CVariant::Integer(VT_UI1, bytes[i])) != S_OK) return nullptr;
    }
    return array;
}

bool ReadPageRecordArray(const CSafeArray& array, uint8_t* bytes) {
    if (array.Dimensions() != 1) return false;
    CVariant element;
    for (int32_t i = 0; i < int32_t(kPageSetupRecordSize); ++i) {
        const int32_t index[] = {i};
        if (array.GetElement(index, element) != S_OK || !ReadByte(element, bytes[i])) return false;
    }
    return true;
}

bool IsPrintablePageSetup(const PageSetupRecord& p) {
    const auto perSheet = [](uint8_t n) { return n >= 1 && n <= 10; };
    return p.printRangeKind <= kPrintPageList && perSheet(p.pagesPerSheetRows) &&
           perSheet(p.pagesPerSheetColumns) && p.scale >= 10 && p.scale <= 1000 &&
           p.firstPageNumber >= 1 && p.firstPageNumber <= kMaxFirstPageNumber && p.copies >= 1 &&
           p.copies <= 65534 && InDistance(p.marginLeft) && InDistance(p.marginRight) &&
           InDistance(p.marginTop) && InDistance(p.marginBottom) && InDistance(p.headerDistance) &&
           InDistance(p.footerDistance) && CheckPageSetup(p) && CheckPageSetupRecord(p);
}

HRESULT CPageInfoObj::Create(std::shared_ptr<CPageInfoObj>& out) {
    out.reset();
    std::shared_ptr<CPageInfoObj> obj(new (std::nothrow) CPageInfoObj);
    if (!obj) return E_OUTOFMEMORY;
    out = std::move(obj);
    return S_OK;
}

const CoClassInfo& CPageInfoObj::ClassInfo() const {
    return PageInfoClass();
}

HRESULT CPageInfoObj::InterfaceSupportsErrorInfo(const Guid& iid) const {
    return iid == IID_IPageInfo ? S_OK : S_FALSE;
}

HRESULT CPageInfoObj::GetMargins(double& left, double& top, double& right, double& bottom) {
    left = LoadF64(record_ + kMarginLeft);
    top = LoadF64(record_ + kMarginTop);
    right = LoadF64(record_ + kMarginRight);
    bottom = LoadF64(record_ + kMarginBottom);
    return S_OK;
}

HRESULT CPageInfoObj::SetMargins(double left, double top, double right, double bottom) {
    StoreF64(record_ + kMarginLeft, left);
    StoreF64(record_ + kMarginTop, top);
    StoreF64(record_ + kMarginRight, right);
    StoreF64(record_ + kMarginBottom, bottom);
    return S_OK;
}

HRESULT CPageInfoObj::SetData(const CSafeArray* data) {
    uint8_t copy[kPageSetupRecordSize];
    if (!data || !ReadPageRecordArray(*data, copy)) return E_FAIL;
    std::memcpy(record_, copy, sizeof copy);
    return S_OK;
}

HRESULT CPageInfoObj::GetData(CSafeArray* data) {
    if (!data) return E_FAIL;
    for (int32_t i = 0; i < int32_t(kPageSetupRecordSize); ++i) {
        const int32_t index[] = {i};
        if (data->PutElement(index, CVariant::Integer(VT_UI1, record_[i])) != S_OK) return E_FAIL;
    }
    return S_OK;
}

} // namespace vl
