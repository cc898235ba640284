#include "render/background.h"
#include "render/canvas.h"
#include "render/imagesource.h"
#include "rendertest.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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

TEST_F(ImageFolder, OneEntryPerNameInAnyCaseAndAFailedLoadIsTriedAgain) {
    const std::string lower = Path("a.png");
    EXPECT_EQ(LoadNamedImage(*book_, lower.c_str()), nullptr); // no file yet
    EXPECT_EQ(book_->imageError, ErrorCode(kStreamOpenRead));
    ASSERT_EQ(book_->images.size(), 1u);
    EXPECT_FALSE(book_->images.front()->loaded);
    // The entry keeps the first spelling and reads its file under it once it exists.
    Copy("palette.png", "a.png");
    EXPECT_NE(LoadNamedImage(*book_, Path("A.PNG").c_str()), nullptr);
    EXPECT_NE(LoadNamedImage(*book_, lower.c_str()), nullptr);
    ASSERT_EQ(book_->images.size(), 1u);
    EXPECT_EQ(book_->images.front()->name, lower);
    const std::string other = Copy("palette.png", "b.png");
    EXPECT_NE(LoadNamedImage(*book_, other.c_str()), nullptr);
    ASSERT_EQ(book_->images.size(), 2u);
    EXPECT_EQ(book_->images.front()->name, other); // new entries go first
    // Two existing files whose names differ only in case are two pictures; each spelling
    // finds its own entry again.
    const std::string upper = Copy("palette.png", "B.PNG");
    EXPECT_NE(LoadNamedImage(*book_, upper.c_str()), nullptr);
    ASSERT_EQ(book_->images.size(), 3u);
    EXPECT_EQ(book_->images.front()->name, upper);
    EXPECT_EQ(&FindOrAddImage(*book_, other.c_str()), book_->images[1].get());
    EXPECT_EQ(&FindOrAddImage(*book_, upper.c_str()), book_->images[0].get());
}

// Names compare as the code page's upper case letters, the folder part included; a name is
// known by its first 255 characters, as much as an entry keeps.
TEST(ImageList, NamesDifferingOnlyInCaseFindOneEntry) {
    std::unique_ptr<CWorkbook> book = CreateWorkbook();
    const std::string p250 = "/" + std::string(245, 'p') + ".png"; // 250 characters
    const std::string p255 = p250 + "xxxxx";
    ASSERT_EQ(p255.size(), 255u);
    const char* first[] = {"/Pics/Photo.png", "/pics/\xe9t\xe9.bmp", "www.Host.png", p255.c_str()};
    std::vector<ImageListEntry*> entries;
    for (const char* name : first) entries.push_back(&FindOrAddImage(*book, name));
    // name looked up, the entry it must find (-1: a new one)
    const std::vector<std::pair<std::string, int>> cases = {
        {"/Pics/Photo.png", 0},
        {"/pics/photo.png", 0},
        {"/PICS/PHOTO.PNG", 0},
        {"/pIcS/pHoTo.PnG", 0},
        {"/Pics/Photo.png ", -1},
        {"/Pics/Photo.pn", -1},
        {"/Pics/Photos.png", -1},
        {"/PICS/\xc9T\xc9.BMP", 1}, // the accented letters of the code
                                    // page fold too
        {"/pics/\xe9t\xe9.bmp", 1},
        {"/pics/et\xe9.bmp", -1},
        {"WWW.HOST.PNG", 2},
        {p250 + "XXXXX", 3},
        {p250 + "XXXXXy", 3}, // the 256th character is not kept, so it
                              // does not count
        {p250 + "XXXXY", -1},
    };
    for (const auto& [name, expected] : cases) {
        const std::size_t before = book->images.size();
        ImageListEntry& found = FindOrAddImage(*book, name.c_str());
        if (expected < 0) {
            EXPECT_EQ(book->images.size(), before + 1) << name;
            EXPECT_EQ(&found, book->images.front().get()) << name;
            EXPECT_EQ(std::string(found.name), name.substr(0, 255)) << name;
        } else {
            EXPECT_EQ(&found, entries[std::size_t(expected)]) << name;
            EXPECT_EQ(book->images.size(), before) << name;
            EXPECT_EQ(std::string(found.name), std::string(first[expected]).substr(0, 255));
        }
    }
    EXPECT_EQ(book->images.size(), 4u + 5u);
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
    // The same name in other letters shares the entry and its decoded picture: no file of
    // that spelling exists, yet the picture is drawn.
    const std::string upper = Path("P.PNG");
    std::snprintf(b.imagePath, sizeof b.imagePath, "%s", upper.c_str());
    b.imageView = 1;
    const auto stretched = [&](CCanvas& canvas) {
        PaintSheetBackground(sheet.Book(), canvas, sheet.Sheet(), {0, 0, 44, 23});
    };
    const QImage again = Drawn(45, 24, stretched);
    EXPECT_EQ(sheet.Book().images.size(), 1u);
    std::snprintf(b.imagePath, sizeof b.imagePath, "%s", path.c_str());
    EXPECT_EQ(again, Drawn(45, 24, stretched));
    b.kind = kBackgroundPattern;
    EXPECT_NE(again, Drawn(45, 24, stretched)); // the picture was really drawn
}

} // namespace vl
