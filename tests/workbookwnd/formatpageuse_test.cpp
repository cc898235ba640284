// The format pages used as a user does, by keys and clicks in the real frame: list keys and
// typed numbers on the style page, the list page's question answered by mouse, the pages
// kept on screen when they open at its edge or grow, and the keyboard handed back to the
// control the user came from.

#include "app/frametoolbars.h"
#include "dialogs/stylepage.h"
#include "dialogs/stylesubpages.h"
#include "formatpagekeys.h"
#include "model/dropdownlist.h"
#include "platform/core/bytes.h"
#include "platform/core/cp1252.h"
#include "tests/common/waits.h"
#include "ui_stylepage.h"
#include "values/standardformat.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <cstring>
#include <functional>

namespace vl {

namespace {

namespace fp = fmtparam;

constexpr int kDateEntry = 4, kTimeEntry = 5, kFractionEntry = 8, kScientificEntry = 9;

class FormatPageUseTest : public FormatPageKeysTest {
protected:
    const StandardFormat& NumberFormatAt(uint16_t column, uint32_t row) const {
        return GetStyleRecord(Book().styles,
                              CellStyleIndex(Book().tree.active->formats, row, column))
            .numberFormat;
    }
    // True when every cell of the block B2:C4 has this number format, kind and parameters.
    bool BlockHas(uint8_t kind, const uint8_t* params) const {
        for (uint16_t c = 1; c <= 2; ++c)
            for (uint32_t r = 1; r <= 3; ++r) {
                const StandardFormat& f = NumberFormatAt(c, r);
                if (f.kind != kind || std::memcmp(f.params, params, kStandardFormatParams) != 0)
                    return false;
            }
        return true;
    }
    // The style page opened by keys on the block, its list moved by keys to `entry`.
    CStylePage* StylePageOn(int entry) {
        SelectBlock();
        auto* page = dynamic_cast<CStylePage*>(OpenByKeys(kPages[2]));
        if (!page) return nullptr;
        Press(Qt::Key_Home);
        for (int i = 0; i < entry; ++i) Press(Qt::Key_Down);
        return page->Current() == entry ? page : nullptr;
    }
    void Click(QWidget* widget, QPoint at = {}) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
        Settle();
    }
    // Each character as its key, to whatever has the keyboard; `afterEach` runs after each.
    void TypeKeys(const QString& text, const std::function<void()>& afterEach) {
        for (const QChar ch : text) {
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
            Settle();
            afterEach();
        }
    }
    QRect WorkArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

// Keys in the Date and Time lists apply each move, as clicks do: Down, Down, Up leave the
// cells at the formats 1, 2 and 1 in turn, and the pattern shows what the cells got.
TEST_F(FormatPageUseTest, KeysInTheDateAndTimeListsApplyEachMove) {
    const struct {
        int entry;
        int param;
    } lists[] = {{kDateEntry, fp::kDateStyle}, {kTimeEntry, fp::kTimeStyle}};
    for (const auto& list : lists) {
        SCOPED_TRACE(list.entry);
        QPointer<CStylePage> page = StylePageOn(list.entry);
        ASSERT_FALSE(page.isNull());
        auto* formats = page->SubPage()->findChild<QListWidget*>("id1020");
        ASSERT_NE(formats, nullptr);
        ASSERT_EQ(formats->currentRow(), 0);
        // A click on the format already chosen gives the list the keyboard.
        Click(formats->viewport(), formats->visualItemRect(formats->currentItem()).center());
        ASSERT_EQ(QApplication::focusWidget(), formats);
        uint8_t params[kStandardFormatParams];
        std::memcpy(params, NumberFormatAt(1, 1).params, sizeof params);
        const std::pair<Qt::Key, int> moves[] = {
            {Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}};
        for (const auto& [key, row] : moves) {
            Press(key);
            EXPECT_EQ(formats->currentRow(), row);
            params[list.param] = uint8_t(row);
            EXPECT_TRUE(BlockHas(uint8_t(list.entry), params)) << row;
            // The pattern shows the code the cells got, in the user's separators.
            const StandardFormat& got = NumberFormatAt(1, 1);
            const std::string shown =
                FormatCodeToUser(BuildStandardFormatCode(got.kind, got.params));
            EXPECT_EQ(page->Form().id205->text(), QString::fromStdString(Cp1252ToUtf8(shown)));
        }
        // Outside the block nothing changed.
        EXPECT_EQ(NumberFormatAt(3, 1).kind, STD_STYLE_DEFAULT);
        pages.ClosePage();
        Settle();
    }
}

// A number typed into the fraction or scientific options is taken once entered, never digit
// by digit; each limit at the last value taken and the first refused, which beeps, keeps the
// keyboard in the edit and leaves the cells as they were.
TEST_F(FormatPageUseTest, TypedNumbersApplyWhenEnteredAndBadOnesBeep) {
    const struct {
        int entry;
        const char* edit;
        const char* typed;
        bool taken;
        std::function<void(uint8_t*)> expect; // the parameters the cells get when taken
    } cases[] = {
        {kScientificEntry, "id205", "99", true,
         [](uint8_t* p) { p[fp::kExponentForm] = 1, p[fp::kExponentNumber] = 99; }},
        {kScientificEntry, "id205", "100", false, nullptr},
        {kScientificEntry, "id205", "150", false, nullptr},
        {kScientificEntry, "id205", "-99", true,
         [](uint8_t* p) { p[fp::kExponentForm] = 2, p[fp::kExponentNumber] = 99; }},
        {kScientificEntry, "id205", "-5", true,
         [](uint8_t* p) { p[fp::kExponentForm] = 2, p[fp::kExponentNumber] = 5; }},
        {kScientificEntry, "id205", "-100", false, nullptr},
        {kFractionEntry, "id205", "14", true, [](uint8_t* p) { p[fp::kDenominatorDigits] = 14; }},
        {kFractionEntry, "id205", "15", false, nullptr},
        {kFractionEntry, "id205", "0", false, nullptr},
        {kFractionEntry, "id257", "4294967294", true,
         [](uint8_t* p) { StoreU64(p + fp::kFixedDenominator, 4294967294ull); }},
        {kFractionEntry, "id257", "4294967295", false, nullptr},
        {kFractionEntry, "id257", "0", false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " " + c.typed);
        QPointer<CStylePage> page = StylePageOn(c.entry);
        ASSERT_FALSE(page.isNull());
        auto* fixed = page->SubPage()->findChild<QCheckBox*>("id218");
        if (c.entry == kScientificEntry && !fixed->isChecked()) // "Fixed &exponent value:"
            Click(fixed);
        auto* edit = page->SubPage()->findChild<QLineEdit*>(c.edit);
        ASSERT_NE(edit, nullptr);
        Click(edit);
        ASSERT_EQ(QApplication::focusWidget(), edit);
        Press(Qt::Key_A, Qt::ControlModifier);
        uint8_t before[kStandardFormatParams];
        std::memcpy(before, NumberFormatAt(1, 1).params, sizeof before);
        ASSERT_TRUE(BlockHas(uint8_t(c.entry), before));
        const int beeps = ui.beeps;
        TypeKeys(QString::fromLatin1(c.typed), [&] {
            EXPECT_TRUE(BlockHas(uint8_t(c.entry), before)) << edit->text().toStdString();
            EXPECT_EQ(ui.beeps, beeps);
        });
        // Enter must open nothing; a dialog that opens all the same is closed and noted.
        bool dialogOpened = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialogOpened = true;
                modal->reject();
            }
        });
        watch.start(20);
        Press(Qt::Key_Return);
        watch.stop();
        EXPECT_FALSE(dialogOpened);
        uint8_t expected[kStandardFormatParams];
        std::memcpy(expected, before, sizeof expected);
        if (c.taken) c.expect(expected);
        EXPECT_TRUE(BlockHas(uint8_t(c.entry), expected));
        EXPECT_EQ(ui.beeps, beeps + (c.taken ? 0 : 1));
        EXPECT_EQ(QApplication::focusWidget(), edit);
        // Enter neither adds a user style nor closes the page.
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(page->Form().id1020->count(), CStylePage::kStandardEntries);
        pages.ClosePage();
        Settle();
    }
}

