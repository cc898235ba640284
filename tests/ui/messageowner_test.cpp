// The owner of a box or dialog opened now: the modal dialog open, else the program's active
// window, else the main frame, unless a shown window owns its refusals meanwhile. A box owned
// by a dialog stands above it and gives the keyboard back to it.

#include "tests/common/waits.h"
#include "ui/messageowner.h"
#include "ui/uiservices.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace vl {

namespace {

TEST(MessageOwner, TheModalDialogElseTheActiveWindowElseTheFrame) {
    EXPECT_EQ(MessageOwner(), nullptr); // no frame yet
    QWidget frame;
    SetMessageOwner(&frame);
    EXPECT_EQ(MessageFrame(), &frame);
    EXPECT_EQ(MessageOwner(), &frame); // nothing shown: the frame
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &frame; }));
    EXPECT_EQ(MessageOwner(), &frame);
    // A modeless window of the program holds the keyboard: boxes belong to it.
    QDialog pane(&frame);
    pane.show();
    pane.activateWindow();
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &pane; }));
    EXPECT_EQ(MessageOwner(), &pane);
    // A modal dialog open: boxes belong to it, wherever the keyboard is.
    QDialog modal(&frame);
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    EXPECT_EQ(MessageOwner(), &modal);
    // A second modal over the first: the newest.
    QDialog inner(&modal);
    inner.setWindowModality(Qt::ApplicationModal);
    inner.show();
    EXPECT_EQ(MessageOwner(), &inner);
    inner.hide();
    EXPECT_EQ(MessageOwner(), &modal);
    modal.hide();
    pane.hide();
    frame.activateWindow();
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &frame; }));
    EXPECT_EQ(MessageOwner(), &frame);
    SetMessageOwner(nullptr);
    EXPECT_EQ(MessageFrame(), nullptr);
}

// While a window's scope stands, boxes belong to it as long as it is shown, whichever window is
// active; a hidden one is passed over; an inner scope gives way to the outer one as it ends.
TEST(MessageOwner, AScopedOwnerWhileItIsShown) {
    QWidget frame, page, other;
    SetMessageOwner(&frame);
    frame.show();
    page.show();
    frame.activateWindow();
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &frame; }));
    {
        const CMessageOwnerScope scope(&page);
        EXPECT_EQ(MessageOwner(), &page);
        {
            const CMessageOwnerScope inner(&other);
            EXPECT_EQ(MessageOwner(), &frame);
        }
        EXPECT_EQ(MessageOwner(), &page);
        page.hide();
        EXPECT_EQ(MessageOwner(), &frame);
    }
    page.show();
    frame.activateWindow();
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &frame; }));
    EXPECT_EQ(MessageOwner(), &frame); // the scope ended
    SetMessageOwner(nullptr);
}

} // namespace

} // namespace vl
