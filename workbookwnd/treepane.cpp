#include "workbookwnd/treepane.h"

#include "formula/edit/treecommands.h"
#include "formula/edit/undoexec.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "resources/menus.h"
#include "ui/commandprompts.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <utility>
#include <vector>

namespace vl {

namespace {

constexpr int kItemRole = Qt::UserRole;
constexpr int kHandleType = QTreeWidgetItem::UserType + 1;
// How many counter values New Worksheet and New Folder try before giving up.
constexpr int kNewNameTries = 10000;

// A control item that keeps its image index beside its icon: set together, the change
// reaches the view once.
class CTreeHandle : public QTreeWidgetItem {
public:
    CTreeHandle() : QTreeWidgetItem(kHandleType) {}
    int image = -1;
};

QString Label(const CTreeItem& item) {
    return QString::fromStdString(Cp1252ToUtf8(item.name));
}

QIcon ImageIcon(int image) {
    QStyle* style = QApplication::style();
    switch (image) {
    case kImageFolderClosed:
        return style->standardIcon(QStyle::SP_DirClosedIcon);
    case kImageFolderOpen:
        return style->standardIcon(QStyle::SP_DirOpenIcon);
    case kImageActive:
        return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case kImageWorkbook:
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    default:
        return style->standardIcon(QStyle::SP_FileIcon);
    }
}

// Whether `item` lies in the subtree of `branch` (the branch head included).
bool InSubtree(const CTreeItem* item, CTreeItem* branch) {
    for (CTreeItem *p = branch, *end = SubtreeEnd(branch);; p = p->next) {
        if (p == item) return true;
        if (p == end || !p) return false;
    }
}

} // namespace

CTreePane::CTreePane(CWorkbookWnd& wnd, QTreeWidget* tree)
    : QObject(tree), wnd_(wnd), tree_(tree), viewport_(tree->viewport()),
      timer_(MakeWorkbookTimer()) {
    for (int i = 0; i <= kImageWorkbook; ++i) icons_[i] = ImageIcon(i);
    tree_->setHeaderHidden(true);
    // Every row is one icon and one line: no item needs measuring on its own.
    tree_->setUniformRowHeights(true);
    tree_->setRootIsDecorated(true);
    tree_->setDragEnabled(false);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setContextMenuPolicy(Qt::NoContextMenu);
    tree_->installEventFilter(this);
    viewport_->installEventFilter(this);
    ShowFocus(false);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnCurrentChanged(current); });
    connect(tree_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* handle) { OnItemChanged(handle); });
    connect(tree_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) { OnEditorClosed(hint); });
    connect(tree_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* handle) { OnExpanded(handle, true); });
    connect(tree_, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* handle) { OnExpanded(handle, false); });
}

CTreePane::~CTreePane() {
    if (timer_) timer_->Disarm();
}

CTreeItem* CTreePane::ItemOf(const QTreeWidgetItem* handle) {
    return handle ? static_cast<CTreeItem*>(handle->data(0, kItemRole).value<void*>()) : nullptr;
}

int CTreePane::ImageOf(const QTreeWidgetItem* handle) {
    return handle && handle->type() == kHandleType ? static_cast<const CTreeHandle*>(handle)->image
                                                   : -1;
}

void CTreePane::SetImage(QTreeWidgetItem* handle, int image) {
    const bool quiet = quiet_;
    quiet_ = true;
    if (handle->type() == kHandleType) static_cast<CTreeHandle*>(handle)->image = image;
    handle->setIcon(0, icons_[image >= 0 && image <= kImageWorkbook ? image : kImageWorksheet]);
    quiet_ = quiet;
}

QTreeWidgetItem* CTreePane::NewHandle(QTreeWidgetItem* parent, QTreeWidgetItem* after,
                                      CTreeItem* item) {
    QTreeWidgetItem* handle = MakeHandle(item);
    const int count = parent->childCount();
    // After the last child needs no search among the others.
    const int at = !after                                       ? 0
                   : count && parent->child(count - 1) == after ? count
                                                                : parent->indexOfChild(after) + 1;
    parent->insertChild(at, handle);
    return handle;
}

