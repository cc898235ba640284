#include "app/mainframe.h"

#include "app/activationkeeper.h"
#include "app/bookmarkbox.h"
#include "app/copyhistory.h"
#include "app/menuescape.h"
#include "app/menuprompts.h"
#include "app/modaltypeahead.h"
#include "app/printservices.h"
#include "app/statusbarwnd.h"
#include "app/toolbarkeys.h"
#include "automation/servermodule.h"
#include "core/settings.h"
#include "dialogs/printwaitdlg.h"
#include "model/stylerecords.h"
#include "resources/commandids.h"
#include "resources/commandtexts.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "ui/commandprompts.h"
#include "ui/imagelists.h"
#include "ui/messages.h"
#include "ui/redokey.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>

namespace vl {

CMainFrame::CMainFrame(CServerModule* module, const IClock& clock, IWorkbookWndFactory* factory)
    : module_(module), clock_(clock), factory_(factory) {
    setWindowTitle(AppTitle());
    setWindowIcon(QIcon(QPixmap::fromImage(LoadPicture(QStringLiteral("icon_127")))));
}

CMainFrame::~CMainFrame() {
    // The preview frees its pages while their workbook lives.
    ClosePreview(nullptr);
    if (created_) SetDocumentReleaseListener(nullptr);
    // The workbook windows go first, while the table they leave is still whole.
    if (mdi_) qDeleteAll(mdi_->subWindowList());
    if (created_ && !destroyed_) OnDestroy();
    if (MessageFrame() == this) SetMessageOwner(nullptr);
}

QAction* CMainFrame::Action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::ToolAction(int id) const {
    auto it = toolActions_.find(id);
    return it == toolActions_.end() ? nullptr : it->second;
}

bool CMainFrame::HasHandler(int id) const {
    return handlers_.count(id) != 0;
}

QAction* CMainFrame::SharedAction(int id, const QString& text) {
    QAction* action = Action(id);
    if (!action) action = MenuAction(id, text);
    // A key's action was made without a text.
    if (action->text().isEmpty()) action->setText(text);
    action->setEnabled(HasHandler(id) && FrameCommandAvailable(id));
    return action;
}

void CMainFrame::OnCreate() {
    RegisterHandlers();
    CreateMenus();
    CreateToolbars();
    CreateStatusBar();
    ApplySavedVisibility();
    stack_ = new QStackedWidget(this);
    mdi_ = new QMdiArea(stack_);
    mdi_->setFrameShape(QFrame::StyledPanel);
    mdi_->setFrameShadow(QFrame::Sunken);
    stack_->addWidget(mdi_);
    setCentralWidget(stack_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
        idleDirty_ = true;
        UpdateTitle();
        UpdateStatusBar();
        UpdateCommandStates();
    });
    if (QAction* composer = Action(ID_VIEW_COMPOSER))
        composer->setChecked(Profile().composerVisible);
    SetDefaultFontFace(Profile().font.faceName);
    AttachRemoveListMenu();
    FillAddressBox();
    CopyHistory().ApplyCopyLevel(Profile().copyLevel);
    // Before the frame's own filter, which then sees Ctrl+Y first.
    InstallRedoKey();
    InstallModalTypeAhead();
    qApp->installEventFilter(this);
    prompts_ = new CMenuPrompts(status_, this);
    qApp->installEventFilter(prompts_);
    new CActivationKeeper(this);
    new CMenuEscape(menuBar());
    new CToolbarKeys(*this);
    // Paste's state follows what another program puts on the clipboard or takes off it.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { idleDirty_ = true; });
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] {
                if (idleDirty_) OnIdle();
            });
    lastAutoSave_ = lastAutoClose_ = clock_.NowSeconds();
    timerId_ = startTimer(kTimerMs);
    SetMessageOwner(this);
    ShowPrintWaitsInBoxes();
    SetDocumentReleaseListener([this](IWorkbookWnd* window) { OnDocumentReleased(window); });
    created_ = true;
    OnIdle();
}

QAction* CMainFrame::MenuAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    SetItemCommand(*action, id);
    actions_[id] = action;
    action->setEnabled(HasHandler(id));
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    return action;
}

