#include "platform/gui/devicecontext.h"

#include <QPicture>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace vl {

namespace {

QImage White(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Draws into a fresh white image through a context that is gone before the image is read.
template <class Draw> QImage Drawn(int width, int height, Draw draw) {
    QImage image = White(width, height);
    draw(*CDeviceContext::ForImage(image));
    return image;
}

bool Black(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

} // namespace

// Dashes and lines across, down, back and up are in the render tests' "pens" golden image;
// raster operations in the highlight tests.
TEST(DeviceContext, DiagonalLinesLeaveOutTheirEndPixel) {
    struct Case {
        DcPoint from, to;
        QPoint last;    // the last pixel drawn
        QPoint skipped; // the end point
        int pixels;
    } cases[] = {{{1, 1}, {8, 8}, {7, 7}, {8, 8}, 7}, {{8, 1}, {1, 8}, {2, 7}, {1, 8}, 7}};
    for (const Case& c : cases) {
        const QImage image = Drawn(16, 16, [&](CDeviceContext& dc) {
            dc.SelectPen({PS_SOLID, 0, 0});
            dc.MoveTo(c.from.x, c.from.y);
            ASSERT_TRUE(dc.LineTo(c.to.x, c.to.y));
        });
        int count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) count += Black(image, x, y);
        EXPECT_EQ(count, c.pixels) << c.from.x << "," << c.from.y;
        EXPECT_TRUE(Black(image, c.from.x, c.from.y));
        EXPECT_TRUE(Black(image, c.last.x(), c.last.y())) << c.from.x << "," << c.from.y;
        EXPECT_FALSE(Black(image, c.skipped.x(), c.skipped.y()));
    }
}

TEST(DeviceContext, NullPenMovesWithoutDrawing) {
    const QImage image = Drawn(8, 8, [](CDeviceContext& dc) {
        dc.SelectPen({PS_NULL, 0, 0});
        dc.MoveTo(0, 0);
        dc.LineTo(7, 7);
        dc.SelectPen({PS_SOLID, 0, 0});
        dc.LineTo(7, 0); // from where the null pen left off
    });
    EXPECT_FALSE(Black(image, 0, 0));
    EXPECT_TRUE(Black(image, 7, 7));
    EXPECT_TRUE(Black(image, 7, 1));
}

TEST(DeviceContext, ClipsNestAndRestoreWithTheSavedState) {
    const QImage image = Drawn(10, 10, [](CDeviceContext& dc) {
        dc.SelectBrush({DcBrush::kSolid, 0, nullptr});
        dc.SetTextColor(Rgb(1, 2, 3));
        EXPECT_EQ(dc.SaveDC(), 1);
        dc.IntersectClipRect(2, 2, 8, 8); // right and bottom outside
        dc.IntersectClipRect(0, 0, 5, 5);
        dc.SetTextColor(Rgb(9, 9, 9));
        dc.PatBlt(0, 0, 10, 10, PATCOPY);
        EXPECT_TRUE(dc.RestoreDC(-1));
        EXPECT_EQ(dc.GetTextColor(), Rgb(1, 2, 3));
        EXPECT_FALSE(dc.RestoreDC(-1));
        dc.PatBlt(9, 9, 1, 1, PATCOPY); // no clip any more
    });
    EXPECT_TRUE(Black(image, 2, 2));
    EXPECT_TRUE(Black(image, 4, 4));
    EXPECT_FALSE(Black(image, 5, 5));
    EXPECT_FALSE(Black(image, 1, 4));
    EXPECT_TRUE(Black(image, 9, 9));
}

TEST(DeviceContext, AnEmptyClipDrawsNothingAfterAClipWasRestoredAway) {
    // first: a clip set and restored away before; second: the empty clip
    const std::tuple<bool, QRect> cases[] = {
        {false, {5, 5, 0, 4}}, {true, {5, 5, 0, 4}}, {true, {5, 5, 4, 0}}, {true, {7, 7, -2, 3}}};
    for (const auto& [restored, empty] : cases) {
        const QImage image = Drawn(10, 10, [&](CDeviceContext& dc) {
            dc.SelectBrush({DcBrush::kSolid, 0, nullptr});
            if (restored) {
                dc.SaveDC();
                dc.IntersectClipRect(1, 1, 3, 3);
                dc.RestoreDC(-1);
            }
            dc.IntersectClipRect(empty.left(), empty.top(), empty.left() + empty.width(),
                                 empty.top() + empty.height());
            dc.PatBlt(0, 0, 10, 10, PATCOPY);
        });
        EXPECT_EQ(image, White(10, 10)) << restored << " " << empty.width();
    }
}

TEST(DeviceContext, TextIsMeasuredAsDrawnAndFilledBehindWhenOpaque) {
    LogFont log;
    log.height = -20;
    log.faceName = "Arial";
    const DcFont font = DcFont::Create(log);
    EXPECT_EQ(font.Font().family(), "Liberation Sans");
    EXPECT_EQ(font.Font().pixelSize(), 20);
    DcSize size;
    auto measure = CDeviceContext::ForScreen();
    measure->SelectFont(font);
    ASSERT_TRUE(measure->GetTextExtent("W\xe9", size)); // 0xE9 is e acute in Windows-1252
    EXPECT_EQ(size.cy, font.Metrics().ascent() + font.Metrics().descent());
    EXPECT_EQ(size.cx, font.Metrics().horizontalAdvance(QString::fromUtf8("W\xc3\xa9")));
    EXPECT_FALSE(measure->TextOut(0, 0, "W")); // the screen only measures

    // Right, centred and baseline placing are pinned by the render tests' golden images.
    const QImage image = Drawn(100, 60, [&](CDeviceContext& dc) {
        dc.SelectFont(font);
        dc.SetBkColor(Rgb(0, 0, 255));
        ASSERT_TRUE(dc.TextOut(50, 30, "W\xe9"));
    });
    // The opaque background shows exactly the text's box.
    QRect box;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
    EXPECT_EQ(box, QRect(50, 30, size.cx, size.cy));
}

TEST(DeviceContext, MemoryContextDrawsOnlyWithABitmap) {
    QImage image = White(4, 4);
    auto dc = CDeviceContext::ForImage(image);
    // Drawing into a selected bitmap is in the canvas's back-buffer test.
    EXPECT_FALSE(dc->CreateCompatible()->PatBlt(0, 0, 1, 1, PATCOPY));
    auto bitmap = std::make_shared<QImage>(5, 5, QImage::Format_RGB32);
    EXPECT_FALSE(dc->SelectBitmap(bitmap)); // not a memory context: keeps its device
    EXPECT_TRUE(dc->CanDraw());
}

TEST(DeviceContext, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(10, 96, 72), 13);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(DeviceContext, LinesAreDrawnCharacterByCharacterAsMeasured) {
    // "fi" and "fl" have ligatures in some fonts; characters stand apart here, neither
    // joined nor kerned, so a line is as wide as its characters added up.
    const char* faces[] = {"Arial", "Liberation Serif", "DejaVu Sans"};
    const std::string texts[] = {"fine flowing", "WAVE To", "Total: 12,345.67 \x80"};
    for (const char* face : faces) {
        for (int32_t height : {-11, -16, -27}) {
            LogFont log;
            log.height = height;
            log.faceName = face;
            const DcFont font = DcFont::Create(log);
            for (const std::string& text : texts) {
                DcSize size;
                int x = 5;
                const QImage whole = Drawn(400, 40, [&](CDeviceContext& dc) {
                    dc.SelectFont(font);
                    dc.SetBkMode(TRANSPARENT);
                    dc.GetTextExtent(text, size);
                    dc.TextOut(5, 2, text);
                });
                const QImage apart = Drawn(400, 40, [&](CDeviceContext& dc) {
                    dc.SelectFont(font);
                    dc.SetBkMode(TRANSPARENT);
                    for (char c : text) {
                        dc.TextOut(x, 2, std::string_view(&c, 1));
                        DcSize one;
                        dc.GetTextExtent(std::string_view(&c, 1), one);
                        x += one.cx;
                    }
                });
                EXPECT_EQ(size.cx, x - 5) << face << " " << height << " " << text;
                EXPECT_EQ(whole, apart) << face << " " << height << " " << text;
            }
        }
    }
}

// A writer's own resolution is in the canvas's printed-pattern test.
TEST(DeviceContext, PicturesAreDeviceContexts) {
    QPicture picture;
    {
        auto dc = CDeviceContext::ForDevice(picture);
        ASSERT_TRUE(dc->CanDraw());
        dc->SelectBrush({DcBrush::kSolid, Rgb(9, 9, 9), nullptr});
        EXPECT_TRUE(dc->PatBlt(10, 20, 30, 40, PATCOPY));
    }
    EXPECT_EQ(picture.boundingRect(), QRect(10, 20, 30, 40));
}

} // namespace vl
