#pragma once
// The one top-level window: menus, toolbars in rows, the multiple-document area, the status
// bar, the open workbooks' commands, idle refresh and the inactivity timer.

#include "app/frametoolbars.h"
#include "app/workbookwndapi.h"
#include "core/clock.h"

#include <QMainWindow>
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

class CServerModule;
class IPrintPreviewPane;
class CStatusBarWnd;

class CMainFrame : public QMainWindow {
public:
    static constexpr int kTimerId = 22102;
    static constexpr int kTimerMs = 10000;

    // `module` receives the frame's lock release; `clock` times inactivity.
    CMainFrame(CServerModule* module, const IClock& clock, IWorkbookWndFactory* factory);
    ~CMainFrame() override;

    // Builds menus, bars, panes and the timer, and joins the message loop.
    void OnCreate();

    // Runs command `id` through the dispatch table, then the active workbook window.
    void OnCommand(int id);
    // The menu's action of a command, and the toolbar button's (each null when absent).
    QAction* Action(int id) const;
    QAction* ToolAction(int id) const;
    bool HasHandler(int id) const;

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

    // Printing (printcommands.cpp): the preview stands in the multiple-document area's place.
    void OnFilePrintPreview();
    void OnPreviewClose();
    void OnFilePrint(bool all);
    IPrintPreviewPane* Preview() const { return preview_.get(); }
    QComboBox* PageSelector() const { return pageSelector_; }

    // Help topics show their page in the status bar.
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
    void OnViewComposer();
    // Zoom (32798): the pop-up above the status bar's zoom pane, applied to the active window.
    void OnZoom();
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
    QComboBox* pageSelector_ = nullptr;
    CStatusBarWnd* status_ = nullptr;
    int timerId_ = 0;
    int64_t lastAutoSave_ = 0;
    int64_t lastAutoClose_ = 0;
    bool idleDirty_ = true;
    bool hadWorkbook_ = true;
    bool created_ = false;
    bool destroyed_ = false;
    bool inTimer_ = false;
    uint8_t windowActivated_ = 0;
};

} // namespace vl
