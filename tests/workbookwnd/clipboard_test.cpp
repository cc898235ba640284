// Copy, Cut, Paste and the range drag of the workbook window over the offscreen clipboard.

#include "app/copyhistory.h"
#include "copytest.h"
#include "core/settings.h"
#include "formula/edit/clipboardtext.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "platform/core/alloc.h"
#include "platform/core/editerrors.h"
#include "platform/core/errorcode.h"
#include "resources/commandids.h"
#include "tests/formula/edit/edittestutil.h"
#include "tests/formula/edit/workbookdump.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/treepane.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTreeWidget>

namespace vl {

namespace {

class ClipboardTest : public wndtest::CopyTest {
protected:
    QString ClipText() const { return QGuiApplication::clipboard()->text(); }
    QByteArray ClipPrivate() const {
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        return mime ? mime->data(QLatin1String(kPrivateClipboardMime)) : QByteArray();
    }
    void PutClipboard(const QString& text, const QByteArray* block) {
        auto* mime = new QMimeData;
        mime->setText(text);
        if (block) mime->setData(QLatin1String(kPrivateClipboardMime), *block);
        QGuiApplication::clipboard()->setMimeData(mime);
    }
    // Checks the command's undo and redo against the workbook before and after it. A
    // paste that brought new styles leaves them in the style table (unused after the undo).
    void ExpectUndoRedo(edittest::WorkbookDump before, const char* name, bool stylesGrow = false) {
        const edittest::WorkbookDump after = edittest::DumpWorkbook(Book());
        EXPECT_FALSE(after == before) << name;
        Command(ID_EDIT_UNDO);
        edittest::WorkbookDump undone = edittest::DumpWorkbook(Book());
        if (stylesGrow)
            for (size_t i = 0; i < before.sections.size() && i < undone.sections.size(); ++i)
                if (before.sections[i].first == "styles") undone.sections[i] = before.sections[i];
        EXPECT_TRUE(undone == before) << name;
        Command(ID_EDIT_REDO);
        EXPECT_TRUE(edittest::DumpWorkbook(Book()) == after) << name;
    }
};

} // namespace

TEST_F(ClipboardTest, CopyPlacesTextAndThePrivateBlock) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(1, 0, QStringLiteral("2"));
    Enter(0, 1, QStringLiteral("3"));
    Enter(1, 1, QStringLiteral("4"));
    Enter(3, 0, QStringLiteral("a\"b"));
    struct Case {
        CellRange range;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 1, 1}, "1\t2\r\n3\t4"},
        {{3, 0, 3, 0}, "\"a\"\"b\""},
        {{5, 5, 6, 6}, "\t\r\n\t"},
        {{5, 5, 5, 5}, ""},
    };
    int32_t index = -1;
    for (const Case& c : cases) {
        SelectRange(c.range.c1, c.range.r1, c.range.c2, c.range.r2);
        Command(ID_EDIT_COPY);
        ++index;
        EXPECT_EQ(ClipText().toStdString(), c.text);
        const QByteArray block = ClipPrivate();
        ASSERT_GE(block.size(), int(kPrivateBlockSize));
        const std::string digits = std::to_string(index);
        EXPECT_EQ(block.left(int(digits.size()) + 1).toStdString(), digits + '\0');
        EXPECT_EQ(block.mid(int(kPrivateBlockSize)).toULongLong(),
                  uint64_t(QCoreApplication::applicationPid()));
        EXPECT_EQ(CopyHistory().Entries().current, index);
    }
}

TEST_F(ClipboardTest, PasteTextFillsClearsAndUndoes) {
    Enter(1, 1, QStringLiteral("9"));
    Enter(4, 0, QStringLiteral("8"));
    SelectRange(0, 0, 0, 0);
    PutClipboard(QStringLiteral("1\t2\r\n3"), nullptr);
    const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(CellText(0, 0), "1");
    EXPECT_EQ(CellText(1, 0), "2");
    EXPECT_EQ(CellText(0, 1), "3");
    EXPECT_EQ(CellText(1, 1), "");
    EXPECT_EQ(CellText(4, 0), "8");
    ExpectUndoRedo(before, "paste text");
    // A smaller selection drops what lies past it; a lone LF ends the row.
    PutClipboard(QStringLiteral("5\t6\n7\t8"), nullptr);
    SelectRange(4, 4, 4, 5);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(CellText(4, 4), "5");
    EXPECT_EQ(CellText(4, 5), "7");
    EXPECT_EQ(CellText(5, 4), "");
}

