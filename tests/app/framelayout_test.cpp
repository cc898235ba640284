// The frame as the user meets it: toolbars that a dialog leaves as they were, and the last
// save's time in the status bar.

#include "app/mainframe.h"
#include "app/statusbarwnd.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "resources/commandids.h"
#include "ui/uiutil.h"
#include "tests/common/waits.h"

#include <QAbstractEventDispatcher>
#include <QComboBox>
#include <QDialog>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace vl {

namespace {

class FrameLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        frame = std::make_unique<CMainFrame>(nullptr, clock, &factory);
        frame->OnCreate();
        frame->resize(900, 600);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get(), testwait::kWindowWaitMs));
    }
    void TearDown() override {
        frame.reset();
        Profile() = SettingsProfile{};
    }
    // What the address band and the formatting band look like now.
    std::pair<bool, int> Bars() const {
        return {frame->Toolbar(kFormattingBar)->isVisible(), frame->AddressBox()->width()};
    }
    // Lets queued events and deferred deletes run, then the loop go idle: what the next turns
    // of the loop would do, whatever time they take on a loaded machine.
    static void Idle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        Q_EMIT QAbstractEventDispatcher::instance()->aboutToBlock();
        QCoreApplication::processEvents();
    }
    // A modal dialog, shown and cancelled.
    void RunDialog() {
        QDialog dialog(frame.get());
        QTimer::singleShot(20, &dialog, &QDialog::reject);
        dialog.exec();
        Idle();
    }

    apptest::FakeUi ui;
    apptest::FakeClock clock;
    apptest::FakeFactory factory;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(FrameLayoutTest, ClosingTheLastWorkbookSetsTheBarsAtOnceAndADialogKeepsThem) {
    frame->OnCommand(ID_FILE_NEW);
    Idle();
    const std::pair<bool, int> open = Bars();
    EXPECT_TRUE(open.first);
    RunDialog();
    EXPECT_EQ(Bars(), open);
    // Closed by its own button: the loop goes idle once more before the deferred delete
    // takes the window, and no input comes after.
    factory.made.back()->parentWidget()->close();
    Q_EMIT QAbstractEventDispatcher::instance()->aboutToBlock();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Q_EMIT QAbstractEventDispatcher::instance()->aboutToBlock();
    ASSERT_EQ(OpenDocumentCount(), 0);
    const std::pair<bool, int> none = Bars();
    EXPECT_FALSE(none.first);
    EXPECT_FALSE(frame->ToolAction(ID_FILE_SAVE)->isEnabled());
    RunDialog();
    EXPECT_EQ(Bars(), none);
}

TEST_F(FrameLayoutTest, LastSavedShowsTheSaveTimeWithoutSeconds) {
    const QLocale locale = QLocale::system();
    if (locale.timeFormat(QLocale::ShortFormat) != QStringLiteral("HH:mm:ss"))
        GTEST_SKIP() << "the texts below are those of the C locale";
    frame->OnCommand(ID_FILE_NEW);
    apptest::FakeWorkbookWnd* book = factory.made.back();
    book->state.fileOpen = true;
    book->state.savedBy = "Ann";
    struct Case {
        const char* saved;
        QDate date;
        const char* time;
    };
    const Case cases[] = {{"2024-03-05T03:51:11", {2024, 3, 5}, "03:51"},
                          {"2024-12-31T23:59:59", {2024, 12, 31}, "23:59"},
                          {"2025-01-01T00:00:00", {2025, 1, 1}, "00:00"}};
    for (const Case& c : cases) {
        book->state.lastSaved = c.saved;
        frame->UpdateStatusBar();
        EXPECT_EQ(frame->StatusBarWnd()->PaneText(2),
                  QStringLiteral("Format: Binary; Last saved: ") +
                      locale.toString(c.date, QLocale::ShortFormat) + QLatin1Char(' ') +
                      QLatin1String(c.time) + QStringLiteral(", by Ann"))
            << c.saved;
    }
}

TEST(TimeFormat, SecondsAndTheirSeparatorGo) {
    const std::pair<const char*, const char*> cases[] = {
        {"HH:mm:ss", "HH:mm"},         {"h:mm:ss AP", "h:mm AP"}, {"HH.mm.ss", "HH.mm"},
        {"HH:mm:ss.zzz", "HH:mm"},     {"H:mm", "H:mm"},          {"hh:mm:ss 't'", "hh:mm 't'"},
        {"'s' HH:mm:ss", "'s' HH:mm"},
    };
    for (const auto& [format, shown] : cases)
        EXPECT_EQ(TimeFormatWithoutSeconds(QString::fromLatin1(format)), QString::fromLatin1(shown))
            << format;
}

} // namespace

} // namespace vl
