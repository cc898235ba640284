// The drop-downs of the toolbar buttons: a menu under the button, built from its resource
// and, for Paste and the Formula Composer, filled with the copy history and the composer's
// formulas. A chosen item runs as its command.

#include "app/copyhistory.h"
#include "app/mainframe.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"
#include "formula/addresstext.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "resources/menus.h"
#include "ui/commandprompts.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolBar>
#include <QToolButton>

namespace vl {

namespace {

static_assert(kPasteListSize == ID_COPIED_DATA_LAST - ID_COPIED_DATA_FIRST + 1,
              "one command for each item of the paste list");

// The menu resource of a drop-down button, 0 for none.
int DropMenuResource(int id) {
    switch (id) {
    case ID_EDIT_PASTE:
        return 253;
    case ID_INSERT_DATE_TIME:
        return 258;
    case ID_INSERT_FORMULA:
        return 249;
    case ID_VIEW_COMPOSER:
        return 282;
    case ID_INSERT_CHART:
        return 240;
    case ID_GO_TO_ADDRESS:
        return 280;
    case ID_REMOVE_ITEM:
        return 281;
    default:
        return 0;
    }
}

bool IsFormatPage(int id) {
    return id == ID_FORMAT_FONT || id == ID_FORMAT_CELL || id == ID_FORMAT_STYLE ||
           id == ID_FORMAT_ALIGNMENT || id == ID_FORMAT_LIST || id == ID_FORMAT_WORKSHEET;
}

QString FromCp1252(const std::string& text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

// A name as a menu item shows it: an "&" is doubled, so that it is not taken for a
// mnemonic.
QString MenuItemText(QString name) {
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The item of one copy, empty for a kind the list does not show.
QString PasteItemText(const UndoEntry& e, int number, const std::string& path) {
    switch (e.kind) {
    case kUndoRangeCells:
    case kUndoRangeFormats:
    case kUndoRangeBoth:
    case kUndoCells:
        return QStringLiteral("%1.\tPaste  ").arg(number) +
               MenuItemText(FromCp1252(
                   FormatCellAddress({}, path, e.blockDescriptor, !Profile().addressingA1)));
    case kUndoTreeChain:
        return QStringLiteral("%1.\tPaste  %2").arg(number).arg(MenuItemText(FromCp1252(path)));
    case kUndoContainer:
        return QStringLiteral("%1.\tPaste container %2 (%3)")
            .arg(number)
            .arg(e.containerId)
            .arg(MenuItemText(FromCp1252(path)));
    default:
        return {};
    }
}

} // namespace

QPoint CMainFrame::DropDownPoint(const QRect& button, const QSize& menuSize,
                                 const QRect& available) {
    int x = button.left();
    if (x + menuSize.width() > available.right() + 1) x = available.right() + 1 - menuSize.width();
    if (x < available.left()) x = available.left();
    return QPoint(x, button.bottom() + 1);
}

void CMainFrame::OnToolbarDropDown(int id) {
    if (IsFormatPage(id)) return OnCommand(id);
    const int resource = DropMenuResource(id);
    std::size_t count = 0;
    const MenuLine* lines = resource ? DropDownMenuLines(resource, count) : nullptr;
    if (!lines) return;
    if (dropMenu_) dropMenu_->close();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("menu%1").arg(resource));
    MarkPromptMenu(*menu);
    for (std::size_t i = 1; i < count; ++i) {
        if (!lines[i].text) {
            menu->addSeparator();
            continue;
        }
        SetItemCommand(*menu->addAction(QString::fromLatin1(lines[i].text)), lines[i].id);
    }
    if (id == ID_EDIT_PASTE) FillPasteList(*menu);
    if (id == ID_VIEW_COMPOSER) FillRecentFormulas(*menu);
    connect(menu, &QMenu::triggered, this, [this](QAction* a) {
        const int chosen = a->data().toInt();
        // A recent formula is inserted once the menu is gone, as a posted command would be.
        if (chosen >= ID_RECENT_FORMULA_FIRST && chosen < ID_RECENT_FORMULA_FIRST + 0x100) {
            QMetaObject::invokeMethod(
                this,
                [this, index = chosen - ID_RECENT_FORMULA_FIRST] {
                    if (IComposerPane* pane = ComposerPane()) pane->UseHistoryEntry(this, index);
                },
                Qt::QueuedConnection);
            return;
        }
        if (chosen != ID_NO_SAVED_FORMULAS) OnCommand(chosen);
    });
    dropMenu_ = menu;
    QRect button = rect();
    for (QToolBar* bar : bars_) {
        QAction* action = ToolAction(id);
        QWidget* w = bar && action ? bar->widgetForAction(action) : nullptr;
        if (w) button = QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    }
    const QScreen* screen = QGuiApplication::screenAt(button.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    menu->popup(DropDownPoint(button, menu->sizeHint(), screen->availableGeometry()));
}

// The Insert menu's Function: the function list in a popup, one submenu per category; a
// chosen row goes to the active workbook window as Insert Function. Chosen with the mouse
// the popup opens at the pointer; chosen by keys, under the active cell, where the user
// types.
void CMainFrame::OnFunctionMenu() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd) return;
    const std::vector<FunctionMenuGroup> groups = wnd->FunctionMenu();
    if (groups.empty()) return;
    if (dropMenu_) dropMenu_->close();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("functionMenu"));
    MarkPromptMenu(*menu);
    for (const FunctionMenuGroup& group : groups) {
        QMenu* sub = menu->addMenu(MenuItemText(FromCp1252(group.category)));
        for (const auto& [row, name] : group.rows)
            sub->addAction(MenuItemText(FromCp1252(name)))->setData(ID_RECENT_FORMULA_FIRST + row);
    }
    connect(menu, &QMenu::triggered, this, [this](QAction* a) {
        const int row = a->data().toInt() - ID_RECENT_FORMULA_FIRST;
        if (IWorkbookWnd* target = GetActiveWorkbookWnd())
            target->HandleCommandWith(ID_INSERT_FUNCTION, row);
    });
    dropMenu_ = menu;
    QPoint at = QCursor::pos();
    if (lastInputByKeys_) {
        QRect cell = wnd->ActiveCellRect();
        if (cell.isEmpty()) cell = QRect(wnd->Widget()->mapToGlobal(QPoint(0, 0)), QSize(1, 1));
        const QScreen* screen = QGuiApplication::screenAt(cell.center());
        if (!screen) screen = QGuiApplication::primaryScreen();
        at = DropDownPoint(cell, menu->sizeHint(), screen->availableGeometry());
    }
    menu->popup(at);
}

