// The formula composer over the frame's active workbook window: what it reads of the
// selection, how it stores, recalculates and converts, and where the pane stands.

#include "dialogs/formatpage.h"
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "functions/general/catalogue.h"
#include "functions/general/composertext.h"
#include "resources/commandids.h"
#include "tests/common/popupkeys.h"
#include "ui_composer.h"
#include "wndtest.h"
#include "workbookwnd/composerhost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QTimer>

namespace vl {

namespace {

class ComposerHostTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        CFormulaComposer::relativeAddressing = false;
        frame->SetComposerPane(&pane);
    }
    void TearDown() override {
        if (frame) frame->SetComposerPane(nullptr); // a test may have ended the frame
        WindowTest::TearDown();
    }
    CFormulaComposer& Shown() {
        if (!pane.IsVisible()) frame->ComposerPane()->Toggle(frame.get());
        return *pane.Pane();
    }
    // Types the formula into the composer's combo and clicks one of the insert buttons.
    void Insert(const QString& text, bool asValue) {
        CFormulaComposer& c = Shown();
        c.Form().id229->setEditText(text);
        QTest::mouseClick(asValue ? c.Form().id410 : c.Form().id408, Qt::LeftButton);
        Settle();
    }
    // The value a cell shows in the general format ("" for none).
    std::string Value(uint16_t column, uint32_t row) const {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        std::string text;
        if (r) FormatCellValue(r, StandardFormat{}, text);
        return text;
    }
    bool IsFormula(uint16_t column, uint32_t row) const {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        return r && cell::IsFormula(r);
    }
    // Typing goes to the frame's window, not to the composer shown beside it.
    void Type(uint16_t column, uint32_t row, const QString& text) {
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        Enter(column, row, text);
        ASSERT_EQ(CellText(column, row), text.toStdString());
    }

    // The first size: the template's height, and its width unless the buttons need more.
    QSize FirstSize() {
        CFormulaComposer composer(nullptr, host, 0);
        const QSize template_ = DialogUnitsToPixels(173, 252);
        EXPECT_EQ(composer.minimumSize().height(), template_.height());
        EXPECT_GE(composer.minimumSize().width(), template_.width());
        return composer.minimumSize();
    }

    CComposerHost host{[this]() -> IWorkbookWnd* { return frame->GetActiveWorkbookWnd(); }};
    CComposerPane pane{host};
};

} // namespace

TEST_F(ComposerHostTest, InsertValueLeavesTheResultAndUndoRestoresTheFormula) {
    Select(1, 1);
    Insert("=1+1", true);
    EXPECT_FALSE(IsFormula(1, 1));
    EXPECT_EQ(CellText(1, 1), "2");
    EXPECT_TRUE(Active()->IsModified());
    ASSERT_EQ(Profile().composerFormulas.size(), 1u);
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(IsFormula(1, 1));
    EXPECT_EQ(CellText(1, 1), "=1+1");
    EXPECT_EQ(Value(1, 1), "2");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(CellText(1, 1), "");
    // Insert Formula keeps the formula, in the active cell of a range selection.
    View()->SetSelection({2, 4, 3, 6});
    Insert("=2*3", false);
    EXPECT_EQ(CellText(2, 4), "=2*3");
    EXPECT_EQ(Value(2, 4), "6");
    EXPECT_EQ(CellText(3, 4), "");
}

