#include "app/menuprompts.h"

#include "app/statusbarwnd.h"
#include "ui/commandprompts.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>

namespace vl {

CMenuPrompts::CMenuPrompts(CStatusBarWnd* bar, QObject* parent) : QObject(parent), bar_(bar) {}

void CMenuPrompts::Refresh() {
    pending_ = false;
    if (!bar_) return;
    const auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible() || !ShowsPrompts(*menu)) return bar_->EndMenuPrompt();
    // The highlighted item's prompt, whatever its state; a submenu's item has none.
    const QAction* item = menu->activeAction();
    bar_->ShowMenuPrompt(item && !item->menu() ? item->statusTip() : QString());
}

bool CMenuPrompts::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::StatusTip:
        return true;
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::KeyPress:
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave: {
        const auto* menu = qobject_cast<QMenu*>(watched);
        // The highlight moves while the menu handles the event: read it afterwards.
        if (menu && ShowsPrompts(*menu) && !pending_) {
            pending_ = true;
            QMetaObject::invokeMethod(this, &CMenuPrompts::Refresh, Qt::QueuedConnection);
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace vl
