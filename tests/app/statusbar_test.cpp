#include "app/statusbarwnd.h"
#include "app/statustext.h"
#include "model/cellrecord.h"

#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace vl {

namespace {

void Put(CCellStore& cells, const CellBuffer& buf) {
    CellCursor cursor;
    ASSERT_TRUE(cells.PutCell(buf.data(), cursor));
}

void PutNumber(CCellStore& cells, uint16_t column, uint32_t row, double value, uint8_t error = 0) {
    CellBuffer buf;
    ASSERT_TRUE(MakeNumberCell(buf, column, row, value, error));
    Put(cells, buf);
}

void PutText(CCellStore& cells, uint16_t column, uint32_t row, const char* text) {
    CellBuffer buf;
    ASSERT_TRUE(MakeTextCell(buf, column, row, text));
    Put(cells, buf);
}

void PutFormula(CCellStore& cells, uint16_t column, uint32_t row, uint8_t result, double value) {
    CellBuffer buf;
    FormulaHead head;
    head.resultFlags = result;
    head.cachedNumber = value;
    ASSERT_TRUE(MakeFormulaCell(buf, column, row, head, "=1", result & kResultText ? "t" : ""));
    Put(cells, buf);
}

std::string StatsText(const CCellStore& cells, CellRange range) {
    return FormatSelectionStats(ComputeSelectionStats(cells, range), InternalSeparators());
}

} // namespace

TEST(StatusText, StatisticsOfSelections) {
    CCellStore cells;
    PutNumber(cells, 0, 0, -3);
    PutNumber(cells, 0, 1, -5);
    PutText(cells, 1, 0, "a");
    PutText(cells, 1, 1, "b");
    PutNumber(cells, 2, 0, 7, 1); // an error cell is skipped
    PutNumber(cells, 2, 1, 2);
    PutFormula(cells, 3, 0, kResultNumber, 1.5);
    PutFormula(cells, 3, 1, kResultText, 0);
    PutNumber(cells, 4, 5, 100); // outside every range below
    EXPECT_EQ(StatsText(cells, {0, 0, 0, 1}), "Sum=-8; Min=-5; Max=-3; Mean=-4; Numbers=2");
    EXPECT_EQ(StatsText(cells, {1, 0, 1, 1}), "Text=2");
    EXPECT_EQ(StatsText(cells, {2, 0, 2, 1}), "Sum=2; Min=2; Max=2; Mean=2; Numbers=1");
    EXPECT_EQ(StatsText(cells, {3, 0, 3, 1}),
              "Sum=1.5; Min=1.5; Max=1.5; Mean=1.5; Numbers=1; Text=1");
    EXPECT_EQ(StatsText(cells, {0, 2, 3, 4}), "");
    SeparatorSet comma = InternalSeparators();
    comma.decimal = ',';
    EXPECT_EQ(FormatSelectionStats(ComputeSelectionStats(cells, {3, 0, 3, 1}), comma),
              "Sum=1,5; Min=1,5; Max=1,5; Mean=1,5; Numbers=1; Text=1");
}

TEST(StatusText, PaneTexts) {
    EXPECT_EQ(SelectionSizeText({0, 0, 0, 2}), "1 column x 3 rows");
    EXPECT_EQ(SelectionSizeText({0, 4, 3, 4}), "4 columns x 1 row");
    EXPECT_EQ(SelectionSizeText({0, 0, 2046, 2097151}), "2047 columns x 2097152 rows");
    DocumentState doc;
    EXPECT_EQ(FileFormatText(doc, 3), "Format: Binary");
    doc.fileFormat = 2;
    EXPECT_EQ(FileFormatText(doc, 3), "Format: Xml, compressed");
    doc.imported = true;
    doc.importKind = 5;
    EXPECT_EQ(FileFormatText(doc, 3), "Format: Foxpro");
    for (auto [state, text] :
         {std::pair{0, " Edit - Off"}, {1, " Edit - On"}, {2, " Edit - Param"}})
        EXPECT_EQ(EditorStateText(state), text);
    EXPECT_EQ(ZoomText(150), " 150%");
    EXPECT_EQ(LockIconId(0), 0);
    EXPECT_EQ(LockIconId(3), 285);
    EXPECT_EQ(LockIconId(1), 286);
}