// The text Copy writes reads back cell for cell through another instance's Paste (the text
// alone): quotes, tabs and line breaks inside a cell included, as peers write them too. A
// quote that never closes is the cell's own character.
TEST_F(ClipboardTest, PastedTextReadsBackWhatCopyWrote) {
    PutClipboard(QStringLiteral("say \"hi\"\t\"a\tb\"\t\"line\nbreak\"\r\n"
                                "\"\"\"q\"\"\"\t\"cr\r\nlf\"\t\"open"),
                 nullptr);
    SelectRange(0, 0, 0, 0);
    Command(ID_EDIT_PASTE);
    const char* const cells[2][3] = {{"say \"hi\"", "a\tb", "line\nbreak"},
                                     {"\"q\"", "cr\r\nlf", "\"open"}};
    for (uint32_t r = 0; r < 2; ++r)
        for (uint16_t c = 0; c < 3; ++c) EXPECT_EQ(CellText(c, r), cells[r][c]) << c << "," << r;
    SelectRange(0, 0, 2, 1);
    Command(ID_EDIT_COPY);
    const QString copied = ClipText();
    EXPECT_EQ(copied.toStdString(), "\"say \"\"hi\"\"\"\t\"a\tb\"\t\"line\nbreak\"\r\n"
                                    "\"\"\"q\"\"\"\t\"cr\r\nlf\"\t\"\"\"open\"");
    PutClipboard(copied, nullptr);
    SelectRange(4, 5, 4, 5);
    Command(ID_EDIT_PASTE);
    for (uint32_t r = 0; r < 2; ++r)
        for (uint16_t c = 0; c < 3; ++c)
            EXPECT_EQ(CellText(uint16_t(4 + c), 5 + r), cells[r][c]) << c << "," << r;
    EXPECT_EQ(CellText(4, 7), "");
}

// Pasted text reads numbers as typing does: digits a blank separates are a text, never one
// number; a whole part before a fraction is a number.
TEST_F(ClipboardTest, PastedDigitsABlankSeparatesStayAText) {
    PutClipboard(QStringLiteral("0 5\t1 000\t1 1/2\t0.5"), nullptr);
    SelectRange(0, 0, 0, 0);
    Command(ID_EDIT_PASTE);
    std::string kinds;
    for (uint16_t c = 0; c < 4; ++c) {
        const uint8_t* r = FindCell(Book().tree.active->cells, 0, c);
        kinds += !r ? '-' : cell::IsNumber(r) ? 'n' : cell::IsText(r) ? 't' : 'f';
    }
    EXPECT_EQ(kinds, "ttnn");
    EXPECT_EQ(CellText(0, 0), "0 5");
}

// Text from another program with a character no cell holds pastes nothing and says why.
TEST_F(ClipboardTest, PastedTextOutsideTheCodePageIsRefusedWhole) {
    Enter(0, 0, QStringLiteral("kept"));
    PutClipboard(QStringLiteral("fine\t\u00e9\r\nnot \u0416"), nullptr);
    SelectRange(0, 0, 0, 0);
    const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
    Command(ID_EDIT_PASTE);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(GetErrorMessage(kErrorCodePage)));
    EXPECT_TRUE(edittest::DumpWorkbook(Book()) == before);
    EXPECT_EQ(CellText(0, 0), "kept");
}

TEST_F(ClipboardTest, PasteTakesTheHistoryOnlyForThisProcess) {
    Enter(0, 0, QStringLiteral("1"));
    Bold(0, 0);
    SelectRange(0, 0, 0, 0);
    Command(ID_EDIT_COPY);
    struct Case {
        const char* name;
        bool emptyHistory;
        uint64_t process;
        const char* a5; // what lands in A5
        bool bold;
    };
    const uint64_t self = uint64_t(QCoreApplication::applicationPid());
    const Case cases[] = {
        {"ours", false, self, "1", true},
        {"another instance", false, self + 1, "7", false},
        {"empty history", true, self, "7", false},
    };
    for (const Case& c : cases) {
        if (c.emptyHistory) CopyHistory().ReleaseAll();
        const std::string block = WritePrivateClipboardData(0, c.process);
        const QByteArray bytes(block.data(), qsizetype(block.size()));
        PutClipboard(QStringLiteral("7"), &bytes);
        SelectRange(0, 4, 0, 4);
        Command(ID_EDIT_PASTE);
        EXPECT_EQ(CellText(0, 4), c.a5) << c.name;
        EXPECT_EQ(IsBold(0, 4), c.bold) << c.name;
        Command(ID_EDIT_UNDO);
    }
}

