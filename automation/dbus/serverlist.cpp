#include "automation/dbus/serverlist.h"

#include <QDir>
#include <QFile>
#include <charconv>

namespace vl {

namespace {

constexpr qsizetype kMaxNameLength = 255;

bool IsNameCharacter(QChar c, bool dash) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || (dash && c == u'-');
}

// Two or more dotted elements, none empty or starting with a digit.
bool IsDottedName(const QString& name, bool dash) {
    if (name.isEmpty() || name.size() > kMaxNameLength) return false;
    const QStringList elements = name.split(u'.');
    if (elements.size() < 2) return false;
    for (const QString& element : elements) {
        if (element.isEmpty() || element.front().isDigit()) return false;
        for (QChar c : element)
            if (!IsNameCharacter(c, dash)) return false;
    }
    return true;
}

} // namespace

bool SameProgId(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool ParseTimeout(std::string_view field, int& ms) {
    const char* end = field.data() + field.size();
    const auto [last, ec] = std::from_chars(field.data(), end, ms);
    return ec == std::errc() && last == end && ms >= 1 && ms <= kMaxServerTimeoutMs;
}

// One line's server; false for a line that names none.
bool ParseLine(std::string_view line, RegisteredServer& server) {
    line = line.substr(0, line.find('#'));
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 3 && fields.size() != 4) return false;
    server.progId = std::string(fields[0]);
    server.busName = QString::fromUtf8(fields[1].data(), qsizetype(fields[1].size()));
    server.interface = QString::fromUtf8(fields[2].data(), qsizetype(fields[2].size()));
    server.timeoutMs = kDefaultServerTimeoutMs;
    if (fields.size() == 4 && !ParseTimeout(fields[3], server.timeoutMs)) return false;
    return IsBusName(server.busName) && IsInterfaceName(server.interface);
}

} // namespace

bool IsBusName(const QString& name) {
    return IsDottedName(name, true);
}

bool IsInterfaceName(const QString& name) {
    return IsDottedName(name, false);
}

bool IsMemberName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength || name.front().isDigit()) return false;
    for (QChar c : name)
        if (!IsNameCharacter(c, false)) return false;
    return true;
}

std::vector<RegisteredServer> ParseServerList(std::string_view text) {
    std::vector<RegisteredServer> servers;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        RegisteredServer server;
        if (ParseLine(line, server) && !FindServer(servers, server.progId))
            servers.push_back(std::move(server));
    }
    return servers;
}

QString ServerListPath(const QString& configHome, const QString& home) {
    QString config = configHome;
    if (config.isEmpty() || QDir::isRelativePath(config)) config = home + QLatin1String("/.config");
    return config + QLatin1String("/Vorlane/servers.conf");
}

std::vector<RegisteredServer> LoadServerList() {
    QFile file(
        ServerListPath(qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = file.readAll();
    return ParseServerList(std::string_view(text.constData(), std::size_t(text.size())));
}

const RegisteredServer* FindServer(const std::vector<RegisteredServer>& servers,
                                   std::string_view progId) {
    for (const RegisteredServer& server : servers)
        if (SameProgId(server.progId, progId)) return &server;
    return nullptr;
}

} // namespace vl