QTreeWidgetItem* CTreePane::MakeHandle(CTreeItem* item) {
    // Made whole before it joins the control, which then hears of it once.
    auto* handle = new CTreeHandle;
    handle->setText(0, Label(*item));
    handle->setData(0, kItemRole, QVariant::fromValue<void*>(item));
    handle->setFlags(handle->flags() | Qt::ItemIsEditable);
    const int image = item->IsFolder()
                          ? (item->expanded ? kImageFolderOpen : kImageFolderClosed)
                          : (item == wnd_.Book().tree.active ? kImageActive : kImageWorksheet);
    SetImage(handle, image);
    if (image == kImageActive) activeHandle_ = handle;
    handles_[item] = handle;
    return handle;
}

void CTreePane::ForgetBranch(QTreeWidgetItem* handle) {
    if (auto it = handles_.find(ItemOf(handle)); it != handles_.end() && it->second == handle)
        handles_.erase(it);
    for (int i = 0; i < handle->childCount(); ++i) ForgetBranch(handle->child(i));
}

bool CTreePane::Fill() {
    quiet_ = true;
    tree_->clear();
    handles_.clear();
    activeHandle_ = nullptr;
    // The whole tree is built apart and joins the control at once.
    root_ = new CTreeHandle;
    root_->setText(0, QStringLiteral("Workbook"));
    SetImage(root_, kImageWorkbook);
    // The open folders of the walk, innermost last: an item goes under the last folder of a
    // smaller level.
    struct Open {
        uint16_t level;
        QTreeWidgetItem* handle;
    };
    std::vector<Open> open;
    std::vector<QTreeWidgetItem*> toExpand;
    for (CTreeItem* p = wnd_.Book().tree.first; p; p = p->next) {
        while (!open.empty() && open.back().level >= p->level) open.pop_back();
        QTreeWidgetItem* parent = open.empty() ? root_ : open.back().handle;
        QTreeWidgetItem* handle = MakeHandle(p);
        parent->addChild(handle);
        if (p->IsFolder()) {
            open.push_back({p->level, handle});
            if (p->expanded) toExpand.push_back(handle);
        }
    }
    tree_->addTopLevelItem(root_);
    root_->setExpanded(true);
    for (QTreeWidgetItem* handle : toExpand) handle->setExpanded(true);
    quiet_ = false;
    if (activeHandle_) Select(ItemOf(activeHandle_));
    return true;
}

QTreeWidgetItem* CTreePane::FindHandle(const CTreeItem* item, QTreeWidgetItem* start) const {
    auto it = item ? handles_.find(item) : handles_.end();
    if (it == handles_.end()) return nullptr;
    // Only a handle inside the subtree of `start` counts.
    for (QTreeWidgetItem* up = it->second; start && up != start; up = up->parent())
        if (!up) return nullptr;
    return it->second;
}

QTreeWidgetItem* CTreePane::InsertBranch(CTreeItem* item) {
    // The parent is the nearest folder before the item with a smaller level; the item goes
    // after its previous sibling, the nearest item before it of the same level.
    QTreeWidgetItem* parent = root_;
    CTreeItem* sibling = nullptr;
    for (CTreeItem* p = item->prev; p; p = p->prev) {
        if (p->level == item->level && !sibling) sibling = p;
        if (p->level < item->level) {
            if (p->IsFolder()) parent = FindHandle(p);
            break;
        }
    }
    if (!parent) return nullptr;
    QTreeWidgetItem* after = sibling ? FindHandle(sibling, parent) : nullptr;
    quiet_ = true;
    QTreeWidgetItem* handle = NewHandle(parent, after, item);
    std::vector<std::pair<uint16_t, QTreeWidgetItem*>> open{{item->level, handle}};
    std::vector<QTreeWidgetItem*> toExpand;
    if (item->IsFolder() && item->expanded) toExpand.push_back(handle);
    for (CTreeItem *p = item->next, *end = SubtreeEnd(item); p && item != end; p = p->next) {
        while (open.back().first >= p->level) open.pop_back();
        QTreeWidgetItem* under = open.back().second;
        QTreeWidgetItem* last =
            under->childCount() ? under->child(under->childCount() - 1) : nullptr;
        QTreeWidgetItem* child = NewHandle(under, last, p);
        if (p->IsFolder()) {
            open.emplace_back(p->level, child);
            if (p->expanded) toExpand.push_back(child);
        }
        if (p == end) break;
    }
    for (QTreeWidgetItem* h : toExpand) h->setExpanded(true);
    quiet_ = false;
    return handle;
}

