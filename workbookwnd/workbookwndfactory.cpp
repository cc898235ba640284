#include "workbookwnd/workbookwndfactory.h"

#include "app/mainframe.h"
#include "core/settings.h"
#include "files/workbookopen.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/documentopen.h"
#include "workbookwnd/workbookwnd.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vl {

namespace {

CMainFrame* FrameOf(QWidget* parent) {
    return parent ? dynamic_cast<CMainFrame*>(parent->window()) : nullptr;
}

// The window that holds this file already, brought forward; null when there is none.
bool ActivateOpenWindow(const std::string& path) {
    for (int i = 0; i < kMaxDocuments; ++i) {
        CWorkbookWnd* window = AsWorkbookWnd(DocumentTable()[i].window);
        if (!window || !window->HasOpenFile() || window->Path() != path) continue;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
            if (sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
        return true;
    }
    return false;
}

// A window with its panes, or null (error 8 shown) when it could not be made.
CWorkbookWnd* MakeWindow(QWidget* parent) {
    auto* window = new CWorkbookWnd(FrameOf(parent), parent);
    if (window->Workbook() && window->OnCreate()) return window;
    delete window;
    ShowErrorMessage(kErrorWorksheetMemory);
    return nullptr;
}

} // namespace

std::string CWorkbookWndFactory::AbsolutePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath()).toStdString();
}

IWorkbookWnd* CWorkbookWndFactory::Create(QWidget* parent, const QString& path) {
    if (path.isEmpty()) return CreateNew(parent);
    const std::string absolute = AbsolutePath(path);
    uint8_t type = kFileNative;
    GetFileTypeFromExtension(absolute, type);
    return Open(parent, absolute, type, false);
}

IWorkbookWnd* CWorkbookWndFactory::CreateRecent(QWidget* parent, const QString& path) {
    const std::string absolute = AbsolutePath(path);
    uint8_t type = kFileNative;
    GetFileTypeFromExtension(absolute, type);
    return Open(parent, absolute, type, true);
}

IWorkbookWnd* CWorkbookWndFactory::CreateFromDialog(QWidget* parent) {
    FileDialogMemory& memory = DialogMemory();
    QString folder = QString::fromStdString(memory.lastFolder);
    if (folder.isEmpty()) folder = QString::fromStdString(Profile().folder);
    if (folder.isEmpty()) folder = QDir::homePath();
    std::size_t count = 0;
    const FileFilter* filters = OpenFilters(count);
    CFileDlg dialog(true, QStringLiteral("Open"), QString(), QString(),
                    QtFilterList(filters, count), memory.openIndex, folder, parent);
    if (dialog.DoModal() != IDOK) return nullptr;
    const QString chosen = dialog.GetFileName();
    memory.lastFolder = dialog.GetDirectory().toStdString();
    const int index = dialog.FilterIndex();
    memory.openIndex = index;
    const std::string absolute = AbsolutePath(chosen);
    uint8_t type = kFileNative;
    if (index < 1 || index > int(count) || filters[index - 1].byExtension)
        GetFileTypeFromExtension(absolute, type);
    else
        type = filters[index - 1].type;
    return Open(parent, absolute, type, false);
}

IWorkbookWnd* CWorkbookWndFactory::CreateNew(QWidget* parent) {
    CWorkbookWnd* window = MakeWindow(parent);
    if (!window) return nullptr;
    if (!NewWorkbook(window->Book())) {
        delete window;
        ShowErrorMessage(kErrorWorksheetMemory);
        return nullptr;
    }
    window->SyncContext();
    return window;
}

IWorkbookWnd* CWorkbookWndFactory::Open(QWidget* parent, const std::string& path, uint8_t type,
                                        bool recent) {
    if (ActivateOpenWindow(path)) return nullptr;
    CWorkbookWnd* window = MakeWindow(parent);
    if (!window) return nullptr;
    const bool ok = OpenDocument(*window, path, type);
    if (!ok) {
        ShowOpenError(window->Book()); // a workbook that opened has nothing to report
        delete window;
        if (recent) RemoveRecentFile(path);
        return nullptr;
    }
    AddRecentFile(path);
    return window;
}

} // namespace vl
