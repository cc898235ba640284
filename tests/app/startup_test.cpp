#include "app/startup.h"
#include "apptestutil.h"

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

} // namespace vl
