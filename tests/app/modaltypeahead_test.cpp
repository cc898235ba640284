// Keys the X server sends to a window while a modal dialog over it is opening, before the
// dialog has the keyboard, reach the dialog in the order they were typed, with the keys typed
// after them; without the keeping the toolkit drops them. On X only: elsewhere no server
// sends keys to a window that does not have the keyboard.

#include "app/modaltypeahead.h"
#include "dialogs/typeaheadhold.h"
#include "tests/common/userkeys.h"
#include "tests/common/waits.h"
#include "ui/uiservices.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <xcb/xcb.h>

namespace vl {

namespace {

xcb_connection_t* Connection() {
    auto* x = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x ? x->connection() : nullptr;
}

// The key code of a key symbol (a lower-case letter is its own) on the server's keyboard, 0
// when none types it.
xcb_keycode_t KeyCodeOf(xcb_connection_t* c, xcb_keysym_t symbol) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr);
    if (!map) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    xcb_keycode_t found = 0;
    for (int i = 0; i < count && !found; ++i)
        if (syms[i * map->keysyms_per_keycode] == symbol)
            found = xcb_keycode_t(setup->min_keycode + i);
    free(map);
    return found;
}

// Counts the presses and releases of one key that reach a widget.
class KeyCount : public QObject {
public:
    KeyCount(QObject* watched, int key) : key_(key) { watched->installEventFilter(this); }
    int presses = 0, releases = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const bool press = event->type() == QEvent::KeyPress;
        if ((press || event->type() == QEvent::KeyRelease) &&
            static_cast<QKeyEvent*>(event)->key() == key_)
            ++(press ? presses : releases);
        return false;
    }

private:
    int key_;
};

// Only the press, or only the release, of a key as the server sends it to `window`.
void SendKeyHalf(xcb_connection_t* c, xcb_window_t window, xcb_keycode_t code, bool press) {
    xcb_key_press_event_t key{};
    key.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
    key.detail = code;
    key.time = XCB_CURRENT_TIME;
    key.root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    key.event = window;
    key.same_screen = 1;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&key));
}

// A key pressed and released as the server sends it to `window`.
void SendKey(xcb_connection_t* c, xcb_window_t window, xcb_keycode_t code) {
    SendKeyHalf(c, window, code, true);
    SendKeyHalf(c, window, code, false);
}

// Whether the program has read and handed on every event the server sent it before now: a
// message sent to `window` now comes back after them. Twice over, it has also read the keys
// it sent on itself on reading the first ones.
bool UntilReadUpToNow(xcb_connection_t* c, xcb_window_t window) {
    struct Marker : QAbstractNativeEventFilter {
        bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
            const auto* event = static_cast<xcb_client_message_event_t*>(message);
            if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE || event->data.data32[0] != tag)
                return false;
            seen = true;
            return true;
        }
        uint32_t tag = 0x766c7431;
        bool seen = false;
    } marker;
    qApp->installNativeEventFilter(&marker);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = XCB_ATOM_CARDINAL;
    message.data.data32[0] = marker.tag;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    const bool read = testwait::Until([&] { return marker.seen; });
    // The keys read with the message are handed to their widgets on the same turn.
    QApplication::processEvents();
    qApp->removeNativeEventFilter(&marker);
    return read;
}

// The cases that send keys as the X server sends them: skipped elsewhere.
class ModalTypeAheadOnXTest : public testing::Test {
protected:
    void SetUp() override {
        c = Connection();
        if (!c) GTEST_SKIP() << "not on X";
        InstallModalTypeAhead();
        using Wanted = std::pair<xcb_keycode_t*, xcb_keysym_t>;
        for (auto [code, symbol] :
             {Wanted{&a, 'a'}, Wanted{&b, 'b'}, Wanted{&q, 'q'}, Wanted{&x, 'x'}, Wanted{&y, 'y'},
              Wanted{&z, 'z'}, Wanted{&escape, 0xff1b}}) {
            *code = KeyCodeOf(c, symbol);
            ASSERT_NE(*code, 0) << symbol;
        }
    }
    xcb_connection_t* c = nullptr;
    xcb_keycode_t a = 0, b = 0, q = 0, x = 0, y = 0, z = 0, escape = 0;
};

