#include "workbookwnd/workbookwnd.h"

#include "app/mainframe.h"
#include "core/settings.h"
#include "exchange/foreignfile.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/inspectpane.h"
#include "workbookwnd/menumerger.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vl {

namespace {

// A side pane: a title with a close button above its client.
QWidget* MakePaneContainer(const QString& title, QWidget* client, QWidget* parent,
                           std::function<void()> onClose) {
    auto* pane = new QWidget(parent);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QWidget(pane);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(4, 1, 1, 1);
    barLayout->addWidget(new QLabel(title.left(80), bar), 1);
    auto* close = new QToolButton(bar);
    close->setText(QStringLiteral("x"));
    close->setAutoRaise(true);
    QObject::connect(close, &QToolButton::clicked, pane, std::move(onClose));
    barLayout->addWidget(close);
    layout->addWidget(bar);
    client->setParent(pane);
    layout->addWidget(client, 1);
    return pane;
}

QString FromCp1252(const std::string& text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

} // namespace

CWorkbookWnd* AsWorkbookWnd(IWorkbookWnd* window) {
    return dynamic_cast<CWorkbookWnd*>(window);
}

CWorkbookWnd::CWorkbookWnd(CMainFrame* frame, QWidget* parent)
    : QWidget(parent), frame_(frame), book_(CreateWorkbook()), display_(ctx_, false) {
    if (book_) book_->ApplyUndoLevelSetting();
    RegisterCommands();
}

CWorkbookWnd::~CWorkbookWnd() {
    // Focus moves while the panes go; the window's own handler must not see them.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    CMenuMerger::Forget(this);
    ReleaseDocumentEntry(this);
    // The views read the workbook while they go.
    delete outer_;
    outer_ = nullptr;
}

bool CWorkbookWnd::OnCreate() {
    if (!book_) return false;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    outer_ = new QSplitter(Qt::Horizontal, this);
    inner_ = new QSplitter(Qt::Vertical, outer_);
    tree_ = new QTreeWidget();
    treeCtl_ = new CTreePane(*this, tree_);
    treePane_ = MakePaneContainer(QStringLiteral("Worksheets"), tree_, outer_,
                                  [this] { HandleCommand(ID_VIEW_TREE); });
    table_ = new QSplitter(Qt::Vertical, inner_);
    inspectCtl_ = new CInspectPane(*this);
    inspect_ = inspectCtl_->List();
    inspectPane_ = MakePaneContainer(QStringLiteral("Inspect Cells"), inspectCtl_, inner_,
                                     [this] { HandleCommand(ID_VIEW_INSPECT); });
    for (CWorksheetView*& view : views_) {
        view = new CWorksheetView(this, table_);
        if (!view->OnCreate()) return false;
    }
    outer_->addWidget(treePane_);
    outer_->addWidget(inner_);
    inner_->addWidget(table_);
    inner_->addWidget(inspectPane_);
    table_->addWidget(views_[0]);
    table_->addWidget(views_[1]);
    // One pane until the table is split.
    views_[1]->hide();
    outer_->setStretchFactor(1, 1);
    inner_->setStretchFactor(0, 1);
    layout->addWidget(outer_);
    SyncContext();
    BuildMenus();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        for (int i = 0; i < 2; ++i)
            if (now && views_[i] && (now == views_[i] || views_[i]->isAncestorOf(now)))
                activeView_ = i;
        // Keys pushed on from a pane as it hides (the sub-window restored from maximised as
        // another is activated), or moved while this window is not the active one, were not
        // moved there by the user.
        if (old && PaneOf(old) && !old->isVisible()) return;
        if (QWidget* pane = PaneOf(now); pane && IsActiveSubWindow()) lastPane_ = pane;
    });
    return true;
}

void CWorkbookWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!laidOut_) ShowWindowLayout();
}

