#include "app/bookmarkbox.h"

#include <QKeyEvent>
#include <QTimer>

namespace vl {

CBookmarkBox::CBookmarkBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] { PostGo(); });
}

void CBookmarkBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) PostGo();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && leave) {
        leave();
        return;
    }
    QComboBox::keyPressEvent(event); // the box still sees the key
}

void CBookmarkBox::PostGo() {
    if (!postCommand || goPending_) return;
    goPending_ = true;
    QTimer::singleShot(0, this, [this] {
        goPending_ = false;
        if (postCommand) postCommand(kGoToBookmark);
    });
}

} // namespace vl
