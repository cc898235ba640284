#include "app/menuescape.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace vl {

CMenuEscape::CMenuEscape(QMenuBar* bar) : QObject(bar), bar_(bar) {
    qApp->installEventFilter(this);
}

bool CMenuEscape::IsBarMenu(const QObject* watched) const {
    const auto* menu = qobject_cast<const QMenu*>(watched);
    return menu && bar_ && bar_->actions().contains(menu->menuAction());
}

bool CMenuEscape::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape || !IsBarMenu(watched))
        return false;
    // The menu closes first and hands the keyboard to the bar; the bar then lets go of it.
    QTimer::singleShot(0, this, [this] { LeaveBar(); });
    return false;
}

void CMenuEscape::LeaveBar() {
    if (!bar_ || !bar_->hasFocus() || QApplication::activePopupWidget()) return;
    // The bar's own Escape: no title current, its keyboard mode ended, the focus back where
    // it was before the menu opened.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(bar_, &escape);
}

} // namespace vl