void CWorkbookWnd::ShowWindowLayout() {
    laidOut_ = true;
    const PaneLayout& panes = book_->panes;
    treePane_->setVisible(panes.treeShown != 0);
    if (panes.treeShown) {
        const int total = std::max(outer_->width(), panes.treeWidth + 60);
        outer_->setSizes({int(panes.treeWidth), total - panes.treeWidth});
    }
    inspectPane_->setVisible(panes.inspectShown != 0);
    if (panes.inspectShown) {
        const int total = std::max(inner_->height(), panes.inspectHeight + 60);
        inner_->setSizes({total - panes.inspectHeight, int(panes.inspectHeight)});
    }
    treeCtl_->Fill();
    inspectCtl_->Reload();
    views_[0]->LoadViewPosition();
    views_[0]->setFocus();
    UpdateTitle();
    UpdateStatus();
}

void CWorkbookWnd::StorePaneLayout() {
    PaneLayout& panes = book_->panes;
    if (treePane_->isVisible() && !outer_->sizes().isEmpty())
        panes.treeWidth = uint16_t(std::clamp(outer_->sizes()[0], 0, 0xFFFF));
    if (inspectPane_->isVisible() && inner_->sizes().size() > 1)
        panes.inspectHeight = uint16_t(std::clamp(inner_->sizes()[1], 0, 0xFFFF));
}

QString CWorkbookWnd::Title() const {
    QString title = HasOpenFile() && !path_.empty() ? QString::fromStdString(path_)
                                                    : AppString(IDS_NEW_WORKBOOK);
    std::string sheetPath;
    if (book_ && book_->tree.active) BuildTreeItemPath(book_->tree.active, sheetPath, false);
    title += QStringLiteral(" - ") + FromCp1252(sheetPath);
    if (modified_ || partsUnsaved_) title += QStringLiteral(" *");
    return title;
}

void CWorkbookWnd::UpdateTitle() {
    const QString title = Title();
    setWindowTitle(title);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(title);
    if (frame_) frame_->UpdateTitle();
}

void CWorkbookWnd::SetModified(bool modified) {
    if (modified == modified_) return;
    modified_ = modified;
    UpdateTitle();
}

bool CWorkbookWnd::HasOpenFile() const {
    return book_ && book_->stream.IsOpen();
}

bool CWorkbookWnd::QuerySaveChanges() {
    if (!modified_ && !partsUnsaved_) return true;
    const QString name =
        HasOpenFile() ? QString::fromStdString(path_) : AppString(IDS_NEW_WORKBOOK);
    const int answer =
        ShowStringMessage(IDS_SAVE_CHANGES, MB_YESNOCANCEL | MB_ICONEXCLAMATION, name);
    if (answer == IDCANCEL) return false;
    if (answer == IDNO) return true;
    // A document that cannot be written where it is goes to another file instead; one whose
    // file's form cannot hold it all, to a native file.
    if (HasOpenFile() && book_->readOnly) {
        SaveAs();
    } else if (HasOpenFile() && FormLosesContent(*book_, book_->fileFamily)) {
        SaveAsNative();
    } else {
        OnFileSave();
        if (modified_ && book_->error == kStreamOpenWrite) SaveAs();
    }
    return !modified_ && !partsUnsaved_ && HasOpenFile();
}

void CWorkbookWnd::closeEvent(QCloseEvent* event) {
    if (closing_ || QuerySaveChanges()) {
        closing_ = true;
        // New and Open maximize their only window the way the last one closed.
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            Profile().maximizeDocWindow = sub->isMaximized() ? 1 : 0;
        event->accept();
    } else {
        event->ignore();
    }
}

void CWorkbookWnd::SendCommand(int id) {
    HandleCommand(id);
}

void CWorkbookWnd::PostCommand(int id) {
    QMetaObject::invokeMethod(
        this, [this, id] { HandleCommand(id); }, Qt::QueuedConnection);
}

