#include "automation/dbus/dbusinterfacexml.h"

#include "automation/dbus/dbusmethods.h"
#include "automation/objectfactory.h"
#include "automation/typelib.h"

#include <QStringList>

namespace vl {

namespace {

QString Text(std::string_view s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

void AddArgs(QString& xml, const std::vector<DBusArgSpec>& args, const char* direction) {
    for (const DBusArgSpec& a : args)
        xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"%3\"/>\n")
                   .arg(Text(a.name), Text(a.signature), QLatin1String(direction));
}

QString InterfaceXml(std::string_view interface) {
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(Text(interface));
    for (const DBusMethod& m : AutomationMethods()) {
        if (m.interface != interface) continue;
        xml += QStringLiteral("    <method name=\"%1\">\n").arg(Text(m.name));
        AddArgs(xml, m.in, "in");
        if (m.status) AddArgs(xml, {{"result", "i"}}, "out");
        AddArgs(xml, m.out, "out");
        xml += QStringLiteral("    </method>\n");
    }
    for (const DBusProperty& p : AutomationProperties())
        if (p.interface == interface)
            xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"readwrite\"/>\n")
                       .arg(Text(p.name), Text(p.signature));
    if (interface == kRootInterface)
        for (const TypeLibConstant& c : TypeLibConstants())
            xml += QStringLiteral("    <annotation name=\"org.vorlane.%1.%2\" value=\"%3\"/>\n")
                       .arg(Text(c.enumeration), Text(c.member))
                       .arg(c.value);
    return xml + QStringLiteral("  </interface>\n");
}

} // namespace

QString IntrospectPath(const QString& path) {
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString xml;
    if (parts.isEmpty()) {
        xml += InterfaceXml(kRootInterface);
        for (const CoClassInfo& c : CoClasses())
            if (!InterfacesOfClass(c.name).empty())
                xml += QStringLiteral("  <node name=\"%1\"/>\n").arg(Text(c.name));
        return xml;
    }
    if (parts.size() != 2) return xml;
    const std::span<const std::string_view> interfaces = InterfacesOfClass(parts[0].toStdString());
    if (interfaces.empty()) return xml;
    xml += InterfaceXml(kUnknownInterface);
    xml += InterfaceXml(kErrorInfoInterface);
    for (std::string_view name : interfaces)
        xml += InterfaceXml(QStringLiteral("org.vorlane.%1").arg(Text(name)).toStdString());
    return xml;
}

} // namespace vl