TEST_F(ModalTypeAheadOnXTest, KeysSentToTheWindowUnderAnOpeningDialogReachTheDialog) {
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
    ASSERT_TRUE(testwait::Until([&] { return fieldLine->text().size() == 2; }));
    SendKey(c, xcb_window_t(field.winId()), y);
    xcb_flush(c);
    EXPECT_TRUE(testwait::Until([&] { return fieldLine->text() == QStringLiteral("zzy"); }))
        << fieldLine->text().toStdString();
    EXPECT_EQ(tableLine->text(), QString());
    field.close();
}

// A window with a line that has the keyboard, as the window a dialog opens over.
struct Under {
    Under() {
        line = new QLineEdit(&window);
        (new QVBoxLayout(&window))->addWidget(line);
        window.show();
        window.activateWindow();
    }
    // Whether the window became active, with the line holding the keyboard.
    bool HasKeys() {
        if (!testwait::UntilActive(&window)) return false;
        line->setFocus();
        return testwait::UntilKeysReach(line);
    }
    QWidget window;
    QLineEdit* line;
};

// Keys typed by a user as a dialog opens, before it has the keyboard, reach it in order, with
// a key typed once it has it, whichever way it is modal: as a dialog shown application-modal,
// as one opened by open() (window-modal, as the program's boxes and asked-for dialogs open)
// and window-modal by its own setting. Offscreen the keys are typed once it has the keyboard.
TEST(ModalTypeAheadTest, KeysTypedAsADialogOpensReachItsFieldInOrder) {
    InstallModalTypeAhead();
    const struct {
        const char* name;
        std::function<void(QDialog&)> open;
    } kCases[] = {
        {"application-modal",
         [](QDialog& d) {
             d.setWindowModality(Qt::ApplicationModal);
             d.show();
         }},
        {"opened", [](QDialog& d) { d.open(); }},
        {"window-modal",
         [](QDialog& d) {
             d.setWindowModality(Qt::WindowModal);
             d.show();
         }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Under under;
        ASSERT_TRUE(under.HasKeys());
        QDialog dialog(&under.window);
        auto* field = new QLineEdit(&dialog);
        (new QVBoxLayout(&dialog))->addWidget(field);
        c.open(dialog);
        // On X before the dialog has the keyboard; elsewhere the keys cannot overtake it.
        const bool ahead = testkeys::OnX();
        if (ahead) {
            ASSERT_TRUE(testkeys::Type({{Qt::Key_Z}, {Qt::Key_Z}}));
        }
        ASSERT_TRUE(testwait::UntilActive(&dialog));
        if (!ahead) {
            ASSERT_TRUE(testkeys::Type({{Qt::Key_Z}, {Qt::Key_Z}}));
        }
        ASSERT_TRUE(testkeys::Type({{Qt::Key_Y}}));
        EXPECT_TRUE(testwait::Until([&] { return field->text().size() >= 3; }));
        EXPECT_EQ(field->text().toStdString(), "zzy");
        EXPECT_EQ(under.line->text(), QString());
        dialog.close();
    }
}

// The program's question box answered by its letter typed as it opens: No, from the box
// built and opened as the program's boxes are.
TEST(ModalTypeAheadTest, ALetterTypedAsAQuestionOpensAnswersIt) {
    InstallModalTypeAhead();
    Under under;
    ASSERT_TRUE(under.HasKeys());
    QPointer<QMessageBox> box =
        BuildMessageBox(QStringLiteral("Save the changes?"), QStringLiteral("Question"),
                        MB_YESNO | MB_ICONQUESTION, &under.window);
    bool finished = false;
    QObject::connect(box.data(), &QMessageBox::finished, [&] { finished = true; });
    box->open();
    const bool ahead = testkeys::OnX();
    if (ahead) {
        ASSERT_TRUE(testkeys::Type({{Qt::Key_N}}));
    }
    ASSERT_TRUE(testwait::UntilActive(box));
    if (!ahead) {
        ASSERT_TRUE(testkeys::Type({{Qt::Key_N}}));
    }
    EXPECT_TRUE(testwait::Until([&] { return finished; }));
    ASSERT_FALSE(box.isNull());
    EXPECT_EQ(MessageBoxAnswer(*box), IDNO);
    EXPECT_EQ(under.line->text(), QString());
    delete box;
}

// A wait's box over `under`, with a line, and the hold of keys that comes with it.
struct WaitBox {
    explicit WaitBox(Under& under)
        : hold(std::make_unique<CTypeAheadHold>()), box(std::make_unique<QDialog>(&under.window)),
          line(new QLineEdit(box.get())) {
        (new QVBoxLayout(box.get()))->addWidget(line);
        box->setWindowModality(Qt::ApplicationModal);
        hold->LetThrough(box.get());
    }
    // The box goes before the hold, as a wait's box does, once the window under it has the
    // keyboard back; false when it never gets it.
    bool End(Under& under) {
        box.reset();
        under.window.activateWindow();
        const bool active = testwait::UntilActive(&under.window);
        hold.reset();
        return active;
    }
    std::unique_ptr<CTypeAheadHold> hold;
    std::unique_ptr<QDialog> box;
    QLineEdit* line;
};

// A wait's box shows while the program is busy on its own, not at the user's asking: keys typed
// before it has the keyboard were meant for the window under it, and reach it once the wait
// ends, while a key typed into the box stays there.
TEST(ModalTypeAheadTest, KeysTypedBeforeAWaitsBoxShowsReachTheWindowUnderItAfterTheWait) {
    if (!testkeys::OnX()) GTEST_SKIP() << "not on X: no key reaches a window it was not typed into";
    InstallModalTypeAhead();
    Under under;
    ASSERT_TRUE(under.HasKeys());
    KeyCount underZ(under.line, Qt::Key_Z);
    WaitBox wait(under);
    QDialog* box = wait.box.get();
    QLineEdit* boxLine = wait.line;
    box->show();
    box->activateWindow();
    ASSERT_TRUE(testkeys::Type({{Qt::Key_Z}, {Qt::Key_Z}}));
    ASSERT_TRUE(testwait::UntilActive(box));
    ASSERT_TRUE(testkeys::Type({{Qt::Key_Y}}));
    // The keys typed before reach the box ahead of this one, and the hold keeps them.
    ASSERT_TRUE(testwait::Until([&] { return boxLine->text().endsWith(QLatin1Char('y')); }));
    EXPECT_EQ(boxLine->text().toStdString(), "y");
    EXPECT_EQ(under.line->text(), QString());
    // The box goes before the hold, as a wait's box does, and the window under it takes the
    // keyboard back.
    ASSERT_TRUE(wait.End(under));
    // Until the releases too are handed on: a key still to come would reach whatever has the
    // keyboard next.
    EXPECT_TRUE(testwait::Until([&] { return underZ.releases == 2; })) << underZ.releases;
    EXPECT_EQ(under.line->text().toStdString(), "zz");
}

// The releases of keys sent to the window under a wait's box before it has the keyboard go
// back with their presses, none of them to the box.
TEST_F(ModalTypeAheadOnXTest, KeysSentUnderAWaitsBoxGoBackWithTheirReleases) {
    Under under;
    ASSERT_TRUE(under.HasKeys());
    WaitBox wait(under);
    QDialog* box = wait.box.get();
    QLineEdit* boxLine = wait.line;
    KeyCount boxZ(boxLine, Qt::Key_Z), underZ(under.line, Qt::Key_Z);
    box->show();
    SendKey(c, xcb_window_t(under.window.winId()), z);
    SendKey(c, xcb_window_t(under.window.winId()), z);
    xcb_flush(c);
    ASSERT_TRUE(testwait::UntilActive(box));
    // A key typed into the box comes after the ones handed on to it.
    ASSERT_TRUE(testkeys::Type({{Qt::Key_Y}}));
    ASSERT_TRUE(testwait::Until([&] { return boxLine->text() == QStringLiteral("y"); }))
        << boxLine->text().toStdString();
    ASSERT_TRUE(wait.End(under));
    EXPECT_TRUE(testwait::Until([&] { return underZ.releases == 2; })) << underZ.releases;
    EXPECT_EQ(under.line->text().toStdString(), "zz");
    EXPECT_EQ(underZ.presses, 2);
    EXPECT_EQ(boxZ.presses + boxZ.releases, 0);
}

// Keys the server sends a window no modal dialog blocks go to it at once, though a modal
// dialog is open: a window opened from the dialog (its own tool window), and a window beside
// the one a window-modal dialog stands on.
TEST_F(ModalTypeAheadOnXTest, KeysForAWindowNoDialogBlocksReachItAtOnce) {
    const struct {
        const char* name;
        Qt::WindowModality modality;
        bool fromDialog; // the window typed into is opened from the dialog, else beside it
    } kCases[] = {{"a window opened from an application-modal dialog", Qt::ApplicationModal, true},
                  {"a window opened from a window-modal dialog", Qt::WindowModal, true},
                  {"a window beside a window-modal dialog's", Qt::WindowModal, false}};
    for (const auto& k : kCases) {
        SCOPED_TRACE(k.name);
        Under under;
        ASSERT_TRUE(testwait::UntilActive(&under.window));
        QDialog dialog(&under.window);
        dialog.setWindowModality(k.modality);
        dialog.show();
        ASSERT_TRUE(testwait::UntilActive(&dialog));
        QWidget typed(k.fromDialog ? static_cast<QWidget*>(&dialog) : nullptr, Qt::Window);
        auto* line = new QLineEdit(&typed);
        (new QVBoxLayout(&typed))->addWidget(line);
        typed.show();
        typed.activateWindow();
        ASSERT_TRUE(testwait::UntilActive(&typed));
        ASSERT_TRUE(testwait::UntilKeysReach(line));
        ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
        SendKey(c, xcb_window_t(typed.winId()), q);
        xcb_flush(c);
        // Kept, a key would wait for the dialog to take the keyboard, and be dropped.
        EXPECT_TRUE(testwait::Until([&] { return !line->text().isEmpty(); }));
        EXPECT_EQ(line->text().toStdString(), "q");
        EXPECT_EQ(under.line->text(), QString());
    }
}

// A key the server sent a menu that has just closed is sent on by us to the window the menu
// gave the keyboard back to; a key another program sends meanwhile is not taken for ours as it
// comes back, and does not overtake it.
TEST_F(ModalTypeAheadOnXTest, AKeyAnotherProgramSendsDoesNotOvertakeOneSentOnFromAClosedMenu) {
    Under under;
    ASSERT_TRUE(under.HasKeys());
    QMenu menu(&under.window);
    menu.addAction(QStringLiteral("Item"));
    menu.popup(under.window.mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activePopupWidget() == &menu; }));
    menu.hide();
    ASSERT_TRUE(testwait::UntilActive(&under.window));
    ASSERT_TRUE(testwait::UntilKeysReach(under.line));
    // Both reach the server before we read the first: ours goes back out after the other's.
    SendKey(c, xcb_window_t(menu.windowHandle()->winId()), a);
    SendKey(c, xcb_window_t(under.window.winId()), b);
    xcb_flush(c);
    EXPECT_TRUE(testwait::Until([&] { return under.line->text().size() >= 2; }))
        << under.line->text().toStdString();
    EXPECT_EQ(under.line->text().toStdString(), "ab");
}

