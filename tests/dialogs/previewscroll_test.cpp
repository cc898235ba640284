// The preview scrolled to the end of a page at four times the whole-sheet size: the page's
// bottom edge and its whole bottom margin are in the window, measured against the paper and
// the margins the page setup gives, not against the preview's own scroll limit.

#include "dialogs/printpreview.h"
#include "rendertest.h"

#include <QApplication>
#include <QImage>
#include <QWheelEvent>

namespace vl {

namespace {

using rendertest::SheetFixture;

constexpr int kPaperWidth = 816; // Letter at 96 pixels per inch
constexpr double kPixelsPerMm = 96 / 25.4;

class PreviewScrollTest : public ::testing::Test, public SheetFixture {
protected:
    PreviewScrollTest() {
        Sheet().InitPageSetup();
        PageSetupRecord& setup = Sheet().pageSetup;
        // Four different margins, so that one taken for another shows.
        setup.marginLeft = 11;
        setup.marginRight = 23;
        setup.marginTop = 17;
        setup.marginBottom = 41;
        setup.headerText[0] = setup.footerText[0] = 0;
        setup.rowHeadings = setup.columnHeadings = 0;
        Sheet().view.showGrid = 1;
        mode_.printer = PdfPrinter();
        mode_.printer.dpi = 96;
        mode_.paper = {"Letter", 1, QPageSize(QPageSize::Letter)};
        // More rows than a page holds: the first page is full down to its bottom margin.
        for (uint32_t row = 0; row < 150; ++row) PutNumber(0, row, row);
    }
    DeviceMode mode_;
};

QImage Shot(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The first and last pixels of the row that differ from the window's background.
std::pair<int, int> PaperSpan(const QImage& image, int y, QRgb background) {
    int first = 0, last = image.width() - 1;
    while (first < image.width() && image.pixel(first, y) == background) ++first;
    while (last >= 0 && image.pixel(last, y) == background) --last;
    return {first, last};
}

bool WhiteRow(const QImage& image, int y, int left, int right) {
    for (int x = left; x <= right; ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

TEST_F(PreviewScrollTest, AtZoomFourTheEndOfThePageShowsItsBottomMargin) {
    for (QSize size : {QSize(300, 400), QSize(420, 360)}) {
        auto preview = CPrintPreview::Open(Book(), Display(), Sheet(), mode_);
        ASSERT_TRUE(preview);
        preview->resize(size);
        // Window pixels per paper pixel, from the whole paper as shown at first.
        const QImage whole = Shot(*preview);
        const QRgb background = whole.pixel(0, 0); // the window around the paper
        const auto [left, right] = PaperSpan(whole, whole.height() / 2, background);
        ASSERT_LT(left, right);
        const double factor = 4.0 * (right - left + 1) / kPaperWidth;
        preview->ZoomAt(4.0, {0, 0});
        for (int i = 0; i < 200; ++i) {
            const QPointF at(preview->width() / 2.0, preview->height() / 2.0);
            QWheelEvent wheel(at, preview->mapToGlobal(at), {}, {0, -1200}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(preview.get(), &wheel);
        }
        const QImage end = Shot(*preview);
        const int x = end.width() / 2;
        // The paper's last row, with the window's background under it.
        int bottom = end.height() - 1;
        while (bottom >= 0 && end.pixel(x, bottom) == background) --bottom;
        ASSERT_GE(bottom, 0) << size.width();
        EXPECT_LT(bottom, end.height() - 1) << size.width() << ": the paper runs past the window";
        // Upward from it: the white of the bottom margin across the window, then the printed
        // rows' gridlines.
        const auto [paperLeft, paperRight] = PaperSpan(end, bottom, background);
        int white = 0;
        while (bottom - white >= 0 && WhiteRow(end, bottom - white, paperLeft, paperRight)) ++white;
        const double margin = Sheet().pageSetup.marginBottom * kPixelsPerMm * factor;
        // Within two paper pixels: the margin's millimetres round, and the last gridline
        // is drawn on the printable area's edge.
        EXPECT_GE(white + 2 * factor + 1, margin) << size.width();
        // No more than the margin and a part row that did not fit: the page's content shows
        // right above it.
        EXPECT_LT(white, margin + 30 * factor) << size.width();
        EXPECT_GT(bottom - white, 0) << size.width();
    }
}

} // namespace

} // namespace vl
