// The Statistics dialog by keys through the input queue: a scope chosen by its letter or by
// an arrow counts at once, Escape and Return both close, the scope chosen last opens the next
// dialog, and the grid has the keys again.

#include "dialogs/dialoguiservices.h"
#include "dialogs/statisticsdlg.h"
#include "modaldialogkeys.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "ui_statisticsdlg.h"
#include "wndtest.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace vl {

namespace {

class StatisticsKeysTest : public wndtest::WindowTest {
protected:
    void WithDialog(const std::function<void(CStatisticsDlg&)>& use) {
        wndtest::WithModalDialog<CStatisticsDlg>(ui, *Active(), ID_FILE_STATISTICS, use);
    }
    static QString Total(CStatisticsDlg& dialog) { return dialog.Form().id257->text(); }
};

TEST_F(StatisticsKeysTest, ScopesByKeysCountAtOnceAndTheLastOneStays) {
    ASSERT_NE(NewWindow(), nullptr);
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    Enter(0, 0, QStringLiteral("5"));
    Enter(1, 0, QStringLiteral("x"));
    Enter(1, 1, QStringLiteral("6"));
    Select(0, 0);
    CStatisticsDlg::Scope() = kScopeWorksheet;
    WithDialog([&](CStatisticsDlg& dialog) {
        QWindow* window = dialog.windowHandle();
        EXPECT_EQ(Total(dialog), "3");
        QTest::keyClick(window, Qt::Key_R, Qt::AltModifier);
        EXPECT_TRUE(dialog.Form().id1051->isChecked());
        EXPECT_EQ(Total(dialog), "1");
        QTest::keyClick(window, Qt::Key_Left); // the scopes stand in a row
        EXPECT_TRUE(dialog.Form().id282->isChecked());
        EXPECT_EQ(Total(dialog), "3");
        QTest::keyClick(window, Qt::Key_R, Qt::AltModifier);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    // Cancel keeps the scope last counted, as the next dialog of the run shows.
    EXPECT_EQ(CStatisticsDlg::Scope(), kScopeRange);
    ASSERT_TRUE(testwait::UntilFocused(View()));
    WithDialog([&](CStatisticsDlg& dialog) {
        EXPECT_TRUE(dialog.Form().id1051->isChecked());
        EXPECT_EQ(Total(dialog), "1");
        QTest::keyClick(dialog.windowHandle(), Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(Total(dialog), "3");
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
    });
    EXPECT_EQ(CStatisticsDlg::Scope(), kScopeWorkbook);
    ASSERT_TRUE(testwait::UntilFocused(View()));
    EXPECT_TRUE(ui.boxes.empty());
    CStatisticsDlg::Scope() = kScopeWorksheet;
    Active()->SetModified(false);
}

// The scopes stand in a row; every arrow moves along it, counts at once, and goes round at
// either end, as the option buttons of a group do.
TEST_F(StatisticsKeysTest, EveryArrowMovesAlongTheScopesAndGoesRound) {
    ASSERT_NE(NewWindow(), nullptr);
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    Enter(0, 0, QStringLiteral("5"));
    Enter(1, 1, QStringLiteral("6"));
    Select(0, 0);
    struct Row {
        Qt::Key key;
        uint32_t from, to;
        const char* total; // the new scope's count
    } rows[] = {
        {Qt::Key_Down, kScopeWorksheet, kScopeRange, "1"},
        {Qt::Key_Down, kScopeRange, kScopeWorkbook, "2"},
        {Qt::Key_Up, kScopeWorkbook, kScopeRange, "1"},
        {Qt::Key_Up, kScopeFolder, kScopeWorkbook, "2"},
        {Qt::Key_Right, kScopeRange, kScopeWorkbook, "2"},
        {Qt::Key_Left, kScopeWorkbook, kScopeRange, "1"},
        {Qt::Key_Down, kScopeWorkbook, kScopeFolder, "2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.key) + " from " + std::to_string(row.from));
        CStatisticsDlg::Scope() = row.from;
        WithDialog([&](CStatisticsDlg& dialog) {
            QRadioButton* radios[] = {dialog.Form().id400, dialog.Form().id189, dialog.Form().id282,
                                      dialog.Form().id1051};
            radios[row.from]->setFocus();
            ASSERT_TRUE(testwait::UntilFocused(radios[row.from]));
            ASSERT_TRUE(testwait::PressKey(row.key));
            EXPECT_TRUE(radios[row.to]->hasFocus());
            EXPECT_TRUE(radios[row.to]->isChecked());
            EXPECT_FALSE(radios[row.from]->isChecked());
            EXPECT_EQ(Total(dialog).toStdString(), row.total);
            ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
        });
        EXPECT_EQ(CStatisticsDlg::Scope(), row.to);
    }
    CStatisticsDlg::Scope() = kScopeWorksheet;
    Active()->SetModified(false);
}

} // namespace

} // namespace vl