// Hides the server's focus changes from the program while it lives: the program goes on
// taking the window it last knew to have the keyboard for the one that has it.
struct FocusChangesHidden : QAbstractNativeEventFilter {
    FocusChangesHidden() { qApp->installNativeEventFilter(this); }
    ~FocusChangesHidden() override { qApp->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const uint8_t kind = static_cast<xcb_generic_event_t*>(message)->response_type & 0x7f;
        return kind == XCB_FOCUS_IN || kind == XCB_FOCUS_OUT;
    }
};

// Keys kept for a modal dialog wait until it has the keyboard: sent on before, they reach the
// window the program still gives keys to, the one the dialog blocks, and are lost. Kept for a
// dialog that closes before it had the keyboard, they go to the window under it.
TEST_F(ModalTypeAheadOnXTest, KeptKeysWaitUntilTheDialogHasTheKeyboard) {
    Under under;
    ASSERT_TRUE(under.HasKeys());
    QDialog dialog(&under.window);
    auto* field = new QLineEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(field);
    field->setFocus();
    dialog.setWindowModality(Qt::ApplicationModal);
    const auto underId = xcb_window_t(under.window.winId());
    {
        // The dialog never has the keyboard as far as the program knows.
        FocusChangesHidden hidden;
        dialog.show();
        SendKey(c, underId, z);
        SendKey(c, underId, z);
        // Read, and anything sent on by us read back, while the dialog is open.
        ASSERT_TRUE(UntilReadUpToNow(c, underId));
        ASSERT_TRUE(UntilReadUpToNow(c, underId));
        dialog.close();
        SendKey(c, underId, b);
        xcb_flush(c);
        EXPECT_TRUE(testwait::Until([&] { return under.line->text().size() >= 3; }))
            << under.line->text().toStdString();
    }
    EXPECT_EQ(under.line->text().toStdString(), "zzb");
    EXPECT_EQ(field->text(), QString());
}

