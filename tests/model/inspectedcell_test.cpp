#include "model/inspectedcell.h"
#include "model/workbook.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

InspectedCellRecord Sample(uint32_t n) {
    InspectedCellRecord r;
    r.cell = {uint16_t(2046 - n), 2097151 - n, kRefCell};
    std::snprintf(r.worksheet, sizeof r.worksheet, "\\Folder %u\\Sheet", n);
    std::snprintf(r.name, sizeof r.name, "Watch %u", n);
    return r;
}

} // namespace

TEST(InspectedCellRecord, FieldsAtTheirOffsets) {
    InspectedCellRecord r = Sample(0);
    std::memset(r.worksheet, 'w', sizeof r.worksheet - 1);
    std::memset(r.name, 'n', sizeof r.name - 1);
    uint8_t p[kInspectedCellRecordSize];
    std::memset(p, 0xAA, sizeof p);
    WriteInspectedCellRecord(p, r);
    EXPECT_EQ(LoadU16(p), 2046);
    EXPECT_EQ(LoadU16(p + 2), 0); // reserved
    EXPECT_EQ(LoadU32(p + 4), 2097151u);
    EXPECT_EQ(p[8], 9);
    EXPECT_EQ(p[9] | p[10] | p[11], 0);
    EXPECT_EQ(p[12], 'w');
    EXPECT_EQ(p[12 + 254], 'w');
    EXPECT_EQ(p[12 + 255], 0); // a 255-character path ends in the field's last byte
    EXPECT_EQ(p[268], 'n');
    EXPECT_EQ(p[268 + 126], 'n');
    EXPECT_EQ(p[395], 0);
}

TEST(InspectedCellRecord, RoundTripAndDefaults) {
    const InspectedCellRecord r = Sample(7);
    uint8_t p[kInspectedCellRecordSize];
    WriteInspectedCellRecord(p, r);
    InspectedCellRecord back;
    ReadInspectedCellRecord(p, back);
    EXPECT_EQ(back.cell.column, r.cell.column);
    EXPECT_EQ(back.cell.row, r.cell.row);
    EXPECT_EQ(back.cell.flags, r.cell.flags);
    EXPECT_STREQ(back.worksheet, r.worksheet);
    EXPECT_STREQ(back.name, r.name);
    // A text without its NUL is cut at the field's end.
    std::memset(p + 268, 'z', 128);
    ReadInspectedCellRecord(p, back);
    EXPECT_EQ(std::strlen(back.name), 127u);
    const InspectedCellRecord fresh;
    EXPECT_EQ(fresh.cell.flags, 9);
    EXPECT_EQ(fresh.worksheet[0], 0);
}

// Twenty records to a page, kept in order.
TEST(InspectedCellRecord, WorkbookListKeepsTwentyToAPage) {
    auto bookOwner = CreateWorkbook();
    CWorkbook& book = *bookOwner;
    for (uint32_t i = 0; i < 41; ++i)
        ASSERT_TRUE(AppendInspectedCell(book.inspectedCells, Sample(i)));
    EXPECT_EQ(book.inspectedCells.ItemCount(), 41u);
    EXPECT_EQ(book.inspectedCells.PageCount(), 3u);
    EXPECT_EQ(book.inspectedCells.FirstPage()->used, 20 * kInspectedCellRecordSize);
    for (uint32_t i = 0; i < 41; ++i) {
        InspectedCellRecord r;
        ASSERT_TRUE(GetInspectedCell(book.inspectedCells, i, r));
        EXPECT_EQ(r.cell.row, 2097151 - i);
        EXPECT_EQ(std::string(r.name), "Watch " + std::to_string(i));
    }
    InspectedCellRecord r;
    EXPECT_FALSE(GetInspectedCell(book.inspectedCells, 41, r));
}

} // namespace vl
