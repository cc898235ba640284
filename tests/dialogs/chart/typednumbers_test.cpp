// Numbers typed into the chart pages and their dialogs (the Data page's limits, a
// user-defined gridline, the fractal parameters): one number in the user's decimal separator
// with blanks around it is stored; anything else beeps and stores nothing.

#include "../dialogtest.h"
#include "core/settings.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/datapage.h"
#include "dialogs/chart/gridpage.h"
#include "dialogs/chart/windowpage.h"
#include "model/container.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <optional>

namespace vl {

namespace {

struct Typed {
    const char* text;
    std::optional<double> point; // stored with "." as the decimal separator
    std::optional<double> comma; // with ","
};

// What the user's recogniser of typed cells would take, as money, percent, grouping,
// parentheses or a fraction, is no plain number here.
const Typed kTyped[] = {
    {"12.5", 12.5, 12.5},
    {"  -3  ", -3, -3},
    {"12,5", std::nullopt, 12.5},
    {"  12,5", std::nullopt, 12.5},
    {"1.234", 1.234, 1.234},
    {"1e3", 1000, 1000},
    {"", 0, 0},
    {"12%", std::nullopt, std::nullopt},
    {"1,234", std::nullopt, 1.234},
    {"1.234,5", std::nullopt, std::nullopt},
    {"(5)", std::nullopt, std::nullopt},
    {"$5", std::nullopt, std::nullopt},
    {"1 1/2", std::nullopt, std::nullopt},
    {"1/2", std::nullopt, std::nullopt},
    {"5 x", std::nullopt, std::nullopt},
    {"abc", std::nullopt, std::nullopt},
};

// Each case with both decimal separators: the user set as a German or an English user has it.
template <class Run> void ForEachCase(Run run) {
    const SeparatorSet saved = UserSeparators();
    for (const char decimal : {'.', ','}) {
        UserSeparators().decimal = decimal;
        UserSeparators().thousands = decimal == ',' ? '.' : ',';
        UserSeparators().list = decimal == ',' ? ';' : ',';
        for (const Typed& t : kTyped) {
            SCOPED_TRACE(std::string("\"") + t.text + "\" with " + decimal);
            run(t, decimal == ',' ? t.comma : t.point);
        }
    }
    UserSeparators() = saved;
}

void TypeInto(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

void ClickOk(QDialog& dialog) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

} // namespace

// The From and To limits of the Data page, typed and applied with the window's Apply button.
TEST(ChartTypedNumbers, TheDataPageStoresPlainNumbersOnly) {
    ForEachCase([](const Typed& t, std::optional<double> stored) {
        dialogtest::FakeUi ui;
        Profile().addressingA1 = 1;
        std::optional<SeriesSettings> applied;
        ContainerDlgHost host;
        host.apply = [&](const CContainer& c) {
            if (const CChart* chart = c.slots[0].chart.get()) applied = chart->series[0].settings;
        };
        CContainerPropertiesDlg dlg(host, nullptr);
        ASSERT_TRUE(dlg.Open(nullptr));
        dlg.ChooseObject(CContainerPropertiesDlg::kAdd2D);
        dlg.OnCommand(CContainerPropertiesDlg::kAddSeries);
        dlg.show();
        dlg.Tabs()->setCurrentIndex(0);
        auto* page = static_cast<CChartDataPage*>(dlg.Page(0));
        for (const auto& [box, edit] : {std::pair(216, 205), std::pair(218, 257)}) {
            SCOPED_TRACE(box);
            applied.reset();
            QCheckBox* check = page->Item<QCheckBox>(box);
            if (!check->isChecked()) QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, 4));
            ASSERT_TRUE(check->isChecked());
            QLineEdit* line = page->Item<QLineEdit>(edit);
            TypeInto(line, t.text);
            const int beeps = ui.beeps;
            QTest::mouseClick(dlg.Button(CContainerPropertiesDlg::kApply), Qt::LeftButton);
            EXPECT_EQ(applied.has_value(), stored.has_value());
            EXPECT_EQ(ui.beeps, beeps + (stored ? 0 : 1));
            if (stored && applied) {
                EXPECT_DOUBLE_EQ(box == 216 ? applied->fromValue : applied->toValue, *stored);
            }
            if (!stored) {
                EXPECT_EQ(dlg.focusWidget(), line);
                TypeInto(line, "1"); // the next limit starts from a page that applies
            }
        }
    });
}

// A user-defined gridline's value, typed and confirmed with OK.
TEST(ChartTypedNumbers, AGridlineValueIsAPlainNumber) {
    ForEachCase([](const Typed& t, std::optional<double> stored) {
        dialogtest::FakeUi ui;
        CUserGridlineDlg dlg(2.5, {5, 1, 0xFF0000}, nullptr);
        dlg.show();
        TypeInto(dlg.ValueEdit(), t.text);
        ClickOk(dlg);
        EXPECT_EQ(dlg.result() == QDialog::Accepted, stored.has_value());
        EXPECT_EQ(ui.beeps, stored ? 0 : 1);
        if (stored) {
            EXPECT_DOUBLE_EQ(dlg.Value(), *stored);
        }
    });
}

// A fractal parameter, typed and confirmed with OK; a refused one leaves all six as they were.
TEST(ChartTypedNumbers, FractalParametersArePlainNumbers) {
    ForEachCase([](const Typed& t, std::optional<double> stored) {
        dialogtest::FakeUi ui;
        FractalSettings f;
        f.params = {0.5, 0.25, -2, 2, -1, 1};
        const FractalSettings before = f;
        CFractalPropertiesDlg dlg(f, nullptr);
        dlg.show();
        TypeInto(dlg.Param(2), t.text);
        ClickOk(dlg);
        EXPECT_EQ(dlg.result() == QDialog::Accepted, stored.has_value());
        EXPECT_EQ(ui.beeps, stored ? 0 : 1);
        if (stored) {
            EXPECT_DOUBLE_EQ(f.params[2], *stored);
        } else {
            EXPECT_EQ(f.params, before.params);
        }
    });
}

} // namespace vl