// The Escape that closes a menu and the keys typed right after it, sent to the open menu and
// read together, only after it closed: the keys reach the window the menu gave the keyboard
// back to, in order, and the Escape does not.
TEST_F(ModalTypeAheadOnXTest, KeysReadWithTheEscapeThatClosedTheMenuReachTheWindowUnderIt) {
    Under under;
    ASSERT_TRUE(under.HasKeys());
    KeyCount underEscape(under.line, Qt::Key_Escape), underA(under.line, Qt::Key_A);
    QMenu menu(&under.window);
    menu.addAction(QStringLiteral("Item"));
    menu.popup(under.window.mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activePopupWidget() == &menu; }));
    const auto id = xcb_window_t(menu.windowHandle()->winId());
    for (const xcb_keycode_t code : {escape, a, b}) SendKey(c, id, code);
    // All of them are in before the program reads the first.
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    EXPECT_TRUE(testwait::Until([&] { return under.line->text().size() >= 2; }))
        << under.line->text().toStdString();
    EXPECT_EQ(under.line->text().toStdString(), "ab");
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(underEscape.presses + underEscape.releases, 0);
    EXPECT_TRUE(testwait::Until([&] { return underA.releases == 1; })) << underA.releases;
    EXPECT_EQ(underA.presses, 1);
}

