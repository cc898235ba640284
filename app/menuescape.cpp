#include "app/menuescape.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTimer>

namespace vl {

namespace {

// Draws the bar's current title highlighted while the bar has the keyboard (Alt pressed and
// released alone, or a menu closed by Escape on the way out), as it is while its menu is
// open: the style draws it plain, and the keys seemed to vanish.
class CKeyboardBarStyle : public QProxyStyle {
public:
    CKeyboardBarStyle() : QProxyStyle(QStyleFactory::create(qApp->style()->name())) {}

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuBarItem || !item || !widget || !widget->hasFocus() ||
            !(item->state & State_Selected))
            return QProxyStyle::drawControl(element, option, painter, widget);
        QStyleOptionMenuItem shown = *item;
        shown.state |= State_Sunken;
        QProxyStyle::drawControl(element, &shown, painter, widget);
    }
};

} // namespace

CMenuEscape::CMenuEscape(QMenuBar* bar) : QObject(bar), bar_(bar) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    auto* style = new CKeyboardBarStyle;
    style->setParent(bar);
    bar->setStyle(style);
}

bool CMenuEscape::IsBarMenu(const QObject* watched) const {
    const auto* menu = qobject_cast<const QMenu*>(watched);
    return menu && bar_ && bar_->actions().contains(menu->menuAction());
}

void CMenuEscape::OnFocusChanged(QWidget* now) {
    if (now && bar_ && now != bar_ && now->window() == bar_->window()) lastInFrame_ = now;
}

void CMenuEscape::GiveBackFrameFocus() {
    // The bar hands the keys back to the pop-up they came from, which leaves the bar as the
    // frame's own focus; it would take the keys unseen when the frame is active again.
    if (!bar_ || bar_->window()->focusWidget() != bar_ || QApplication::activePopupWidget()) return;
    if (lastInFrame_ && lastInFrame_->isVisible() && lastInFrame_->isEnabled())
        lastInFrame_->setFocus(Qt::ActiveWindowFocusReason);
    else
        bar_->clearFocus();
}

bool CMenuEscape::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate && bar_ && watched == bar_->window()) {
        GiveBackFrameFocus();
        return false;
    }
    if (event->type() != QEvent::KeyPress ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape || !IsBarMenu(watched))
        return false;
    // The menu closes first and hands the keyboard to the bar; the bar then lets go of it.
    QTimer::singleShot(0, this, [this] { LeaveBar(); });
    return false;
}

void CMenuEscape::LeaveBar() {
    if (!bar_ || QApplication::activePopupWidget()) return;
    // The bar's own Escape: no title current, its keyboard mode ended, the focus back where
    // it was before the menu opened. Also when the menu gave the keys back to a pop-up of the
    // frame: the bar left in its keyboard mode took the next Alt alone to end it, unseen.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(bar_, &escape);
}

} // namespace vl
