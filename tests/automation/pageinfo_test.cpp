// PageInfo objects and the worksheet's page settings: margins in their stored order, the
// record byte for byte, and records printing would refuse turned away untouched.

#include "automation/pageinfo.h"
#include "automationtestutil.h"
#include "platform/core/bytes.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace vl {

namespace {

class PageTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        NewDocument();
        ASSERT_EQ(CPageInfoObj::Create(info), S_OK);
    }
    void SheetBytes(uint8_t* out) { WritePageSetupRecord(out, Doc().tree.active->pageSetup); }
    std::shared_ptr<CPageInfoObj> info;
};

} // namespace

TEST_F(PageTest, MarginsComeBackInTheirOrderAndAreStoredLeftRightTopBottom) {
    double l = 1, t = 1, r = 1, b = 1;
    info->GetMargins(l, t, r, b);
    EXPECT_EQ(l + t + r + b, 0); // a new object's record is all zero
    ASSERT_EQ(info->SetMargins(10, 20, 30, 40), S_OK);
    info->GetMargins(l, t, r, b);
    EXPECT_EQ(l, 10);
    EXPECT_EQ(t, 20);
    EXPECT_EQ(r, 30);
    EXPECT_EQ(b, 40);
    EXPECT_EQ(LoadF64(info->Bytes() + 1104), 10);
    EXPECT_EQ(LoadF64(info->Bytes() + 1112), 30);
    EXPECT_EQ(LoadF64(info->Bytes() + 1120), 20);
    EXPECT_EQ(LoadF64(info->Bytes() + 1128), 40);
}

TEST_F(PageTest, GetThenSetLeavesTheRecordByteIdentical) {
    PageSetupRecord& page = Doc().tree.active->pageSetup;
    page.landscape = 1;
    page.scale = 150;
    std::strcpy(page.headerText, "head");
    uint8_t before[kPageSetupRecordSize], after[kPageSetupRecordSize];
    SheetBytes(before);
    ASSERT_EQ(obj->GetPageSettings(info.get()), S_OK);
    EXPECT_EQ(std::memcmp(info->Bytes(), before, sizeof before), 0);
    ASSERT_EQ(obj->SetPageSettings(info.get()), S_OK);
    SheetBytes(after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    // Margins set through the object reach the worksheet.
    info->SetMargins(11, 22, 33, 44);
    ASSERT_EQ(obj->SetPageSettings(info.get()), S_OK);
    EXPECT_EQ(page.marginLeft, 11);
    EXPECT_EQ(page.marginTop, 22);
    EXPECT_EQ(page.marginRight, 33);
    EXPECT_EQ(page.marginBottom, 44);
}

TEST_F(PageTest, RecordsPrintingWouldRefuseChangeNothing) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::function<void(PageSetupRecord&)> change;
        HRESULT hr;
    };
    const Case cases[] = {
        {[](PageSetupRecord& p) { p.printRangeKind = 4; }, S_OK},
        {[](PageSetupRecord& p) { p.printRangeKind = 5; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.pagesPerSheetRows = 0; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.pagesPerSheetColumns = 10; }, S_OK},
        {[](PageSetupRecord& p) { p.pagesPerSheetColumns = 11; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.scale = 9; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.scale = 10; }, S_OK},
        {[](PageSetupRecord& p) { p.scale = 1000; }, S_OK},
        {[](PageSetupRecord& p) { p.scale = 1001; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.copies = 0; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.copies = 65534; }, S_OK},
        {[](PageSetupRecord& p) { p.copies = 65535; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.marginLeft = 65534; }, S_OK},
        {[](PageSetupRecord& p) { p.marginLeft = 65534.5; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.marginTop = -0.5; }, E_INVALIDARG},
        {[inf](PageSetupRecord& p) { p.marginBottom = inf; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.footerDistance = std::nan(""); }, E_INVALIDARG},
        // What the files keep by name: a code past its table would be saved but not read.
        {[](PageSetupRecord& p) { p.headerFont.font.family = 5; }, S_OK},
        {[](PageSetupRecord& p) { p.headerFont.font.family = 6; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.headerFont.font.weight = 3; }, S_OK},
        {[](PageSetupRecord& p) { p.headerFont.font.weight = 4; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.headerFont.font.charSet = 16; }, S_OK},
        {[](PageSetupRecord& p) { p.headerFont.font.charSet = 17; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.headerFont.font.size = 254; }, S_OK},
        {[](PageSetupRecord& p) { p.headerFont.font.size = 255; }, E_INVALIDARG},
        // A print range past the worksheet, which the binary reader refuses.
        {[](PageSetupRecord& p) { p.printRange.c2 = kLastColumn; }, S_OK},
        {[](PageSetupRecord& p) { p.printRange.c2 = kLastColumn + 1; }, E_INVALIDARG},
        {[](PageSetupRecord& p) { p.printRange.r1 = kLastRow; }, S_OK},
        {[](PageSetupRecord& p) { p.printRange.r1 = kLastRow + 1; }, E_INVALIDARG},
    };
    // First page numbers as the bytes hold them: the writer stores none the files refuse.
    const std::pair<uint16_t, HRESULT> firstPages[] = {
        {0, E_INVALIDARG}, {1, S_OK}, {65534, S_OK}, {65535, E_INVALIDARG}};
    for (size_t i = 0; i < std::size(cases) + std::size(firstPages); ++i) {
        PageSetupRecord page;
        InitPageSetup(page);
        const bool first = i >= std::size(cases);
        if (!first) cases[i].change(page);
        uint8_t bytes[kPageSetupRecordSize];
        WritePageSetupRecord(bytes, page);
        const HRESULT hr = first ? firstPages[i - std::size(cases)].second : cases[i].hr;
        if (first) {
            bytes[294] = uint8_t(firstPages[i - std::size(cases)].first);
            bytes[295] = uint8_t(firstPages[i - std::size(cases)].first >> 8);
        }
        std::shared_ptr<CSafeArray> array = PageRecordArray(bytes);
        ASSERT_EQ(info->SetData(array.get()), S_OK);
        uint8_t before[kPageSetupRecordSize], after[kPageSetupRecordSize];
        SheetBytes(before);
        EXPECT_EQ(obj->SetPageSettings(info.get()), hr) << i;
        SheetBytes(after);
        if (hr != S_OK)
            EXPECT_EQ(std::memcmp(before, after, sizeof before), 0) << i;
        else
            EXPECT_EQ(std::memcmp(bytes, after, sizeof bytes), 0) << i;
    }
}