// A key the server sent a window of ours that closed before the key was read is sent on to no
// other window: it was typed for the window that went. Hidden, that window still reads it;
// destroyed, nothing does.
TEST_F(ModalTypeAheadOnXTest, AKeyForAWindowThatClosedGoesToNoOtherWindow) {
    for (const bool destroyed : {false, true}) {
        SCOPED_TRACE(destroyed ? "destroyed" : "hidden");
        Under under;
        ASSERT_TRUE(testwait::UntilActive(&under.window));
        auto gone = std::make_unique<QWidget>(nullptr, Qt::Window);
        (new QVBoxLayout(gone.get()))->addWidget(new QLineEdit(gone.get()));
        gone->show();
        gone->activateWindow();
        ASSERT_TRUE(testwait::UntilActive(gone.get()));
        SendKey(c, xcb_window_t(gone->winId()), a);
        // In before the window goes, read only after.
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        if (destroyed)
            gone.reset();
        else
            gone->hide();
        under.window.activateWindow();
        ASSERT_TRUE(under.HasKeys());
        // Sent on, the first key would reach the window ahead of this one.
        SendKey(c, xcb_window_t(under.window.winId()), b);
        xcb_flush(c);
        EXPECT_TRUE(testwait::Until([&] { return !under.line->text().isEmpty(); }));
        EXPECT_EQ(under.line->text().toStdString(), "b");
    }
}

