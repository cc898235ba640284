// Insert Image: the picture is read and decoded, and the container takes its size; a file
// that cannot be read or decoded is reported and the container keeps its default size.

#include "model/container.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QFile>
#include <QImage>

namespace vl {

namespace {

class InsertImageTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    // Inserts the file at cell C2 and answers the container made.
    CContainer* InsertAt(const std::string& path) {
        Select(2, 1);
        ui.openPath = QString::fromStdString(path);
        Active()->HandleCommand(ID_INSERT_IMAGE);
        Settle();
        CContainer* last = Book().tree.active->firstContainer;
        while (last && last->next) last = last->next;
        return last;
    }
    std::string Picture(const char* name, int width, int height, const char* format) {
        const std::string path = TempPath(name);
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        EXPECT_TRUE(image.save(QString::fromStdString(path), format)) << name;
        return path;
    }
    std::string Bytes(const char* name, const QByteArray& bytes) {
        const std::string path = TempPath(name);
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static int Width(const CContainer& c) { return c.settings.right - c.settings.left + 1; }
    static int Height(const CContainer& c) { return c.settings.bottom - c.settings.top + 1; }
};

} // namespace

TEST_F(InsertImageTest, TheContainerTakesThePicturesSize) {
    struct Case {
        std::string path;
        int width, height;
    };
    const Case cases[] = {
        {Picture("wide.png", 30, 20, "PNG"), 30, 20},
        {Picture("tall.BMP", 7, 51, "BMP"), 7, 51},
        {Picture("photo.jpeg", 16, 9, "JPG"), 16, 9},
        {Picture("one.jpg", 1, 1, "JPG"), 1, 1},
    };
    for (const Case& c : cases) {
        CContainer* added = InsertAt(c.path);
        ASSERT_NE(added, nullptr) << c.path;
        EXPECT_EQ(Width(*added), c.width) << c.path;
        EXPECT_EQ(Height(*added), c.height) << c.path;
        EXPECT_STREQ(added->settings.background.imagePath, c.path.c_str());
    }
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(Book().images.size(), 4u);
    // A name met again shares its entry and its size; a spelling in other letter case that
    // names another existing file is another picture.
    CContainer* again = InsertAt(cases[0].path);
    EXPECT_EQ(Book().images.size(), 4u);
    EXPECT_EQ(Width(*again), 30);
    EXPECT_EQ(Height(*again), 20);
    const std::string upper = Picture("WIDE.PNG", 3, 2, "PNG");
    CContainer* other = InsertAt(upper);
    EXPECT_EQ(Book().images.size(), 5u);
    EXPECT_EQ(Width(*other), 3);
    EXPECT_EQ(Height(*other), 2);
    EXPECT_STREQ(other->settings.background.imagePath, upper.c_str());
    CContainer* different = InsertAt(Picture("wide2.png", 3, 2, "PNG"));
    EXPECT_EQ(Book().images.size(), 6u);
    EXPECT_EQ(Width(*different), 3);
    EXPECT_EQ(Height(*different), 2);
}

TEST_F(InsertImageTest, AnUnreadablePictureIsReportedAndTheContainerStays) {
    struct Case {
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {TempPath("missing.png"), "Can't open the specified file for reading"},
        {Bytes("broken.png", "\x89PNG\r\n\x1a\n not really"), "Error while reading a PNG image"},
        {Bytes("broken.jpg", QByteArray("\xff\xd8\xff\x00", 4)),
         "Error while reading a JPEG image"},
        {Bytes("broken.bmp", "BM"), "An invalid bitmap file"},
        {Picture("picture.gif", 4, 4, "PNG"), "An unsupported image format"},
        {Picture("noextension", 4, 4, "PNG"), "An unsupported image format"},
    };
    const ContainerFrame defaults{10, 10, 360, 260};
    for (const Case& c : cases) {
        const std::size_t boxes = ui.boxes.size();
        const std::size_t images = Book().images.size();
        CContainer* added = InsertAt(c.path);
        ASSERT_NE(added, nullptr) << c.path;
        ASSERT_EQ(ui.boxes.size(), boxes + 1) << c.path;
        EXPECT_EQ(ui.boxes.back().text.toStdString(), c.message) << c.path;
        const ContainerSettings& s = added->settings;
        EXPECT_EQ(
            std::vector<int32_t>({s.left, s.top, s.right, s.bottom}),
            std::vector<int32_t>({defaults.left, defaults.top, defaults.right, defaults.bottom}))
            << c.path;
        EXPECT_EQ(s.background.kind, kBackgroundImage);
        EXPECT_STREQ(s.background.imagePath, c.path.c_str());
        ASSERT_EQ(Book().images.size(), images + 1) << c.path;
        EXPECT_FALSE(Book().images.front()->decoded) << c.path;
    }
    // A path that would have to be cut is refused before anything is made.
    const std::string folder = TempPath("");
    const std::string longest =
        Picture(std::string(255 - folder.size() - 4, 'p').append(".png").c_str(), 2, 3, "PNG");
    ASSERT_EQ(longest.size(), 255u);
    const std::size_t boxes = ui.boxes.size();
    CContainer* fits = InsertAt(longest);
    EXPECT_EQ(ui.boxes.size(), boxes);
    EXPECT_EQ(Width(*fits), 2);
    const std::string over =
        Picture(std::string(256 - folder.size() - 4, 'q').append(".png").c_str(), 2, 3, "PNG");
    const std::size_t images = Book().images.size();
    EXPECT_EQ(InsertAt(over), fits);
    ASSERT_EQ(ui.boxes.size(), boxes + 1);
    EXPECT_EQ(ui.boxes.back().text, "Please enter no more than 255 characters.");
    EXPECT_EQ(Book().images.size(), images);
    Active()->HandleCommand(ID_EDIT_UNDO);
    // Each insert is one undo entry, taken back whole.
    for (std::size_t i = 0; i < std::size(cases); ++i) Active()->HandleCommand(ID_EDIT_UNDO);
    Settle();
    EXPECT_EQ(Book().tree.active->firstContainer, nullptr);
}

} // namespace vl
