#include "render/highlight.h"
#include "render/paintsheet.h"
#include "rendertest.h"

#include <gtest/gtest.h>

namespace vl {

using rendertest::ColumnX;
using rendertest::RowY;
using rendertest::SheetFixture;
using rendertest::WhiteImage;

namespace {

// A painted sheet (real fonts: a heading band of 15, a row heading of 22) and highlights
// drawn over it.
class HighlightTest : public ::testing::Test, public SheetFixture {
protected:
    HighlightTest() : image_(WhiteImage(400, 220)), dc_(CDeviceContext::ForImage(image_)) {
        canvas_.AttachDC(dc_.get());
        PutText(1, 1, "text under the highlight");
        PutNumber(3, 4, 12);
        PaintAt(0, 0);
    }
    void PaintAt(uint32_t row, uint16_t column) {
        firstRow_ = row;
        firstColumn_ = column;
        PaintOn(canvas_, area_, row, column);
    }
    void Highlight(const CellRange& range, const CellRange* previous = nullptr) {
        PaintSelectionHighlight(Book(), canvas_, area_, Sheet(), firstRow_, firstColumn_, previous,
                                range, zoom_);
        canvas_.RestoreObjects();
    }
    QImage Snapshot() const { return image_.copy(); }

    QImage image_;
    std::unique_ptr<CDeviceContext> dc_;
    CCanvas canvas_;
    const DcRect area_{0, 0, 399, 219};
    const ZoomPair zoom_{100, 100};
    uint32_t firstRow_ = 0;
    uint16_t firstColumn_ = 0;
};

} // namespace

// Drawn twice, a highlight leaves the image as it was; moved, exactly the new one shows.
TEST_F(HighlightTest, MovingFromTheOldRangeLeavesExactlyTheNewOne) {
    const QImage before = Snapshot();
    struct Case {
        CellRange from, to;
    } cases[] = {
        {{1, 1, 3, 3}, {2, 2, 4, 5}}, // overlapping
        {{1, 1, 3, 3}, {1, 1, 3, 5}}, // sharing the top and side edges
        {{0, 0, 0, 0}, {0, 0, 4, 0}}, // one cell grown into a row
        {{2, 2, 2, 2}, {2, 2, 2, 2}}, // unchanged
        {{0, 7, 1, 8}, {3, 1, 4, 2}}, // apart
    };
    for (const Case& c : cases) {
        Highlight(c.to);
        const QImage expected = Snapshot();
        EXPECT_NE(expected, before);
        Highlight(c.to);
        ASSERT_EQ(Snapshot(), before);
        Highlight(c.from);
        Highlight(c.to, &c.from);
        EXPECT_EQ(Snapshot(), expected) << c.to.c1 << "," << c.to.r1;
        Highlight(c.to);
        ASSERT_EQ(Snapshot(), before);
    }
}

TEST_F(HighlightTest, FirstCellIsFramedNotTintedAndTheRestIsTinted) {
    Highlight({1, 2, 3, 4});
    const QImage& im = image_;
    const QRgb tint = qRgb(205, 205, 255);
    EXPECT_EQ(im.pixel(ColumnX(1) + 30, RowY(2) + 9), qRgb(255, 255, 255)); // first cell
    EXPECT_EQ(im.pixel(ColumnX(2) + 30, RowY(3) + 9), tint);
    EXPECT_EQ(im.pixel(ColumnX(2), RowY(3)), qRgb(230, 226, 200)); // inner gridlines tinted too
    EXPECT_EQ(im.pixel(ColumnX(1) + 3, RowY(3) + 9), tint);        // inset 3 from the left band
    EXPECT_EQ(im.pixel(ColumnX(1) + 2, RowY(3) + 9), qRgb(255, 255, 255));
    // The outline: three pixels over the gridline above the first row, black where white.
    EXPECT_EQ(im.pixel(ColumnX(2) + 5, RowY(2) - 1), qRgb(0, 0, 0));
    EXPECT_EQ(im.pixel(ColumnX(2) + 5, RowY(2)), qRgb(43, 47, 55)); // the gridline inverted
    EXPECT_EQ(im.pixel(ColumnX(2) + 5, RowY(2) + 1), qRgb(0, 0, 0));
    EXPECT_EQ(im.pixel(ColumnX(2) + 5, RowY(2) + 2), qRgb(255, 255, 255));
    // Headings of the range's rows and columns.
    EXPECT_EQ(im.pixel(ColumnX(2) + 5, 5), qRgb(176, 180, 200));
    EXPECT_EQ(im.pixel(10, RowY(3) + 5), qRgb(176, 180, 200));
    EXPECT_EQ(im.pixel(ColumnX(4) + 5, 5), qRgb(212, 208, 200));
    EXPECT_EQ(im.pixel(10, RowY(5) + 5), qRgb(212, 208, 200));
}

TEST_F(HighlightTest, BandsAtTheViewsFirstRowAndColumnKeepOnlyTheirInsidePixel) {
    Highlight({0, 0, 1, 1});
    const QImage& im = image_;
    EXPECT_EQ(im.pixel(ColumnX(0), RowY(0) + 9), qRgb(128, 128, 128)); // frame untouched
    EXPECT_EQ(im.pixel(ColumnX(0) + 1, RowY(0) + 9), qRgb(0, 0, 0));
    EXPECT_EQ(im.pixel(ColumnX(0) + 9, RowY(0)), qRgb(128, 128, 128));
    EXPECT_EQ(im.pixel(ColumnX(0) + 9, RowY(0) + 1), qRgb(0, 0, 0));
}

TEST_F(HighlightTest, RangeStartingLeftOfTheViewHasNoLeftBand) {
    PaintAt(0, 2);
    Highlight({0, 1, 3, 3});
    const QImage& im = image_;
    const int x = ColumnX(0); // now column 2
    EXPECT_EQ(im.pixel(x, RowY(2) + 9), qRgb(128, 128, 128));
    EXPECT_EQ(im.pixel(x + 1, RowY(2) + 9), qRgb(205, 205, 255)); // tinted, not a band
    EXPECT_EQ(im.pixel(x + 1, RowY(1) + 1), qRgb(0, 0, 0));       // the top band reaches it
}

} // namespace vl
