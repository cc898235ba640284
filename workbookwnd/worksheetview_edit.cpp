#include "core/settings.h"
#include "formula/recalc.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "ui/messages.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QTextCursor>

namespace vl {

namespace {

// What WhenEnterPressed asks of Enter.
enum EnterAction : uint8_t {
    kEnterStays = 0,
    kEnterDown = 1,
    kEnterNextFilledBelow = 2,
    kEnterRight = 3,
    kEnterNextFilledRight = 4,
};

QRect ToQRect(const DcRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

} // namespace

bool CWorksheetView::EditorOpen() const {
    return editor_ && owner_->RefPickState() == kRefPickEditing;
}

bool CWorksheetView::BeginCellEdit(const std::string& text, int caret) {
    CWorksheet* sheet = Sheet();
    if (!sheet || !editor_) return false;
    CWorkbook& book = Book();
    const StyleRecord& style =
        GetStyleRecord(book.styles, CellStyleIndex(sheet->formats, sel_.r1, sel_.c1));
    const FontRecord& font = GetFontRecord(book.styles, style.fontRef.fontIndex);
    Layout();
    if (measure_.SelectFont(font, 0, zoom_[1]))
        editor_->setFont(measure_.DC()->CurrentFont().Font());
    editorRange_ = {sel_.c1, sel_.r1, sel_.c1, sel_.r1};
    editor_->SetCellText(text, caret);
    listId_ = 0;
    if (style.dropDownList != 0 && !ShowDropDownList(style.dropDownList, style.sort)) return false;
    if (listId_) {
        listAddNew_ = style.autoAppend;
        listComplete_ = style.autoComplete;
        list_->setFont(editor_->font());
    }
    UpdateCellEditor();
    editor_->show();
    if (listId_) list_->show();
    editor_->setFocus();
    return true;
}

bool CWorksheetView::ShowDropDownList(uint16_t id, uint8_t sorted) {
    if (id > kDropDownLists || !list_) {
        ShowErrorMessage(kErrorWorksheetMemory);
        return false;
    }
    listId_ = id;
    listSorted_ = sorted;
    list_->Fill(Book().dropDownLists[id - 1].entries, sorted != 0);
    return true;
}

void CWorksheetView::PostUpdateCellEditor() {
    QMetaObject::invokeMethod(
        this, [this] { UpdateCellEditor(); }, Qt::QueuedConnection);
}

void CWorksheetView::UpdateCellEditor() {
    if (!EditorOpen()) return;
    const QString text = editor_->toPlainText();
    if (listId_) {
        const int found = text.isEmpty() ? (list_->count() ? 0 : -1) : list_->FindPrefix(text);
        if (found >= 0) list_->setCurrentRow(found);
        QTextCursor cursor = editor_->textCursor();
        if (found >= 0 && !text.isEmpty() && listComplete_ && !cursor.hasSelection() &&
            cursor.atBlockEnd()) {
            const QString entry = list_->item(found)->text();
            editor_->setPlainText(entry);
            cursor = editor_->textCursor();
            cursor.setPosition(int(text.size()));
            cursor.setPosition(int(entry.size()), QTextCursor::KeepAnchor);
            editor_->setTextCursor(cursor);
        }
    }
    LayoutEditor();
}

void CWorksheetView::LayoutEditor() {
    CWorksheet* sheet = Sheet();
    if (!sheet || !editor_) return;
    const int32_t width = viewport()->width(), height = viewport()->height();
    std::string text = Utf8ToCp1252(editor_->toPlainText().toStdString()) + "w";
    int32_t textWidth = 0, textHeight = 0;
    measure_.MeasureText(text, textWidth, textHeight);
    DcRect box = GetRangeRect(editorRange_);
    ++box.right;
    ++box.bottom;
    // Grows over the following columns, then rows, while the text needs it and the view
    // has room.
    while (box.right - box.left < textWidth + 4 && editorRange_.c2 < kLastColumn) {
        const DcRect wider = GetRangeRect(
            {editorRange_.c1, editorRange_.r1, uint16_t(editorRange_.c2 + 1), editorRange_.r2});
        if (wider.right + 1 > width) break;
        ++editorRange_.c2;
        box.right = wider.right + 1;
    }
    while (box.bottom - box.top < textHeight + 4 && editorRange_.r2 < kLastRow) {
        const DcRect taller =
            GetRangeRect({editorRange_.c1, editorRange_.r1, editorRange_.c2, editorRange_.r2 + 1});
        if (taller.bottom + 1 > height) break;
        ++editorRange_.r2;
        box.bottom = taller.bottom + 1;
    }
    const QRect editorRect = ToQRect(box);
    if (editor_->geometry() != editorRect) editor_->setGeometry(editorRect);
    if (!listId_) return;
    const int item = list_->count() ? list_->sizeHintForRow(0) : 0;
    const int listHeight = list_->count() ? (list_->count() + 1) * item : 170;
    const int top = editorRect.bottom() + 1;
    const int bottom = std::min(top + listHeight, height);
    const QRect listRect(editorRect.left(), top, editorRect.width(), std::max(0, bottom - top));
    if (list_->geometry() != listRect) list_->setGeometry(listRect);
}

bool CWorksheetView::EditorHoldsKeyboard() const {
    // The window's focus widget, not the application's: while the window is not the active
    // one (no window manager, or another program in front) hasFocus() is false, yet the
    // window's keys still go to its focus widget.
    const QWidget* focus = window()->focusWidget();
    return focus && (focus == editor_ || focus == list_);
}

void CWorksheetView::CancelCellEdit() {
    if (owner_->RefPickState() == kRefPickEditing) owner_->SetRefPickState(kRefPickNone);
    const bool hadFocus = editor_ && EditorHoldsKeyboard();
    if (editor_) editor_->hide();
    listId_ = 0;
    if (list_) {
        list_->Empty();
        list_->hide();
    }
    if (hadFocus) setFocus();
    owner_->UpdateStatus();
}

void CWorksheetView::AddToDropDownList(const std::string& text) {
    if (text.empty() || !listId_ || !listAddNew_) return;
    if (list_->FindExact(QString::fromStdString(Cp1252ToUtf8(text))) >= 0) return;
    AddDropDownEntry(Book().dropDownLists[listId_ - 1], text);
}

void CWorksheetView::EndCellEdit(int direction) {
    if (owner_->RefPickState() != kRefPickEditing) return;
    // A character no cell holds refuses the text: the edit stays open for the user to mend,
    // and the cell keeps what it held.
    if (!editor_->HoldsOnlyCodePage()) {
        ShowErrorMessage(kErrorCodePage);
        return;
    }
    owner_->SetRefPickState(kRefPickNone);
    const std::string text = editor_->CellText();
    AddToDropDownList(text);
    const bool hadFocus = EditorHoldsKeyboard();
    editor_->hide();
    if (listId_) {
        listId_ = 0;
        list_->Empty();
        list_->hide();
    }
    if (hadFocus) setFocus();
    if (!SetCellFromText(text, sel_.r1, sel_.c1, true)) ShowErrorMessage(kErrorWorksheetMemory);
    RecalculateAfterEdit();
    SyncSplitPane();
    owner_->SetModified(true);
    owner_->UpdateStatus();
    MoveAfterEdit(direction);
}

void CWorksheetView::RecalculateAfterEdit() {
    CWorkbook& book = Book();
    const uint8_t mode = owner_->UpdateMode();
    if (mode != kUpdateWorkbook && mode != kUpdateWorksheet) return;
    CWorksheet* sheet = Sheet();
    const bool ok = RecalculateWorkbook(
        book, *owner_->EvalContext(), mode == kUpdateWorksheet && sheet ? &sheet->cells : nullptr);
    owner_->SyncContext();
    if (!ok) ShowErrorMessage(book.error);
    InvalidateValueCells(true);
}

// The move runs before EndCellEdit returns, after the commit: keys typed meanwhile wait in
// the queue and reach the cell the cursor moved to, never the one just stored.
void CWorksheetView::MoveAfterEdit(int direction) {
    switch (direction) {
    case kEditLeft:
        return OnHScroll(SB_LINELEFT);
    case kEditRight:
        return OnHScroll(SB_LINERIGHT);
    case kEditUp:
        return OnVScroll(SB_LINEUP);
    case kEditDown:
        return OnVScroll(SB_LINEDOWN);
    case kEditEnter:
        break;
    default:
        return;
    }
    switch (Profile().whenEnterPressed) {
    case kEnterDown:
        return OnVScroll(SB_LINEDOWN);
    case kEnterNextFilledBelow:
        return MoveToNextFilled(true);
    case kEnterRight:
        return OnHScroll(SB_LINERIGHT);
    case kEnterNextFilledRight:
        return MoveToNextFilled(false);
    default:
        return;
    }
}

void CWorksheetView::MoveToNextFilled(bool down) {
    CWorksheet* sheet = Sheet();
    if (!sheet || (down && sel_.r1 == kLastRow)) return;
    const uint16_t column = sel_.c1;
    const uint32_t row = sel_.r1;
    CellCursor cursor;
    const uint32_t start = down ? row + 1 : row;
    const uint8_t* r = FindCellFromCursor(sheet->cells, start, 0, cursor);
    if (!r) r = NextCellRecord(cursor);
    for (; r;
         cursor.offset = uint16_t(cursor.offset + cell::Length(r)), r = NextCellRecord(cursor)) {
        if (down ? cell::Column(r) == column : cell::Row(r) == row && cell::Column(r) > column) {
            sel_ = {cell::Column(r), cell::Row(r), cell::Column(r), cell::Row(r)};
            anchorColumn_ = sel_.c1;
            anchorRow_ = sel_.r1;
            ScrollToCell(sel_.r1, sel_.c1);
            SyncSplitPane();
            return;
        }
        if (!down && cell::Row(r) > row) return;
    }
}

} // namespace vl
