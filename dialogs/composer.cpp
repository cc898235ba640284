#include "dialogs/composer.h"

#include "core/settings.h"
#include "dialogs/dialogutil.h"
#include "dialogs/formatpage.h"
#include "platform/core/cp1252.h"
#include "resources/commandtexts.h"
#include "ui/commandprompts.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"
#include "ui_composer.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVBoxLayout>

namespace vl {

namespace {

QString ToQt(std::string_view text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

std::string FromQt(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

const FunctionInfo& RowAt(int i) {
    return FunctionCatalogue()[std::size_t(i)];
}

std::vector<ComposerFormula>& History() {
    return Profile().composerFormulas;
}

} // namespace

bool CFormulaComposer::relativeAddressing = false;

CFormulaComposer::CFormulaComposer(QWidget* parent, IComposerHost& host, int function)
    : QDialog(parent, Qt::Tool), ui_(std::make_unique<Ui::FormulaComposer>()), host_(host) {
    auto* body = new QWidget(this);
    ui_->setupUi(body);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(body);
    setWindowTitle(body->windowTitle());
    setSizeGripEnabled(true);
    ui_->id396->installEventFilter(this);
    // Tab walks the pane in the order it reads: category, list, help, prototype, formula,
    // buttons; the two text views hand Tab on instead of taking it as text.
    QWidget::setTabOrder(ui_->id215, ui_->id1020);
    QWidget::setTabOrder(ui_->id1020, ui_->id205);
    QWidget::setTabOrder(ui_->id205, ui_->id1064);
    ui_->id205->setTabChangesFocus(true);
    // The help shows a caret while it has the keyboard, which arrows move and Shift selects.
    ui_->id205->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    ui_->id1064->setTabChangesFocus(true);
    // The formula box takes what is typed: completing from the history would store an older
    // formula that merely begins with the typing, and Enter adds nothing to the history.
    ui_->id229->setCompleter(nullptr);
    ui_->id229->setInsertPolicy(QComboBox::NoInsert);
    if (function >= 0 && std::size_t(function) < kCatalogueRows) function_ = function;
    for (uint8_t c = 0; c < kCategoryCount; ++c) ui_->id215->addItem(ToQt(FunctionCategoryName(c)));
    ui_->id215->setCurrentIndex(CategoryOf(RowAt(function_)));
    FillList(CategoryOf(RowAt(function_)));
    ShowHelp();
    FillHistory();
    slots_ = CategorySlots(RowAt(function_));
    ShowPrototype();
    ShowFormula();

    auto* addressMenu = new QMenu(this);
    const std::pair<int, const char*> addressItems[] = {
        {kCellAddress, "Save Cell &Address"},
        {kSheetAddress, "Save Worksheet && Cell Address"},
        {kCellValue, "Save Cell &Value"},
        {kRelative, "&Relative Addressing"}};
    for (const auto& [id, text] : addressItems) {
        QAction* action = addressMenu->addAction(text);
        SetItemCommand(*action, id);
        if (id == kRelative) action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, id = id] { Command(id); });
    }
    connect(addressMenu, &QMenu::aboutToShow, this, [this, addressMenu] {
        QAction* relative = addressMenu->actions().back();
        IComposerHost::Selection s;
        const bool a1 = !host_.GetSelection(s) || s.a1;
        relative->setEnabled(a1);
        relative->setChecked(a1 && relativeAddressing);
    });
    ui_->id33067->setMenu(addressMenu);
    ui_->id33067->setPopupMode(QToolButton::MenuButtonPopup);
    auto* removeMenu = new QMenu(this);
    const std::pair<int, const char*> removeItems[] = {
        {kRemoveItem, "Remove this Item From the List"}, {kRemoveAll, "Remove All Items"}};
    for (const auto& [id, text] : removeItems) {
        QAction* action = removeMenu->addAction(text);
        SetItemCommand(*action, id);
        connect(action, &QAction::triggered, this, [this, id = id] { Command(id); });
    }
    ui_->id33079->setMenu(removeMenu);
    ui_->id33079->setPopupMode(QToolButton::MenuButtonPopup);
    for (QToolButton* button : {ui_->id33067, ui_->id33079}) button->installEventFilter(this);
    // The buttons' tips are their commands' own.
    for (const auto& [button, id] :
         {std::pair{ui_->id33067, kCellAddress}, std::pair{ui_->id33079, kRemoveItem}})
        button->setToolTip(QString::fromLatin1(CommandTooltip(id)));
    for (const auto& [button, id] :
         {std::pair{ui_->id33065, kPrevious}, std::pair{ui_->id33066, kNext},
          std::pair{ui_->id33067, kCellAddress}, std::pair{ui_->id33079, kRemoveItem}})
        connect(button, &QToolButton::clicked, this, [this, id = id] { Command(id); });
    connect(ui_->id215, &QComboBox::activated, this, [this](int c) { ChooseCategory(c); });
    connect(ui_->id1020, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { SelectFunctionByName(item->text()); });
    connect(ui_->id1020, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (!filling_ && !name.isEmpty()) SelectFunctionByName(name);
    });
    connect(ui_->id229, &QComboBox::activated, this, [this](int i) { ChooseHistory(i); });
    connect(ui_->id408, &QPushButton::clicked, this, [this] { Insert(false); });
    connect(ui_->id410, &QPushButton::clicked, this, [this] { Insert(true); });
    EnableInserts();
    SetWindowOpacity(this, Profile().opacity);
    // The first size is the smallest the user may make it; wide enough for the buttons'
    // texts, which stand where the toolbars' pictures would.
    const QSize first = DialogUnitsToPixels(173, 252);
    resize(std::max(first.width(), sizeHint().width()), first.height());
    setMinimumSize(size());
}

