#pragma once
// The one top-level window: menus, toolbars in rows, the multiple-document area, the status
// bar, the open workbooks' commands, idle refresh and the inactivity timer.

#include "app/frametoolbars.h"
#include "app/workbookwndapi.h"
#include "core/clock.h"

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <unordered_map>

class QAction;
class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace vl {

// What the Settings commands reach outside the frame: the profile file's reader and writer,
// the path the profile goes back to at exit, and the registration of the automation
// server. A missing one keeps its commands disabled.
struct FrameSettingsAccess {
    // Each returns an error code, 0 on success; a failure was shown when `showErrors`.
    std::function<int(const QString& path, bool showErrors)> loadProfile;
    std::function<int(const QString& path, bool showErrors)> saveProfile;
    std::function<QString()> profilePath;
    std::function<void(const QString& path)> setProfilePath;
    // 0 when done; otherwise `error` holds the errno of the failing call (0 when unknown).
    std::function<int(bool registering, int& error)> registration;
};

class CServerModule;
class IPrintPreviewPane;
class IPrintServices;
class IComposerPane;
class IFormatPages;
class CStatusBarWnd;
class CMenuPrompts;

class CMainFrame : public QMainWindow {
public:
    static constexpr int kTimerId = 22102;
    static constexpr int kTimerMs = 10000;

    // `module` receives the frame's lock release; `clock` times inactivity.
    CMainFrame(CServerModule* module, const IClock& clock, IWorkbookWndFactory* factory);
    ~CMainFrame() override;

    // Builds menus, bars, panes and the timer, and joins the message loop.
    void OnCreate();
    // Set before OnCreate.
    void SetSettingsAccess(FrameSettingsAccess access) { settings_ = std::move(access); }

    // Runs command `id` through the dispatch table, then the active workbook window.
    void OnCommand(int id);
    // The menu's action of a command, and the toolbar button's (each null when absent).
    QAction* Action(int id) const;
    QAction* ToolAction(int id) const;
    bool HasHandler(int id) const;
    // The frame's item of one of its commands, made with `text` when it has none yet, for
    // the workbook windows' menus: its state is the frame's.
    QAction* SharedAction(int id, const QString& text);

    // Whether a command is carried now: by the frame's own handler (some need a dialog or a
    // service), or by the active workbook window.
    bool CommandHandled(int id) const;
    bool FrameCommandAvailable(int id) const;

    // Settings commands (mainframe_settings.cpp).
    void OnOptions();
    void OnLoadProfile();
    void OnSaveProfileAs();
    void OnRegisterServer(bool registering);
    // After Options and Load Profile: the histories cut to the levels, the default face, the
    // address box, the states and every view refreshed. The levels are those from before.
    void ApplyChangedSettings(int undoLevelBefore, int copyLevelBefore);

    // View commands (mainframe_view.cpp).
    void OnViewBar(int id);
    void OnViewFullScreen();
    void OnFindReplace();
    void OnZoom();

    // The drop-down of a toolbar button (mainframe_dropdowns.cpp): its menu under the
    // button, or the format page of a format button. The menu shown last, while it lives.
    void OnToolbarDropDown(int id);
    void OnFunctionMenu();
    QMenu* DropDownMenu() const { return dropMenu_; }
    // Where a menu of `menuSize` opens under a button at `button` (screen coordinates):
    // the lower-left corner, moved left or right to stay inside `available`.
    static QPoint DropDownPoint(const QRect& button, const QSize& menuSize, const QRect& available);

    IWorkbookWnd* GetActiveWorkbookWnd() const;
    // Set by the workbook windows whenever one is activated or deactivated.
    void SetWindowActivated() { windowActivated_ = 1; }
    uint8_t WindowActivated() const { return windowActivated_; }
    CWorkbook* GetActiveWorkbook() const;
    QMdiArea* MdiArea() const { return mdi_; }
    CStatusBarWnd* StatusBarWnd() const { return status_; }
    QToolBar* Toolbar(int index) const { return bars_[index]; }
    QComboBox* AddressBox() const { return addressBox_; }
    QMenu* RecentFilesMenu() const { return recentMenu_; }

    // Commands of the workbooks (Part of the workbook window's services).
    void OnFileNew();
    void OnFileOpen();
    void OnGoToAddress();
    // Brings forward the window of the file with exactly this path; false when none shows it.
    bool ActivateDocument(const QString& path);
    // Opens a file of the recent-file list in a new workbook window.
    void OpenRecentFile(const QString& path);
    // Opens the named files, each in a new workbook window.
    void OpenCommandLineFiles(const QStringList& files);

    // The inactivity timer's work: auto-save, then auto-close.
    void OnTimer();
    // Marks user activity: both inactivity points become now.
    void StampActivity();
    int64_t LastAutoSave() const { return lastAutoSave_; }
    int64_t LastAutoClose() const { return lastAutoClose_; }

    // The idle pass: toolbar states, format buttons, empty panes.
    void OnIdle();
    void UpdateStatusBar();
    void UpdateCommandStates();
    void UpdateTitle();

