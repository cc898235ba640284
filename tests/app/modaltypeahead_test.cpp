// Keys the X server sends to a window while a modal dialog over it is opening, before the
// dialog has the keyboard, reach the dialog in the order they were typed, with the keys typed
// after them; without the keeping the toolkit drops them. On X only: elsewhere no server
// sends keys to a window that does not have the keyboard.

#include "app/modaltypeahead.h"
#include "tests/common/waits.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace vl {

namespace {

xcb_connection_t* Connection() {
    auto* x = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x ? x->connection() : nullptr;
}

// The key code of a lower-case letter on the server's keyboard, 0 when none types it.
xcb_keycode_t KeyCodeOf(xcb_connection_t* c, char letter) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr);
    if (!map) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    xcb_keycode_t found = 0;
    for (int i = 0; i < count && !found; ++i)
        if (syms[i * map->keysyms_per_keycode] == xcb_keysym_t(letter))
            found = xcb_keycode_t(setup->min_keycode + i);
    free(map);
    return found;
}

// A key pressed and released as the server sends it to `window`.
void SendKey(xcb_connection_t* c, xcb_window_t window, xcb_keycode_t code) {
    for (const uint8_t type : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE)}) {
        xcb_key_press_event_t key{};
        key.response_type = type;
        key.detail = code;
        key.time = XCB_CURRENT_TIME;
        key.root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        key.event = window;
        key.same_screen = 1;
        xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&key));
    }
}

TEST(ModalTypeAheadTest, KeysSentToTheWindowUnderAnOpeningDialogReachTheDialog) {
    xcb_connection_t* c = Connection();
    if (!c) GTEST_SKIP() << "not on X";
    InstallModalTypeAhead();
    const xcb_keycode_t z = KeyCodeOf(c, 'z'), y = KeyCodeOf(c, 'y');
    ASSERT_NE(z, 0);
    ASSERT_NE(y, 0);
    QWidget table;
    auto* tableLine = new QLineEdit(&table);
    (new QVBoxLayout(&table))->addWidget(tableLine);
    table.show();
    table.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&table));
    tableLine->setFocus();
    ASSERT_TRUE(testwait::UntilKeysReach(tableLine));
    QDialog field(&table);
    auto* fieldLine = new QLineEdit(&field);
    (new QVBoxLayout(&field))->addWidget(fieldLine);
    field.setWindowModality(Qt::ApplicationModal);
    field.show();
    // Typed before the dialog has the keyboard: the server sends them to the window under it.
    SendKey(c, xcb_window_t(table.winId()), z);
    SendKey(c, xcb_window_t(table.winId()), z);
    xcb_flush(c);
    ASSERT_TRUE(testwait::UntilActive(&field));
    // And one typed once it has it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fieldLine->text().size() == 2; }));
    SendKey(c, xcb_window_t(field.winId()), y);
    xcb_flush(c);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fieldLine->text() == QStringLiteral("zzy"); }))
        << fieldLine->text().toStdString();
    EXPECT_EQ(tableLine->text(), QString());
    field.close();
}

} // namespace

} // namespace vl