// While no window of ours has the keyboard (it went to another program), a key the server sent
// a menu that has closed waits for the window the keyboard comes back to, and the keys after it
// wait behind it; a key sent to a closed window that was no menu is not sent on.
TEST_F(ModalTypeAheadOnXTest, KeysForAClosedMenuWaitWhileNoWindowHasTheKeyboard) {
    Under under;
    ASSERT_TRUE(under.HasKeys());
    QWidget closed(nullptr, Qt::Window);
    closed.show();
    closed.hide();
    QMenu menu(&under.window);
    menu.addAction(QStringLiteral("Item"));
    menu.popup(under.window.mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activePopupWidget() == &menu; }));
    menu.hide();
    ASSERT_TRUE(under.HasKeys());
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_NONE, XCB_NONE, XCB_CURRENT_TIME);
    xcb_flush(c);
    ASSERT_TRUE(testwait::Until([] { return !QGuiApplication::focusWindow(); }));
    const auto underId = xcb_window_t(under.window.winId());
    SendKey(c, xcb_window_t(closed.winId()), x);
    SendKey(c, xcb_window_t(menu.windowHandle()->winId()), a);
    SendKey(c, underId, b);
    ASSERT_TRUE(UntilReadUpToNow(c, underId));
    // Handed on as read, the key for the window under the menu would be in already.
    EXPECT_EQ(under.line->text(), QString());
    // Given back as another program (a window manager) gives it: the program's own asking
    // carries the time of the last event it read, which the server refuses as older than the
    // taking away.
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, underId, XCB_CURRENT_TIME);
    xcb_flush(c);
    ASSERT_TRUE(under.HasKeys());
    EXPECT_TRUE(testwait::Until([&] { return under.line->text().size() >= 2; }))
        << under.line->text().toStdString();
    EXPECT_EQ(under.line->text().toStdString(), "ab");
}

// A key held as a dialog opened: its press was kept and sent on to the dialog, its release
// reached the dialog itself. The same key's release alone, sent as a second dialog opens, is
// no release of a kept press: it is not kept for that dialog, which gets only the key typed
// after it.
TEST_F(ModalTypeAheadOnXTest, AReleaseThatWentOnEndsTheKeepingOfItsPress) {
    Under under;
    ASSERT_TRUE(under.HasKeys());
    const auto underId = xcb_window_t(under.window.winId());
    {
        QDialog first(&under.window);
        auto* field = new QLineEdit(&first);
        (new QVBoxLayout(&first))->addWidget(field);
        KeyCount fieldZ(field, Qt::Key_Z);
        first.setWindowModality(Qt::ApplicationModal);
        first.show();
        SendKeyHalf(c, underId, z, true);
        xcb_flush(c);
        ASSERT_TRUE(testwait::UntilActive(&first));
        ASSERT_TRUE(testwait::Until([&] { return field->text() == QStringLiteral("z"); }));
        SendKeyHalf(c, xcb_window_t(first.winId()), z, false);
        xcb_flush(c);
        ASSERT_TRUE(testwait::Until([&] { return fieldZ.releases == 1; }));
    }
    under.window.activateWindow();
    ASSERT_TRUE(testwait::UntilKeysReach(under.line));
    QDialog second(&under.window);
    auto* field = new QLineEdit(&second);
    (new QVBoxLayout(&second))->addWidget(field);
    KeyCount fieldZ(field, Qt::Key_Z);
    second.setWindowModality(Qt::ApplicationModal);
    second.show();
    SendKeyHalf(c, underId, z, false);
    SendKey(c, underId, b);
    xcb_flush(c);
    ASSERT_TRUE(testwait::UntilActive(&second));
    // Kept, the release would reach the dialog ahead of the key after it.
    EXPECT_TRUE(testwait::Until([&] { return !field->text().isEmpty(); }));
    EXPECT_EQ(field->text().toStdString(), "b");
    EXPECT_EQ(fieldZ.presses + fieldZ.releases, 0);
    EXPECT_EQ(under.line->text(), QString());
}