TEST_F(ClipboardTest, ARangeCopyPastesIntoAnotherWorkbookAfterItsSourceCloses) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(1, 0, QStringLiteral("2"));
    Enter(0, 1, QStringLiteral("3"));
    Enter(1, 1, QStringLiteral("=A1+B1"));
    Bold(0, 0);
    SelectRange(0, 0, 1, 1);
    Command(ID_EDIT_COPY);
    EXPECT_EQ(ClipText().toStdString(), "1\t2\r\n3\t3");
    CWorkbookWnd* first = Active();
    ASSERT_NE(NewWindow(), nullptr);
    first->SetModified(false);
    first->close();
    Settle();
    SelectRange(2, 2, 2, 2);
    const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(CellText(2, 2), "1");
    EXPECT_TRUE(IsBold(2, 2));
    EXPECT_EQ(CellText(3, 3), "=C3+D3");
    EXPECT_EQ(View()->Selection().c2, 2); // the selection stays; the target grew
    ExpectUndoRedo(before, "paste copy", true);
    // Shift pastes the contents alone.
    SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::ShiftModifier); });
    SelectRange(6, 6, 6, 6);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(CellText(6, 6), "1");
    EXPECT_FALSE(IsBold(6, 6));
    // At the last column the paste is cut there.
    SetWorkbookKeyState(nullptr);
    SelectRange(kLastColumn, 10, kLastColumn, 10);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(CellText(kLastColumn, 10), "1");
    EXPECT_EQ(CellText(kLastColumn, 11), "3");
}

TEST_F(ClipboardTest, CopyLevelOneKeepsOneCopy) {
    CopyHistory().ApplyCopyLevel(1);
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("2"));
    for (uint32_t row : {0u, 1u}) {
        SelectRange(0, row, 0, row);
        Command(ID_EDIT_COPY);
    }
    EXPECT_EQ(CopyHistory().Entries().current, 0);
    SelectRange(3, 3, 3, 3);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(CellText(3, 3), "2");
}

// With room for one block, a Copy made after a Cut takes its place: Paste puts the copy, and
// the cut's move is over: a reader of the cut cell keeps reading where it was.
TEST_F(ClipboardTest, CopyLevelOneACopyAfterACutPastesTheCopy) {
    CopyHistory().ApplyCopyLevel(1);
    Enter(0, 0, QStringLiteral("cut"));
    Enter(1, 0, QStringLiteral("copied"));
    Enter(5, 0, QStringLiteral("=A1"));
    Select(0, 0);
    Key(Qt::Key_X, Qt::ControlModifier);
    Select(1, 0);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(CopyHistory().Entries().current, 0);
    Select(3, 3);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CellText(3, 3), "copied");
    EXPECT_EQ(CellText(1, 0), "copied");
    EXPECT_EQ(CellText(5, 0), "=A1");
    // A second paste puts the copy again: a copy is no move.
    Select(4, 4);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CellText(4, 4), "copied");
    EXPECT_EQ(CellText(3, 3), "copied");
    EXPECT_EQ(CellText(5, 0), "=A1");
}

TEST_F(ClipboardTest, ACopiedWorksheetPastesUnderANewName) {
    std::strcpy(Book().tree.first->name, "Sales");
    Active()->TreePane()->Fill();
    Active()->TreePane()->Select(Book().tree.first);
    Active()->TreeControl()->setFocus();
    Settle();
    Command(ID_EDIT_COPY);
    Command(ID_EDIT_PASTE);
    std::string names;
    for (CTreeItem* p = Book().tree.first; p; p = p->next) names += std::string(p->name) + " ";
    // The copy goes before the worksheet it was pasted on, as tree insertions do.
    EXPECT_EQ(names, "Sales(1) Sales ");
}

