#pragma once
// The window of one open workbook: it owns the document for as long as it lives, lays out
// the worksheet tree, the grid views and the inspect pane in splitters, keeps the modified
// flag and the title, asks before unsaved changes are lost, and carries the document's
// commands (menu, keys and the frame's commands passed on to it).

#include "app/commandstates.h"
#include "app/workbookwndapi.h"
#include "dialogs/formatpageapi.h"
#include "formula/celltext.h"
#include "formula/edit/cutpaste.h"
#include "formula/edit/editcommands.h"
#include "formula/evalcontext.h"
#include "model/workbook.h"
#include "resources/menus.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QAction;
class QComboBox;
class QImage;
class QLineEdit;
class QListWidget;
class QMenu;
class QSplitter;
class QTreeWidget;

namespace vl {

class CContainer;
class CContainerPropertiesDlg;
class CInspectPane;
class CMainFrame;
class CTreePane;
class CWorksheetView;

// The reference-pick states of the window.
enum RefPick : uint32_t { kRefPickNone = 0, kRefPickEditing = 1, kRefPickPicking = 2 };

class CWorkbookWnd : public QWidget, public IWorkbookWnd {
public:
    // `frame` may be null (a window on its own, as tests make them).
    CWorkbookWnd(CMainFrame* frame, QWidget* parent);
    ~CWorkbookWnd() override;

    // Builds the panes; false when one cannot be made.
    bool OnCreate();
    // Applies the document's pane layout and gives the first view the worksheet's saved
    // position; runs once, when the window is first shown.
    void ShowWindowLayout();

    // IWorkbookWnd.
    QWidget* Widget() override { return this; }
    CWorkbook* Workbook() override { return book_.get(); }
    QString Title() const override;
    bool QuerySaveChanges() override;
    bool IsModified() const override { return modified_; }
    void SetModified(bool modified) override;
    bool HasOpenFile() const override;
    bool PartialSavePending() const override;
    QString FilePath() const override;
    std::vector<FunctionMenuGroup> FunctionMenu() const override;
    QRect ActiveCellRect() const override;
    bool HandleCommandWith(int id, int parameter) override;
    void SendCommand(int id) override;
    void PostCommand(int id) override;
    bool HandleCommand(int id) override;
    bool ForwardKey(QKeyEvent* event) override;
    DocumentState State() const override;
    const CCellStore* ActiveCells() const override;
    CEvalContext* EvalContext() override { return &ctx_; }
    void RefreshViews() override;
    std::string SelectionAddress(bool r1c1) override;
    bool ActiveSelection(CellRange& range, uint16_t& container) const override;

    CWorkbook& Book() { return *book_; }
    CMainFrame* Frame() const { return frame_; }
    CCellDisplay& Display() { return display_; }
    // The document's path as the user named it (UTF-8, absolute); empty without a file.
    const std::string& Path() const { return path_; }
    void SetPath(const std::string& path) { path_ = path; }
    // How many fields the last read of the document's file could not hold (past the
    // worksheet's limits, or longer than a cell): a save over that file loses them.
    void SetCutFields(uint32_t count) { cutFields_ = count; }

    void UpdateTitle();
    CWorksheetView* GetActiveView() const;
    CWorksheetView* View(int index) const { return views_[index]; }
    // The other pane of a split table that shows both, or null.
    CWorksheetView* SiblingOf(const CWorksheetView* view) const;
    bool SplitHorizontally() const;
    bool SplitVertically() const;
    void SetActiveSelection(uint16_t firstColumn, uint32_t firstRow, uint16_t lastColumn,
                            uint32_t lastRow);

    // Points the evaluator at the workbook's tree and active worksheet.
    void SyncContext();
    // The update mode in force: the document's, else the profile's.
    uint8_t UpdateMode() const;
    uint8_t DocumentUpdateMode() const { return book_->updateMode; }

