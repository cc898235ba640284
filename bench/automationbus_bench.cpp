// RTD and UDF over the session bus against the test server (tests/automation/dbus): one
// UDF call through the bridge beside three direct calls of the bus (goal: at most 1.2 times
// as long), and the time to #REF! of a listed server without service, of one cell that
// never gets an answer and of ten such cells in one recalculation, with a 300 ms time-out
// (goals: far below the time-out, 1.3 s, 2 s). Run under dbus-run-session.
#include "automation/dbus/dbusclient.h"
#include "automation/dbus/dbusvalues.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

using namespace vl;

const QString kBus = QStringLiteral("org.vorlane.test.Functions");
const QString kInterface = QStringLiteral("org.vorlane.test.IFunctions");
constexpr char kServers[] =
    "Bench.Functions org.vorlane.test.Functions org.vorlane.test.IFunctions\n"
    "Bench.Slow      org.vorlane.test.Functions org.vorlane.test.IFunctions 300\n"
    "Bench.Missing   org.vorlane.test.Missing   org.vorlane.test.IFunctions 300\n";

// The test server, this process's client, and a worksheet whose cells call them.
class BusBench {
public:
    bool Start(std::string& why) {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
            why = "no session bus: run under dbus-run-session";
            return false;
        }
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc, argv);
        server_.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(VORLANE_TEST_SERVER), kBus});
        if (!server_.waitForReadyRead(20000) || !server_.readLine().startsWith("ready")) {
            why = "the test server did not start";
            return false;
        }
        BindAllFunctions();
        client_ = std::make_unique<CDBusAutomationClient>(
            ParseServerList(kServers), [] { return QDBusConnection::sessionBus(); });
        SetAutomationClient(client_.get());
        return true;
    }
    ~BusBench() {
        SetAutomationClient(nullptr);
        server_.terminate();
        server_.waitForFinished(5000);
    }

private:
    std::unique_ptr<QCoreApplication> app_;
    QProcess server_;
    std::unique_ptr<CDBusAutomationClient> client_;
};

BusBench* Bench(benchmark::State& state) {
    static std::string why;
    static BusBench* bench = [] {
        auto* b = new BusBench;
        if (!b->Start(why)) {
            delete b;
            return static_cast<BusBench*>(nullptr);
        }
        return b;
    }();
    if (!bench) state.SkipWithError(why.c_str());
    return bench;
}

// Recalculates `count` cells holding the formula; each must show `shown` (a number, or
// #REF! for -1).
void RecalculateCells(benchmark::State& state, const char* formula, uint32_t count, double shown) {
    if (!Bench(state)) return;
    std::unique_ptr<CWorkbook> workbook = CreateWorkbook();
    CCellStore& cells =
        AsWorksheet(workbook->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet1", 1))->cells;
    auto ctx = std::make_unique<CEvalContext>();
    CellCursor cursor;
    for (uint32_t r = 0; r < count; ++r) {
        CellBuffer b;
        MakeFormulaCell(b, 0, r, FormulaHead{}, formula);
        cells.PutCell(b.data(), cursor);
    }
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*workbook, *ctx));
    for (uint32_t r = 0; r < count; ++r) {
        const uint8_t* cell = FindCell(cells, r, 0);
        const bool ok = shown < 0 ? cell && (cell[0] & 0xF0) == kErrRef
                                  : cell && cell::CachedNumber(cell) == shown;
        if (!ok) state.SkipWithError("a cell shows another result");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_UdfOverBus(benchmark::State& state) {
    RecalculateCells(state, "=UDF(\"Bench.Functions\",,\"Add\",2,3)", 1, 5);
}
BENCHMARK(BM_UdfOverBus)->Unit(benchmark::kMicrosecond);

// CreateObject, Add and Release, each waiting for its reply.
void BM_ThreeDirectCalls(benchmark::State& state) {
    if (!Bench(state)) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QVariant two = QVariant::fromValue(DBusVar{VT_R8, QDBusVariant(2.0)});
    const QVariant three = QVariant::fromValue(DBusVar{VT_R8, QDBusVariant(3.0)});
    for (auto _ : state) {
        QDBusMessage create = QDBusMessage::createMethodCall(kBus, QStringLiteral("/"), kInterface,
                                                             QStringLiteral("CreateObject"));
        create << QStringLiteral("Bench.Functions");
        const QDBusMessage created = bus.call(create, QDBus::Block);
        const QString path = created.arguments().value(0).value<QDBusObjectPath>().path();
        QDBusMessage add =
            QDBusMessage::createMethodCall(kBus, path, kInterface, QStringLiteral("Add"));
        add.setArguments({two, three});
        benchmark::DoNotOptimize(bus.call(add, QDBus::Block));
        const QDBusMessage released = bus.call(
            QDBusMessage::createMethodCall(kBus, path, kInterface, QStringLiteral("Release")),
            QDBus::Block);
        if (released.type() != QDBusMessage::ReplyMessage) state.SkipWithError("a call failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ThreeDirectCalls)->Unit(benchmark::kMicrosecond);

void BM_RefOfListedServerWithoutService(benchmark::State& state) {
    RecalculateCells(state, "=UDF(\"Bench.Missing\",,\"Add\",2,3)", 1, -1);
}
BENCHMARK(BM_RefOfListedServerWithoutService)->Unit(benchmark::kMicrosecond);

void BM_RefOfOneCellWithoutAnswer(benchmark::State& state) {
    RecalculateCells(state, "=UDF(\"Bench.Slow\",,\"Never\")", 1, -1);
}
BENCHMARK(BM_RefOfOneCellWithoutAnswer)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_RefOfTenCellsWithoutAnswer(benchmark::State& state) {
    RecalculateCells(state, "=UDF(\"Bench.Slow\",,\"Never\")", 10, -1);
}
BENCHMARK(BM_RefOfTenCellsWithoutAnswer)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