TEST_F(ClipboardTest, ACopiedWorksheetWithNoRoomForACounterIsNotPasted) {
    // 123 characters take "(1)" within the 127 a name holds; 125 do not.
    for (const size_t length : {size_t(124), size_t(125)}) {
        const std::string name(length, 'N');
        std::strcpy(Book().tree.first->name, name.c_str());
        Active()->TreePane()->Fill();
        Active()->TreePane()->Select(Book().tree.first);
        Active()->TreeControl()->setFocus();
        Settle();
        ui.boxes.clear();
        Key(Qt::Key_C, Qt::ControlModifier);
        Key(Qt::Key_V, Qt::ControlModifier);
        std::string names;
        for (CTreeItem* p = Book().tree.first; p; p = p->next)
            names += std::to_string(std::strlen(p->name)) + " ";
        if (length == 124) {
            EXPECT_EQ(names, "127 124 ");
            EXPECT_TRUE(ui.boxes.empty());
            Command(ID_EDIT_UNDO);
            continue;
        }
        // Two siblings of one name would give formulas one path for both.
        EXPECT_EQ(names, "125 ");
        EXPECT_EQ(Book().tree.worksheetCount, 1u);
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(ui.boxes.back().text,
                  QStringLiteral("Another worksheet or folder of this folder has this name."));
    }
}

TEST_F(ClipboardTest, DragMovesAndCtrlDragCopies) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("2"));
    const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
    SelectRange(0, 0, 0, 1);
    Active()->MoveRangeByDrag({0, 0, 0, 1}, {2, 3, 2, 4});
    Settle();
    EXPECT_EQ(CellText(0, 0), "");
    EXPECT_EQ(CellText(2, 3), "1");
    EXPECT_EQ(CellText(2, 4), "2");
    EXPECT_EQ(CopyHistory().Entries().entries[kUndoSpareSlot].kind, kUndoEmpty);
    // The move is one edit: one Undo puts the cells back, one Redo moves them again.
    const edittest::WorkbookDump moved = edittest::DumpWorkbook(Book());
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(edittest::SameWorkbook(before, edittest::DumpWorkbook(Book())));
    EXPECT_EQ(CellText(0, 1), "2");
    Command(ID_EDIT_REDO);
    EXPECT_TRUE(edittest::DumpWorkbook(Book()) == moved);
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(edittest::DumpWorkbook(Book()) == before);
    SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::ControlModifier); });
    Active()->MoveRangeByDrag({0, 0, 0, 1}, {2, 3, 2, 4});
    Settle();
    EXPECT_EQ(CellText(0, 0), "1");
    EXPECT_EQ(CellText(2, 4), "2");
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(edittest::DumpWorkbook(Book()) == before);
}

// A block dragged by its frame with the mouse takes the formulas that read it along, the
// reader of a cell it is dropped on keeps naming that cell; Ctrl+Z brings everything back in
// one step and Ctrl+Y moves it again.
TEST_F(ClipboardTest, ADraggedBlockTakesItsReadersAlongAndOneUndoBringsThemBack) {
    Enter(0, 0, QStringLiteral("5"));
    Enter(0, 1, QStringLiteral("7"));
    Enter(1, 5, QStringLiteral("100"));
    Enter(3, 0, QStringLiteral("=A1*2"));
    Enter(3, 1, QStringLiteral("=SUM(A1:A2)"));
    Enter(3, 2, QStringLiteral("=B6+A2"));
    SelectRange(0, 0, 0, 1);
    View()->Render();
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), View()->viewport()->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(View()->viewport(), &e);
    };
    // The top band of a two-row selection's frame, then one column right and four rows down,
    // one step a move.
    const DcRect frameRect = View()->GetRangeRect({0, 0, 0, 1});
    QPoint at(frameRect.left + 10, frameRect.top + 1);
    send(QEvent::MouseButtonPress, at, Qt::LeftButton);
    ASSERT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kMoveSelection);
    const int width = frameRect.right - frameRect.left,
              height = (frameRect.bottom - frameRect.top) / 2;
    at += QPoint(width + 2, 0);
    send(QEvent::MouseMove, at, Qt::LeftButton);
    for (int i = 0; i < 4; ++i) {
        at += QPoint(0, height + 2);
        send(QEvent::MouseMove, at, Qt::LeftButton);
    }
    send(QEvent::MouseButtonRelease, at, Qt::NoButton);
    Settle();
    ASSERT_EQ(CellText(1, 4), "5");
    EXPECT_EQ(CellText(1, 5), "7");
    EXPECT_EQ(CellText(0, 0), "");
    EXPECT_EQ(CellText(3, 0), "=B5*2");
    EXPECT_EQ(CellText(3, 1), "=SUM(B5:B6)");
    EXPECT_EQ(CellText(3, 2), "=B6+B6");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 3, 0), "10");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 3, 1), "12");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 3, 2), "14");
    const edittest::WorkbookDump moved = edittest::DumpWorkbook(Book());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CellText(0, 0), "5");
    EXPECT_EQ(CellText(1, 5), "100");
    EXPECT_EQ(CellText(3, 0), "=A1*2");
    EXPECT_EQ(CellText(3, 1), "=SUM(A1:A2)");
    EXPECT_EQ(CellText(3, 2), "=B6+A2");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 3, 2), "107");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(edittest::DumpWorkbook(Book()) == moved);
}

