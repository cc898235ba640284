#include "app/commandstates.h"
#include "app/mainframe.h"
#include "core/settings.h"
#include "resources/commandids.h"
#include "ui/commandprompts.h"
#include "workbookwnd/menumerger.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

namespace vl {

namespace {

// The frame's own popup of the menu bar with this text, if any.
QMenu* FramePopup(CMainFrame* frame, const char* text) {
    if (!frame) return nullptr;
    for (QMenu* menu : frame->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        if (menu->title() == QString::fromLatin1(text)) return menu;
    return nullptr;
}

bool IsPopupWithoutLines(const MenuLine* lines, std::size_t count, std::size_t i) {
    return lines[i].level == 0 && (i + 1 == count || lines[i + 1].level == 0);
}

// The command's item for a menu: the shared one, or where this menu gives the command
// other letters (the grid's menu has its own), an item of the menu's own that shows the
// shared one's state and runs it.
QAction* MenuItem(QAction* shared, const QString& text, QMenu* menu) {
    const QChar tab = QLatin1Char('\t');
    if (shared->text().section(tab, 0, 0) == text.section(tab, 0, 0)) return shared;
    auto* item = new QAction(text, menu);
    SetItemCommand(*item, shared->data().toInt());
    auto follow = [item, shared] {
        item->setCheckable(shared->isCheckable());
        item->setChecked(shared->isChecked());
        item->setEnabled(shared->isEnabled());
    };
    follow();
    QObject::connect(shared, &QAction::changed, item, follow);
    QObject::connect(item, &QAction::triggered, shared, &QAction::trigger);
    return item;
}

} // namespace

QAction* CWorkbookWnd::CommandAction(int id, const QString& text, QWidget* parent) {
    // The frame's commands keep the frame's items (and with them their keys and states).
    if (frame_ && frame_->HasHandler(id)) return frame_->SharedAction(id, text);
    // A command in both the menu bar and the grid's menu is one item, so one state serves
    // both.
    if (auto it = actions_.find(id); it != actions_.end()) return it->second;
    auto* action = new QAction(text, parent);
    SetItemCommand(*action, id);
    action->setEnabled(CommandAvailable(id));
    connect(action, &QAction::triggered, this, [this, id] {
        if (CommandAvailable(id)) HandleCommand(id);
    });
    actions_[id] = action;
    sortedActions_.clear();
    return action;
}

QMenu* CWorkbookWnd::BuildMenu(const MenuLine* lines, std::size_t count, bool bar) {
    QMenu* levels[3] = {};
    QMenu* first = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        const MenuLine& line = lines[i];
        const QString text = QString::fromLatin1(line.text ? line.text : "");
        if (line.level == 0) {
            QMenu* frameMenu =
                IsPopupWithoutLines(lines, count, i) ? FramePopup(frame_, line.text) : nullptr;
            levels[0] = frameMenu ? frameMenu : new QMenu(text, this);
            MarkPromptMenu(*levels[0]);
            if (!first) first = levels[0];
            if (!frameMenu && bar) {
                QMenu* menu = levels[0];
                const bool windows = text == QStringLiteral("&Window");
                connect(menu, &QMenu::aboutToShow, this, [this, menu, windows] {
                    RefreshMenuStates();
                    if (windows) FillWindowList(menu);
                    TickAutoRowHeight(menu);
                });
            }
            if (bar) menuBar_.push_back(levels[0]->menuAction());
        } else if (!line.text) {
            levels[line.level - 1]->addSeparator();
        } else if (line.id == 0) {
            QMenu* recent = i + 1 < count && lines[i + 1].id == ID_FILE_MRU_FIRST && frame_
                                ? frame_->RecentFilesMenu()
                                : nullptr;
            if (recent) {
                levels[line.level - 1]->addMenu(recent);
                ++i;
                continue;
            }
            levels[line.level] = levels[line.level - 1]->addMenu(text);
        } else {
            QMenu* menu = levels[line.level - 1];
            menu->addAction(MenuItem(CommandAction(line.id, text, menu), text, menu));
        }
    }
    return first;
}

// The "&Window" popup lists the open windows below its own commands; choosing one brings
// it forward.
void CWorkbookWnd::FillWindowList(QMenu* menu) {
    for (QAction* a : windowList_) {
        menu->removeAction(a);
        a->deleteLater();
    }
    windowList_.clear();
    if (!frame_ || !frame_->MdiArea()) return;
    QMdiArea* area = frame_->MdiArea();
    const QList<QMdiSubWindow*> subs = area->subWindowList();
    if (subs.isEmpty()) return;
    windowList_.push_back(menu->addSeparator());
    for (int i = 0; i < subs.size(); ++i) {
        QMdiSubWindow* sub = subs[i];
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == area->currentSubWindow());
        connect(a, &QAction::triggered, area, [area, sub] { area->setActiveSubWindow(sub); });
        windowList_.push_back(a);
    }
}

