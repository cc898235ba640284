#include "model/container.h"
#include "model/sheetsettings.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
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

TEST(SheetSettings, NewPageSetupRecord) {
    PageSetupRecord page;
    InitPageSetup(page);
    std::vector<uint8_t> b(kPageSetupRecordSize, 0xEE);
    WritePageSetupRecord(b.data(), page);
    EXPECT_EQ(b[292], 0x64);
    EXPECT_EQ(b[293], 0x00);
    for (int at : {294, 680, 1095, 1100, 1136, 1137, 1144, 1145}) EXPECT_EQ(b[at], 1) << at;
    const uint8_t d127[8] = {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x29, 0x40};
    for (int at : {688, 1104, 1112}) EXPECT_EQ(std::memcmp(&b[at], d127, 8), 0) << at;
    EXPECT_EQ(LoadF64(&b[696]), 20.32);
    EXPECT_EQ(LoadF64(&b[1120]), 20.32);
    EXPECT_EQ(LoadF64(&b[1128]), 27.939);
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[704]), "&c Document: &f");
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[832]), "&c &p");
    EXPECT_EQ(LoadU32(&b[1096]), GetSystemColor(kColorWindowText));
    ExpectZeroOutside(b, {{292, 296},
                          {680, 681},
                          {688, 704},
                          {704, 720},
                          {832, 837},
                          {1095, 1101},
                          {1104, 1136},
                          {1136, 1138},
                          {1144, 1146}});
    PageSetupRecord back;
    ReadPageSetupRecord(b.data(), back);
    std::vector<uint8_t> again(kPageSetupRecordSize);
    WritePageSetupRecord(again.data(), back);
    EXPECT_EQ(b, again);
}

TEST(SheetSettings, HeaderTextOf127CharactersFillsItsField) {
    PageSetupRecord page;
    InitPageSetup(page);
    std::memset(page.headerText, 'h', 127);
    page.headerText[127] = 0;
    std::vector<uint8_t> b(kPageSetupRecordSize);
    WritePageSetupRecord(b.data(), page);
    EXPECT_EQ(b[830], 'h');
    EXPECT_EQ(b[831], 0);
}

TEST(SheetSettings, NewViewSettingsRecord) {
    ViewSettingsRecord view;
    InitViewSettings(view);
    std::vector<uint8_t> b(kViewSettingsRecordSize, 0xEE);
    WriteViewSettingsRecord(b.data(), view);
    EXPECT_EQ(b[8], 1);
    EXPECT_EQ(b[12], 1);
    EXPECT_EQ(b[400], 1);
    EXPECT_EQ(b[284], 2);
    EXPECT_EQ(LoadU32(&b[16]), GetSystemColor(kColorWindow));
    EXPECT_EQ(LoadU32(&b[24]), GetSystemColor(kColorWindow));
    const uint8_t d01[8] = {0x9a, 0x99, 0x99, 0x99, 0x99, 0x99, 0xb9, 0x3f};
    EXPECT_EQ(std::memcmp(&b[288], d01, 8), 0);
    EXPECT_EQ(LoadF64(&b[296]), 0.043);
    EXPECT_EQ(LoadF64(&b[304]), -1.1);
    EXPECT_EQ(LoadF64(&b[328]), 1.1);
    COLORREF palette[16];
    GetDefaultPalette16(palette);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(LoadU32(&b[336 + 4 * i]), palette[i]);
    EXPECT_EQ(LoadU32(&b[404]), GetSystemColor(kColorButtonFace));
    EXPECT_EQ(LoadU32(&b[412]), GetSystemColor(kColorButtonFace));
    EXPECT_EQ(LoadU16(&b[464]), 100);
    ExpectZeroOutside(b, {{8, 9},
                          {12, 13},
                          {16, 20},
                          {24, 28},
                          {284, 285},
                          {288, 400},
                          {400, 401},
                          {404, 408},
                          {412, 416},
                          {464, 466}});
}

TEST(SheetSettings, RangeDescriptorKindsAndLayout) {
    struct Case {
        CellRange range;
        uint8_t kind;
    };
    const Case cases[] = {
        {{0, 0, kLastColumn, kLastRow}, kRangeWholeColumns}, // whole sheet: columns first
        {{3, 0, 5, kLastRow}, kRangeWholeColumns},
        {{0, 7, kLastColumn, 9}, kRangeWholeRows},
        {{0, 0, kLastColumn - 1, 9}, kRangePlain},
        {{1, 1, 1, 1}, kRangePlain},
    };
    for (const Case& c : cases) {
        RangeDescriptor d;
        MakeRangeDescriptor(c.range, &d);
        EXPECT_EQ(d.kind, c.kind);
        EXPECT_EQ(d.kind2, c.kind);
    }
    RangeDescriptor d;
    MakeRangeDescriptor({2, 70000, 9, 70010}, &d);
    uint8_t b[kRangeDescriptorSize];
    WriteRangeDescriptor(b, d);
    EXPECT_EQ(LoadU16(b), 2);
    EXPECT_EQ(LoadU32(b + 4), 70000u);
    EXPECT_EQ(b[8], kRangePlain);
    EXPECT_EQ(LoadU16(b + 12), 9);
    EXPECT_EQ(LoadU32(b + 16), 70010u);
    EXPECT_EQ(b[20], kRangePlain);
}

TEST(SheetSettings, NewContainerRecord) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    std::vector<uint8_t> b(kContainerSettingsRecordSize, 0xEE);
    WriteContainerSettingsRecord(b.data(), c->settings);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 2, b.begin() + 7),
              (std::vector<uint8_t>{1, 1, 4, 4, 100}));
    EXPECT_EQ(b[16], 9);
    EXPECT_EQ(LoadI32(&b[20]), 10);
    EXPECT_EQ(LoadI32(&b[24]), 10);
    EXPECT_EQ(LoadI32(&b[28]), 360);
    EXPECT_EQ(LoadI32(&b[32]), 260);
    EXPECT_EQ(b[576], 1);
    EXPECT_EQ(LoadF64(&b[856]), 0.11);
    EXPECT_EQ(LoadF64(&b[864]), 0.66);
    EXPECT_EQ(LoadU32(&b[904]), 0x00FF00u);
    EXPECT_EQ(LoadU32(&b[904 + 4 * 15]), 0u);
    EXPECT_EQ(b[852], 0); // image view
    EXPECT_EQ(b[968], 1);
    EXPECT_EQ(b[976], 0);
    EXPECT_EQ(c->selected, -1);
    ContainerSettings back;
    ReadContainerSettingsRecord(b.data(), back);
    std::vector<uint8_t> again(kContainerSettingsRecordSize);
    WriteContainerSettingsRecord(again.data(), back);
    EXPECT_EQ(b, again);
}

} // namespace vl
