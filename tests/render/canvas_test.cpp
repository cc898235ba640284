#include "render/canvas.h"
#include "rendertest.h"

#include <QBuffer>
#include <QPdfWriter>
#include <gtest/gtest.h>

namespace vl {

using rendertest::WhiteImage;

namespace {

QRgb Pixel(COLORREF c) {
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

// The box of the pixels that are not white, and their count.
struct Painted {
    QRect box;
    int count = 0;
};
Painted PaintedPixels(const QImage& image) {
    Painted p;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                p.box |= QRect(x, y, 1, 1);
                ++p.count;
            }
    return p;
}

} // namespace

TEST(Canvas, ReleasingPutsBackEveryInitialObjectAndState) {
    QImage image = WhiteImage(20, 20);
    auto dc = CDeviceContext::ForImage(image);
    const void* font = dc->CurrentFont().Id();
    const DcPen pen = dc->CurrentPen();
    const DcBrush brush = dc->CurrentBrush();
    const COLORREF color = dc->GetTextColor();
    const int mode = dc->GetBkMode();
    const uint32_t align = dc->GetTextAlign();
    {
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        ASSERT_TRUE(canvas.SelectFont(DefaultFontRecord(), 30, 150));
        ASSERT_TRUE(canvas.SetPen(FORMAT_LINE_DASH, Rgb(1, 2, 3), 100));
        ASSERT_TRUE(canvas.SelectFillPattern(FORMAT_PAT_GRAY50, Rgb(9, 9, 9), Rgb(8, 8, 8)));
        canvas.SetTextColor(Rgb(200, 0, 0));
        ASSERT_TRUE(canvas.SetBkMode(1));
        ASSERT_TRUE(canvas.SetTextAlign(kAlignRight, kAlignBaseline));
        EXPECT_EQ(dc->GetTextAlign(), TA_RIGHT | TA_BASELINE);
        EXPECT_NE(dc->CurrentFont().Id(), font);
    }
    EXPECT_EQ(dc->CurrentFont().Id(), font);
    EXPECT_EQ(dc->CurrentPen().style, pen.style);
    EXPECT_EQ(dc->CurrentPen().color, pen.color);
    EXPECT_EQ(dc->CurrentBrush().kind, brush.kind);
    EXPECT_EQ(dc->CurrentBrush().color, brush.color);
    EXPECT_EQ(dc->GetTextColor(), color);
    EXPECT_EQ(dc->GetBkMode(), mode);
    EXPECT_EQ(dc->GetTextAlign(), align);
}

TEST(Canvas, MemoryContextGetsItsFirstBitmapBackAndTheBackBufferDraws) {
    QImage image = WhiteImage(4, 4);
    auto screen = CDeviceContext::ForImage(image);
    CCanvas window;
    window.AttachDC(screen.get());
    CCanvas memory;
    CDeviceContext* dc = memory.CreateMemoryDC(screen.get());
    ASSERT_NE(dc, nullptr);
    EXPECT_FALSE(dc->CanDraw());
    ASSERT_TRUE(memory.CreateBackBuffer(window, 30, 20));
    ASSERT_TRUE(dc->CurrentBitmap());
    EXPECT_EQ(dc->CurrentBitmap()->size(), QSize(30, 20));
    memory.SelectFillPattern(FORMAT_PAT_SOLID, Rgb(0, 0, 255), 0);
    EXPECT_TRUE(memory.FillRect({0, 0, 29, 19}));
    EXPECT_EQ(dc->CurrentBitmap()->pixel(29, 19), qRgb(0, 0, 255));
    memory.RestoreObjects();
    EXPECT_FALSE(dc->CurrentBitmap());
    memory.DeleteMemoryDC();
    EXPECT_EQ(memory.DC(), nullptr);
}

TEST(Canvas, SameFontIsCreatedOnceAndAChangedZoomMakesANewOne) {
    auto dc = CDeviceContext::ForScreen();
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    const FontRecord font = rendertest::Font("Liberation Serif", 12, 2);
    ASSERT_TRUE(canvas.SelectFont(font, 0, 100));
    const void* first = dc->CurrentFont().Id();
    ASSERT_TRUE(canvas.SelectFont(font, 0, 100));
    EXPECT_EQ(dc->CurrentFont().Id(), first);
    ASSERT_TRUE(canvas.SelectFont(font, 0, 150));
    EXPECT_NE(dc->CurrentFont().Id(), first);
    EXPECT_EQ(dc->CurrentFont().Log().weight, FW_BOLD);
    EXPECT_EQ(dc->CurrentFont().Log().height, -24); // MulDiv(12, 96, 72) x 150 / 100
}

TEST(Canvas, FontHeightsFollowPointsZoomAndTheDefaults) {
    struct Case {
        const char* face;
        uint8_t size;
        uint16_t zoom;
        int16_t angle;
        int32_t height;
        const char* logFace;
    } cases[] = {
        {"", 0, 100, 0, -13, "Arial"}, // empty face and size 0: the default font
        {"Arial", 10, 150, 0, -19, "Arial"},
        {"Liberation Mono", 9, 100, 45, -12, "Liberation Mono"},
        {"Arial", 1, 10, 0, 0, "Arial"}, // truncated to nothing
        {"Arial", 255, 400, -90, -1360, "Arial"},
    };
    auto dc = CDeviceContext::ForScreen();
    for (const Case& c : cases) {
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        ASSERT_TRUE(canvas.SelectFont(rendertest::Font(c.face, c.size), c.angle, c.zoom));
        EXPECT_EQ(dc->CurrentFont().Log().height, c.height) << c.face << " " << int(c.size);
        EXPECT_EQ(dc->CurrentFont().Log().escapement, c.angle * 10);
        EXPECT_EQ(dc->CurrentFont().Log().faceName, c.logFace);
    }
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    canvas.SelectFont(DefaultFontRecord(), 0, 100);
    EXPECT_EQ(dc->CurrentFont().Font().family(), "Liberation Sans");
}

TEST(Canvas, FaceNamesOfAnyLengthReachTheFontWhole) {
    auto dc = CDeviceContext::ForScreen();
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    const std::string face(100, 'F');
    canvas.SelectFont(rendertest::Font(face.c_str(), 10), 0, 100);
    EXPECT_EQ(dc->CurrentFont().Log().faceName, face);
    EXPECT_EQ(dc->CurrentFont().Font().family().toStdString(), face);
}

TEST(Canvas, PenStylesAndWidthsByLineCodeAndZoom) {
    struct Case {
        uint8_t line;
        uint16_t zoom;
        bool ok;
        uint32_t style;
        int32_t width;
    } cases[] = {
        {FORMAT_LINE_NULL, 100, true, PS_NULL, 0},
        {FORMAT_LINE_SOLID, 300, true, PS_SOLID, 0},
        {FORMAT_LINE_DOT, 100, true, PS_DOT, 0},
        {FORMAT_LINE_DASH, 100, true, PS_DASH, 0},
        {FORMAT_LINE_DASH_DOT, 100, true, PS_DASHDOT, 0},
        {FORMAT_LINE_DASH_DOTDOT, 100, true, PS_DASHDOTDOT, 0},
        {FORMAT_LINE_SOLID_1, 50, true, PS_SOLID, 0},
        {FORMAT_LINE_SOLID_2, 150, true, PS_SOLID, 3},
        {FORMAT_LINE_SOLID_3, 50, true, PS_SOLID, 1},
        {FORMAT_LINE_SOLID_3, 200, true, PS_SOLID, 6},
        {FORMAT_LINE_DOUBLE, 100, true, PS_SOLID, 3},
    };
    auto dc = CDeviceContext::ForScreen();
    for (const Case& c : cases) {
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        EXPECT_EQ(canvas.SetPen(c.line, Rgb(1, 2, 3), c.zoom), c.ok) << int(c.line);
        EXPECT_EQ(dc->CurrentPen().style, c.style) << int(c.line);
        EXPECT_EQ(dc->CurrentPen().width, c.width) << int(c.line) << " at " << c.zoom;
    }
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    const DcPen initial = dc->CurrentPen();
    canvas.SetPen(FORMAT_LINE_DASH, Rgb(9, 9, 9), 100);
    EXPECT_FALSE(canvas.SetPen(10, Rgb(1, 2, 3), 100));
    EXPECT_EQ(dc->CurrentPen().style, initial.style);
    EXPECT_EQ(dc->CurrentPen().color, initial.color);
}

TEST(Canvas, ThickestLineIsOnePixelAtHalfZoomAndSixAtDouble) {
    for (auto [zoom, thickness] : {std::pair{50, 1}, {100, 3}, {200, 6}}) {
        QImage image = WhiteImage(40, 40);
        auto dc = CDeviceContext::ForImage(image);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        canvas.SetPen(FORMAT_LINE_SOLID_3, 0, uint16_t(zoom));
        canvas.DrawLine(10, 20, 30, 20);
        canvas.RestoreObjects();
        dc.reset();
        int rows = 0;
        for (int y = 0; y < 40; ++y) rows += image.pixel(20, y) == qRgb(0, 0, 0);
        EXPECT_EQ(rows, thickness) << "zoom " << zoom;
    }
}

TEST(Canvas, EveryPatternTileIsTheTableAndTilesFromTheOrigin) {
    const uint8_t table[17][8] = {
        {0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44},
        {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
        {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD},
        {0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF},
        {0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF},
        {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF},
        {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33},
        {0x33, 0x99, 0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66},
        {0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99},
        {0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC},
        {0x00, 0x33, 0x00, 0xCC, 0x00, 0x33, 0x00, 0xCC},
        {0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF},
        {0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77},
        {0x77, 0xBB, 0xDD, 0xEE, 0x77, 0xBB, 0xDD, 0xEE},
        {0x77, 0xEE, 0xDD, 0xBB, 0x77, 0xEE, 0xDD, 0xBB},
        {0x00, 0x77, 0x77, 0x77, 0x00, 0x77, 0x77, 0x77},
        {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE},
    };
    const COLORREF fore = Rgb(200, 10, 20), back = Rgb(10, 220, 30);
    for (uint8_t code = 2; code <= 18; ++code) {
        const uint8_t* tile = FillPatternTile(code);
        ASSERT_NE(tile, nullptr);
        EXPECT_TRUE(std::equal(tile, tile + 8, table[code - 2])) << int(code);
        QImage image = WhiteImage(19, 19);
        auto dc = CDeviceContext::ForImage(image);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        ASSERT_TRUE(canvas.SelectFillPattern(code, fore, back));
        ASSERT_TRUE(canvas.FillRect({3, 3, 18, 18}));
        canvas.RestoreObjects();
        dc.reset();
        int wrong = 0;
        for (int y = 3; y <= 18; ++y)
            for (int x = 3; x <= 18; ++x) {
                const bool set = table[code - 2][y % 8] & (0x80 >> (x % 8));
                wrong += image.pixel(x, y) != Pixel(set ? back : fore);
            }
        EXPECT_EQ(wrong, 0) << "pattern " << int(code);
    }
    EXPECT_EQ(FillPatternTile(1), nullptr);
    EXPECT_EQ(FillPatternTile(19), nullptr);
}

TEST(Canvas, PatternCodesPastTheTableSelectNoBrushAndNoneIsHollow) {
    QImage image = WhiteImage(10, 10);
    auto dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    const DcBrush initial = dc->CurrentBrush();
    canvas.SelectFillPattern(FORMAT_PAT_SOLID, Rgb(1, 1, 1), 0);
    EXPECT_FALSE(canvas.SelectFillPattern(23, Rgb(5, 5, 5), 0));
    EXPECT_EQ(dc->CurrentBrush().kind, initial.kind);
    EXPECT_EQ(dc->CurrentBrush().color, initial.color);
    EXPECT_TRUE(canvas.SelectFillPattern(FORMAT_PAT_NONE, Rgb(5, 5, 5), 0));
    EXPECT_EQ(dc->CurrentBrush().kind, DcBrush::kNull);
    canvas.FillRect({0, 0, 9, 9});
    canvas.RestoreObjects();
    dc.reset();
    EXPECT_EQ(PaintedPixels(image).count, 0);
}

TEST(Canvas, FillRectCoversRightAndBottom) {
    QImage image = WhiteImage(20, 20);
    auto dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    canvas.SelectFillPattern(FORMAT_PAT_SOLID, Rgb(0, 0, 0), 0);
    canvas.FillRect({0, 0, 9, 9});
    canvas.RestoreObjects();
    dc.reset();
    const Painted p = PaintedPixels(image);
    EXPECT_EQ(p.count, 100);
    EXPECT_EQ(p.box, QRect(0, 0, 10, 10));
}

TEST(Canvas, SymmetricGradientTurnsAtTheMiddleRow) {
    QImage image = WhiteImage(4, 11);
    auto dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    const COLORREF edge = Rgb(0, 0, 200), middle = Rgb(250, 250, 0);
    canvas.SelectFillPattern(FORMAT_PAT_SYM_GRAD_VERT, edge, middle);
    canvas.FillRect({0, 0, 3, 10});
    canvas.RestoreObjects();
    dc.reset();
    EXPECT_EQ(image.pixel(1, 0), Pixel(edge));
    EXPECT_EQ(image.pixel(1, 5), Pixel(middle)); // (0 + 10) / 2
    for (int y = 1; y < 5; ++y) EXPECT_LT(qRed(image.pixel(1, y - 1)), qRed(image.pixel(1, y)));
    for (int y = 6; y <= 10; ++y) EXPECT_GT(qRed(image.pixel(1, y - 1)), qRed(image.pixel(1, y)));
}

TEST(Canvas, FillRectWithPatternFramesWithThePen) {
    QImage image = WhiteImage(12, 12);
    auto dc = CDeviceContext::ForImage(image);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    canvas.SetPen(FORMAT_LINE_SOLID, Rgb(255, 0, 0), 100);
    canvas.SelectFillPattern(FORMAT_PAT_SOLID, Rgb(0, 0, 255), 0);
    canvas.FillRectWithPattern({1, 1, 10, 10});
    canvas.RestoreObjects();
    dc.reset();
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(image.pixel(i, 1), qRgb(255, 0, 0)) << i;
        EXPECT_EQ(image.pixel(1, i), qRgb(255, 0, 0)) << i;
        EXPECT_EQ(image.pixel(10, i), qRgb(255, 0, 0)) << i;
        EXPECT_EQ(image.pixel(i, 10), qRgb(255, 0, 0)) << i;
    }
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(11, 11), qRgb(255, 255, 255));
}

