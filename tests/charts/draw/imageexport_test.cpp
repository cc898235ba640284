#include "charts/draw/containerpainter.h"
#include "charts/draw/imageexport.h"
#include "platform/core/bytes.h"
#include "platform/core/imagecodecs.h"
#include "render/canvas.h"
#include "render/metrics.h"
#include "render/paintsheet.h"
#include "rendertest.h"

#include <QImage>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace vl {

namespace fs = std::filesystem;

namespace {

class Export : public ::testing::Test, public rendertest::SheetFixture {
protected:
    Export() {
        dir_ = fs::path(::testing::TempDir()) / ("vl_export_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        CTreeItem* item = Book().tree.first;
        std::strcpy(item->name, "Sheet One");
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = 7;
        c->settings.anchor = {1, 1, 0};
        c->settings.left = 5;
        c->settings.top = 4;
        c->settings.right = 124;
        c->settings.bottom = 83;
        c->settings.background.pattern = {FORMAT_PAT_SYM_GRAD_HORZ, 1, Rgb(200, 40, 40), 1,
                                          Rgb(250, 250, 250)};
        std::strcpy(c->settings.titleText[0], "&cTitle");
        c->settings.border = {FORMAT_LINE_SOLID, 1, Rgb(0, 0, 120)};
        container_ = c.get();
        LinkContainer(Sheet(), std::move(c));
    }
    ~Export() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    static std::vector<uint8_t> Bytes(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    static QImage Decode(const std::vector<uint8_t>& png) {
        uint8_t error = 0;
        PackedDib dib = LoadPng(png.data(), png.size(), false, 0, &error);
        std::vector<uint32_t> px;
        int32_t w = 0, h = 0;
        if (!DibToPixels32(dib, px, w, h)) return {};
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            std::memcpy(image.scanLine(y), px.data() + size_t(y) * w, size_t(w) * 4);
        return image;
    }

    fs::path dir_;
    CContainer* container_ = nullptr;
};

} // namespace

TEST_F(Export, OneCellIsHeadingsPlusTheCellPlusGridlineAndTwo) {
    const std::string path = Path("cell.png");
    ASSERT_TRUE(RenderRangeToBitmap(Book(), "\\sheet one", {0, 0, 0, 0}, path.c_str(),
                                    kImageFormatPng, 0, {100, 100}));
    auto dc = CDeviceContext::ForScreen();
    CCanvas screen;
    screen.AttachDC(dc.get());
    const int h0 = GetHeadingRowHeight(screen, 100), w0 = GetNumberWidth(screen, 1, 100);
    const QImage image = Decode(Bytes(path));
    EXPECT_EQ(image.height(), h0 + 18 + 1 + 2);
    EXPECT_EQ(image.width(), w0 + 72 + 1 + 2);
    EXPECT_EQ(image.pixel(w0 + 10, h0 + 5) & 0xFFFFFF, 0xFFFFFFu); // the cell, window-coloured
    EXPECT_NE(image.pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);            // the heading corner
    // The gamma of 1/2.2 is written for quality 0.
    const std::vector<uint8_t> bytes = Bytes(path);
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), std::begin("gAMA"), std::end("gAMA") - 1),
              bytes.end());
}

TEST_F(Export, FailuresTableLeaveTheFileAsItWas) {
    // sheet path, container id (0: a range), file, format, error
    struct Case {
        const char* sheet;
        uint16_t id;
        std::string file;
        uint8_t format;
        ErrorCode error;
        double quality = 0;
    };
    const std::string existing = Path("existing.png");
    const Case cases[] = {
        {"\\Sheet Two", 0, existing, kImageFormatPng, kErrorPathNotFound},
        {"\\Sheet One", 11, existing, kImageFormatPng, kErrorContainerNotFound},
        {"\\Sheet One", 0, existing, 4, ErrorCode(6)},
        {"\\Sheet One", 7, existing, 0, ErrorCode(6)},
        {"\\Sheet One", 7, Path("no/such/folder/x.png"), kImageFormatPng, ErrorCode(35)},
        {"\\Sheet One", 0, Path("no/such/folder/x.png"), kImageFormatPng, ErrorCode(35)},
        // A gamma the PNG file cannot hold is the writer's failure, not an unknown format.
        {"\\Sheet One", 0, existing, kImageFormatPng, kPngWriteError, -1},
        {"\\Sheet One", 7, existing, kImageFormatPng, kPngWriteError, 1e9},
    };
    for (const Case& c : cases) {
        std::ofstream(existing, std::ios::binary) << "old bytes";
        Book().error = kErrorNone;
        const bool ok = c.id ? RenderContainerToBitmap(Book(), c.sheet, c.id, c.file.c_str(),
                                                       c.format, c.quality, {100, 100})
                             : RenderRangeToBitmap(Book(), c.sheet, {0, 0, 1, 1}, c.file.c_str(),
                                                   c.format, c.quality, {100, 100});
        EXPECT_FALSE(ok) << c.file;
        EXPECT_EQ(Book().error, c.error) << c.sheet << " " << c.id;
        const std::vector<uint8_t> left = Bytes(existing);
        EXPECT_EQ(std::string(left.begin(), left.end()), "old bytes");
        // Nothing else was left in the folder.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    }
}

TEST_F(Export, AContainerEqualsTheContainerOnTheSheet) {
    const std::string path = Path("box.png");
    ASSERT_TRUE(RenderContainerToBitmap(Book(), "\\Sheet One", 7, path.c_str(), kImageFormatPng, 0,
                                        {100, 100}));
    const QImage exported = Decode(Bytes(path));
    ASSERT_EQ(exported.size(), QSize(120, 80));
    const QImage sheet = rendertest::Drawn(300, 200, [&](CCanvas& canvas) {
        PaintSheet(Book(), Display(), canvas, {0, 0, 299, 199}, Sheet(), 0, 0, {100, 100},
                   DrawSheetContainers);
    });
    const QImage onSheet = sheet.copy(rendertest::ColumnX(1) + 5, rendertest::RowY(1) + 4, 120, 80);
    EXPECT_EQ(exported, onSheet.convertToFormat(QImage::Format_RGB32));
    // A packed bitmap is stored bottom-up, as it is.
    const std::string dibPath = Path("box.dib");
    ASSERT_TRUE(RenderContainerToBitmap(Book(), "\\Sheet One", 7, dibPath.c_str(), kImageFormatDib,
                                        0, {100, 100}));
    const std::vector<uint8_t> dib = Bytes(dibPath);
    std::vector<uint32_t> px;
    int32_t w, h;
    ASSERT_TRUE(DibToPixels32(dib.data(), dib.size(), px, w, h));
    EXPECT_GT(LoadI32(dib.data() + 8), 0);
    EXPECT_EQ(px[0] & 0xFFFFFF, exported.pixel(0, 0) & 0xFFFFFF);
    EXPECT_EQ(px[size_t(h - 1) * w] & 0xFFFFFF, exported.pixel(0, h - 1) & 0xFFFFFF);
}

} // namespace vl
