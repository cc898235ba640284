#pragma once
// The formula composer: a resizable tool window in which the user picks a catalogue
// function, fills its arguments from the selection or by typing, and inserts the call into
// the active cell as a formula or as its value. The workbook side is reached through a host.

#include "dialogs/composerpane.h"
#include "functions/general/composertext.h"

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class FormulaComposer;
}

namespace vl {

// What the composer needs of the active workbook window.
class IComposerHost {
public:
    virtual ~IComposerHost() = default;
    virtual bool HasActiveWorkbook() const = 0;
    struct Selection {
        uint16_t left = 0, right = 0;
        uint32_t top = 0, bottom = 0;
        bool a1 = true;
        uint16_t activeColumn = 0;
        uint32_t activeRow = 0;
        std::string sheetPath;      // folder names joined by backslashes
        std::string activeCellText; // as the cell editor shows it
    };
    virtual bool GetSelection(Selection& out) const = 0;
    // Stores the formula in the active cell and recalculates; with `asValue` the result
    // replaces the formula, with an undo entry. False after a failure it has shown.
    virtual bool InsertFormula(const std::string& text, bool asValue) = 0;
};

class CFormulaComposer : public QDialog {
public:
    static constexpr int kPrevious = 33065;
    static constexpr int kNext = 33066;
    static constexpr int kCellAddress = 33067;
    static constexpr int kSheetAddress = 33068;
    static constexpr int kCellValue = 33069;
    static constexpr int kRelative = 33078;
    static constexpr int kRemoveItem = 33079;
    static constexpr int kRemoveAll = 33080;

    CFormulaComposer(QWidget* parent, IComposerHost& host, int function);
    ~CFormulaComposer() override;
    Ui::FormulaComposer& Form() { return *ui_; }
    int Function() const { return function_; }
    int CurrentArgument() const { return current_; }
    int Slots() const { return slots_; }
    QString Prototype() const;
    QString Formula() const;
    void Command(int id);
    void ChooseCategory(int category);
    void ChooseHistory(int i);
    // Puts history entry i into the active cell as Insert puts a composed formula; the
    // entry then leads the history. Without an active workbook it is only shown.
    void InsertHistory(int i);
    // Enables what needs an active workbook window.
    void EnableInserts();
    // Takes the saved rectangle when its corner lies on a work area, else stands beside the
    // frame; the splitter takes its saved position once it has a size.
    void RestorePlacement(const QWidget* frame);
    // The divider's place: the function list's height in pixels.
    int SplitterPosition() const;
    // The relative-addressing switch, shared by every pane.
    static bool relativeAddressing;

protected:
    // Esc and the close box hide the pane for good: it is not shown at the next start.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SelectFunctionByName(const QString& name);
    void Reset(int slots);
    void ShowHelp();
    void ShowPrototype();
    void ShowFormula();
    void FillList(int category);
    void FillHistory();
    void UseSelection(int id);
    void Insert(bool asValue);
    void InsertText(const std::string& text, ComposerFormula entry, bool asValue);
    void RemoveHistory(bool all);
    void SavePlacement() const;

    std::unique_ptr<Ui::FormulaComposer> ui_;
    IComposerHost& host_;
    int function_ = 0;
    int current_ = 0;
    int slots_ = 0;
    std::vector<std::string> values_;
    std::vector<std::string> historyTexts_; // the combo's items, beside the profile's entries
    bool filling_ = false;
    bool shown_ = false;          // the placement is saved only for a pane that was shown
    bool splitterPending_ = true; // the saved divider waits for the splitter's first size
};

// The pane behind the frame's interface: made when shown, gone when hidden.
class CComposerPane : public IComposerPane {
public:
    explicit CComposerPane(IComposerHost& host) : host_(host) {}
    ~CComposerPane() override;
    bool Toggle(QWidget* frame) override;
    void TakeKeyboard() override;
    bool IsVisible() const override;
    void SetShown(bool shown) override;
    void UseHistoryEntry(QWidget* frame, int i) override;
    std::vector<std::string> HistoryMenuItems() const override;
    void UpdateControls() override;
    CFormulaComposer* Pane() const { return pane_; }

private:
    IComposerHost& host_;
    QPointer<CFormulaComposer> pane_;
};

} // namespace vl
