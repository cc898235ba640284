#include "app/helpviewer.h"
#include "app/localeseparators.h"
#include "app/mainframe.h"
#include "app/statusbarwnd.h"
#include "app/windowtile.h"
#include "core/settings.h"
#include "formula/addresstext.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/imagelists.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimerEvent>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace vl {

void CMainFrame::RegisterHandlers() {
    auto& h = handlers_;
    RegisterPrintHandlers();
    if (factory_) {
        h[ID_FILE_NEW] = [this] { OnFileNew(); };
        h[ID_FILE_OPEN] = [this] { OnFileOpen(); };
        h[ID_FILE_MRU_FIRST] = [this] {
            const auto& files = Profile().recentFiles;
            if (!files.empty()) OpenRecentFile(QString::fromStdString(files.front()));
        };
    }
    h[ID_APP_EXIT] = [this] {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    };
    h[ID_APP_ABOUT] = [this] { OnAppAbout(); };
    h[ID_HELP_CONTENTS] = [this] { ShowHelpTopic(1); };
    h[ID_HELP_SUPPORT] = [this] { ShowHelpTopic(17); };
    // Without an address of its own, Online Help is the help the program carries.
    h[ID_HELP_ONLINE] = [this] {
        const QString address = OnlineHelpAddress();
        if (address.isEmpty()) return ShowHelpTopic(1);
        if (!OpenOnlineHelp(address))
            ShowMessageText(
                QStringLiteral("No program here opens the online help at %1.").arg(address));
    };
    h[ID_WINDOW_CASCADE] = [this] { mdi_->cascadeSubWindows(); };
    h[ID_WINDOW_TILE] = [this] { TileHorizontally(*mdi_); };
    h[ID_WINDOW_ARRANGE] = [this] { OnWindowArrange(); };
    // The current window: the active one is none while the preview hides the area.
    h[ID_WINDOW_CLOSE_ACTIVE] = [this] {
        IWorkbookWnd* wnd = GetActiveWorkbookWnd();
        if (auto* sub = wnd ? qobject_cast<QMdiSubWindow*>(wnd->Widget()->parentWidget()) : nullptr)
            sub->close();
        else
            mdi_->closeActiveSubWindow();
    };
    h[ID_WINDOW_NEXT] = [this] { mdi_->activateNextSubWindow(); };
    for (int id : {ID_LOCALE_GENERIC, ID_LOCALE_SYSTEM, ID_LOCALE_USER})
        h[id] = [this, id] { OnLocales(id); };
    h[ID_SEARCH_CLOSE] = [this] { OnSearchBarCommand(); };
    h[ID_VIEW_COMPOSER] = [this] { OnViewComposer(); };
    RegisterBookmarkHandlers();
    RegisterSettingsHandlers();
    RegisterViewHandlers();
    h[ID_GO_TO_ADDRESS] = [this] { OnGoToAddress(); };
    h[ID_INSERT_FUNCTION] = [this] { OnFunctionMenu(); };
}

void CMainFrame::OnCommand(int id) {
    idleDirty_ = true;
    if (PreviewCommand(id)) return;
    if (auto it = handlers_.find(id); it != handlers_.end()) {
        it->second();
        return;
    }
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd) return;
    // The window's commands (deleting the previewed worksheet, reloading the workbook) act
    // on what the preview shows: it closes first.
    if (preview_) ClosePreview(nullptr);
    wnd->HandleCommand(id);
}

IWorkbookWnd* CMainFrame::GetActiveWorkbookWnd() const {
    // The hidden area has no current window while the preview stands in its place.
    if (preview_ && previewHidden_.window) return previewHidden_.window;
    // The current sub-window stays while the frame itself is inactive.
    QMdiSubWindow* sub = mdi_ ? mdi_->currentSubWindow() : nullptr;
    return sub ? FindWorkbookWndByHandle(sub->widget()) : nullptr;
}

CWorkbook* CMainFrame::GetActiveWorkbook() const {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    return wnd ? wnd->Workbook() : nullptr;
}

