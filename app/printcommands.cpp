// The frame's printing commands: the preview in place of the workbook windows, its paging
// and zoom, and Print and Print All through the frame's print services.

#include "app/mainframe.h"
#include "app/printservices.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "ui/messages.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QStackedWidget>
#include <utility>

namespace vl {

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

void CMainFrame::AttachPageSelector(QComboBox* box) {
    pageSelector_ = box;
    box->setObjectName(QStringLiteral("pageSelector"));
    box->setEnabled(false);
    connect(box, &QComboBox::activated, this, [this](int index) {
        if (preview_) preview_->ShowSheet(index);
    });
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
    if (pageSelector_) pageSelector_->setEnabled(preview_ != nullptr);
    for (int id : {ID_PREVIEW_PRINT, ID_PREVIEW_GO_TO, ID_PREVIEW_PREV, ID_PREVIEW_NEXT,
                   ID_PREVIEW_ZOOM_IN, ID_PREVIEW_ZOOM_OUT, ID_PREVIEW_CLOSE})
        for (QAction* action : {Action(id), ToolAction(id)})
            if (action) action->setEnabled(preview_ != nullptr);
}

void CMainFrame::OnFilePrintPreview() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !printing_ || preview_) return;
    preview_ = printing_->OpenPreview(stack_, *wnd);
    if (!preview_) {
        if (const CWorkbook* book = wnd->Workbook(); book && book->error)
            ShowErrorMessage(book->error);
        return;
    }
    if (pageSelector_) {
        pageSelector_->clear();
        for (int n = 1; n <= preview_->SheetCount(); ++n)
            pageSelector_->addItem(QString::number(n));
        pageSelector_->setCurrentIndex(0);
        pageSelector_->setEnabled(true);
    }
    preview_->SetZoomChanged([this] {
        if (preview_) preview_->SetZoomMode(0);
    });
    QWidget* widget = preview_->Widget();
    // Escape leaves the preview as Close does; posted, since Close destroys the widget
    // that holds the key.
    auto* escape = new QAction(widget);
    escape->setShortcut(Qt::Key_Escape);
    widget->addAction(escape);
    connect(escape, &QAction::triggered, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { OnCommand(ID_PREVIEW_CLOSE); }, Qt::QueuedConnection);
    });
    // Next and Previous Worksheet turn the page; their keys belong to the workbook window,
    // hidden while the preview stands in its place.
    for (const auto& [keys, id] : {std::pair{Qt::CTRL | Qt::Key_Down, ID_NEXT_WORKSHEET},
                                   std::pair{Qt::CTRL | Qt::Key_Up, ID_PREV_WORKSHEET}}) {
        auto* turn = new QAction(widget);
        turn->setShortcut(QKeySequence(keys));
        widget->addAction(turn);
        connect(turn, &QAction::triggered, this, [this, id] { PreviewCommand(id); });
    }
    HideForPreview(*wnd);
    stack_->addWidget(widget);
    stack_->setCurrentWidget(widget);
    widget->setFocus();
    UpdatePreviewCommands();
    idleDirty_ = true;
}

void CMainFrame::ShowPreviewSheet(int step) {
    if (!preview_) return;
    preview_->ShowSheet(preview_->CurrentSheet() + step);
    if (pageSelector_) pageSelector_->setCurrentIndex(preview_->CurrentSheet());
}

void CMainFrame::OnPreviewClose() {
    ClosePreview(nullptr);
}

void CMainFrame::ClosePreview(IWorkbookWnd* dying) {
    if (!preview_) return;
    if (previewHidden_.window == dying) previewHidden_.window = nullptr;
    stack_->setCurrentWidget(mdi_);
    stack_->removeWidget(preview_->Widget());
    // Frees the page list while the workbook still lives.
    preview_.reset();
    if (pageSelector_) {
        pageSelector_->clear();
        pageSelector_->setEnabled(false);
    }
    RestoreAfterPreview();
    UpdatePreviewCommands();
    idleDirty_ = true;
}

void CMainFrame::OnDocumentReleased(IWorkbookWnd* window) {
    if (preview_ && previewHidden_.window == window) ClosePreview(window);
}

void CMainFrame::OnFilePrint(bool all) {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !printing_) return;
    if (const ErrorCode error = printing_->Print(this, *wnd, all)) ShowErrorMessage(error);
}

void CMainFrame::OnFilePageSetup() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !printing_) return;
    if (const ErrorCode error = printing_->PageSetup(this, *wnd)) ShowErrorMessage(error);
}

} // namespace vl
