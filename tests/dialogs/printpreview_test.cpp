#include "dialogs/printpreview.h"
#include "rendertest.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <cstring>
#include <tuple>

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
    // A recorded sheet holds drawing; past the last it holds the header and footer only.
    EXPECT_GT(preview->RecordSheet(0).size(), preview->RecordSheet(99).size());
    preview->resize(400, 500);
    preview->grab(); // paints without a display
    preview.reset(); // closing frees the page list
    EXPECT_EQ(PageListCount(Book()), 0u);
}

// Wheel `notches` (positive: down) over the preview's centre.
void Wheel(QWidget& w, int notches) {
    const QPointF at(w.width() / 2.0, w.height() / 2.0);
    QWheelEvent event(at, w.mapToGlobal(at), {}, {0, -120 * notches}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &event);
}

TEST_F(PrintPreviewTest, ZoomInWaitsForAClickOrRectangle) {
    Rows(1);
    auto preview = CPrintPreview::Open(Book(), Display(), Sheet(), mode_);
    ASSERT_TRUE(preview);
    preview->resize(300, 400);
    int notified = 0;
    preview->SetZoomChanged([&] { ++notified; });
    QTest::mouseClick(preview.get(), Qt::LeftButton, {}, {100, 100}); // not armed: nothing
    EXPECT_EQ(preview->Zoom(), 1.0);
    preview->ZoomIn();
    EXPECT_EQ(preview->Zoom(), 1.0);
    EXPECT_EQ(preview->ZoomMode(), 1);
    QTest::mouseClick(preview.get(), Qt::LeftButton, {}, {100, 100});
    EXPECT_EQ(preview->Zoom(), 2.0);
    EXPECT_EQ(notified, 1);
    // The clicked point stays under the mouse: the view scrolled right and down.
    EXPECT_GT(preview->Scroll().x(), 0);
    EXPECT_GT(preview->Scroll().y(), 0);
    preview->ZoomOut();
    EXPECT_EQ(preview->Zoom(), 1.0);
    EXPECT_EQ(preview->ZoomMode(), 0);
    EXPECT_EQ(preview->Scroll(), QPoint(0, 0));
    // A rectangle a quarter of the window wide and tall zooms about four times.
    preview->ZoomIn();
    QTest::mousePress(preview.get(), Qt::LeftButton, {}, {150, 100});
    QTest::mouseRelease(preview.get(), Qt::LeftButton, {}, {80, 200}); // dragged up-left first
    EXPECT_GT(preview->Zoom(), 2.5);
    EXPECT_LE(preview->Zoom(), 8.0);
    EXPECT_EQ(notified, 2);
    for (int i = 0; i < 5; ++i) preview->ZoomAt(preview->Zoom() * 2, {10, 10});
    EXPECT_EQ(preview->Zoom(), 8.0); // the most
}

TEST_F(PrintPreviewTest, WheelStopsAtThePageEnd) {
    for (auto [delta, lines, steps] : {std::tuple{120, 3, 3},
                                       {-120, 3, 3},
                                       {40, 3, 1},
                                       {39, 3, 1},
                                       {1, 1, 1},
                                       {240, 1, 2},
                                       {0, 3, 0},
                                       {120, 0, 3}})
        EXPECT_EQ(CPrintPreview::WheelSteps(delta, lines), steps) << delta << " " << lines;
    Rows(1);
    auto preview = CPrintPreview::Open(Book(), Display(), Sheet(), mode_);
    ASSERT_TRUE(preview);
    preview->resize(300, 400);
    Wheel(*preview, 3); // the whole sheet shows: nothing to scroll
    EXPECT_EQ(preview->Scroll(), QPoint(0, 0));
    preview->ZoomAt(4.0, {0, 0});
    const QPoint limit = preview->ScrollLimit();
    ASSERT_GT(limit.y(), 0);
    Wheel(*preview, 1);
    EXPECT_GT(preview->Scroll().y(), 0);
    Wheel(*preview, 1000); // past the bottom: stops at the page's end
    EXPECT_EQ(preview->Scroll().y(), limit.y());
    Wheel(*preview, -1000);
    EXPECT_EQ(preview->Scroll().y(), 0);
    preview->ScrollBy({100000, 0});
    EXPECT_EQ(preview->Scroll().x(), limit.x());
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
