// The toolbars by keys through the window system's input queue: from the menu bar Ctrl+Tab
// walks the toolbars and round to the menu bar; in a bar the arrows, Home and End move,
// Return presses, Down opens a drop-down, Escape gives the keys back to the grid; the button
// with the keys shows it.

#include "app/frametoolbars.h"
#include "dialogs/formatpages.h"
#include "resources/commandids.h"
#include "tests/common/popupkeys.h"
#include "wndtest.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace vl {

namespace {

class ToolbarKeysTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        frame->SetFormatPages(&pages);
        ASSERT_NE(NewWindow(), nullptr);
        frame->OnIdle(); // shows the formatting bar
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        View()->setFocus();
        ASSERT_TRUE(testwait::UntilFocused(View()));
    }
    void TearDown() override {
        pages.ClosePage();
        frame->SetFormatPages(nullptr);
        WindowTest::TearDown();
    }
    QWidget* Button(int bar, int id) const {
        return frame->Toolbar(bar)->widgetForAction(frame->ToolAction(id));
    }
    // Alt pressed and released alone, then Ctrl+Tab `times` times.
    void IntoTheBars(int times) {
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Alt));
        ASSERT_EQ(QApplication::focusWidget(), frame->menuBar());
        for (int i = 0; i < times; ++i)
            ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ControlModifier));
    }
    // Right until `target` has the keys, at most `bound` presses.
    bool RightTo(QWidget* target, int bound = 40) {
        for (int i = 0; i < bound && QApplication::focusWidget() != target; ++i)
            if (!testwait::PressKey(Qt::Key_Right)) return false;
        return QApplication::focusWidget() == target;
    }

    CFormatPages pages;
};

TEST_F(ToolbarKeysTest, CtrlTabWalksTheBarsAndRoundToTheMenuBar) {
    QWidget* firstStandard = Button(kStandardBar, ID_FILE_NEW);
    QWidget* font = Button(kFormattingBar, ID_FORMAT_FONT);
    IntoTheBars(1);
    EXPECT_EQ(QApplication::focusWidget(), firstStandard);
    EXPECT_FALSE(frame->menuBar()->activeAction()) << "the menu bar let the keys go";
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_EQ(QApplication::focusWidget(), frame->AddressBox());
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_EQ(QApplication::focusWidget(), font);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(QApplication::focusWidget(), frame->AddressBox());
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ControlModifier));
    // Past the last shown bar (search and preview bars are hidden) the menu bar has them.
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_NE(frame->menuBar()->activeAction(), nullptr);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    if (QWidget* opened = QApplication::activePopupWidget()) {
        ASSERT_EQ(testwait::UntilPopupHasKeys(), opened);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    }
    ASSERT_TRUE(testwait::UntilKeysReach(View()));
    // Backwards from the menu bar the last bar's first item takes the keys.
    IntoTheBars(0);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(QApplication::focusWidget(), font);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_EQ(QApplication::focusWidget(), View());
}

// The keys in a bar, another window of the program takes them and gives them back: Escape on
// the bar then gives them to the grid, not to the box of the other window that held them.
TEST_F(ToolbarKeysTest, EscapeAfterAnotherWindowHeldTheKeysGivesThemToTheGrid) {
    QWidget* first = Button(kStandardBar, ID_FILE_NEW);
    IntoTheBars(1);
    ASSERT_EQ(QApplication::focusWidget(), first);
    QWidget other;
    auto* box = new QLineEdit(&other);
    box->setFocus();
    other.show();
    other.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&other));
    ASSERT_TRUE(testwait::UntilFocused(box));
    frame->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    ASSERT_TRUE(testwait::UntilFocused(first));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_TRUE(testwait::UntilFocused(View()));
    EXPECT_EQ(QApplication::activeWindow(), frame.get());
    EXPECT_TRUE(box->text().isEmpty());
}

