#include "render/canvas.h"
#include "rendertest.h"

#include <QBuffer>
#include <QPdfWriter>
#include <gtest/gtest.h>
#include <tuple>

namespace vl {

using rendertest::ScreenCanvas;
using rendertest::WhiteImage;

namespace {

auto PenOf(const CDeviceContext& dc) {
    return std::tuple(dc.CurrentPen().style, dc.CurrentPen().width, dc.CurrentPen().color);
}
auto BrushOf(const CDeviceContext& dc) {
    return std::tuple(dc.CurrentBrush().kind, dc.CurrentBrush().color);
}

} // namespace

TEST(Canvas, ReleasingPutsBackEveryInitialObjectAndState) {
    QImage image = WhiteImage(20, 20);
    auto dc = CDeviceContext::ForImage(image);
    const auto state = [&] {
        return std::tuple(dc->CurrentFont().Id(), PenOf(*dc), BrushOf(*dc), dc->GetTextColor(),
                          dc->GetBkMode(), dc->GetTextAlign());
    };
    const auto initial = state();
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
        EXPECT_NE(dc->CurrentFont().Id(), std::get<0>(initial));
    }
    EXPECT_EQ(state(), initial);
}

TEST(Canvas, MemoryContextGetsItsFirstBitmapBackAndTheBackBufferDraws) {
    QImage image = WhiteImage(4, 4);
    auto screen = CDeviceContext::ForImage(image);
    CCanvas window, memory;
    window.AttachDC(screen.get());
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
    ScreenCanvas s;
    const FontRecord font = rendertest::Font("Liberation Serif", 12, 2);
    ASSERT_TRUE(s.canvas.SelectFont(font, 0, 100));
    const void* first = s.dc->CurrentFont().Id();
    ASSERT_TRUE(s.canvas.SelectFont(font, 0, 100));
    EXPECT_EQ(s.dc->CurrentFont().Id(), first);
    ASSERT_TRUE(s.canvas.SelectFont(font, 0, 150));
    EXPECT_NE(s.dc->CurrentFont().Id(), first);
    EXPECT_EQ(s.dc->CurrentFont().Log().weight, FW_BOLD);
}

TEST(Canvas, FontHeightsFollowPointsZoomAndTheDefaults) {
    const std::string longFace(100, 'F'); // a face of any length reaches the font whole
    struct Case {
        std::string face;
        uint8_t size;
        uint16_t zoom;
        int16_t angle;
        int32_t height;
        std::string logFace;
    } cases[] = {
        {"", 0, 100, 0, -13, "Arial"}, // empty face and size 0: the default font
        {"Arial", 10, 150, 0, -19, "Arial"},
        {"Liberation Mono", 9, 100, 45, -12, "Liberation Mono"},
        {"Arial", 1, 10, 0, 0, "Arial"}, // truncated to nothing
        {"Arial", 255, 400, -90, -1360, "Arial"},
        {longFace, 10, 100, 0, -13, longFace},
    };
    for (const Case& c : cases) {
        ScreenCanvas s;
        ASSERT_TRUE(s.canvas.SelectFont(rendertest::Font(c.face.c_str(), c.size), c.angle, c.zoom));
        const auto& log = s.dc->CurrentFont().Log();
        EXPECT_EQ(std::tuple(log.height, log.escapement, std::string(log.faceName)),
                  std::tuple(c.height, c.angle * 10, c.logFace))
            << c.face << " " << int(c.size);
    }
    ScreenCanvas s;
    s.canvas.SelectFont(rendertest::Font(longFace.c_str(), 10), 0, 100);
    EXPECT_EQ(s.dc->CurrentFont().Font().family().toStdString(), longFace);
}

