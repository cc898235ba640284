// The real format pages opened from the keyboard, as a user does it: the Format menu by
// Alt+O and the page's letter. The page takes the keyboard, its own mnemonics win over the
// frame's menus, and closing it by Escape or its Close button gives the keyboard back to
// the grid. The cell page's fill set and taken away again by keys alone.

#include "app/frametoolbars.h"
#include "formatpagekeys.h"
#include "formula/edit/formatcommands.h"
#include "model/formatattribute.h"
#include "render/metrics.h"
#include "tests/common/waits.h"
#include "ui/uiservices.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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
        if (QWidget* list = QApplication::activePopupWidget()) {
            ASSERT_EQ(testwait::UntilPopupHasKeys(), list);
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
            EXPECT_TRUE(testwait::Until([button] { return !button->isDown(); }));
        }
        EXPECT_EQ(View()->Selection(), selected);
        pages.ClosePage();
        Settle();
    }
}

// A background image path longer than its field is refused by a box the worksheet page owns,
// whichever window is active when the refusal comes (after Browse the system may have given
// the keyboard to the frame): answered, it gives the keyboard back to the page.
TEST_F(FormatPageKeysTest, ThePageOwnsItsRefusalOfALongImagePath) {
    class OwnerUi : public wndtest::FakeUi {
    public:
        int MessageBox(const QString& text, const QString& title, uint32_t flags) override {
            owners.push_back(MessageOwner());
            return FakeUi::MessageBox(text, title, flags);
        }
        QString ChooseOpenFile(const QString& caption, const QString& folder,
                               const QString& filters, int& index) override {
            if (chosen) chosen();
            return FakeUi::ChooseOpenFile(caption, folder, filters, index);
        }
        std::vector<QPointer<QWidget>> owners;
        std::function<void()> chosen;
    };
    // The fixture's services come back after the recorder, which leaves none behind it.
    const struct Restore {
        wndtest::FakeUi& ui;
        ~Restore() { SetUiServices(&ui); }
    } restore{ui};
    OwnerUi recorder;
    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[5]);
    ASSERT_FALSE(page.isNull());
    // The chooser closes, and the system gives the keyboard to the frame.
    recorder.chosen = [this] {
        frame->activateWindow();
        EXPECT_TRUE(testwait::UntilActive(frame.get()));
    };
    recorder.openPath = QStringLiteral("/") + QString(255, QLatin1Char('p'));
    Press(Qt::Key_R, Qt::AltModifier); // Browse, its click under way
    ASSERT_TRUE(testwait::Until([&] { return !recorder.owners.empty(); }));
    EXPECT_EQ(recorder.owners.size(), 1u);
    EXPECT_EQ(recorder.owners[0].data(), page.data());
    EXPECT_TRUE(testwait::UntilActive(page.data()));
    EXPECT_EQ(std::strlen(Book().tree.active->view.background.imagePath), 0u);
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