// Ctrl+X on A2, a row inserted at row 1 (Ctrl+R) and Ctrl+V at E5: the cut cell moves from A3
// where the row put it, its reader follows it, and the reader of A1 (now A2) stays.
TEST_F(ClipboardTest, AWaitingCutFollowsARowInsertedAboveIt) {
    Enter(0, 0, QStringLiteral("5"));
    Enter(0, 1, QStringLiteral("7"));
    Enter(2, 0, QStringLiteral("=A1*2"));
    Enter(3, 0, QStringLiteral("=A2+1"));
    Select(0, 1);
    Key(Qt::Key_X, Qt::ControlModifier);
    Select(0, 0);
    Key(Qt::Key_R, Qt::ControlModifier);
    Select(4, 4);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CellText(2, 1), "=A2*2");
    EXPECT_EQ(CellText(3, 1), "=E5+1");
    EXPECT_EQ(CellText(4, 4), "7");
    EXPECT_EQ(CellText(0, 2), "");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 2, 1), "10");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 3, 1), "8");
}

// Ctrl+V of a waiting Cut at N2, inside the array N1:N3, is refused with its message and
// changes nothing; Ctrl+V at E5 then moves the block with its readers.
TEST_F(ClipboardTest, ARefusedPasteOfACutChangesNothingAndTheNextMoves) {
    Enter(13, 0, QStringLiteral("={1;2;3}"));
    Enter(0, 0, QStringLiteral("5"));
    Enter(0, 1, QStringLiteral("7"));
    Enter(2, 0, QStringLiteral("=A1*2"));
    Enter(3, 0, QStringLiteral("=A2+1"));
    SelectRange(0, 0, 0, 1);
    Key(Qt::Key_X, Qt::ControlModifier);
    const edittest::WorkbookDump waiting = edittest::DumpWorkbook(Book());
    const int32_t undo = Book().undo.current;
    ui.boxes.clear();
    Select(13, 1);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(GetErrorMessage(kErrorArrayCut)));
    EXPECT_TRUE(edittest::DumpWorkbook(Book()) == waiting);
    EXPECT_EQ(Book().undo.current, undo);
    Select(4, 4);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CellText(2, 0), "=E5*2");
    EXPECT_EQ(CellText(3, 0), "=E6+1");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 2, 0), "10");
    EXPECT_EQ(edittest::ValueAt(Book().tree.active->cells, 3, 0), "8");
    // Right after the Cut the move is one step with it: Undo puts A1:A2 back.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CellText(0, 1), "7");
    EXPECT_EQ(CellText(3, 0), "=A2+1");
    EXPECT_EQ(Book().undo.current, undo - 1);
}

