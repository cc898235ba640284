// The Settings menu: Options, Load Profile, Save Profile As, and registering the automation
// server; after the first two the settings that live objects hold are applied again.

#include "app/copyhistory.h"
#include "app/mainframe.h"
#include "core/settings.h"
#include "dialogs/filedlg.h"
#include "model/stylerecords.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace vl {

namespace {

constexpr FileFilter kProfileFilter[] = {{"Profile (*.xml)", "*.xml", 0, false}};

// The folder of the settings file, where both profile dialogs start.
QString ProfileFolder(const FrameSettingsAccess& access) {
    return access.profilePath ? QFileInfo(access.profilePath()).absolutePath() : QString();
}

} // namespace

void CMainFrame::RegisterSettingsHandlers() {
    auto& h = handlers_;
    h[ID_OPTIONS] = [this] { OnOptions(); };
    h[ID_LOAD_PROFILE] = [this] { OnLoadProfile(); };
    h[ID_SAVE_PROFILE_AS] = [this] { OnSaveProfileAs(); };
    h[ID_REGISTER_SERVER] = [this] { OnRegisterServer(true); };
    h[ID_UNREGISTER_SERVER] = [this] { OnRegisterServer(false); };
}

void CMainFrame::OnOptions() {
    if (!UiServices().HasOptionsDialog()) return;
    const SettingsProfile& p = Profile();
    const int undoLevel = p.undoLevel, copyLevel = p.copyLevel;
    QWidget* owner = GetActiveWorkbookWnd() ? GetActiveWorkbookWnd()->Widget() : this;
    if (UiServices().OptionsDialog(owner) != IDOK) return;
    ApplyChangedSettings(undoLevel, copyLevel);
}

void CMainFrame::OnLoadProfile() {
    if (!settings_.loadProfile) return;
    int index = 1;
    const QString path = UiServices().ChooseOpenFile(QString(), ProfileFolder(settings_),
                                                     QtFilterList(kProfileFilter, 1), index);
    if (path.isEmpty()) return;
    const SettingsProfile& p = Profile();
    const int undoLevel = p.undoLevel, copyLevel = p.copyLevel;
    // The load takes the file whole or changes nothing; its failure was shown. The loader keeps
    // what it read before the fault, which would be stored at exit unapplied.
    const SettingsProfile before = p;
    if (settings_.loadProfile(path, true) != 0) {
        Profile() = before;
        return;
    }
    if (settings_.setProfilePath) settings_.setProfilePath(path);
    ApplyChangedSettings(undoLevel, copyLevel);
}

void CMainFrame::OnSaveProfileAs() {
    if (!settings_.saveProfile) return;
    int index = 1;
    const QString path = UiServices().ChooseSaveFile(QString(), ProfileFolder(settings_),
                                                     QtFilterList(kProfileFilter, 1), index);
    if (path.isEmpty()) return;
    if (settings_.saveProfile(path, true) != 0) return;
    if (settings_.setProfilePath) settings_.setProfilePath(path);
}

void CMainFrame::ApplyChangedSettings(int undoLevelBefore, int copyLevelBefore) {
    const SettingsProfile& p = Profile();
    if (p.copyLevel != copyLevelBefore && p.copyLevel >= 1 && p.copyLevel <= 200)
        CopyHistory().ApplyCopyLevel(p.copyLevel);
    if (p.undoLevel != undoLevelBefore && p.undoLevel >= 1 && p.undoLevel <= 200)
        for (int i = 0; i < kMaxDocuments; ++i)
            if (CWorkbook* book = DocumentTable()[i].workbook) book->SetUndoLevel(p.undoLevel);
    SetDefaultFontFace(p.font.faceName);
    FillAddressBox();
    UpdateCommandStates();
    UpdateStatusBar();
    for (int i = 0; i < kMaxDocuments; ++i)
        if (DocumentTable()[i].workbook) DocumentTable()[i].window->RefreshViews();
}

void CMainFrame::OnRegisterServer(bool registering) {
    if (!settings_.registration) return;
    int error = 0;
    if (settings_.registration(registering, error) == 0) {
        ShowStringMessage(registering ? IDS_COM_REGISTERED : IDS_COM_UNREGISTERED,
                          MB_ICONINFORMATION);
        return;
    }
    if (error == 0 || error == EACCES || error == EPERM) {
        ShowStringMessage(IDS_NO_REGISTRY_PERMISSION, MB_ICONINFORMATION);
        return;
    }
    UiServices().MessageBox(QString::fromLocal8Bit(std::strerror(error)), AppTitle(),
                            MB_ICONEXCLAMATION);
}

} // namespace vl
