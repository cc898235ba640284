// Controls every dialog and page shares: the up-downs beside numeric fields step by 1, then
// by 5 after 4 seconds held and by 10 after 6 (the 3D view's by 5 after 1 second and by 10
// after 2), a label whose text has a mnemonic hands the keyboard to its field, and the first
// field the user types into holds the keyboard when its dialog opens.

#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/changesizedlg.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/gridpage.h"
#include "dialogs/chart/options3dpage.h"
#include "dialogs/chart/stylepage.h"
#include "dialogs/chart/windowpage.h"
#include "dialogs/numberedit.h"
#include "formula/evalcontext.h"
#include "tests/common/waits.h"
#include "tests/dialogs/dialogwalk.h"
#include "tests/dialogs/modaltest.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QWindow>
#include <functional>
#include <map>
#include <string>

namespace vl {

namespace {

// Calls `visit` with every dialog and page the program builds, named.
void WalkEveryDialog(const IClock& clock, const dialogtest::DialogVisit& visit) {
    dialogtest::WalkFormatPages(visit);
    dialogtest::WalkWindowDialogs(clock, visit);
    for (bool width : {false, true}) {
        CChangeSizeDlg size(nullptr, width, 20);
        visit(size, width ? "columnwidth" : "rowheight");
    }
    CEvalContext ctx;
    ContainerDlgHost host;
    host.context = [&ctx] { return &ctx; };
    CContainerPropertiesDlg container(std::move(host), nullptr);
    if (container.Open(nullptr)) {
        for (int n = 0; n < CContainerPropertiesDlg::kPageCount; ++n)
            visit(*container.Page(n), "container-page" + std::to_string(n));
    }
}

// True when the text shows a mnemonic: an "&" that is not one of a doubled pair.
bool HasMnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) return true;
        ++i;
    }
    return false;
}

class DialogControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        InstallClock(&clock);
    }
    void TearDown() override {
        InstallClock(nullptr);
        Profile() = SettingsProfile{};
    }
    // The steps of one up-down held down, at each whole second from 0 to 7.
    std::vector<int> HeldSteps(CUpDown& upDown) {
        std::vector<int> steps;
        const auto saved = upDown.onStep;
        upDown.onStep = [&](int delta) { steps.push_back(delta); };
        for (int second = 0; second <= 7; ++second) {
            upDown.Press(1, second > 0);
            ++clock.now;
        }
        upDown.onStep = saved;
        return steps;
    }

    apptest::FakeUi ui;
    apptest::FakeClock clock;
};

TEST_F(DialogControlsTest, EveryUpDownStepsAsTheFieldsDo) {
    const std::vector<int> usual{1, 1, 1, 1, 5, 5, 10, 10};
    const std::vector<int> view3D{1, 5, 10, 10, 10, 10, 10, 10};
    std::map<std::string, int> counts;
    WalkEveryDialog(clock, [&](QWidget& dialog, const std::string& name) {
        // The print sheet holds all its tabs, the style page all its families.
        if (name == "printsheet-layout" || name == "printsheet-content" ||
            name.rfind("stylepage-", 0) == 0)
            return;
        const bool is3D = dynamic_cast<CChart3DOptionsPage*>(&dialog) != nullptr;
        for (QWidget* child : dialog.findChildren<QWidget*>()) {
            auto* upDown = dynamic_cast<CUpDown*>(child); // it has no meta-object of its own
            if (!upDown) continue;
            ++counts[name];
            EXPECT_EQ(HeldSteps(*upDown), is3D ? view3D : usual)
                << name << " " << upDown->objectName().toStdString();
        }
    });
    // Every dialog with numeric fields, with as many up-downs as it has fields.
    const std::map<std::string, int> expected = {
        {"printsheet-general", 11}, {"options", 3},         {"sort", 5},
        {"xbasefield", 2},          {"rowheight", 2},       {"columnwidth", 2},
        {"container-page2", 1},     {"container-page3", 2}, {"container-page5", 2},
        {"container-page7", 3},     {"container-page8", 6}};
    EXPECT_EQ(counts, expected);
}

TEST_F(DialogControlsTest, EveryLabelWithAMnemonicHasItsField) {
    int labelled = 0;
    const auto check = [&](QWidget& dialog, const std::string& name) {
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!HasMnemonic(label->text())) continue;
            ++labelled;
            EXPECT_NE(label->buddy(), nullptr) << name << ": " << label->text().toStdString();
        }
    };
    WalkEveryDialog(clock, check);
    // The Bookmark Name dialog, as the frame's Add Bookmark opens it.
    bool asked = false;
    dialogtest::WhenModal([&](QWidget* dialog) {
        asked = true;
        check(*dialog, "bookmark");
        auto* label = dialog->findChild<QLabel*>();
        auto* edit = dialog->findChild<QLineEdit*>();
        ASSERT_TRUE(label && edit);
        EXPECT_EQ(label->buddy(), edit);
        // Its mnemonic, not a shown "&": Alt+N puts the keyboard back in the name.
        auto* cancel = dialog->findChildren<QPushButton*>().last();
        cancel->setFocus();
        dialog->activateWindow();
        // On X the dialog is active once the server says so, later on a loaded machine; its
        // mnemonics act only then.
        EXPECT_TRUE(testwait::UntilActive(dialog));
        EXPECT_TRUE(testwait::UntilFocused(cancel));
        QTest::keyClick(dialog, Qt::Key_N, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), edit);
        QTest::keyClicks(edit, QStringLiteral("Q3"));
        qobject_cast<QDialog*>(dialog)->accept();
    });
    QString name;
    EXPECT_EQ(ui.IUiServices::AskBookmarkName(name), IDOK);
    EXPECT_TRUE(asked);
    EXPECT_EQ(name, QStringLiteral("Q3"));
    EXPECT_GT(labelled, 20);
}

