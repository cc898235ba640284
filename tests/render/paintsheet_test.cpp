#include "core/settings.h"
#include "render/metrics.h"
#include "render/paintsheet.h"
#include "rendertest.h"

#include <gtest/gtest.h>

namespace vl {

using rendertest::ColumnX;
using rendertest::MatchesGolden;
using rendertest::RowY;
using rendertest::SheetFixture;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
const QRgb kGrid = qRgb(212, 208, 200);

// A sheet painted into an image at the top-left scroll position unless a test moves it.
class PaintSheetTest : public ::testing::Test, public SheetFixture {
protected:
    QImage Paint(int width = 400, int height = 220, ZoomPair zoom = {100, 100},
                 uint32_t firstRow = 0, uint16_t firstColumn = 0) {
        return rendertest::Drawn(width, height, [&](CCanvas& canvas) {
            PaintOn(canvas, {0, 0, width - 1, height - 1}, firstRow, firstColumn, zoom);
        });
    }
    // Pixels inside the cell's box that are not white.
    static int Inked(const QImage& image, int c, int r) {
        int n = 0;
        for (int y = RowY(r) + 1; y <= RowY(r) + 18; ++y)
            for (int x = ColumnX(c) + 1; x <= ColumnX(c) + 72; ++x)
                n += image.pixel(x, y) != kWhite;
        return n;
    }
};

} // namespace

TEST_F(PaintSheetTest, LeftTextFlowsOverEmptyNeighboursAndStopsAtAnyRecord) {
    PutText(0, 0, "a long text that runs on and on past two cells");
    PutText(2, 0, ""); // an empty text is still a record
    StyleRecord blue;
    blue.fill = {FORMAT_PAT_SOLID, 1, Rgb(0, 0, 255), 1, Rgb(255, 255, 255)};
    SetStyle(1, 0, AddStyle(blue)); // filled but empty, under the flowing text
    const QImage image = Paint();
    EXPECT_EQ(Inked(image, 2, 0), 0);
    int blueSeen = 0; // the flowed-into cell's fill is left out
    for (int y = RowY(0) + 1; y <= RowY(0) + 18; ++y)
        for (int x = ColumnX(1) + 1; x < ColumnX(2); ++x)
            blueSeen += image.pixel(x, y) == qRgb(0, 0, 255);
    EXPECT_EQ(blueSeen, 0);
}

// A centred title in column A cannot flow left of it: it is painted as the same title left-
// aligned is, over the columns it covers, not cut where its centred half would end.
TEST_F(PaintSheetTest, ACentredTitleInColumnAShowsWhole) {
    const std::string title = "A centred title far longer than its own cell, over four";
    PutText(0, 0, title);
    const QImage left = Paint(600);
    StyleRecord centred;
    centred.horizontalAlignment = kAlignCenter;
    SetStyle(0, 0, AddStyle(centred));
    const QImage centre = Paint(600);
    int covered = 0;
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(Inked(centre, c, 0) > 0, Inked(left, c, 0) > 0) << c;
        covered += Inked(left, c, 0) > 0;
    }
    EXPECT_GE(covered, 4);
    EXPECT_EQ(rendertest::Differing(left, centre), 0.0);
}

TEST_F(PaintSheetTest, FormulasShowTheirTextWhenAsked) {
    PutFormula(1, 3, "1+2", 3);
    QImage image = Paint();
    auto leftmostInk = [&](const QImage& im, int c, int r) {
        for (int x = ColumnX(c) + 1; x <= ColumnX(c) + 72; ++x)
            for (int y = RowY(r) + 1; y <= RowY(r) + 18; ++y)
                if (im.pixel(x, y) != kWhite && qGreen(im.pixel(x, y)) != 190) return x;
        return -1;
    };
    EXPECT_GT(leftmostInk(image, 1, 3), ColumnX(1) + 50); // a numeric result: right
    Book().showFormulas = 1;
    image = Paint();
    EXPECT_LT(leftmostInk(image, 1, 3), ColumnX(1) + 10); // the formula's text: left
}