    // Printing (printcommands.cpp): the preview stands in the multiple-document area's place,
    // its toolbar in place of the others (mainframe_preview.cpp).
    void OnFilePrintPreview();
    void OnPreviewClose();
    void OnFilePrint(bool all);
    void OnFilePageSetup();
    IPrintPreviewPane* Preview() const { return preview_.get(); }
    // What the printing commands use (not owned); without any they stay disabled.
    void SetPrintServices(IPrintServices* services) { printing_ = services; }
    // The formula composer pane (not owned); without one its View command stays disabled.
    void SetComposerPane(IComposerPane* pane) { composer_ = pane; }
    IComposerPane* ComposerPane() const { return composer_; }
    // The format pages under the formatting toolbar (not owned); without them the six page
    // commands stay disabled.
    void SetFormatPages(IFormatPages* pages) { formatPages_ = pages; }
    IFormatPages* FormatPages() const { return formatPages_; }
    QComboBox* PageSelector() const { return pageSelector_; }

    // Help topics show their page in the status bar and open the README's section on them.
    void ShowHelpTopic(int topic);
    static const char* HelpTopicPage(int topic);

    // The address box's list: one item per bookmark, in the notation in use; the edit
    // field emptied (mainframe_bookmarks.cpp).
    void FillAddressBox();
    void OnAddBookmark();
    void OnCurrentAddress();
    void OnRemoveListItem(int id);

    // Width of the address box for a band `bandWidth` wide whose other buttons take `others`.
    static int AddressBoxWidth(int bandWidth, int others);
    // Where the frame starts: its saved rectangle when that is usable, else nothing.
    static bool UsableFrameRect(const QRect& rect);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QAction* MenuAction(int id, const QString& text);
    void CreateMenus();
    void CreateToolbars();
    QToolBar* CreateToolbar(int index);
    void CreateStatusBar();
    void ApplySavedVisibility();
    void RegisterHandlers();
    void RegisterPrintHandlers();
    // Next and Previous Worksheet page the preview while it is open.
    bool PreviewCommand(int id);
    void ShowPreviewSheet(int step);
    // The preview's commands are enabled only while it is open.
    void UpdatePreviewCommands();
    // The bars and panes the preview stands over go, and come back as they were.
    void HideForPreview(IWorkbookWnd& window);
    void RestoreAfterPreview();
    // Closes the preview; `dying` is a window going away, left alone.
    void ClosePreview(IWorkbookWnd* dying);
    // The preview toolbar's list of sheets: choosing n shows sheet n.
    void AttachPageSelector(QComboBox* box);
    void OnDocumentReleased(IWorkbookWnd* window);
    void RegisterBookmarkHandlers();
    // Menu 281 under the arrow of the Remove Current Item button.
    void AttachRemoveListMenu();
    void LayoutAddressBox();
    void RecordPlacement();
    void OnDestroy();
    void FillRecentFiles();
    bool PopupOpen() const;
    bool SaveModifiedWorkbooks(bool moveAutoSavePoint);
    void OnLocales(int id);
    void OnSettingChange();
    void OnAppAbout();
    void OnWindowArrange();
    void OnSearchBarCommand();
    // F3 and Enter in the search bar's boxes; true when the key was taken.
    bool SearchBoxKey(QObject* watched, QEvent* event);
    void OnViewComposer();
    void RegisterSettingsHandlers();
    void RegisterViewHandlers();
    void FillPasteList(QMenu& menu);
    void FillRecentFormulas(QMenu& menu);
    // Presses on the arrow of a drop-down button open its menu.
    bool DropArrowPress(QObject* watched, QEvent* event);
    void UpdateFrameCommands();
    void AddWorkbookWindow(IWorkbookWnd* window);
    void SetFormatButtonTexts(bool shown);

    CServerModule* module_;
    const IClock& clock_;
    IWorkbookWndFactory* factory_;
    std::unordered_map<int, QAction*> actions_;
    std::unordered_map<int, QAction*> toolActions_;
    std::unordered_map<int, std::function<void()>> handlers_;
    std::array<QToolBar*, kToolbars> bars_{};
    QComboBox* addressBox_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    std::unique_ptr<IPrintPreviewPane> preview_;
    IPrintServices* printing_ = nullptr;
    IComposerPane* composer_ = nullptr;
    IFormatPages* formatPages_ = nullptr;
    QComboBox* pageSelector_ = nullptr;
    // What the preview hid, to show again on Close.
    struct PreviewHidden {
        IWorkbookWnd* window = nullptr; // the previewed window while it lives
        bool containerProperties = false;
        bool composer = false;
        bool searchBar = false;
    } previewHidden_;
    CStatusBarWnd* status_ = nullptr;
    CMenuPrompts* prompts_ = nullptr;
    FrameSettingsAccess settings_;
    QPointer<QMenu> dropMenu_;
    int timerId_ = 0;
    int64_t lastAutoSave_ = 0;
    int64_t lastAutoClose_ = 0;
    bool idleDirty_ = true;
    // The last key press or mouse button came from the keyboard: popups that a command
    // opens go where the keyboard user works, not to the pointer.
    bool lastInputByKeys_ = false;
    bool hadWorkbook_ = true;
    bool created_ = false;
    bool destroyed_ = false;
    bool inTimer_ = false;
    uint8_t windowActivated_ = 0;
};

} // namespace vl