TEST(Canvas, DeflateKeepsUncrossedEdgesAndCollapsesCrossedOnesToTheirMiddle) {
    struct Case {
        DcRect in;
        int32_t l, t, r, b;
        DcRect out;
    } cases[] = {
        {{10, 20, 50, 80}, 2, 3, 4, 5, {12, 23, 46, 75}},
        {{10, 20, 50, 80}, 20, 0, 20, 0, {30, 20, 30, 80}},     // exactly meeting
        {{10, 20, 50, 80}, 30, 0, 30, 0, {30, 20, 30, 80}},     // crossed: the middle, 30
        {{100, 20, 110, 80}, 8, 40, 8, 40, {105, 50, 105, 50}}, // both pairs crossed
        {{-11, -3, 0, 4}, 10, 10, 10, 10, {-5, 0, -5, 0}},
    };
    for (const Case& c : cases) {
        DcRect r = c.in;
        DeflateRectBy(r, c.l, c.t, c.r, c.b);
        EXPECT_EQ(r.left, c.out.left);
        EXPECT_EQ(r.top, c.out.top);
        EXPECT_EQ(r.right, c.out.right);
        EXPECT_EQ(r.bottom, c.out.bottom);
    }
    DcRect r{10, 20, 50, 80};
    InflateRectBy(r, 1, 2, 3, 4);
    EXPECT_EQ(r.left, 9);
    EXPECT_EQ(r.bottom, 84);
}

