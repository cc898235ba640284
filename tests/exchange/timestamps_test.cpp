// Every stamp of the present reads the one process clock: a save's date, an Excel XML
// document's last save, an xBase table's date of change.
#include "core/clock.h"
#include "exchange/excelxmlsave.h"
#include "exchange/xbase.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "model/workbook.h"
#include "tests/core/fixedclock.h"
#include "tests/exchange/exchangetestutil.h"
#include "values/localtime.h"

#include <gtest/gtest.h>
#include <string>

namespace vl::exchangetest {

TEST(Timestamps, SavesAndExportsStampTheProcessClock) {
    testclock::CFixedClock clock(2031, 11, 5, 9, 8, 7);
    TempFolder dir;
    auto book = CreateWorkbook();
    ASSERT_TRUE(NewWorkbook(*book));
    ASSERT_TRUE(SaveWorkbookFile(*book, dir.Path("a.vln").c_str(), kFileXml));
    EXPECT_EQ(std::string(book->lastSavedDate), "2031-11-05T09:08:07");

    DocumentProperties properties;
    PrepareExcelXmlProperties(properties, "me", ProcessClock().NowSeconds(), true);
    EXPECT_EQ(std::string(properties.lastSaved), "2031-11-05T09:08:07Z");

    XBaseSaveOptions options;
    options.format = 3;
    ASSERT_TRUE(AllocateDescriptors(options, 1));
    FillXBaseHeader(options, 1, 2, 0, false);
    EXPECT_EQ(int(options.header[1]), 131);
    EXPECT_EQ(int(options.header[2]), 11);
    EXPECT_EQ(int(options.header[3]), 5);
    ReleaseXBaseSaveOptions(options);
}

// The clock goes back to the system's when the test's clock goes.
TEST(Timestamps, TheSystemClockReturns) {
    { testclock::CFixedClock clock(1999, 1, 2); }
    EXPECT_GE(LocalDateTime().year, 2024);
}

} // namespace vl::exchangetest