void CTreePane::Select(const CTreeItem* item) {
    QTreeWidgetItem* handle = FindHandle(item);
    if (!handle) {
        tree_->setCurrentItem(nullptr);
        return;
    }
    // A new current item of a shown control is scrolled to by the control itself.
    const bool scrolled =
        tree_->currentItem() != handle && tree_->isVisible() && tree_->hasAutoScroll();
    tree_->setCurrentItem(handle);
    if (!scrolled) tree_->scrollToItem(handle);
}

CTreeItem* CTreePane::SelectedItem() const {
    return ItemOf(tree_->currentItem());
}

void CTreePane::OnCurrentChanged(QTreeWidgetItem* current) {
    CWorksheet* sheet = AsWorksheet(ItemOf(current));
    CWorkbook& book = wnd_.Book();
    if (!sheet || quiet_) return;
    CWorksheetView* view = wnd_.GetActiveView();
    if (view) {
        view->EndCellEdit(kEditStay);
        if (sheet == book.tree.active) return;
        if (view->isVisible()) view->StoreViewPosition();
    }
    if (activeHandle_ && ItemOf(activeHandle_)) SetImage(activeHandle_, kImageWorksheet);
    SetImage(current, kImageActive);
    activeHandle_ = current;
    book.tree.active = sheet;
    wnd_.SyncContext();
    for (int i = 0; i < 2; ++i)
        if (CWorksheetView* v = wnd_.View(i)) v->LoadViewPosition();
    wnd_.RestoreSplit();
    if (CWorksheetView* active = wnd_.GetActiveView()) active->SyncSplitPane();
    wnd_.UpdateTitle();
    wnd_.UpdateStatus();
}

void CTreePane::OnExpanded(QTreeWidgetItem* handle, bool expanded) {
    if (quiet_) return;
    if (CWorksheetView* view = wnd_.GetActiveView()) view->EndCellEdit(kEditStay);
    if (handle == root_) {
        // The root stays open.
        if (!expanded)
            QMetaObject::invokeMethod(
                tree_, [this] { root_->setExpanded(true); }, Qt::QueuedConnection);
        return;
    }
    CTreeItem* item = ItemOf(handle);
    if (!item || !item->IsFolder()) return;
    SetImage(handle, expanded ? kImageFolderOpen : kImageFolderClosed);
    item->expanded = expanded ? 1 : 0;
}

void CTreePane::OnItemChanged(QTreeWidgetItem* handle) {
    if (quiet_) return;
    CTreeItem* item = ItemOf(handle);
    if (!item) return;
    std::string name = Utf8ToCp1252(handle->text(0).toStdString());
    // The name field holds 127 bytes.
    if (name.size() > kTreeNameSize - 1) name.resize(kTreeNameSize - 1);
    auto restore = [&] {
        quiet_ = true;
        handle->setText(0, Label(*item));
        quiet_ = false;
    };
    CWorkbook& book = wnd_.Book();
    CWorksheetView* view = wnd_.GetActiveView();
    const CellRange sel = view ? view->Selection() : CellRange{};
    const CommandResult result = RenameTreeItemCommand(book, {sel, sel.c1, sel.r1}, *item, name);
    restore();
    if (result == CommandResult::kFailed) ShowErrorMessage(book.error);
    if (result == CommandResult::kDone) Refresh(true);
}

