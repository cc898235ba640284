#include "app/shell.h"

#include "app/copyhistory.h"
#include "app/localenamesqt.h"
#include "app/localeseparators.h"
#include "app/mainframe.h"
#include "app/workbookwndapi.h"
#include "core/settings.h"
#include "dialogs/formatpages.h"
#include "files/externalload.h"
#include "files/savetarget.h"
#include "formula/externalref.h"
#include "resources/commandids.h"
#include "ui/imagelists.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace vl {

// Formulas that name another workbook file read it through the file library, or use the
// workbook of an open window as it stands.
static void InstallExternalReferences() {
    InstallExternalWorkbookLoader();
    SetOpenDocumentTable([](uint32_t index) -> CWorkbook* {
        return index < uint32_t(kMaxDocuments) ? DocumentTable()[index].workbook : nullptr;
    });
}

CApplicationShell::CApplicationShell(ITimerHost& timers, const IClock& clock, ProfileIo io,
                                     IWorkbookWndFactory* factory, const IPrinterService* printers)
    : clock_(clock), io_(std::move(io)), factory_(factory),
      module_(timers, [](int code) { QCoreApplication::exit(code); }),
      formatPages_(std::make_unique<CFormatPages>()) {
    if (printers) printing_ = std::make_unique<CFramePrintServices>(*printers);
}

CApplicationShell::~CApplicationShell() = default;

void CApplicationShell::SetComposerPane(IComposerPane* pane) {
    composer_ = pane;
    if (frame_) frame_->SetComposerPane(pane);
}

bool CApplicationShell::Start(const QStringList& arguments, const ProfileLocations& where) {
    QApplication::setQuitOnLastWindowClosed(false);
    line_ = ScanCommandLine(arguments);
    if (line_.mode == StartMode::kRegister || line_.mode == StartMode::kUnregister ||
        line_.mode == StartMode::kUninstall) {
        int error = 0;
        exitCode_ = hooks_.registration
                        ? hooks_.registration(line_.mode == StartMode::kRegister, error)
                        : 1;
        if (exitCode_ != 0)
            std::fputs("Vorlane: the automation server could not be (un)registered\n", stderr);
        return false;
    }
    // What saves that died left in the private folder would stay until their file is saved
    // again.
    RemoveStalePrivateSaves();
    profilePath_ = ChooseProfilePath(where, [](const QString& p) { return QFileInfo::exists(p); });
    if (QFileInfo::exists(profilePath_) && io_.load)
        profileLoadFailed_ = io_.load(profilePath_, true) != 0;
    ApplyLocaleChoice(Profile().region, true);
    InstallQtLocaleNames();
    InstallExternalReferences();
    CreateSharedImageLists();
    if (hooks_.startServer) hooks_.startServer(module_, line_.mode);
    if (line_.mode == StartMode::kAutomation) {
        // A server that no client uses ends after the time-out, as after its last release.
        module_.Lock();
        module_.Unlock();
    }
    if (line_.mode == StartMode::kInteractive) Run();
    return true;
}

std::optional<QRect> CApplicationShell::StartRect() {
    const SettingsProfile& p = Profile();
    if (p.frameShow == kShowMaximized || p.frameShow == kShowMinimized) return std::nullopt;
    QRect rect(QPoint(p.frameRect.left, p.frameRect.top),
               QPoint(p.frameRect.right - 1, p.frameRect.bottom - 1));
    if (!CMainFrame::UsableFrameRect(rect)) return std::nullopt;
    return rect;
}

QRect CApplicationShell::DefaultFrameRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void CApplicationShell::Run() {
    frame_ = std::make_unique<CMainFrame>(&module_, clock_, factory_);
    frame_->SetPrintServices(printing_.get());
    frame_->SetComposerPane(composer_);
    frame_->SetFormatPages(formatPages_.get());
    FrameSettingsAccess access;
    access.loadProfile = io_.load;
    access.saveProfile = io_.save;
    access.profilePath = [this] { return profilePath_; };
    access.setProfilePath = [this](const QString& path) { SetProfilePath(path); };
    access.registration = hooks_.registration;
    frame_->SetSettingsAccess(std::move(access));
    std::optional<QRect> rect = StartRect();
    // Also the size to come back to from a maximised frame, and what a frame gets whose
    // maximising the desktop ignores.
    frame_->setGeometry(rect ? *rect : DefaultFrameRect());
    frame_->OnCreate();
    module_.Lock();
    const int32_t show = Profile().frameShow;
    if (!rect && show == kShowMaximized)
        frame_->showMaximized();
    else if (!rect && show == kShowMinimized)
        frame_->showMinimized();
    else
        frame_->show();
    if (!line_.files.isEmpty())
        frame_->OpenCommandLineFiles(line_.files);
    else
        QTimer::singleShot(0, frame_.get(), [f = frame_.get()] { f->OnCommand(ID_FILE_NEW); });
}

bool CApplicationShell::WriteProfile() {
    if (!io_.save || profilePath_.isEmpty()) return false;
    QFileInfo info(profilePath_);
    if (!QDir().mkpath(info.absolutePath())) return false;
    // A profile that could not be read is kept aside rather than overwritten unread.
    // The copy goes the way of every save: a held backup is not replaced and a link to it
    // stays a link.
    if (profileLoadFailed_ && info.exists()) {
        const std::string from = profilePath_.toStdString();
        const std::string backup = from + ".bak";
        if (WriteSaveTarget(backup.c_str(), [&from](CFileStream& file) {
                return CopyInto(from, file);
            }) != kErrorNone)
            return false;
    }
    // save target: the profile's own writer goes through the rule.
    return io_.save(profilePath_, false) == 0;
}

int CApplicationShell::Finish(int loopCode) {
    frame_.reset();
    CopyHistory().ReleaseAll();
    DestroySharedImageLists();
    WriteProfile();
    return loopCode;
}

} // namespace vl
