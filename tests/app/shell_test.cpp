#include "app/mainframe.h"
#include "app/shell.h"
#include "app/workbookwndapi.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"
#include "dialogs/formatpages.h"
#include "formula/externalref.h"
#include "model/workbook.h"
#include "profile/profile.h"
#include "resources/commandids.h"
#include "tests/print/fakeprinters.h"
#include "tests/common/waits.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace vl {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        where.configHome = dir.path();
        where.exeDir = QStringLiteral("/usr/bin");
        where.programFiles = QStringLiteral("/usr");
        io.load = [this](const QString& path, bool show) {
            loads.push_back(path);
            EXPECT_TRUE(show);
            return loadResult;
        };
        io.save = [this](const QString& path, bool show) {
            saves.push_back(path);
            EXPECT_FALSE(show);
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("new");
            return 0;
        };
    }
    void TearDown() override {
        Profile() = SettingsProfile{};
        SetProfileErrorReporter(nullptr); // DefaultProfileIo installs one
        apptest::TakeBackTheQuit();
    }
    QString ProfileFile() const { return dir.path() + QStringLiteral("/Vorlane/settings.xml"); }
    void MakeProfileFile() {
        QDir().mkpath(dir.path() + QStringLiteral("/Vorlane"));
        QFile f(ProfileFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ProfileLocations where;
    ProfileIo io;
    std::vector<QString> loads, saves;
    int loadResult = 0;
    apptest::FakeTimers timers;
    apptest::FakeClock clock;
    apptest::FakeUi ui;
};

TEST_F(ShellTest, RegistrationSwitchLeavesTheProfileAlone) {
    MakeProfileFile();
    struct Case {
        const char* argument;
        int result;
        std::vector<bool> calls;
    };
    const Case cases[] = {{"-RegServer", 0, {true}},
                          {"--unregserver", 0, {false}},
                          {"-Uninstall", 0, {false}},
                          {"-RegServer", 1, {true}}};
    for (const Case& c : cases) {
        std::vector<bool> calls;
        CApplicationShell shell(timers, clock, io);
        AutomationHooks hooks;
        hooks.registration = [&](bool registering, int&) {
            calls.push_back(registering);
            return c.result;
        };
        hooks.startServer = [](CServerModule&, StartMode) { ADD_FAILURE() << "server started"; };
        shell.SetAutomationHooks(hooks);
        EXPECT_FALSE(shell.Start({QString::fromLatin1(c.argument)}, where));
        EXPECT_EQ(shell.ExitCode(), c.result);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(shell.Frame(), nullptr);
    }
    CApplicationShell without(timers, clock, io);
    EXPECT_FALSE(without.Start({QStringLiteral("-RegServer")}, where));
    EXPECT_EQ(without.ExitCode(), 1);
    EXPECT_TRUE(loads.empty());
    EXPECT_TRUE(saves.empty());
}

TEST_F(ShellTest, AutomationStartsTheServerAndAnUnusedOneTimesOut) {
    CApplicationShell shell(timers, clock, io);
    std::vector<StartMode> started;
    AutomationHooks hooks;
    hooks.startServer = [&](CServerModule& module, StartMode mode) {
        EXPECT_EQ(&module, &shell.Module());
        started.push_back(mode);
    };
    shell.SetAutomationHooks(hooks);
    ASSERT_TRUE(shell.Start({QStringLiteral("-Automation")}, where));
    EXPECT_EQ(started, std::vector<StartMode>{StartMode::kAutomation});
    EXPECT_EQ(shell.Module().LockCount(), 0);
    EXPECT_FALSE(shell.Module().Quitting());
    timers.Advance(CServerModule::kTimeoutMs - 1);
    EXPECT_FALSE(shell.Module().Quitting());
    timers.Advance(1); // the time-out passed with no client: the pause begins
    EXPECT_TRUE(shell.Module().Quitting());
}

// A save that died left its temporary in the private folder of the state folder: the start
// removes it, and leaves a copy a cut rewrite kept there.
TEST_F(ShellTest, TheStartClearsWhatDeadSavesLeftInTheStateFolder) {
    const QString saves = dir.path() + QStringLiteral("/state/Vorlane/saves");
    ASSERT_TRUE(QDir().mkpath(saves));
    ASSERT_TRUE(QFile::setPermissions(saves, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner));
    qputenv("XDG_STATE_HOME", (dir.path() + QStringLiteral("/state")).toLocal8Bit());
    const QString dead = saves + QStringLiteral("/.book.vlb-0123456789abcdef.~4242.0");
    const QString kept = saves + QStringLiteral("/book.vlb-0123456789abcdef.~saved");
    for (const QString& path : {dead, kept}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    CApplicationShell shell(timers, clock, io);
    ASSERT_TRUE(shell.Start({QStringLiteral("-Automation")}, where));
    qunsetenv("XDG_STATE_HOME");
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(kept));
}

TEST_F(ShellTest, AutomationHasNoWindowButReadsAndWritesTheProfile) {
    MakeProfileFile();
    loadResult = 56; // a profile that failed to load is kept beside the new one
    CApplicationShell shell(timers, clock, io);
    ASSERT_TRUE(shell.Start({QStringLiteral("--embedding")}, where));
    EXPECT_EQ(shell.Mode(), StartMode::kAutomation);
    EXPECT_EQ(shell.Frame(), nullptr);
    EXPECT_EQ(loads, std::vector<QString>{ProfileFile()});
    // Formulas reach the workbooks of open windows by their document path.
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/Open.vln";
    CWorkbook open;
    ASSERT_TRUE(open.stream.Open(path.c_str(), "w+b", false, 4096));
    DocumentTable()[3].workbook = &open;
    EXPECT_EQ(FindOpenWorkbook(QString::fromStdString(path).toUpper().toStdString()), &open);
    DocumentTable()[3].workbook = nullptr;
    shell.Finish(0);
    EXPECT_EQ(saves, std::vector<QString>{ProfileFile()});
    EXPECT_EQ(Contents(ProfileFile() + QStringLiteral(".bak")), QByteArray("old"));
    EXPECT_EQ(Contents(ProfileFile()), QByteArray("new"));
}

// The backup of an unreadable profile goes the way of every save: a backup that is a link
// stays a link and the file it names takes the copy.
TEST_F(ShellTest, TheProfileBackupKeepsALink) {
    MakeProfileFile();
    loadResult = 56;
    QTemporaryDir dir;
    const QString real = dir.path() + QStringLiteral("/real.bak");
    const QString backup = ProfileFile() + QStringLiteral(".bak");
    QFile::remove(backup);
    ASSERT_TRUE(QFile::link(real, backup));
    CApplicationShell shell(timers, clock, io);
    ASSERT_TRUE(shell.Start({QStringLiteral("--embedding")}, where));
    shell.Finish(0);
    EXPECT_TRUE(QFileInfo(backup).isSymLink());
    EXPECT_EQ(Contents(real), QByteArray("old"));
    EXPECT_EQ(Contents(ProfileFile()), QByteArray("new"));
}

// The shell gives its frame the print sheet's services over the printers it was given;
// without printers the printing commands stay disabled, with them they follow the window.
TEST_F(ShellTest, TheFramePrintsThroughThePrintersTheShellWasGiven) {
    printtest::FakePrinters printers;
    const int printing[] = {ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT}; // the standard toolbar's
    for (const bool given : {false, true}) {
        SCOPED_TRACE(given);
        apptest::FakeFactory factory;
        CApplicationShell shell(timers, clock, io, &factory, given ? &printers : nullptr);
        ASSERT_TRUE(shell.Start({}, where));
        CMainFrame& frame = *shell.Frame();
        for (int id : printing) ASSERT_NE(frame.ToolAction(id), nullptr) << id;
        frame.OnIdle();
        for (int id : printing) EXPECT_FALSE(frame.ToolAction(id)->isEnabled()) << id;
        frame.OnCommand(ID_FILE_NEW);
        frame.OnIdle();
        for (int id : printing) EXPECT_EQ(frame.ToolAction(id)->isEnabled(), given) << id;
        frame.close();
        shell.Finish(0);
    }
}

// A composer pane given before the start reaches the frame the start makes; taken away, the
// frame loses it too and its View command greys. The format pages are the shell's own.
TEST_F(ShellTest, TheComposerPaneGivenToTheShellIsTheFrames) {
    struct Pane : IComposerPane {
        bool Toggle(QWidget*) override { return true; }
        bool IsVisible() const override { return false; }
        void UseHistoryEntry(QWidget*, int) override {}
    } pane;
    CApplicationShell shell(timers, clock, io);
    shell.SetComposerPane(&pane);
    ASSERT_TRUE(shell.Start({}, where));
    CMainFrame& frame = *shell.Frame();
    EXPECT_EQ(frame.ComposerPane(), &pane);
    EXPECT_NE(dynamic_cast<CFormatPages*>(frame.FormatPages()), nullptr);
    frame.OnIdle();
    EXPECT_TRUE(frame.Action(ID_VIEW_COMPOSER)->isEnabled());
    shell.SetComposerPane(nullptr);
    EXPECT_EQ(frame.ComposerPane(), nullptr);
    frame.OnIdle();
    EXPECT_FALSE(frame.Action(ID_VIEW_COMPOSER)->isEnabled());
    frame.close();
    shell.Finish(0);
}

TEST_F(ShellTest, ClosingTheFrameQuitsAtOnceAndWritesTheProfileIntoANewFolder) {
    CApplicationShell shell(timers, clock, io);
    ASSERT_TRUE(shell.Start({}, where));
    EXPECT_TRUE(loads.empty()); // no file yet: the defaults stay
    ASSERT_NE(shell.Frame(), nullptr);
    EXPECT_EQ(shell.Module().LockCount(), 1);
    shell.Frame()->close();
    EXPECT_EQ(shell.Module().LockCount(), 0);
    EXPECT_TRUE(shell.Module().Quitting());
    EXPECT_EQ(shell.Module().PauseMs(), 0);
    shell.Finish(0);
    EXPECT_EQ(Contents(ProfileFile()), QByteArray("new"));
}

TEST_F(ShellTest, SavedRectangleOrDefaultPlacement) {
    Profile().frameShow = kShowRestored;
    Profile().frameRect = {20, 30, 420, 330};
    std::optional<QRect> rect = CApplicationShell::StartRect();
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, QRect(20, 30, 400, 300));
    Profile().frameRect = {20, 30, 20, 330}; // empty
    EXPECT_FALSE(CApplicationShell::StartRect().has_value());
    Profile().frameRect = {-9000, -9000, -8000, -8000}; // off every screen
    EXPECT_FALSE(CApplicationShell::StartRect().has_value());
    Profile().frameRect = {20, 30, 420, 330};
    Profile().frameShow = kShowMaximized;
    EXPECT_FALSE(CApplicationShell::StartRect().has_value());
}

