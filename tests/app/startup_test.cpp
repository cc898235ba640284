#include "app/servermodule.h"
#include "app/startup.h"
#include "apptestutil.h"

#include <charconv>
#include <set>
#include <sstream>
#include <string_view>

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
    const ProfileLocations usr{"/cfg", "/home/u", "/usr/bin", "/usr"};
    const Case cases[] = {
        // The per-user file wins when it exists.
        {usr, {local}, local},
        // Missing: the one beside the program, when it exists.
        {usr, {"/usr/bin/settings.xml"}, "/usr/bin/settings.xml"},
        // Missing everywhere, installed program: the per-user one, to be made at exit.
        {usr, {}, local},
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

// The module's life as a script: L and U lock and unlock, F is the frame's release, A<ms> moves
// the time; Q and q expect it quitting or not, T the time-out, P the pause. It quits (code 0)
// only after the last step, at `quitAt`.
TEST(ServerModule, QuitsAfterTheTimeoutAndThePause) {
    struct Case {
        const char* script;
        int64_t quitAt;
    };
    const Case cases[] = {
        {"L F P", 0},                                   // the frame alone quits at once
        {"L L F T A60000 U A4999 A1 Q A999 A1", 66000}, // a client outlives the frame
        {"L U A3000 L U A4999 A1001", 9000},            // activity restarts the time-out
        {"L U A1000 L A10000 q U A6000", 17000},        // a lock held at the end waits for it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        apptest::FakeTimers timers;
        int quitCode = -1;
        int64_t quitAt = -1;
        CServerModule module{timers, [&](int code) {
                                 quitCode = code;
                                 quitAt = timers.now;
                             }};
        std::istringstream steps(c.script);
        for (std::string step; steps >> step;) {
            const char op = step[0];
            const bool check = std::string_view("QqTP").find(op) != std::string_view::npos;
            EXPECT_TRUE(check || quitCode == -1) << "quit before " << step;
            int64_t ms = 0;
            std::from_chars(step.data() + 1, step.data() + step.size(), ms);
            if (op == 'L') module.Lock();
            if (op == 'U') module.Unlock();
            if (op == 'F') module.ReleaseFrameLock();
            if (op == 'A') timers.Advance(ms);
            if (op == 'Q' || op == 'q') {
                EXPECT_EQ(module.Quitting(), op == 'Q');
            }
            if (op == 'T') {
                EXPECT_EQ(module.TimeoutMs(), 5000);
            }
            if (op == 'P') {
                EXPECT_EQ(module.PauseMs(), 0);
            }
        }
        EXPECT_EQ(quitCode, 0);
        EXPECT_EQ(quitAt, c.quitAt);
    }
}

} // namespace vl
