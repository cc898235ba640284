#include "core/settings.h"
#include "dialogs/dialoguiservices.h"
#include "dialogs/numberedit.h"
#include "dialogs/sortdlg.h"
#include "dialogs/statisticsdlg.h"
#include "model/blockobject.h"
#include "model/container.h"
#include "model/workbook.h"
#include "tests/dialogs/dialogtest.h"
#include "tests/dialogs/modaltest.h"
#include "ui_sortdlg.h"
#include "ui_statisticsdlg.h"

#include <QPushButton>
#include <QRadioButton>

using namespace vl;
using namespace vl::dialogtest;

namespace {

void PutNumber(CWorksheet& sheet, uint16_t column, uint32_t row, double value = 1) {
    CellBuffer b;
    MakeNumberCell(b, column, row, value);
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(b.bytes, cursor));
}

void PutText(CWorksheet& sheet, uint16_t column, uint32_t row) {
    CellBuffer b;
    MakeTextCell(b, column, row, "t");
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(b.bytes, cursor));
}

void PutFormula(CWorksheet& sheet, uint16_t column, uint32_t row, uint8_t result,
                uint8_t error = 0) {
    FormulaHead head;
    head.flags = uint8_t(kCellFormula | (error << 4));
    head.resultFlags = result;
    CellBuffer b;
    MakeFormulaCell(b, column, row, head, "1", "t");
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(b.bytes, cursor));
}

void AddContainer(CWorksheet& sheet) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    LinkContainer(sheet, std::move(c));
}

struct Counts {
    QString sheets, total, numbersText, numberFormulas, arrays, texts, errors, containers;
    bool operator==(const Counts&) const = default;
};

Counts Shown(CStatisticsDlg& d) {
    Ui::StatisticsDialog& f = d.Form();
    return {f.id205->text(),  f.id257->text(),  f.id405->text(), f.id207->text(),
            f.id1006->text(), f.id1005->text(), f.id259->text(), f.id406->text()};
}

void PrintTo(const Counts& c, std::ostream* os) {
    *os << c.sheets.toStdString() << " | " << c.total.toStdString() << " | "
        << c.numbersText.toStdString() << " | " << c.numberFormulas.toStdString() << " "
        << c.arrays.toStdString() << " " << c.texts.toStdString() << " " << c.errors.toStdString()
        << " | " << c.containers.toStdString();
}

QRadioButton* ScopeRadio(CStatisticsDlg& d, int scope) {
    QRadioButton* radios[] = {d.Form().id400, d.Form().id189, d.Form().id282, d.Form().id1051};
    return radios[scope];
}

} // namespace

TEST(SortDialog, BuiltAsTheTemplate) {
    FakeUi ui;
    SortSettings settings;
    settings.keys[3] = {1, 1024, 1};
    CSortDlg dialog(nullptr, settings);
    EXPECT_EQ(dialog.windowTitle(), "Sort");
    for (int i = 0; i < CSortDlg::kKeys; ++i) {
        const CSortDlg::KeyControls k = dialog.Key(i);
        EXPECT_EQ(k.used->text(), QString("&%1. Sort Column Position:").arg(i + 1));
        EXPECT_EQ(k.order->itemText(0), "Ascending order");
        EXPECT_EQ(k.order->itemText(1), "Descending order");
        EXPECT_EQ(k.position->NumberKind(), CNumberEdit::kInteger);
        EXPECT_EQ(k.used->isChecked(), i == 0 || i == 3);
        EXPECT_EQ(k.position->text(), i == 3 ? "1024" : "1");
        EXPECT_EQ(k.order->currentIndex(), i == 3 ? 1 : 0);
    }
    for (const char* name : {"id369", "id370", "id1008", "id1009", "id1010"})
        EXPECT_NE(dialog.findChild<CUpDown*>(name), nullptr);
}

