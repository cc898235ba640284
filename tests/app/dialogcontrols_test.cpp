// Controls every dialog and page shares: the up-downs beside numeric fields step by 1, then
// by 5 after 4 seconds held and by 10 after 6 (the 3D view's by 5 after 1 second and by 10
// after 2), and a label whose text has a mnemonic hands the keyboard to its field.

#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/changesizedlg.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/options3dpage.h"
#include "dialogs/numberedit.h"
#include "formula/evalcontext.h"
#include "tests/dialogs/dialogwalk.h"
#include "tests/dialogs/modaltest.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
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
        QApplication::processEvents();
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

} // namespace

} // namespace vl