// A formula chosen from the Formula Composer button's list of recent formulas goes into
// the active cell as Insert Formula puts it, with the pane shown or hidden before.
TEST_F(ComposerHostTest, ARecentFormulaChosenFromTheListGoesIntoTheActiveCell) {
    const auto row = [](const char* name) {
        for (std::size_t i = 0; i < kCatalogueRows; ++i)
            if (std::string_view(FunctionCatalogue()[i].name) == name) return uint16_t(i);
        return uint16_t(0);
    };
    Profile().composerFormulas = {PackHistoryEntry(row("sum"), {"A1", "2"}, 2),
                                  PackHistoryEntry(row("max"), {"A1", "7"}, 2)};
    Enter(0, 0, QStringLiteral("5"));
    struct Case {
        bool shown;
        int item;
        uint16_t column;
        const char* formula;
        const char* value;
    } cases[] = {{false, 1, 2, "=max(A1, 7)", "7"}, {true, 1, 3, "=sum(A1, 2)", "7"}};
    for (const Case& c : cases) {
        if (c.shown != pane.IsVisible()) frame->ComposerPane()->Toggle(frame.get());
        Select(c.column, 2);
        frame->OnToolbarDropDown(ID_VIEW_COMPOSER);
        ASSERT_NE(frame->DropDownMenu(), nullptr);
        ASSERT_EQ(frame->DropDownMenu()->actions().size(), 2);
        frame->DropDownMenu()->actions()[c.item]->trigger();
        Settle();
        EXPECT_EQ(CellText(c.column, 2), c.formula);
        EXPECT_EQ(Value(c.column, 2), c.value);
        // The inserted formula leads the list now.
        EXPECT_EQ(HistoryText(Profile().composerFormulas[0]), c.formula);
        EXPECT_TRUE(pane.IsVisible());
    }
}

TEST_F(ComposerHostTest, ValueOfAnArrayFormulaCoversItsWholeArea) {
    Select(0, 0);
    Insert("={1,2;3,4}", true);
    for (uint16_t c = 0; c < 2; ++c)
        for (uint32_t r = 0; r < 2; ++r) EXPECT_FALSE(IsFormula(c, r)) << c << "," << r;
    EXPECT_EQ(CellText(0, 0) + CellText(1, 0) + CellText(0, 1) + CellText(1, 1), "1234");
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(IsFormula(0, 0));
    EXPECT_EQ(Value(1, 1), "4");
}

TEST_F(ComposerHostTest, RecalculationFollowsTheUpdateMode) {
    struct Case {
        int command;      // the update mode chosen
        const char* seen; // what =A1*10 in B1 shows after 5 is inserted into A1
    };
    const Case cases[] = {{ID_UPDATE_AUTO_ALL, "50"},
                          {ID_UPDATE_AUTO_ALL + 1, "50"},
                          {ID_UPDATE_AUTO_ALL + 2, "10"},
                          {ID_UPDATE_AUTO_ALL + 3, "10"}};
    for (const Case& c : cases) {
        Command(ID_UPDATE_AUTO_ALL);
        Type(0, 0, "1");
        Type(1, 0, "=A1*10");
        ASSERT_EQ(Value(1, 0), "10");
        Command(c.command);
        Select(0, 0);
        Insert("=5", false);
        EXPECT_EQ(Value(1, 0), c.seen) << c.command;
    }
}

TEST_F(ComposerHostTest, ArgumentsComeFromTheActiveWindow) {
    Enter(0, 0, "12");
    std::strcpy(Book().tree.active->name, "My Sheet");
    struct Case {
        CellRange selection;
        int command;
        const char* formula; // composed for "sum"
        const char* value;   // of the formula inserted
    };
    const Case cases[] = {
        {{1, 0, 3, kLastRow}, CFormulaComposer::kCellAddress, "=sum($B:$D)", "0"},
        {{0, 0, 0, 0}, CFormulaComposer::kCellAddress, "=sum($A$1)", "12"},
        {{0, 0, 0, 0}, CFormulaComposer::kSheetAddress, "=sum(\"\\My Sheet\"!$A$1)", "12"},
        {{0, 0, 1, 1}, CFormulaComposer::kCellValue, "=sum(12)", "12"},
    };
    for (const Case& c : cases) {
        CFormulaComposer& composer = Shown();
        composer.ChooseCategory(0);
        composer.Form().id1020->setCurrentItem(
            composer.Form().id1020->findItems("sum", Qt::MatchExactly).front());
        View()->SetSelection(c.selection);
        composer.Command(c.command);
        EXPECT_EQ(composer.Formula().toStdString(), c.formula);
        Select(5, 5);
        QTest::mouseClick(composer.Form().id408, Qt::LeftButton);
        EXPECT_EQ(Value(5, 5), c.value) << c.formula;
    }
    // R1C1 addressing writes absolute references, whatever the relative switch says.
    Profile().addressingA1 = 0;
    CFormulaComposer::relativeAddressing = true;
    View()->SetSelection({1, 1, 2, 3});
    Shown().Command(CFormulaComposer::kCellAddress);
    EXPECT_EQ(Shown().Formula(), "=sum(R2C2:R4C3)");
}

