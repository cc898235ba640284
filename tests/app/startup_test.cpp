#include "app/servermodule.h"
#include "app/startup.h"
#include "apptestutil.h"

#include <gtest/gtest.h>
#include <set>

namespace vl {

TEST(Startup, SwitchesAreWholeLastArguments) {
    struct Case {
        QStringList args;
        StartMode mode;
        int files;
    };
    const Case cases[] = {
        {{"-RegServer"}, StartMode::kRegister, 0},
        {{"-RegServer", "x"}, StartMode::kInteractive, 2},
        {{"--embedding"}, StartMode::kAutomation, 0},
        {{"-AUTOMATION"}, StartMode::kAutomation, 0},
        {{"a.vln", "--UnregServer"}, StartMode::kUnregister, 1},
        {{"-Uninstall"}, StartMode::kUninstall, 0},
        {{"dir/Embedding"}, StartMode::kInteractive, 1},
        {{"/Embedding"}, StartMode::kInteractive, 1},
        {{"-Embeddingx"}, StartMode::kInteractive, 1},
        {{"---Embedding"}, StartMode::kInteractive, 1},
        {{}, StartMode::kInteractive, 0},
    };
    for (const Case& c : cases) {
        CommandLine line = ScanCommandLine(c.args);
        EXPECT_EQ(int(line.mode), int(c.mode)) << c.args.join(' ').toStdString();
        EXPECT_EQ(line.files.size(), c.files) << c.args.join(' ').toStdString();
    }
}

TEST(Startup, ProfilePathCases) {
    struct Case {
        ProfileLocations where;
        std::set<QString> existing;
        QString path;
    };
    const QString local = QStringLiteral("/cfg/Vorlane/settings.xml");
    const Case cases[] = {
        // The per-user file wins when it exists.
        {{"/cfg", "/home/u", "/usr/bin", "/usr"}, {local}, local},
        // Missing: the one beside the program, when it exists.
        {{"/cfg", "/home/u", "/usr/bin", "/usr"},
         {"/usr/bin/settings.xml"},
         "/usr/bin/settings.xml"},
        // Missing everywhere, installed program: the per-user one, to be made at exit.
        {{"/cfg", "/home/u", "/usr/bin", "/usr"}, {}, local},
        // Missing, program outside the install prefix: beside the program.
        {{"/cfg", "/home/u", "/opt/v/bin", "/usr"}, {}, "/opt/v/bin/settings.xml"},
        // A prefix that is only a name's beginning does not hold the program.
        {{"/cfg", "/home/u", "/usrlocal/bin", "/usr"}, {}, "/usrlocal/bin/settings.xml"},
        // An empty prefix holds every path.
        {{"/cfg", "/home/u", "/opt/v/bin", ""}, {}, local},
        // No XDG_CONFIG_HOME, or a relative one: ~/.config.
        {{"", "/home/u", "/usr/bin", "/usr"}, {}, "/home/u/.config/Vorlane/settings.xml"},
        {{"rel", "/home/u", "/usr/bin", "/usr"}, {}, "/home/u/.config/Vorlane/settings.xml"},
        // Nowhere per user: beside the program.
        {{"", "", "/usr/bin", "/usr"}, {}, "/usr/bin/settings.xml"},
    };
    for (const Case& c : cases) {
        QString path =
            ChooseProfilePath(c.where, [&c](const QString& p) { return c.existing.count(p) > 0; });
        EXPECT_EQ(path.toStdString(), c.path.toStdString()) << c.where.exeDir.toStdString();
    }
}

class ServerModuleTest : public ::testing::Test {
protected:
    apptest::FakeTimers timers;
    int quitCode = -1;
    int64_t quitAt = -1;
    CServerModule module{timers, [this](int code) {
                             quitCode = code;
                             quitAt = timers.now;
                         }};
};

TEST_F(ServerModuleTest, FrameAloneQuitsAtOnce) {
    module.Lock();
    module.ReleaseFrameLock();
    EXPECT_EQ(quitCode, 0);
    EXPECT_EQ(quitAt, 0);
    EXPECT_EQ(module.PauseMs(), 0);
}

TEST_F(ServerModuleTest, ClientOutlivesFrameThenTimeoutAndPause) {
    module.Lock(); // the frame
    module.Lock(); // a client
    module.ReleaseFrameLock();
    EXPECT_EQ(module.TimeoutMs(), 5000);
    timers.Advance(60000);
    EXPECT_EQ(quitCode, -1); // the client still holds its object
    module.Unlock();
    timers.Advance(4999);
    EXPECT_EQ(quitCode, -1);
    timers.Advance(1);
    EXPECT_EQ(quitCode, -1); // the time-out ran out; now the pause
    EXPECT_TRUE(module.Quitting());
    timers.Advance(999);
    EXPECT_EQ(quitCode, -1);
    timers.Advance(1);
    EXPECT_EQ(quitCode, 0);
    EXPECT_EQ(quitAt, 60000 + 5000 + 1000);
}

TEST_F(ServerModuleTest, ActivityRestartsTheTimeout) {
    module.Lock();
    module.Unlock();
    timers.Advance(3000);
    module.Lock(); // a client comes back and leaves again
    module.Unlock();
    timers.Advance(4999);
    EXPECT_EQ(quitCode, -1);
    timers.Advance(1001);
    EXPECT_EQ(quitCode, 0);
    EXPECT_EQ(quitAt, 3000 + 5000 + 1000);
}

TEST_F(ServerModuleTest, LockHeldWhenTimeoutEndsWaitsForItsRelease) {
    module.Lock();
    module.Unlock();
    timers.Advance(1000);
    module.Lock();
    timers.Advance(10000);
    EXPECT_EQ(quitCode, -1);
    EXPECT_FALSE(module.Quitting());
    module.Unlock();
    timers.Advance(6000);
    EXPECT_EQ(quitCode, 0);
}

} // namespace vl