// "Yes" to the Remove question, clicked in the real box: the list is gone, the page stays
// open showing "None", and the cells have no list.
TEST_F(FormatPageUseTest, AnsweringTheRemoveQuestionByMouseKeepsTheListPage) {
    SetDropDownName(Book().dropDownLists[0], "Fruit");
    SetDropDownName(Book().dropDownLists[1], "Nuts");
    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[4]);
    ASSERT_FALSE(page.isNull());
    auto* lists = page->findChild<QComboBox*>("id215");
    ASSERT_EQ(QApplication::focusWidget(), lists);
    PickBelow(1); // "Fruit"
    ASSERT_EQ(lists->currentText(), "Fruit");
    ASSERT_EQ(GetStyleRecord(Book().styles, CellStyleIndex(Book().tree.active->formats, 2, 2))
                  .dropDownList,
              1);
    // The question comes from the real message box, answered by a click on "Yes".
    SetUiServices(nullptr);
    bool answered = false;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        EXPECT_EQ(box->text(), "The selected drop-down list will be deleted; Undo brings it "
                               "back.\nContinue?");
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        if (!yes) return;
        answered = true;
        // The box has the keyboard, as it has on the screen, before the click.
        EXPECT_TRUE(testwait::UntilActive(box));
        // Where the box stands apart from the page, as "Yes" does on a real screen.
        const QRect onPage = page->frameGeometry();
        const QRect area = WorkArea();
        box->move(onPage.center().x() > area.center().x() ? area.left()
                                                          : area.right() - box->width(),
                  box->y());
        const auto apart = [&] { return !onPage.contains(yes->mapToGlobal(yes->rect().center())); };
        EXPECT_TRUE(testwait::Until(apart));
        QTest::mouseClick(yes, Qt::LeftButton);
    });
    Click(page->findChild<QPushButton*>("id410"));
    SetUiServices(&ui);
    ASSERT_TRUE(answered);
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(pages.OpenPageCommand(), ID_FORMAT_LIST);
    EXPECT_EQ(lists->currentText(), "None");
    EXPECT_EQ(lists->count(), 2); // "None" and "Nuts"
    EXPECT_FALSE(DropDownListInUse(Book().dropDownLists[0]));
    EXPECT_TRUE(DropDownListInUse(Book().dropDownLists[1]));
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r)
            EXPECT_EQ(
                GetStyleRecord(Book().styles, CellStyleIndex(Book().tree.active->formats, r, c))
                    .dropDownList,
                0)
                << c << "," << r;
}