TEST(Canvas, BorderPenTakesWindowTextWithoutAColour) {
    auto dc = CDeviceContext::ForScreen();
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    canvas.SetBorderPen({FORMAT_LINE_DOT, 0, Rgb(9, 9, 9)}, 100);
    EXPECT_EQ(dc->CurrentPen().color, GetSystemColor(kColorWindowText));
    canvas.SetBorderPen({FORMAT_LINE_DOT, 1, Rgb(9, 9, 9)}, 100);
    EXPECT_EQ(dc->CurrentPen().color, Rgb(9, 9, 9));
    InteriorFill fill{FORMAT_PAT_GRAY50, 0, Rgb(1, 1, 1), 1, Rgb(2, 2, 2)};
    canvas.SelectFill(fill);
    EXPECT_EQ(dc->CurrentBrush().color, GetSystemColor(kColorWindow));
}

TEST(Canvas, WithoutAContextNothingIsSelected) {
    CCanvas canvas;
    EXPECT_FALSE(canvas.SelectFont(DefaultFontRecord(), 0, 100));
    EXPECT_FALSE(canvas.SetPen(FORMAT_LINE_SOLID, 0, 100));
    EXPECT_FALSE(canvas.SelectFillPattern(FORMAT_PAT_SOLID, 0, 0));
    EXPECT_FALSE(canvas.FillRect({0, 0, 1, 1}));
    int32_t w = 5, h = 5;
    EXPECT_FALSE(canvas.MeasureText("X", w, h));
}

} // namespace vl

namespace vl {

TEST(Canvas, PrintedPatternTilesGrowWithThePrinterResolutionButNotInPreview) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(300); // 300 / 96 is 3 in whole pixels
    auto dc = CDeviceContext::ForDevice(pdf);
    struct Case {
        bool print, preview;
        int size;
    } cases[] = {{false, false, 8}, {true, false, 24}, {true, true, 8}};
    for (const Case& c : cases) {
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        canvas.SetPrintFlags(c.print, c.preview);
        ASSERT_TRUE(canvas.SelectFillPattern(FORMAT_PAT_GRAY50, 0, Rgb(255, 255, 255)));
        ASSERT_TRUE(dc->CurrentBrush().pattern);
        EXPECT_EQ(dc->CurrentBrush().pattern->width(), c.size);
        EXPECT_EQ(dc->CurrentBrush().pattern->height(), c.size);
    }
}

} // namespace vl
