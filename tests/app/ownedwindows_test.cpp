// Windows that a modeless dialog opens belong to it: the chart container window's Font
// dialog stands over the container window, takes the keyboard and gives it back to that
// window when it closes, not to the main window.

#include "app/activationkeeper.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/dialoguiservices.h"
#include "dialogs/fontdialog.h"
#include "formula/evalcontext.h"
#include "tests/dialogs/dialogtest.h"
#include "tests/common/waits.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vl {

namespace {

CFontColorDlg* ShownFontDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = dynamic_cast<CFontColorDlg*>(w); d && d->isVisible()) return d;
    return nullptr;
}

TEST(OwnedWindowsTest, TheContainersFontDialogGivesTheKeyboardBackToIt) {
    dialogtest::FakeUi base;
    CDialogUiServices services(base);
    SetUiServices(&services);
    QWidget home;
    home.resize(600, 400);
    new CActivationKeeper(&home);
    SetMessageOwner(&home);
    home.show();
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &home; }));
    CEvalContext ctx;
    ContainerDlgHost host;
    host.context = [&ctx] { return &ctx; };
    CContainerPropertiesDlg container(std::move(host), &home);
    ASSERT_TRUE(container.Open(nullptr));
    ASSERT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &container; }));
    // The container's titles: the last page; its first Font... button.
    container.Tabs()->setCurrentIndex(container.Tabs()->count() - 1);
    QPushButton* font = nullptr;
    for (QPushButton* b : container.findChildren<QPushButton*>())
        if (b->text() == QLatin1String("Font...") && b->isVisible()) font = b;
    ASSERT_NE(font, nullptr);
    struct {
        bool shown = false, owned = false, active = false;
    } seen;
    auto* poll = new QTimer(&home);
    QObject::connect(poll, &QTimer::timeout, poll, [&seen, &container, poll] {
        CFontColorDlg* dialog = ShownFontDialog();
        if (!dialog) return;
        seen.shown = true;
        seen.owned = dialog->parentWidget() == &container;
        if (!dialog->isActiveWindow()) return; // taking the keyboard
        seen.active = true;
        poll->stop();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    poll->start(10);
    font->click();
    delete poll;
    EXPECT_TRUE(seen.shown);
    EXPECT_TRUE(seen.owned);
    EXPECT_TRUE(seen.active);
    EXPECT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &container; }))
        << "the keyboard went to "
        << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString()
                                         : std::string("nobody"));
    SetMessageOwner(nullptr);
    SetUiServices(nullptr);
}

} // namespace

} // namespace vl
