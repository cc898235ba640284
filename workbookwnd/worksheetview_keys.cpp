#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace vl {

namespace {

// Keys before which an active cell scrolled out of view is brought back.
bool BringsCellIntoView(int key) {
    switch (key) {
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

// Alt, Ctrl or the logo key held make a key a command, never typing; AltGr (reported as the
// group switch) composes characters on layouts that need it, so those still type.
bool IsCommandChord(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::GroupSwitchModifier) return false;
    return modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
}

// Pixels below the column headings that must stay free above a typed-into cell.
constexpr int kTypingMargin = 18;
constexpr int kKeyMargin = 2;

} // namespace

void CWorksheetView::keyPressEvent(QKeyEvent* event) {
    // A key the editor or its list left (Shift before Shift+Tab among them) is not the grid's:
    // it would start extending the selection that the edit's move then stretches.
    if (focusWidget() && focusWidget() != this && focusWidget() != viewport()) {
        event->ignore();
        return;
    }
    OnKeyDown(event->key(), event->modifiers());
    if (!event->text().isEmpty()) OnChar(event->text(), event->modifiers());
}

void CWorksheetView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Shift || event->isAutoRepeat()) {
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    if (extending_ && drag_.kind != Drag::kSelect) extending_ = false;
    if (owner_->RefPickState() == kRefPickPicking) owner_->HandleCommand(ID_REFERENCE);
}

void CWorksheetView::OnKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (!Sheet()) return;
    const bool ctrl = modifiers & Qt::ControlModifier;
    // A Shift released where the grid did not see it (in the menu Shift+F10 opened) ends the
    // extending at the next key pressed without it: the arrows move again, not extend.
    if (extending_ && !(modifiers & Qt::ShiftModifier) && key != Qt::Key_Shift &&
        drag_.kind != Drag::kSelect)
        extending_ = false;
    // Shift held down extends the selection around the cell where it began, even when its
    // own press went to another window.
    if ((key == Qt::Key_Shift || (modifiers & Qt::ShiftModifier)) && !extending_ &&
        key != Qt::Key_Return && key != Qt::Key_Enter)
        StartExtending();
    if (!extending_ && BringsCellIntoView(key)) BringActiveCellIntoView(kKeyMargin);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        owner_->OnReferenceCommand(nullptr);
        break;
    case Qt::Key_Escape:
        if (owner_->RefPickState() == kRefPickPicking) {
            owner_->SetRefPickState(kRefPickNone);
            owner_->UpdateStatus();
        }
        break;
    case Qt::Key_Left:
        OnHScroll(ctrl ? SB_PAGELEFT : SB_LINELEFT);
        break;
    case Qt::Key_Right:
        OnHScroll(ctrl ? SB_PAGERIGHT : SB_LINERIGHT);
        break;
    case Qt::Key_Up:
        OnVScroll(ctrl ? SB_PAGEUP : SB_LINEUP);
        break;
    case Qt::Key_Down:
        OnVScroll(ctrl ? SB_PAGEDOWN : SB_LINEDOWN);
        break;
    case Qt::Key_PageUp:
        OnVScroll(ctrl ? SB_TOP : SB_PAGEUP);
        break;
    case Qt::Key_PageDown:
        OnVScroll(ctrl ? SB_BOTTOM : SB_PAGEDOWN);
        break;
    case Qt::Key_Home:
        OnHScroll(SB_FIRSTCOLUMN);
        break;
    case Qt::Key_End:
        OnHScroll(SB_LASTCOLUMN);
        break;
    case Qt::Key_Delete:
        owner_->HandleCommand(ID_EDIT_CLEAR);
        break;
    default:
        break;
    }
}

void CWorksheetView::OnChar(const QString& text, Qt::KeyboardModifiers modifiers) {
    if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127) return;
    if (IsCommandChord(modifiers)) return;
    if (!Sheet()) return;
    // An upper-case letter starts an edit rather than extending the selection.
    if (modifiers & Qt::ShiftModifier) extending_ = false;
    BringActiveCellIntoView(kTypingMargin);
    const std::string typed = Utf8ToCp1252(text.left(1).toStdString());
    owner_->OnReferenceCommand(&typed);
}

} // namespace vl
