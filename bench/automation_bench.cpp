// PutValue and GetValue of the Workbook object: called in process, and over the session bus
// from another process's point of view (a server started with -Automation); over the bus
// also format of 1,000 x 100 cells and PrintAll to the PDF printer. The bus cases need a
// session bus: run under dbus-run-session.
#include "automation/dbus/dbusvalues.h"
#include "automation/workbookobj.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kCalls = 100000;

// 1,000 cells of a 10 x 100 block, named as clients name them.
const std::vector<vl::CBstr>& Cells() {
    static const std::vector<vl::CBstr> cells = [] {
        std::vector<vl::CBstr> out;
        for (int row = 1; row <= 100; ++row)
            for (char column = 'A'; column <= 'J'; ++column)
                out.emplace_back(std::string{'$', column, '$'} + std::to_string(row));
        return out;
    }();
    return cells;
}

std::shared_ptr<vl::CWorkbookObj> Book() {
    std::shared_ptr<vl::CWorkbookObj> book;
    vl::CWorkbookObj::Create(book);
    book->NewDocument();
    for (const vl::CBstr& cell : Cells()) book->PutValue(cell, vl::CVariant::R8(1.5));
    return book;
}

void BM_PutValueInProcess(benchmark::State& state) {
    auto book = Book();
    size_t i = 0;
    for (auto _ : state) {
        const vl::CBstr& cell = Cells()[i++ % Cells().size()];
        if (book->PutValue(cell, vl::CVariant::R8(double(i))) != vl::S_OK)
            state.SkipWithError("PutValue failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PutValueInProcess)->Iterations(kCalls);

void BM_GetValueInProcess(benchmark::State& state) {
    auto book = Book();
    size_t i = 0;
    vl::CVariant value;
    for (auto _ : state) {
        if (book->GetValue(Cells()[i++ % Cells().size()], value) != vl::S_OK)
            state.SkipWithError("GetValue failed");
        benchmark::DoNotOptimize(value.real);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetValueInProcess)->Iterations(kCalls);

// The server process and one Workbook object in it, made once for the bus cases.
class BusServer {
public:
    bool Start(std::string& why) {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
            why = "no session bus: run under dbus-run-session";
            return false;
        }
        vl::RegisterAutomationDBusTypes();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home_.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.path());
        server_.setProcessEnvironment(env);
        server_.start(QStringLiteral(VORLANE_PROGRAM), {QStringLiteral("-Automation")});
        QDBusConnection bus = QDBusConnection::sessionBus();
        for (int i = 0; i < 100 && !bus.interface()->isServiceRegistered(kService); ++i)
            QThread::msleep(100);
        QDBusMessage reply =
            bus.call(QDBusMessage::createMethodCall(kService, QStringLiteral("/"),
                                                    QStringLiteral("org.vorlane.Vorlan"),
                                                    QStringLiteral("CreateObject"))
                     << QStringLiteral("Vorlan.Workbook"));
        if (reply.type() != QDBusMessage::ReplyMessage) {
            why = "no server: " + reply.errorMessage().toStdString();
            return false;
        }
        path_ = reply.arguments().value(0).value<QDBusObjectPath>().path();
        return Call(QStringLiteral("NewDocument"), {});
    }
    ~BusServer() {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            server_.waitForFinished(10000);
        }
    }
    bool Call(const QString& method, const QVariantList& args) {
        return Reply(method, args).type() == QDBusMessage::ReplyMessage;
    }
    QDBusMessage Reply(const QString& method, const QVariantList& args,
                       const QString& interface = QStringLiteral("org.vorlane.IWorksheet"),
                       QString path = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, path.isEmpty() ? path_ : path,
                                                           interface, method);
        call.setArguments(args);
        return QDBusConnection::sessionBus().call(call);
    }
    // A property of another object of the server, such as a FormatInfo.
    bool Set(const QString& path, const QString& interface, const QString& name,
             const QVariant& value) {
        return Reply(QStringLiteral("Set"),
                     {interface, name, QVariant::fromValue(QDBusVariant(value))},
                     QStringLiteral("org.freedesktop.DBus.Properties"), path)
                   .type() == QDBusMessage::ReplyMessage;
    }

private:
    static inline const QString kService = QStringLiteral("org.vorlane.Vorlan");
    QTemporaryDir home_;
    QProcess server_;
    QString path_;
};

// Started on first use and owned by main, so that the server process and its connection go
// while the application object still lives.
std::unique_ptr<BusServer>* g_server = nullptr;

BusServer* Server(std::string& why) {
    static std::string failure;
    static bool started = false;
    if (!started) {
        started = true;
        *g_server = std::make_unique<BusServer>();
        if (!(*g_server)->Start(failure)) g_server->reset();
    }
    why = failure;
    return g_server->get();
}

QVariant Number(double x) {
    return QVariant::fromValue(vl::DBusVar{vl::VT_R8, QDBusVariant(x)});
}