TEST_F(ClipboardTest, AFailedCopyPlacesNoPrivateBlockAndCutDeletesNothing) {
    Enter(0, 0, QStringLiteral("5"));
    SelectRange(0, 0, 0, 0);
    Command(ID_EDIT_COPY);
    Enter(0, 1, QStringLiteral("6"));
    SelectRange(0, 1, 0, 1);
    ui.boxes.clear();
    SetAllocFailAfter(0);
    Active()->HandleCommand(ID_EDIT_CUT);
    SetAllocFailAfter(-1);
    Settle();
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ClipText().toStdString(), "6");
    EXPECT_TRUE(ClipPrivate().isEmpty());
    EXPECT_EQ(CellText(0, 1), "6");
    EXPECT_EQ(CopyHistory().Entries().current, 0);
    // The next Paste takes the text, not the earlier copy.
    SelectRange(2, 2, 2, 2);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(CellText(2, 2), "6");
    // A Cut that copies deletes its cells.
    SelectRange(0, 1, 0, 1);
    Command(ID_EDIT_CUT);
    EXPECT_EQ(CellText(0, 1), "");
    EXPECT_EQ(ClipText().toStdString(), "6");
}

} // namespace vl

namespace vl {

TEST_F(ClipboardTest, DraggingTheSelectionFrameMovesItsCells) {
    Enter(1, 1, QStringLiteral("1"));
    Enter(1, 2, QStringLiteral("2"));
    SelectRange(1, 1, 1, 2);
    const DcRect rect = View()->GetRangeRect({1, 1, 1, 2});
    const QPoint top(rect.left + 10, rect.top + 1);
    // The band: the top 4 pixels of a one- or two-row selection, not the cells below.
    EXPECT_TRUE(View()->HitTestSelectionFrame(top));
    EXPECT_TRUE(View()->HitTestSelectionFrame({rect.left + 10, rect.top + 3}));
    EXPECT_FALSE(View()->HitTestSelectionFrame({rect.left + 10, rect.top + 4}));
    View()->OnLButtonDown(top, Qt::NoModifier);
    ASSERT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kMoveSelection);
    const DcRect right = View()->GetRangeRect({2, 1, 2, 1});
    const DcRect down = View()->GetRangeRect({1, 2, 1, 2});
    // One column right, then one row down: one step per move.
    View()->OnMouseMove({right.left + 5, top.y()}, Qt::LeftButton);
    EXPECT_EQ(View()->MoveTarget(), (CellRange{2, 1, 2, 2}));
    View()->OnMouseMove({right.left + 5, down.bottom + 2}, Qt::LeftButton);
    EXPECT_EQ(View()->MoveTarget(), (CellRange{2, 2, 2, 3}));
    View()->OnLButtonUp();
    Settle();
    EXPECT_EQ(CellText(1, 1), "");
    EXPECT_EQ(CellText(2, 2), "1");
    EXPECT_EQ(CellText(2, 3), "2");
    EXPECT_EQ(View()->Selection(), (CellRange{2, 2, 2, 3}));
    EXPECT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kNone);
    // A release where it started moves nothing.
    const int32_t undo = Book().undo.current;
    const DcRect moved = View()->GetRangeRect({2, 2, 2, 3});
    View()->OnLButtonDown({moved.left + 5, moved.top + 1}, Qt::NoModifier);
    View()->OnLButtonUp();
    EXPECT_EQ(Book().undo.current, undo);
}

} // namespace vl

namespace vl {

TEST_F(ClipboardTest, ACopiedContainerPlacesItsPictureAndPastesAsANewContainer) {
    Select(2, 2);
    Command(ID_EMPTY_CONTAINER);
    CWorksheet& ws = *Book().tree.active;
    ASSERT_NE(ws.firstContainer, nullptr);
    View()->SetCurrentContainer(ws.firstContainer->settings.id);
    View()->setFocus();
    Settle();
    Command(ID_EDIT_COPY);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasImage());
    EXPECT_FALSE(mime->hasText());
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    const ContainerSettings& s = ws.firstContainer->settings;
    EXPECT_EQ(image.width(), s.right - s.left + 1);
    EXPECT_FALSE(ClipPrivate().isEmpty());
    EXPECT_EQ(CopyHistory().Entries().entries[CopyHistory().Entries().current].kind,
              kUndoContainer);
    Command(ID_EDIT_PASTE);
    ASSERT_NE(ws.firstContainer->next, nullptr);
    EXPECT_EQ(ws.firstContainer->next->settings.id, 2);
    EXPECT_EQ(View()->CurrentContainer(), 2);
}

} // namespace vl
