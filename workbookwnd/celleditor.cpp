#include "workbookwnd/celleditor.h"

#include "platform/core/cp1252.h"
#include "ui/uiservices.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace vl {

namespace {

bool NoSelection(const QTextCursor& cursor) {
    return !cursor.hasSelection();
}

QString FromCp1252(const std::string& text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

// A sorted list compares its entries without regard to case.
class CListItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

CCellEditor::CCellEditor(CWorksheetView* view) : QPlainTextEdit(view->viewport()), view_(view) {
    setObjectName(QStringLiteral("CellEditor"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setTabChangesFocus(false);
    document()->setDocumentMargin(1);
    hide();
}

void CCellEditor::SetCellText(const std::string& text, int caret) {
    QString shown = FromCp1252(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A stored text longer than what typing may reach is shown and kept whole.
    limit_ = std::max<int>(kEditorTextLimit, int(shown.size()));
    setPlainText(shown);
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp<int>(caret, 0, int(shown.size())));
    setTextCursor(cursor);
    ensureCursorVisible();
}

std::string CCellEditor::CellText() const {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return Utf8ToCp1252(text.toStdString());
}

bool CCellEditor::HoldsOnlyCodePage() const {
    const std::string utf8 = toPlainText().toStdString();
    return Cp1252ToUtf8(Utf8ToCp1252(utf8)) == utf8;
}

int CCellEditor::Room() const {
    const QTextCursor cursor = textCursor();
    const int selected = int(cursor.selectionEnd() - cursor.selectionStart());
    return limit_ - (int(toPlainText().size()) - selected);
}

bool CCellEditor::InsertLimited(const QString& text) {
    const int room = Room();
    if (room <= 0 || text.isEmpty()) {
        UiServices().Beep();
        return false;
    }
    textCursor().insertText(text.left(room));
    ensureCursorVisible();
    return true;
}

bool CCellEditor::HandleKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    switch (event->key()) {
    case Qt::Key_Tab:
        view_->EndCellEdit((mods & Qt::ShiftModifier) ? kEditLeft : kEditRight);
        return true;
    case Qt::Key_Backtab:
        view_->EndCellEdit(kEditLeft);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods & Qt::ControlModifier) {
            InsertLimited(QStringLiteral("\n"));
            view_->PostUpdateCellEditor();
        } else {
            view_->EndCellEdit(kEditEnter);
        }
        return true;
    case Qt::Key_Escape:
        view_->CancelCellEdit();
        return true;
    case Qt::Key_PageUp:
        view_->EndCellEdit(kEditUp);
        return true;
    case Qt::Key_PageDown:
        view_->EndCellEdit(kEditDown);
        return true;
    case Qt::Key_Left:
        if (!NoSelection(cursor) || cursor.position() != 0) return false;
        view_->EndCellEdit(kEditLeft);
        return true;
    case Qt::Key_Up:
        if (!NoSelection(cursor) || block.blockNumber() != 0) return false;
        view_->EndCellEdit(kEditUp);
        return true;
    case Qt::Key_Right:
        if (!NoSelection(cursor) || !cursor.atBlockEnd()) return false;
        view_->EndCellEdit(kEditRight);
        return true;
    case Qt::Key_Down:
        if (!NoSelection(cursor) || block.next().isValid()) return false;
        if (view_->List() && view_->List()->isVisible())
            view_->List()->setFocus();
        else
            view_->EndCellEdit(kEditDown);
        return true;
    default:
        return false;
    }
}

void CCellEditor::keyPressEvent(QKeyEvent* event) {
    if (HandleKey(event)) return;
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text[0].isPrint();
    const Qt::KeyboardModifiers mods = event->modifiers();
    // AltGr (the group switch) composes characters; Alt or the logo key held make a command's
    // key, which the text box would otherwise type. Ctrl's keys are the text box's own.
    const bool composed = mods & Qt::GroupSwitchModifier;
    const bool chord = mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (printable && (composed || !chord)) {
        if (InsertLimited(text)) view_->PostUpdateCellEditor();
        return;
    }
    if (printable && !(mods & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CCellEditor::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    if (InsertLimited(source->text())) view_->PostUpdateCellEditor();
}

CDropDownList::CDropDownList(CWorksheetView* view) : QListWidget(view->viewport()), view_(view) {
    setObjectName(QStringLiteral("CellList"));
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    hide();
}

void CDropDownList::Fill(const std::vector<std::string>& entries, bool sorted) {
    clear();
    setSortingEnabled(false);
    for (const std::string& entry : entries) addItem(new CListItem(FromCp1252(entry)));
    if (sorted) sortItems(Qt::AscendingOrder);
    setSortingEnabled(sorted);
}

void CDropDownList::Empty() {
    clear();
}

int CDropDownList::FindPrefix(const QString& text) const {
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().startsWith(text, Qt::CaseInsensitive)) return i;
    return -1;
}

int CDropDownList::FindExact(const QString& text) const {
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void CDropDownList::TakeSelected(int direction) {
    QListWidgetItem* chosen = currentItem();
    if (!chosen || !chosen->isSelected() || !view_->Editor()) return;
    view_->Editor()->SetCellText(Utf8ToCp1252(chosen->text().toStdString()), 0);
    view_->EndCellEdit(direction);
}

void CDropDownList::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Tab:
        view_->EndCellEdit(shift ? kEditLeft : kEditRight);
        return;
    case Qt::Key_Backtab:
        view_->EndCellEdit(kEditLeft);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        TakeSelected(kEditEnter);
        return;
    case Qt::Key_Escape:
        view_->CancelCellEdit();
        return;
    case Qt::Key_Left:
        view_->EndCellEdit(kEditLeft);
        return;
    case Qt::Key_Right:
        view_->EndCellEdit(kEditRight);
        return;
    case Qt::Key_Up:
        if (currentRow() <= 0 && view_->Editor()) {
            view_->Editor()->setFocus();
            return;
        }
        break;
    default:
        break;
    }
    QListWidget::keyPressEvent(event);
}

void CDropDownList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    TakeSelected(kEditStay);
}

} // namespace vl