TEST_F(PaintSheetTest, TextFlowingLeftStopsAtThePinnedColumnAndTheHeadings) {
    StyleRecord right;
    right.horizontalAlignment = kAlignRight;
    const uint16_t r = AddStyle(right);
    PutText(4, 1, "a right-aligned text far longer than three cells can hold");
    SetStyle(4, 1, r);
    PutText(2, 3, "another long right-aligned text");
    SetStyle(2, 3, r);
    Sheet().view.freezed = {0, 0, kRefColumn};
    const QImage pinned = Paint(400, 220, {100, 100}, 0, 3);
    // Column 0 is pinned at the left; the scrolled part starts with column 3.
    EXPECT_EQ(Inked(pinned, 0, 1), 0);
    EXPECT_GT(Inked(pinned, 1, 1), 0); // column 3 on screen
    Sheet().view.freezed = {};
    const QImage plain = Paint(400, 220, {100, 100}, 0, 1);
    EXPECT_GT(Inked(plain, 0, 3), 0); // column 1 on screen: the text reaches it
    for (int y = RowY(3) + 1; y < RowY(4); ++y) {
        EXPECT_EQ(plain.pixel(ColumnX(0), y), qRgb(128, 128, 128)) << y; // the frame line
        EXPECT_EQ(plain.pixel(ColumnX(0) - 1, y), kGrid) << y;           // the heading
    }
}

// The other marks are in the "pinned_marks" goldens; these lie on a filled cell.
TEST_F(PaintSheetTest, FilledCellShowsItsListMark) {
    StyleRecord list;
    list.dropDownList = 3;
    PutText(3, 1, "x");
    SetStyle(3, 1, AddStyle(list));
    EXPECT_EQ(Paint().pixel(ColumnX(4) - 1, RowY(2) - 1), qRgb(0, 0, 190));
}

// Drawn borders are in the "fills_borders" golden; sides without a line style draw nothing.
TEST_F(PaintSheetTest, BordersNeedALineStyle) {
    StyleRecord none;
    none.borderSides = 0x3F;
    none.borderLine = {FORMAT_LINE_NULL, 1, Rgb(255, 0, 0)};
    SetStyle(1, 1, AddStyle(none));
    const QImage image = Paint();
    for (int x = ColumnX(1); x <= ColumnX(2); ++x)
        for (int y = RowY(1); y <= RowY(2); ++y) EXPECT_NE(image.pixel(x, y), qRgb(255, 0, 0));
}

TEST_F(PaintSheetTest, GoldenTextFlowWrapAndFit) {
    StyleRecord centred;
    centred.horizontalAlignment = kAlignCenter;
    StyleRecord right;
    right.horizontalAlignment = kAlignRight;
    StyleRecord wrap;
    wrap.wrapText = 1;
    wrap.verticalAlignment = kAlignTop;
    StyleRecord fit;
    fit.fitToCell = 1;
    const FontRecord big = rendertest::Font("Liberation Serif", 14, 2);
    PutText(0, 0, "left text flowing over two cells");
    PutText(2, 0, "stop");
    PutText(3, 1, "right text flowing left");
    SetStyle(3, 1, AddStyle(right));
    PutText(2, 2, "centred wide text");
    SetStyle(2, 2, AddStyle(centred));
    PutText(1, 3, "centred");
    SetStyle(1, 3, AddStyle(centred, &big));
    PutText(0, 4, "wrapped words in a narrow cell");
    SetStyle(0, 4, AddStyle(wrap));
    ASSERT_TRUE(SetFormatStoreRowEntry(Sheet().formats, 4, 40, true));
    PutText(2, 4, "fitted into the cell");
    SetStyle(2, 4, AddStyle(fit, &big));
    PutNumber(4, 5, 1234.5);
    PutText(0, 6, "bold");
    SetStyle(0, 6, AddStyle(StyleRecord{}, &big));
    EXPECT_TRUE(MatchesGolden(Paint(), "text_flow"));
}