// Keys typed right after the key that closes a modal box, which the server sent the box before
// the program read that key, reach the window under it once that has the keyboard back, in
// order; the closing key does not. The box stays or is deleted on closing (as the About box
// is), and the keys are typed once it has the keyboard or as it opens, before it has it: then
// the program sends them on to the box, and the ones after the closing key come back for it.
TEST_F(ModalTypeAheadOnXTest, KeysTypedAfterTheKeyThatClosesABoxReachTheWindowUnderIt) {
    const struct {
        const char* name;
        bool deleted; // the box is deleted on closing
        bool ahead;   // typed as the box opens
    } kCases[] = {{"typed into the box", false, false},
                  {"typed into a box deleted on closing", true, false},
                  {"typed as the box opens", false, true},
                  {"typed as a box deleted on closing opens", true, true}};
    for (const auto& k : kCases) {
        SCOPED_TRACE(k.name);
        Under under;
        ASSERT_TRUE(under.HasKeys());
        KeyCount underEscape(under.line, Qt::Key_Escape), underB(under.line, Qt::Key_B);
        QPointer<QDialog> box = new QDialog(&under.window);
        box->setAttribute(Qt::WA_DeleteOnClose, k.deleted);
        (new QVBoxLayout(box))->addWidget(new QLineEdit(box));
        box->open();
        auto to = xcb_window_t(under.window.winId());
        if (!k.ahead) {
            ASSERT_TRUE(testwait::UntilActive(box));
            to = xcb_window_t(box->winId());
        }
        for (const xcb_keycode_t code : {escape, a, b}) SendKey(c, to, code);
        // All of them are in before the program reads the first.
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        ASSERT_TRUE(testwait::Until([&] { return box.isNull() || !box->isVisible(); }));
        // Given back as the program's keeper of the keyboard gives it.
        under.window.activateWindow();
        EXPECT_TRUE(testwait::Until([&] { return under.line->text().size() >= 2; }))
            << under.line->text().toStdString();
        EXPECT_EQ(under.line->text().toStdString(), "ab");
        EXPECT_TRUE(testwait::Until([&] { return underB.releases == 1; })) << underB.releases;
        EXPECT_EQ(underEscape.presses + underEscape.releases, 0);
        EXPECT_EQ(box.isNull(), k.deleted);
        delete box;
    }
}

// A window that is no modal box keeps the keys typed into it before it closed, as before: a
// window-modal box opened over `under` and closed gives its keys on, a window beside it that
// closes after it does not.
TEST_F(ModalTypeAheadOnXTest, OnlyAClosedModalBoxGivesItsKeysOn) {
    Under under;
    ASSERT_TRUE(under.HasKeys());
    QDialog box(&under.window);
    box.open();
    ASSERT_TRUE(testwait::UntilActive(&box));
    box.close();
    QWidget beside(nullptr, Qt::Window);
    beside.show();
    beside.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&beside));
    SendKey(c, xcb_window_t(beside.winId()), x);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    beside.hide();
    under.window.activateWindow();
    ASSERT_TRUE(under.HasKeys());
    SendKey(c, xcb_window_t(box.winId()), a);
    SendKey(c, xcb_window_t(under.window.winId()), b);
    xcb_flush(c);
    EXPECT_TRUE(testwait::Until([&] { return under.line->text().size() >= 2; }))
        << under.line->text().toStdString();
    EXPECT_EQ(under.line->text().toStdString(), "ab");
}

} // namespace

} // namespace vl
