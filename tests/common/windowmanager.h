#pragma once
// A window manager on the test's own X server, as a user's desktop runs one: it puts windows
// into frames of its own, gives them the keyboard by its own rules and answers the program's
// requests for it. Openbox is started by the test, awaited until it has finished starting, and
// ended with the test.

#include "tests/common/waits.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace vl::testx {

class COwnWindowManager {
public:
    COwnWindowManager() = default;
    COwnWindowManager(const COwnWindowManager&) = delete;
    COwnWindowManager& operator=(const COwnWindowManager&) = delete;
    ~COwnWindowManager() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(testwait::kWindowWaitMs)) process_.kill();
        process_.waitForFinished(testwait::kWindowWaitMs);
    }

    // Starts it and waits until it manages the screen; the empty text then, else why not.
    QString Start() {
        xcb_connection_t* c = Connection();
        if (!c) return QStringLiteral("not on X");
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start(QStringLiteral("openbox"), {});
        if (!process_.waitForStarted(testwait::kWindowWaitMs))
            return QStringLiteral("openbox did not start (tools/install-deps.sh brings it)");
        const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        if (!testwait::Until([&] { return Started(c, root, check); }))
            return QStringLiteral("openbox did not take the screen");
        return {};
    }

private:
    static xcb_connection_t* Connection() {
        auto* x = qApp->nativeInterface<QNativeInterface::QX11Application>();
        return x ? x->connection() : nullptr;
    }
    static xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }
    // The manager names its check window on the root as it takes the screen, and gives that
    // window the keyboard only at the end of its start. A window mapped before then is taken
    // in by the start's sweep of existing windows, which can leave it unshown, and loses the
    // keyboard to that window.
    bool Started(xcb_connection_t* c, xcb_window_t root, xcb_atom_t check) const {
        if (process_.state() != QProcess::Running) return false;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
        xcb_window_t named = XCB_WINDOW_NONE;
        if (reply && xcb_get_property_value_length(reply) == 4)
            named = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        free(reply);
        if (named == XCB_WINDOW_NONE) return false;
        xcb_get_input_focus_reply_t* focus =
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        const bool started = focus && focus->focus == named;
        free(focus);
        return started;
    }

    QProcess process_;
};

} // namespace vl::testx
