#include "dialogs/toolpictures.h"

#include "ui/imagelists.h"

#include <QAction>
#include <QPixmap>
#include <QToolButton>

namespace vl {

QIcon SharedToolIcon(int list, int image) {
    const SharedImageLists& lists = SharedImages();
    if (list < 1 || list > int(lists.color.size()) || image < 0) return {};
    const auto& color = lists.color[size_t(list - 1)];
    const auto& greyed = lists.greyed[size_t(list - 1)];
    if (!color || !greyed || image >= int(color->size()) || image >= int(greyed->size())) return {};
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage((*color)[size_t(image)]), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage((*greyed)[size_t(image)]), QIcon::Disabled);
    return icon;
}

namespace {

// The text as shown: a mnemonic's "&" dropped, "&&" as one "&".
QString WithoutMnemonic(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace

void ShowToolPicture(QToolButton& button, int list, int image, bool keepText) {
    const QIcon icon = SharedToolIcon(list, image);
    if (icon.isNull()) return;
    button.setIcon(icon);
    button.setIconSize(QSize(16, 16));
    if (keepText) {
        button.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        return;
    }
    button.setToolTip(WithoutMnemonic(button.text()).trimmed());
    button.setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void ShowToolPicture(QAction& action, int list, int image) {
    const QIcon icon = SharedToolIcon(list, image);
    if (icon.isNull()) return;
    action.setIcon(icon);
    action.setToolTip(action.text());
}

} // namespace vl
