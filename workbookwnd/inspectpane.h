#pragma once
// The inspect pane: the workbook's watched cells, one row each with its name, its
// sheet-qualified address, its formula and its value, under a header whose columns the rows
// follow. Entries are added in bulk for the active worksheet, removed one by one or all at
// once, and Go To jumps to one. An entry whose worksheet or cell is gone is drawn in red.

#include "model/inspectedcell.h"

#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>

class QHeaderView;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vl {

class CWorkbookWnd;
class CWorksheet;

// Where the pane's controls lie in a client area W x H, with h the control height and b
// the button width.
struct InspectLayout {
    int columnWidth = 0;
    QRect header;
    QRect list;
    QRect buttons[4]; // Add, Remove, Remove All, Go To
    QRect edit;
    bool buttonsShown = false;
    bool editShown = false;
};
InspectLayout ComputeInspectLayout(int width, int height, int controlHeight, int buttonWidth);

class CInspectPane : public QWidget {
public:
    enum Column { kName = 0, kAddress = 1, kFormula = 2, kValue = 3 };
    enum Button { kAdd = 0, kRemove = 1, kRemoveAll = 2, kGoTo = 3 };

    explicit CInspectPane(CWorkbookWnd& wnd);

    QListWidget* List() const { return list_; }
    QHeaderView* Header() const { return header_; }
    QLineEdit* NameEdit() const { return edit_; }
    QPushButton* ButtonAt(int button) const { return buttons_[button]; }
    int ButtonWidth() const;

    // Rebuilds the rows from the workbook's watch list, the first selected; false when a
    // row could not be added.
    bool Reload();
    // Shows the Add menu at the Add button.
    void ShowAddMenu();
    // The Add menu's commands: entries for the active worksheet named by the edit box.
    void AddEntries(int id);
    void RemoveSelected();
    void RemoveAll();
    // Jumps to the selected entry's cell; string 143 when its worksheet is not found.
    void GoToSelected();

    // What a row shows in a column, and whether it is drawn in red.
    QString EntryText(uint32_t index, int column);
    bool EntryUnresolved(uint32_t index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CWorksheet* SheetOf(const InspectedCellRecord& entry) const;
    void SelectRow(int row);

    CWorkbookWnd& wnd_;
    QHeaderView* header_;
    QListWidget* list_;
    QLineEdit* edit_;
    QPushButton* buttons_[4];
};

} // namespace vl