void CMainFrame::AddWorkbookWindow(IWorkbookWnd* window) {
    if (!AddDocumentEntry(window)) {
        delete window->Widget();
        // A 17th workbook: say why nothing opened.
        ShowStringMessage(IDS_MAX_ITEMS, MB_ICONEXCLAMATION, QString::number(kMaxDocuments));
        return;
    }
    QWidget* widget = window->Widget();
    // A window closed by its own button goes later, by a deferred delete: the idle pass after
    // it brings the toolbars in step at once, not at the next input.
    connect(widget, &QObject::destroyed, this, [this, window] {
        ReleaseDocumentEntry(window);
        idleDirty_ = true;
    });
    // A window shown as active asks for the frame's activation: a workbook that opens while
    // another program holds the keyboard (a wait that ended by itself) leaves it there.
    QWindow* handle = windowHandle();
    const bool away = handle && isVisible() && !QApplication::activeWindow();
    if (away) handle->setFlag(Qt::WindowDoesNotAcceptFocus, true);
    QMdiSubWindow* sub = mdi_->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(window->Title());
    if (Profile().maximizeDocWindow && OpenDocumentCount() == 1)
        sub->showMaximized();
    else
        sub->show();
    mdi_->setActiveSubWindow(sub);
    if (away) handle->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    idleDirty_ = true;
    UpdateTitle();
}

void CMainFrame::OnFileNew() {
    if (IWorkbookWnd* window = factory_ ? factory_->Create(mdi_, QString()) : nullptr)
        AddWorkbookWindow(window);
}

void CMainFrame::OnFileOpen() {
    if (IWorkbookWnd* window = factory_ ? factory_->CreateFromDialog(mdi_) : nullptr)
        AddWorkbookWindow(window);
}

void CMainFrame::OpenRecentFile(const QString& path) {
    if (IWorkbookWnd* window = factory_ ? factory_->CreateRecent(mdi_, path) : nullptr)
        AddWorkbookWindow(window);
}

// A "[file]" part first brings that workbook forward, opening it when no window shows it;
// then Go jumps in the active workbook window.
void CMainFrame::OnGoToAddress() {
    AddressParts parts;
    const std::string text = addressBox_ ? addressBox_->currentText().toStdString() : "";
    if (SplitAddressText(text, parts) && !parts.file.empty()) {
        const QString file = QString::fromStdString(parts.file);
        if (!ActivateDocument(file)) {
            IWorkbookWnd* window = factory_ ? factory_->Create(mdi_, file) : nullptr;
            // The failed open has told the user why.
            if (!window) return;
            AddWorkbookWindow(window);
        }
    }
    if (IWorkbookWnd* wnd = GetActiveWorkbookWnd())
        wnd->HandleCommand(ID_GO_TO_ADDRESS);
    else
        ShowMessageText(AppString(IDS_INVALID_ADDRESS));
}

bool CMainFrame::ActivateDocument(const QString& path) {
    for (int i = 0; i < kMaxDocuments; ++i) {
        IWorkbookWnd* window = DocumentTable()[i].window;
        if (!window || window->FilePath() != path) continue;
        for (QMdiSubWindow* sub : mdi_->subWindowList())
            if (sub->widget() == window->Widget()) mdi_->setActiveSubWindow(sub);
        return GetActiveWorkbookWnd() == window;
    }
    return false;
}

void CMainFrame::OpenCommandLineFiles(const QStringList& files) {
    if (!factory_) return;
    for (const QString& file : files)
        if (IWorkbookWnd* window = factory_->Create(mdi_, file)) AddWorkbookWindow(window);
}

bool CMainFrame::PopupOpen() const {
    return QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

bool CMainFrame::SaveModifiedWorkbooks(bool moveAutoSavePoint) {
    for (int i = 0; i < kMaxDocuments; ++i) {
        DocumentEntry& e = DocumentTable()[i];
        // A read-only document cannot be saved; auto-save passes it by without a word.
        if (!e.workbook || !e.window->IsModified() || e.window->State().readOnly) continue;
        // Nor is a file written in a form that drops what the user has not agreed to lose.
        if (e.window->HasOpenFile() && e.window->PartialSavePending()) continue;
        if (!e.window->HasOpenFile()) UiServices().Beep();
        if (moveAutoSavePoint) lastAutoSave_ = clock_.NowSeconds();
        IWorkbookWnd* window = e.window;
        window->SendCommand(ID_FILE_SAVE);
        // The entry may be gone if the window closed while it saved.
        if (DocumentTable()[i].window == window && window->IsModified()) return false;
        if (PopupOpen()) return false;
    }
    return true;
}

void CMainFrame::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timerId_)
        OnTimer();
    else
        QMainWindow::timerEvent(event);
}