// A record at the last values the files keep comes back whole from every native form.
TEST_F(PageTest, ARecordAtTheLastValuesComesBackFromEveryForm) {
    for (const uint8_t form :
         {kFormatXml, kFormatXmlCompressed, kFormatBinary, kFormatBinaryCompressed}) {
        SCOPED_TRACE(int(form));
        NewDocument();
        PageSetupRecord page;
        InitPageSetup(page);
        FontRecord& font = page.headerFont.font;
        std::strcpy(font.faceName, "Serif");
        font.family = 5, font.weight = 3, font.charSet = 16, font.size = 254;
        page.printRangeKind = kPrintCellRange;
        RangeDescriptor& range = page.printRange;
        range.c1 = kLastColumn - 1, range.r1 = kLastRow - 2;
        range.c2 = kLastColumn, range.r2 = kLastRow;
        uint8_t bytes[kPageSetupRecordSize];
        WritePageSetupRecord(bytes, page);
        ASSERT_EQ(info->SetData(PageRecordArray(bytes).get()), S_OK);
        ASSERT_EQ(obj->SetPageSettings(info.get()), S_OK);
        Doc().fileKind = 0;
        Profile().fileFormat = form;
        const std::string path = folder.Path("last" + std::to_string(form));
        ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
        Doc().stream.Close();
        std::shared_ptr<CWorkbookObj> back;
        ASSERT_EQ(CWorkbookObj::Create(back), S_OK);
        ASSERT_EQ(back->Load(CBstr(path), CBstr(), 0, nullptr, nullptr), S_OK);
        const PageSetupRecord& got = back->Document().tree.active->pageSetup;
        const FontRecord& f = got.headerFont.font;
        EXPECT_STREQ(f.faceName, "Serif");
        EXPECT_EQ(std::vector<int>({f.family, f.weight, f.charSet, f.size}),
                  std::vector<int>({5, 3, 16, 254}));
        const RangeDescriptor& r = got.printRange;
        EXPECT_EQ(std::vector<uint32_t>({r.c1, r.r1, r.c2, r.r2}),
                  std::vector<uint32_t>({kLastColumn - 1, kLastRow - 2, kLastColumn, kLastRow}));
    }
}

TEST_F(PageTest, DataNeedsEveryByteOfTheRecord) {
    uint8_t bytes[kPageSetupRecordSize];
    for (uint32_t i = 0; i < kPageSetupRecordSize; ++i) bytes[i] = uint8_t(i * 7);
    std::shared_ptr<CSafeArray> full = PageRecordArray(bytes);
    ASSERT_EQ(info->SetData(full.get()), S_OK);
    EXPECT_EQ(std::memcmp(info->Bytes(), bytes, sizeof bytes), 0);
    // One element short, a value over 255, or a bound starting past 0: refused, kept.
    std::shared_ptr<CSafeArray> shorter = CSafeArray::Create({{0, kPageSetupRecordSize - 1}});
    std::shared_ptr<CSafeArray> wide = PageRecordArray(bytes);
    const int32_t last[] = {int32_t(kPageSetupRecordSize - 1)};
    wide->PutElement(last, CVariant::Integer(VT_I4, 256));
    std::shared_ptr<CSafeArray> late = CSafeArray::Create({{1, kPageSetupRecordSize}});
    for (const auto& a : {shorter, wide, late}) {
        EXPECT_EQ(info->SetData(a.get()), E_FAIL);
        EXPECT_EQ(std::memcmp(info->Bytes(), bytes, sizeof bytes), 0);
    }
    // GetData fills a caller's array; one too short is E_FAIL.
    std::shared_ptr<CSafeArray> out = CSafeArray::Create({{0, kPageSetupRecordSize}});
    ASSERT_EQ(info->GetData(out.get()), S_OK);
    uint8_t back[kPageSetupRecordSize];
    ASSERT_TRUE(ReadPageRecordArray(*out, back));
    EXPECT_EQ(std::memcmp(back, bytes, sizeof bytes), 0);
    EXPECT_EQ(info->GetData(shorter.get()), E_FAIL);
    // No worksheet: error 13.
    std::shared_ptr<CWorkbookObj> empty;
    ASSERT_EQ(CWorkbookObj::Create(empty), S_OK);
    EXPECT_EQ(empty->GetPageSettings(info.get()), HRESULT(0x8004000D));
    EXPECT_EQ(empty->SetPageSettings(info.get()), HRESULT(0x8004000D));
}

} // namespace vl
