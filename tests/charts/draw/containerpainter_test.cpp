#include "charts/draw/containerpainter.h"
#include "render/canvas.h"
#include "render/containerplace.h"
#include "render/imagesource.h"
#include "render/paintsheet.h"
#include "rendertest.h"
#include "tests/charts/chartcontainer.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace vl {

using rendertest::Drawn;
using rendertest::MatchesGolden;

namespace {

class Containers : public ::testing::Test, public rendertest::SheetFixture {
protected:
    CContainer& Add(uint16_t column, uint32_t row, int32_t w, int32_t h) {
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.anchor = {column, row, 0};
        c->settings.left = 4;
        c->settings.top = 3;
        c->settings.right = 4 + w - 1;
        c->settings.bottom = 3 + h - 1;
        CContainer& ref = *c;
        LinkContainer(Sheet(), std::move(c));
        return ref;
    }
    static void Caption(CContainer& c, int line, const char* text, COLORREF color) {
        std::strncpy(c.settings.titleText[line], text, sizeof c.settings.titleText[line] - 1);
        // Bold rather than thin: a thin face is an extra font package some machines lack.
        c.settings.titleFont[line].font = rendertest::Font("DejaVu Sans", 9, line == 0 ? 2 : 0);
        c.settings.titleFont[line].colorGiven = 1;
        c.settings.titleFont[line].color = color;
    }
    static void Border(CContainer& c, uint8_t style, COLORREF color) {
        c.settings.border = {style, 1, color};
    }
};

std::string ImagePath(const char* name) {
    return std::string(VORLANE_TEST_DATA) + "/images/" + name;
}

} // namespace

TEST_F(Containers, EveryBackgroundBorderAndCaption) {
    CContainer& fill = Add(0, 0, 140, 90);
    fill.settings.background.kind = kBackgroundPattern;
    fill.settings.background.pattern = {FORMAT_PAT_SYM_GRAD_VERT, 1, Rgb(40, 90, 200), 1,
                                        Rgb(250, 250, 210)};
    Border(fill, FORMAT_LINE_SOLID, Rgb(0, 0, 0));
    Caption(fill, 0, "&lLeft&cMid&rRight", Rgb(120, 0, 0));
    Caption(fill, 1, "second line", Rgb(0, 0, 160));

    CContainer& picture = Add(2, 0, 140, 90);
    picture.settings.background.kind = kBackgroundImage;
    picture.settings.background.imageView = 1;
    std::strcpy(picture.settings.background.imagePath, ImagePath("palette.png").c_str());
    Border(picture, FORMAT_LINE_DASH, Rgb(200, 0, 0));
    Caption(picture, 1, "&cpicture", Rgb(255, 255, 255));

    CContainer& missing = Add(0, 6, 140, 90);
    missing.settings.background.kind = kBackgroundImage;
    missing.settings.horzSpacing = 6;
    missing.settings.vertSpacing = 8;
    std::strcpy(missing.settings.background.imagePath, "missing.png");
    Border(missing, FORMAT_LINE_SOLID, Rgb(0, 128, 0));

    CContainer& fractal = Add(2, 6, 140, 90);
    fractal.settings.background.kind = kBackgroundFractal;
    Caption(fractal, 0, "&rJulia", Rgb(255, 255, 0));

    const QImage image = Drawn(330, 240, [&](CCanvas& canvas) {
        PaintSheet(Book(), Display(), canvas, {0, 0, 329, 239}, Sheet(), 0, 0, {100, 100},
                   DrawSheetContainers);
        DcRect rect;
        ASSERT_TRUE(GetObjectRect(Sheet(), {rendertest::ColumnX(0), rendertest::RowY(0), 329, 239},
                                  0, 0, fractal, rect, {100, 100}));
        CCanvas frame;
        frame.AttachSavedDC(canvas);
        DrawFrameBox(frame, rect);
        frame.DetachSavedDC();
    });
    EXPECT_TRUE(MatchesGolden(image, "containers"));
    // The missing picture's load error stays for the caller.
    EXPECT_EQ(Book().imageError, ErrorCode(kStreamOpenRead));
    ASSERT_TRUE(fractal.fractalCache);
    EXPECT_TRUE(fractal.fractalCache->dib);
}