TEST_F(PaintSheetTest, GoldenFillsAndEveryBorder) {
    const uint8_t patterns[] = {FORMAT_PAT_SOLID, FORMAT_PAT_GRAY50, FORMAT_PAT_DCROSS,
                                FORMAT_PAT_GRAD_VERT, FORMAT_PAT_SYM_GRAD_HORZ};
    for (int i = 0; i < 5; ++i) {
        StyleRecord s;
        s.fill = {patterns[i], 1, Rgb(40, 90, 200), 1, Rgb(250, 240, 150)};
        SetStyle(uint16_t(i), 0, AddStyle(s));
    }
    const uint8_t edges[] = {kBorderTop,   kBorderBottom,       kBorderLeft,
                             kBorderRight, kBorderDiagonalLeft, kBorderDiagonalRight};
    const uint8_t lines[] = {FORMAT_LINE_SOLID,    FORMAT_LINE_DOT,         FORMAT_LINE_DASH,
                             FORMAT_LINE_DASH_DOT, FORMAT_LINE_DASH_DOTDOT, FORMAT_LINE_SOLID_2};
    for (int i = 0; i < 6; ++i) {
        StyleRecord s;
        s.borderSides = edges[i];
        s.borderLine = {lines[i], 1, Rgb(200, 0, uint8_t(40 * i))};
        SetStyle(uint16_t(i), 2, AddStyle(s));
    }
    StyleRecord all;
    all.borderSides = 0x0F;
    all.borderLine = {FORMAT_LINE_SOLID_3, 0, 0};
    all.fill = {FORMAT_PAT_THIN_DSTRIPE, 1, Rgb(0, 160, 0), 0, 0};
    const uint16_t boxed = AddStyle(all);
    SetStyle(1, 3, 5, boxed);
    SetStyle(1, 3, 6, boxed);
    PutText(2, 6, "over a fill");
    EXPECT_TRUE(MatchesGolden(Paint(500, 180), "fills_borders"));
}

TEST_F(PaintSheetTest, GoldenPinnedRowAndColumnWithMarks) {
    Sheet().view.freezed = {1, 0, kRefRow | kRefColumn};
    for (uint16_t c = 0; c < 6; ++c) PutText(c, 0, "title " + std::to_string(c));
    for (uint32_t r = 0; r < 10; ++r) PutNumber(1, r, r * 1.5);
    PutFormula(4, 30, "1+1", 2);
    StyleRecord list;
    list.dropDownList = 1;
    SetStyle(5, 31, AddStyle(list));
    EXPECT_TRUE(MatchesGolden(Paint(400, 220, {100, 100}, 28, 3), "pinned_marks"));
    Book().hideCellMarkers = 1;
    EXPECT_TRUE(MatchesGolden(Paint(400, 220, {100, 100}, 28, 3), "pinned_marks_hidden"));
}

TEST_F(PaintSheetTest, GoldenZoomedAndR1C1Headings) {
    PutText(0, 0, "zoomed");
    PutNumber(1, 1, 42);
    StyleRecord s;
    s.fill = {FORMAT_PAT_GRAY25, 1, Rgb(180, 0, 0), 1, Rgb(255, 255, 255)};
    s.borderSides = 0x0F;
    s.borderLine = {FORMAT_LINE_SOLID, 1, Rgb(0, 0, 160)};
    SetStyle(2, 2, AddStyle(s));
    PutFormula(2, 2, "6*7", 42);
    EXPECT_TRUE(MatchesGolden(Paint(300, 160, {50, 50}), "zoom50"));
    EXPECT_TRUE(MatchesGolden(Paint(480, 200, {200, 200}), "zoom200"));
    const uint8_t a1 = Profile().addressingA1;
    Profile().addressingA1 = 0;
    const QImage r1c1 = Paint(300, 100);
    Profile().addressingA1 = a1;
    EXPECT_TRUE(MatchesGolden(r1c1, "r1c1_headings"));
}

TEST_F(PaintSheetTest, BackgroundGradientBehindCells) {
    Sheet().view.background.pattern = {FORMAT_PAT_GRAD_HORZ, 1, Rgb(255, 255, 255), 1,
                                       Rgb(160, 200, 255)};
    Sheet().view.showGrid = 0;
    PutText(1, 1, "over the background");
    EXPECT_TRUE(MatchesGolden(Paint(300, 100), "background_gradient"));
}

} // namespace vl
