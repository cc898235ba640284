#include "dialogs/composer.h"
#include "tests/dialogs/dialogtest.h"
#include "tests/workbookwnd/statustexts.h"
#include "ui_composer.h"

#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

using namespace vl;
using vl::dialogtest::FakeUi;

namespace {

class FakeHost : public IComposerHost {
public:
    bool HasActiveWorkbook() const override { return active; }
    bool GetSelection(Selection& out) const override {
        out = selection;
        return active;
    }
    bool InsertFormula(const std::string& text, bool asValue) override {
        inserted.push_back({text, asValue});
        return succeed;
    }
    bool active = true;
    bool succeed = true;
    Selection selection;
    std::vector<std::pair<std::string, bool>> inserted;
};

int IndexOf(const char* name) {
    for (std::size_t i = 0; i < kCatalogueRows; ++i)
        if (std::string_view(FunctionCatalogue()[i].name) == name) return int(i);
    return -1;
}

class ComposerTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = Profile().composerFormulas;
        Profile().composerFormulas.clear();
        CFormulaComposer::relativeAddressing = false;
    }
    void TearDown() override { Profile().composerFormulas = saved_; }
    FakeUi ui;
    FakeHost host;

private:
    std::vector<ComposerFormula> saved_;
};

void ClickItem(QListWidget* list, const QString& text) {
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    list->scrollToItem(items[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items[0]).center());
}

} // namespace

TEST_F(ComposerTest, ShowsItsControls) {
    CFormulaComposer pane(nullptr, host, 0);
    auto& f = pane.Form();
    const std::pair<QString, QString> rows[] = {
        {pane.windowTitle(), "Formula Composer"},
        {f.id408->text(), "Insert &Formula"},
        {f.id410->text(), "Insert &Value"},
        {f.id215->itemText(0), "mathematical"},
        {f.id215->itemText(11), "all"},
        {f.id33067->menu()->actions()[1]->text(), "Save Worksheet && Cell Address"},
        {f.id33079->menu()->actions()[1]->text(), "Remove All Items"},
    };
    for (const auto& [shown, expected] : rows) EXPECT_EQ(shown, expected);
    EXPECT_EQ(f.id215->count(), 12);
    EXPECT_EQ(f.id1020->count(), 59); // "abs" is mathematical
    pane.ChooseCategory(kCategoryAll);
    EXPECT_EQ(f.id1020->count(), 294);
    for (int i = 1; i < f.id1020->count(); ++i)
        EXPECT_LE(
            f.id1020->item(i - 1)->text().compare(f.id1020->item(i)->text(), Qt::CaseInsensitive),
            0);
    EXPECT_FALSE(f.id1020->findItems("trimMean", Qt::MatchExactly).isEmpty());
}

// The buttons' tips and the menus' prompts are their commands' texts.
TEST_F(ComposerTest, ButtonsAndMenusCarryTheirCommandsTexts) {
    CFormulaComposer pane(nullptr, host, 0);
    auto& f = pane.Form();
    EXPECT_EQ(f.id33067->toolTip(), statustexts::Tooltip(33067));
    EXPECT_EQ(f.id33079->toolTip(), statustexts::Tooltip(33079));
    EXPECT_EQ(f.id33079->toolTip(), QStringLiteral("Remove Current Item"));
    int items = 0;
    for (QToolButton* button : {f.id33067, f.id33079})
        for (QAction* a : button->menu()->actions()) {
            EXPECT_EQ(a->statusTip(), statustexts::Prompt(a->data().toInt()))
                << a->text().toStdString();
            EXPECT_FALSE(a->statusTip().isEmpty()) << a->text().toStdString();
            ++items;
        }
    EXPECT_EQ(items, 6);
}