TEST_F(ComposerHostTest, ALongFormulaIsKeptWhole) {
    Enter(1, 1, "=2*3");
    Select(1, 1);
    // Within the composer's 1,024 characters, its stored form nearly four times as long: a
    // cell record holds it.
    QString text = "=";
    for (int i = 0; i < 340; ++i) text += "A1+";
    text += "A1";
    ASSERT_LE(text.size(), 1024);
    Insert(text, false);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(IsFormula(1, 1));
    EXPECT_EQ(CellText(1, 1), text.toStdString());
    const std::size_t kept = Profile().composerFormulas.size();
    // A formula with a syntax fault is stored as typing stores it, and kept in the history.
    Insert("=sum(", false);
    EXPECT_EQ(CellText(1, 1), "=sum(");
    EXPECT_EQ(Value(1, 1), "#SYNTAX!");
    EXPECT_EQ(Profile().composerFormulas.size(), kept + 1);
    // Without an active window nothing is read or stored.
    CComposerHost none([]() -> IWorkbookWnd* { return nullptr; });
    IComposerHost::Selection s;
    EXPECT_FALSE(none.HasActiveWorkbook());
    EXPECT_FALSE(none.GetSelection(s));
    EXPECT_FALSE(none.InsertFormula("=1", false));
}

TEST_F(ComposerHostTest, TheIdlePassFollowsTheActiveWindow) {
    CFormulaComposer& composer = Shown();
    EXPECT_EQ(composer.parentWidget(), frame.get());
    frame->OnIdle();
    EXPECT_TRUE(composer.Form().id408->isEnabled());
    EXPECT_TRUE(frame->Action(ID_VIEW_COMPOSER)->isChecked());
    frame->OnCommand(ID_FILE_CLOSE);
    Settle();
    ASSERT_EQ(frame->GetActiveWorkbookWnd(), nullptr);
    frame->OnIdle();
    for (QWidget* w : {static_cast<QWidget*>(composer.Form().id408),
                       static_cast<QWidget*>(composer.Form().id410),
                       static_cast<QWidget*>(composer.Form().id33067)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    // Keys and clicks in the pane are the user's activity, as in the frame.
    clock.now += 600;
    QTest::keyClick(composer.Form().id229, Qt::Key_A);
    EXPECT_EQ(frame->LastAutoSave(), clock.now);
    clock.now += 60;
    QTest::mouseClick(composer.Form().id33065, Qt::LeftButton);
    EXPECT_EQ(frame->LastAutoClose(), clock.now);
    // Esc hides it for good and the command's tick follows.
    QTest::keyClick(&composer, Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(pane.IsVisible());
    EXPECT_EQ(Profile().composerVisible, 0);
    frame->OnIdle();
    EXPECT_FALSE(frame->Action(ID_VIEW_COMPOSER)->isChecked());
}

TEST_F(ComposerHostTest, PlacementAndDividerAreSavedAndRestored) {
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize least = FirstSize();
    const QRect saved(work.left() + 40, work.top() + 30, least.width() + 50, least.height() + 60);
    int32_t* p = Profile().composerPosition;
    const int32_t values[] = {saved.left(), saved.top(), saved.left() + saved.width(),
                              saved.top() + saved.height(), 70};
    std::copy(std::begin(values), std::end(values), p);
    Profile().opacity = 60;
    CFormulaComposer& composer = Shown();
    EXPECT_EQ(composer.geometry(), saved);
    EXPECT_EQ(composer.SplitterPosition(), 70);
    EXPECT_EQ(composer.minimumSize(), least);
    EXPECT_NEAR(composer.windowOpacity(), 0.6, 0.01);
    // Moved and resized, it saves where it is when hidden, and when the frame goes.
    composer.setGeometry(saved.translated(15, 25).adjusted(0, 0, 20, 10));
    composer.Form().id396->setSizes({90, 200});
    const QRect moved = composer.geometry();
    const int divider = composer.SplitterPosition();
    frame->ComposerPane()->Toggle(frame.get());
    EXPECT_EQ(std::vector<int32_t>(p, p + 5),
              (std::vector<int32_t>{moved.left(), moved.top(), moved.left() + moved.width(),
                                    moved.top() + moved.height(), divider}));
    EXPECT_EQ(Profile().composerVisible, 0);
    // Shown again where it was; the frame's end takes it along and it stays marked shown.
    EXPECT_EQ(Shown().geometry(), moved);
    EXPECT_EQ(Shown().SplitterPosition(), divider);
    Shown().setGeometry(moved.translated(7, 3));
    std::fill(p, p + 5, 0);
    frame.reset();
    EXPECT_EQ(pane.Pane(), nullptr);
    EXPECT_EQ(std::vector<int32_t>(p, p + 2),
              (std::vector<int32_t>{moved.left() + 7, moved.top() + 3}));
    EXPECT_EQ(p[4], divider);
    EXPECT_EQ(Profile().composerVisible, 1);
}

TEST_F(ComposerHostTest, WithoutAUsableRectangleItStandsBesideTheFrame) {
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize least = FirstSize();
    struct Case {
        const char* what;
        int32_t position[5];
    };
    const Case cases[] = {
        {"never saved", {0, 0, 0, 0, -1}},
        {"empty", {work.left() + 5, work.top() + 5, work.left() + 5, work.top() + 300, -1}},
        {"corner off the work area", {work.right() + 10, work.top(), work.right() + 400, 500, -1}},
        {"wider than any window", {work.left(), work.top(), INT32_MAX, work.top() + 300, -1}},
        {"negative size", {work.left() + 300, work.top() + 300, work.left(), work.top(), -1}},
        {"the widest numbers", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, -1}},
    };
    frame->setGeometry(work.left() + 20, work.top() + 20, 500, 400);
    Settle();
    for (const Case& c : cases) {
        std::copy(std::begin(c.position), std::end(c.position), Profile().composerPosition);
        CFormulaComposer& composer = Shown();
        const QRect g = composer.geometry();
        const QRect client(frame->mapToGlobal(QPoint(0, 0)), frame->size());
        EXPECT_EQ(g.size(), least) << c.what;
        // Its first size shows every button's whole text.
        for (const QAbstractButton* b : composer.findChildren<QAbstractButton*>())
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->objectName().toStdString();
        EXPECT_TRUE(work.contains(g)) << c.what;
        EXPECT_EQ(g.left(), std::min(client.right() + 1, work.right() - g.width() + 1)) << c.what;
        EXPECT_NEAR(g.center().y(), client.center().y(), 1) << c.what;
        // The divider starts in the middle.
        const QList<int> sizes = composer.Form().id396->sizes();
        EXPECT_NEAR(sizes[0], sizes[1], 1) << c.what;
        frame->ComposerPane()->Toggle(frame.get());
    }
    // A saved size under the first size grows to it.
    const int32_t small[] = {work.left() + 10, work.top() + 10, work.left() + 60, work.top() + 60,
                             -1};
    std::copy(std::begin(small), std::end(small), Profile().composerPosition);
    EXPECT_EQ(Shown().geometry(), QRect(QPoint(work.left() + 10, work.top() + 10), least));
}

// The formula box takes what is typed: a formula of the history that begins with the typing
// is not completed into the box, and Insert stores the typed formula.
TEST_F(ComposerHostTest, TheFormulaBoxTakesWhatIsTyped) {
    CFormulaComposer& c = Shown();
    QLineEdit* edit = c.Form().id229->lineEdit();
    const struct {
        uint32_t row;
        const char* typed;
    } steps[] = {{0, "=abs(1)+1"}, {1, "=abs(1)"}, {2, "=1+2"}, {3, "=1"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed);
        Select(0, step.row);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QString::fromLatin1(step.typed));
        Settle();
        EXPECT_EQ(c.Form().id229->currentText(), step.typed);
        QTest::mouseClick(c.Form().id408, Qt::LeftButton);
        Settle();
        EXPECT_EQ(CellText(0, step.row), step.typed);
    }
    EXPECT_EQ(CellText(0, 4), "");
}

} // namespace vl

