// Typing into the grid at its limits: which characters open the editor, where typing
// scrolls, keys typed faster than the commits, Shift moves on both axes, every Enter
// setting, the last drop-down list and the XML errors shown with their line.

#include "model/rangeops.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"
#include "ui/messages.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/documentopen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

namespace vl {

namespace {

class TypingTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    bool Editing() const { return Active()->RefPickState() == kRefPickEditing; }
    // A style naming drop-down list `id` on the cell.
    void ListOn(uint16_t column, uint32_t row, uint16_t id) {
        CWorkbook& book = Book();
        StyleRecord listed;
        listed.dropDownList = id;
        book.styles.styles[book.styles.styleCount] = listed;
        const uint16_t style = book.styles.styleCount++;
        CellCursor cursor;
        ASSERT_TRUE(PutFormatRun(book.tree.active->formats, {column, column, row, style}, cursor));
    }
};

TEST_F(TypingTest, PrintableCharactersOpenTheEditorControlCharactersDoNot) {
    struct Case {
        char16_t typed;
        bool opens;
    };
    const Case cases[] = {{u'\x1f', false}, {u' ', true}, {u'~', true}, {u'\x7f', false}};
    for (const Case& c : cases) {
        Select(0, 0);
        View()->OnChar(QString(QChar(c.typed)), Qt::NoModifier);
        EXPECT_EQ(Editing(), c.opens) << int(c.typed);
        if (c.opens) {
            EXPECT_EQ(View()->Editor()->toPlainText(), QString(QChar(c.typed)));
        }
        if (Editing()) Key(Qt::Key_Escape);
    }
}

TEST_F(TypingTest, TypingIntoAPartlyShownCellDoesNotScrollBeyondItDoes) {
    const int width = View()->viewport()->width(), height = View()->viewport()->height();
    // The first column reaching the right edge, and the first row reaching 18 pixels above
    // the bottom: the room a typed-into cell keeps below it.
    uint16_t column = 0;
    while (View()->GetRangeRect({column, 0, column, 0}).right - 1 < width) ++column;
    uint32_t row = 0;
    while (View()->GetRangeRect({0, row, 0, row}).bottom - 1 < height - 18) ++row;
    ASSERT_LT(View()->GetRangeRect({column, 0, column, 0}).left, width);
    struct Case {
        uint16_t column;
        uint32_t row;
        bool scrolls;
    };
    const Case cases[] = {
        {column, 0, false}, {uint16_t(column + 1), 0, true}, {0, row, false}, {0, row + 1, true}};
    for (const Case& c : cases) {
        View()->SetScrollPosition(0, 0);
        StartTyping(c.column, c.row, QStringLiteral("5"));
        EXPECT_EQ(View()->FirstColumn() != 0 || View()->FirstRow() != 0, c.scrolls)
            << c.column << "," << c.row;
        Key(Qt::Key_Escape);
    }
}

TEST_F(TypingTest, KeysTypedDuringACommitReachTheCellMovedTo) {
    Profile().whenEnterPressed = 1; // Enter moves down as Down does
    View()->setFocus();
    // No event runs between the keys: each lands wherever the focus is when it comes.
    auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    for (int n = 1; n <= 30; ++n) {
        for (QChar digit : QString::number(n)) press(Qt::Key(digit.unicode()));
        press(n % 2 ? Qt::Key_Down : Qt::Key_Return);
    }
    Settle();
    for (int n = 1; n <= 30; ++n) EXPECT_EQ(CellText(0, uint32_t(n - 1)), std::to_string(n));
    EXPECT_EQ(View()->Selection(), (CellRange{0, 30, 0, 30}));
}

TEST_F(TypingTest, ShiftArrowsPassTheAnchorOnBothAxes) {
    struct Step {
        int key;
        CellRange selection;
    };
    // From B2: three steps away from the anchor, then four back past it; and one step past
    // it first, then back over it.
    const std::vector<Step> columns = {{Qt::Key_Right, {1, 1, 2, 1}}, {Qt::Key_Right, {1, 1, 3, 1}},
                                       {Qt::Key_Right, {1, 1, 4, 1}}, {Qt::Key_Left, {1, 1, 3, 1}},
                                       {Qt::Key_Left, {1, 1, 2, 1}},  {Qt::Key_Left, {1, 1, 1, 1}},
                                       {Qt::Key_Left, {0, 1, 1, 1}}};
    const std::vector<Step> rows = {{Qt::Key_Down, {1, 1, 1, 2}}, {Qt::Key_Down, {1, 1, 1, 3}},
                                    {Qt::Key_Down, {1, 1, 1, 4}}, {Qt::Key_Up, {1, 1, 1, 3}},
                                    {Qt::Key_Up, {1, 1, 1, 2}},   {Qt::Key_Up, {1, 1, 1, 1}},
                                    {Qt::Key_Up, {1, 0, 1, 1}}};
    const std::vector<Step> rowsBack = {
        {Qt::Key_Up, {1, 0, 1, 1}}, {Qt::Key_Down, {1, 1, 1, 1}}, {Qt::Key_Down, {1, 1, 1, 2}}};
    const std::vector<Step> columnsBack = {
        {Qt::Key_Left, {0, 1, 1, 1}}, {Qt::Key_Right, {1, 1, 1, 1}}, {Qt::Key_Right, {1, 1, 2, 1}}};
    for (const auto* steps : {&columns, &rows, &columnsBack, &rowsBack}) {
        Select(1, 1);
        View()->setFocus();
        QTest::keyPress(View(), Qt::Key_Shift);
        for (size_t i = 0; i < steps->size(); ++i) {
            // The arrow alone, pressed and released while Shift stays down.
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, (*steps)[i].key, Qt::ShiftModifier);
                QApplication::sendEvent(View(), &event);
            }
            Settle();
            EXPECT_EQ(View()->Selection(), (*steps)[i].selection) << i;
        }
        QTest::keyRelease(View(), Qt::Key_Shift);
        EXPECT_FALSE(View()->Extending());
    }
}

