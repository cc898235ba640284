#include "dialogs/previewimage.h"
#include "dialogs/printpreview.h"
#include "print/printjob.h"
#include "rendertest.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cstring>
#include <tuple>

namespace vl {

using rendertest::Differing;
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

// The rows of the image, from `top` down to the paper's end, whose pixels between `left` and
// `right` are mostly dark: the horizontal lines drawn across that span, each run of rows one line.
int HorizontalLines(const QImage& image, int left, int right, int top) {
    int lines = 0;
    bool inLine = false;
    for (int y = top; y < image.height(); ++y) {
        int dark = 0;
        for (int x = left; x < right; ++x) dark += qGray(image.pixel(x, y)) < 160;
        if (qGray(image.pixel(left, y)) < 255 && qGray(image.pixel(left, y)) > 100 &&
            image.pixel(left, y) == image.pixel(0, y))
            break; // the window's background below the paper
        const bool line = dark * 10 > (right - left) * 6;
        if (line && !inLine) ++lines;
        inLine = line;
    }
    return lines;
}

} // namespace

// At a printer's resolution the window shows the sheet many times smaller; every gridline
// the page prints is still drawn.
TEST_F(PrintPreviewTest, TheWindowShowsEveryPrintedGridline) {
    Sheet().view.showGrid = 1;
    Sheet().pageSetup.rowHeadings = Sheet().pageSetup.columnHeadings = 0;
    Rows(1);
    mode_.printer.dpi = 300;
    auto preview = CPrintPreview::Open(Book(), Display(), Sheet(), mode_);
    ASSERT_TRUE(preview);
    PageRecord page;
    ASSERT_TRUE(GetPageRecord(Book(), 0, page));
    const int rows = int(page.lastRow - page.firstRow + 1);
    ASSERT_GT(rows, 30);
    preview->resize(420, 540); // about a seventh of the printer's pixels
    const QImage shown = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Past the window's background and the paper's white margin: column A's left gridline.
    const int y = shown.height() / 4;
    int left = 0;
    while (left < shown.width() && shown.pixel(left, y) != qRgb(255, 255, 255)) ++left;
    while (left < shown.width() && qGray(shown.pixel(left, y)) > 160) ++left;
    ASSERT_LT(left, shown.width() / 3);
    int top = 0; // the paper's first row
    while (top < shown.height() && shown.pixel(left + 3, top) != qRgb(255, 255, 255)) ++top;
    // One line above the first row and one under every row.
    EXPECT_EQ(HorizontalLines(shown, left + 3, left + 20, top), rows + 1);
}