CFormulaComposer::~CFormulaComposer() {
    if (shown_) SavePlacement();
}

void CFormulaComposer::SavePlacement() const {
    int32_t* p = Profile().composerPosition;
    const QRect r = geometry();
    p[0] = r.left();
    p[1] = r.top();
    p[2] = r.left() + r.width();
    p[3] = r.top() + r.height();
    p[4] = SplitterPosition();
}

int CFormulaComposer::SplitterPosition() const {
    const QList<int> sizes = ui_->id396->sizes();
    return sizes.isEmpty() ? -1 : sizes.front();
}

void CFormulaComposer::RestorePlacement(const QWidget* frame) {
    const int32_t* p = Profile().composerPosition;
    // The profile may hold any numbers: a side is taken only while a window may have it.
    const int64_t savedWidth = int64_t(p[2]) - p[0];
    const int64_t savedHeight = int64_t(p[3]) - p[1];
    const bool sized = savedWidth > 0 && savedHeight > 0 && savedWidth <= QWIDGETSIZE_MAX &&
                       savedHeight <= QWIDGETSIZE_MAX;
    const QPoint corner(p[0], p[1]);
    bool onWorkArea = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onWorkArea = onWorkArea || screen->availableGeometry().contains(corner);
    if (sized && onWorkArea) {
        const QSize kept{int(savedWidth), int(savedHeight)};
        setGeometry(QRect(corner, kept.expandedTo(minimumSize())));
        return;
    }
    // Beside the frame's client area, centred on it, inside the frame's work area.
    const QScreen* screen = frame ? frame->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect work = screen->availableGeometry();
    const QRect client = frame ? QRect(frame->mapToGlobal(QPoint(0, 0)), frame->size()) : work;
    QRect placed(QPoint(client.right() + 1, client.center().y() - height() / 2), size());
    if (!frame) placed.moveCenter(work.center());
    placed.moveRight(std::min(placed.right(), work.right()));
    placed.moveBottom(std::min(placed.bottom(), work.bottom()));
    placed.moveLeft(std::max(placed.left(), work.left()));
    placed.moveTop(std::max(placed.top(), work.top()));
    setGeometry(placed);
}

