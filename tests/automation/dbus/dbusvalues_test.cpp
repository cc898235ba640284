#include "automation/dbus/dbusinterfacexml.h"
#include "automation/dbus/dbusmethods.h"
#include "automation/dbus/dbusregistration.h"
#include "automation/dbus/dbusserver.h"
#include "automation/dbus/dbusvalues.h"

#include <QDBusObjectPath>
#include <gtest/gtest.h>

namespace vl {

namespace {

CVariant RoundTrip(const CVariant& v) {
    DBusVar wire;
    EXPECT_TRUE(VariantToDBus(v, wire)) << v.vt;
    CVariant back;
    EXPECT_TRUE(VariantFromDBus(wire, back)) << v.vt;
    return back;
}

DBusVar Wire(quint16 vt, QVariant value) {
    return DBusVar{vt, QDBusVariant(std::move(value))};
}

} // namespace

TEST(DBusValues, EveryTypeRoundTripsWithDistinctValues) {
    RegisterAutomationDBusTypes();
    const CVariant cases[] = {
        CVariant::Empty(),
        CVariant::Integer(VT_NULL, 0),
        CVariant::Integer(VT_I1, -7),
        CVariant::Integer(VT_I2, -300),
        CVariant::Integer(VT_I4, -70000),
        CVariant::Integer(VT_INT, 11),
        CVariant::Integer(VT_ERROR, int64_t(int32_t(0x80020004))),
        CVariant::Integer(VT_UI1, 200),
        CVariant::Integer(VT_UI2, 60000),
        CVariant::Integer(VT_UI4, 4000000000),
        CVariant::Integer(VT_UINT, 12),
        CVariant::Integer(VT_I8, -5000000000),
        CVariant::Integer(VT_UI8, 5000000000),
        CVariant::Currency(123456),
        CVariant::R8(-2.75),
        CVariant::Date(38687.5),
        CVariant::Bstr("Gr\xC3\xBC\xC3\x9F"
                       "e"),
        CVariant::Bool(true),
        CVariant::Dec({3, true, 7, 99}),
        CVariant::RefTo(CVariant::R8(4)),
    };
    for (const CVariant& v : cases) {
        const CVariant back = RoundTrip(v);
        EXPECT_EQ(back.vt, v.vt);
        EXPECT_EQ(back.integer, v.integer) << v.vt;
        EXPECT_EQ(back.real, v.real) << v.vt;
        EXPECT_EQ(back.text, v.text) << v.vt;
        EXPECT_EQ(back.decimal, v.decimal) << v.vt;
        if (v.ref) {
            EXPECT_EQ(back.ref->real, v.ref->real);
        }
    }
}

TEST(DBusValues, ArraysKeepTheirBoundsAndRefuseRaggedRows) {
    RegisterAutomationDBusTypes();
    auto table = CSafeArray::Create({{-1, 2}, {3, 2}});
    const int32_t corner[2] = {0, 4};
    table->PutElement(corner, CVariant::Bstr("z"));
    const CVariant back = RoundTrip(CVariant::Array(table));
    ASSERT_TRUE(back.array);
    ASSERT_EQ(back.array->Dimensions(), 2u);
    EXPECT_EQ(back.array->Bound(0).lowerBound, -1);
    EXPECT_EQ(back.array->Bound(1).lowerBound, 3);
    CVariant e;
    ASSERT_EQ(back.array->GetElement(corner, e), S_OK);
    EXPECT_EQ(e.text, "z");
    const CVariant list = RoundTrip(CVariant::Array(CSafeArray::Create({{5, 3}})));
    ASSERT_TRUE(list.array);
    EXPECT_EQ(list.array->Dimensions(), 1u);
    EXPECT_EQ(list.array->Bound(0).lowerBound, 5);

    DBusArray2 ragged;
    ragged.rows = {DBusArray1{0, {Wire(VT_EMPTY, qint32(0))}}, DBusArray1{0, {}}};
    HRESULT hr = S_OK;
    EXPECT_FALSE(SafeArrayFromDBus(ragged, hr));
    EXPECT_EQ(hr, E_INVALIDARG);
    DBusVar deep;
    EXPECT_FALSE(
        VariantToDBus(CVariant::Array(CSafeArray::Create({{0, 1}, {0, 1}, {0, 1}})), deep));
}

TEST(DBusValues, AValueOfTheWrongFormIsRefused) {
    RegisterAutomationDBusTypes();
    const DBusVar wrong[] = {
        Wire(VT_R8, QString("1")),
        Wire(VT_I4, 1.5),
        Wire(VT_UI1, qint32(7)),
        Wire(VT_BSTR, qint32(1)),
        Wire(VT_BOOL, qint32(1)),
        Wire(VT_DISPATCH, QVariant::fromValue(QDBusObjectPath("/"))),
        Wire(VT_ARRAY | VT_VARIANT, 1.0),
        Wire(VT_DECIMAL, QVariant::fromValue(DBusDecimal{29, false, 0, 1})),
        Wire(VT_BYREF | VT_VARIANT, 1.0),
    };
    CVariant out;
    for (const DBusVar& w : wrong) EXPECT_FALSE(VariantFromDBus(w, out)) << w.vt;
}

TEST(DBusTexts, ErrorNamesIntrospectionAndServiceFile) {
    EXPECT_EQ(ErrorNameOf(HRESULT(0x80040005)),
              QStringLiteral("org.vorlane.Vorlan.Error.E80040005"));
    EXPECT_EQ(ErrorNameOf(E_INVALIDARG), QStringLiteral("org.vorlane.Vorlan.Error.E80070057"));
    const QString book = IntrospectPath(QStringLiteral("/Workbook/3"));
    EXPECT_TRUE(book.contains(QStringLiteral("<interface name=\"org.vorlane.ITree\">")));
    EXPECT_TRUE(book.contains(QStringLiteral(
        "<method name=\"GetFormula\">\n      <arg name=\"cell\" type=\"s\" direction=\"in\"/>\n"
        "      <arg name=\"result\" type=\"i\" direction=\"out\"/>\n"
        "      <arg name=\"formula\" type=\"s\" direction=\"out\"/>")));
    EXPECT_TRUE(book.contains(QStringLiteral("<property name=\"WorksheetTree\" type=\"o\"")));
    EXPECT_FALSE(book.contains(QStringLiteral("CreateObject")));
    const QString root = IntrospectPath(QStringLiteral("/"));
    EXPECT_TRUE(root.contains(QStringLiteral("<method name=\"CreateObject\">")));
    EXPECT_TRUE(
        root.contains(QStringLiteral("org.vorlane.ERROR_TYPES.ERR_ARRAY_CIRC\" value=\"10\"")));
    EXPECT_TRUE(root.contains(QStringLiteral("<node name=\"Workbook\"/>")));
    EXPECT_TRUE(IntrospectPath(QStringLiteral("/PageInfo/1"))
                    .contains(QStringLiteral("<method name=\"GetMargins\">")));
    const QString app = IntrospectPath(QStringLiteral("/Application/2"));
    EXPECT_TRUE(app.contains(QStringLiteral("<interface name=\"org.vorlane.IOptions\">")));
    EXPECT_TRUE(app.contains(QStringLiteral("<property name=\"Options\" type=\"o\"")));
    EXPECT_TRUE(IntrospectPath(QStringLiteral("/Nothing/1")).isEmpty());
    // Every method named in the table is unique within its interface and has a handler.
    for (const DBusMethod& m : AutomationMethods()) {
        EXPECT_EQ(FindMethod(m.interface, m.name), &m);
        EXPECT_NE(m.handler, nullptr);
    }
    EXPECT_EQ(ServiceFileText(QStringLiteral("/opt/vorlane/bin/vorlane")),
              QStringLiteral("[D-BUS Service]\nName=org.vorlane.Vorlan\n"
                             "Exec=/opt/vorlane/bin/vorlane -Automation\n"));
    EXPECT_EQ(ServiceFileText(QStringLiteral("/my apps/it's/vorlane")),
              QStringLiteral("[D-BUS Service]\nName=org.vorlane.Vorlan\n"
                             "Exec='/my apps/it'\\''s/vorlane' -Automation\n"));
}

} // namespace vl
