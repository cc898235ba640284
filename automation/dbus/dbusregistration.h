#pragma once
// Registration of the server with the session bus: a service file that makes the bus start
// "vorlane -Automation" when a client first asks for org.vorlane.Vorlan; and of the .vln
// file type with the desktop: an application entry and a MIME package.

#include <QString>

namespace vl {

// $XDG_DATA_HOME/dbus-1/services/org.vorlane.Vorlan.service ($HOME/.local/share without it).
QString ServiceFilePath();
// $XDG_DATA_HOME/applications/vorlane.desktop and mime/packages/vorlane.xml.
QString DesktopEntryPath();
QString MimePackagePath();
QString DesktopEntryText(const QString& program);
QString MimePackageText();
// The text of the service file for the program at `program` (an absolute path).
QString ServiceFileText(const QString& program);
// Writes (or removes) the service file, the desktop entry and the MIME package, then
// refreshes the desktop's caches where their tools exist; the process's exit code: 0 done,
// 1 failed, with the errno of the failing call in `error` when given (0 when done).
int RegisterServer(const QString& program, int* error = nullptr);
int UnregisterServer(int* error = nullptr);

} // namespace vl