// A used key's position must be a number from 1 to 1,024: else a beep, the focus, and the
// dialog stays with the settings untouched.
TEST(SortDialog, OkRefusesAUsedKeysBadPosition) {
    const struct {
        int key;
        bool used;
        const char* typed;
        bool ok;
        uint32_t stored;
    } cases[] = {
        {1, true, "1024", true, 1024}, {1, true, "1025", false, 0}, {1, true, "0", false, 0},
        {1, true, "", false, 0},       {1, true, "x", false, 0},    {1, true, "1", true, 1},
        {1, false, "", true, 7},       {1, false, "5000", true, 7}, {4, true, " 12 ", true, 12},
    };
    for (const auto& c : cases) {
        FakeUi ui;
        SortSettings settings;
        for (SortKeySetting& k : settings.keys) k.position = 7;
        const SortSettings before = settings;
        CSortDlg dialog(nullptr, settings);
        dialog.show();
        const CSortDlg::KeyControls k = dialog.Key(c.key);
        k.used->setChecked(c.used);
        k.position->setText(c.typed);
        k.order->setCurrentIndex(1);
        dialog.Form().id1->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.ok) << c.typed;
        EXPECT_EQ(ui.beeps, c.ok ? 0 : 1);
        if (!c.ok) {
            EXPECT_EQ(dialog.focusWidget(), k.position);
            EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
            continue;
        }
        EXPECT_EQ(settings.keys[c.key].position, c.stored);
        EXPECT_EQ(settings.keys[c.key].enabled, c.used ? 1u : 0u);
        EXPECT_EQ(settings.keys[c.key].descending, 1u);
    }
}

TEST(SortDialog, ThroughTheServicesOkReplacesCancelKeeps) {
    const SortSettings start;
    EXPECT_EQ(start.keys[0].enabled, 1u);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(start.keys[i].enabled, 0u);
    for (const SortKeySetting& k : start.keys) EXPECT_EQ(k.position, 1u);
    FakeUi fake;
    CDialogUiServices services(fake);
    SetUiServices(&services);
    EXPECT_TRUE(services.HasSortDialog());
    for (const bool ok : {false, true}) {
        SortSettings settings;
        WhenModal([ok](QWidget* w) {
            Child<QCheckBox>(w, "id218")->setChecked(true);
            Child<QLineEdit>(w, "id257")->setText("3");
            Child<QPushButton>(w, ok ? "id1" : "id2")->click();
        });
        EXPECT_EQ(services.SortDialog(settings), ok ? IDOK : IDCANCEL);
        EXPECT_EQ(settings.keys[1].enabled, ok ? 1u : 0u);
        EXPECT_EQ(settings.keys[1].position, ok ? 3u : 1u);
    }
    SetUiServices(&fake);
}

TEST(StatisticsDialog, BuiltAsTheTemplateAndOpensOnTheWorksheet) {
    FakeUi ui;
    auto book = CreateWorkbook();
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1);
    book->tree.active = AsWorksheet(book->tree.first);
    ASSERT_EQ(CStatisticsDlg::Scope(), kScopeWorksheet); // the first of the run
    CStatisticsDlg dialog(nullptr, *book, {});
    Ui::StatisticsDialog& f = dialog.Form();
    EXPECT_EQ(dialog.windowTitle(), "Statistics");
    EXPECT_TRUE(f.id282->isChecked());
    const std::pair<QString, QString> labels[] = {
        {f.id400->text(), "&Workbook"},
        {f.id189->text(), "&Folder"},
        {f.id282->text(), "Work&sheet"},
        {f.id1051->text(), "&Range"},
        {f.label205->text(), "Worksheets / Folders:"},
        {f.label257->text(), "Total cells:"},
        {f.label405->text(), "Numbers / Text:"},
        {f.group->title(), "Formulas returning"},
        {f.label207->text(), "Numbers:"},
        {f.label1006->text(), "Arrays:"},
        {f.label1005->text(), "Text:"},
        {f.label259->text(), "Errors:"},
        {f.label406->text(), "Containers:"},
    };
    for (const auto& [shown, expected] : labels) EXPECT_EQ(shown, expected);
    const Counts empty{"1 / 0", "0", "0 / 0", "0", "0", "0", "0", "0"};
    for (int scope = 0; scope < 4; ++scope) {
        ScopeRadio(dialog, scope)->click();
        EXPECT_EQ(Shown(dialog), empty) << scope;
        EXPECT_EQ(CStatisticsDlg::Scope(), uint32_t(scope));
    }
    // The next dialog of the run opens on the scope chosen last.
    CStatisticsDlg again(nullptr, *book, {});
    EXPECT_TRUE(again.Form().id1051->isChecked());
    CStatisticsDlg::Scope() = kScopeWorksheet;
}

