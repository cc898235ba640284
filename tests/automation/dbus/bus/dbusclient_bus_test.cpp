// RTD and UDF through the real client against the test server on the bus: values of every
// type, argument order, failures, refusals that cause no traffic, bounded waits, and no
// object left alive after any case.

#include "automation/dbus/dbusclient.h"
#include "automation/dbus/dbusvalues.h"
#include "functions/general/automationbridge.h"
#include "tests/automation/dbus/bus/bustestenv.h"
#include "tests/functions/general/functiontestutil.h"

#include <QDBusObjectPath>
#include <QFile>
#include <gtest/gtest.h>

namespace vl::test {

namespace {

struct BusFixture {
    BusFixture() : client(LoadServerList(), [] { return QDBusConnection::sessionBus(); }) {
        BindAutomationFunctions();
        SetAutomationClient(&client);
        book.Text("A1", "Alpha");
        book.Text("A2", "Be");
        book.Text("A3", "Gam");
        book.Number("B2", 7);
        book.Text("C2", "q");
        book.Number("C3", 9);
    }
    ~BusFixture() { SetAutomationClient(nullptr); }

    // Evaluates in a recalculation of its own, so that no earlier time-out is remembered.
    std::string Eval(const std::string& formula) {
        book.Recalc();
        const std::string shown = book.Eval(formula, "J20");
        if (book.Ctx().status) book.Ctx().stringPool.ResetStringStack();
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << formula;
        book.Ctx().scratch.ReleaseArrays();
        return shown;
    }

    CDBusAutomationClient client;
    FunctionBook book;
};

struct Case {
    std::string formula;
    std::string shown;
    int created; // objects the server made
};

// Runs each case from zeroed counters and checks that every object made was released.
void RunCases(BusFixture& f, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        ResetServerCounters();
        EXPECT_EQ(f.Eval(c.formula), c.shown) << c.formula;
        const QMap<QString, int> counters = ServerCounters();
        EXPECT_EQ(counters.value(QStringLiteral("CreateObject")), c.created) << c.formula;
        EXPECT_EQ(counters.value(QStringLiteral("live"), -1), 0) << c.formula;
        EXPECT_EQ(f.client.LiveObjects(), 0u) << c.formula;
    }
}

std::string Rtd(const std::string& names) {
    return "=rtd(\"Test.Quotes\",," + names + ")";
}

std::string Udf(const std::string& rest) {
    return "=udf(\"Test.Functions\",," + rest + ")";
}

} // namespace

TEST(DBusClientOnBus, RtdReadsPropertiesOfEveryType) {
    BusFixture f;
    RunCases(f, {
                    {Rtd("\"A\",\"Bcd\""), "{1; 3}", 1},
                    {Rtd("A1:A3"), "{5; 2; 3}", 1},
                    {Rtd("\"Date\""), "2005-12-01", 1},
                    {Rtd("\"OldDate\""), "1899-12-29", 1},
                    {Rtd("\"U5\""), "#NUM!", 1},
                    {Rtd("\"U13\""), "#VALUE!", 1},
                    {Rtd("\"U16\""), "#VALUE!", 1},
                    {Rtd("\"U5\",\"U13\",\"U16\",\"A\""), "{#NUM!; #VALUE!; #VALUE!; 1}", 1},
                    {Rtd("\"Bytes\""), "{#NUM!, #VALUE!, 1}", 1},
                    {Rtd("\"Cy\""), "1234.5678", 1},
                    {Rtd("\"True\""), "1", 1},
                    {Rtd("\"NaN\""), "#NUM!", 1},
                    {Rtd("\"I4\""), "-7", 1},
                    {Rtd("\"I1\",\"I2\",\"UI2\",\"UI4\",\"Int\",\"R4\",\"Decimal\""),
                     "{-5; -300; 60000; 4000000000; 11; 0.5; -123.45}", 1},
                    {Rtd("\"Null\",\"Error\",\"UInt\",\"I8\",\"UI8\",\"A\""), "{; ; ; ; ; 1}", 1},
                    {Rtd("\"Ref\""), "2.5", 1},
                    {Rtd("\"Empty\",\"Date\""), "{; \"2005-12-01\"}", 1},
                    {Rtd("\"Text1023\""), std::string(1023, 'x'), 1},
                    {Rtd("\"Text1024\""), "#VALUE!", 1},
                    {"=columns(" + Rtd("\"Row\"").substr(1) + ")", "2047", 1},
                    {Rtd("\"Wide\""), "#REF!", 1},
                    {Rtd("\"Row\",\"A\""), "#REF!", 1},
                    {Rtd("\"PlainByte\""), "5", 1},
                    {Rtd("\"PlainText\""), "plain", 1},
                    {Rtd("\"PlainBool\""), "1", 1},
                    {Rtd("\"PlainInt64\""), "-9", 1},
                    {Rtd("\"Odd\""), "#REF!", 1},
                    {Rtd("\"Missing\""), "#REF!", 1},
                    {Rtd("\"A\",\"Missing\""), "#REF!", 1},
                    {Rtd("rept(\"a\",1000),rept(\"b\",23)"), "{1000; 23}", 1},
                    {Rtd("rept(\"a\",1000),rept(\"b\",24)"), "#VALUE!", 0},
                    {Rtd("\"\""), "#VALUE!", 0},
                    {"=rtd(\"Test.Quotes\",\"far\",\"A\")", "#REF!", 0},
                    {"=rtd(\"Test.Quotes\",\"A\")", "#SYNTAX!", 0},
                });
}