void CTreePane::Rename(bool fromCommand) {
    QTreeWidgetItem* handle = tree_->currentItem();
    if (!handle || handle == root_) return;
    if (CWorksheetView* view = wnd_.GetActiveView()) view->EndCellEdit(kEditStay);
    keysToGrid_ = fromCommand;
    EditLabel(handle);
}

void CTreePane::EditLabel(QTreeWidgetItem* handle) {
    tree_->editItem(handle, 0);
    // Filtered after the item view, so this pane sees the editor's events first.
    labelEditor_ = tree_->itemWidget(handle, 0);
    if (labelEditor_) labelEditor_->installEventFilter(this);
}

void CTreePane::OnEditorClosed(int hint) {
    // Return commits and Escape cancels; an editor that lost the keys to a click elsewhere
    // leaves them where the click put them.
    if (hint != QAbstractItemDelegate::SubmitModelCache &&
        hint != QAbstractItemDelegate::RevertModelCache)
        return;
    if (!std::exchange(keysToGrid_, false)) return;
    wnd_.FocusActiveView();
}

void CTreePane::NewItem(bool folder) {
    CWorkbook& book = wnd_.Book();
    CWorksheetView* view = wnd_.GetActiveView();
    if (view) view->EndCellEdit(kEditStay);
    const CellRange sel = view ? view->Selection() : CellRange{};
    CTreeItem* raw = nullptr;
    // The counter passes over the names the folder has already.
    CommandResult result = CommandResult::kFailed;
    for (int tries = 0; tries < kNewNameTries; ++tries) {
        const uint32_t number = folder ? ++folderCounter : ++worksheetCounter;
        const std::string name = (folder ? "Folder" : "Worksheet") + std::to_string(number);
        result = NewTreeItemCommand(book, {sel, sel.c1, sel.r1}, folder, name.c_str(),
                                    SelectedItem(), &raw);
        if (result != CommandResult::kFailed || book.error != kErrorDuplicatePath) break;
    }
    if (result != CommandResult::kDone) return ShowErrorMessage(book.error);
    QTreeWidgetItem* handle = InsertBranch(raw);
    if (!handle) {
        Fill();
        return;
    }
    tree_->setFocus();
    tree_->setCurrentItem(handle);
    tree_->scrollToItem(handle);
    keysToGrid_ = true;
    EditLabel(handle);
    if (view) view->SyncSplitPane();
    wnd_.UpdateStatus();
    wnd_.SetModified(true);
}

bool CTreePane::DeleteSelected() {
    CTreeItem* item = SelectedItem();
    if (!item) return false;
    CWorkbook& book = wnd_.Book();
    CWorksheetView* view = wnd_.GetActiveView();
    const CellRange sel = view ? view->Selection() : CellRange{};
    QTreeWidgetItem* handle = FindHandle(item);
    if (view && view->isVisible()) view->StoreViewPosition();
    const CWorksheet* activeBefore = book.tree.active;
    if (RemoveTreeItemCommand(book, {sel, sel.c1, sel.r1}, *item) != CommandResult::kDone) {
        ShowErrorMessage(book.error);
        return false;
    }
    quiet_ = true;
    if (activeBefore != book.tree.active) activeHandle_ = nullptr;
    ForgetBranch(handle);
    delete handle;
    quiet_ = false;
    wnd_.SyncContext();
    if (QTreeWidgetItem* active = FindHandle(book.tree.active)) {
        if (activeBefore != book.tree.active) {
            for (int i = 0; i < 2; ++i)
                if (CWorksheetView* v = wnd_.View(i)) v->LoadViewPosition();
            wnd_.RestoreSplit();
            SetImage(active, kImageActive);
            activeHandle_ = active;
        }
        quiet_ = true;
        tree_->setCurrentItem(active);
        quiet_ = false;
    }
    Refresh(true);
    return true;
}