TEST_F(TypingTest, EnterMovesByEverySetting) {
    struct Case {
        uint8_t setting;
        bool filled; // a cell further down (setting 2) or right (setting 4) holds a value
        uint16_t column;
        uint32_t row;
    };
    const Case cases[] = {{0, false, 2, 3}, {1, false, 2, 4}, {2, false, 2, 3}, {2, true, 2, 9},
                          {3, false, 3, 3}, {4, false, 2, 3}, {4, true, 7, 3},  {5, true, 2, 3}};
    for (const Case& c : cases) {
        ClearRect(Book().tree.active->cells, {0, 0, 20, 20}, nullptr, false);
        Profile().whenEnterPressed = 0;
        if (c.filled) {
            Enter(2, 9, QStringLiteral("below"));
            Enter(7, 3, QStringLiteral("right"));
        }
        Profile().whenEnterPressed = c.setting;
        Enter(2, 3, QStringLiteral("1"));
        EXPECT_EQ(View()->Selection(), (CellRange{c.column, c.row, c.column, c.row}))
            << int(c.setting) << (c.filled ? " filled" : "");
    }
}

TEST_F(TypingTest, TheLastDropDownListOpensTheOneAfterIsRefused) {
    AddDropDownEntry(Book().dropDownLists[kDropDownLists - 1], "Last");
    ListOn(0, 0, kDropDownLists);
    ListOn(1, 0, kDropDownLists + 1);
    StartTyping(0, 0, QStringLiteral("L"));
    EXPECT_TRUE(Editing());
    EXPECT_EQ(View()->ListId(), kDropDownLists);
    EXPECT_TRUE(View()->List()->isVisible());
    EXPECT_EQ(View()->List()->count(), 1);
    Key(Qt::Key_Escape);
    EXPECT_TRUE(ui.boxes.empty());
    StartTyping(1, 0, QStringLiteral("L"));
    EXPECT_FALSE(Editing());
    EXPECT_FALSE(View()->Editor()->isVisible());
    EXPECT_FALSE(View()->List()->isVisible());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(GetErrorMessage(kErrorWorksheetMemory)));
    EXPECT_EQ(CellText(1, 0), "");
}

TEST_F(TypingTest, XmlReaderErrorsNameTheirLine) {
    struct Case {
        uint8_t code;
        bool withLine;
    };
    const Case cases[] = {{54, false}, {55, true}, {59, true}, {60, false}};
    for (const Case& c : cases) {
        ui.boxes.clear();
        CWorkbook& book = Book();
        book.error = ErrorCode(c.code);
        book.xmlErrorLine = 417;
        ShowOpenError(book);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.withLine ? ErrorMessageAtLine(c.code, 417)
                                               : QString::fromLatin1(GetErrorMessage(c.code)))
            << int(c.code);
    }
    Book().error = kErrorNone;
}

} // namespace

// A text with a character no cell holds is refused when the edit ends: the message says why,
// the editor stays open with what was typed, and the cell keeps its value; mended, it goes in.
TEST_F(TypingTest, ATextOutsideTheCodePageIsRefusedWithItsReason) {
    Enter(1, 1, QStringLiteral("before"));
    StartTyping(1, 1, QStringLiteral("cafe "));
    // A character no key of the test keyboard gives, as an input method hands it over.
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("\u5bc6"));
    QApplication::sendEvent(View()->Editor(), &typed);
    ASSERT_EQ(View()->Editor()->toPlainText(), QStringLiteral("cafe \u5bc6"));
    Key(Qt::Key_Return);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(GetErrorMessage(kErrorCodePage)));
    EXPECT_TRUE(Editing());
    EXPECT_EQ(CellText(1, 1), "before");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(CellText(1, 1), "cafe ");
    EXPECT_EQ(ui.boxes.size(), 1u);
}

} // namespace vl
