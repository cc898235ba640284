#include "app/frametoolbars.h"
#include "apptestutil.h"
#include "ui/imagelists.h"

#include <QPainter>

namespace vl {

namespace {

// Every toolbar's pictures, each strip in colour with its greyed row under it.
QImage ToolbarSheet() {
    const COLORREF face = GetSystemColor(kColorButtonFace);
    QImage sheet(21 * 16, kToolbars * 2 * 16, QImage::Format_RGB32);
    sheet.fill(QColor(RedOf(face), GreenOf(face), BlueOf(face)));
    QPainter painter(&sheet);
    for (int bar = 0; bar < kToolbars; ++bar) {
        for (bool greyed : {false, true}) {
            std::optional<ImageList> list =
                LoadToolbarPictures(FrameToolbar(bar).bitmap, face, greyed);
            EXPECT_TRUE(list.has_value()) << bar;
            if (!list) continue;
            for (std::size_t i = 0; i < list->size(); ++i)
                painter.drawImage(int(i) * 16, (bar * 2 + greyed) * 16, (*list)[i]);
        }
    }
    return sheet;
}

} // namespace

TEST(Pictures, ToolbarPicturesMatchTheirGoldenImage) {
    EXPECT_TRUE(apptest::MatchesGolden(ToolbarSheet(), "app/toolbar-pictures"));
}

TEST(Pictures, EveryStripHasAPicturePerButton) {
    for (int bar = 0; bar < kToolbars; ++bar) {
        const ToolbarSpec& spec = FrameToolbar(bar);
        std::size_t buttons = 0;
        for (std::size_t i = 0; i < spec.count; ++i)
            buttons += spec.buttons[i].kind != ButtonKind::kSeparator &&
                       spec.buttons[i].kind != ButtonKind::kPlace;
        std::optional<ImageList> list = LoadToolbarPictures(spec.bitmap, 0, false);
        ASSERT_TRUE(list.has_value()) << spec.bitmap;
        EXPECT_EQ(list->size(), buttons) << spec.bitmap;
    }
}

TEST(Pictures, SharedListsAndGreying) {
    CreateSharedImageLists();
    const SharedImageLists& lists = SharedImages();
    const std::size_t counts[7] = {21, 1, 6, 7, 1, 4, 7};
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(lists.color[i].has_value()) << i;
        ASSERT_TRUE(lists.greyed[i].has_value()) << i;
        EXPECT_EQ(lists.color[i]->size(), counts[i]) << i;
        EXPECT_EQ(lists.greyed[i]->front().width(), i == 0 ? 24 : 16);
    }
    EXPECT_FALSE(lists.locked.isNull());
    DestroySharedImageLists();
    EXPECT_FALSE(SharedImages().color[0].has_value());
    // Pure red greys to 54; the background colour stays as it is.
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(212, 208, 200));
    QImage grey = GreyedImage(image, GetSystemColor(kColorButtonFace));
    EXPECT_EQ(grey.pixel(0, 0), qRgb(54, 54, 54));
    EXPECT_EQ(grey.pixel(1, 0), qRgb(212, 208, 200));
    const int missing[] = {9999};
    EXPECT_FALSE(LoadPngImageList(16, missing, 1, 0, false).has_value());
}

} // namespace vl
