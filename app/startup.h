#pragma once
// What the command line asks for, and where the settings profile lives.

#include <QString>
#include <QStringList>
#include <functional>

namespace vl {

enum class StartMode { kInteractive, kRegister, kUnregister, kUninstall, kAutomation };

struct CommandLine {
    StartMode mode = StartMode::kInteractive;
    QStringList files; // the arguments that are not the acting switch
};

// A switch is a whole argument introduced by "-" or "--", compared without regard to case;
// only the last argument acts as one. "Uninstall" acts as "UnregServer".
CommandLine ScanCommandLine(const QStringList& arguments);

// Where the settings profile is read and written.
struct ProfileLocations {
    QString configHome;   // $XDG_CONFIG_HOME; empty when unset
    QString home;         // $HOME
    QString exeDir;       // the folder of the executable
    QString programFiles; // the install prefix; empty counts as every path
};

// "Vorlane/settings.xml" in the per-user configuration folder; when that file is missing,
// "settings.xml" beside the executable if it exists or the executable lies outside the
// install prefix.
QString ChooseProfilePath(const ProfileLocations& where,
                          const std::function<bool(const QString&)>& fileExists);

// The locations of this process (environment, executable, install prefix).
ProfileLocations CurrentProfileLocations();

} // namespace vl
