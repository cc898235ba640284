#pragma once
// Registration of the server with the session bus: a service file that makes the bus start
// "vorlane -Automation" when a client first asks for org.vorlane.Vorlan.

#include <QString>

namespace vl {

// $XDG_DATA_HOME/dbus-1/services/org.vorlane.Vorlan.service ($HOME/.local/share without it).
QString ServiceFilePath();
// The text of the service file for the program at `program` (an absolute path).
QString ServiceFileText(const QString& program);
// Writes (or removes) the service file; the process's exit code: 0 done, 1 failed.
int RegisterServer(const QString& program);
int UnregisterServer();

} // namespace vl
