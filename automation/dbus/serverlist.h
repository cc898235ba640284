#pragma once
// The automation servers the user registered for RTD and UDF, read from
// $XDG_CONFIG_HOME/Vorlane/servers.conf (~/.config without it): one line per server with its
// ProgID, bus name, interface and an optional time-out in milliseconds, fields apart by
// blanks, "#" starting a comment. A line that does not have that form is skipped, and so is
// a ProgID listed before. Nothing else makes a ProgID callable.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

constexpr int kDefaultServerTimeoutMs = 5000;
constexpr int kMaxServerTimeoutMs = 600000;

struct RegisteredServer {
    std::string progId; // UTF-8, compared without regard to ASCII case
    QString busName;
    QString interface;
    int timeoutMs = kDefaultServerTimeoutMs;
};

std::vector<RegisteredServer> ParseServerList(std::string_view text);
// The path of the list for the given $XDG_CONFIG_HOME and $HOME.
QString ServerListPath(const QString& configHome, const QString& home);
// The list of the current user; empty when the file is missing or unreadable.
std::vector<RegisteredServer> LoadServerList();

// ProgIDs are the same without regard to ASCII case.
bool SameProgId(std::string_view a, std::string_view b);
// The server of a ProgID in the list, or null.
const RegisteredServer* FindServer(const std::vector<RegisteredServer>& servers,
                                   std::string_view progId);

// Well-formed names of the bus: a well-known bus name (no unique ":1.5"), an interface, a
// member.
bool IsBusName(const QString& name);
bool IsInterfaceName(const QString& name);
bool IsMemberName(const QString& name);

} // namespace vl