void CMainFrame::CreateMenus() {
    std::size_t count = 0;
    const MenuLine* lines = MainMenuLines(count);
    QMenu* levels[3] = {};
    for (std::size_t i = 0; i < count; ++i) {
        const MenuLine& line = lines[i];
        QString text =
            QString::fromLatin1(line.text ? line.text : "").section(QLatin1Char('\t'), 0, 0);
        if (line.level == 0) {
            levels[0] = menuBar()->addMenu(text);
            MarkPromptMenu(*levels[0]);
        } else if (!line.text) {
            levels[line.level - 1]->addSeparator();
        } else if (line.id == 0) {
            levels[line.level] = levels[line.level - 1]->addMenu(text);
        } else {
            levels[line.level - 1]->addAction(MenuAction(line.id, text));
            if (line.id == ID_FILE_MRU_FIRST) recentMenu_ = levels[line.level - 1];
        }
        if (line.level == 0 || (line.text && line.id == 0))
            connect(levels[line.level], &QMenu::aboutToShow, this, [this] { StampActivity(); });
    }
    if (recentMenu_) connect(recentMenu_, &QMenu::aboutToShow, this, [this] { FillRecentFiles(); });
    for (int id : {ID_LOCALE_GENERIC, ID_LOCALE_SYSTEM, ID_LOCALE_USER, ID_VIEW_COMPOSER,
                   ID_VIEW_TOOLBAR, ID_VIEW_FORMATTING_BAR, ID_VIEW_STATUS_BAR})
        if (QAction* a = Action(id)) a->setCheckable(true);
    std::size_t keyCount = 0;
    const AcceleratorKey* keys = FrameAccelerators(keyCount);
    for (std::size_t i = 0; i < keyCount; ++i) {
        QAction* action = Action(keys[i].id);
        if (!action) action = MenuAction(keys[i].id, QString());
        // Held by the frame too, so the keys work while the print preview hides the menus.
        addAction(action);
        action->setShortcut(QKeySequence(QString::fromLatin1(keys[i].keys)));
    }
    // F10 opens the menu bar, as Alt alone would.
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(Qt::Key_F10);
    connect(menuKey, &QAction::triggered, this, [this] {
        if (!menuBar()->actions().isEmpty())
            menuBar()->setActiveAction(menuBar()->actions().first());
    });
    addAction(menuKey);
    // Shift+F10 opens the context menu of what has the keyboard, as the Menu key does.
    auto* contextKey = new QAction(this);
    contextKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    connect(contextKey, &QAction::triggered, this, [] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !focus->isEnabled()) return;
        const QPoint at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus, &event);
    });
    addAction(contextKey);
    // Ctrl+Shift+F5 puts the keys into the address box, its text selected, as peers do for
    // their name box: the box is otherwise out of the keyboard's reach.
    auto* addressKey = new QAction(this);
    addressKey->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F5));
    connect(addressKey, &QAction::triggered, this, [this] {
        if (!addressBox_ || !addressBox_->isVisible() || !addressBox_->isEnabled()) return;
        addressBox_->setFocus(Qt::ShortcutFocusReason);
        if (addressBox_->lineEdit()) addressBox_->lineEdit()->selectAll();
    });
    addAction(addressKey);
}

QToolBar* CMainFrame::CreateToolbar(int index) {
    const ToolbarSpec& spec = FrameToolbar(index);
    auto* bar = new QToolBar(QString::fromLatin1(spec.name), this);
    bar->setObjectName(QString::fromLatin1(spec.name));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    const COLORREF face = GetSystemColor(kColorButtonFace);
    std::optional<ImageList> color = LoadToolbarPictures(spec.bitmap, face, false);
    std::optional<ImageList> grey = LoadToolbarPictures(spec.bitmap, face, true);
    std::size_t picture = 0;
    for (std::size_t i = 0; i < spec.count; ++i) {
        const ToolButton& b = spec.buttons[i];
        if (b.kind == ButtonKind::kSeparator) {
            bar->addSeparator();
            continue;
        }
        if (b.kind == ButtonKind::kPlace) {
            QComboBox* box = index == kAddressBar ? new CBookmarkBox(bar) : new QComboBox(bar);
            box->setEditable(index != kPreviewBar);
            box->setInsertPolicy(QComboBox::NoInsert);
            // The find, replace and address boxes take what is typed, never a longer text
            // of their lists that begins with it.
            if (box->isEditable()) box->setCompleter(nullptr);
            box->setMinimumWidth(40);
            box->setFixedWidth(b.width);
            box->setToolTip(QString::fromLatin1(b.tip));
            if (index == kAddressBar) {
                addressBox_ = box;
                static_cast<CBookmarkBox*>(box)->postCommand = [this](int id) { OnCommand(id); };
                static_cast<CBookmarkBox*>(box)->leave = [this] {
                    if (IWorkbookWnd* wnd = GetActiveWorkbookWnd()) wnd->FocusActiveView();
                };
            }
            if (index == kPreviewBar) AttachPageSelector(box);
            bar->addWidget(box);
            continue;
        }
        auto* action = new QAction(QString::fromLatin1(b.tip), bar);
        if (color && grey && picture < color->size()) {
            QIcon icon(QPixmap::fromImage((*color)[picture]));
            icon.addPixmap(QPixmap::fromImage((*grey)[picture]), QIcon::Disabled);
            action->setIcon(icon);
        }
        ++picture;
        action->setStatusTip(QString::fromLatin1(CommandPrompt(b.id)));
        if (b.text) action->setIconText(QString::fromLatin1(b.text));
        action->setCheckable(b.kind == ButtonKind::kCheck);
        action->setEnabled(HasHandler(b.id));
        // A whole drop-down button shows its menu (a format button its page).
        if (b.kind == ButtonKind::kWholeDrop)
            connect(action, &QAction::triggered, this,
                    [this, id = b.id] { OnToolbarDropDown(id); });
        else
            connect(action, &QAction::triggered, this, [this, id = b.id] { OnCommand(id); });
        bar->addAction(action);
        toolActions_[b.id] = action;
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
            if (b.text) button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            if (b.kind == ButtonKind::kDropArrow || b.kind == ButtonKind::kWholeDrop)
                button->setPopupMode(b.kind == ButtonKind::kDropArrow ? QToolButton::MenuButtonPopup
                                                                      : QToolButton::InstantPopup);
            // The arrow is drawn for a button with a menu; a press on it opens the
            // drop-down instead (DropArrowPress).
            if (b.kind == ButtonKind::kDropArrow) button->setMenu(new QMenu(button));
        }
    }
    return bar;
}