// Removing a list on the page is one edit: the block that chose it, the other cells using it
// and the list itself. Undo brings back the list and every cell's link, Redo takes them again,
// and what is saved after Undo holds both.
// The list removal and the selection's change are one edit, also where the undo history
// holds a single step.
class ListRemovalUndoTest : public FormatPageUseTest {
protected:
    void RemoveAndUndo(uint32_t undoLevel);
};

void ListRemovalUndoTest::RemoveAndUndo(uint32_t undoLevel) {
    Book().SetUndoLevel(undoLevel);
    SetDropDownName(Book().dropDownLists[0], "Fruit");
    AddDropDownEntry(Book().dropDownLists[0], "Apple");
    AddDropDownEntry(Book().dropDownLists[0], "Pear");
    SetDropDownName(Book().dropDownLists[1], "Nuts");
    // The list chosen on the page, one Down per list, for the cell (or block) selected.
    const auto choose = [&](uint16_t column, uint32_t row, int downs, bool block) {
        frame->activateWindow();
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        if (block)
            SelectBlock();
        else
            SelectRange(column, row, column, row);
        ASSERT_NE(OpenByKeys(kPages[4]), nullptr);
        PickBelow(downs);
        pages.ClosePage();
        Settle();
    };
    choose(4, 5, 1, false); // E6: Fruit
    choose(4, 6, 2, false); // E7: Nuts
    choose(0, 0, 1, true);  // B2:C4: Fruit
    const auto lists = [&](uint16_t column, uint32_t row) {
        return CellStyle(column, row).dropDownList;
    };
    struct Cell {
        uint16_t column;
        uint32_t row;
        uint16_t kept, removed;
    };
    const Cell cells[] = {{1, 1, 1, 0}, {2, 3, 1, 0}, {4, 5, 1, 0}, {4, 6, 2, 2}, {3, 5, 0, 0}};
    for (const Cell& c : cells) ASSERT_EQ(lists(c.column, c.row), c.kept) << c.column << c.row;

    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[4]);
    ASSERT_FALSE(page.isNull());
    ASSERT_EQ(page->findChild<QComboBox*>("id215")->currentText(), "Fruit");
    ui.answers.push_back(IDYES);
    Click(page->findChild<QPushButton*>("id410"));
    pages.ClosePage();
    Settle();
    const auto expect = [&](bool kept) {
        const DropDownListRecord& fruit = Book().dropDownLists[0];
        EXPECT_EQ(DropDownListInUse(fruit), kept);
        EXPECT_STREQ(fruit.name, kept ? "Fruit" : "");
        const std::vector<std::string> entries =
            kept ? std::vector<std::string>{"Apple", "Pear"} : std::vector<std::string>{};
        EXPECT_EQ(fruit.entries, entries);
        EXPECT_STREQ(Book().dropDownLists[1].name, "Nuts");
        EXPECT_FALSE(DropDownListInUse(Book().dropDownLists[2]));
        for (const Cell& c : cells)
            EXPECT_EQ(lists(c.column, c.row), kept ? c.kept : c.removed) << c.column << c.row;
    };
    {
        SCOPED_TRACE("removed");
        expect(false);
    }
    Command(ID_EDIT_UNDO);
    {
        SCOPED_TRACE("undone");
        expect(true);
    }
    Command(ID_EDIT_REDO);
    {
        SCOPED_TRACE("redone");
        expect(false);
    }
    Command(ID_EDIT_UNDO);
    const std::string path = TempPath("lists.vln");
    ui.savePath = QString::fromStdString(path);
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_FALSE(Active()->IsModified());
    pages.ClosePage();
    ASSERT_NE(OpenWindow(path), nullptr);
    SCOPED_TRACE("saved after Undo");
    expect(true);
}

