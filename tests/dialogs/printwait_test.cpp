// The wait shown while the print system is slow to take a job: a box with the printer's name
// and Cancel shows once the hand-over is late and holds the keyboard; Escape or Cancel ends
// the wait at once, with nothing more to tell; an answer that comes closes the box.

#include "dialogs/printwaitdlg.h"
#include "print/printerservice.h"
#include "print/printqueues.h"
#include "tests/common/waits.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <utility>

using namespace vl;

namespace {

// A print system that takes jobs after `delayMs`, or holds them until released, answering
// `job` (0: refused).
class SlowQueues : public IPrintQueues {
public:
    int ActiveJobs(const std::string&) const override { return 0; }
    int SubmitPdf(const std::string&, const std::string&, const std::string&, const std::string&,
                  bool) const override {
        const auto start = std::chrono::steady_clock::now();
        while (!released->load() &&
               std::chrono::steady_clock::now() - start < std::chrono::milliseconds(delayMs))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return job;
    }
    std::shared_ptr<std::atomic<bool>> released = std::make_shared<std::atomic<bool>>(false);
    int delayMs = 0;
    int job = 7;
};

QDialog* ShownWait() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("printWait") && w->isVisible())
            return static_cast<QDialog*>(w);
    return nullptr;
}

// Runs the events until the print system answers at once again (a question given up on
// holds it until that question ends).
void UntilThePrintSystemAnswers() {
    QElapsedTimer timer;
    timer.start();
    while (!AskPrintSystem([] {}, 50) && timer.elapsed() < 5000) QApplication::processEvents();
}

struct Outcome {
    ErrorCode error;
    qint64 ms;
    bool shown;           // the box showed
    bool heldKeyboard;    // the box was the active window
    QString text;         // the box's text
    bool closedAfterward; // no box is left
    Qt::WindowFlags flags;
};

// Hands a job to `queues` through the system's printer service; `act` answers a box that
// shows (null: none is touched).
// `early` runs once while the wait runs and before a box shows.
Outcome Submit(std::unique_ptr<SlowQueues> queues, std::function<void(QDialog&)> act,
               std::function<void()> early = nullptr) {
    ShowPrintWaitsInBoxes();
    auto released = queues->released;
    auto service = CreateSystemPrinterService(std::move(queues));
    DeviceMode mode;
    mode.printer.name = "Office Laser";
    Outcome out{};
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [&out, poll, act, &early] {
        QDialog* box = ShownWait();
        if (!box && early) std::exchange(early, nullptr)();
        if (!box) return;
        out.shown = true;
        if (!box->isActiveWindow()) return; // taking the keyboard
        poll->stop();
        out.heldKeyboard = true;
        if (auto* label = box->findChild<QLabel*>()) out.text = label->text();
        out.flags = box->windowFlags();
        if (act) act(*box);
    });
    poll->start(10);
    QElapsedTimer timer;
    timer.start();
    out.error = service->SubmitJob(mode, "/nowhere.pdf");
    out.ms = timer.elapsed();
    delete poll;
    out.closedAfterward = ShownWait() == nullptr;
    released->store(true);
    UntilThePrintSystemAnswers();
    SetPrintWaitFactory(nullptr);
    return out;
}

} // namespace