void CTreePane::Drop(CTreeItem* dragged, QTreeWidgetItem* targetHandle) {
    CWorkbook& book = wnd_.Book();
    CTreeItem* target = targetHandle ? ItemOf(targetHandle) : nullptr;
    const bool onRoot = targetHandle == root_;
    // While a reference is picked the kept edit names its worksheet: the tree stays as it is.
    if (wnd_.RefPickState() == kRefPickPicking) return UiServices().Beep();
    // A drop on the item itself or inside its own subtree moves nothing.
    if (!dragged || !targetHandle || (!onRoot && (!target || InSubtree(target, dragged))))
        return Refresh(true);
    CWorksheetView* view = wnd_.GetActiveView();
    const CellRange sel = view ? view->Selection() : CellRange{};
    QTreeWidgetItem* old = FindHandle(dragged);
    const CWorksheet* activeBefore = book.tree.active;
    CTreeItem* head = nullptr;
    const CommandResult result =
        MoveTreeItemCommand(book, {sel, sel.c1, sel.r1}, *dragged, target, &head);
    if (result == CommandResult::kFailed) ShowErrorMessage(book.error);
    if (result != CommandResult::kDone) return Refresh(true);
    if (!InsertBranch(head)) {
        Fill();
        return;
    }
    quiet_ = true;
    ForgetBranch(old);
    delete old;
    activeHandle_ = FindHandle(book.tree.active);
    if (activeHandle_) SetImage(activeHandle_, kImageActive);
    tree_->setCurrentItem(activeHandle_);
    quiet_ = false;
    if (activeBefore != book.tree.active) {
        wnd_.SyncContext();
        for (int i = 0; i < 2; ++i)
            if (CWorksheetView* v = wnd_.View(i)) v->LoadViewPosition();
        wnd_.RestoreSplit();
    }
    Refresh(true);
}

void CTreePane::Refresh(bool recalc) {
    CWorkbook& book = wnd_.Book();
    wnd_.SyncContext();
    if (recalc) {
        const uint8_t mode = wnd_.UpdateMode();
        if ((mode == 1 || mode == 2) && !RecalculateByUpdateMode(book))
            ShowErrorMessage(book.error);
        wnd_.SyncContext();
    }
    wnd_.FollowContainerWindow();
    wnd_.RefreshViews();
    wnd_.UpdateTitle();
    wnd_.UpdateStatus();
    wnd_.SetModified(true);
}

void CTreePane::BeginDrag(QPoint point) {
    if (CWorksheetView* view = wnd_.GetActiveView()) view->EndCellEdit(kEditStay);
    QTreeWidgetItem* handle = tree_->itemAt(point);
    if (!handle || handle == root_) return;
    drag_.active = true;
    drag_.item = ItemOf(handle);
    drag_.target = nullptr;
    drag_.hover = 0;
    drag_.pointer = point;
    quiet_ = true;
    tree_->setCurrentItem(handle);
    quiet_ = false;
    tree_->viewport()->grabMouse();
    timer_->Arm(kDragTickMs, [this] { OnDragTick(); });
}

void CTreePane::DragTo(QPoint point) {
    drag_.pointer = point;
    QTreeWidgetItem* under = tree_->itemAt(point);
    if (under == drag_.target) return;
    if (drag_.target) drag_.target->setSelected(false);
    drag_.target = under;
    drag_.hover = 0;
    // The drop highlight.
    if (under) under->setSelected(true);
}

void CTreePane::OnDragTick() {
    if (!drag_.active) return;
    const QPoint p = drag_.pointer;
    const QSize size = tree_->viewport()->size();
    QScrollBar* v = tree_->verticalScrollBar();
    QScrollBar* h = tree_->horizontalScrollBar();
    if (p.y() <= 0) v->triggerAction(QAbstractSlider::SliderSingleStepSub);
    if (p.x() <= 0) h->triggerAction(QAbstractSlider::SliderSingleStepSub);
    if (p.y() >= size.height()) v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (p.x() >= size.width()) h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (drag_.target) {
        drag_.hover += kDragTickMs;
        if (drag_.hover == kHoverOpen && drag_.target != root_ && drag_.target->childCount())
            drag_.target->setExpanded(true);
    }
    timer_->Arm(kDragTickMs, [this] { OnDragTick(); });
}

