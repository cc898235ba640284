#pragma once
// What the shell calls of a workbook window. The workbook window itself is built elsewhere;
// the shell knows it only through this interface and creates it through the factory.

#include "app/statustext.h"

#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QKeyEvent;
class QWidget;

namespace vl {

class CCellStore;
class CEvalContext;
class CWorkbook;
struct CellRange;

struct FunctionMenuGroup {
    std::string category;
    std::vector<std::pair<int, std::string>> rows;
};

class IWorkbookWnd {
public:
    virtual ~IWorkbookWnd() = default;
    // The widget shown in the frame's multiple-document area.
    virtual QWidget* Widget() = 0;
    virtual CWorkbook* Workbook() = 0;
    // The title of the window (the file name, or "New Workbook").
    virtual QString Title() const = 0;
    // Asks about unsaved changes; false when the user cancels or the save fails.
    virtual bool QuerySaveChanges() = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual bool HasOpenFile() const = 0;
    // Whether a save of the open file would keep only part of the workbook without the user
    // having agreed to that: auto-save and Save All pass such a window by.
    virtual bool PartialSavePending() const { return false; }
    // Runs a command now (File Save waits until the save is over).
    virtual void SendCommand(int id) = 0;
    // Runs a command once the current event is done (File Close).
    virtual void PostCommand(int id) = 0;
    // A command of the frame passed on to the window; false when the window has none.
    virtual bool HandleCommand(int id) = 0;
    // The window's own keys; true when the key was one of them.
    virtual bool ForwardKey(QKeyEvent* event) = 0;
    virtual DocumentState State() const = 0;
    // The cells of the active worksheet and the evaluator that describes them.
    virtual const CCellStore* ActiveCells() const = 0;
    virtual CEvalContext* EvalContext() = 0;
    virtual void RefreshViews() = 0;
    // Whether the window carries command `id` now (its menu item enabled by that).
    virtual bool CommandAvailable(int id) const {
        (void)id;
        return true;
    }
    // The reference of the active view's selection, "[file]path!range" in R1C1 or A1
    // notation (the range alone when the whole passes 255 characters); empty without one.
    virtual std::string SelectionAddress(bool r1c1) {
        (void)r1c1;
        return {};
    }
    // Ends the active view's cell edit, storing it, without moving the cell cursor.
    virtual void CommitCellEdit() {}
    // Gives the keyboard focus to the active grid view.
    virtual void FocusActiveView();
    // The functions Insert Function offers, by category: each row's index in the
    // composer's function list and its name (Windows-1252).
    virtual std::vector<FunctionMenuGroup> FunctionMenu() const { return {}; }
    // A command that carries a parameter (Insert Function: the row); false when the window
    // has no such command.
    virtual bool HandleCommandWith(int id, int parameter) {
        (void)id;
        (void)parameter;
        return false;
    }
    // The active cell's rectangle on the screen, cut to the grid; empty without one.
    virtual QRect ActiveCellRect() const { return {}; }
    // The path of the file the window shows; empty for a workbook never saved.
    virtual QString FilePath() const { return {}; }
    // The zoom of the active worksheet, and the Zoom pop-up's callback: sets the zoom of the
    // active worksheet, or of every worksheet when `allWorksheets`, and repaints.
    virtual uint16_t ActiveZoom() const { return 100; }
    // The active view's selected cells, and the id of its selected container (0 for none);
    // false without a view.
    virtual bool ActiveSelection(CellRange& range, uint16_t& container) const {
        (void)range;
        (void)container;
        return false;
    }
    virtual void ApplyZoom(uint16_t zoom, bool allWorksheets) {
        (void)zoom;
        (void)allWorksheets;
    }
    // Shows or hides the container properties window when it is open; whether it was shown.
    virtual bool ShowContainerProperties(bool shown) {
        (void)shown;
        return false;
    }
};

// Makes workbook windows: a new workbook when the path is empty, else the file opened.
class IWorkbookWndFactory {
public:
    virtual ~IWorkbookWndFactory() = default;
    // The new window (its widget owned by `parent`), or null when it could not be made.
    virtual IWorkbookWnd* Create(QWidget* parent, const QString& path) = 0;
    // File Open: the file the user picks, in a new window; null when there is nothing new to
    // show (cancelled, failed, or a window of the file was activated instead).
    virtual IWorkbookWnd* CreateFromDialog(QWidget* parent);
    // A file of the recent-file list.
    virtual IWorkbookWnd* CreateRecent(QWidget* parent, const QString& path) {
        return Create(parent, path);
    }
};

// The open-document table: 16 entries of {workbook, window}.
constexpr int kMaxDocuments = 16;
struct DocumentEntry {
    CWorkbook* workbook = nullptr;
    IWorkbookWnd* window = nullptr;
};
DocumentEntry* DocumentTable();
// Stores the window in the first free entry; false when all 16 are in use.
bool AddDocumentEntry(IWorkbookWnd* window);
// Clears the window's entry; nothing when it has none. The window calls it when it dies,
// while its workbook still lives.
void ReleaseDocumentEntry(IWorkbookWnd* window);
// Told of each window whose entry was just cleared (one listener: the frame).
void SetDocumentReleaseListener(std::function<void(IWorkbookWnd*)> listener);
IWorkbookWnd* FindWorkbookWndByHandle(const QWidget* widget);
int OpenDocumentCount();

} // namespace vl
