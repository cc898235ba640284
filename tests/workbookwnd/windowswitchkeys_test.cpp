// Keys through the window system's input queue move between workbook windows: Ctrl+F6 gives the
// keys to the grid of the window it activates.

#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "wndtest.h"

#include <QMdiArea>
#include <QTest>
#include <QTreeWidget>

namespace vl {

namespace {

class WindowSwitchKeysTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        first = NewWindow();
        second = NewWindow();
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        second->FocusActiveView();
        ASSERT_TRUE(testwait::UntilFocused(second->View(0)));
    }
    CWorkbookWnd* first = nullptr;
    CWorkbookWnd* second = nullptr;
};

// Each Ctrl+F6 gives the keys to the pane of the window it activates that had them last, the
// grid at first, also from the worksheet tree; typed then, a value goes into that grid.
TEST_F(WindowSwitchKeysTest, CtrlF6GivesTheKeysToTheGridOfTheWindowReached) {
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6, Qt::ControlModifier));
    ASSERT_EQ(Active(), first);
    EXPECT_TRUE(testwait::UntilFocused(first->View(0)));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6));
    ASSERT_EQ(QApplication::focusWidget(), first->TreeControl());
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6, Qt::ControlModifier));
    ASSERT_EQ(Active(), second);
    EXPECT_TRUE(testwait::UntilFocused(second->View(0)));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6, Qt::ControlModifier));
    ASSERT_EQ(Active(), first);
    EXPECT_TRUE(testwait::UntilFocused(first->TreeControl()));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6, Qt::ControlModifier));
    ASSERT_TRUE(testwait::UntilFocused(second->View(0)));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_7));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
    EXPECT_TRUE(testwait::Until([&] { return CellText(0, 0) == "7"; }));
    second->SetModified(false);
}

} // namespace

} // namespace vl