void CMainFrame::CreateToolbars() {
    for (int i = 0; i < kToolbars; ++i) bars_[i] = CreateToolbar(i);
    addToolBar(bars_[kStandardBar]);
    addToolBarBreak();
    addToolBar(bars_[kAddressBar]);
    addToolBar(bars_[kFormattingBar]);
    addToolBarBreak();
    addToolBar(bars_[kSearchBar]);
    addToolBarBreak();
    addToolBar(bars_[kPreviewBar]);
    bars_[kSearchBar]->hide();
    bars_[kPreviewBar]->hide();
}

void CMainFrame::CreateStatusBar() {
    status_ = new CStatusBarWnd(this);
    setStatusBar(status_);
    status_->SetPaneText(0, AppString(IDS_READY));
    status_->SetCommandSink([this](int id) { OnCommand(id); });
}

void CMainFrame::ApplySavedVisibility() {
    const SettingsProfile& p = Profile();
    if (!p.standardToolbarVisible) bars_[kStandardBar]->hide();
    if (!p.formattingToolbarVisible) {
        bars_[kAddressBar]->hide();
        bars_[kFormattingBar]->hide();
    }
    if (!p.statusBarVisible) status_->hide();
    for (auto [id, shown] : {std::pair{ID_VIEW_TOOLBAR, p.standardToolbarVisible},
                             std::pair{ID_VIEW_FORMATTING_BAR, p.formattingToolbarVisible},
                             std::pair{ID_VIEW_STATUS_BAR, p.statusBarVisible}})
        if (QAction* a = Action(id)) a->setChecked(shown != 0);
}

int CMainFrame::AddressBoxWidth(int bandWidth, int others) {
    return bandWidth <= others + 40 ? 40 : bandWidth - others;
}

void CMainFrame::LayoutAddressBox() {
    if (!addressBox_ || bars_[kAddressBar]->isHidden()) return;
    QToolBar* bar = bars_[kAddressBar];
    int others = 0;
    for (QAction* a : bar->actions()) {
        QWidget* w = bar->widgetForAction(a);
        if (w && w != addressBox_) others += w->sizeHint().width() + 1;
    }
    int formatting =
        bars_[kFormattingBar]->isHidden() ? 0 : bars_[kFormattingBar]->sizeHint().width();
    int band = width() - formatting - 16;
    addressBox_->setFixedWidth(AddressBoxWidth(band, others));
}

bool CMainFrame::UsableFrameRect(const QRect& rect) {
    if (rect.width() <= 0 || rect.height() <= 0) return false;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect)) return true;
    return false;
}

void CMainFrame::RecordPlacement() {
    if (!isVisible()) return;
    SettingsProfile& p = Profile();
    if (isMaximized()) {
        p.frameShow = kShowMaximized;
    } else if (isMinimized()) {
        p.frameShow = kShowMinimized;
    } else {
        p.frameShow = kShowNormal;
        QRect r = geometry();
        p.frameRect = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isMinimized()) return;
    LayoutAddressBox();
    RecordPlacement();
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    RecordPlacement();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        RecordPlacement();
        UpdateTitle();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (destroyed_) return event->accept();
    for (int i = 0; i < kMaxDocuments; ++i) {
        DocumentEntry& e = DocumentTable()[i];
        if (e.workbook && !e.window->QuerySaveChanges()) return event->ignore();
    }
    event->accept();
    ClosePreview(nullptr);
    OnDestroy();
}

void CMainFrame::OnDestroy() {
    destroyed_ = true;
    SettingsProfile& p = Profile();
    if (isMaximized()) {
        p.frameShow = kShowMaximized;
    } else if (isMinimized()) {
        p.frameShow = kShowMinimized;
    } else if (isVisible()) {
        QRect r = geometry();
        p.frameRect = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    if (timerId_) killTimer(timerId_);
    timerId_ = 0;
    qApp->removeEventFilter(this);
    if (prompts_) qApp->removeEventFilter(prompts_);
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        disconnect(dispatcher, nullptr, this, nullptr);
    if (module_) module_->ReleaseFrameLock();
}

} // namespace vl
