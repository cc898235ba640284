#include "charts/draw/containerpainter.h"
#include "render/canvas.h"
#include "render/containerplace.h"
#include "render/imagesource.h"
#include "render/paintsheet.h"
#include "rendertest.h"

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
        c.settings.titleFont[line].font = rendertest::Font("DejaVu Sans", 9, line == 0 ? 1 : 0);
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

} // namespace vl