void CFormulaComposer::showEvent(QShowEvent* event) {
    shown_ = true;
    QDialog::showEvent(event);
}

bool CFormulaComposer::eventFilter(QObject* watched, QEvent* event) {
    // A button's list opens by keys as a drop-down list does: Down, Alt+Down or F4.
    if (event->type() == QEvent::KeyPress && (watched == ui_->id33067 || watched == ui_->id33079)) {
        auto* button = static_cast<QToolButton*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_F4) && button->isEnabled()) {
            button->showMenu();
            return true;
        }
    }
    // The saved divider is applied once the splitter knows its height: -1 is the middle.
    if (watched == ui_->id396 && event->type() == QEvent::Resize && splitterPending_) {
        const int total = ui_->id396->height() - ui_->id396->handleWidth();
        if (total > 0) {
            splitterPending_ = false;
            const int saved = Profile().composerPosition[4];
            const int first = saved < 0 ? total / 2 : std::min(saved, total);
            ui_->id396->setSizes({first, total - first});
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CFormulaComposer::reject() {
    Profile().composerVisible = 0;
    QDialog::reject();
}

QString CFormulaComposer::Prototype() const {
    return ui_->id1064->toPlainText();
}

QString CFormulaComposer::Formula() const {
    return ui_->id229->currentText();
}

void CFormulaComposer::EnableInserts() {
    const bool active = host_.HasActiveWorkbook();
    ui_->id408->setEnabled(active);
    ui_->id410->setEnabled(active);
    ui_->id33067->setEnabled(active);
}

void CFormulaComposer::FillList(int category) {
    filling_ = true;
    QStringList names;
    for (const FunctionInfo& row : FunctionCatalogue())
        if (category == kCategoryAll || CategoryOf(row) == category) names << row.name;
    // Sorted without case, as the user reads them.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    ui_->id1020->clear();
    ui_->id1020->addItems(names);
    const auto found = ui_->id1020->findItems(RowAt(function_).name, Qt::MatchFixedString);
    if (!found.isEmpty()) ui_->id1020->setCurrentItem(found.front());
    filling_ = false;
}

void CFormulaComposer::FillHistory() {
    filling_ = true;
    ui_->id229->clear();
    historyTexts_.clear();
    // Entries the profile brought that name no function, or too many arguments, are not used.
    auto& history = History();
    history.erase(std::remove_if(history.begin(), history.end(),
                                 [](const ComposerFormula& e) { return !UsableHistoryEntry(e); }),
                  history.end());
    for (const ComposerFormula& entry : history) {
        historyTexts_.push_back(HistoryText(entry));
        ui_->id229->addItem(ToQt(historyTexts_.back()));
    }
    filling_ = false;
}

void CFormulaComposer::ShowHelp() {
    const char* help = RowAt(function_).helpText;
    ui_->id205->setPlainText(ToQt(help ? help : ""));
}

void CFormulaComposer::ShowPrototype() {
    const ComposedText proto = BuildPrototypeText(RowAt(function_), slots_, current_);
    // The text is plain again first: a new text takes the format at the caret otherwise.
    ui_->id1064->setCurrentCharFormat(QTextCharFormat());
    ui_->id1064->setPlainText(ToQt(proto.text));
    QTextCursor cursor(ui_->id1064->document());
    cursor.select(QTextCursor::Document);
    cursor.setCharFormat(QTextCharFormat());
    cursor.setPosition(int(proto.start));
    cursor.setPosition(int(proto.end), QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(11);
    bold.setForeground(QColor(0, 128, 0));
    cursor.mergeCharFormat(bold);
    cursor.clearSelection();
    ui_->id1064->setTextCursor(cursor);
    ui_->id1064->ensureCursorVisible();
}

void CFormulaComposer::ShowFormula() {
    const ComposedText formula = BuildFormulaText(RowAt(function_), values_, slots_, current_);
    ui_->id229->setCurrentIndex(-1);
    ui_->id229->setEditText(ToQt(formula.text));
    ui_->id229->lineEdit()->setSelection(int(formula.start), int(formula.end - formula.start));
}

void CFormulaComposer::Reset(int slots) {
    ShowHelp();
    values_.clear();
    current_ = 0;
    slots_ = slots;
    ShowPrototype();
    ShowFormula();
}

void CFormulaComposer::ChooseCategory(int category) {
    if (category == kCategoryAll) {
        function_ = 0;
    } else {
        for (std::size_t i = 0; i < kCatalogueRows; ++i) {
            if (CategoryOf(RowAt(int(i))) == category) {
                function_ = int(i);
                break;
            }
        }
    }
    ui_->id215->setCurrentIndex(category);
    FillList(category);
    filling_ = true;
    ui_->id1020->setCurrentRow(0);
    filling_ = false;
    // The list's first entry is the current function.
    if (ui_->id1020->count() > 0) {
        for (std::size_t i = 0; i < kCatalogueRows; ++i)
            if (ui_->id1020->item(0)->text().compare(RowAt(int(i)).name, Qt::CaseInsensitive) ==
                    0 &&
                (category == kCategoryAll || CategoryOf(RowAt(int(i))) == category))
                function_ = int(i);
    }
    Reset(CategorySlots(RowAt(function_)));
}

void CFormulaComposer::SelectFunctionByName(const QString& name) {
    for (std::size_t i = 0; i < kCatalogueRows; ++i) {
        if (name.compare(RowAt(int(i)).name, Qt::CaseInsensitive) == 0) {
            function_ = int(i);
            Reset(ListSlots(RowAt(function_)));
            return;
        }
    }
}

void CFormulaComposer::ChooseHistory(int i) {
    if (filling_ || i < 0 || std::size_t(i) >= History().size()) return;
    const ComposerFormula& entry = History()[std::size_t(i)];
    if (!UsableHistoryEntry(entry)) return;
    function_ = entry.index;
    ui_->id215->setCurrentIndex(CategoryOf(RowAt(function_)));
    FillList(CategoryOf(RowAt(function_)));
    ShowHelp();
    values_ = UnpackArguments(entry);
    current_ = 0;
    slots_ = std::min(entry.argumentCount + (TakesArgumentList(RowAt(function_)) ? 1 : 0),
                      kMaxComposerArguments);
    ShowPrototype();
    ShowFormula();
}

void CFormulaComposer::Command(int id) {
    switch (id) {
    case kPrevious:
        if (current_ > 0) --current_;
        ShowPrototype();
        break;
    case kNext: {
        const FunctionInfo& row = RowAt(function_);
        if (TakesArgumentList(row)) {
            if (current_ + 1 >= kMaxComposerArguments) {
                UiServices().MessageBox("The maximum number of arguments is 45.", AppTitle(),
                                        MB_OK | MB_ICONEXCLAMATION);
                return;
            }
        } else if (current_ + 1 >= FixedArgumentCount(row)) {
            return;
        }
        ++current_;
        if (current_ >= slots_) slots_ = current_ + 1;
        ShowPrototype();
        break;
    }
    case kCellAddress:
    case kSheetAddress:
    case kCellValue:
        UseSelection(id);
        break;
    case kRelative:
        relativeAddressing = !relativeAddressing;
        break;
    case kRemoveItem:
    case kRemoveAll:
        RemoveHistory(id == kRemoveAll);
        break;
    default:
        break;
    }
}

void CFormulaComposer::UseSelection(int id) {
    IComposerHost::Selection s;
    if (!host_.HasActiveWorkbook() || !host_.GetSelection(s)) return;
    const FunctionInfo& row = RowAt(function_);
    const bool range = current_ < FixedArgumentCount(row) && row.argumentKinds &&
                       row.argumentKinds[current_] == '1';
    std::string text;
    if (id == kCellValue) {
        text = s.activeCellText;
    } else {
        text = SelectionReference(s.left, s.top, s.right, s.bottom, s.a1,
                                  s.a1 && relativeAddressing, range, s.activeColumn, s.activeRow);
        if (id == kSheetAddress) text = s.sheetPath + "!" + text;
    }
    SetArgumentValue(values_, current_, text);
    ShowPrototype();
    ShowFormula();
}

void CFormulaComposer::Insert(bool asValue) {
    if (!host_.HasActiveWorkbook()) return;
    const std::string text = FromQt(ui_->id229->currentText().left(int(kMaxComposerText)));
    if (text.empty() || text[0] != '=') return;
    InsertText(text, PackHistoryEntry(uint16_t(function_), values_, slots_), asValue);
}

void CFormulaComposer::InsertHistory(int i) {
    if (i < 0 || std::size_t(i) >= History().size()) return;
    const ComposerFormula entry = History()[std::size_t(i)];
    const std::string text =
        std::size_t(i) < historyTexts_.size() ? historyTexts_[std::size_t(i)] : HistoryText(entry);
    // Without a workbook to take it, the formula waits in the pane.
    ChooseHistory(i);
    if (text.empty() || !host_.HasActiveWorkbook()) return;
    InsertText(text, entry, false);
}

void CFormulaComposer::InsertText(const std::string& text, ComposerFormula entry, bool asValue) {
    if (!host_.InsertFormula(text, asValue)) return;
    AddHistoryEntry(History(), historyTexts_, std::move(entry), text);
    filling_ = true;
    ui_->id229->clear();
    for (const std::string& t : historyTexts_) ui_->id229->addItem(ToQt(t));
    ui_->id229->setCurrentIndex(0);
    filling_ = false;
}

void CFormulaComposer::RemoveHistory(bool all) {
    const int i = ui_->id229->currentIndex();
    if (all) {
        if (History().empty()) return;
        if (UiServices().MessageBox("Empty the entire list of recently used formulas?", AppTitle(),
                                    MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        History().clear();
        historyTexts_.clear();
    } else {
        if (i < 0 || std::size_t(i) >= History().size()) return;
        if (UiServices().MessageBox("Remove the current formula from the list?", AppTitle(),
                                    MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        History().erase(History().begin() + i);
        historyTexts_.erase(historyTexts_.begin() + i);
    }
    filling_ = true;
    ui_->id229->clear();
    for (const std::string& t : historyTexts_) ui_->id229->addItem(ToQt(t));
    filling_ = false;
    Reset(FixedArgumentCount(RowAt(function_)));
}

CComposerPane::~CComposerPane() {
    delete pane_;
}

bool CComposerPane::Toggle(QWidget* frame) {
    if (pane_ && pane_->isVisible()) {
        delete pane_;
        Profile().composerVisible = 0;
        return false;
    }
    delete pane_;
    pane_ = new CFormulaComposer(frame, host_, 0);
    pane_->setAttribute(Qt::WA_DeleteOnClose);
    pane_->RestorePlacement(frame);
    pane_->show();
    Profile().composerVisible = 1;
    return true;
}

void CComposerPane::TakeKeyboard() {
    if (pane_ && pane_->isVisible()) ShowTakingKeyboard(*pane_, nullptr);
}

bool CComposerPane::IsVisible() const {
    return pane_ && pane_->isVisible();
}

void CComposerPane::SetShown(bool shown) {
    if (pane_) pane_->setVisible(shown);
}

void CComposerPane::UpdateControls() {
    if (pane_) pane_->EnableInserts();
}

void CComposerPane::UseHistoryEntry(QWidget* frame, int i) {
    if (!IsVisible()) Toggle(frame);
    pane_->InsertHistory(i);
}

std::vector<std::string> CComposerPane::HistoryMenuItems() const {
    std::vector<std::string> items;
    const std::vector<ComposerFormula>& history = Profile().composerFormulas;
    for (std::size_t i = 0; i < history.size(); ++i)
        items.push_back(HistoryMenuText(history[i], int(i) + 1));
    return items;
}

} // namespace vl
