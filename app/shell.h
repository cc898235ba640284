#pragma once
// The process's spine: what the command line asks for, the profile read at start and
// written at exit, the locale, the picture lists, the server's lock and the main frame.

#include "app/frameprinting.h"
#include "app/startup.h"
#include "app/workbookwndapi.h"
#include "automation/servermodule.h"
#include "core/clock.h"

#include <QRect>
#include <QStringList>
#include <memory>

namespace vl {

class IComposerPane;
class CFormatPages;

class CMainFrame;

// The profile file's work, supplied by the profile library once it is there.
struct ProfileIo {
    // Each returns an error code; 0 on success.
    std::function<int(const QString& path, bool showErrors)> load;
    std::function<int(const QString& path, bool showErrors)> save;
};

// The profile's reader and writer of this build.
ProfileIo DefaultProfileIo();

// What the automation server adds to the start-up, supplied by the program.
struct AutomationHooks {
    // "RegServer" (true) or "UnregServer" and "Uninstall" (false): the exit code, with the
    // errno of the failing call in `error` (0 when unknown) when it is not 0.
    std::function<int(bool registering, int& error)> registration;
    // Offers the server's classes, counting their objects in the module.
    std::function<void(CServerModule& module, StartMode mode)> startServer;
};

class CApplicationShell {
public:
    // With `printers` the frame prints through the print sheet to them; without, its
    // printing commands stay disabled.
    CApplicationShell(ITimerHost& timers, const IClock& clock, ProfileIo io,
                      IWorkbookWndFactory* factory = nullptr,
                      const IPrinterService* printers = nullptr);
    ~CApplicationShell();

    void SetAutomationHooks(AutomationHooks hooks) { hooks_ = std::move(hooks); }
    // The composer pane the frame shows (not owned); null takes it away again.
    void SetComposerPane(IComposerPane* pane);
    // Start-up up to the message loop: false when the process ends at once (`ExitCode`).
    bool Start(const QStringList& arguments, const ProfileLocations& where);
    // After the loop: drops the picture lists and writes the profile back.
    int Finish(int loopCode);

    StartMode Mode() const { return line_.mode; }
    int ExitCode() const { return exitCode_; }
    CMainFrame* Frame() const { return frame_.get(); }
    CServerModule& Module() { return module_; }
    const QString& ProfilePath() const { return profilePath_; }
    // A profile read or written successfully elsewhere: the settings go there at exit.
    void SetProfilePath(const QString& path) {
        profilePath_ = path;
        profileLoadFailed_ = false;
    }
    // Where the frame starts, or nothing for the default placement.
    static std::optional<QRect> StartRect();
    // The default placement: the primary screen's work area, so that a frame that cannot be
    // maximised still shows its toolbars and every status-bar pane whole.
    static QRect DefaultFrameRect();

private:
    void Run();
    bool WriteProfile();

    const IClock& clock_;
    ProfileIo io_;
    AutomationHooks hooks_;
    IWorkbookWndFactory* factory_;
    CServerModule module_;
    CommandLine line_;
    QString profilePath_;
    bool profileLoadFailed_ = false;
    int exitCode_ = 0;
    std::unique_ptr<CFramePrintServices> printing_;
    IComposerPane* composer_ = nullptr;
    // Before the frame, which may hold an open page as its child.
    std::unique_ptr<CFormatPages> formatPages_;
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace vl