TEST_F(ToolbarKeysTest, ArrowsHomeAndEndMoveRoundTheBarAndTheButtonShowsIt) {
    const int ids[] = {ID_FORMAT_FONT,      ID_FORMAT_CELL, ID_FORMAT_STYLE,
                       ID_FORMAT_ALIGNMENT, ID_FORMAT_LIST, ID_FORMAT_WORKSHEET};
    QWidget* b[6];
    for (int i = 0; i < 6; ++i) b[i] = Button(kFormattingBar, ids[i]);
    const QImage plain = b[1]->grab().toImage();
    IntoTheBars(3);
    ASSERT_EQ(QApplication::focusWidget(), b[0]);
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;
    } rows[] = {
        {Qt::Key_Right, Qt::NoModifier, 1}, {Qt::Key_Tab, Qt::NoModifier, 2},
        {Qt::Key_End, Qt::NoModifier, 5},   {Qt::Key_Right, Qt::NoModifier, 0},
        {Qt::Key_Left, Qt::NoModifier, 5},  {Qt::Key_Home, Qt::NoModifier, 0},
        {Qt::Key_Up, Qt::NoModifier, 5},    {Qt::Key_Backtab, Qt::ShiftModifier, 4},
        {Qt::Key_Left, Qt::NoModifier, 3},  {Qt::Key_Left, Qt::NoModifier, 2},
        {Qt::Key_Left, Qt::NoModifier, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.key) + " to " + std::to_string(row.to));
        ASSERT_TRUE(testwait::PressKey(row.key, row.modifiers));
        EXPECT_EQ(QApplication::focusWidget(), b[row.to]);
    }
    EXPECT_NE(b[1]->grab().toImage(), plain) << "the button with the keys looks as it did";
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_EQ(QApplication::focusWidget(), View());
    EXPECT_EQ(b[1]->grab().toImage(), plain);
    // Return on a format button opens its page, which takes the keys and gives them back.
    IntoTheBars(3);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Right));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
    ASSERT_NE(pages.Page(), nullptr);
    EXPECT_TRUE(testwait::UntilActive(pages.Page()));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_TRUE(testwait::UntilActive(frame.get()));
    EXPECT_TRUE(testwait::UntilFocused(View()));
}

// Return presses the button with the keys given back first: New opens a window, which takes
// them.
TEST_F(ToolbarKeysTest, ReturnPressesTheButton) {
    const int before = int(frame->MdiArea()->subWindowList().size());
    IntoTheBars(1);
    ASSERT_EQ(QApplication::focusWidget(), Button(kStandardBar, ID_FILE_NEW));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
    EXPECT_TRUE(testwait::Until(
        [&] { return frame->MdiArea()->subWindowList().size() == before + 1; }));
    EXPECT_TRUE(testwait::UntilFocused(View()));
}

// Down opens a drop-down under its button; Return in it runs the item, Escape closes it with
// the keys in the grid. A plain button moves on instead.
TEST_F(ToolbarKeysTest, DownOpensTheDropDownAndItsItemRuns) {
    Select(1, 2);
    IntoTheBars(1);
    ASSERT_TRUE(RightTo(Button(kStandardBar, ID_INSERT_DATE_TIME)));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Down));
    QMenu* menu = frame->DropDownMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "menu258");
    ASSERT_EQ(testwait::UntilPopupHasKeys(), menu);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    ASSERT_TRUE(testwait::UntilKeysReach(View()));
    EXPECT_EQ(CellText(1, 2), "");
    IntoTheBars(1);
    ASSERT_TRUE(RightTo(Button(kStandardBar, ID_INSERT_DATE_TIME)));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F4));
    QWidget* opened = testwait::UntilPopupHasKeys();
    ASSERT_NE(opened, nullptr);
    ASSERT_EQ(opened, frame->DropDownMenu());
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Down)); // Date is current
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
    EXPECT_TRUE(testwait::Until([&] { return !CellText(1, 2).empty(); }));
    EXPECT_TRUE(testwait::UntilKeysReach(View()));
    // Down on a button without a drop-down goes on to the next one.
    IntoTheBars(1);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Down));
    EXPECT_EQ(QApplication::focusWidget(), Button(kStandardBar, ID_FILE_OPEN));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    Active()->SetModified(false);
}

// In the search bar opened by F3, Tab goes from the find box to the replacement box and on to
// Replace All; Shift+Tab back to the find box.
TEST_F(ToolbarKeysTest, TabInTheSearchBarGoesFromBoxToBox) {
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F3));
    QToolBar* bar = frame->Toolbar(kSearchBar);
    ASSERT_TRUE(bar->isVisible());
    const QList<QComboBox*> boxes = bar->findChildren<QComboBox*>();
    ASSERT_EQ(boxes.size(), 2);
    QWidget* replaceAll = Button(kSearchBar, ID_SEARCH_REPLACE_ALL);
    auto has = [](QWidget* box) {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == box || box->isAncestorOf(focus));
    };
    ASSERT_TRUE(testwait::Until([&] { return has(boxes[0]); }));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
    EXPECT_TRUE(has(boxes[1]));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
    EXPECT_EQ(QApplication::focusWidget(), replaceAll);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Backtab, Qt::ShiftModifier));
    EXPECT_TRUE(has(boxes[1]));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Backtab, Qt::ShiftModifier));
    EXPECT_TRUE(has(boxes[0]));
}

} // namespace

} // namespace vl