// Each page opened by keys, with the formatting bar shown and then hidden (the page then
// opens under the active cell), and closed by Escape or by its Close button: the grid has the
// keyboard again.
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
    for (const bool barShown : {true, false}) {
        if (!barShown) {
            frame->OnCommand(ID_VIEW_FORMATTING_BAR);
            Settle();
            ASSERT_FALSE(frame->Toolbar(kFormattingBar)->isVisible());
        }
        for (const PageKeys& keys : kPages)
            for (const auto& [how, close] : closings) {
                SCOPED_TRACE(std::to_string(keys.command) + " " + how +
                             (barShown ? "" : ", formatting bar hidden"));
                SelectBlock();
                QPointer<CFormatPage> page = OpenByKeys(keys);
                ASSERT_FALSE(page.isNull());
                EXPECT_EQ(page->Command(), keys.command);
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

// A change of one control of the alignment page sets that attribute alone on every selected
// cell: B1 keeps its centring, wrapping, vertical centring and rotation when the indent of
// A1:B1 changes. Undo takes the indent back and fits the row to the text again.
TEST_F(FormatPageKeysTest, TheAlignmentPageAppliesOnlyTheControlChanged) {
    CWorksheet& sheet = *Book().tree.active;
    StyleRecord turned;
    turned.horizontalAlignment = 2;
    turned.verticalAlignment = 5;
    turned.wrapText = 1;
    turned.rotation = 45;
    ASSERT_TRUE(ApplyFormatToRange(Book(), sheet, {1, 0, 1, 0}, kAttrAlignmentRotation, turned,
                                   FontRecord{}));
    Enter(1, 0, QStringLiteral("a text that wraps in its cell over several lines"));
    Active()->GetActiveView()->RefitRows(0, 0);
    const int32_t fitted = GetRowHeight(sheet, 0, 100);
    frame->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    SelectRange(0, 0, 1, 0);
    QPointer<CFormatPage> page = OpenByKeys(kPages[3]);
    ASSERT_FALSE(page.isNull());
    Press(Qt::Key_H, Qt::AltModifier); // the horizontal indent
    PickBelow(8);
    for (uint16_t c : {0, 1}) EXPECT_EQ(CellStyle(c, 0).horizontalIndent, 12) << c;
    const StyleRecord& b1 = CellStyle(1, 0);
    EXPECT_EQ(std::tuple(b1.horizontalAlignment, b1.verticalAlignment, b1.wrapText, b1.rotation),
              std::tuple(uint8_t(2), uint8_t(5), uint8_t(1), int8_t(45)));
    EXPECT_EQ(CellStyle(0, 0).rotation, 0);
    EXPECT_NE(GetRowHeight(sheet, 0, 100), fitted); // the wider indent wraps more lines
    Press(Qt::Key_Escape);
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(CellStyle(1, 0).horizontalIndent, 4);
    EXPECT_EQ(CellStyle(1, 0).rotation, 45);
    EXPECT_EQ(GetRowHeight(sheet, 0, 100), fitted);
}

// The vertical indent's list sets the vertical indent alone: the horizontal one of each
// cell stays its own.
TEST_F(FormatPageKeysTest, TheVerticalIndentSetsTheVerticalIndentAlone) {
    StyleRecord indented;
    indented.horizontalIndent = 9;
    ASSERT_TRUE(ApplyFormatToRange(Book(), *Book().tree.active, {1, 0, 1, 0}, kAttrHorizontalIndent,
                                   indented, FontRecord{}));
    frame->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    SelectRange(0, 0, 1, 0);
    QPointer<CFormatPage> page = OpenByKeys(kPages[3]);
    ASSERT_FALSE(page.isNull());
    const uint8_t before = CellStyle(0, 0).verticalIndent;
    Press(Qt::Key_V, Qt::AltModifier); // "&Vertical indent:"
    PickBelow(3);
    for (uint16_t c : {0, 1}) EXPECT_EQ(CellStyle(c, 0).verticalIndent, before + 3) << c;
    EXPECT_EQ(CellStyle(0, 0).horizontalIndent, 4);
    EXPECT_EQ(CellStyle(1, 0).horizontalIndent, 9);
    EXPECT_EQ(CellStyle(2, 0).verticalIndent, before); // outside the selection
}

// Each control of the cell page sets its own attribute alone on every selected cell: a new
// border colour over a plain and an outlined cell outlines neither more nor less, a new
// background colour over a plain and a patterned cell gives the plain one no pattern of
// the other's; the plain cell fills solid in that colour, as the page shows it.
TEST_F(FormatPageKeysTest, TheCellPageAppliesOnlyTheControlChanged) {
    CWorksheet& sheet = *Book().tree.active;
    StyleRecord outlined;
    outlined.borderSides = 15;
    outlined.borderLine.style = FORMAT_LINE_DASH;
    ASSERT_TRUE(
        ApplyFormatToRange(Book(), sheet, {1, 1, 1, 1}, kAttrBorders, outlined, FontRecord{}));
    StyleRecord patterned;
    patterned.fill.pattern = FORMAT_PAT_HSTRIPE;
    patterned.fill.patternColorGiven = 1;
    patterned.fill.patternColor = 0x0000FF;
    ASSERT_TRUE(
        ApplyFormatToRange(Book(), sheet, {1, 2, 1, 2}, kAttrInterior, patterned, FontRecord{}));
    frame->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    // A2:B2: the border colour, then the border type.
    SelectRange(0, 1, 1, 1);
    QPointer<CFormatPage> page = OpenByKeys(kPages[1]);
    ASSERT_FALSE(page.isNull());
    Press(Qt::Key_C, Qt::AltModifier); // "&Color:", on "automatic"
    Press(Qt::Key_Up);                 // the palette's last colour
    const BorderLine& b2 = CellStyle(1, 1).borderLine;
    ASSERT_TRUE(b2.colorGiven);
    EXPECT_EQ(CellStyle(0, 1).borderSides, 0);
    EXPECT_EQ(CellStyle(1, 1).borderSides, 15);
    EXPECT_EQ(b2.style, FORMAT_LINE_DASH);
    EXPECT_EQ(CellStyle(0, 1).fill.pattern, FORMAT_PAT_NONE);
    const COLORREF chosenColor = b2.color;
    Press(Qt::Key_E, Qt::AltModifier); // "Bord&er type:"
    PickBelow(1);
    const uint8_t chosen = CellStyle(1, 1).borderLine.style;
    EXPECT_NE(chosen, FORMAT_LINE_DASH);
    EXPECT_EQ(CellStyle(0, 1).borderSides, 0);
    EXPECT_EQ(CellStyle(1, 1).borderSides, 15);
    EXPECT_EQ(CellStyle(1, 1).borderLine.color, chosenColor);
    // Sides given to both take the line each has: B2's chosen one, A2's the same.
    auto* around = page->findChild<QPushButton*>(QStringLiteral("id408")); // "&Around Cell"
    ASSERT_NE(around, nullptr);
    QTest::mouseClick(around, Qt::LeftButton);
    Settle();
    EXPECT_EQ(CellStyle(0, 1).borderSides, 15);
    EXPECT_EQ(CellStyle(0, 1).borderLine.style, chosen);
    EXPECT_EQ(CellStyle(0, 1).borderLine.color, chosenColor);
    Press(Qt::Key_Escape);
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    // A3:B3: the background colour.
    SelectRange(0, 2, 1, 2);
    page = OpenByKeys(kPages[1]);
    ASSERT_FALSE(page.isNull());
    Press(Qt::Key_B, Qt::AltModifier); // "&Background color:"
    Press(Qt::Key_Up);
    const InteriorFill& a3 = CellFill(0, 2);
    const InteriorFill& b3 = CellFill(1, 2);
    ASSERT_TRUE(b3.backgroundColorGiven);
    EXPECT_EQ(b3.pattern, FORMAT_PAT_HSTRIPE);
    EXPECT_EQ(b3.patternColor, 0x0000FFu);
    EXPECT_EQ(a3.pattern, FORMAT_PAT_SOLID);
    EXPECT_TRUE(a3.backgroundColorGiven);
    EXPECT_EQ(a3.backgroundColor, b3.backgroundColor);
    EXPECT_EQ(a3.patternColor, b3.backgroundColor); // solid paints in the pattern colour
    EXPECT_EQ(CellStyle(0, 2).borderSides, 0);
    EXPECT_EQ(CellStyle(1, 2).borderSides, 0);
    // The pattern colour over both: the stripes take it, the solid fill too.
    Press(Qt::Key_P, Qt::AltModifier); // "&Pattern color:"
    Press(Qt::Key_Home);
    EXPECT_EQ(CellFill(1, 2).pattern, FORMAT_PAT_HSTRIPE);
    EXPECT_EQ(CellFill(0, 2).pattern, FORMAT_PAT_SOLID);
    EXPECT_EQ(CellFill(0, 2).patternColor, CellFill(1, 2).patternColor);
    EXPECT_NE(CellFill(1, 2).patternColor, 0x0000FFu);
    // Outside the selections nothing changed.
    EXPECT_EQ(CellStyle(2, 1).borderLine.colorGiven, 0);
    EXPECT_EQ(CellFill(2, 2).pattern, FORMAT_PAT_NONE);
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
    EXPECT_TRUE(testwait::Until([reset] { return !reset->isDown(); })); // its click
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