// The text fields of a dialog as it opens: line edits (spin boxes' and editable combos'
// too) and text boxes that are shown and enabled, each with its text.
std::map<QWidget*, QString> TextFields(QWidget& dialog) {
    std::map<QWidget*, QString> fields;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&dialog) || !w->isEnabled()) continue;
        if (auto* line = qobject_cast<QLineEdit*>(w); line && !line->isReadOnly())
            fields[w] = line->text();
        else if (auto* text = qobject_cast<QTextEdit*>(w); text && !text->isReadOnly())
            fields[w] = text->toPlainText();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(w); plain && !plain->isReadOnly())
            fields[w] = plain->toPlainText();
    }
    return fields;
}

// What a field shows now.
QString FieldText(QWidget* field) {
    if (auto* line = qobject_cast<QLineEdit*>(field)) return line->text();
    if (auto* text = qobject_cast<QTextEdit*>(field)) return text->toPlainText();
    return qobject_cast<QPlainTextEdit*>(field)->toPlainText();
}

// The name of a control: its own, else that of the control it is part of.
std::string FieldName(const QWidget* field) {
    for (; field; field = field->parentWidget())
        if (!field->objectName().isEmpty() && !field->objectName().startsWith("qt_"))
            return field->objectName().toStdString();
    return "<unnamed>";
}

// Every dialog with a text field, opened as the program opens it, typed into at once with
// keys sent to its window: the control that holds the keyboard, and what the keys made of
// the field they reached ("" where none changed). A proposed name is replaced.
TEST_F(DialogControlsTest, TheFirstFieldTakesWhatIsTypedAsTheDialogOpens) {
    struct Typed {
        std::string holder, text;
        bool operator==(const Typed&) const = default;
    };
    std::map<std::string, Typed> typed;
    const dialogtest::DialogVisit type = [&](QWidget& dialog, const std::string& name) {
        // Pages of a dialog, and sub-pages picked by the user, are not opened as such.
        if (name.rfind("printsheet-", 0) == 0 && name != "printsheet-general") return;
        if (name.rfind("stylepage-", 0) == 0 || name.rfind("container-page", 0) == 0) return;
        const std::map<QWidget*, QString> before = TextFields(dialog);
        if (before.empty()) return;
        dialog.show();
        dialog.activateWindow();
        // On an X server the activation takes the server's round trip, longer when it is busy.
        EXPECT_TRUE(testwait::Until([&] { return dialog.isActiveWindow(); })) << name;
        QApplication::processEvents();
        Typed& result = typed[name];
        if (QWidget* holder = QApplication::focusWidget()) result.holder = FieldName(holder);
        QTest::keyClick(dialog.windowHandle(), '7');
        for (const auto& [field, text] : before)
            if (FieldText(field) != text)
                result.text = FieldName(field) + ": " + FieldText(field).toStdString();
        dialog.hide();
    };
    WalkEveryDialog(clock, type);
    CUserGridlineDlg gridline(2.5, BorderLine{}, nullptr);
    type(gridline, "usergridline");
    FractalSettings fractal{};
    CFractalPropertiesDlg fractalDialog(fractal, nullptr);
    type(fractalDialog, "fractal");
    ChartProportions proportions{50, 60, 10, 20, 30};
    CChartStyleAdvancedDlg advanced(proportions, nullptr);
    type(advanced, "chartstyleadvanced");
    const std::map<std::string, Typed> expected = {
        {"chartstyleadvanced", {"id205", "id205: 7"}},
        {"columnwidth", {"id257", "id257: 7"}},
        {"composer", {"id215", ""}},   // the category list comes first
        {"fontdialog", {"faces", ""}}, // a letter finds a face
        {"fractal", {"id205", "id205: 7"}},
        {"listname", {"id205", "id205: 7"}},
        {"listpage", {"id215", ""}},     // the list chosen first
        {"opentextfile", {"id400", ""}}, // the choices come first
        {"options", {"id205", "id205: 7"}},
        {"password", {"id205", "id205: 7"}},
        {"printsheet-general", {"<unnamed>", ""}}, // its tabs
        {"protection", {"id400", ""}},
        {"rowheight", {"id205", "id205: 7"}},
        {"savetextfile", {"id400", ""}},
        {"sort", {"id216", ""}},
        {"stylename", {"id205", "id205: 7"}},
        {"stylepage", {"id1020", ""}}, // the families first
        {"usergridline", {"id205", "id205: 7"}},
        {"worksheetpage", {"id400", ""}},
        {"xbasefield", {"id205", "id205: 7"}},
    };
    for (const auto& [name, result] : typed) {
        const auto want = expected.find(name);
        ASSERT_NE(want, expected.end()) << name;
        EXPECT_TRUE(result == want->second)
            << name << ": keyboard in " << result.holder << ", typed " << result.text;
    }
    EXPECT_EQ(typed.size(), expected.size());
}

} // namespace

} // namespace vl
