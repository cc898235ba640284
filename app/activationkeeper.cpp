#include "app/activationkeeper.h"

#include "app/keyboardholder.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace vl {

namespace {

// A window that takes the keyboard of its own: not a menu, tool tip or splash.
bool TakesKeyboard(const QWidget& widget) {
    if (!widget.isWindow()) return false;
    const Qt::WindowType type = widget.windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
}

} // namespace

CActivationKeeper::CActivationKeeper(QWidget* home) : QObject(home), home_(home) {
    qApp->installEventFilter(this);
}

QWidget* CActivationKeeper::Successor(QWidget* owner) const {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) return modal;
    for (; owner; owner = owner->parentWidget()) {
        owner = owner->window();
        if (owner->isVisible() && TakesKeyboard(*owner)) return owner;
    }
    return home_ && home_->isVisible() ? home_.data() : nullptr;
}

bool CActivationKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::WindowActivate && widget->isWindow()) {
        lastActive_ = widget;
    } else if (event->type() == QEvent::WindowDeactivate && widget == lastActive_ &&
               !QApplication::activeWindow()) {
        // The keyboard left the program. A closing window loses it just before it hides, in
        // the same turn; one still shown after that lost it to another program, which keeps
        // it when the window closes later.
        QTimer::singleShot(0, this, [this, left = QPointer<QWidget>(widget)] {
            if (left && left == lastActive_ && left->isVisible() && !QApplication::activeWindow())
                lastActive_ = nullptr;
        });
    } else if (event->type() == QEvent::Show && widget == home_) {
        home_->activateWindow();
    } else if (event->type() == QEvent::Hide && widget != home_ && TakesKeyboard(*widget) &&
               widget == lastActive_ && WhoHoldsTheKeyboard() != KeyboardHolder::kAnotherProgram) {
        // The window activated last, not the active one: Qt lets go of a closing dialog's
        // activation before it hides it. Handed back once the closing window's own events
        // are through, so that a window it opened on closing, or one the platform activated
        // meanwhile, keeps the keyboard.
        QTimer::singleShot(
            0, this,
            [this, closing = QPointer<QWidget>(widget),
             owner = QPointer<QWidget>(widget->parentWidget())] { HandBack(closing, owner); });
    }
    return false;
}

void CActivationKeeper::HandBack(const QPointer<QWidget>& closing, const QPointer<QWidget>& owner) {
    // Asked now: the program may not yet have read that another program took the keyboard
    // just before the window closed.
    if (WhoHoldsTheKeyboard(true) == KeyboardHolder::kAnotherProgram) return;
    QWidget* active = QApplication::activeWindow();
    if (active && active != closing && active->isVisible()) return;
    if (closing && closing->isVisible()) return; // shown again meanwhile
    if (QWidget* next = Successor(owner)) next->activateWindow();
}

} // namespace vl
