// The vorlane program: starts the shell and runs its message loop.

#include "app/shell.h"
#include "functions/bindall/bindall.h"
#include "workbookwnd/workbookwndfactory.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vl::CQtTimerHost timers;
    vl::CSystemClock clock;
    vl::BindAllFunctions();
    vl::CWorkbookWndFactory windows;
    vl::CApplicationShell shell(timers, clock, vl::DefaultProfileIo(), &windows);
    if (!shell.Start(app.arguments().mid(1), vl::CurrentProfileLocations()))
        return shell.ExitCode();
    return shell.Finish(app.exec());
}
