#include "render/background.h"
#include "render/canvas.h"
#include "render/imagesource.h"
#include "rendertest.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace vl {

namespace fs = std::filesystem;
using rendertest::Drawn;
using rendertest::MatchesGolden;

namespace {

// A folder of its own with copies of the codec images under the names a test needs.
class ImageFolder : public ::testing::Test {
protected:
    ImageFolder() {
        dir_ = fs::temp_directory_path() / ("vl_images_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    ~ImageFolder() override { fs::remove_all(dir_); }
    std::string Copy(const char* from, const std::string& to) {
        const fs::path target = dir_ / to;
        fs::copy_file(fs::path(VORLANE_TEST_DATA) / "images" / from, target,
                      fs::copy_options::overwrite_existing);
        return target.string();
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::unique_ptr<CWorkbook> book_ = CreateWorkbook();
    fs::path dir_;
};

} // namespace

TEST_F(ImageFolder, DecodedByExtensionWithoutRegardToCase) {
    // source file, name it is read under, decoded, error left
    const std::tuple<const char*, std::string, bool, ErrorCode> cases[] = {
        {"color.jpg", "a.Jpeg", true, kErrorNone},
        {"color.jpg", "b.JPG", true, kErrorNone},
        {"palette.png", "c.pNg", true, kErrorNone},
        {"bmp8.bmp", "d.bmp", true, kErrorNone},
        {"palette.png", "e.gif", false, kErrorImageFormat},
        {"palette.png", "nodot", false, kErrorImageFormat},
        {"palette.png", "f.bmp", false, ErrorCode(52)},
    };
    for (const auto& [from, name, decoded, error] : cases) {
        book_->imageError = kErrorNone;
        const std::string path = Copy(from, name);
        EXPECT_EQ(LoadNamedImage(*book_, path.c_str()) != nullptr, decoded) << name;
        EXPECT_EQ(book_->imageError, error) << name;
    }
}

TEST_F(ImageFolder, WebAddressesAreNeverOpened) {
    for (const char* name : {"http://x/a.png", "WWW.x.png", "Ftp://h/a.png", "inline://a.png"}) {
        book_->imageError = kErrorNone;
        EXPECT_EQ(LoadNamedImage(*book_, name), nullptr) << name;
        EXPECT_EQ(book_->imageError, kErrorImageProtocol) << name;
        EXPECT_FALSE(FindOrAddImage(*book_, name).loaded);
    }
}

TEST_F(ImageFolder, OneEntryPerExactNameAndAFailedLoadIsTriedAgain) {
    const std::string lower = Path("a.png"), upper = Path("A.png");
    Copy("palette.png", "A.png");
    EXPECT_EQ(LoadNamedImage(*book_, lower.c_str()), nullptr); // "a.png" is not "A.png"
    EXPECT_EQ(book_->imageError, ErrorCode(kStreamOpenRead));
    EXPECT_NE(LoadNamedImage(*book_, upper.c_str()), nullptr);
    EXPECT_NE(LoadNamedImage(*book_, upper.c_str()), nullptr);
    ASSERT_EQ(book_->images.size(), 2u);
    EXPECT_EQ(book_->images.front()->name, upper); // new entries go first
    Copy("palette.png", "a.png");
    EXPECT_NE(LoadNamedImage(*book_, lower.c_str()), nullptr);
    EXPECT_EQ(book_->images.size(), 2u);
}

TEST_F(ImageFolder, SheetBackgroundsStretchedTiledAndNatural) {
    rendertest::SheetFixture sheet;
    BackgroundRecord& b = sheet.Sheet().view.background;
    b.kind = kBackgroundImage;
    const std::string path = Copy("palette.png", "p.png");
    std::snprintf(b.imagePath, sizeof b.imagePath, "%s", path.c_str());
    const QImage image = Drawn(3 * 50 + 10, 34, [&](CCanvas& canvas) {
        for (uint8_t mode = 0; mode < 3; ++mode) {
            b.imageView = mode == 0 ? 1 : mode == 1 ? 2 : 0;
            const int32_t x = 5 + mode * 50;
            PaintSheetBackground(sheet.Book(), canvas, sheet.Sheet(), {x, 5, x + 44, 28});
        }
    });
    EXPECT_TRUE(MatchesGolden(image, "sheet_backgrounds"));
    EXPECT_EQ(sheet.Book().images.size(), 1u);
}

} // namespace vl
