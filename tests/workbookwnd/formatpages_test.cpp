// The real format pages opened from the keyboard, as a user does it: the Format menu by
// Alt+O and the page's letter. The page takes the keyboard, its own mnemonics win over the
// frame's menus, and closing it by Escape or its Close button gives the keyboard back to
// the grid. The cell page's fill set and taken away again by keys alone.

#include "formatpagekeys.h"
#include "tests/common/waits.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <functional>

namespace vl {

namespace {

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
        // It shows where the keys go from the start, and draws no button as a default one
        // that Enter does not press.
        EXPECT_TRUE(page->testAttribute(Qt::WA_KeyboardFocusChange));
        // A title and a close button for a window manager, nothing to minimize or maximize.
        EXPECT_TRUE(page->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(page->windowFlags() &
                     (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        for (const QPushButton* b : page->findChildren<QPushButton*>())
            EXPECT_FALSE(b->isDefault()) << b->text().toStdString();
        // Down stays in the page: the grid keeps its selection and its cursor. On a list
        // it opens the list, and Escape closes the list alone.
        Press(Qt::Key_Down);
        EXPECT_EQ(View()->Selection(), selected);
        if (QApplication::activePopupWidget()) {
            PressInWindow(Qt::Key_Escape);
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
            ASSERT_FALSE(page.isNull());
        }
        EXPECT_TRUE(page->isAncestorOf(QApplication::focusWidget()));
        // The page's own mnemonic reaches its control; no menu of the frame opens.
        Press(keys.mnemonic, Qt::AltModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        // A check box or list takes the focus; a push button is pressed, its click under way.
        auto* reached = page->findChild<QWidget*>(keys.reached);
        ASSERT_NE(reached, nullptr);
        auto* button = qobject_cast<QPushButton*>(reached);
        EXPECT_TRUE(QApplication::focusWidget() == reached || (button && button->isDown()));
        // The pressed button's click: it comes up as it clicks.
        if (button) {
            EXPECT_TRUE(QTest::qWaitFor([button] { return !button->isDown(); }, 5000));
        }
        EXPECT_EQ(View()->Selection(), selected);
        pages.ClosePage();
        Settle();
    }
}

// A list draws its selection in the highlight colour only while it has the keyboard: the
// style list as the style page opens, then neither it nor the date formats' list made later
// once the pattern has the keys, then the date formats' list reached by Tab.
TEST_F(FormatPageKeysTest, AListShowsWhenItHasTheKeyboard) {
    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[2]);
    ASSERT_FALSE(page.isNull());
    auto* styles = page->Body()->findChild<QListWidget*>("id1020");
    ASSERT_NE(styles, nullptr);
    const QColor highlight =
        QApplication::palette(styles).color(QPalette::Active, QPalette::Highlight);
    const auto lit = [&](QListWidget* list) {
        return list->palette().color(QPalette::Active, QPalette::Highlight) == highlight;
    };
    ASSERT_EQ(QApplication::focusWidget(), styles);
    EXPECT_TRUE(lit(styles));
    for (int i = 0; i < 4; ++i) Press(Qt::Key_Down); // Date, with its list of formats
    QListWidget* dates = nullptr;
    for (QListWidget* list : page->findChildren<QListWidget*>())
        if (list != styles) dates = list;
    ASSERT_NE(dates, nullptr);
    EXPECT_TRUE(lit(styles));
    EXPECT_FALSE(lit(dates));
    Press(Qt::Key_P, Qt::AltModifier);
    EXPECT_FALSE(lit(styles));
    EXPECT_FALSE(lit(dates));
    Press(Qt::Key_O, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), dates);
    EXPECT_TRUE(lit(dates));
    EXPECT_FALSE(lit(styles));
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
            EXPECT_TRUE(testwait::UntilActive(frame.get()));
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
    auto click = [&](const char* text) {
        auto* bar = page->findChild<QToolBar*>();
        QAction* action = nullptr;
        for (QAction* a : bar ? bar->actions() : QList<QAction*>())
            if (a->text() == QLatin1String(text)) action = a;
        ASSERT_TRUE(action && bar->widgetForAction(action)) << text;
        QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
        Settle();
    };
    click("Copy");
    QPushButton* reset = nullptr;
    for (QPushButton* b : page->findChildren<QPushButton*>())
        if (b->text() == "&Reset") reset = b;
    ASSERT_NE(reset, nullptr);
    Press(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([reset] { return !reset->isDown(); }, 5000)); // its click
    Settle();
    EXPECT_EQ(label->text(), "0 degrees");
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r) EXPECT_EQ(CellStyle(c, r).rotation, 0) << c << "," << r;
    // Paste brings back the copied rotation.
    click("Paste");
    EXPECT_EQ(label->text(), "-90 degrees");
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r) EXPECT_EQ(CellStyle(c, r).rotation, -90) << c << "," << r;
    // An indent's list opens on Down and takes the entry picked in it.
    Press(Qt::Key_H, Qt::AltModifier);
    PickBelow(2);
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r) EXPECT_EQ(CellStyle(c, r).horizontalIndent, 6);
    // Enter presses the button that has the keyboard, as Space does.
    reset->setFocus();
    ASSERT_TRUE(testwait::UntilFocused(reset));
    Press(Qt::Key_Return);
    EXPECT_EQ(label->text(), "0 degrees");
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r) {
            EXPECT_EQ(CellStyle(c, r).rotation, 0) << c << "," << r;
            EXPECT_EQ(CellStyle(c, r).horizontalIndent, 4) << c << "," << r;
        }
}

} // namespace

} // namespace vl
