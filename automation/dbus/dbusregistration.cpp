#include "automation/dbus/dbusregistration.h"

#include "automation/dbus/dbusmethods.h"
#include "files/savetarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Each helper below keeps the errno of the call that failed in `error`.
bool Fail(int& error) {
    error = errno;
    return false;
}

// The folder and every folder above it.
bool MakeFolders(const QString& folder, int& error) {
    const QByteArray path = QFile::encodeName(folder);
    for (int i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        if (::mkdir(path.left(i).constData(), 0755) != 0 && errno != EEXIST) return Fail(error);
    }
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) return Fail(error);
    if (!S_ISDIR(info.st_mode)) {
        error = ENOTDIR;
        return false;
    }
    return true;
}

// Writes the file by the rule of every save: whole or not at all, a held file not replaced,
// a link kept a link.
bool WriteWhole(const QString& path, const QString& text, int& error) {
    if (!MakeFolders(QFileInfo(path).absolutePath(), error)) return false;
    const QByteArray bytes = text.toUtf8();
    errno = 0;
    const ErrorCode code =
        WriteSaveTarget(QFile::encodeName(path).constData(), [&bytes](CFileStream& file) {
            return file.Write(bytes.constData(), int32_t(bytes.size()));
        });
    if (code == kErrorNone) return true;
    error = errno != 0 ? errno : EIO;
    return false;
}

bool RemoveFile(const QString& path, int& error) {
    // save target: the program's own registration entry goes (a link to it with it).
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT) return true;
    return Fail(error);
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

int RegisterServer(const QString& program, int* error) {
    int failure = 0;
    const QString absolute = QFileInfo(program).absoluteFilePath();
    const bool ok = WriteWhole(ServiceFilePath(), ServiceFileText(absolute), failure) &&
                    WriteWhole(DesktopEntryPath(), DesktopEntryText(absolute), failure) &&
                    WriteWhole(MimePackagePath(), MimePackageText(), failure);
    if (ok) RefreshCaches();
    if (error) *error = ok ? 0 : failure;
    return ok ? 0 : 1;
}

int UnregisterServer(int* error) {
    // Every file goes that can, even after one that cannot; the first failure is told.
    int failure = 0;
    int first = 0;
    bool ok = true;
    for (const QString& path : {ServiceFilePath(), DesktopEntryPath(), MimePackagePath()})
        if (!RemoveFile(path, failure)) {
            if (ok) first = failure;
            ok = false;
        }
    RefreshCaches();
    if (error) *error = ok ? 0 : first;
    return ok ? 0 : 1;
}

} // namespace vl