TEST_F(ListRemovalUndoTest, UndoBringsBackARemovedListAndTheCellsUsingIt) {
    RemoveAndUndo(200);
}

TEST_F(ListRemovalUndoTest, OneUndoLevelBringsBackTheListAndTheSelectionsChange) {
    RemoveAndUndo(1);
}

// Opened at the right and bottom edges of the work area, every page lies wholly inside it;
// the style page stays inside as each entry's options make it grow.
TEST_F(FormatPageUseTest, PagesAtTheWorkAreasEdgeStayInsideIt) {
    const QRect area = WorkArea();
    for (const PageKeys& keys : kPages) {
        SCOPED_TRACE(keys.command);
        SelectBlock();
        QPointer<CFormatPage> page = OpenByKeys(keys);
        ASSERT_FALSE(page.isNull());
        page->ShowAt(QPoint(area.right(), area.bottom()));
        Settle();
        EXPECT_TRUE(area.contains(page->frameGeometry())) << page->frameGeometry().x();
        if (keys.command == ID_FORMAT_STYLE) {
            Press(Qt::Key_Home);
            for (int entry = 1; entry < CStylePage::kStandardEntries; ++entry) {
                Press(Qt::Key_Down);
                ASSERT_EQ(static_cast<CStylePage*>(page.data())->Current(), entry);
                EXPECT_TRUE(area.contains(page->frameGeometry()))
                    << entry << ": " << page->frameGeometry().right();
            }
        }
        pages.ClosePage();
        Settle();
    }
}