DocumentState CWorkbookWnd::State() const {
    DocumentState doc;
    if (CWorksheetView* view = GetActiveView()) doc.selection = view->Selection();
    const CWorkbook& book = *book_;
    doc.imported = book.fileFamily != 0;
    doc.importKind = book.fileFamily;
    doc.fileFormat = book.fileKind;
    doc.fileOpen = HasOpenFile();
    doc.lastSaved = book.lastSavedDate;
    doc.savedBy = book.lastSavedUser;
    doc.lockState = book.encryption ? 3 : book.readOnly ? 1 : 0;
    doc.editorState = uint8_t(refPick_);
    if (const CWorksheet* sheet = book.tree.active) {
        doc.zoom = sheet->view.scale ? sheet->view.scale : 100;
        doc.frozenColumn = (sheet->view.freezed.flags & kRefColumn) != 0;
        doc.frozenRow = (sheet->view.freezed.flags & kRefRow) != 0;
    }
    doc.readOnly = book.readOnly != 0 && HasOpenFile();
    doc.treePane = treePane_ && treePane_->isVisibleTo(this) ? 1 : 0;
    doc.inspectPane = inspectPane_ && inspectPane_->isVisibleTo(this) ? 1 : 0;
    doc.undoPosition = book.undo.current;
    // Redo reaches the history's maximum, never the spare slot.
    const int32_t next = book.undo.current + 1;
    const int32_t last = int32_t(std::min<uint32_t>(book.undo.maximum, kUndoSpareSlot - 1));
    doc.nextUndoEntry = next >= 0 && next <= last && book.undo.entries[next].kind != kUndoEmpty;
    doc.splitHorizontal = SplitHorizontally();
    doc.splitVertical = SplitVertically();
    doc.updateMode = book.updateMode;
    return doc;
}

const CCellStore* CWorkbookWnd::ActiveCells() const {
    return book_ && book_->tree.active ? &book_->tree.active->cells : nullptr;
}

void CWorkbookWnd::RefreshViews() {
    for (CWorksheetView* view : views_)
        if (view) view->InvalidateAll();
    // The watched cells show values that edits change.
    if (inspect_) inspect_->viewport()->update();
}

CWorksheetView* CWorkbookWnd::GetActiveView() const {
    if (activeView_ == 1 && views_[1] && !views_[1]->isHidden()) return views_[1];
    return views_[0];
}

bool CWorkbookWnd::SplitHorizontally() const {
    return views_[1] && !views_[1]->isHidden() && table_->orientation() == Qt::Vertical;
}

bool CWorkbookWnd::SplitVertically() const {
    return views_[1] && !views_[1]->isHidden() && table_->orientation() == Qt::Horizontal;
}

CWorksheetView* CWorkbookWnd::SiblingOf(const CWorksheetView* view) const {
    if (!views_[1] || views_[1]->isHidden()) return nullptr;
    return view == views_[0] ? views_[1] : views_[0];
}

void CWorkbookWnd::SetActiveSelection(uint16_t c1, uint32_t r1, uint16_t c2, uint32_t r2) {
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    view->SetSelection({c1, r1, c2, r2});
    view->ScrollToCell(r1, c1);
    view->SyncSplitPane();
}

void CWorkbookWnd::SyncContext() {
    ctx_.worksheetList = book_->tree.first;
    ctx_.currentCells = book_->tree.active ? &book_->tree.active->cells : nullptr;
    display_.SetShowFormulas(Profile().showFormulas != 0);
}

uint8_t CWorkbookWnd::UpdateMode() const {
    return book_->updateMode ? book_->updateMode : Profile().updateMode;
}

void CWorkbookWnd::OnReferenceCommand(const std::string* typed) {
    CWorksheetView* view = GetActiveView();
    if (refPick_ == kRefPickEditing && !typed) return StartPicking();
    if (refPick_ == kRefPickPicking && !typed) return FinishPicking();
    if (!view || refPick_ != kRefPickNone || !book_->tree.active) return;
    SyncContext();
    const CellRange& sel = view->Selection();
    const std::string text = typed ? *typed
                                   : GetCellText(ctx_, book_->tree.active->cells, sel.c1, sel.r1,
                                                 sel.c1, sel.r1, false, false);
    refPick_ = kRefPickEditing;
    if (!view->BeginCellEdit(text, typed ? int(typed->size()) : 0)) refPick_ = kRefPickNone;
    UpdateStatus();
}

void CWorkbookWnd::UpdateStatus() {
    RefreshMenuStates();
    if (!frame_ || frame_->GetActiveWorkbookWnd() != this) return;
    frame_->UpdateStatusBar();
    frame_->UpdateCommandStates();
}

} // namespace vl
