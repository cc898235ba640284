#include "print/pagepaint.h"
#include "print/printjob.h"
#include "rendertest.h"

#include <random>

namespace vl {

using rendertest::FixedSheetTest;

// Page-setup records of any bytes, paginated and painted on a fake 96-dpi Letter printer:
// whatever they hold, pagination ends with pages or an error and painting ends.
class PageFuzzTest : public FixedSheetTest {};

TEST_F(PageFuzzTest, RecordsOfAnyBytes) {
    for (uint32_t row = 0; row < 40; ++row)
        for (uint16_t column = 0; column < 6; ++column)
            PutText(column, row, row % 7 ? "t" : "a long text that flows far to the right");
    std::mt19937 random(38);
    const DeviceCaps caps{816, 1056, 0, 0, 816, 1056, 96, 96, 216, 279};
    std::vector<uint8_t> bytes(kPageSetupRecordSize);
    const char* texts[] = {"", "1", "2-5", "1,3-5, 9", "1-2097152", "0", "5-", "x", "3-1-2"};
    int printed = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        for (uint8_t& b : bytes) b = uint8_t(random());
        PageSetupRecord& setup = Sheet().pageSetup;
        ReadPageSetupRecord(bytes.data(), setup);
        // Texts that parse as well as bytes that do not.
        auto text = [&](char* field) {
            if (random() % 2) std::snprintf(field, kPageTextSize, "%s", texts[random() % 9]);
        };
        text(setup.pages);
        text(setup.excludedRows);
        text(setup.excludedColumns);
        setup.printRangeKind = uint8_t(random() % 6);
        // A range of any size is valid and costs its size: keep it near the cells.
        setup.printRange.r1 %= 200;
        setup.printRange.r2 %= 200;
        setup.printRange.c1 %= 30;
        setup.printRange.c2 %= 30;
        setup.copies = uint16_t(random() % 4);
        setup.scale = uint16_t(random() % 400);
        ZoomPair scale{};
        const PrintMetrics m = ComputePrintMetrics(caps, setup, 96, 96, true, scale);
        Book().error = kErrorNone;
        if (!PaginateSheet(Book(), canvas_, Sheet(), m, scale)) {
            EXPECT_NE(Book().error, kErrorNone);
            ++refused;
            continue;
        }
        ++printed;
        const uint32_t sheets = std::min<uint32_t>(SheetCount(Book(), setup), 3);
        for (uint32_t n = 0; n <= sheets; ++n)
            EXPECT_TRUE(PaintPrintPage(Book(), Display(), canvas_, n, Sheet(), m, scale));
        FreePageList(Book());
    }
    EXPECT_GT(printed, 0);
    EXPECT_GT(refused, 0);
}

} // namespace vl