void CWorkbookWnd::BuildMenus() {
    std::size_t count = 0;
    const MenuLine* lines = WorkbookMenuLines(count);
    BuildMenu(lines, count, true);
    for (int id : {int(ID_VIEW_TREE), int(ID_VIEW_INSPECT), int(ID_FREEZE_COLUMN),
                   int(ID_FREEZE_ROW), int(ID_FREEZE_NONE), int(ID_SPLIT_HORIZONTAL),
                   int(ID_SPLIT_VERTICAL), int(ID_SPLIT_NONE), int(ID_AUTO_ROW_HEIGHT)})
        if (auto it = actions_.find(id); it != actions_.end()) it->second->setCheckable(true);
    for (int i = 0; i < 5; ++i)
        for (int id : {ID_UPDATE_AUTO_ALL + i, ID_FORMAT_XML + i})
            if (auto it = actions_.find(id); it != actions_.end()) it->second->setCheckable(true);
    const MenuLine* grid = GridContextMenuLines(count);
    contextMenu_ = BuildMenu(grid, count, false);
    RefreshMenuStates();
    if (!frame_ || !frame_->MdiArea()) return;
    connect(frame_->MdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        frame_->SetWindowActivated();
        if (sub && sub->widget() == this) {
            CMenuMerger::Activate(frame_, this);
            UpdateTitle();
            UpdateStatus();
            // The keys go to a pane of the window, its grid unless one has them: the sub-window
            // on its own gives them to the first button of its chain. At once, so that a key
            // already queued finds the grid, and again once the activation has run its course.
            KeysToAPane(true);
            QTimer::singleShot(0, this, [this] { KeysToAPane(false); });
        } else if (!frame_->MdiArea()->currentSubWindow()) {
            CMenuMerger::Activate(frame_, nullptr);
        }
    });
}

bool CWorkbookWnd::IsActiveSubWindow() const {
    if (!frame_ || !frame_->MdiArea()) return true;
    QMdiSubWindow* active = frame_->MdiArea()->activeSubWindow();
    return active && active->widget() == this;
}

void CWorkbookWnd::KeysToAPane(bool activating) {
    if (!IsActiveSubWindow() || !frame_ || QApplication::activePopupWidget() ||
        QApplication::activeModalWidget())
        return;
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() != window()) return;
    const bool toLastPane = lastPane_ && lastPane_ != View(0) && lastPane_ != View(1) &&
                            lastPane_->isVisibleTo(this) && lastPane_->isEnabled();
    // On activation the sub-window gives the keys back to the grid they were pushed to as its
    // tree hid; a click has chosen its pane itself.
    if (QWidget* pane = PaneOf(focus)) {
        if (QGuiApplication::mouseButtons() != Qt::NoButton) lastPane_ = pane;
        if (!activating || !toLastPane || pane == lastPane_) return;
    }
    if (toLastPane)
        lastPane_->setFocus(Qt::OtherFocusReason);
    else
        FocusActiveView();
}

QWidget* CWorkbookWnd::PaneOf(QWidget* widget) const {
    for (QWidget* pane : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(inspect_)})
        if (widget && pane && (widget == pane || pane->isAncestorOf(widget))) return pane;
    for (int i = 0; i < 2; ++i) {
        QWidget* view = View(i);
        if (widget && view && (widget == view || view->isAncestorOf(widget))) return view;
    }
    return nullptr;
}

std::vector<CommandState> CWorkbookWnd::MenuStates() const {
    std::vector<CommandState> states =
        ComputeCommandStates(State(), ClipboardHoldsPasteData(), Profile().region);
    std::stable_sort(states.begin(), states.end(),
                     [](const CommandState& a, const CommandState& b) { return a.id < b.id; });
    return states;
}

bool CWorkbookWnd::CommandEnabled(int id) const {
    const std::vector<CommandState> states = MenuStates();
    // Of several states of one id the last given holds.
    auto end = std::upper_bound(states.begin(), states.end(), id,
                                [](int key, const CommandState& s) { return key < s.id; });
    const bool given = end != states.begin() && std::prev(end)->id == id;
    return (!given || std::prev(end)->enabled) && CommandAvailable(id);
}

void CWorkbookWnd::RefreshMenuStates() {
    // This runs after every edit and change of worksheet: the states and the actions are
    // both taken in order of id.
    const std::vector<CommandState> states = MenuStates();
    if (sortedActions_.size() != actions_.size()) {
        sortedActions_.assign(actions_.begin(), actions_.end());
        std::sort(sortedActions_.begin(), sortedActions_.end());
    }
    auto next = states.begin();
    for (const auto& [id, action] : sortedActions_) {
        while (next != states.end() && next->id < id) ++next;
        // Of several states of one id the last given holds.
        const CommandState* given = nullptr;
        for (; next != states.end() && next->id == id; ++next) given = &*next;
        const bool enabled = (!given || given->enabled) && CommandAvailable(id);
        if (given && action->isCheckable()) action->setChecked(given->check != 0);
        action->setEnabled(enabled);
    }
}

void CWorkbookWnd::TickAutoRowHeight(QMenu* menu) {
    // The Format menu, the one that starts with Font.
    auto font = actions_.find(ID_FORMAT_FONT);
    auto tick = actions_.find(ID_AUTO_ROW_HEIGHT);
    if (font == actions_.end() || tick == actions_.end() || menu->actions().isEmpty() ||
        menu->actions().first() != font->second)
        return;
    tick->second->setChecked(AutoRowHeightTicked());
}

void CWorkbookWnd::ShowContextMenu(const QPoint& globalPoint) {
    if (!contextMenu_) return;
    RefreshMenuStates();
    contextMenu_->popup(globalPoint);
}

} // namespace vl