namespace vl {

// Opened by its View command, the pane has the keyboard and shows where it is; Tab walks it
// in reading order past the two text views, and the two buttons' lists open by keys.
TEST_F(ComposerHostTest, KeysWalkThePaneAndOpenTheButtonsLists) {
    Type(0, 0, QStringLiteral("12"));
    frame->OnCommand(ID_VIEW_COMPOSER);
    ASSERT_TRUE(pane.IsVisible());
    CFormulaComposer& c = *pane.Pane();
    Ui::FormulaComposer& f = c.Form();
    ASSERT_TRUE(testwait::UntilActive(&c));
    // The widget holds the keys, and the next key reaches it: the pane's window has the
    // keyboard (it comes back some time after a list closes, later still on a loaded machine).
    const auto has = [&c](QWidget* w) {
        QWidget* holder = w->focusProxy() ? w->focusProxy() : w;
        return testwait::Until([&] {
            QWidget* focus = QApplication::focusWidget();
            return testwait::KeyWindow() == c.window()->windowHandle() &&
                   (focus == holder || w->isAncestorOf(focus));
        });
    };
    EXPECT_TRUE(has(f.id215));
    EXPECT_TRUE(c.testAttribute(Qt::WA_KeyboardFocusChange)); // the focus frame shows
    const QString prototype = c.Prototype();
    for (QWidget* next : std::initializer_list<QWidget*>{f.id1020, f.id205, f.id1064, f.id229,
                                                         f.id33065, f.id33066, f.id33067}) {
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
        ASSERT_TRUE(has(next)) << next->objectName().toStdString() << " "
                               << QApplication::focusWidget()->objectName().toStdString();
    }
    EXPECT_EQ(c.Prototype(), prototype); // no Tab went into it as text
    // A list's items as it shows them, once it shows and the window system has given it the
    // keyboard; then the key. Looked for on a timer: the key that opens the list runs it before
    // returning. A key sent before the list's activation came through closed the list, and the
    // activation, arriving after, left the hidden list as the active window.
    QString shown;
    QTimer watch;
    watch.setInterval(10);
    Qt::Key reply = Qt::Key_Escape;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* popup = testwait::PopupWithKeys();
        if (!popup) return;
        watch.stop();
        for (QAction* a : popup->actions()) shown += a->text() + QLatin1Char('|');
        testwait::PressKey(reply);
    });
    const auto answer = [&](Qt::Key key) {
        shown.clear();
        reply = key;
        watch.start();
    };
    // Alt+Down opens the removal list; Escape closes the list alone.
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
    ASSERT_TRUE(has(f.id33079));
    answer(Qt::Key_Escape);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Down, Qt::AltModifier));
    EXPECT_EQ(shown, "Remove this Item From the List|Remove All Items|");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(c.isVisible());
    ASSERT_TRUE(has(f.id33079));
    // F4 opens the address list; its letter V takes the active cell's value.
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ShiftModifier));
    ASSERT_TRUE(has(f.id33067));
    answer(Qt::Key_V);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F4));
    EXPECT_EQ(shown, "Save Cell &Address|Save Worksheet && Cell Address|Save Cell &Value|"
                     "&Relative Addressing|");
    EXPECT_TRUE(testwait::Until([&] { return c.Formula() == "=abs(12)"; }))
        << c.Formula().toStdString();
}

} // namespace vl
