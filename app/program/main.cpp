// The vorlane program: starts the shell and runs its message loop.

#include "app/shell.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vl::CQtTimerHost timers;
    vl::CSystemClock clock;
    vl::CApplicationShell shell(timers, clock, vl::DefaultProfileIo());
    if (!shell.Start(app.arguments().mid(1), vl::CurrentProfileLocations()))
        return shell.ExitCode();
    return shell.Finish(app.exec());
}