// The recorded sheet the window shows and the page the printer prints are the same pixels.
TEST_F(PrintPreviewTest, PreviewAndPrintDrawTheSamePixels) {
    Sheet().view.showGrid = 1;
    for (uint32_t row = 0; row < 50; ++row) {
        PutText(0, row, "Row " + std::to_string(row));
        PutNumber(1, row, row * 1.5);
        PutText(2, row, "A long label that flows on");
    }
    auto preview = CPrintPreview::Open(Book(), Display(), Sheet(), mode_);
    ASSERT_TRUE(preview);
    const QImage previewed = ReducedSheet(preview->RecordSheet(0), QSize(816, 1056), 1);
    preview.reset();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    ASSERT_EQ(PrintWorksheets(Book(), Display(), {&Sheet()}, mode_, pdf.toStdString(), "").error,
              kErrorNone);
    QProcess render;
    render.start("pdftoppm", {"-r", "96", "-f", "1", "-l", "1", "-png", pdf, dir.filePath("p")});
    ASSERT_TRUE(render.waitForFinished(-1));
    const QImage printed = QImage(dir.filePath("p-1.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), previewed.size());
    EXPECT_LT(Differing(printed, previewed), 0.0005);
    // The check tells sheets apart: the second sheet differs from the first.
    auto again = CPrintPreview::Open(Book(), Display(), Sheet(), mode_);
    ASSERT_TRUE(again);
    ASSERT_GT(again->SheetCount(), 1);
    EXPECT_GT(Differing(printed, ReducedSheet(again->RecordSheet(1), printed.size(), 1)), 0.0005);
}

// Each block of n x n printer pixels keeps its average colour, unless a line crosses it
// whole: then it keeps the line's darkness. The image is rounded up to whole blocks, and n
// below 1 counts as 1.
TEST(PreviewImage, BlocksKeepTheirAverageOrTheLineThatCrossesThem) {
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(4, 0, 1, 1), QColor(200, 10, 250));
        painter.fillRect(QRect(5, 1, 1, 1), QColor(30, 220, 240));
        painter.fillRect(QRect(0, 6, 7, 1), Qt::black);          // across the lowest blocks
        painter.fillRect(QRect(1, 0, 1, 3), QColor(20, 40, 60)); // down the first block
        painter.fillRect(QRect(3, 3, 1, 2), Qt::black);          // two of three rows: no line
    }
    const QImage reduced = ReducedSheet(picture, QSize(7, 7), 3);
    ASSERT_EQ(reduced.size(), QSize(3, 3));
    // Seven white pixels and the two dots: (7 x 255 + 200 + 30) / 9 and so on, rounded.
    EXPECT_EQ(reduced.pixel(1, 0), qRgb(224, 224, 253));
    EXPECT_EQ(reduced.pixel(0, 0), qRgb(20, 40, 60));
    EXPECT_EQ(reduced.pixel(2, 0), qRgb(255, 255, 255));
    for (int x = 0; x < 3; ++x) EXPECT_EQ(reduced.pixel(x, 2), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(reduced.pixel(2, 1), qRgb(255, 255, 255));
    // Two black pixels of nine: 7 x 255 / 9, rounded.
    EXPECT_EQ(reduced.pixel(1, 1), qRgb(198, 198, 198));
    EXPECT_EQ(ReducedSheet(picture, QSize(7, 7), 0).size(), QSize(7, 7));
    const struct {
        double factor;
        int n;
    } reductions[] = {{1.0, 1},  {2.0, 1},  {0.51, 2}, {0.5, 2},
                      {0.49, 3}, {0.34, 3}, {0.1, 10}, {0, 1}};
    for (const auto& r : reductions) EXPECT_EQ(PreviewReduction(r.factor), r.n) << r.factor;
}

// Made seven times smaller, text keeps about the ink it has: letters neither smear into
// blots nor fade.
TEST(PreviewImage, TextKeepsItsInk) {
    const QSize paper(1400, 420);
    QPicture picture;
    {
        QPainter painter(&picture);
        QFont font(QStringLiteral("Sans"));
        font.setPixelSize(60);
        painter.setFont(font);
        for (int line = 0; line < 6; ++line)
            painter.drawText(10, 60 + line * 66, QStringLiteral("A long label that flows on 1.5"));
    }
    QImage full(paper, QImage::Format_RGB32);
    full.fill(Qt::white);
    {
        QPainter painter(&full);
        painter.drawPicture(0, 0, picture);
    }
    auto ink = [](const QImage& image) {
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) sum += 255 - qGray(image.pixel(x, y));
        return sum;
    };
    const double ratio = ink(ReducedSheet(picture, paper, 7)) * 49 / ink(full);
    EXPECT_GT(ratio, 0.8);
    EXPECT_LT(ratio, 1.4);
}

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

namespace vl {

namespace {

// Stops the pagination at its `stopAt`-th page.
class StopAtPage : public IPrintProgress {
public:
    explicit StopAtPage(uint32_t stopAt) : stopAt_(stopAt) {}
    bool Step(PrintStage stage, uint32_t pages, uint32_t, uint32_t) override {
        stages.push_back(stage);
        stopped_ = stopped_ || pages == stopAt_;
        return !stopped_;
    }
    bool Stopped() const override { return stopped_; }
    std::vector<PrintStage> stages;

private:
    uint32_t stopAt_;
    bool stopped_ = false;
};

} // namespace

// The preview's pagination is the user's to stop: nothing opens, no error is told and no
// page list is kept, at the first page made and the last; let run, it opens all of them.
TEST_F(PrintPreviewTest, AStoppedPaginationOpensNothingAndTellsNothing) {
    Rows(5);
    for (uint32_t stopAt : {0u, 4u}) {
        SCOPED_TRACE(stopAt);
        StopAtPage progress(stopAt);
        Book().error = kErrorNone;
        EXPECT_FALSE(
            CPrintPreview::Open(Book(), Display(), Sheet(), mode_, nullptr, "", &progress));
        EXPECT_EQ(Book().error, kErrorNone);
        EXPECT_EQ(PageListCount(Book()), 0u);
        EXPECT_EQ(progress.stages, std::vector<PrintStage>(stopAt + 1, PrintStage::kPaginating));
    }
    StopAtPage never(100);
    auto preview = CPrintPreview::Open(Book(), Display(), Sheet(), mode_, nullptr, "", &never);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->SheetCount(), 5);
    EXPECT_EQ(never.stages.size(), 5u);
}

} // namespace vl
