#include "app/modaltypeahead.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <deque>
#include <xcb/xcb.h>

namespace vl {

namespace {

// How long kept keys wait for the dialog to take the keyboard before they are dropped, as the
// toolkit would have dropped them.
constexpr int kKeepMs = 3000;

// Written into the pad byte of the keys we send, which the server hands back unchanged: our
// own sending is told from keys other programs send (a test's, a remote tool's) by it, not by
// counting sent keys, so that theirs are never taken for ours and let through to be dropped.
constexpr uint8_t kOurSending = 0x5a;

bool IsOurSending(const xcb_key_press_event_t& key) {
    return (key.response_type & 0x80) && key.pad0 == kOurSending;
}

// Whether `window` is `modal` or was opened from it (a window of its own whose owner is it):
// the dialog blocks neither. The widget's own test stops at the window's edge.
bool OpenedFrom(const QWidget* window, const QWidget* modal) {
    for (const QWidget* w = window; w; w = w->parentWidget())
        if (w == modal) return true;
    return false;
}

// The modal dialog that blocks the window with the keyboard now, else null.
QWidget* BlockingModal() {
    if (QApplication::activePopupWidget()) return nullptr;
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* active = QApplication::activeWindow();
    if (!modal || !modal->isVisible() || !active || OpenedFrom(active, modal)) return nullptr;
    if (modal->windowModality() == Qt::ApplicationModal) return modal;
    // A window-modal dialog blocks only the windows it stands on.
    for (QWidget* up = modal->parentWidget(); up; up = up->parentWidget())
        if (up->window() == active) return modal;
    return nullptr;
}

// Whether `id` is the window of a pop-up of ours (a menu) that has closed. Until the server has
// taken the closing menu's release of the keyboard, it sends that window the keys typed, and
// the toolkit drops keys for a hidden window.
bool IsClosedPopup(xcb_window_t id) {
    for (const QWindow* window : QGuiApplication::allWindows())
        if (window->handle() && xcb_window_t(window->winId()) == id)
            return window->type() == Qt::Popup && !window->isVisible();
    return false;
}

// How many closed boxes are remembered: keys for one come within a few turns of its closing.
constexpr size_t kClosedBoxesMax = 8;

// Where kept keys go now: the modal dialog once it has the keyboard (null until then), else
// the active window, which the closed menu gave the keyboard back to; null when there is none.
QWindow* KeyTarget() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        QWindow* window = modal->windowHandle();
        return window && QGuiApplication::focusWindow() == window ? window : nullptr;
    }
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active->windowHandle() : nullptr;
}

using KeyCopy = std::array<uint8_t, sizeof(xcb_key_press_event_t)>;

// The key as the server sent it, from the toolkit's event: its key code and the modifiers'
// state, which the toolkit reads a sent key by.
KeyCopy AsSent(const QKeyEvent& event, xcb_window_t root) {
    xcb_key_press_event_t key{};
    key.response_type = event.type() == QEvent::KeyPress ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
    key.detail = xcb_keycode_t(event.nativeScanCode());
    key.state = uint16_t(event.nativeModifiers());
    key.time = xcb_timestamp_t(event.timestamp());
    key.root = root;
    key.same_screen = 1;
    KeyCopy copy;
    std::memcpy(copy.data(), &key, copy.size());
    return copy;
}

class CModalTypeAhead : public QObject, public QAbstractNativeEventFilter {
public:
    explicit CModalTypeAhead(xcb_connection_t* connection)
        : QObject(qApp), connection_(connection) {
        QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] { Flush(); });
        expiry_.setSingleShot(true);
        QObject::connect(&expiry_, &QTimer::timeout, this, [this] {
            kept_.clear();
            returned_ = 0;
            pressed_.reset();
        });
        qApp->installNativeEventFilter(this);
        qApp->installEventFilter(this);
    }
    // Destroyed with the application as its child, when the application is already gone.
    ~CModalTypeAhead() override {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        const uint8_t kind = event->response_type & 0x7f;
        if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
        const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        KeyCopy copy;
        std::memcpy(copy.data(), event, copy.size());
        // Our own sending, back from the server: the toolkit takes it to the window it went to,
        // unless that is a box a key sent before it closed; then it goes on, ahead of the keys
        // read since it was sent.
        if (IsOurSending(*key)) {
            if (inFlight_ > 0) --inFlight_;
            const bool keep = IsClosedBox(key->event);
            if (keep) KeepAgain(copy);
            if (inFlight_ == 0) Flush();
            return keep;
        }
        // Once keys are kept, the keys after them wait behind them.
        if (kept_.empty() && inFlight_ == 0 && !BlockingModal() && !IsClosedPopup(key->event) &&
            !IsClosedBox(key->event)) {
            if (kind == XCB_KEY_RELEASE) pressed_.reset(key->detail);
            return false;
        }
        return Keep(copy);
    }

    // A key the server sent a menu or a modal box before it closed, read only after it: the
    // toolkit hands it to the closed window, which drops it.
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::Hide) {
            NoteBox(watched, type == QEvent::Hide);
            return false;
        }
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWindowType())
            return false;
        const auto* window = static_cast<QWindow*>(watched);
        if (window->isVisible() || QApplication::activePopupWidget() ||
            (window->type() != Qt::Popup && !IsClosedBox(window)))
            return false;
        return Keep(AsSent(*static_cast<QKeyEvent*>(event),
                           xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root));
    }

