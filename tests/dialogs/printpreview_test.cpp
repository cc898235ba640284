#include "dialogs/printpreview.h"
#include "rendertest.h"

#include <cstring>

namespace vl {

using rendertest::SheetFixture;

namespace {

class PrintPreviewTest : public ::testing::Test, public SheetFixture {
protected:
    PrintPreviewTest() {
        Sheet().InitPageSetup();
        mode_.printer = PdfPrinter();
        mode_.printer.dpi = 96;
        mode_.paper = {"Letter", 1, QPageSize(QPageSize::Letter)};
    }
    // Pages of 40 rows at the default margins: `pages` of them.
    void Rows(uint32_t pages) {
        for (uint32_t row = 0; row < pages * 40; ++row) PutNumber(0, row, row);
    }
    DeviceMode mode_;
};

} // namespace

TEST_F(PrintPreviewTest, PagesSheetsAndZoom) {
    Rows(10);
    Sheet().pageSetup.pagesPerSheetRows = Sheet().pageSetup.pagesPerSheetColumns = 2;
    auto preview = CPrintPreview::Open(Book(), Display(), Sheet(), mode_);
    ASSERT_TRUE(preview);
    const uint32_t pages = PageListCount(Book());
    ASSERT_GE(pages, 9u);
    EXPECT_EQ(preview->SheetCount(), int((pages + 3) / 4));
    EXPECT_EQ(preview->CurrentSheet(), 0);
    preview->Previous(); // on the first: nothing
    EXPECT_EQ(preview->CurrentSheet(), 0);
    for (int n = 1; n < preview->SheetCount(); ++n) {
        preview->Next();
        EXPECT_EQ(preview->CurrentSheet(), n);
    }
    preview->Next(); // on the last: nothing
    EXPECT_EQ(preview->CurrentSheet(), preview->SheetCount() - 1);
    preview->ShowSheet(-1);
    preview->ShowSheet(preview->SheetCount());
    EXPECT_EQ(preview->CurrentSheet(), preview->SheetCount() - 1);
    preview->ZoomOut(); // unzoomed it stays 1.0
    EXPECT_EQ(preview->Zoom(), 1.0);
    preview->ZoomIn();
    EXPECT_EQ(preview->Zoom(), 2.0);
    preview->ZoomOut();
    EXPECT_EQ(preview->Zoom(), 1.0);
    // A recorded sheet holds drawing; past the last it holds the header and footer only.
    EXPECT_GT(preview->RecordSheet(0).size(), preview->RecordSheet(99).size());
    preview->resize(400, 500);
    preview->grab(); // paints without a display
    preview.reset(); // closing frees the page list
    EXPECT_EQ(PageListCount(Book()), 0u);
}

TEST_F(PrintPreviewTest, FailedPaginationOpensNothing) {
    Rows(2);
    Sheet().pageSetup.printRangeKind = kPrintPageList;
    std::strcpy(Sheet().pageSetup.pages, "7");
    EXPECT_FALSE(CPrintPreview::Open(Book(), Display(), Sheet(), mode_));
    EXPECT_EQ(Book().error, 17);
    EXPECT_EQ(PageListCount(Book()), 0u);
}

} // namespace vl
