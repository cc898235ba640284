#include "ui/redokey.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace vl {

namespace {

bool IsRedoKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods =
        event.modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return mods == Qt::ControlModifier && event.key() == Qt::Key_Y;
}

// The line a focused control types into: its own, a combo box's or a spin box's.
QLineEdit* LineOf(QWidget* focus) {
    if (auto* line = qobject_cast<QLineEdit*>(focus)) return line;
    if (auto* combo = qobject_cast<QComboBox*>(focus)) return combo->lineEdit();
    if (qobject_cast<QAbstractSpinBox*>(focus))
        return focus->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    return nullptr;
}

// Whether the focused control has an editor for the key; redoes there when `act` is set.
bool Redo(QWidget* focus, bool act) {
    if (!focus || !focus->isEnabled()) return false;
    if (QLineEdit* line = LineOf(focus)) {
        if (line->isReadOnly()) return false;
        if (act) line->redo();
        return true;
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        if (text->isReadOnly() || !text->isUndoRedoEnabled()) return false;
        if (act) text->redo();
        return true;
    }
    if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        if (text->isReadOnly() || !text->isUndoRedoEnabled()) return false;
        if (act) text->redo();
        return true;
    }
    return false;
}

class CRedoKey : public QObject {
public:
    explicit CRedoKey(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
        // A key passed on to the parents reaches the filter again: only the focused widget's
        // own counts.
        if (!watched->isWidgetType() || watched != QApplication::focusWidget()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsRedoKey(*key)) return false;
        if (type == QEvent::ShortcutOverride) {
            // The key stays with the editor: no shortcut of a window takes it.
            if (!Redo(static_cast<QWidget*>(watched), false)) return false;
            key->accept();
            return true;
        }
        return Redo(static_cast<QWidget*>(watched), true);
    }
};

} // namespace

void InstallRedoKey() {
    static QPointer<CRedoKey> installed;
    if (installed || !qApp) return;
    installed = new CRedoKey(qApp);
    qApp->installEventFilter(installed);
}

} // namespace vl
