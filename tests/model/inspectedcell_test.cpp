#include "model/inspectedcell.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

InspectedCellRecord Sample(uint32_t n) {
    InspectedCellRecord r;
    r.cell = {uint16_t(2046 - n), 2097151 - n, kRefCell};
    std::snprintf(r.worksheet, sizeof r.worksheet, "\\Folder %u\\Sheet", n);
    std::snprintf(r.name, sizeof r.name, "Watch %u", n);
    return r;
}

} // namespace

// Every field at its offset: a 255-character path ends in the field's last byte. Read
// back, the record is the same; a text without its NUL is cut at the field's end.
TEST(InspectedCellRecord, FieldsAtTheirOffsetsAndRoundTrip) {
    InspectedCellRecord r = Sample(0);
    std::memset(r.worksheet, 'w', sizeof r.worksheet - 1);
    std::memset(r.name, 'n', sizeof r.name - 1);
    EXPECT_TRUE(WritesDump(r, kInspectedCellRecordSize, WriteInspectedCellRecord,
                           ReadInspectedCellRecord, "inspectedcell"));
    r = Sample(7);
    uint8_t p[kInspectedCellRecordSize];
    WriteInspectedCellRecord(p, r);
    InspectedCellRecord back;
    ReadInspectedCellRecord(p, back);
    EXPECT_EQ(std::tuple(back.cell.column, back.cell.row, back.cell.flags,
                         std::string(back.worksheet), std::string(back.name)),
              std::tuple(r.cell.column, r.cell.row, r.cell.flags, std::string(r.worksheet),
                         std::string(r.name)));
    std::memset(p + 268, 'z', 128);
    ReadInspectedCellRecord(p, back);
    const InspectedCellRecord fresh;
    EXPECT_EQ(std::tuple(std::strlen(back.name), fresh.cell.flags, fresh.worksheet[0]),
              std::tuple(127u, uint8_t(9), '\0'));
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