void CMainFrame::OnTimer() {
    if (inTimer_) return;
    inTimer_ = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{inTimer_};
    const SettingsProfile& p = Profile();
    int64_t now = clock_.NowSeconds();
    if (p.autoSave && now + 5 - lastAutoSave_ >= int64_t(p.autoSave) * 60) {
        lastAutoSave_ = now;
        if (PopupOpen() || !SaveModifiedWorkbooks(false)) return;
    }
    if (!p.autoClose) return;
    now = clock_.NowSeconds();
    if (now + 5 - lastAutoClose_ < int64_t(p.autoClose) * 60) return;
    lastAutoClose_ = now;
    if (PopupOpen() || !SaveModifiedWorkbooks(true)) return;
    if (PopupOpen()) {
        UiServices().Beep();
        return;
    }
    for (int i = 0; i < kMaxDocuments; ++i)
        if (DocumentTable()[i].workbook) DocumentTable()[i].window->PostCommand(ID_FILE_CLOSE);
}

const char* CMainFrame::HelpTopicPage(int topic) {
    static const char* const kPages[] = {
        "printing.htm",      "protection.htm",   "containers.htm",  "charts2d.htm",
        "chartsXY.htm",      "charts3d.htm",     "format_font.htm", "format_cell.htm",
        "format_style.htm",  "format_align.htm", "format_list.htm", "format_worksheet.htm",
        "settings.htm",      "text_files.htm",   "xbase_files.htm", "support.htm",
        "formulas_enter.htm"};
    return topic >= 2 && topic <= 18 ? kPages[topic - 2] : "intro.htm";
}

void CMainFrame::ShowHelpTopic(int topic) {
    // The help document opens at the topic in the help window, one for the frame; the
    // status bar goes on describing the active cell.
    auto* viewer =
        findChild<CHelpViewer*>(QStringLiteral("helpViewer"), Qt::FindDirectChildrenOnly);
    if (!viewer) viewer = new CHelpViewer(this);
    // A dialog's Help leaves the keyboard with the dialog, the help beside it.
    QWidget* modal = QApplication::activeModalWidget();
    viewer->ShowFor(modal != viewer ? modal : nullptr);
    viewer->ShowTopic(QString::fromLatin1(HelpTopicPage(topic)));
}

void CMainFrame::OnAppAbout() {
    QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    auto* dialog = new QDialog(owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("About Vorlane"));
    auto* layout = new QVBoxLayout(dialog);
    auto* picture = new QLabel(dialog);
    picture->setPixmap(QPixmap::fromImage(LoadPicture(QStringLiteral("bitmap_287"))));
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QStringLiteral("Vorlane\nVersion 7.3"), dialog), 0,
                      Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->setObjectName(QStringLiteral("AboutVorlane"));
    dialog->open();
}

void CMainFrame::OnWindowArrange() {
    // Minimised windows line up along the bottom of the area.
    int x = 0;
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (!sub->isMinimized()) continue;
        sub->move(x, mdi_->viewport()->height() - sub->height());
        x += sub->width();
    }
}

void CMainFrame::OnLocales(int id) {
    SettingsProfile& p = Profile();
    if (id == ID_LOCALE_GENERIC) {
        p.region = 0;
        ApplyLocaleChoice(0, true);
    } else {
        p.region = id == ID_LOCALE_SYSTEM ? 1 : 2;
        ApplyLocaleChoice(p.region, true);
    }
    UpdateCommandStates();
    UpdateStatusBar();
    for (int i = 0; i < kMaxDocuments; ++i)
        if (DocumentTable()[i].workbook) DocumentTable()[i].window->RefreshViews();
}

void CMainFrame::OnSettingChange() {
    ApplySystemLocaleChange();
    for (int i = 0; i < kMaxDocuments; ++i)
        if (DocumentTable()[i].workbook) DocumentTable()[i].window->RefreshViews();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) OnSettingChange();
    return QMainWindow::event(event);
}

void CMainFrame::FillRecentFiles() {
    QMenu* menu = recentMenu_;
    for (QAction* a : menu->actions())
        if (a != Action(ID_FILE_MRU_FIRST)) menu->removeAction(a), a->deleteLater();
    const auto& files = Profile().recentFiles;
    QAction* first = Action(ID_FILE_MRU_FIRST);
    if (files.empty()) {
        first->setText(QStringLiteral("(empty)"));
        first->setEnabled(false);
        return;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString path = QString::fromStdString(files[i]); // the system's bytes
        QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(path);
        QAction* action = i == 0 ? first : menu->addAction(text);
        action->setText(text);
        action->setEnabled(factory_ != nullptr);
        if (i > 0)
            connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
}

} // namespace vl
