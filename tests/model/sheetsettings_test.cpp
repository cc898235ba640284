#include "model/sheetsettings.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

// The defaults of a new page setup, view and container at their stored offsets, every
// other byte zero; a text of 127 characters fills its field up to the terminator.
TEST(SheetSettings, PageSetupRecord) {
    PageSetupRecord page;
    InitPageSetup(page);
    EXPECT_TRUE(WritesDump(page, kPageSetupRecordSize, WritePageSetupRecord, ReadPageSetupRecord,
                           "pagesetup-new"));
    std::vector<uint8_t> b(kPageSetupRecordSize, 0xEE);
    std::memset(page.headerText, 'h', 127);
    page.headerText[127] = 0;
    WritePageSetupRecord(b.data(), page);
    EXPECT_EQ(std::tuple(b[830], b[831]), std::tuple(uint8_t('h'), uint8_t(0)));
}

TEST(SheetSettings, ViewSettingsAndContainerRecords) {
    ViewSettingsRecord view;
    InitViewSettings(view);
    EXPECT_TRUE(WritesDump(view, kViewSettingsRecordSize, WriteViewSettingsRecord,
                           ReadViewSettingsRecord, "viewsettings-new"));
    auto c = NewContainer(0);
    EXPECT_TRUE(WritesDump(c->settings, kContainerSettingsRecordSize, WriteContainerSettingsRecord,
                           ReadContainerSettingsRecord, "container-new"));
}

TEST(SheetSettings, RangeDescriptorKindsAndLayout) {
    const std::pair<CellRange, uint8_t> cases[] = {
        {{0, 0, kLastColumn, kLastRow}, kRangeWholeColumns}, // whole sheet: columns first
        {{3, 0, 5, kLastRow}, kRangeWholeColumns},
        {{3, 1, 5, kLastRow}, kRangePlain},
        {{0, 7, kLastColumn, 9}, kRangeWholeRows},
        {{0, 0, kLastColumn - 1, 9}, kRangePlain},
    };
    for (const auto& [range, kind] : cases) {
        RangeDescriptor d;
        MakeRangeDescriptor(range, &d);
        EXPECT_EQ(std::tuple(d.kind, d.kind2), std::tuple(kind, kind));
    }
    RangeDescriptor d;
    MakeRangeDescriptor({2, 70000, 9, 70010}, &d);
    uint8_t b[kRangeDescriptorSize];
    WriteRangeDescriptor(b, d);
    EXPECT_EQ(std::tuple(LoadU16(b), LoadU32(b + 4), b[8], LoadU16(b + 12), LoadU32(b + 16), b[20]),
              std::tuple(uint16_t(2), 70000u, uint8_t(kRangePlain), uint16_t(9), 70010u,
                         uint8_t(kRangePlain)));
}

} // namespace vl