private:
    // A modal box that closes is remembered, by its X window and the toolkit's, until it shows
    // again: the server goes on sending it what is typed after the key that closed it until the
    // keyboard has moved on, and those keys belong to the window under it. The toolkit lets go
    // of the X window as it hides the box; the keys it read for it go to its own window still.
    void NoteBox(QObject* watched, bool hidden) {
        if (!watched->isWidgetType()) return;
        auto* widget = static_cast<QWidget*>(watched);
        QWindow* window = widget->windowHandle();
        if (!widget->isWindow() || !window) return;
        std::erase_if(closedBoxes_, [&](const ClosedBox& box) { return box.window == window; });
        if (!hidden || !widget->isModal() || widget->windowType() == Qt::Popup) return;
        if (closedBoxes_.size() == kClosedBoxesMax) closedBoxes_.pop_front();
        closedBoxes_.push_back({xcb_window_t(widget->internalWinId()), window});
    }

    bool IsClosedBox(xcb_window_t id) const {
        return std::any_of(closedBoxes_.begin(), closedBoxes_.end(),
                           [&](const ClosedBox& box) { return id && box.id == id; });
    }
    bool IsClosedBox(const QWindow* window) const {
        return std::any_of(closedBoxes_.begin(), closedBoxes_.end(),
                           [&](const ClosedBox& box) { return box.window == window; });
    }

    // A key of ours that came back for a closed box: it was typed before the keys kept since.
    void KeepAgain(const KeyCopy& copy) {
        if (kept_.empty()) expiry_.start(kKeepMs);
        kept_.insert(kept_.begin() + std::ptrdiff_t(returned_++), copy);
    }

    // Keeps a press, and the release of a kept press; false for a release whose press went on
    // (the Escape or Alt that closed a menu): sent on, it would reach the window a second time,
    // where a release alone ends what Alt began in the menu bar.
    bool Keep(const KeyCopy& copy) {
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(copy.data());
        if ((key->response_type & 0x7f) == XCB_KEY_PRESS) {
            pressed_.set(key->detail);
        } else {
            if (!pressed_.test(key->detail)) return false;
            pressed_.reset(key->detail);
        }
        if (kept_.empty()) expiry_.start(kKeepMs);
        kept_.push_back(copy);
        Flush();
        return true;
    }

    // Not while keys of ours are on their way: one may come back for a box that closed, to go
    // on ahead of these.
    void Flush() {
        if (kept_.empty() || inFlight_ > 0) return;
        QWindow* window = KeyTarget();
        if (!window) return;
        expiry_.stop();
        const auto id = xcb_window_t(window->winId());
        for (auto& copy : kept_) {
            auto* key = reinterpret_cast<xcb_key_press_event_t*>(copy.data());
            key->event = id;
            key->child = XCB_NONE;
            key->pad0 = kOurSending;
            xcb_send_event(connection_, 0, id, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(key));
            ++inFlight_;
        }
        kept_.clear();
        returned_ = 0;
        xcb_flush(connection_);
    }

    xcb_connection_t* connection_;
    std::deque<KeyCopy> kept_;
    std::bitset<256> pressed_; // key codes whose press was kept, until their release
    int inFlight_ = 0;
    size_t returned_ = 0; // kept keys at the front that came back for a closed box
    struct ClosedBox {
        xcb_window_t id;
        QPointer<QWindow> window;
    };
    std::deque<ClosedBox> closedBoxes_;
    QTimer expiry_;
};

} // namespace

void InstallModalTypeAhead() {
    static QPointer<CModalTypeAhead> installed;
    if (installed || !qApp) return;
    auto* x = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x ? x->connection() : nullptr;
    if (!connection) return;
    installed = new CModalTypeAhead(connection);
}

} // namespace vl