// Closing a page gives the keyboard back to the control it was opened from (the address box
// here, not only the frame); a page opened from another page's toolbar button hands on where
// that one came from.
TEST_F(FormatPageUseTest, ClosingGivesTheKeyboardBackToWhereThePageCameFrom) {
    QComboBox* address = frame->AddressBox();
    ASSERT_NE(address, nullptr);
    const auto inAddress = [&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == address || address->isAncestorOf(focus));
    };
    for (const PageKeys& keys : kPages) {
        SCOPED_TRACE(keys.command);
        SelectBlock();
        Click(address->lineEdit());
        ASSERT_TRUE(inAddress());
        QPointer<CFormatPage> page = OpenByKeys(keys);
        ASSERT_FALSE(page.isNull());
        ASSERT_TRUE(page->isActiveWindow());
        Press(Qt::Key_Escape);
        EXPECT_TRUE(testwait::UntilActive(frame.get()));
        Settle();
        EXPECT_TRUE(page.isNull());
        EXPECT_TRUE(inAddress());
    }
    // The font page from the address box, then the style page by the frame's button.
    SelectBlock();
    Click(address->lineEdit());
    QPointer<CFormatPage> font = OpenByKeys(kPages[0]);
    ASSERT_FALSE(font.isNull());
    QAction* styleButton = frame->ToolAction(ID_FORMAT_STYLE);
    ASSERT_NE(styleButton, nullptr);
    QWidget* button = nullptr;
    for (QToolBar* bar : frame->findChildren<QToolBar*>())
        if (QWidget* w = bar->widgetForAction(styleButton)) button = w;
    ASSERT_NE(button, nullptr);
    Click(button);
    ASSERT_TRUE(testwait::UntilActive(pages.Page()));
    Settle();
    EXPECT_TRUE(font.isNull());
    QPointer<CFormatPage> style = pages.Page();
    ASSERT_FALSE(style.isNull());
    ASSERT_EQ(style->Command(), ID_FORMAT_STYLE);
    ASSERT_TRUE(style->isActiveWindow());
    Press(Qt::Key_Escape);
    EXPECT_TRUE(testwait::UntilActive(frame.get()));
    Settle();
    EXPECT_TRUE(style.isNull());
    EXPECT_TRUE(inAddress());
}

// Every editable box of the window takes what is typed: a longer text of its list that
// begins with the typing is not completed into it.
TEST_F(FormatPageUseTest, EditableBoxesTakeWhatIsTyped) {
    const auto searchBox = [this](int index) {
        frame->OnCommand(ID_EDIT_FIND);
        Settle();
        return frame->Toolbar(kSearchBar)->findChildren<QComboBox*>().value(index);
    };
    const auto symbolBox = [this](int entry, const char* name) -> QComboBox* {
        CStylePage* page = StylePageOn(entry);
        return page ? page->SubPage()->findChild<QComboBox*>(name) : nullptr;
    };
    const std::pair<const char*, std::function<QComboBox*()>> boxes[] = {
        {"find", [&] { return searchBox(0); }},
        {"replace", [&] { return searchBox(1); }},
        {"address", [this] { return frame->AddressBox(); }},
        {"currency symbol", [&] { return symbolBox(2, "id1019"); }},
        {"accounting symbol", [&] { return symbolBox(3, "id229"); }},
    };
    for (const auto& [name, open] : boxes) {
        SCOPED_TRACE(name);
        QComboBox* box = open();
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isEditable());
        box->addItem(QStringLiteral("pear tree"));
        box->setEditText(QString());
        Click(box->lineEdit());
        QTest::keyClicks(box->lineEdit(), QStringLiteral("pear"));
        Settle();
        EXPECT_EQ(box->currentText(), "pear");
        pages.ClosePage();
        Settle();
    }
}

// A page whose first control cannot take the keyboard gives it to the first one that can.
TEST_F(FormatPageUseTest, AFirstControlDisabledPassesTheKeyboardOn) {
    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[4]); // the list page, on its list combo
    ASSERT_FALSE(page.isNull());
    auto* lists = page->findChild<QComboBox*>("id215");
    ASSERT_EQ(QApplication::focusWidget(), lists);
    QWidget* next = lists->nextInFocusChain();
    while (next && (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled()))
        next = next->nextInFocusChain();
    ASSERT_NE(next, nullptr);
    lists->setEnabled(false);
    page->hide();
    page->ShowAt(page->pos());
    // The page's own window holds the window system's focus (shown again in one turn, the
    // application may not count it as its active window anew).
    ASSERT_TRUE(testwait::Until(
        [&] { return page && QGuiApplication::focusWindow() == page->windowHandle(); }));
    Settle();
    EXPECT_EQ(page->focusWidget(), next);
}

} // namespace

} // namespace vl