TEST_F(ShellTest, AFrameWithoutAUsableRectangleStartsOverTheWorkArea) {
    struct Case {
        int32_t show;
        ProfileRect rect;
        bool saved; // the saved rectangle is the placement
    };
    const Case cases[] = {{kShowMaximized, {20, 30, 420, 330}, false},
                          {kShowRestored, {20, 30, 20, 330}, false},
                          {kShowRestored, {-9000, -9000, -8000, -8000}, false},
                          {kShowRestored, {20, 30, 420, 330}, true}};
    for (const Case& c : cases) {
        Profile().frameShow = c.show;
        Profile().frameRect = c.rect;
        CApplicationShell shell(timers, clock, io);
        ASSERT_TRUE(shell.Start({}, where));
        ASSERT_NE(shell.Frame(), nullptr);
        const QRect expected =
            c.saved ? QRect(20, 30, 400, 300) : CApplicationShell::DefaultFrameRect();
        // A platform may move the frame by its border; the size is what the panes need.
        EXPECT_EQ(shell.Frame()->normalGeometry().size(), expected.size()) << c.show;
        shell.Frame()->close();
        shell.Finish(0);
    }
}

// Started on a profile whose first element is one of a later version's, the program reads
// every setting after it: A1 addresses, auto-formatting, the bookmarks, the recent files and
// the frame's place; and it writes them all back at exit.
TEST_F(ShellTest, AnUnknownProfileElementLeavesTheLaterSettingsRead) {
    QDir().mkpath(dir.path() + QStringLiteral("/Vorlane"));
    {
        QFile f(ProfileFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Profile MD5=\"\" ReadOnly=\"No\">"
                "<Later Level=\"2\"><Inner>x<Deeper/></Inner></Later>"
                "<UndoLevel>20</UndoLevel><CopyLevel>1</CopyLevel>"
                "<ApplicationWindow Position=\"20 30 420 330\" MaximizeDocWindow=\"Yes\">"
                "<PrimaryToolbar Visible=\"Yes\"/></ApplicationWindow>"
                "<AddressingA1/><AutoFormatting/><FileFormat Xml=\"No\" Compressed=\"No\"/>"
                "<Bookmark>Mark  -  $B$2</Bookmark>"
                "<RecentFile>/tmp/first.vln</RecentFile><RecentFile>/tmp/second.vln</RecentFile>"
                "</Profile>");
    }
    // Each is read back away from what a reader that stopped at the element would leave.
    Profile().addressingA1 = 0;
    Profile().autoFormatting = 0;
    const std::vector<std::string> bookmarks{"Mark  -  $B$2"};
    const std::vector<std::string> recent{"/tmp/first.vln", "/tmp/second.vln"};
    const auto expectRead = [&](const char* when) {
        SCOPED_TRACE(when);
        const SettingsProfile& p = Profile();
        EXPECT_EQ(p.addressingA1, 1);
        EXPECT_EQ(p.autoFormatting, 1);
        EXPECT_EQ(p.bookmarks, bookmarks);
        EXPECT_EQ(p.recentFiles, recent);
        EXPECT_EQ(p.frameShow, kShowRestored);
        EXPECT_EQ(p.frameRect.right - p.frameRect.left, 400);
        EXPECT_EQ(p.frameRect.bottom - p.frameRect.top, 300);
    };

    CApplicationShell shell(timers, clock, DefaultProfileIo());
    ASSERT_TRUE(shell.Start({}, where));
    CMainFrame* frame = shell.Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame, testwait::kWindowWaitMs));
    EXPECT_TRUE(ui.boxes.empty()); // the profile loaded without a fault
    expectRead("after the start");
    // The frame stands where the profile put it, not over the work area.
    EXPECT_FALSE(frame->isMaximized());
    EXPECT_EQ(frame->normalGeometry().size(), QSize(400, 300));
    ASSERT_NE(frame->RecentFilesMenu(), nullptr);
    Q_EMIT frame->RecentFilesMenu()->aboutToShow();
    QStringList shown;
    for (QAction* a : frame->RecentFilesMenu()->actions()) shown << a->text();
    EXPECT_EQ(shown, QStringList({QStringLiteral("&1 /tmp/first.vln"),
                                  QStringLiteral("&2 /tmp/second.vln")}));

    frame->close();
    shell.Finish(0);
    EXPECT_FALSE(QFileInfo::exists(ProfileFile() + QStringLiteral(".bak")));
    const QByteArray saved = Contents(ProfileFile());
    EXPECT_TRUE(saved.contains("<AddressingA1/>")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("<AutoFormatting/>")) << saved.toStdString();
    Profile() = SettingsProfile{};
    Profile().addressingA1 = 0;
    Profile().autoFormatting = 0;
    ASSERT_EQ(LoadProfile(ProfileFile().toStdString(), false), kErrorNone);
    expectRead("read back from the saved profile");
}

} // namespace vl
