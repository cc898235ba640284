// The activation keeper's hand-back: a dialog that holds the keyboard gives it back as it
// closes, to the dialog under it or the main window; one that closes after the keyboard went
// to another program's window leaves it there.

#include "app/activationkeeper.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace vl {

namespace {

// Runs the events until `done` holds, two seconds at most; whether it held.
template <class Done> bool Until(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 2000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class ActivationKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::make_unique<QWidget>();
        home->resize(300, 200);
        keeper = new CActivationKeeper(home.get());
        home->show();
        ASSERT_TRUE(Until([&] { return QApplication::activeWindow() == home.get(); }));
    }
    // A dialog over `owner` that takes the keyboard.
    QDialog* OpenDialog(QWidget* owner) {
        auto* dialog = new QDialog(owner);
        dialog->resize(120, 80);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(Until([&] { return QApplication::activeWindow() == dialog; }));
        return dialog;
    }
    std::unique_ptr<QWidget> home;
    CActivationKeeper* keeper = nullptr;
};

// Closed while it holds the keyboard: each dialog hands it to the window it was opened from,
// the last to the main window.
TEST_F(ActivationKeeperTest, AClosingDialogHandsTheKeyboardBack) {
    QDialog* outer = OpenDialog(home.get());
    QDialog* inner = OpenDialog(outer);
    EXPECT_EQ(keeper->Successor(outer), outer);
    inner->close();
    EXPECT_TRUE(Until([&] { return QApplication::activeWindow() == outer; }))
        << "the inner dialog's keyboard went elsewhere";
    outer->close();
    EXPECT_TRUE(Until([&] { return QApplication::activeWindow() == home.get(); }))
        << "the main window did not get the keyboard back";
}

// Another program's window (a window no widget of ours holds) took the keyboard; the dialog
// that closes by itself afterwards leaves it there, and so does a second one.
TEST_F(ActivationKeeperTest, ADialogClosingWhileAnotherProgramIsActiveLeavesIt) {
    QDialog* first = OpenDialog(home.get());
    QDialog* second = OpenDialog(home.get());
    QWindow other;
    other.resize(100, 100);
    other.show();
    other.requestActivate();
    ASSERT_TRUE(Until([&] { return QGuiApplication::focusWindow() == &other; }));
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    for (QDialog* dialog : {second, first}) {
        dialog->close();
        // The hand-back runs once the closing window's events are through.
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        EXPECT_EQ(QGuiApplication::focusWindow(), &other);
        EXPECT_EQ(QApplication::activeWindow(), nullptr);
    }
}

// Another program's window takes activation in the same turn as the dialog closes, before or
// after it, before the program has read that it lost the keyboard: the keyboard stays with
// the other program.
TEST_F(ActivationKeeperTest, ADialogClosingAsAnotherProgramTakesTheKeyboardLeavesIt) {
    QWindow other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(Until([&] { return other.isExposed(); }));
    for (const bool activatedFirst : {true, false}) {
        SCOPED_TRACE(activatedFirst ? "activated, then closed" : "closed, then activated");
        QDialog* dialog = OpenDialog(home.get());
        ASSERT_EQ(QApplication::activeWindow(), dialog);
        if (activatedFirst) other.requestActivate();
        dialog->close();
        if (!activatedFirst) other.requestActivate();
        ASSERT_TRUE(Until([&] { return QGuiApplication::focusWindow() == &other; }));
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        EXPECT_EQ(QGuiApplication::focusWindow(), &other);
        EXPECT_EQ(QApplication::activeWindow(), nullptr);
    }
}

// A dialog that loses the keyboard and gets it back within one turn still holds it: closing,
// it hands it back to the main window.
TEST_F(ActivationKeeperTest, ADialogThatGotTheKeyboardBackHandsItBackOnClosing) {
    QWindow other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(Until([&] { return other.isExposed(); }));
    QDialog* dialog = OpenDialog(home.get());
    other.requestActivate();
    dialog->activateWindow();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    ASSERT_TRUE(Until([&] { return QApplication::activeWindow() == dialog; }));
    dialog->close();
    EXPECT_TRUE(Until([&] { return QApplication::activeWindow() == home.get(); }))
        << "the main window did not get the keyboard back";
}

} // namespace

} // namespace vl