TEST(StatisticsDialog, CountsEveryScope) {
    FakeUi ui;
    // Top (worksheet), Folder A { In (worksheet), Folder B { Deep (worksheet) } }, Last.
    auto book = CreateWorkbook();
    CWorksheet& top = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Top", 1));
    book->AppendTreeItem(TREE_TYPE_FOLDER, "A", 1);
    CWorksheet& in = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "In", 2));
    book->AppendTreeItem(TREE_TYPE_FOLDER, "B", 2);
    CWorksheet& deep = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Deep", 3));
    CWorksheet& last = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Last", 1));
    PutNumber(top, 0, 0);
    PutText(top, 1, 0);
    PutNumber(in, 0, 0);
    PutNumber(in, 5, 5);
    PutText(in, 1, 1);
    PutFormula(in, 2, 2, kResultNumber);
    PutFormula(in, 2, 3, kResultText);
    PutFormula(in, 2, 4, kResultArray);
    PutFormula(in, 2, 5, kResultNumber, 7); // an error counts under Errors only
    PutFormula(in, 2, 6, kResultText | kResultNumber);
    AddContainer(in);
    AddContainer(in);
    PutNumber(deep, 3, 3);
    AddContainer(deep);
    PutText(last, 0, 0);
    for (uint32_t i = 0; i < 1000; ++i) PutNumber(last, 1, i);
    const struct {
        CWorksheet* active;
        uint32_t scope;
        CellRange range;
        Counts shown;
    } cases[] = {
        {&in, kScopeWorkbook, {}, {"4 / 2", "1,012", "1,004 / 3", "1", "1", "2", "1", "3"}},
        {&in, kScopeFolder, {}, {"2 / 1", "9", "3 / 1", "1", "1", "2", "1", "3"}},
        {&deep, kScopeFolder, {}, {"1 / 0", "1", "1 / 0", "0", "0", "0", "0", "1"}},
        {&in, kScopeWorksheet, {}, {"1 / 0", "8", "2 / 1", "1", "1", "2", "1", "2"}},
        {&in, kScopeRange, {2, 2, 2, 4}, {"1 / 0", "3", "0 / 0", "1", "1", "1", "0", "2"}},
        {&in, kScopeRange, {0, 0, 0, 0}, {"1 / 0", "1", "1 / 0", "0", "0", "0", "0", "2"}},
        {&top, kScopeFolder, {}, {"4 / 2", "1,012", "1,004 / 3", "1", "1", "2", "1", "3"}},
        {&last, kScopeWorksheet, {}, {"1 / 0", "1,001", "1,000 / 1", "0", "0", "0", "0", "0"}},
    };
    for (const auto& c : cases) {
        book->tree.active = c.active;
        CStatisticsDlg::Scope() = c.scope;
        CStatisticsDlg dialog(nullptr, *book, c.range);
        EXPECT_EQ(Shown(dialog), c.shown) << c.active->name << " " << c.scope;
    }
    // The user's thousands separator.
    const char kept = UserSeparators().thousands;
    UserSeparators().thousands = '.';
    UserSeparators().decimal = ',';
    book->tree.active = &last;
    CStatisticsDlg::Scope() = kScopeWorksheet;
    CStatisticsDlg dotted(nullptr, *book, {});
    EXPECT_EQ(dotted.Form().id405->text(), "1.000 / 1");
    UserSeparators().thousands = kept;
    UserSeparators().decimal = '.';
    EXPECT_EQ(CountText(999), "999");
    EXPECT_EQ(CountText(1234567), "1,234,567");
}