void CTreePane::EndDrag() {
    if (!drag_.active) return;
    drag_.active = false;
    timer_->Disarm();
    if (drag_.target) drag_.target->setSelected(false);
    tree_->viewport()->releaseMouse();
    QTreeWidgetItem* target = drag_.target;
    CTreeItem* item = drag_.item;
    drag_ = DragState{};
    Drop(item, target);
}

bool CTreePane::OnKey(int key) {
    QTreeWidgetItem* handle = tree_->currentItem();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (handle && handle != root_) Rename(false);
        return true;
    }
    if (key == Qt::Key_Delete && handle && handle != root_) {
        wnd_.HandleCommand(ID_EDIT_CLEAR);
        return true;
    }
    return false;
}

void CTreePane::ShowMenu(QPoint global) {
    std::size_t count = 0;
    const MenuLine* lines = TreeContextMenuLines(count);
    auto* menu = new QMenu(tree_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    MarkPromptMenu(*menu);
    for (std::size_t i = 1; i < count; ++i) {
        if (!lines[i].text) {
            menu->addSeparator();
            continue;
        }
        const int id = lines[i].id;
        QAction* action = menu->addAction(QString::fromLatin1(lines[i].text));
        SetItemCommand(*action, id);
        action->setEnabled(wnd_.MenuCommandAvailable(id));
        connect(action, &QAction::triggered, &wnd_, [this, id] { wnd_.RunMenuCommand(id); });
    }
    menu->popup(global);
}

void CTreePane::ShowFocus(bool focused) {
    QPalette palette = QApplication::palette(tree_);
    if (!focused) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Highlight, palette.color(group, QPalette::Button));
            palette.setColor(group, QPalette::HighlightedText,
                             palette.color(group, QPalette::ButtonText));
        }
    }
    tree_->setPalette(palette);
}

bool CTreePane::eventFilter(QObject* watched, QEvent* event) {
    // The window losing activation for a moment (a menu closing on a busy machine does so)
    // takes the keyboard from the name editor; the item view would close the editor, and the
    // name typed next would go to the tree. The editor stays open and has the keys again
    // when the window is active again.
    if (watched == labelEditor_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason)
        return true;
    if (watched == tree_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        ShowFocus(event->type() == QEvent::FocusIn);
    // Keys the open name editor passes on (its Return among them) are not the tree's own.
    if (watched == tree_ && event->type() == QEvent::KeyPress &&
        QApplication::focusWidget() == tree_)
        return OnKey(static_cast<QKeyEvent*>(event)->key());
    if (watched != viewport_) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint point = mouse->position().toPoint();
        if (mouse->button() == Qt::RightButton) {
            // An open label editor commits its text.
            QWidget* focus = QApplication::focusWidget();
            if (focus && tree_->viewport()->isAncestorOf(focus)) tree_->setFocus();
            if (QTreeWidgetItem* under = tree_->itemAt(point)) tree_->setCurrentItem(under);
            ShowMenu(mouse->globalPosition().toPoint());
            return true;
        }
        if (mouse->button() == Qt::LeftButton) {
            drag_.pressed = true;
            drag_.start = point;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint point = mouse->position().toPoint();
        if (drag_.active) {
            DragTo(point);
            return true;
        }
        if (drag_.pressed && (mouse->buttons() & Qt::LeftButton) &&
            (point - drag_.start).manhattanLength() >= QApplication::startDragDistance()) {
            drag_.pressed = false;
            BeginDrag(drag_.start);
            if (drag_.active) DragTo(point);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        drag_.pressed = false;
        if (!drag_.active) return false;
        EndDrag();
        return true;
    case QEvent::UngrabMouse:
        // The capture went elsewhere: the drag ends where it stands.
        EndDrag();
        return false;
    default:
        return false;
    }
}

} // namespace vl
