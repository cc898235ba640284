// The real format pages opened from the keyboard, as a user does it: the Format menu by
// Alt+O and the page's letter. The page takes the keyboard, its own mnemonics win over the
// frame's menus, and closing it by Escape or its Close button gives the keyboard back to
// the grid. The cell page's fill set and taken away again by keys alone.

#include "dialogs/formatpages.h"
#include "model/rangestyle.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <functional>

namespace vl {

namespace {

struct PageKeys {
    int command;
    char menuLetter;
    const char* first;   // the control that has the keyboard once the page is open
    Qt::Key mnemonic;    // Alt+this reaches the page's own control ...
    const char* reached; // ... named so
};

// Each mnemonic but the style page's is also a letter of the frame's menu bar (Insert,
// Settings, Window), which must not open while the page has the keyboard.
const PageKeys kPages[] = {
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
    // Alt+O, then the item's letter in the menu; the page that opened.
    CFormatPage* OpenByKeys(const PageKeys& page) {
        Press(Qt::Key_O, Qt::AltModifier);
        EXPECT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr);
        Press(Qt::Key(page.menuLetter));
        if (pages.Page()) (void)QTest::qWaitForWindowActive(pages.Page(), 5000);
        Settle();
        return pages.Page();
    }
    // B2:C4, two columns by three rows, in the grid that has the keyboard.
    void SelectBlock() {
        frame->activateWindow();
        (void)QTest::qWaitForWindowActive(frame.get(), 5000);
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

TEST_F(FormatPageKeysTest, APageOpenedByKeysTakesTheKeyboard) {
    for (const PageKeys& keys : kPages) {
        SCOPED_TRACE(keys.command);
        SelectBlock();
        QPointer<CFormatPage> page = OpenByKeys(keys);
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(page->Command(), keys.command);
        EXPECT_TRUE(page->isActiveWindow());
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), keys.first);
        // Down stays in the page: the grid keeps its selection and its cursor.
        Press(Qt::Key_Down);
        EXPECT_EQ(View()->Selection(), selected);
        EXPECT_TRUE(page->isAncestorOf(QApplication::focusWidget()));
        // The page's own mnemonic reaches its control; no menu of the frame opens.
        Press(keys.mnemonic, Qt::AltModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        // A check box or list takes the focus; a push button is pressed, its click under way.
        auto* reached = page->findChild<QWidget*>(keys.reached);
        ASSERT_NE(reached, nullptr);
        auto* button = qobject_cast<QPushButton*>(reached);
        EXPECT_TRUE(QApplication::focusWidget() == reached || (button && button->isDown()));
        QTest::qWait(150); // the pressed button's click
        EXPECT_EQ(View()->Selection(), selected);
        pages.ClosePage();
        Settle();
    }
}

TEST_F(FormatPageKeysTest, EscapeAndCloseGiveTheKeyboardBackToTheGrid) {
    const std::pair<const char*, std::function<void(CFormatPage&)>> closings[] = {
        {"Escape", [this](CFormatPage&) { Press(Qt::Key_Escape); }},
        {"Close",
         [this](CFormatPage& page) {
             QWidget* button = page.ToolBar()->widgetForAction(page.Action(CFormatPage::kClose));
             QTest::mouseClick(button, Qt::LeftButton);
             Settle();
         }},
    };
    const CellRange down = DownFromBlock();
    ASSERT_NE(down, selected);
    for (const PageKeys& keys : kPages) {
        for (const auto& [how, close] : closings) {
            SCOPED_TRACE(std::to_string(keys.command) + " " + how);
            SelectBlock();
            QPointer<CFormatPage> page = OpenByKeys(keys);
            ASSERT_FALSE(page.isNull());
            ASSERT_TRUE(page->isActiveWindow());
            close(*page);
            (void)QTest::qWaitForWindowActive(frame.get(), 5000);
            Settle();
            EXPECT_TRUE(page.isNull());
            EXPECT_EQ(pages.OpenPageCommand(), 0);
            ExpectGridHasTheKeyboard();
            // The next key moves the grid's cursor again.
            Press(Qt::Key_Down);
            EXPECT_EQ(View()->Selection(), down);
        }
    }
}

// A background colour fills the block solid; "None" in Pattern type takes the fill away
// again, on every cell of the block, and the page goes on showing "None".
TEST_F(FormatPageKeysTest, TheCellPageTakesAFillAway) {
    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[1]);
    ASSERT_FALSE(page.isNull());
    Press(Qt::Key_B, Qt::AltModifier); // "&Background color:", on "automatic"
    Press(Qt::Key_Up);                 // the palette's last colour
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r) {
            EXPECT_EQ(CellFill(c, r).pattern, FORMAT_PAT_SOLID) << c << "," << r;
            EXPECT_TRUE(CellFill(c, r).backgroundColorGiven) << c << "," << r;
        }
    Press(Qt::Key_T, Qt::AltModifier); // "Pattern &type:"
    Press(Qt::Key_Home);
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r)
            EXPECT_EQ(CellFill(c, r).pattern, FORMAT_PAT_NONE) << c << "," << r;
    // Outside the block nothing was filled.
    EXPECT_EQ(CellFill(3, 1).pattern, FORMAT_PAT_NONE);
    EXPECT_EQ(CellFill(1, 4).pattern, FORMAT_PAT_NONE);
    ASSERT_FALSE(page.isNull());
    auto* patterns = page->findChild<QComboBox*>("id215");
    ASSERT_NE(patterns, nullptr);
    EXPECT_EQ(patterns->currentIndex(), 0);
}

// The rotation bar turns the text of every cell of the block, step by step as the keys move
// it, and Reset turns it back; no cell outside the block turns.
TEST_F(FormatPageKeysTest, TheAlignmentPageRotatesTheBlockAndResetsIt) {
    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[3]);
    ASSERT_FALSE(page.isNull());
    auto* bar = page->findChild<QWidget*>("id411");
    auto* label = page->findChild<QLabel*>("id394");
    ASSERT_TRUE(bar && label);
    bar->setFocus();
    Settle();
    const struct {
        Qt::Key key;
        int presses;
        int8_t rotation;
    } steps[] = {{Qt::Key_Right, 1, 10},
                 {Qt::Key_Right, 2, 30},
                 {Qt::Key_Left, 7, -40},
                 {Qt::Key_End, 1, 90},
                 {Qt::Key_Home, 1, -90}};
    for (const auto& step : steps) {
        for (int i = 0; i < step.presses; ++i) Press(step.key);
        EXPECT_EQ(label->text(), QString("%1 degrees").arg(step.rotation));
        for (uint16_t c = 1; c <= 2; ++c)
            for (uint32_t r = 1; r <= 3; ++r)
                EXPECT_EQ(CellStyle(c, r).rotation, step.rotation) << c << "," << r;
        EXPECT_EQ(CellStyle(3, 1).rotation, 0);
        EXPECT_EQ(CellStyle(1, 4).rotation, 0);
    }
    Press(Qt::Key_R, Qt::AltModifier); // "&Reset"
    QTest::qWait(150);                 // the pressed button's click
    Settle();
    EXPECT_EQ(label->text(), "0 degrees");
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r) EXPECT_EQ(CellStyle(c, r).rotation, 0) << c << "," << r;
}

} // namespace

} // namespace vl
