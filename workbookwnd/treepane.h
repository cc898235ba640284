#pragma once
// The worksheet tree pane: one root "Workbook" over the folders and worksheets of the
// workbook's tree list, each control item carrying its CTreeItem. It fills and extends the
// control, activates the selected worksheet, renames by label editing, creates worksheets
// and folders, deletes a branch, and moves a branch by dragging (a state machine in the
// mouse handlers, ticked by the 100 ms timer).

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <cstdint>
#include <memory>
#include <unordered_map>

class QTreeWidget;
class QTreeWidgetItem;

namespace vl {

class CTreeItem;
class CWorkbookWnd;
class ITimerHost;

// Image indexes of the pane's items.
enum TreeImage : int {
    kImageFolderClosed = 0,
    kImageFolderOpen = 1,
    kImageWorksheet = 2,
    kImageActive = 3,
    kImageWorkbook = 4,
};

class CTreePane : public QObject {
public:
    static constexpr int kDragTickMs = 100;
    static constexpr int kHoverOpen = 1000;

    CTreePane(CWorkbookWnd& wnd, QTreeWidget* tree);
    ~CTreePane() override;

    QTreeWidget* Control() const { return tree_; }
    QTreeWidgetItem* Root() const { return root_; }
    static CTreeItem* ItemOf(const QTreeWidgetItem* handle);
    static int ImageOf(const QTreeWidgetItem* handle);

    // Rebuilds the control from the list and selects the active worksheet; false when an
    // item cannot be inserted.
    bool Fill();
    // The control item that carries `item` when it lies in the subtree of `start` (anywhere
    // when null).
    QTreeWidgetItem* FindHandle(const CTreeItem* item, QTreeWidgetItem* start = nullptr) const;
    // Inserts the item and its subtree; the item's handle.
    QTreeWidgetItem* InsertBranch(CTreeItem* item);
    void Select(const CTreeItem* item);
    CTreeItem* SelectedItem() const;

    // New Worksheet and New Folder.
    void NewItem(bool folder);
    // Starts label editing of the selected item (not the root). Started by a command, the
    // editing gives the keys to the grid once the name is committed or the edit cancelled;
    // started from the tree's own keys, it leaves them with the tree.
    void Rename(bool fromCommand = true);
    // Deletes the selected branch (error 9 when it holds every worksheet); false when
    // nothing was removed.
    bool DeleteSelected();
    // Moves `dragged` with its subtree to `target` (null: the root), as a drop does.
    void Drop(CTreeItem* dragged, QTreeWidgetItem* target);

    // The drag, for the mouse handlers and tests.
    bool Dragging() const { return drag_.active; }
    void BeginDrag(QPoint point);
    void DragTo(QPoint point);
    void EndDrag();
    void OnDragTick();
    QTreeWidgetItem* DropTarget() const { return drag_.target; }

    uint32_t worksheetCounter = 1;
    uint32_t folderCounter = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct DragState {
        bool active = false;
        bool pressed = false;
        QPoint start;
        QPoint pointer;
        CTreeItem* item = nullptr;
        QTreeWidgetItem* target = nullptr;
        int hover = 0;
    };

    QTreeWidgetItem* NewHandle(QTreeWidgetItem* parent, QTreeWidgetItem* after, CTreeItem* item);
    QTreeWidgetItem* MakeHandle(CTreeItem* item);
    void SetImage(QTreeWidgetItem* handle, int image);
    // Drops the handles of a branch about to be deleted from the lookup.
    void ForgetBranch(QTreeWidgetItem* handle);
    void OnCurrentChanged(QTreeWidgetItem* current);
    void OnItemChanged(QTreeWidgetItem* handle);
    void OnExpanded(QTreeWidgetItem* handle, bool expanded);
    void OnEditorClosed(int hint);
    // Opens the name editor of `handle`, kept open while the window is not active.
    void EditLabel(QTreeWidgetItem* handle);
    bool OnKey(int key);
    // The selected item in the highlight colour while the tree has the keyboard, in the
    // buttons' colour while it has not, so that F6 into the tree shows where the keys go.
    void ShowFocus(bool focused);
    void ShowMenu(QPoint global);
    void Refresh(bool recalc);

    CWorkbookWnd& wnd_;
    QTreeWidget* tree_;
    // Compared by address: the viewport still sends events while the tree is being destroyed.
    QWidget* viewport_;
    QTreeWidgetItem* root_ = nullptr;
    QTreeWidgetItem* activeHandle_ = nullptr;
    bool quiet_ = false; // programmatic changes raise no rename
    // The open name editor gives the keys to the grid when it closes by Return or Escape.
    bool keysToGrid_ = false;
    QObject* labelEditor_ = nullptr; // compared by address only: the open name editor
    DragState drag_;
    std::unique_ptr<ITimerHost> timer_;
    // The style's icons, made once: making one decodes its pictures, which every change of
    // the active worksheet would otherwise repeat.
    QIcon icons_[kImageWorkbook + 1];
    // The control item of each list item, kept as items are inserted and deleted.
    std::unordered_map<const CTreeItem*, QTreeWidgetItem*> handles_;
};

} // namespace vl
