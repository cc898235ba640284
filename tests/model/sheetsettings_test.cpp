#include "model/container.h"
#include "model/sheetsettings.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <tuple>
#include <vector>

namespace vl {

namespace {

// Every byte outside the listed ranges is zero.
void ExpectZeroOutside(const std::vector<uint8_t>& b, const std::set<std::pair<int, int>>& used) {
    for (size_t i = 0; i < b.size(); ++i) {
        bool inside = false;
        for (const auto& [from, to] : used) inside |= int(i) >= from && int(i) < to;
        if (!inside) {
            ASSERT_EQ(b[i], 0) << "byte " << i;
        }
    }
}

} // namespace

// The defaults of a new page setup at their stored offsets, every other byte zero; a text
// of 127 characters fills its field up to the terminator.
TEST(SheetSettings, PageSetupRecord) {
    PageSetupRecord page;
    InitPageSetup(page);
    std::vector<uint8_t> b(kPageSetupRecordSize, 0xEE);
    WritePageSetupRecord(b.data(), page);
    EXPECT_EQ(std::tuple(b[292], b[293]), std::tuple(0x64, 0x00));
    for (int at : {294, 680, 1095, 1100, 1136, 1137, 1144, 1145}) EXPECT_EQ(b[at], 1) << at;
    for (int at : {688, 1104, 1112}) EXPECT_EQ(LoadF64(&b[at]), 12.7) << at;
    EXPECT_EQ(std::tuple(LoadF64(&b[696]), LoadF64(&b[1120]), LoadF64(&b[1128])),
              std::tuple(20.32, 20.32, 27.939));
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[704]), "&c Document: &f");
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[832]), "&c &p");
    EXPECT_EQ(LoadU32(&b[1096]), GetSystemColor(kColorWindowText));
    ExpectZeroOutside(
        b,
        {{292, 296}, {680, 681}, {688, 720}, {832, 837}, {1095, 1101}, {1104, 1138}, {1144, 1146}});
    PageSetupRecord back;
    ReadPageSetupRecord(b.data(), back);
    std::vector<uint8_t> again(kPageSetupRecordSize);
    WritePageSetupRecord(again.data(), back);
    EXPECT_EQ(b, again);
    std::memset(page.headerText, 'h', 127);
    page.headerText[127] = 0;
    WritePageSetupRecord(b.data(), page);
    EXPECT_EQ(std::tuple(b[830], b[831]), std::tuple(uint8_t('h'), uint8_t(0)));
}

TEST(SheetSettings, ViewSettingsRecord) {
    ViewSettingsRecord view;
    InitViewSettings(view);
    std::vector<uint8_t> b(kViewSettingsRecordSize, 0xEE);
    WriteViewSettingsRecord(b.data(), view);
    EXPECT_EQ(std::tuple(b[8], b[12], b[400], b[284]), std::tuple(1, 1, 1, 2));
    EXPECT_EQ(std::tuple(LoadU32(&b[16]), LoadU32(&b[24])),
              std::tuple(GetSystemColor(kColorWindow), GetSystemColor(kColorWindow)));
    EXPECT_EQ(std::tuple(LoadF64(&b[288]), LoadF64(&b[296]), LoadF64(&b[304]), LoadF64(&b[328])),
              std::tuple(0.1, 0.043, -1.1, 1.1));
    COLORREF palette[16];
    GetDefaultPalette16(palette);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(LoadU32(&b[336 + 4 * i]), palette[i]);
    EXPECT_EQ(std::tuple(LoadU32(&b[404]), LoadU32(&b[412]), LoadU16(&b[464])),
              std::tuple(GetSystemColor(kColorButtonFace), GetSystemColor(kColorButtonFace),
                         uint16_t(100)));
    ExpectZeroOutside(b, {{8, 9},
                          {12, 13},
                          {16, 20},
                          {24, 28},
                          {284, 285},
                          {288, 401},
                          {404, 408},
                          {412, 416},
                          {464, 466}});
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

TEST(SheetSettings, ContainerRecord) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    std::vector<uint8_t> b(kContainerSettingsRecordSize, 0xEE);
    WriteContainerSettingsRecord(b.data(), c->settings);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 2, b.begin() + 7),
              (std::vector<uint8_t>{1, 1, 4, 4, 100}));
    EXPECT_EQ(std::tuple(b[16], LoadI32(&b[20]), LoadI32(&b[24]), LoadI32(&b[28]), LoadI32(&b[32])),
              std::tuple(uint8_t(9), 10, 10, 360, 260));
    EXPECT_EQ(std::tuple(b[576], LoadF64(&b[856]), LoadF64(&b[864]), b[852], b[968], b[976]),
              std::tuple(uint8_t(1), 0.11, 0.66, uint8_t(0), uint8_t(1), uint8_t(0)));
    EXPECT_EQ(std::tuple(LoadU32(&b[904]), LoadU32(&b[904 + 4 * 15])), std::tuple(0x00FF00u, 0u));
    ContainerSettings back;
    ReadContainerSettingsRecord(b.data(), back);
    std::vector<uint8_t> again(kContainerSettingsRecordSize);
    WriteContainerSettingsRecord(again.data(), back);
    EXPECT_EQ(b, again);
}

} // namespace vl