TEST(PrintWait, EscapeOrCancelEndsAStalledHandOver) {
    struct Row {
        const char* how;
        std::function<void(QDialog&)> act;
    } rows[] = {
        {"Escape", [](QDialog& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
        {"Cancel",
         [](QDialog& box) {
             box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        auto queues = std::make_unique<SlowQueues>();
        queues->delayMs = 60000; // held until released
        const Outcome out = Submit(std::move(queues), row.act);
        EXPECT_EQ(out.error, kErrorNone); // the user ended it: no message follows
        EXPECT_LT(out.ms, 5000);
        EXPECT_GE(out.ms, kPrintWaitShownAfterMs);
        EXPECT_TRUE(out.shown);
        EXPECT_TRUE(out.heldKeyboard);
        EXPECT_EQ(out.text.toStdString(), "Handing the print job to Office Laser...");
        // A title and a close button, nothing to minimize or maximize.
        EXPECT_TRUE(out.flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(out.flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(out.closedAfterward);
    }
}

// A late answer closes the box and counts as it is; a quick one shows no box at all.
TEST(PrintWait, AnAnswerEndsTheWaitAsItIs) {
    struct Row {
        int delayMs, job;
        ErrorCode error;
        bool shown;
    } rows[] = {
        {0, 7, kErrorNone, false},
        {0, 0, kErrorJobRefused, false},
        {kPrintWaitShownAfterMs + 400, 9, kErrorNone, true},
        {kPrintWaitShownAfterMs + 400, 0, kErrorJobRefused, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.delayMs) + " ms, job " + std::to_string(row.job));
        auto queues = std::make_unique<SlowQueues>();
        queues->delayMs = row.delayMs;
        queues->job = row.job;
        const Outcome out = Submit(std::move(queues), nullptr);
        EXPECT_EQ(out.error, row.error);
        EXPECT_EQ(out.shown, row.shown);
        EXPECT_TRUE(out.closedAfterward);
    }
}

// Keys typed while the hand-over runs act nowhere meanwhile and are not lost: those typed
// before the box shows reach the widget they were typed into once the wait ends, in order;
// those typed into the box stay there.
TEST(PrintWait, KeysTypedBeforeTheBoxShowsComeAfterTheWait) {
    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&edit));
    edit.setFocus();
    auto queues = std::make_unique<SlowQueues>();
    queues->delayMs = 60000; // held until released
    QString duringWait = QStringLiteral("unset");
    const Outcome out = Submit(
        std::move(queues),
        [&](QDialog& box) {
            QTest::keyClick(box.windowHandle(), 'x');
            QTest::keyClick(box.windowHandle(), Qt::Key_Escape);
        },
        [&] {
            QWindow* window = edit.windowHandle();
            QTest::keyClick(window, 'a');
            QTest::keyClick(window, '1');
            QTest::keyClick(window, Qt::Key_Home);
            QTest::keyClick(window, 'b');
            duringWait = edit.text();
        });
    EXPECT_TRUE(out.heldKeyboard);
    EXPECT_EQ(out.error, kErrorNone);
    EXPECT_EQ(duringWait.toStdString(), "");
    EXPECT_TRUE(testwait::Until([&] { return edit.text() == QLatin1String("ba1"); }))
        << edit.text().toStdString();
}

// A key kept during the wait that opens a pop-up (Space on a button with a menu) opens it when
// the wait ends, and the keys kept after it go into the pop-up: Down twice and Return choose
// its second item.
TEST(PrintWait, KeysKeptAfterOneThatOpensAPopUpGoIntoThePopUp) {
    QPushButton button(QStringLiteral("Choose"));
    QMenu menu;
    QString chosen;
    for (const char* item : {"one", "two", "three"})
        QObject::connect(menu.addAction(QString::fromLatin1(item)), &QAction::triggered,
                         [&chosen, item] { chosen = QString::fromLatin1(item); });
    button.setMenu(&menu);
    // Keys that miss the menu leave it open, and its loop with it: it is closed after a while so
    // that the checks below report that instead of the run hanging.
    QTimer::singleShot(10000, &menu, [&menu] { menu.hide(); });
    button.show();
    button.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&button));
    button.setFocus();
    ASSERT_TRUE(testwait::UntilFocused(&button));
    auto queues = std::make_unique<SlowQueues>();
    queues->delayMs = 60000; // held until released
    bool openDuringWait = true;
    const Outcome out = Submit(
        std::move(queues),
        [&](QDialog& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Escape); },
        [&] {
            QWindow* window = button.windowHandle();
            QTest::keyClick(window, Qt::Key_Space);
            QTest::keyClick(window, Qt::Key_Down);
            QTest::keyClick(window, Qt::Key_Down);
            QTest::keyClick(window, Qt::Key_Return);
            openDuringWait = menu.isVisible();
        });
    EXPECT_TRUE(out.heldKeyboard);
    EXPECT_FALSE(openDuringWait);
    EXPECT_TRUE(testwait::Until([&] { return chosen == QLatin1String("two"); }))
        << chosen.toStdString();
    EXPECT_TRUE(testwait::Until([&] { return !menu.isVisible(); }));
}
