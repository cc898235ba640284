#include "app/commandstates.h"
#include "app/mainframe.h"
#include "app/printservices.h"
#include "app/statusbarwnd.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"
#include "dialogs/formatpageapi.h"
#include "formula/celltext.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/imagelists.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"
#include "values/isodate.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QToolButton>

namespace vl {

namespace {

QString FromCp1252(const std::string& text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

// Buttons of the three main toolbars that keep their state whether a workbook is open.
bool AlwaysAvailable(int id) {
    return id == ID_FILE_NEW || id == ID_FILE_OPEN || id == ID_SEARCH_CLOSE ||
           id == ID_GO_TO_ADDRESS || id == ID_VIEW_COMPOSER;
}

} // namespace

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        StampActivity();
        idleDirty_ = true;
        lastInputByKeys_ = event->type() == QEvent::KeyPress;
        break;
    case QEvent::WindowActivate:
    case QEvent::FocusIn:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
        idleDirty_ = true;
        break;
    default:
        break;
    }
    if (DropArrowPress(watched, event)) return true;
    if (SearchBoxKey(watched, event)) return true;
    // The active workbook window's own keys come after the frame's shortcuts.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        if (IWorkbookWnd* wnd = GetActiveWorkbookWnd())
            if (wnd->ForwardKey(static_cast<QKeyEvent*>(event))) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::StampActivity() {
    lastAutoSave_ = lastAutoClose_ = clock_.NowSeconds();
}

void CMainFrame::SetFormatButtonTexts(bool shown) {
    const ToolbarSpec& spec = FrameToolbar(kFormattingBar);
    for (std::size_t i = 0; i < spec.count; ++i) {
        QAction* action = ToolAction(spec.buttons[i].id);
        if (!action) continue;
        action->setIconText(shown ? QString::fromLatin1(spec.buttons[i].text) : QString());
        if (auto* b = qobject_cast<QToolButton*>(bars_[kFormattingBar]->widgetForAction(action)))
            b->setToolButtonStyle(shown ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    }
}

void CMainFrame::OnIdle() {
    idleDirty_ = false;
    const SettingsProfile& p = Profile();
    const bool open = OpenDocumentCount() > 0;
    if (open != hadWorkbook_) {
        hadWorkbook_ = open;
        if (open) {
            // The preview's Close shows it.
            if (p.formattingToolbarVisible && !preview_) bars_[kFormattingBar]->show();
        } else {
            if (p.searchToolbarVisible) bars_[kSearchBar]->hide();
            if (p.formattingToolbarVisible) bars_[kFormattingBar]->hide();
        }
        SetFormatButtonTexts(open);
        LayoutAddressBox();
    }
    UpdatePreviewCommands();
    UpdateFrameCommands();
    // A button is enabled exactly when its menu item is; without a workbook only those that
    // need none.
    for (int bar : {kStandardBar, kAddressBar, kFormattingBar, kSearchBar}) {
        const ToolbarSpec& spec = FrameToolbar(bar);
        for (std::size_t i = 0; i < spec.count; ++i) {
            const ToolButton& button = spec.buttons[i];
            QAction* action = ToolAction(button.id);
            if (!action) continue;
            // The search options have no handler: the search commands read them.
            const bool handled =
                button.kind == ButtonKind::kCheck ? open : CommandHandled(button.id);
            action->setEnabled(open || AlwaysAvailable(button.id) ? handled : false);
        }
    }
    // A format button stays pressed while its page is open.
    const IFormatPages* pages = formatPages_;
    const int openPage = pages ? pages->OpenPageCommand() : 0;
    for (int id : {ID_FORMAT_FONT, ID_FORMAT_CELL, ID_FORMAT_STYLE, ID_FORMAT_ALIGNMENT,
                   ID_FORMAT_LIST, ID_FORMAT_WORKSHEET}) {
        if (QAction* action = ToolAction(id)) {
            action->setCheckable(true);
            action->setChecked(id == openPage);
        }
    }
    if (IComposerPane* composer = ComposerPane()) {
        composer->UpdateControls();
        // Esc or the close box may have hidden it.
        if (QAction* action = Action(ID_VIEW_COMPOSER)) action->setChecked(composer->IsVisible());
    }
    IWorkbookWnd* active = GetActiveWorkbookWnd();
    if (!active) {
        status_->ClearPanes();
        status_->SetPaneText(0, AppString(IDS_READY));
    }
    if (active) UpdateCommandStates();
}

bool CMainFrame::FrameCommandAvailable(int id) const {
    switch (id) {
    case ID_OPTIONS:
        return UiServices().HasOptionsDialog();
    case ID_LOAD_PROFILE:
        return bool(settings_.loadProfile);
    case ID_SAVE_PROFILE_AS:
        return bool(settings_.saveProfile);
    case ID_REGISTER_SERVER:
    case ID_UNREGISTER_SERVER:
        return bool(settings_.registration);
    case ID_VIEW_COMPOSER:
        return ComposerPane() != nullptr;
    case ID_ZOOM:
        return UiServices().HasZoomDialog() && GetActiveWorkbookWnd() != nullptr;
    case ID_EDIT_FIND:
        return GetActiveWorkbookWnd() != nullptr;
    case ID_FILE_MRU_FIRST:
        return !Profile().recentFiles.empty();
    case ID_FILE_PRINT_PREVIEW:
    case ID_FILE_PRINT:
    case ID_PRINT_ALL:
        return GetActiveWorkbookWnd() != nullptr && printing_ != nullptr;
    case ID_PREVIEW_PRINT:
    case ID_PREVIEW_GO_TO:
    case ID_PREVIEW_PREV:
    case ID_PREVIEW_NEXT:
    case ID_PREVIEW_ZOOM_IN:
    case ID_PREVIEW_ZOOM_OUT:
    case ID_PREVIEW_CLOSE:
        return preview_ != nullptr;
    default:
        return true;
    }
}

bool CMainFrame::CommandHandled(int id) const {
    if (HasHandler(id)) return FrameCommandAvailable(id);
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd) return false;
    // A whole drop-down button stands for the commands of its menu.
    if (id == ID_INSERT_DATE_TIME) id = ID_INSERT_DATE;
    if (id == ID_INSERT_FORMULA) id = ID_STAT_SUM;
    if (id == ID_INSERT_CHART) id = ID_CHART_2D;
    return wnd->CommandAvailable(id);
}

void CMainFrame::UpdateFrameCommands() {
    for (const auto& [id, action] : actions_)
        if (HasHandler(id)) action->setEnabled(FrameCommandAvailable(id));
}

void CMainFrame::UpdateStatusBar() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd) return;
    const DocumentState doc = wnd->State();
    const CellRange& sel = doc.selection;
    const bool oneCell = sel.c1 == sel.c2 && sel.r1 == sel.r2;
    const CCellStore* cells = wnd->ActiveCells();
    QString pane0, pane1;
    if (oneCell && cells && wnd->EvalContext()) {
        static const CellLabels kLabels{"Error", "Formula", "Number", "Text", "Empty"};
        pane0 = FromCp1252(DescribeCell(*wnd->EvalContext(), *cells, sel.r1, sel.c1, kLabels));
    } else if (!oneCell) {
        pane0 = QString::fromStdString(SelectionSizeText(sel));
        if (cells)
            pane1 = FromCp1252(
                FormatSelectionStats(ComputeSelectionStats(*cells, sel), UserSeparators()));
    }
    status_->SetPaneText(0, pane0);
    status_->SetPaneText(1, pane1);
    QString pane2 = FromCp1252(FileFormatText(doc, Profile().fileFormat));
    IsoDateTime saved;
    if (doc.fileOpen && ParseIsoDateTime(saved, doc.lastSaved)) {
        const QLocale locale = QLocale::system();
        // Hours and minutes only: a time shown with seconds would show ":00" for them.
        const QString timeFormat =
            TimeFormatWithoutSeconds(locale.timeFormat(QLocale::ShortFormat));
        pane2 += QStringLiteral("; Last saved: %1 %2, by %3")
                     .arg(locale.toString(QDate(saved.year, saved.month, saved.day),
                                          QLocale::ShortFormat),
                          locale.toString(QTime(saved.hour, saved.minute), timeFormat),
                          FromCp1252(doc.savedBy));
    }
    status_->SetPaneText(2, pane2);
    int icon = LockIconId(doc.lockState);
    const SharedImageLists& images = SharedImages();
    status_->SetPaneIcon(icon == 0 ? QIcon() : icon == 285 ? images.locked : images.readOnly);
    status_->SetPaneText(4, QString::fromStdString(EditorStateText(doc.editorState)));
    status_->SetPaneText(5, QString::fromStdString(ZoomText(doc.zoom)));
}

void CMainFrame::UpdateCommandStates() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd) return;
    const std::optional<bool> clip = ClipboardHoldsPasteData();
    for (const CommandState& s : ComputeCommandStates(wnd->State(), clip, Profile().region)) {
        for (QAction* action : {Action(s.id), ToolAction(s.id)}) {
            if (!action) continue;
            action->setEnabled(s.enabled && CommandHandled(s.id));
            if (s.check || action->isCheckable()) {
                action->setCheckable(true);
                action->setChecked(s.check != 0);
            }
        }
    }
}

void CMainFrame::UpdateTitle() {
    QString title = AppTitle();
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    // The previewed window's frame: the hidden area has no current one.
    auto* sub = wnd ? qobject_cast<QMdiSubWindow*>(wnd->Widget()->parentWidget()) : nullptr;
    if (sub && sub->isMaximized())
        title += QStringLiteral(" - [") + wnd->Title() + QStringLiteral("]");
    setWindowTitle(title);
}

} // namespace vl
