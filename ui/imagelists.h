#pragma once
// The shared picture lists of menus and toolbars, each in colour and greyed, built from
// the program's PNG pictures after the profile is read and dropped before it is written.

#include "platform/core/screen.h"

#include <QIcon>
#include <QImage>
#include <array>
#include <optional>
#include <vector>

namespace vl {

using ImageList = std::vector<QImage>;

// The picture of a resource id (":/pictures/png_<id>.png" and the like); null when missing.
QImage LoadPicture(const QString& name);

// `count` square pictures of `size` pixels over the background colour, greyed when asked
// (every pixel that differs from the background takes its grey). Nothing when one fails.
std::optional<ImageList> LoadPngImageList(int size, const int* ids, int count, COLORREF background,
                                          bool greyed);
// A toolbar strip of 16-pixel pictures cut into its pictures, in colour or greyed.
std::optional<ImageList> LoadToolbarPictures(int bitmap, COLORREF background, bool greyed);
// Greys the pixels that differ from the background.
QImage GreyedImage(const QImage& image, COLORREF background);

struct SharedImageLists {
    std::array<std::optional<ImageList>, 7> color;
    std::array<std::optional<ImageList>, 7> greyed;
    QIcon locked;   // 285
    QIcon readOnly; // 286
};

void CreateSharedImageLists();
void DestroySharedImageLists();
const SharedImageLists& SharedImages();

} // namespace vl
