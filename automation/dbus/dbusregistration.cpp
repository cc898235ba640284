#include "automation/dbus/dbusregistration.h"

#include "automation/dbus/dbusmethods.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vl {

namespace {

// The bus splits the Exec line as a shell would: quote anything but plain path characters.
QString Quoted(const QString& program) {
    for (QChar c : program)
        if (!c.isLetterOrNumber() && !QStringLiteral("/._-+").contains(c)) {
            QString escaped = program;
            escaped.replace(QLatin1Char('\''), QLatin1String("'\\''"));
            return QLatin1Char('\'') + escaped + QLatin1Char('\'');
        }
    return program;
}

} // namespace

QString ServiceFilePath() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = qEnvironmentVariable("HOME") + QLatin1String("/.local/share");
    return data + QLatin1String("/dbus-1/services/") + QLatin1String(kServiceName) +
           QLatin1String(".service");
}

QString ServiceFileText(const QString& program) {
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -Automation\n")
        .arg(QLatin1String(kServiceName), Quoted(program));
}

int RegisterServer(const QString& program) {
    const QString path = ServiceFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return 1;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(ServiceFileText(QFileInfo(program).absoluteFilePath()).toUtf8());
    return file.commit() ? 0 : 1;
}

int UnregisterServer() {
    const QString path = ServiceFilePath();
    return !QFileInfo::exists(path) || QFile::remove(path) ? 0 : 1;
}

} // namespace vl