TEST(DBusClientOnBus, UdfPassesArgumentsAndConvertsReplies) {
    BusFixture f;
    RunCases(f, {
                    {Udf("\"Add\",2,3"), "5", 1},
                    {Udf("\"Echo\",1,\"x\""), "{1, \"x\"}", 1},
                    {Udf("\"Echo\",,1,,\"x\","), "{1, \"x\"}", 1},
                    // An empty cell travels as VT_EMPTY, which no array element reads as.
                    {Udf("\"Echo\",B2:C3"), "{7, \"q\"; #VALUE!, 9}", 1},
                    {Udf("\"Echo\",\"Gr\xFC\xDF\""), "Gr\xFC\xDF", 1},
                    {Udf("\"Fail\",1"), "#REF!", 1},
                    {Udf("\"Nope\""), "#REF!", 1},
                    {Udf("\"Odd\""), "#REF!", 1},
                    {Udf("\"a-b\""), "#REF!", 1},
                    {Udf("\"Add\",1/0,#N/A!"), "#N/A!", 0},
                    {Udf("\"Add\""), "#REF!", 1},
                    {"=udf(\"Test.Functions\",\"far\",\"Add\",1,2)", "#REF!", 0},
                    {"=udf(\"test.functions\",,\"Add\",1,2)", "3", 1},
                });
}

// Unlisted ProgIDs reach nobody: not the running server under its bus name, not an
// activatable service (whose start would write the marker), not this process.
TEST(DBusClientOnBus, OnlyListedServersOfOtherProcessesAreCalled) {
    BusFixture f;
    const QString marker = qEnvironmentVariable("VORLANE_TEST_MARKER");
    ASSERT_FALSE(marker.isEmpty());
    RunCases(f, {
                    {"=udf(\"org.vorlane.test.Functions\",,\"Add\",1,2)", "#REF!", 0},
                    {"=rtd(\"org.vorlane.test.Functions\",,\"A\")", "#REF!", 0},
                    {"=udf(\"org.vorlane.test.Activated\",,\"Add\",1,2)", "#REF!", 0},
                    {"=rtd(\"Test.Unlisted\",,\"A\")", "#REF!", 0},
                    {"=udf(\"Test.Missing\",,\"Add\",1,2)", "#REF!", 0},
                    {"=udf(\"Test.Self\",,\"Add\",1,2)", "#REF!", 0},
                    {"=rtd(\"Test.Self\",,\"A\")", "#REF!", 0},
                });
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(SelfObject().received, 0);
    EXPECT_EQ(ServerCounters().value(QStringLiteral("Add")), 0);
}