TEST_F(ComposerTest, FunctionsSlotsAndHistory) {
    CFormulaComposer pane(nullptr, host, IndexOf("sum"));
    pane.show();
    EXPECT_EQ(pane.Prototype(), "=sum(v1)");
    EXPECT_EQ(pane.Formula(), "=sum()");
    pane.ChooseCategory(3); // financial
    EXPECT_EQ(pane.Form().id215->currentIndex(), 3);
    ClickItem(pane.Form().id1020, "npv");
    // Only the current argument is bold.
    QTextCursor cursor(pane.Form().id1064->document());
    cursor.setPosition(2);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(7); // inside "rate"
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(pane.Function(), IndexOf("npv"));
    EXPECT_EQ(pane.Prototype(), "=npv(rate)");
    QTest::mouseClick(pane.Form().id408, Qt::LeftButton);
    ASSERT_EQ(host.inserted.size(), 1u);
    EXPECT_EQ(host.inserted[0].first, "=npv()");
    EXPECT_FALSE(host.inserted[0].second);
    pane.ChooseHistory(0);
    EXPECT_EQ(pane.Prototype(), "=npv(rate, v1)");
    EXPECT_EQ(pane.Slots(), 2);
    // Sorted, "normInv" stands before "normsDist": a click makes the clicked one current.
    pane.ChooseCategory(8);
    ClickItem(pane.Form().id1020, "normInv");
    EXPECT_EQ(pane.Function(), IndexOf("normInv"));
    QTest::mouseClick(pane.Form().id410, Qt::LeftButton);
    EXPECT_TRUE(host.inserted.back().second);
}

TEST_F(ComposerTest, NextStopsAtTheLimits) {
    CFormulaComposer pane(nullptr, host, IndexOf("sum"));
    for (int i = 0; i < 44; ++i) pane.Command(CFormulaComposer::kNext);
    EXPECT_EQ(pane.CurrentArgument(), 44);
    EXPECT_EQ(pane.Slots(), 45);
    EXPECT_TRUE(ui.boxes.empty());
    pane.Command(CFormulaComposer::kNext);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "The maximum number of arguments is 45.");
    EXPECT_EQ(pane.CurrentArgument(), 44);
    EXPECT_EQ(pane.Slots(), 45);
    CFormulaComposer fixed(nullptr, host, IndexOf("atan2"));
    fixed.Command(CFormulaComposer::kNext);
    fixed.Command(CFormulaComposer::kNext);
    EXPECT_EQ(fixed.CurrentArgument(), 1);
    fixed.Command(CFormulaComposer::kPrevious);
    fixed.Command(CFormulaComposer::kPrevious);
    EXPECT_EQ(fixed.CurrentArgument(), 0);
}

TEST_F(ComposerTest, ArgumentsFromTheSelection) {
    struct Row {
        const char* function;
        int command;
        bool relative;
        IComposerHost::Selection selection;
        const char* formula;
    };
    IComposerHost::Selection columns;
    columns.left = 1;
    columns.right = 3;
    columns.bottom = 2097151;
    IComposerHost::Selection a1;
    a1.sheetPath = "Folder\\Sheet";
    a1.activeCellText = "12";
    const Row rows[] = {
        {"sum", CFormulaComposer::kCellAddress, false, columns, "=sum($B:$D)"},
        {"sum", CFormulaComposer::kCellAddress, true, columns, "=sum(B:D)"},
        {"sumIf", CFormulaComposer::kCellAddress, false, a1, "=sumIf($A$1:$A$1, , )"},
        {"abs", CFormulaComposer::kCellAddress, false, a1, "=abs($A$1)"},
        {"abs", CFormulaComposer::kSheetAddress, false, a1, "=abs(Folder\\Sheet!$A$1)"},
        {"abs", CFormulaComposer::kCellValue, false, a1, "=abs(12)"},
    };
    for (const Row& row : rows) {
        host.selection = row.selection;
        CFormulaComposer::relativeAddressing = row.relative;
        CFormulaComposer pane(nullptr, host, IndexOf(row.function));
        pane.Command(row.command);
        EXPECT_EQ(pane.Formula(), row.formula);
    }
    // Without a workbook nothing is taken or inserted.
    host.active = false;
    CFormulaComposer pane(nullptr, host, IndexOf("abs"));
    pane.Command(CFormulaComposer::kCellValue);
    EXPECT_EQ(pane.Formula(), "=abs()");
    EXPECT_FALSE(pane.Form().id408->isEnabled());
}

