#include "dialogs/bookmarkbox.h"

#include <QKeyEvent>
#include <QTimer>

namespace vl {

void CBookmarkBox::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && postCommand) {
        auto post = postCommand;
        QTimer::singleShot(0, this, [post] { post(kGoToBookmark); });
    }
    QComboBox::keyPressEvent(event); // the box still sees the key
}

} // namespace vl