// With a 300 ms time-out: one call that never answers is #REF!, and ten such cells of one
// recalculation wait for it once; the next recalculation asks again.
TEST(DBusClientOnBus, AServerThatTimedOutIsSkippedForTheRecalculation) {
    BusFixture f;
    RunCases(f, {{"=udf(\"Test.Slow\",,\"Never\")", "#REF!", 1}});
    EXPECT_EQ(ServerCounters().value(QStringLiteral("Never")), 1);

    for (int row = 1; row <= 10; ++row)
        f.book.Formula("D" + std::to_string(row), "=udf(\"Test.Slow\",,\"Never\")");
    f.book.Formula("E1", "=udf(\"Test.Functions\",,\"Add\",D1,1)");
    f.book.Formula("E2", "=udf(\"Test.Slow\",,\"Add\",1,1)");
    for (int pass = 0; pass < 2; ++pass) {
        ResetServerCounters();
        f.book.Recalc();
        for (int row = 1; row <= 10; ++row)
            EXPECT_EQ(f.book.Shown("D" + std::to_string(row)), "#REF!") << row;
        EXPECT_EQ(f.book.Shown("E1"), "#REF!");
        EXPECT_EQ(f.book.Shown("E2"), "#REF!");
        const QMap<QString, int> counters = ServerCounters();
        EXPECT_EQ(counters.value(QStringLiteral("Never")), 1) << pass;
        EXPECT_EQ(counters.value(QStringLiteral("CreateObject")), 1) << pass;
        EXPECT_EQ(counters.value(QStringLiteral("Add")), 0) << pass;
        EXPECT_EQ(counters.value(QStringLiteral("live"), -1), 0) << pass;
        EXPECT_EQ(f.client.LiveObjects(), 0u);
    }
    // Another server of the same process is not held up by the one that timed out.
    f.book.Formula("E3", "=udf(\"Test.Functions\",,\"Add\",2,2)");
    f.book.Recalc();
    EXPECT_EQ(f.book.Shown("E3"), "4");
}

// A formula put into the automation server (started by the bus) calls the test server.
TEST(DBusClientOnBus, EndToEndThroughTheAutomationServer) {
    RegisterAutomationDBusTypes();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("org.vorlane.Vorlan");
    auto call = [&](const QString& path, const char* interface, const char* member,
                    const QVariantList& arguments) {
        QDBusMessage m = QDBusMessage::createMethodCall(service, path, QLatin1String(interface),
                                                        QLatin1String(member));
        m.setArguments(arguments);
        return bus.call(m, QDBus::Block, 20000);
    };
    const QDBusMessage created =
        call(QStringLiteral("/"), "org.vorlane.Vorlan", "CreateObject", {"Vorlan.Workbook"});
    ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << created.errorMessage().toStdString();
    const QString path = created.arguments().value(0).value<QDBusObjectPath>().path();
    ResetServerCounters();
    for (auto [member, arguments] : std::vector<std::pair<const char*, QVariantList>>{
             {"NewDocument", {}},
             {"PutFormula", {"$A$1", "=UDF(\"Test.Functions\",,\"Add\",2,3)"}},
             {"UpdateWorksheet", {}}}) {
        const QDBusMessage reply = call(path, "org.vorlane.IWorksheet", member, arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << member;
    }
    const QDBusMessage value = call(path, "org.vorlane.IWorksheet", "GetValue", {"$A$1"});
    ASSERT_EQ(value.type(), QDBusMessage::ReplyMessage);
    DBusVar wire;
    value.arguments().value(0).value<QDBusArgument>() >> wire;
    EXPECT_EQ(wire.vt, VT_R8);
    EXPECT_EQ(wire.value.variant().toDouble(), 5.0);
    call(path, "org.vorlane.IUnknown", "Release", {});
    const QMap<QString, int> counters = ServerCounters();
    EXPECT_EQ(counters.value(QStringLiteral("Add")), 1);
    EXPECT_EQ(counters.value(QStringLiteral("live"), -1), 0);
}

} // namespace vl::test
