// Arrows in a group of option buttons move to the next or previous one of the group, in the
// order Tab walks them, and round from the last to the first: the buttons of a row otherwise
// ignore Up and Down, and those of a column Left and Right.

#include "dialogs/dialogutil.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>

namespace vl {

namespace {

// The shown, enabled option buttons of `button`'s group, in the order of the focus chain.
QList<QRadioButton*> GroupOf(QRadioButton* button) {
    QList<QRadioButton*> group;
    QWidget* parent = button->parentWidget();
    if (!parent) return group;
    const QList<QRadioButton*> siblings =
        parent->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    QWidget* w = button;
    do {
        auto* radio = qobject_cast<QRadioButton*>(w);
        if (radio && siblings.contains(radio) && radio->autoExclusive() && radio->isEnabled() &&
            radio->isVisibleTo(parent) && !group.contains(radio))
            group.append(radio);
        w = w->nextInFocusChain();
    } while (w && w != button);
    return group;
}

// Whether Qt's own move finds a button of the group on that side of `from`.
bool HasNeighbourToward(QRadioButton* from, const QList<QRadioButton*>& group, int key) {
    const QPoint at = from->mapToGlobal(from->rect().center());
    for (QRadioButton* other : group) {
        if (other == from) continue;
        const QPoint p = other->mapToGlobal(other->rect().center());
        if ((key == Qt::Key_Up && p.y() < at.y()) || (key == Qt::Key_Down && p.y() > at.y()) ||
            (key == Qt::Key_Left && p.x() < at.x()) || (key == Qt::Key_Right && p.x() > at.x()))
            return true;
    }
    return false;
}

class COptionArrows : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* radio = qobject_cast<QRadioButton*>(watched);
        const auto* key = static_cast<const QKeyEvent*>(event);
        const int k = key->key();
        if (!radio || !radio->hasFocus() || (key->modifiers() & ~Qt::KeypadModifier) ||
            (k != Qt::Key_Up && k != Qt::Key_Down && k != Qt::Key_Left && k != Qt::Key_Right))
            return false;
        const QList<QRadioButton*> group = GroupOf(radio);
        if (group.size() < 2 || HasNeighbourToward(radio, group, k)) return false;
        const bool back = k == Qt::Key_Up || k == Qt::Key_Left;
        const int at = int(group.indexOf(radio));
        QRadioButton* next = group[(at + (back ? group.size() - 1 : 1)) % group.size()];
        // As Qt's own move: the choice follows the focus when the group had one here.
        const bool choose = radio->isChecked();
        next->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        if (choose) next->click();
        return true;
    }
};

} // namespace

QObject* MoveOptionsByArrows() {
    static QPointer<COptionArrows> filter;
    if (filter || !qApp) return nullptr;
    filter = new COptionArrows;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
    return filter;
}

} // namespace vl
