#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vl {

namespace {

// The switch an argument names, if it is one.
bool MatchSwitch(const QString& argument, StartMode& mode) {
    QString name = argument;
    if (name.startsWith(QLatin1String("--")))
        name.remove(0, 2);
    else if (name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    else
        return false;
    struct Switch {
        const char* name;
        StartMode mode;
    };
    static const Switch switches[] = {{"UnregServer", StartMode::kUnregister},
                                      {"Uninstall", StartMode::kUninstall},
                                      {"RegServer", StartMode::kRegister},
                                      {"Automation", StartMode::kAutomation},
                                      {"Embedding", StartMode::kAutomation}};
    for (const Switch& s : switches) {
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) {
            mode = s.mode;
            return true;
        }
    }
    return false;
}

bool IsWithin(const QString& path, const QString& folder) {
    if (folder.isEmpty()) return true;
    QString p = QDir::cleanPath(path), f = QDir::cleanPath(folder);
    if (f == QLatin1String("/")) return true;
    return p == f || p.startsWith(f + QLatin1Char('/'));
}

} // namespace

CommandLine ScanCommandLine(const QStringList& arguments) {
    CommandLine line;
    line.files = arguments;
    if (!arguments.isEmpty() && MatchSwitch(arguments.last(), line.mode)) line.files.removeLast();
    return line;
}

QString ChooseProfilePath(const ProfileLocations& where,
                          const std::function<bool(const QString&)>& fileExists) {
    QString config = where.configHome;
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = where.home.isEmpty() ? QString() : where.home + QLatin1String("/.config");
    QString local = config.isEmpty() ? QString() : config + QLatin1String("/Vorlane/settings.xml");
    if (!local.isEmpty() && fileExists(local)) return local;
    QString beside = where.exeDir + QLatin1String("/settings.xml");
    if (fileExists(beside) || !IsWithin(where.exeDir, where.programFiles) || local.isEmpty())
        return beside;
    return local;
}

ProfileLocations CurrentProfileLocations() {
    ProfileLocations where;
    where.configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    where.home = qEnvironmentVariable("HOME");
    where.exeDir = QCoreApplication::applicationDirPath();
#ifdef VORLANE_INSTALL_PREFIX
    where.programFiles = QStringLiteral(VORLANE_INSTALL_PREFIX);
#endif
    return where;
}

} // namespace vl
