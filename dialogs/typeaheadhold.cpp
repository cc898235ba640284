#include "dialogs/typeaheadhold.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <deque>
#include <xcb/xcb.h>

namespace vl {

namespace {

bool IsKey(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::KeyRelease;
}

// What a modal window keeps from the windows under it, besides keys.
bool IsOtherInput(QEvent::Type type) {
    switch (type) {
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

std::unique_ptr<QKeyEvent> CopyKey(const QKeyEvent& key) {
    return std::make_unique<QKeyEvent>(key.type(), key.key(), key.modifiers(), key.nativeScanCode(),
                                       key.nativeVirtualKey(), key.nativeModifiers(), key.text(),
                                       key.isAutoRepeat(), key.count());
}

// The widget a key sent to `watched` would reach: the focus widget of its window.
QObject* KeyTarget(QObject* watched) {
    auto* window = qobject_cast<QWindow*>(watched);
    if (!window) return watched;
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window()->windowHandle() == window) return focus;
    QWidget* top = QWidget::find(window->winId());
    return top ? static_cast<QObject*>(top) : watched;
}

// Hands kept keys on one at a time, each in a turn of its own, to the widget that has the
// keyboard by then: a key may open an editor or a dialog that the next key belongs to. Until
// a window of the program is active again (the wait's box has just closed) the keys wait, and
// reach the widget they were typed into when none becomes active. Keys the user types while
// some are still to come join the end, so that nothing overtakes what was typed before it.
class CKeyReplay : public QObject {
public:
    struct Key {
        QPointer<QObject> target;
        std::unique_ptr<QKeyEvent> event;
    };
    explicit CKeyReplay(std::deque<Key> keys) : keys_(std::move(keys)) {
        setParent(qApp);
        qApp->installEventFilter(this);
        QTimer::singleShot(0, this, [this] { Next(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (!event->spontaneous() || (!IsKey(type) && type != QEvent::ShortcutOverride))
            return false;
        if (type == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        keys_.push_back({KeyTarget(watched), CopyKey(*static_cast<QKeyEvent*>(event))});
        return true;
    }

private:
    void Next() {
        if (keys_.empty()) {
            qApp->removeEventFilter(this);
            return deleteLater();
        }
        if (!QApplication::activeWindow() && ++idleTurns_ < kIdleTurnsMax) {
            QTimer::singleShot(kIdleStepMs, this, [this] { Next(); });
            return;
        }
        Key key = std::move(keys_.front());
        keys_.pop_front();
        QObject* target = QApplication::activePopupWidget();
        if (!target) target = QApplication::focusWidget();
        if (!target) target = key.target;
        // Asked before the key goes: a key that opens a modal dialog returns only when the
        // dialog closes, and the next keys belong to it.
        QTimer::singleShot(0, this, [this] { Next(); });
        // Sent, not spontaneous: a shortcut of the key acts as it would have.
        if (target) QApplication::sendEvent(target, key.event.get());
    }

    static constexpr int kIdleStepMs = 20;
    static constexpr int kIdleTurnsMax = 50;
    std::deque<Key> keys_;
    int idleTurns_ = 0;
};

} // namespace

CTypeAheadHold::CTypeAheadHold() {
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
}

CTypeAheadHold::~CTypeAheadHold() {
    qApp->removeEventFilter(this);
    qApp->removeNativeEventFilter(this);
    std::deque<CKeyReplay::Key> keys;
    for (Kept& k : kept_) keys.push_back({k.target, std::move(k.key)});
    if (!keys.empty()) new CKeyReplay(std::move(keys));
}

bool CTypeAheadHold::ForOpenWindow(const QObject* watched) const {
    if (!open_) return false;
    if (const auto* window = qobject_cast<const QWindow*>(watched))
        return window == open_->windowHandle();
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget && (widget == open_ || open_->isAncestorOf(widget));
}

// Keys the server sent the box are typed into it; a key sent on to it by the program was typed
// before the box had the keyboard, into the window under it. Only noted here: the toolkit
// reads the key after this.
bool CTypeAheadHold::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t" || !open_ || !open_->internalWinId()) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t kind = event->response_type & 0x7f;
    if (!(event->response_type & 0x80) || (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE))
        return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (key->event == xcb_window_t(open_->internalWinId()))
        handedOn_.emplace_back(key->detail, key->time);
    return false;
}

bool CTypeAheadHold::TypedBeforeTheBox(const QKeyEvent& key) {
    const auto found =
        std::find(handedOn_.begin(), handedOn_.end(),
                  std::pair<unsigned, unsigned long>(key.nativeScanCode(), key.timestamp()));
    if (found == handedOn_.end()) return false;
    handedOn_.erase(found);
    return true;
}

bool CTypeAheadHold::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!IsKey(type) && !IsOtherInput(type)) return false;
    if (ForOpenWindow(watched) &&
        (!IsKey(type) || !TypedBeforeTheBox(*static_cast<const QKeyEvent*>(event))))
        return false;
    if (IsKey(type)) {
        kept_.push_back({KeyTarget(watched), CopyKey(*static_cast<const QKeyEvent*>(event))});
    }
    // A shortcut's override taken: the shortcut does not act, and the key comes as a key.
    if (type == QEvent::ShortcutOverride) event->accept();
    return true;
}

} // namespace vl
