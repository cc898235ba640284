#include "automation/dbus/dbusclient.h"
#include "automation/dbus/dbusreply.h"
#include "automation/dbus/dbusvalues.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <gtest/gtest.h>

namespace vl {

TEST(DBusClient, PlainRepliesCountByTheirTypeAndOtherShapesAreRefused) {
    RegisterAutomationDBusTypes();
    struct Case {
        QVariant wire;
        uint16_t vt;
        double number;
        std::string text;
    };
    const Case cases[] = {
        {QVariant::fromValue(uchar(5)), VT_I4, 5, ""},
        {QVariant::fromValue(short(-3)), VT_I4, -3, ""},
        {QVariant::fromValue(ushort(60000)), VT_I4, 60000, ""},
        {QVariant::fromValue(qint32(-70000)), VT_I4, -70000, ""},
        {QVariant::fromValue(quint32(4000000000u)), VT_UI4, 4000000000.0, ""},
        {QVariant::fromValue(qlonglong(-5000000000)), VT_R8, -5000000000.0, ""},
        {QVariant::fromValue(qulonglong(5000000000)), VT_R8, 5000000000.0, ""},
        {QVariant(2.5), VT_R8, 2.5, ""},
        {QVariant(true), VT_BOOL, 0, ""},
        {QVariant(QStringLiteral("Gr\u00fc\u00df")), VT_BSTR, 0, "Gr\xC3\xBC\xC3\x9F"},
    };
    for (const Case& c : cases) {
        CVariant out;
        ASSERT_TRUE(ReplyValueToVariant(c.wire, out)) << c.wire.typeName();
        EXPECT_EQ(out.vt, c.vt) << c.wire.typeName();
        const double number = c.vt == VT_R8 ? out.real : double(out.integer);
        EXPECT_EQ(c.vt == VT_BOOL ? double(uint16_t(out.integer)) : number,
                  c.vt == VT_BOOL ? 0xFFFF : c.number);
        EXPECT_EQ(out.text, c.text);
    }
    const QVariant refused[] = {
        QVariant::fromValue(QDBusObjectPath("/x")),
        QVariant::fromValue(QDBusVariant(1.0)),
        QVariant(QStringList{"a"}),
        QVariant(),
    };
    for (const QVariant& wire : refused) {
        CVariant out = CVariant::R8(1);
        EXPECT_FALSE(ReplyValueToVariant(wire, out)) << wire.typeName();
        EXPECT_EQ(out.vt, VT_EMPTY);
    }
}

// Nothing reaches the bus for a ProgID outside the list; a listed one without a bus fails.
TEST(DBusClient, UnlistedProgIdsNeverAskForTheBus) {
    int connects = 0;
    CDBusAutomationClient client(ParseServerList("Test.Functions org.x.Y org.x.IY 300\n"), [&] {
        ++connects;
        return QDBusConnection(QStringLiteral("no bus"));
    });
    uint64_t object = 77;
    for (const char* progId : {"org.x.Y", "Test.Function", "", "Test.Functions.X"})
        EXPECT_EQ(client.CreateObject(progId, 1, object), REGDB_E_CLASSNOTREG) << progId;
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(object, 77u);
    EXPECT_TRUE(Failed(client.CreateObject("TEST.functions", 1, object)));
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(object, 77u);
    EXPECT_EQ(client.LiveObjects(), 0u);
    CVariant out;
    EXPECT_EQ(client.GetProperty(1, "A", out), E_INVALIDARG);
    EXPECT_EQ(client.CallMethod(1, "Add", {}, out), E_INVALIDARG);
    client.Release(1); // an unknown object is nothing to release
    EXPECT_EQ(client.LiveObjects(), 0u);
}

} // namespace vl
