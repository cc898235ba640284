#pragma once
// The in-place editor laid over the active cell and the drop-down list below it, each with
// the keys that end, cancel or move an edit.

#include "model/cellrecord.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <string>

namespace vl {

class CWorksheetView;

// The longest text the editor takes by typing or pasting, the longest a cell holds (a
// formula is held to a little less when it is stored); a longer text it was opened on
// stays whole.
constexpr int kEditorTextLimit = int(kMaxCellText);

class CCellEditor : public QPlainTextEdit {
public:
    explicit CCellEditor(CWorksheetView* view);

    // The text (Windows-1252, lines broken by CR LF) and the caret after `caret` characters.
    void SetCellText(const std::string& text, int caret);
    std::string CellText() const;
    // Whether every character typed is one a cell holds (the code page's).
    bool HoldsOnlyCodePage() const;
    int Limit() const { return limit_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool HandleKey(QKeyEvent* event);
    // Inserts at the caret what fits within the limit; false when nothing did.
    bool InsertLimited(const QString& text);
    int Room() const;

    CWorksheetView* view_;
    int limit_ = kEditorTextLimit;
};

class CDropDownList : public QListWidget {
public:
    explicit CDropDownList(CWorksheetView* view);

    // Entries in chain order; a sorted list shows them without regard to case.
    void Fill(const std::vector<std::string>& entries, bool sorted);
    void Empty();
    // The first entry (in the order shown) that begins with the text, or equals it, without
    // regard to case; -1 when none.
    int FindPrefix(const QString& text) const;
    int FindExact(const QString& text) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void TakeSelected(int direction);

    CWorksheetView* view_;
};

} // namespace vl