TEST_F(Containers, ObjectCellsTable) {
    CContainer& c = Add(0, 0, 100, 100);
    c.settings.columns = 2;
    c.settings.rows = 2;
    c.settings.horzSpacing = 6;
    c.settings.vertSpacing = 3;
    // index, zoom, cell: across narrowed by the horizontal spacing, down by the vertical one
    const std::tuple<int, uint16_t, std::tuple<int32_t, int32_t, int32_t, int32_t>> cases[] = {
        {0, 100, {6, 3, 43, 46}},
        {1, 100, {56, 3, 93, 46}},
        {3, 100, {56, 53, 93, 96}},
        {0, 10, {1, 1, 48, 48}},
    };
    for (const auto& [index, zoom, want] : cases) {
        const DcRect r = ContainerObjectCell(c, {0, 0, 99, 99}, index, zoom, zoom);
        EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom), want) << index << " " << zoom;
    }
}

TEST_F(Containers, AFailedPictureIsTriedAgainAtTheNextPaint) {
    CContainer& c = Add(0, 0, 50, 40);
    c.settings.background.kind = kBackgroundImage;
    c.settings.background.imageView = 1;
    const std::string path = ::testing::TempDir() + "vl_retry.png";
    std::remove(path.c_str());
    std::strcpy(c.settings.background.imagePath, path.c_str());
    auto paint = [&] {
        return Drawn(60, 50, [&](CCanvas& canvas) {
            PaintContainer(Book(), c, canvas, {0, 0, 49, 39}, 100, 100);
        });
    };
    const QImage before = paint();
    EXPECT_EQ(Book().imageError, ErrorCode(kStreamOpenRead));
    std::filesystem::copy_file(ImagePath("palette.png"), path);
    const QImage after = paint();
    EXPECT_NE(before, after);
    EXPECT_EQ(after.pixel(5, 5) & 0xFFFFFF, 0xFF0000u); // red, the picture's first pixel
    std::remove(path.c_str());
}

TEST_F(Containers, ANoughtWideOrHighContainerDrawsOnlyItsBorder) {
    // Width 0 stores right = left - 1 and height 0 bottom = top - 1: the container has no
    // pixels inside, whatever its background, captions and charts; its border is the line of
    // its two edges.
    for (uint8_t kind : {kBackgroundPattern, kBackgroundImage, kBackgroundFractal}) {
        for (bool across : {true, false}) {
            std::unique_ptr<CContainer> owned = charttest::ChartContainer(2);
            CContainer& c = *owned;
            c.settings.background.kind = kind;
            c.settings.background.pattern = {FORMAT_PAT_SOLID, 1, Rgb(40, 90, 200), 0, 0};
            c.settings.background.imageView = 1;
            std::strcpy(c.settings.background.imagePath, ImagePath("palette.png").c_str());
            Border(c, FORMAT_LINE_SOLID, Rgb(0, 0, 0));
            Caption(c, 0, "Title", Rgb(120, 0, 0));
            const DcRect rect = across ? DcRect{20, 10, 19, 49} : DcRect{20, 10, 59, 9};
            const QImage image = Drawn(80, 60, [&](CCanvas& canvas) {
                PaintContainer(Book(), c, canvas, rect, 100, 100);
            });
            QImage expected = rendertest::WhiteImage(80, 60);
            for (int i = 0; i < 40; ++i)
                for (int edge : {0, 1})
                    expected.setPixel(across ? 19 + edge : 20 + i, across ? 10 + i : 9 + edge,
                                      qRgb(0, 0, 0));
            EXPECT_EQ(image, expected) << int(kind) << " " << across;
        }
    }
}

} // namespace vl
