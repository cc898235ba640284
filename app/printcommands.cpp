// The frame's printing commands: the preview in place of the workbook windows, its paging
// and zoom, and Print and Print All through the installed print services.

#include "app/mainframe.h"
#include "app/messages.h"
#include "app/printservices.h"
#include "resources/commandids.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QStackedWidget>

namespace vl {

namespace {

IPrintServices* g_printServices = nullptr;

} // namespace

void SetPrintServices(IPrintServices* services) {
    g_printServices = services;
}

IPrintServices* GetPrintServices() {
    return g_printServices;
}

void CMainFrame::RegisterPrintHandlers() {
    auto& h = handlers_;
    h[ID_FILE_PRINT_PREVIEW] = [this] { OnFilePrintPreview(); };
    h[ID_PREVIEW_CLOSE] = [this] { OnPreviewClose(); };
    h[ID_PREVIEW_PREV] = [this] { ShowPreviewSheet(-1); };
    h[ID_PREVIEW_NEXT] = [this] { ShowPreviewSheet(+1); };
    h[ID_PREVIEW_ZOOM_IN] = [this] {
        if (preview_) preview_->ZoomIn();
    };
    h[ID_PREVIEW_ZOOM_OUT] = [this] {
        if (preview_) preview_->ZoomOut();
    };
    h[ID_PREVIEW_GO_TO] = [] {}; // the page selector beside it does the going
    // The preview's Print closes it and then prints the previewed worksheet.
    h[ID_PREVIEW_PRINT] = [this] {
        OnPreviewClose();
        OnFilePrint(false);
    };
    h[ID_FILE_PRINT] = [this] { OnFilePrint(false); };
    h[ID_PRINT_ALL] = [this] { OnFilePrint(true); };
    h[ID_FILE_PAGE_SETUP] = [this] { OnFilePageSetup(); };
}

bool CMainFrame::PreviewCommand(int id) {
    if (!preview_) return false;
    if (id == ID_NEXT_WORKSHEET)
        ShowPreviewSheet(+1);
    else if (id == ID_PREV_WORKSHEET)
        ShowPreviewSheet(-1);
    else
        return false;
    return true;
}

void CMainFrame::UpdatePreviewCommands() {
    for (int id : {ID_PREVIEW_PRINT, ID_PREVIEW_GO_TO, ID_PREVIEW_PREV, ID_PREVIEW_NEXT,
                   ID_PREVIEW_ZOOM_IN, ID_PREVIEW_ZOOM_OUT, ID_PREVIEW_CLOSE})
        for (QAction* action : {Action(id), ToolAction(id)})
            if (action) action->setEnabled(preview_ != nullptr);
}

void CMainFrame::OnFilePrintPreview() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !g_printServices || preview_) return;
    int error = 0;
    preview_ = g_printServices->OpenPreview(stack_, *wnd, error);
    if (!preview_) {
        if (error) ShowErrorMessage(error);
        return;
    }
    pageSelector_ = new QComboBox(preview_->Widget());
    for (int n = 1; n <= preview_->SheetCount(); ++n) pageSelector_->addItem(QString::number(n));
    connect(pageSelector_, &QComboBox::activated, this, [this](int index) {
        if (preview_) preview_->ShowSheet(index);
    });
    stack_->addWidget(preview_->Widget());
    stack_->setCurrentWidget(preview_->Widget());
    UpdatePreviewCommands();
    idleDirty_ = true;
}

void CMainFrame::ShowPreviewSheet(int step) {
    if (!preview_) return;
    preview_->ShowSheet(preview_->CurrentSheet() + step);
    pageSelector_->setCurrentIndex(preview_->CurrentSheet());
}

void CMainFrame::OnPreviewClose() {
    if (!preview_) return;
    stack_->setCurrentWidget(mdi_);
    stack_->removeWidget(preview_->Widget());
    preview_.reset();
    pageSelector_ = nullptr;
    UpdatePreviewCommands();
    idleDirty_ = true;
}

void CMainFrame::OnFilePrint(bool all) {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !g_printServices) return;
    if (const int error = g_printServices->Print(this, *wnd, all)) ShowErrorMessage(error);
}

void CMainFrame::OnFilePageSetup() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !g_printServices) return;
    if (const int error = g_printServices->PageSetup(this, *wnd)) ShowErrorMessage(error);
}

} // namespace vl
