#include "app/toolbarkeys.h"

#include "app/frametoolbars.h"
#include "app/mainframe.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionToolButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace vl {

namespace {

constexpr ToolbarIndex kWalk[] = {kStandardBar, kAddressBar, kFormattingBar, kSearchBar,
                                  kPreviewBar};

// A button with the keys draws its raised face and a focus frame: the flat face alone would
// not show where the keys are.
class CKeyboardButtonStyle : public QProxyStyle {
public:
    CKeyboardButtonStyle() : QProxyStyle(QStyleFactory::create(qApp->style()->name())) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
        if (control != CC_ToolButton || !button || !widget || !widget->hasFocus())
            return QProxyStyle::drawComplexControl(control, option, painter, widget);
        QStyleOptionToolButton shown = *button;
        shown.state |= State_MouseOver | State_Raised | State_HasFocus;
        QProxyStyle::drawComplexControl(control, &shown, painter, widget);
        QStyleOptionFocusRect frame;
        frame.QStyleOption::operator=(shown);
        frame.rect = shown.rect.adjusted(2, 2, -2, -2);
        QProxyStyle::drawPrimitive(PE_FrameFocusRect, &frame, painter, widget);
    }
};

QToolBar* BarOf(const QObject* watched) {
    for (const QObject* o = watched; o; o = o->parent())
        if (auto* bar = qobject_cast<QToolBar*>(const_cast<QObject*>(o))) return bar;
    return nullptr;
}

bool IsCtrlTab(int key, Qt::KeyboardModifiers modifiers) {
    return (key == Qt::Key_Tab || key == Qt::Key_Backtab) && (modifiers & Qt::ControlModifier);
}

} // namespace

CToolbarKeys::CToolbarKeys(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    qApp->installEventFilter(this);
    auto* style = new CKeyboardButtonStyle;
    style->setParent(this);
    for (ToolbarIndex index : kWalk)
        if (QToolBar* bar = frame_.Toolbar(index))
            for (QToolButton* button : bar->findChildren<QToolButton*>()) button->setStyle(style);
    // Where the keys go back to: the last widget outside the bars and the menu bar that had
    // them.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && !BarOf(now) && now != frame_.menuBar() && now->window() == &frame_) home_ = now;
    });
}

QList<QToolBar*> CToolbarKeys::Bars() const {
    QList<QToolBar*> bars;
    for (ToolbarIndex index : kWalk) {
        QToolBar* bar = frame_.Toolbar(index);
        if (bar && bar->isVisible() && !Items(bar).isEmpty()) bars.append(bar);
    }
    return bars;
}

QList<QWidget*> CToolbarKeys::Items(QToolBar* bar) {
    QList<QWidget*> items;
    for (QAction* action : bar->actions()) {
        QWidget* w = bar->widgetForAction(action);
        if (!w || !w->isVisible() || !w->isEnabled()) continue;
        if (qobject_cast<QToolButton*>(w) || qobject_cast<QComboBox*>(w)) items.append(w);
    }
    return items;
}

QToolBar* CToolbarKeys::BarWithKeys() const {
    QWidget* focus = QApplication::focusWidget();
    QToolBar* bar = focus ? BarOf(focus) : nullptr;
    return bar && bar->window() == &frame_ ? bar : nullptr;
}

bool CToolbarKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const int k = key->key();
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    QMenuBar* menuBar = frame_.menuBar();
    const bool inMenus = (watched == menuBar && menuBar->hasFocus()) ||
                         (qobject_cast<QMenu*>(watched) && menuBar->hasFocus());
    if (inMenus && IsCtrlTab(k, mods)) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        // The open menus close and the bar leaves its keyboard mode, giving the keys back;
        // then the first (or last) toolbar takes them.
        while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        if (menuBar->hasFocus()) QApplication::sendEvent(menuBar, &escape);
        EnterBar(k == Qt::Key_Backtab || (mods & Qt::ShiftModifier) ? -1 : 0, false);
        return true;
    }
    auto* item = qobject_cast<QWidget*>(watched);
    QToolBar* bar = item && item->hasFocus() ? BarOf(item) : nullptr;
    if (!bar || bar->window() != &frame_ || QApplication::activePopupWidget()) return false;
    // Shortcuts of the frame (Ctrl+Tab among them) wait while a bar has the keys; the keys
    // come to the bar as keys.
    const bool ours =
        IsCtrlTab(k, mods) || k == Qt::Key_Escape || k == Qt::Key_Tab || k == Qt::Key_Backtab ||
        (!qobject_cast<QComboBox*>(item) &&
         (k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down ||
          k == Qt::Key_Home || k == Qt::Key_End || k == Qt::Key_Return || k == Qt::Key_Enter ||
          k == Qt::Key_Space || k == Qt::Key_F4));
    if (!ours) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return OnBarKey(bar, item, k, mods);
}

