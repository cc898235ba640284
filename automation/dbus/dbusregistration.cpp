#include "automation/dbus/dbusregistration.h"

#include "automation/dbus/dbusmethods.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

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

constexpr char kMimeType[] = "application/x-vorlane";

QString DataHome() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = qEnvironmentVariable("HOME") + QLatin1String("/.local/share");
    return data;
}

bool WriteWhole(const QString& path, const QString& text) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool RemoveFile(const QString& path) {
    return !QFileInfo::exists(path) || QFile::remove(path);
}

// The desktop keeps caches of both folders; a missing tool is no failure.
void RefreshCaches() {
    const QString data = DataHome();
    const QString desktop =
        QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!desktop.isEmpty()) QProcess::execute(desktop, {data + QLatin1String("/applications")});
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!mime.isEmpty()) QProcess::execute(mime, {data + QLatin1String("/mime")});
}

} // namespace

QString ServiceFilePath() {
    return DataHome() + QLatin1String("/dbus-1/services/") + QLatin1String(kServiceName) +
           QLatin1String(".service");
}

QString DesktopEntryPath() {
    return DataHome() + QLatin1String("/applications/vorlane.desktop");
}

QString MimePackagePath() {
    return DataHome() + QLatin1String("/mime/packages/vorlane.xml");
}

QString DesktopEntryText(const QString& program) {
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Vorlane\n"
                          "Comment=Spreadsheet\nExec=%1 %f\nMimeType=%2;\n"
                          "Categories=Office;Spreadsheet;\nTerminal=false\n")
        .arg(Quoted(program), QLatin1String(kMimeType));
}

QString MimePackageText() {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>Vorlane workbook</comment>\n"
               "    <glob pattern=\"*.vln\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(QLatin1String(kMimeType));
}

QString ServiceFileText(const QString& program) {
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -Automation\n")
        .arg(QLatin1String(kServiceName), Quoted(program));
}

int RegisterServer(const QString& program) {
    const QString absolute = QFileInfo(program).absoluteFilePath();
    const bool ok = WriteWhole(ServiceFilePath(), ServiceFileText(absolute)) &&
                    WriteWhole(DesktopEntryPath(), DesktopEntryText(absolute)) &&
                    WriteWhole(MimePackagePath(), MimePackageText());
    if (ok) RefreshCaches();
    return ok ? 0 : 1;
}

int UnregisterServer() {
    // Every file goes that can, even after one that cannot.
    const bool service = RemoveFile(ServiceFilePath());
    const bool desktop = RemoveFile(DesktopEntryPath());
    const bool mime = RemoveFile(MimePackagePath());
    RefreshCaches();
    return service && desktop && mime ? 0 : 1;
}

} // namespace vl