TEST(Canvas, PenStylesAndWidthsByLineCodeAndZoom) {
    // Every code at 50, 100 and 200 % is drawn in the "pens" golden image; here the other
    // zooms and the widths of 0 and 1 that look alike on screen.
    const std::tuple<uint8_t, uint16_t, uint32_t, int32_t> cases[] = {
        {FORMAT_LINE_SOLID, 300, PS_SOLID, 0},
        {FORMAT_LINE_SOLID_1, 50, PS_SOLID, 0},
        {FORMAT_LINE_SOLID_2, 150, PS_SOLID, 3},
        {FORMAT_LINE_SOLID_3, 50, PS_SOLID, 1},
    };
    for (const auto& [line, zoom, style, width] : cases) {
        ScreenCanvas s;
        EXPECT_TRUE(s.canvas.SetPen(line, Rgb(1, 2, 3), zoom)) << int(line);
        EXPECT_EQ(PenOf(*s.dc), std::tuple(style, width, Rgb(1, 2, 3)))
            << int(line) << " at " << zoom;
    }
    // An unknown line code fails and puts the initial pen back.
    ScreenCanvas s;
    const auto initial = PenOf(*s.dc);
    s.canvas.SetPen(FORMAT_LINE_DASH, Rgb(9, 9, 9), 100);
    EXPECT_FALSE(s.canvas.SetPen(10, Rgb(1, 2, 3), 100));
    EXPECT_EQ(PenOf(*s.dc), initial);
}

// Every code in the table, hollow code 0 among them, is drawn in the "patterns" golden image.
TEST(Canvas, PatternCodesPastTheTableSelectNoBrush) {
    ScreenCanvas s;
    const auto initial = BrushOf(*s.dc);
    s.canvas.SelectFillPattern(FORMAT_PAT_SOLID, Rgb(1, 1, 1), 0);
    EXPECT_FALSE(s.canvas.SelectFillPattern(23, Rgb(5, 5, 5), 0));
    EXPECT_EQ(BrushOf(*s.dc), initial);
    EXPECT_EQ(FillPatternTile(1), nullptr);
    EXPECT_EQ(FillPatternTile(19), nullptr);
}

TEST(Canvas, DeflateKeepsUncrossedEdgesAndCollapsesCrossedOnesToTheirMiddle) {
    const auto edges = [](const DcRect& r) { return std::tuple(r.left, r.top, r.right, r.bottom); };
    const std::tuple<DcRect, int32_t, int32_t, int32_t, int32_t, DcRect> cases[] = {
        {{10, 20, 50, 80}, 2, 3, 4, 5, {12, 23, 46, 75}},
        {{10, 20, 50, 80}, 20, 0, 20, 0, {30, 20, 30, 80}},     // exactly meeting
        {{10, 20, 50, 80}, 30, 0, 30, 0, {30, 20, 30, 80}},     // crossed: the middle, 30
        {{100, 20, 110, 80}, 8, 40, 8, 40, {105, 50, 105, 50}}, // both pairs crossed
        {{-11, -3, 0, 4}, 10, 10, 10, 10, {-5, 0, -5, 0}},
    };
    for (auto [r, left, top, right, bottom, out] : cases) {
        DeflateRectBy(r, left, top, right, bottom);
        EXPECT_EQ(edges(r), edges(out)) << left << " " << top;
    }
    DcRect r{10, 20, 50, 80};
    InflateRectBy(r, 1, 2, 3, 4);
    EXPECT_EQ(edges(r), std::tuple(9, 18, 53, 84));
}

TEST(Canvas, BorderPenTakesWindowTextWithoutAColour) {
    ScreenCanvas s;
    s.canvas.SetBorderPen({FORMAT_LINE_DOT, 0, Rgb(9, 9, 9)}, 100);
    EXPECT_EQ(s.dc->CurrentPen().color, GetSystemColor(kColorWindowText));
    s.canvas.SetBorderPen({FORMAT_LINE_DOT, 1, Rgb(9, 9, 9)}, 100);
    EXPECT_EQ(s.dc->CurrentPen().color, Rgb(9, 9, 9));
    s.canvas.SelectFill({FORMAT_PAT_GRAY50, 0, Rgb(1, 1, 1), 1, Rgb(2, 2, 2)});
    EXPECT_EQ(s.dc->CurrentBrush().color, GetSystemColor(kColorWindow));
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

TEST(Canvas, PrintedPatternTilesGrowWithThePrinterResolutionButNotInPreview) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(300); // 300 / 96 is 3 in whole pixels
    auto dc = CDeviceContext::ForDevice(pdf);
    for (auto [print, preview, size] :
         {std::tuple(false, false, 8), {true, false, 24}, {true, true, 8}}) {
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        canvas.SetPrintFlags(print, preview);
        ASSERT_TRUE(canvas.SelectFillPattern(FORMAT_PAT_GRAY50, 0, Rgb(255, 255, 255)));
        ASSERT_TRUE(dc->CurrentBrush().pattern);
        EXPECT_EQ(dc->CurrentBrush().pattern->size(), QSize(size, size)) << print << preview;
    }
}

} // namespace vl
