// Starts the test server on the session bus (run_servers.sh gives each run a bus of its
// own), takes a name of this process's own, and runs the tests.

#include "tests/automation/dbus/bus/bustestenv.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>

namespace vl::test {

namespace {

QDBusMessage Control(const char* member) {
    return QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(kTestBus, QStringLiteral("/"),
                                       QStringLiteral("org.vorlane.test.IControl"),
                                       QLatin1String(member)),
        QDBus::Block, 5000);
}

} // namespace

QMap<QString, int> ServerCounters() {
    QMap<QString, int> counters;
    const QDBusMessage reply = Control("Counters");
    if (reply.type() == QDBusMessage::ReplyMessage)
        reply.arguments().value(0).value<QDBusArgument>() >> counters;
    else
        counters[QStringLiteral("unreachable")] = 1;
    return counters;
}

void ResetServerCounters() {
    Control("Reset");
}

CSelfObject& SelfObject() {
    static CSelfObject self;
    return self;
}

} // namespace vl::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const QString script = qEnvironmentVariable("VORLANE_TEST_SERVER");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || script.isEmpty()) {
        fprintf(stderr, "run under run_servers.sh: no session bus or test server\n");
        return 1;
    }
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral("/usr/bin/python3"), {script, vl::test::kTestBus});
    if (!server.waitForReadyRead(20000) || !server.readLine().startsWith("ready")) {
        fprintf(stderr, "the test server did not start\n");
        return 1;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(QStringLiteral("/"), &vl::test::SelfObject()) ||
        !bus.registerService(vl::test::kSelfBus)) {
        fprintf(stderr, "cannot take %s\n", qPrintable(vl::test::kSelfBus));
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    server.terminate();
    server.waitForFinished(5000);
    return result;
}