TEST_F(ComposerTest, HistoryKeepsAHundredAndDropsBadEntries) {
    ComposerFormula bad;
    bad.index = 1000;
    Profile().composerFormulas = {bad};
    CFormulaComposer pane(nullptr, host, IndexOf("abs"));
    EXPECT_TRUE(Profile().composerFormulas.empty());
    EXPECT_EQ(pane.Form().id229->count(), 0);
    for (int i = 0; i < 101; ++i) {
        pane.Form().id229->setEditText(QString("=%1").arg(i));
        QTest::mouseClick(pane.Form().id408, Qt::LeftButton);
    }
    EXPECT_EQ(Profile().composerFormulas.size(), 100u);
    EXPECT_EQ(pane.Form().id229->count(), 100);
    EXPECT_EQ(pane.Form().id229->itemText(0), "=100");
    EXPECT_EQ(pane.Form().id229->itemText(99), "=1");
    // A text without "=" or a failed store adds nothing.
    pane.Form().id229->setEditText("1+1");
    QTest::mouseClick(pane.Form().id408, Qt::LeftButton);
    host.succeed = false;
    pane.Form().id229->setEditText("=2");
    QTest::mouseClick(pane.Form().id408, Qt::LeftButton);
    EXPECT_EQ(pane.Form().id229->itemText(0), "=100");
    ui.boxAnswer = IDYES;
    pane.Command(CFormulaComposer::kRemoveAll);
    EXPECT_TRUE(Profile().composerFormulas.empty());
}

TEST_F(ComposerTest, TheCommandShowsAndHidesThePane) {
    CComposerPane pane(host);
    EXPECT_TRUE(pane.Toggle(nullptr));
    EXPECT_TRUE(pane.IsVisible());
    EXPECT_EQ(Profile().composerVisible, 1);
    EXPECT_FALSE(pane.Toggle(nullptr));
    EXPECT_FALSE(pane.IsVisible());
    EXPECT_EQ(Profile().composerVisible, 0);
    // A recent formula chosen from the menu goes into the active cell as Insert puts it,
    // and leads the history; the pane shows it.
    Profile().composerFormulas = {PackHistoryEntry(uint16_t(IndexOf("sum")), {"A1", "2"}, 2),
                                  PackHistoryEntry(uint16_t(IndexOf("npv")), {"0.1"}, 1)};
    pane.UseHistoryEntry(nullptr, 1);
    ASSERT_TRUE(pane.IsVisible());
    EXPECT_EQ(host.inserted, (std::vector<std::pair<std::string, bool>>{{"=npv(0.1)", false}}));
    EXPECT_EQ(pane.Pane()->Prototype(), "=npv(rate, v1)");
    EXPECT_EQ(pane.Pane()->Formula(), "=npv(0.1)");
    ASSERT_EQ(Profile().composerFormulas.size(), 2u);
    EXPECT_EQ(HistoryText(Profile().composerFormulas[0]), "=npv(0.1)");
    EXPECT_EQ(HistoryText(Profile().composerFormulas[1]), "=sum(A1, 2)");
    // A store the window refuses leaves the history as it was.
    host.succeed = false;
    pane.UseHistoryEntry(nullptr, 1);
    EXPECT_EQ(host.inserted.back().first, "=sum(A1, 2)");
    EXPECT_EQ(HistoryText(Profile().composerFormulas[0]), "=npv(0.1)");
    // Without a workbook the formula is only shown.
    host.active = false;
    pane.UseHistoryEntry(nullptr, 1);
    EXPECT_EQ(host.inserted.size(), 2u);
    EXPECT_EQ(pane.Pane()->Prototype(), "=sum(v1, v2, v3)");
}
