#pragma once
// What the tests on the bus share: the test server's counters, the name this process owns,
// and the marker that an activated service would write.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMap>
#include <QString>

namespace vl::test {

inline const QString kTestBus = QStringLiteral("org.vorlane.test.Functions");
inline const QString kSelfBus = QStringLiteral("org.vorlane.test.Self");

// The calls the test server received by member, and "live" for its live objects.
QMap<QString, int> ServerCounters();
void ResetServerCounters();

// Stands at "/" of this process's own name and counts the messages it is sent.
class CSelfObject : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        ++received;
        connection.send(message.createErrorReply(QStringLiteral("org.vorlane.test.Error.Self"),
                                                 QStringLiteral("called")));
        return true;
    }
    int received = 0;
};
CSelfObject& SelfObject();

} // namespace vl::test
