#pragma once
// The format pages opened from the keyboard in a real frame: the pages, their menu letters and
// a fixture that sends keys to whatever has the keyboard, as the window system delivers them.

#include "dialogs/formatpages.h"
#include "model/rangestyle.h"
#include "resources/commandids.h"
#include "tests/common/popupkeys.h"
#include "wndtest.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

namespace vl {

struct PageKeys {
    int command;
    char menuLetter;
    const char* first;   // the control that has the keyboard once the page is open
    Qt::Key mnemonic;    // Alt+this reaches the page's own control ...
    const char* reached; // ... named so
};

// Each mnemonic but the style page's is also a letter of the frame's menu bar (Insert,
// Settings, Window), which must not open while the page has the keyboard.
inline const PageKeys kPages[] = {
    {ID_FORMAT_FONT, 'F', "id1020", Qt::Key_I, "id218"},
    {ID_FORMAT_CELL, 'C', "id1021", Qt::Key_S, "id410"},
    {ID_FORMAT_STYLE, 'S', "id1020", Qt::Key_P, "id205"},
    {ID_FORMAT_ALIGNMENT, 'A', "id400", Qt::Key_W, "id189"},
    {ID_FORMAT_LIST, 'L', "id215", Qt::Key_S, "id1001"},
    {ID_FORMAT_WORKSHEET, 'W', "id400", Qt::Key_W, "id216"},
};

class FormatPageKeysTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        frame->SetFormatPages(&pages);
        ASSERT_NE(NewWindow(), nullptr);
        frame->OnIdle(); // shows the formatting bar the pages drop down from
    }
    void TearDown() override {
        pages.ClosePage();
        WindowTest::TearDown();
    }
    // A key to whatever has the keyboard, as the window system delivers it.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        if (!target) target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        Settle();
    }
    // A key to the window that has the keyboard, an open list's too, through the window
    // system's queue.
    void PressInWindow(Qt::Key key) {
        ASSERT_TRUE(testwait::PressKey(key));
        Settle();
    }
    // In the drop-down list that has the keyboard, the entry `downs` below the chosen one:
    // Down opens the list, Down moves in it and Return picks.
    void PickBelow(int downs) {
        QWidget* box = QApplication::focusWidget();
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(testwait::UntilKeysReach(box)) << "the page has not the keyboard";
        PressInWindow(Qt::Key_Down);
        ASSERT_NE(testwait::UntilPopupHasKeys(), nullptr) << "the list did not open";
        for (int i = 0; i < downs; ++i) PressInWindow(Qt::Key_Down);
        PressInWindow(Qt::Key_Return);
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr) << "the list stays open";
    }
    // Alt+O, then the item's letter in the menu; the page that opened.
    CFormatPage* OpenByKeys(const PageKeys& page) {
        Press(Qt::Key_O, Qt::AltModifier);
        EXPECT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr);
        Press(Qt::Key(page.menuLetter));
        EXPECT_TRUE(testwait::UntilActive(pages.Page())) << "the page did not take the keyboard";
        Settle();
        return pages.Page();
    }
    // B2:C4, two columns by three rows, in the grid that has the keyboard.
    void SelectBlock() {
        frame->activateWindow();
        EXPECT_TRUE(testwait::UntilActive(frame.get()));
        SelectRange(1, 1, 2, 3);
        selected = View()->Selection();
    }
    // Where Down takes the grid from the block, with no page open.
    CellRange DownFromBlock() {
        SelectBlock();
        Press(Qt::Key_Down);
        return View()->Selection();
    }
    void ExpectGridHasTheKeyboard() {
        EXPECT_TRUE(frame->isActiveWindow());
        EXPECT_EQ(QApplication::focusWidget(), View());
        EXPECT_EQ(View()->Selection(), selected);
    }

    const StyleRecord& CellStyle(uint16_t column, uint32_t row) const {
        return GetStyleRecord(Book().styles,
                              CellStyleIndex(Book().tree.active->formats, row, column));
    }
    const InteriorFill& CellFill(uint16_t column, uint32_t row) const {
        return CellStyle(column, row).fill;
    }

    CFormatPages pages;
    CellRange selected;
};

} // namespace vl