TEST(StatusText, PaneEdges) {
    // q = (W - 23 - 5g - 2(t + h)) / 3 with W 800, h 0, g 2, t 100: (800 - 23 - 10 - 200) / 3 =
    // 189.
    EXPECT_EQ(StatusPaneEdges(800, 0, 2, 100), (std::array<int, 6>{188, 379, 570, 596, 698, 800}));
    // A narrow bar narrows panes 0 to 2 first; 3 to 5 keep their widths.
    std::array<int, 6> narrow = StatusPaneEdges(300, 1, 2, 60);
    EXPECT_EQ(narrow[5] - narrow[4], 62);
    EXPECT_EQ(narrow[4] - narrow[3], 62);
    EXPECT_EQ(narrow[3] - narrow[2], 26);
    EXPECT_EQ(narrow[2] - narrow[1], 2 + (300 - 23 - 10 - 2 * 61) / 3);
}

TEST(StatusBarWnd, ReleaseOutsidePaneFiveSendsNothing) {
    CStatusBarWnd bar;
    bar.resize(800, 24);
    bar.show();
    std::vector<int> sent;
    bar.SetCommandSink([&sent](int id) { sent.push_back(id); });
    const QPoint inside5 = bar.PaneRect(5).center();
    const QPoint inside4 = bar.PaneRect(4).center();
    QTest::mousePress(&bar, Qt::LeftButton, {}, inside5);
    EXPECT_EQ(bar.PressedPane(), 5);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, bar.PaneRect(0).center());
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(bar.PressedPane(), 0);
    QTest::mousePress(&bar, Qt::LeftButton, {}, inside5);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, inside5);
    bar.SetPaneText(4, QStringLiteral(" Edit - Param"));
    QTest::mousePress(&bar, Qt::LeftButton, {}, inside4);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, inside4);
    bar.SetPaneText(4, QStringLiteral(" Edit - On"));
    QTest::mousePress(&bar, Qt::LeftButton, {}, inside4);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, inside4);
    EXPECT_EQ(sent, (std::vector<int>{32798, 33023}));
    QTest::mousePress(&bar, Qt::LeftButton, {}, bar.PaneRect(1).center());
    EXPECT_EQ(bar.PressedPane(), 0); // other panes are no buttons
}

// A note of a command ("Saved") shows in pane 0 until a menu opens; once the menu closes the
// pane shows its own text, never the old note again, also after a second menu.
TEST(StatusBarWnd, OldNoteStaysGoneAfterAMenuCloses) {
    CStatusBarWnd bar;
    bar.SetPaneText(0, QStringLiteral("Number 7"));
    bar.showMessage(QStringLiteral("Saved"));
    EXPECT_EQ(bar.ShownText(0).toStdString(), "Saved");
    bar.ShowMenuPrompt(QStringLiteral("Opens a workbook"));
    EXPECT_EQ(bar.ShownText(0).toStdString(), "Opens a workbook");
    bar.ShowMenuPrompt(QStringLiteral("Saves the workbook"));
    EXPECT_EQ(bar.ShownText(0).toStdString(), "Saves the workbook");
    bar.EndMenuPrompt();
    EXPECT_EQ(bar.ShownText(0).toStdString(), "Number 7");
    bar.SetPaneText(0, QStringLiteral("Empty"));
    EXPECT_EQ(bar.ShownText(0).toStdString(), "Empty");
    bar.ShowMenuPrompt(QStringLiteral("Opens a workbook"));
    bar.EndMenuPrompt();
    EXPECT_EQ(bar.ShownText(0).toStdString(), "Empty");
}

} // namespace vl