bool CToolbarKeys::OnBarKey(QToolBar* bar, QWidget* item, int key,
                            Qt::KeyboardModifiers modifiers) {
    const QList<QToolBar*> bars = Bars();
    if (IsCtrlTab(key, modifiers)) {
        const bool back = key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
        const int at = int(bars.indexOf(bar));
        const int next = back ? at - 1 : at + 1;
        // Past either end the menu bar takes the keys, as it gave them.
        if (at < 0 || next < 0 || next >= bars.size()) {
            EnterMenuBar();
            return true;
        }
        EnterBar(next, false);
        return true;
    }
    if (key == Qt::Key_Escape) {
        // The address box's own Escape gives the keys back itself.
        if (qobject_cast<QComboBox*>(item)) return false;
        GoHome();
        return true;
    }
    const QList<QWidget*> items = Items(bar);
    const int at = int(items.indexOf(item));
    if (at < 0 || items.isEmpty()) return false;
    const int n = int(items.size());
    auto move = [&](int to) {
        items[((to % n) + n) % n]->setFocus(Qt::TabFocusReason);
        return true;
    };
    const bool alt = modifiers & Qt::AltModifier;
    // From a box the user types into, Tab goes on to the bar's next box where there is one
    // (find, then replace), as a typing user expects; else to the next button.
    auto nextBox = [&](int step) {
        if (!qobject_cast<QComboBox*>(item)) return at + step;
        for (int i = at + step; i >= 0 && i < n; i += step)
            if (qobject_cast<QComboBox*>(items[i])) return i;
        return at + step;
    };
    switch (key) {
    case Qt::Key_Tab:
        return move(nextBox(1));
    case Qt::Key_Backtab:
        return move(nextBox(-1));
    case Qt::Key_Right:
        return move(at + 1);
    case Qt::Key_Left:
        return move(at - 1);
    case Qt::Key_Up:
        return alt ? false : move(at - 1);
    case Qt::Key_Home:
        return move(0);
    case Qt::Key_End:
        return move(n - 1);
    case Qt::Key_Down:
    case Qt::Key_F4:
        if (DropDownId(item)) {
            Press(item, true);
            return true;
        }
        return key == Qt::Key_Down && !alt ? move(at + 1) : true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Press(item, false);
        return true;
    default:
        return false;
    }
}

void CToolbarKeys::EnterBar(int index, bool) {
    const QList<QToolBar*> bars = Bars();
    if (bars.isEmpty()) return;
    if (index < 0) index = int(bars.size()) - 1;
    const QList<QWidget*> items = Items(bars[index]);
    if (!items.isEmpty()) items.first()->setFocus(Qt::TabFocusReason);
}

void CToolbarKeys::EnterMenuBar() {
    QMenuBar* menuBar = frame_.menuBar();
    GoHome();
    if (!menuBar->actions().isEmpty()) menuBar->setActiveAction(menuBar->actions().first());
}

void CToolbarKeys::GoHome() {
    if (home_ && home_->isVisible() && home_->isEnabled())
        home_->setFocus(Qt::OtherFocusReason);
    else
        frame_.setFocus(Qt::OtherFocusReason);
}

int CToolbarKeys::DropDownId(QWidget* item) const {
    auto* button = qobject_cast<QToolButton*>(item);
    if (!button || !button->defaultAction()) return 0;
    for (ToolbarIndex index : kWalk) {
        const ToolbarSpec& spec = FrameToolbar(index);
        for (std::size_t i = 0; i < spec.count; ++i) {
            const ToolButton& b = spec.buttons[i];
            if ((b.kind == ButtonKind::kDropArrow || b.kind == ButtonKind::kWholeDrop) &&
                frame_.ToolAction(b.id) == button->defaultAction())
                return b.id;
        }
    }
    return 0;
}

void CToolbarKeys::Press(QWidget* item, bool dropDown) {
    auto* button = qobject_cast<QToolButton*>(item);
    if (!button || !button->defaultAction()) return;
    const int id = dropDown ? DropDownId(item) : 0;
    QAction* action = button->defaultAction();
    // The keys go back first: what the button opens takes them from there, and gives them
    // back there.
    GoHome();
    if (id)
        frame_.OnToolbarDropDown(id);
    else
        action->trigger();
}

} // namespace vl
