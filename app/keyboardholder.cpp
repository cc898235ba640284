#include "app/keyboardholder.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace vl {

namespace {

// X hands every client its own range of window ids.
bool OursById(xcb_connection_t* c, xcb_window_t window) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    return (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

bool IsRoot(xcb_connection_t* c, xcb_window_t window) {
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it))
        if (it.data->root == window) return true;
    return false;
}

// The window manager's own window, which it gives the keyboard while it picks a window to
// give it to (openbox, when a dialog closes straight after a message box it opened): no
// program the user went to.
bool IsWindowManagers(xcb_connection_t* c, xcb_window_t window) {
    static const xcb_atom_t check = [c] {
        constexpr char kName[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr);
        const xcb_atom_t found = atom ? atom->atom : xcb_atom_t(XCB_NONE);
        std::free(atom);
        return found;
    }();
    if (check == XCB_NONE) return false;
    bool found = false;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem && !found;
         xcb_screen_next(&it)) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, it.data->root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
        if (reply && xcb_get_property_value_length(reply) == sizeof(xcb_window_t))
            found = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply)) == window;
        std::free(reply);
    }
    return found;
}

// Whether `window` holds one of ours within `depth` levels: a window manager's frame, which
// keeps the keyboard for a moment after the window it framed was hidden.
bool FramesOurs(xcb_connection_t* c, xcb_window_t window, int depth) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree) return false;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) found = OursById(c, children[i]);
    // A frame holds a few windows: one with many is another program's own, not looked into.
    constexpr int kFrameChildren = 16;
    for (int i = 0; i < count && count <= kFrameChildren && depth > 1 && !found; ++i)
        found = FramesOurs(c, children[i], depth - 1);
    std::free(tree);
    return found;
}

// A window of ours that no widget holds stands for another program's (tests make them so).
KeyboardHolder OfOurWindow(const QWindow* focus) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->windowHandle() == focus) return KeyboardHolder::kThisProgram;
    return KeyboardHolder::kAnotherProgram;
}

KeyboardHolder OnX(xcb_connection_t* c) {
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (!reply) return KeyboardHolder::kNobody;
    const xcb_window_t focus = reply->focus;
    std::free(reply);
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT || IsRoot(c, focus) ||
        IsWindowManagers(c, focus))
        return KeyboardHolder::kNobody;
    if (OursById(c, focus)) {
        for (const QWindow* window : QGuiApplication::allWindows())
            if (window->handle() && window->winId() == focus) return OfOurWindow(window);
        return KeyboardHolder::kThisProgram;
    }
    return FramesOurs(c, focus, 2) ? KeyboardHolder::kThisProgram : KeyboardHolder::kAnotherProgram;
}

} // namespace

KeyboardHolder WhoHoldsTheKeyboard(bool settle) {
    if (auto* x = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        if (xcb_connection_t* c = x->connection()) return OnX(c);
    // Elsewhere the application's own focus window is the window system's word, once what
    // the window system has queued for it is through.
    if (settle) QGuiApplication::sync();
    QWindow* focus = QGuiApplication::focusWindow();
    return focus ? OfOurWindow(focus) : KeyboardHolder::kNobody;
}

} // namespace vl
