#include "model/chartrecords.h"
#include "model/sheetsettings.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

// A text of 127 characters fills its field up to the terminator.
TEST(SheetSettings, PageSetupTextFieldKeepsItsTerminator) {
    PageSetupRecord page;
    std::vector<uint8_t> b(kPageSetupRecordSize, 0xEE);
    std::memset(page.headerText, 'h', 127);
    page.headerText[127] = 0;
    WritePageSetupRecord(b.data(), page);
    EXPECT_EQ(std::tuple(b[830], b[831]), std::tuple(uint8_t('h'), uint8_t(0)));
}

TEST(SheetSettings, RecordsOfDistinctBytesRoundTrip) {
    EXPECT_TRUE(PatternRoundTrip(kPageSetupRecordSize, WritePageSetupRecord, ReadPageSetupRecord,
                                 "pagesetup"));
    EXPECT_TRUE(PatternRoundTrip(kViewSettingsRecordSize, WriteViewSettingsRecord,
                                 ReadViewSettingsRecord, "viewsettings"));
    EXPECT_TRUE(PatternRoundTrip(kContainerSettingsRecordSize, WriteContainerSettingsRecord,
                                 ReadContainerSettingsRecord, "containersettings"));
    EXPECT_TRUE(PatternRoundTrip(kChartSettingsRecordSize, WriteChartSettingsRecord,
                                 ReadChartSettingsRecord, "chartsettings"));
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