    uint32_t RefPickState() const { return refPick_; }
    void SetRefPickState(uint32_t state) { refPick_ = state; }
    // Command 33023: opens the editor on the active cell, with `typed` as its text when
    // given.
    void OnReferenceCommand(const std::string* typed);

    // State 1 keeps the editor and lets the user pick cells; state 2 writes the picked
    // reference into the kept text and reopens the editor.
    void StartPicking();
    void FinishPicking();

    // The panes (workbookwnd_panes.cpp).
    CTreePane* TreePane() const { return treeCtl_; }
    QTreeWidget* TreeControl() const { return tree_; }
    CInspectPane* InspectPane() const { return inspectCtl_; }
    QSplitter* TableSplitter() const { return table_; }
    void OnSplit(Qt::Orientation orientation);
    // Shows the active worksheet split as it was when it was last active.
    void RestoreSplit();
    void OnPaneClose(QWidget* pane);
    void OnNextPrevPane(bool backward);

    // Navigation (workbookwnd_navigate.cpp).
    void OnNextPrevWorksheet(bool next);
    void OnGoToCell(int id);
    // Go: a located address; false (string 143 shown) when it names nothing.
    bool GoToAddress(const std::string& text);

    // The selection of the active view as the editing commands take it.
    GridSelection CurrentGridSelection() const;

    // Refreshes the frame's status bar and the command states (ours and the frame's).
    void UpdateStatus();
    bool CommandAvailable(int id) const override;
    // Whether a command of the window is enabled as its menus show it: available, and
    // allowed by the document's state (Undo, Redo, Save) and the clipboard (Paste).
    bool CommandEnabled(int id) const;
    // A command of a menu the window shows (the tree pane's): the window's own, else the
    // frame's (printing, for one).
    bool MenuCommandAvailable(int id) const;
    void RunMenuCommand(int id);
    void ShowContextMenu(const QPoint& globalPoint);

    // File commands (workbookwnd_file.cpp).
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileReload();
    // Writes the current container, else the selected range, as a PNG file the user names
    // (workbookwnd_image.cpp).
    void OnSaveAsImage();
    // Writes the document; no path: the file the document holds. True when written.
    bool SaveToFile(const std::string* path, uint8_t sourceFormat, uint8_t fileFormat,
                    bool withDialogs);
    // Writes the active worksheet as a text file or xBase table (`type` 1, 3 to 6).
    bool SaveForeign(const std::string* path, uint8_t type, bool withDialogs);

    // Clipboard (workbookwnd_clipboard.cpp).
    void OnEditCopyCut(bool cut);
    void OnEditPaste();
    // Item `item` of the paste list: the copy it stands for (the list shows the newest 16).
    void OnPasteCopiedData(int item);
    CommandResult PasteInternalEntry(int32_t index);
    CommandResult PasteText(std::string_view text);
    // Pastes text from the clipboard (UTF-8); one with a character outside the code page is
    // refused with a message and pastes nothing.
    CommandResult PasteCodePageText(const std::string& utf8);
    // The end of a range drag in the grid: moves the source (copies it with Ctrl) to `drop`.
    void MoveRangeByDrag(const CellRange& source, const CellRange& drop);

    // Insert commands (workbookwnd_insert.cpp).
    void OnInsertDateTime(int id);
    void OnInsertDataSeries();
    void OnQuickStatistics(const char* format);
    void OnInsertContainer(int id);
    void OnInsertImage();
    // Row `row` of the function catalogue as a call in the editor or the active cell.
    void OnInsertFunction(int row);
    // The container properties window (workbookwnd_containers.cpp): opened on a container,
    // the selection's reference put into its series formula, its Apply stored in the
    // worksheet, and a container dragged on the grid followed by it.
    void OpenContainerProperties(CContainer& container);
    void InsertSelectionReference(CContainer& container);
    void ApplyContainerEdits(const CContainer& edited);
    void SyncPlacement(const CContainer& container);
    // After an edit: the open properties window's copy takes what the edit rewrote in its
    // container (anchor, series texts) where the user has not changed it there.
    void FollowContainerWindow();
    CContainerPropertiesDlg* ContainerProperties() const { return containerDlg_; }
    bool ShowContainerProperties(bool shown) override;