void CMainFrame::FillPasteList(QMenu& menu) {
    const UndoHistory& history = CopyHistory().Entries();
    if (!GetActiveWorkbookWnd() || history.current < 0) return;
    menu.clear();
    // Past sixteen copies the oldest drop out of the list, so the newest can still be chosen.
    const int32_t first = CopyHistory().FirstListed();
    std::vector<const CWorkbook*> open;
    for (int d = 0; d < kMaxDocuments; ++d)
        if (DocumentTable()[d].workbook) open.push_back(DocumentTable()[d].workbook);
    for (int32_t i = first; i <= history.current; ++i) {
        const int item = int(i - first);
        const UndoEntry& e = history.entries[i];
        const QString text = PasteItemText(e, item + 1, CopyHistory().ListedPath(e, open));
        if (text.isEmpty()) continue;
        menu.addAction(text)->setData(ID_COPIED_DATA_FIRST + item);
    }
}

namespace {

// Characters of a recent formula the menu shows, on average.
constexpr int kRecentFormulaChars = 60;

// A recent formula's item, "number.<tab>formula", its formula cut to a readable width: one
// long formula would widen the whole menu past the screen, leaving only the numbers in view.
QString RecentFormulaText(const QString& item, const QFontMetrics& metrics) {
    const int width = metrics.averageCharWidth() * kRecentFormulaChars;
    const qsizetype tab = item.indexOf(QLatin1Char('\t'));
    return MenuItemText(item.left(tab + 1)) +
           MenuItemText(metrics.elidedText(item.mid(tab + 1), Qt::ElideRight, width));
}

} // namespace

void CMainFrame::FillRecentFormulas(QMenu& menu) {
    const IComposerPane* pane = ComposerPane();
    const std::vector<std::string> items =
        pane ? pane->HistoryMenuItems() : std::vector<std::string>();
    if (items.empty()) {
        for (QAction* a : menu.actions()) a->setEnabled(false);
        return;
    }
    menu.clear();
    const QFontMetrics metrics(menu.font());
    for (std::size_t i = 0; i < items.size(); ++i)
        menu.addAction(RecentFormulaText(FromCp1252(items[i]), metrics))
            ->setData(int(ID_RECENT_FORMULA_FIRST + i));
}

bool CMainFrame::DropArrowPress(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress) return false;
    auto* button = qobject_cast<QToolButton*>(watched);
    if (!button || button->popupMode() != QToolButton::MenuButtonPopup || !button->isEnabled())
        return false;
    int id = 0;
    for (const auto& [command, action] : toolActions_)
        if (button->defaultAction() == action) id = command;
    if (!id || !DropMenuResource(id)) return false;
    QStyleOptionToolButton option;
    option.initFrom(button);
    option.features = QStyleOptionToolButton::MenuButtonPopup | QStyleOptionToolButton::HasMenu;
    option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
    const QRect arrow = button->style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                        QStyle::SC_ToolButtonMenu, button);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (!arrow.contains(mouse->position().toPoint())) return false;
    OnToolbarDropDown(id);
    return true;
}

} // namespace vl
