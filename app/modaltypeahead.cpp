#include "app/modaltypeahead.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <array>
#include <cstring>
#include <deque>
#include <xcb/xcb.h>

namespace vl {

namespace {

// How long kept keys wait for the dialog to take the keyboard before they are dropped, as the
// toolkit would have dropped them.
constexpr int kKeepMs = 3000;

// The modal dialog that blocks the window with the keyboard now, else null.
QWidget* BlockingModal() {
    if (QApplication::activePopupWidget()) return nullptr;
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* active = QApplication::activeWindow();
    if (!modal || !modal->isVisible() || !active || active == modal || modal->isAncestorOf(active))
        return nullptr;
    if (modal->windowModality() == Qt::ApplicationModal) return modal;
    // A window-modal dialog blocks only the windows it stands on.
    for (QWidget* up = modal->parentWidget(); up; up = up->parentWidget())
        if (up->window() == active) return modal;
    return nullptr;
}

class CModalTypeAhead : public QObject, public QAbstractNativeEventFilter {
public:
    explicit CModalTypeAhead(xcb_connection_t* connection)
        : QObject(qApp), connection_(connection) {
        QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] { Flush(); });
        expiry_.setSingleShot(true);
        QObject::connect(&expiry_, &QTimer::timeout, this, [this] { kept_.clear(); });
        qApp->installNativeEventFilter(this);
    }
    // Destroyed with the application as its child, when the application is already gone.
    ~CModalTypeAhead() override {
        if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        const uint8_t kind = event->response_type & 0x7f;
        if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
        // Our own sending, back from the server: the toolkit takes it to the dialog.
        if ((event->response_type & 0x80) && inFlight_ > 0) {
            --inFlight_;
            return false;
        }
        // Once keys are kept, the keys after them wait behind them.
        if (kept_.empty() && inFlight_ == 0 && !BlockingModal()) return false;
        if (kept_.empty()) expiry_.start(kKeepMs);
        std::array<uint8_t, sizeof(xcb_key_press_event_t)> copy;
        std::memcpy(copy.data(), event, copy.size());
        kept_.push_back(copy);
        Flush();
        return true;
    }

private:
    void Flush() {
        if (kept_.empty()) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            kept_.clear();
            return;
        }
        QWindow* window = modal->windowHandle();
        if (!window || QGuiApplication::focusWindow() != window) return;
        expiry_.stop();
        const auto id = xcb_window_t(window->winId());
        for (auto& copy : kept_) {
            auto* key = reinterpret_cast<xcb_key_press_event_t*>(copy.data());
            key->event = id;
            key->child = XCB_NONE;
            xcb_send_event(connection_, 0, id, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(key));
            ++inFlight_;
        }
        kept_.clear();
        xcb_flush(connection_);
    }

    xcb_connection_t* connection_;
    std::deque<std::array<uint8_t, sizeof(xcb_key_press_event_t)>> kept_;
    int inFlight_ = 0;
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