void BM_PutValueOverBus(benchmark::State& state) {
    std::string why;
    BusServer* server = Server(why);
    if (!server) return state.SkipWithError(why.c_str());
    size_t i = 0;
    for (auto _ : state) {
        const QString cell = QString::fromUtf8(Cells()[i++ % Cells().size()].Utf8().data());
        if (!server->Call(QStringLiteral("PutValue"), {cell, Number(double(i))}))
            state.SkipWithError("PutValue failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PutValueOverBus)->Iterations(kCalls)->UseRealTime();

void BM_GetValueOverBus(benchmark::State& state) {
    std::string why;
    BusServer* server = Server(why);
    if (!server) return state.SkipWithError(why.c_str());
    size_t i = 0;
    for (auto _ : state) {
        const QString cell = QString::fromUtf8(Cells()[i++ % Cells().size()].Utf8().data());
        if (!server->Call(QStringLiteral("GetValue"), {cell}))
            state.SkipWithError("GetValue failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetValueOverBus)->Iterations(kCalls)->UseRealTime();

// The column letters of a 1-based column number.
QString ColumnName(int column) {
    QString name;
    for (; column > 0; column = (column - 1) / 26) name.prepend(QChar('A' + (column - 1) % 26));
    return name;
}

QString Block(int firstColumn, int lastColumn, int rows) {
    return QStringLiteral("$%1$1:$%2$%3")
        .arg(ColumnName(firstColumn), ColumnName(lastColumn))
        .arg(rows);
}

// format of 1,000 rows x 100 cells over the bus, each row holding ten number formats first.
void BM_FormatOverBus(benchmark::State& state) {
    std::string why;
    BusServer* server = Server(why);
    if (!server) return state.SkipWithError(why.c_str());
    const QDBusMessage made = server->Reply(QStringLiteral("CreateFormatInfo"), {});
    if (made.type() != QDBusMessage::ReplyMessage) return state.SkipWithError("no FormatInfo");
    const QString info = made.arguments().value(0).value<QDBusObjectPath>().path();
    const QVariant infoArg = QVariant::fromValue(QDBusObjectPath(info));
    const QString fi = QStringLiteral("org.vorlane.IFormatInfo");
    int bold = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bool ok = server->Call(QStringLiteral("NewDocument"), {});
        for (int s = 0; s < 10 && ok; ++s)
            ok = server->Set(info, fi, QStringLiteral("styleID"), s) &&
                 server->Call(QStringLiteral("format"),
                              {Block(s * 10 + 1, s * 10 + 10, 1000), 1, infoArg});
        ok = ok && server->Set(info, fi, QStringLiteral("boldFont"), bold ^= 1);
        state.ResumeTiming();
        if (!ok || !server->Call(QStringLiteral("format"), {Block(1, 100, 1000), 6, infoArg}))
            state.SkipWithError("format failed");
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_FormatOverBus)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// PrintAll to the server's PDF printer of a worksheet of 100 or 1,000 pages (51 rows a page).
void BM_PrintAllOverBus(benchmark::State& state) {
    std::string why;
    BusServer* server = Server(why);
    if (!server) return state.SkipWithError(why.c_str());
    const int pages = int(state.range(0));
    bool ok = server->Call(QStringLiteral("NewDocument"), {});
    for (int row = 1; row <= pages * 51 && ok; ++row)
        ok = server->Call(QStringLiteral("PutValue"),
                          {QStringLiteral("$A$%1").arg(row), Number(row)});
    if (!ok) return state.SkipWithError("filling failed");
    for (auto _ : state) {
        const QDBusMessage reply = server->Reply(QStringLiteral("PrintAll"), {});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().value(0).toInt() != 0)
            state.SkipWithError("PrintAll failed");
    }
    state.SetItemsProcessed(state.iterations() * pages);
    state.counters["pages/s"] =
        benchmark::Counter(double(state.iterations()) * pages, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintAllOverBus)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The floor the transport sets: a ping answered by the bus daemon itself, and one answered
// by the server's connection without reaching its main thread.
void BM_PingOverBus(benchmark::State& state) {
    std::string why;
    if (!Server(why)) return state.SkipWithError(why.c_str());
    const bool daemon = state.range(0) == 0;
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        daemon ? QStringLiteral("org.freedesktop.DBus") : QStringLiteral("org.vorlane.Vorlan"),
        daemon ? QStringLiteral("/org/freedesktop/DBus") : QStringLiteral("/"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    for (auto _ : state) {
        if (QDBusConnection::sessionBus().call(ping).type() != QDBusMessage::ReplyMessage)
            state.SkipWithError("Ping failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PingOverBus)->Arg(0)->Arg(1)->Iterations(kCalls / 5)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    QCoreApplication app(argc, argv);
    std::unique_ptr<BusServer> server;
    g_server = &server;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    server.reset();
    return 0;
}
