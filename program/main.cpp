// The vorlane program: starts the shell with the automation server and runs its message loop.

#include "app/mainframe.h"
#include "app/qttimerhost.h"
#include "app/shell.h"
#include "automation/applicationobj.h"
#include "automation/dbus/dbusclient.h"
#include "automation/dbus/dbusregistration.h"
#include "automation/dbus/dbusserver.h"
#include "charts/seriesdata.h"
#include "dialogs/dialoguiservices.h"
#include "dialogs/fontdialog.h"
#include "dialogs/formatpage.h"
#include "functions/bindall/bindall.h"
#include "platform/core/cp1252.h"
#include "program/documentservices.h"
#include "workbookwnd/composerhost.h"
#include "workbookwnd/workbookwndfactory.h"

#include <QApplication>
#include <QDBusConnection>
#include <memory>

namespace {

vl::AutomationHooks ServerHooks(std::unique_ptr<vl::CAutomationBus>& server) {
    vl::AutomationHooks hooks;
    hooks.registration = [](bool registering, int& error) {
        return registering ? vl::RegisterServer(QCoreApplication::applicationFilePath(), &error)
                           : vl::UnregisterServer(&error);
    };
    hooks.startServer = [&server](vl::CServerModule& module, vl::StartMode mode) {
        // The interactive program serves only a bus it is told of, never one started for it.
        if (mode != vl::StartMode::kAutomation &&
            qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            return;
        server = std::make_unique<vl::CAutomationBus>(QDBusConnection::sessionBus(), module);
        if (!server->Start()) server.reset();
    };
    return hooks;
}

// The client of RTD and UDF for the life of the program.
struct InstalledClient {
    explicit InstalledClient(vl::IAutomationClient* client) { vl::SetAutomationClient(client); }
    ~InstalledClient() { vl::SetAutomationClient(nullptr); }
};

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    // Registering and serving automation show no window and need no display.
    if (vl::ScanCommandLine(arguments).mode != vl::StartMode::kInteractive &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vl::CQtTimerHost timers;
    vl::CSystemClock clock;
    vl::BindAllFunctions();
    // RTD and UDF reach the registered servers in every mode; the bus is joined at the first call.
    vl::CDBusAutomationClient servers(vl::LoadServerList(),
                                      [] { return QDBusConnection::sessionBus(); });
    const InstalledClient installed(&servers);
    // Before the shell starts, so that files opened by automation refresh their charts too.
    vl::InstallChartRefresh();
    // The dialogs' choosers join the Qt services.
    vl::CDialogUiServices dialogServices(vl::UiServices());
    vl::SetUiServices(&dialogServices);
    const auto printers = vl::CreateSystemPrinterService();
    vl::CScreenDocumentServices documents(*printers);
    vl::SetDocumentServices(&documents);
    vl::CWorkbookWndFactory windows;
    vl::CApplicationShell shell(timers, clock, vl::DefaultProfileIo(), &windows, printers.get());
    // The frame's composer works on the frame's active workbook window.
    vl::CComposerHost composerHost([&shell]() -> vl::IWorkbookWnd* {
        return shell.Frame() ? shell.Frame()->GetActiveWorkbookWnd() : nullptr;
    });
    vl::CComposerPane composer(composerHost);
    shell.SetComposerPane(&composer);
    std::unique_ptr<vl::CAutomationBus> server;
    shell.SetAutomationHooks(ServerHooks(server));
    vl::SetProfilePathHandler([&shell](const std::string& path) {
        shell.SetProfilePath(QString::fromStdString(vl::Cp1252ToUtf8(path)));
    });
    if (!shell.Start(app.arguments().mid(1), vl::CurrentProfileLocations())) {
        shell.SetComposerPane(nullptr);
        return shell.ExitCode();
    }
    // The composer comes back when it was shown at the last exit.
    if (vl::Profile().composerVisible && shell.Frame() && !composer.IsVisible())
        composer.Toggle(shell.Frame());
    // The Help buttons of the pages and the print sheet show their topic as the frame does.
    vl::CFormatPage::showHelp = [&shell](int topic) {
        if (vl::CMainFrame* frame = shell.Frame()) frame->ShowHelpTopic(topic);
    };
    const int code = app.exec();
    vl::CFormatPage::showHelp = nullptr;
    server.reset(); // the classes are withdrawn before the profile is written
    const int exitCode = shell.Finish(code);
    vl::SetProfilePathHandler(nullptr);
    shell.SetComposerPane(nullptr);
    vl::SetDocumentServices(nullptr);
    vl::SetUiServices(nullptr);
    return exitCode;
}