    // Tools and values (workbookwnd_tools.cpp).
    void OnSortAscDesc(bool descending);
    void OnToolsSort();
    void OnTranspose();
    void OnUpdateData();
    void OnStepValue(int step);
    void OnConvertContents(int id);
    void OnFindNext();
    void OnReplace(bool all);

    // Format commands (workbookwnd_format.cpp).
    void OnFormat(int id);
    // Opens page `id` on the selection's common formatting.
    void OpenFormatPane(int id, FormatPageRequest request);
    void OnFontStyleToggle(int id);
    // The font page's callback on this window.
    bool ApplyFontChoice(const ColoredFont& font, uint8_t code);
    // Row Height and Column Width (`columns`) through their dialog; their Auto forms.
    void OnChangeSize(bool columns);
    void OnAutoSize(bool columns);
    void OnFileStatistics();
    void OnFileProtection();
    // The Format menu's tick of Auto Row Height for the selection.
    bool AutoRowHeightTicked() const;
    void CommitCellEdit() override;
    void FocusActiveView() override;
    uint16_t ActiveZoom() const override;
    void ApplyZoom(uint16_t zoom, bool allWorksheets) override;

    // The menus that the frame's menu bar shows while this window is active.
    const std::vector<QAction*>& MenuBarActions() const { return menuBar_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void RegisterCommands();
    void BuildMenus();
    QMenu* BuildMenu(const MenuLine* lines, std::size_t count, bool bar);
    QAction* CommandAction(int id, const QString& text, QWidget* parent);
    void RefreshMenuStates();
    // The pane (tree, grid view, inspect list) that holds `widget`, null for none.
    QWidget* PaneOf(QWidget* widget) const;
    // While this window is the active one, the keys to the pane that had them last (its grid
    // at first); `activating` while the sub-window is being activated.
    void KeysToAPane(bool activating);
    // True while this window is the frame's active one (always without a frame).
    bool IsActiveSubWindow() const;
    // The command states of the document and the clipboard, in order of id.
    std::vector<CommandState> MenuStates() const;
    // Dropping down the Format menu ticks Auto Row Height by the selection's rows.
    void TickAutoRowHeight(QMenu* menu);
    void FillWindowList(QMenu* menu);
    void StorePaneLayout();
    void OnSelectAll();
    void OnSelectRow();
    void OnSelectColumn();
    void OnFreeze(int id);
    void OnSplitNone();
    void OnUpdateMode(int id);
    void OnFileFormat(int id);
    void OnViewTree();
    void OnViewInspect();
    void AfterEdit();
    // Editing commands (workbookwnd_edit.cpp): commit the editor and note the history;
    // after the command, the one refresh of the window. False (with a beep) while a
    // reference is being picked: the edit kept for the picking names its cell by position,
    // which the command could move, remove or fill, so the command does nothing.
    [[nodiscard]] bool BeginCommand();
    void AfterCommand(CommandResult result);
    // `shownBefore`: the worksheet active before the entry was carried out (only compared).
    void GoToUndoPlace(const UndoPlace& place, const CWorksheet* shownBefore);
    // The views' scroll ranges measured again from the worksheet and the selection.
    void FitScrollExtents();
    void OnEditUndoRedo(bool redo);
    void OnInsertRemove(int id);
    void OnEditDelete();
    // Delete of what has the focus; in the grid, the cells' formats or their contents.
    void DeleteFocused(bool formats);
    void RegisterPaneCommands();
    void RegisterFormatCommands();
    bool FormatCommandAvailable(int id) const;
    // The window the pages' callbacks apply to: the frame's active one (this without a frame).
    CWorkbookWnd* FormatTarget();
    // The frame's format pages; none without a frame.
    IFormatPages* Pages() const;
    void AfterSizeChange();
    void RegisterDataCommands();
    void CopyToClipboard(int32_t index, bool withPrivate);
    // The container's picture at 100 percent, or a null image when it cannot be drawn.
    QImage ContainerImage(uint16_t id);
    QLineEdit* FocusedAddressEdit() const;
    bool TreeHasFocus() const;
    CContainer* NewContainer(uint8_t chartType, const std::string* image = nullptr);
    void SetContainerImage(CContainer& container, const std::string& name);
    void SortWithKeys(const std::vector<uint16_t>& positions,
                      const std::vector<uint8_t>& ascending);
    // The search toolbar's find (0) and replace (1) boxes, and its two check buttons.
    QComboBox* SearchBox(int index) const;
    SearchOptions SearchFlags() const;
    bool PasswordCheck(uint8_t sourceFormat);
    bool SaveAs();
    // Save As with the native form offered first.
    bool SaveAsNative();
    // Before a save to `target` in `family` that keeps only part of the workbook: says so,
    // with the native form to choose instead, unless the user agreed to that loss for that
    // file already. False when the save is not to go ahead.
    bool ConfirmPartialSave(uint8_t family, const std::string& target);
    // The file and the loss a partial save there would agree to; empty when nothing is lost.
    std::string PartialSaveKey(uint8_t family, const std::string& target) const;
    // What the file at `target` holds that the workbook did not take when it was read.
    uint32_t LeftOutOf(const std::string& target) const;
    void ForgetLeftOut();

    CMainFrame* frame_;
    std::unique_ptr<CWorkbook> book_;
    CEvalContext ctx_;
    CCellDisplay display_;
    QSplitter* outer_ = nullptr;
    QSplitter* inner_ = nullptr;
    QSplitter* table_ = nullptr;
    QWidget* treePane_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QWidget* inspectPane_ = nullptr;
    QListWidget* inspect_ = nullptr;
    CWorksheetView* views_[2] = {};
    bool modified_ = false;
    uint32_t refPick_ = kRefPickNone;
    CTreePane* treeCtl_ = nullptr;
    CInspectPane* inspectCtl_ = nullptr;
    CContainerPropertiesDlg* containerDlg_ = nullptr; // a child window
    int32_t undoBefore_ = -1;
    PendingCut cut_;             // the last Cut of cells, which a Paste of its copy makes a move
    int activeView_ = 0;         // the table's active pane
    QPointer<QWidget> lastPane_; // the pane that had the keys last in this window
    // The editor kept while a reference is picked.
    struct PickedEdit {
        QString text;
        int selStart = 0;
        int selEnd = 0;
        CWorksheet* sheet = nullptr;
        uint16_t column = 0;
        uint32_t row = 0;
    } picked_;
    std::string path_;
    bool laidOut_ = false;
    bool closing_ = false;
    std::string partialAgreed_;   // the partial save the user agreed to (PartialSaveKey)
    bool offeringNative_ = false; // inside the Save As that Yes to the question opened
    bool partsUnsaved_ = false;   // saved in a form that kept only part of the workbook
    uint32_t cutFields_ = 0;      // fields of the document's file the last read left out
    std::unordered_map<int, std::function<void()>> commands_;
    std::unordered_map<int, QAction*> actions_;
    // The same actions sorted by id for the state refresh; made again after a change.
    std::vector<std::pair<int, QAction*>> sortedActions_;
    std::vector<QAction*> menuBar_;
    QMenu* contextMenu_ = nullptr;
    std::vector<QAction*> windowList_;
};

// The window of a document table entry, when it is one of ours.
CWorkbookWnd* AsWorkbookWnd(IWorkbookWnd* window);

} // namespace vl
