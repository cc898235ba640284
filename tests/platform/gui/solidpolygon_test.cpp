// Polygons written straight into image memory against the same polygons drawn by the
// painter, which the rest of the drawing (and every golden image) was made with: the pixels
// must be the same, whatever the size, shape and closing of the polygon.

#include "platform/gui/devicecontext.h"
#include "platform/gui/solidpolygon.h"

#include <QPainter>
#include <QPicture>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace vl {

namespace {

PixelRows RowsOf(QImage& image) {
    return {image.bits(), image.bytesPerLine(), image.width(), image.height()};
}

QImage Blank(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The painter's drawing, set up as the device context sets it up.
QImage Painted(int side, const std::vector<DcPoint>& points, const SolidPolygonStyle& style) {
    QImage image = Blank(side);
    QPainter painter(&image);
    if (style.outline) {
        QPen pen{QColor(style.outlineColor)};
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
    } else {
        painter.setPen(Qt::NoPen);
    }
    painter.setBrush(style.fill ? QBrush(QColor(style.fillColor)) : QBrush(Qt::NoBrush));
    QPolygon polygon(int(points.size()));
    for (size_t i = 0; i < points.size(); ++i) polygon.setPoint(int(i), points[i].x, points[i].y);
    painter.drawPolygon(polygon, Qt::OddEvenFill);
    return image;
}

} // namespace

TEST(SolidPolygon, SameAsThePainterForEveryShapeAndSize) {
    const SolidPolygonStyle styles[] = {
        {true, qRgb(10, 20, 30), true, qRgb(10, 20, 30)}, // a 3D face on screen
        {true, qRgb(200, 0, 0), false, 0},                // printed faces: no outline
        {false, 0, true, qRgb(0, 0, 255)},                // outline only
        {true, qRgb(0, 160, 0), true, qRgb(90, 90, 90)},  // outline over another fill
    };
    std::mt19937 random(7);
    int compared = 0;
    for (int range : {0, 1, 2, 5, 12, 40, 300}) {
        const int side = range + 12;
        std::uniform_int_distribution<int> coordinate(5, 5 + range);
        for (int count = 2; count <= 7; ++count)
            for (int trial = 0; trial < 60; ++trial) {
                std::vector<DcPoint> points(count);
                for (DcPoint& p : points) p = {coordinate(random), coordinate(random)};
                if (trial % 4 == 0) points[1] = points[0];       // a repeated point
                if (trial % 2 == 0) points.push_back(points[0]); // closed by repeating the first
                const SolidPolygonStyle& style = styles[trial % 4];
                QImage direct = Blank(side);
                ASSERT_TRUE(DrawSolidPolygon(RowsOf(direct), direct.rect(), points.data(),
                                             int(points.size()), style));
                ASSERT_EQ(direct, Painted(side, points, style))
                    << "range " << range << " count " << count << " trial " << trial;
                ++compared;
            }
    }
    EXPECT_EQ(compared, 7 * 6 * 60);
}

TEST(SolidPolygon, RefusesWhatItCannotDrawAsThePainterWouldAndDrawsNothing) {
    const SolidPolygonStyle style{true, qRgb(0, 0, 0), true, qRgb(0, 0, 0)};
    const DcPoint triangle[] = {{1, 1}, {8, 2}, {4, 8}};
    struct Case {
        QRect clip;
        bool drawn;
    } cases[] = {
        {QRect(0, 0, 10, 10), true}, // one pixel of room on every side
        {QRect(1, 0, 9, 10), false}, // the first column touches the clip's left edge
        {QRect(0, 0, 10, 9), false}, // the last row touches the clip's bottom edge
        {QRect(0, 0, 16, 16), true}, //
        {QRect(0, 0, 9, 16), false}, // the last column touches the clip's right edge
    };
    for (const Case& c : cases) {
        QImage image = Blank(16);
        EXPECT_EQ(DrawSolidPolygon(RowsOf(image), c.clip, triangle, 3, style), c.drawn)
            << c.clip.width() << "x" << c.clip.height() << "+" << c.clip.x();
        if (!c.drawn) {
            EXPECT_EQ(image, Blank(16));
        }
    }
    QImage image = Blank(16);
    const DcPoint outside[] = {{14, 14}, {16, 14}, {15, 16}}; // past the image
    EXPECT_FALSE(DrawSolidPolygon(RowsOf(image), QRect(0, 0, 100, 100), outside, 3, style));
    std::vector<DcPoint> many(kMaxSolidPolygonPoints + 1, DcPoint{5, 5});
    many[1] = {9, 5}, many[2] = {9, 9};
    EXPECT_TRUE(
        DrawSolidPolygon(RowsOf(image), image.rect(), many.data(), kMaxSolidPolygonPoints, style));
    image = Blank(16);
    EXPECT_FALSE(DrawSolidPolygon(RowsOf(image), image.rect(), many.data(),
                                  kMaxSolidPolygonPoints + 1, style));
    EXPECT_EQ(image, Blank(16));
}

// The device context takes the direct way only where the painter would give the same
// pixels: clipped, dashed, wide and patterned polygons still come out as the painter draws.
TEST(SolidPolygon, TheDeviceContextDrawsAsThePainterInEveryState) {
    const DcPoint points[] = {{3, 2}, {40, 9}, {22, 37}, {3, 2}};
    struct Case {
        DcPen pen;
        DcBrush::Kind brush;
        QRect clip; // empty: none
    } cases[] = {
        {{PS_SOLID, 0, Rgb(1, 2, 3)}, DcBrush::kSolid, {}},
        {{PS_SOLID, 1, Rgb(9, 9, 9)}, DcBrush::kSolid, QRect(0, 0, 30, 30)},
        {{PS_DASH, 1, Rgb(9, 9, 9)}, DcBrush::kSolid, {}},
        {{PS_SOLID, 3, Rgb(9, 9, 9)}, DcBrush::kSolid, {}},
        {{PS_NULL, 0, 0}, DcBrush::kSolid, QRect(10, 5, 20, 20)},
        {{PS_SOLID, 0, Rgb(200, 0, 0)}, DcBrush::kNull, {}},
    };
    for (const Case& c : cases) {
        auto draw = [&](bool viaPicture) {
            QImage image = Blank(48);
            QPicture picture;
            // A picture is not an image: the context draws it all with the painter, and
            // the picture replayed onto the image gives the painter's pixels.
            auto dc =
                viaPicture ? CDeviceContext::ForDevice(picture) : CDeviceContext::ForImage(image);
            dc->SelectPen(c.pen);
            dc->SelectBrush(DcBrush{c.brush, Rgb(30, 200, 40), nullptr});
            if (!c.clip.isEmpty())
                dc->IntersectClipRect(c.clip.left(), c.clip.top(), c.clip.right() + 1,
                                      c.clip.bottom() + 1);
            EXPECT_TRUE(dc->Polygon(points, 4));
            dc.reset();
            if (viaPicture) {
                QPainter painter(&image);
                painter.drawPicture(0, 0, picture);
            }
            return image;
        };
        EXPECT_EQ(draw(false), draw(true)) << c.pen.style << "/" << c.pen.width;
    }
}

} // namespace vl
