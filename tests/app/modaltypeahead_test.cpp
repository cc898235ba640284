// Keys the X server sends to a window while a modal dialog over it is opening, before the
// dialog has the keyboard, reach the dialog in the order they were typed, with the keys typed
// after them; without the keeping the toolkit drops them. On X only: elsewhere no server
// sends keys to a window that does not have the keyboard.

#include "app/modaltypeahead.h"
#include "dialogs/typeaheadhold.h"
#include "tests/common/userkeys.h"
#include "tests/common/waits.h"
#include "ui/uiservices.h"

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
        ASSERT_TRUE(testwait::UntilActive(&under.window));
        under.line->setFocus();
        ASSERT_TRUE(testwait::UntilKeysReach(under.line));
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
    ASSERT_TRUE(testwait::UntilActive(&under.window));
    under.line->setFocus();
    ASSERT_TRUE(testwait::UntilKeysReach(under.line));
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
    ASSERT_TRUE(testwait::UntilActive(&under.window));
    under.line->setFocus();
    ASSERT_TRUE(testwait::UntilKeysReach(under.line));
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
TEST(ModalTypeAheadTest, KeysSentUnderAWaitsBoxGoBackWithTheirReleases) {
    xcb_connection_t* c = Connection();
    if (!c) GTEST_SKIP() << "not on X";
    InstallModalTypeAhead();
    const xcb_keycode_t z = KeyCodeOf(c, 'z');
    ASSERT_NE(z, 0);
    Under under;
    ASSERT_TRUE(testwait::UntilActive(&under.window));
    under.line->setFocus();
    ASSERT_TRUE(testwait::UntilKeysReach(under.line));
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
TEST(ModalTypeAheadTest, KeysForAWindowNoDialogBlocksReachItAtOnce) {
    xcb_connection_t* c = Connection();
    if (!c) GTEST_SKIP() << "not on X";
    InstallModalTypeAhead();
    const xcb_keycode_t q = KeyCodeOf(c, 'q');
    ASSERT_NE(q, 0);
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
TEST(ModalTypeAheadTest, AKeyAnotherProgramSendsDoesNotOvertakeOneSentOnFromAClosedMenu) {
    xcb_connection_t* c = Connection();
    if (!c) GTEST_SKIP() << "not on X";
    InstallModalTypeAhead();
    const xcb_keycode_t a = KeyCodeOf(c, 'a'), b = KeyCodeOf(c, 'b');
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    Under under;
    ASSERT_TRUE(testwait::UntilActive(&under.window));
    under.line->setFocus();
    ASSERT_TRUE(testwait::UntilKeysReach(under.line));
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

} // namespace

} // namespace vl
