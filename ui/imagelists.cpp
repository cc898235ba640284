#include "ui/imagelists.h"

#include "ui/uiutil.h"

#include <QPainter>

namespace vl {

namespace {

constexpr int kList1[] = {545, 548, 551, 554, 557, 560, 563, 566, 569, 572, 575,
                          578, 581, 584, 587, 590, 593, 595, 596, 598, 599};
constexpr int kList2[] = {601};
constexpr int kList3[] = {604, 626, 613, 637, 610, 607};
constexpr int kList4[] = {571, 544, 610, 607, 635, 636, 623};
constexpr int kList5[] = {623};
constexpr int kList6[] = {562, 565, 619, 623};
constexpr int kList7[] = {631, 629, 633, 619, 626, 613, 616};

struct ListSpec {
    int size;
    const int* ids;
    int count;
};

constexpr ListSpec kLists[7] = {
    {24, kList1, int(std::size(kList1))}, {16, kList2, 1}, {16, kList3, int(std::size(kList3))},
    {16, kList4, int(std::size(kList4))}, {16, kList5, 1}, {16, kList6, int(std::size(kList6))},
    {16, kList7, int(std::size(kList7))}};

SharedImageLists& Lists() {
    static SharedImageLists lists;
    return lists;
}

QColor ColorOf(COLORREF c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// The picture over an opaque background, as the lists keep it.
QImage OverBackground(const QImage& picture, COLORREF background) {
    QImage out(picture.size(), QImage::Format_RGB32);
    out.fill(ColorOf(background));
    QPainter painter(&out);
    painter.drawImage(0, 0, picture);
    return out;
}

} // namespace

QImage LoadPicture(const QString& name) {
    return QImage(QStringLiteral(":/pictures/") + name + QStringLiteral(".png"));
}

QImage GreyedImage(const QImage& image, COLORREF background) {
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    const QRgb bg = ColorOf(background).rgb();
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (bg & 0xFFFFFF)) continue;
            int g = GreyLevel(uint8_t(qRed(line[x])), uint8_t(qGreen(line[x])),
                              uint8_t(qBlue(line[x])));
            line[x] = qRgb(g, g, g);
        }
    }
    return out;
}

std::optional<ImageList> LoadPngImageList(int size, const int* ids, int count, COLORREF background,
                                          bool greyed) {
    ImageList list;
    for (int i = 0; i < count; ++i) {
        QImage picture = LoadPicture(QStringLiteral("png_%1").arg(ids[i]));
        if (picture.isNull() || picture.width() != size || picture.height() != size)
            return std::nullopt;
        QImage solid = OverBackground(picture, background);
        list.push_back(greyed ? GreyedImage(solid, background) : solid);
    }
    return list;
}

std::optional<ImageList> LoadToolbarPictures(int bitmap, COLORREF background, bool greyed) {
    QImage strip = LoadPicture(QStringLiteral("toolbar_%1").arg(bitmap));
    if (strip.isNull() || strip.height() != 16 || strip.width() % 16) return std::nullopt;
    QImage solid = OverBackground(strip, background);
    if (greyed) solid = GreyedImage(solid, background);
    ImageList list;
    for (int x = 0; x < solid.width(); x += 16) list.push_back(solid.copy(x, 0, 16, 16));
    return list;
}

void CreateSharedImageLists() {
    SharedImageLists& lists = Lists();
    const COLORREF face = GetSystemColor(kColorButtonFace);
    for (int i = 0; i < 7; ++i) {
        lists.color[i] =
            LoadPngImageList(kLists[i].size, kLists[i].ids, kLists[i].count, face, false);
        lists.greyed[i] =
            LoadPngImageList(kLists[i].size, kLists[i].ids, kLists[i].count, face, true);
    }
    lists.locked = QIcon(QPixmap::fromImage(LoadPicture(QStringLiteral("icon_285"))));
    lists.readOnly = QIcon(QPixmap::fromImage(LoadPicture(QStringLiteral("icon_286"))));
}

void DestroySharedImageLists() {
    Lists() = SharedImageLists{};
}

const SharedImageLists& SharedImages() {
    return Lists();
}

} // namespace vl
