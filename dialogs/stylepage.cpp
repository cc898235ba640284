#include "dialogs/stylepage.h"

#include "core/settings.h"
#include "dialogs/dialogutil.h"
#include "dialogs/stylesubpages.h"
#include "platform/core/cp1252.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui_stylename.h"
#include "ui_stylepage.h"
#include "values/formatdefaults.h"

#include <QKeySequence>
#include <QShortcut>
#include <QVBoxLayout>
#include <cstring>

namespace vl {

namespace {

const char* const kFamilyNames[CStylePage::kStandardEntries] = {
    "Default", "General",   "Currency", "Accounting", "Date",
    "Time",    "Date/Time", "Percent",  "Fraction",   "Scientific"};

struct {
    bool filled = false;
    int entry = -1;
    StandardFormat record;
    std::string pattern;
} g_clipboard;

QString ToQt(const std::string& text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

std::string FromQt(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

void SetCode(StandardFormat& format, const std::string& code) {
    std::memset(format.code, 0, sizeof format.code);
    std::memcpy(format.code, code.data(), std::min(code.size(), sizeof format.code - 1));
}

std::vector<UserNumericFormat>& UserStyles() {
    return Profile().userNumericFormats;
}

} // namespace

CStyleNameDlg::CStyleNameDlg(QWidget* parent, const QString& name)
    : QDialog(parent), ui_(std::make_unique<Ui::StyleNameDialog>()) {
    QWidget* body = AddFormWithOkCancel(*this);
    ui_->setupUi(body);
    setWindowTitle(body->windowTitle());
    ui_->id205->setText(name);
}

CStyleNameDlg::~CStyleNameDlg() = default;

QString CStyleNameDlg::Name() const {
    return ui_->id205->text();
}

CStylePage::CStylePage(QWidget* parent, const StandardFormat& format, ApplyNumberFormatFn apply)
    : CFormatPage(parent, kCommand, 10), ui_(std::make_unique<Ui::StylePage>()),
      apply_(std::move(apply)) {
    ui_->setupUi(Body());
    setWindowTitle(Body()->windowTitle());
    ui_->label394->setBuddy(ui_->id394); // shows its mnemonic; the options take its keys
    new QVBoxLayout(ui_->id394);
    ui_->id394->layout()->setContentsMargins(2, 2, 2, 2);
    // A record per entry, the user styles included, however many the profile brought.
    records_.resize(kStandardEntries + UserStyles().size());
    for (size_t i = 0; i < records_.size(); ++i) {
        if (i < kStandardEntries) {
            records_[i].kind = uint8_t(i);
            DefaultStandardParams(uint8_t(i), records_[i].params);
        } else {
            records_[i].kind = STD_STYLE_USER_DEFINED;
            SetCode(records_[i], UserStyles()[i - kStandardEntries].pattern);
        }
    }
    if (format.kind < kStandardEntries) {
        std::memcpy(records_[format.kind].params, format.params, kStandardFormatParams);
        current_ = format.kind;
    } else {
        pattern_ = format.code;
        for (size_t i = 0; i < UserStyles().size(); ++i)
            if (UserStyles()[i].pattern == pattern_) current_ = int(kStandardEntries + i);
    }
    FillList();
    OnRowPicked(*ui_->id1020, this, [this](int row) {
        if (!filling_) Choose(row);
    });
    connect(ui_->id1020, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { RenameUserStyle(ui_->id1020->row(item)); });
    // F2 renames the user style picked in the list, as a double click does, from the keys.
    auto* rename =
        new QShortcut(QKeySequence(Qt::Key_F2), ui_->id1020, nullptr, nullptr, Qt::WidgetShortcut);
    connect(rename, &QShortcut::activated, this,
            [this] { RenameUserStyle(PickedRow(*ui_->id1020)); });
    connect(ui_->id205, &QLineEdit::textEdited, this,
            [this](const QString& t) { PatternTyped(t); });
    connect(ui_->id408, &QPushButton::clicked, this, [this] { AddUserStyle(); });
    connect(ui_->id410, &QPushButton::clicked, this, [this] { DeleteUserStyle(); });
    MakeSubPage();
    Fill();
}

CStylePage::~CStylePage() = default;

void CStylePage::FillList() {
    filling_ = true;
    ui_->id1020->clear();
    for (const char* name : kFamilyNames) ui_->id1020->addItem(name);
    for (const UserNumericFormat& style : UserStyles()) ui_->id1020->addItem(ToQt(style.name));
    ui_->id1020->setCurrentRow(current_);
    filling_ = false;
}

void CStylePage::Select(int entry) {
    filling_ = true;
    ui_->id1020->setCurrentRow(entry);
    if (entry < 0) ui_->id1020->clearSelection();
    filling_ = false;
    ui_->id410->setEnabled(entry >= kStandardEntries);
}

void CStylePage::MakeSubPage() {
    delete subPage_;
    subPage_ = current_ >= 1 && current_ < kStandardEntries
                   ? CreateStyleSubPage(uint8_t(current_), ui_->id394)
                   : nullptr;
    ui_->label394->setBuddy(ui_->id394);
    if (!subPage_) return;
    ui_->id394->layout()->addWidget(subPage_);
    OrderOptionsAfterTheList();
    ConnectStyleSubPage(*subPage_, [this] {
        if (Read()) Apply();
    });
    // A family's options may need more room than the page was shown with: it grows to fit.
    // Shown first, or the layout leaves the options out until the next event loop turn.
    subPage_->show();
    if (layout()) layout()->activate();
    const QSize fits = size().expandedTo(sizeHint());
    if (fits == size()) return;
    resize(fits);
    if (isVisible()) KeepInsideWorkArea(); // grown past the screen's edge, it moves back in
}

void CStylePage::OrderOptionsAfterTheList() {
    // A family's options are made after the rest of the page, which put them last in the
    // Tab order and left "&Options:" leading nowhere: they come after the list, as they
    // stand, and Alt+O reaches the first of them.
    QList<QWidget*> options;
    for (QWidget* w = subPage_->nextInFocusChain(); w != subPage_; w = w->nextInFocusChain())
        if (subPage_->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy())
            options << w;
    if (options.isEmpty()) return;
    ui_->label394->setBuddy(options.front());
    QWidget* before = ui_->id1020;
    for (QWidget* w : options) {
        QWidget::setTabOrder(before, w);
        before = w;
    }
}

void CStylePage::Fill() {
    Select(current_);
    if (current_ >= 1 && current_ < kStandardEntries) {
        if (subPage_) FillStyleSubPage(*subPage_, uint8_t(current_), records_[current_].params);
        ui_->id205->setText(ToQt(FormatCodeToUser(
            BuildStandardFormatCode(uint8_t(current_), records_[current_].params))));
    } else if (current_ >= kStandardEntries) {
        ui_->id205->setText(ToQt(FormatCodeToUser(records_[current_].code)));
    } else if (current_ < 0) {
        ui_->id205->setText(ToQt(FormatCodeToUser(pattern_)));
    } else {
        ui_->id205->clear();
    }
}

bool CStylePage::Read() {
    if (current_ >= 1 && current_ < kStandardEntries && subPage_) {
        QWidget* bad = nullptr;
        if (!ReadStyleSubPage(*subPage_, uint8_t(current_), records_[current_].params, bad)) {
            UiServices().Beep();
            if (bad) bad->setFocus();
            return false;
        }
        ui_->id205->setText(ToQt(FormatCodeToUser(
            BuildStandardFormatCode(uint8_t(current_), records_[current_].params))));
    }
    return true;
}

StandardFormat CStylePage::Built() const {
    StandardFormat format;
    if (current_ >= 0 && current_ < kStandardEntries) {
        format = records_[current_];
        format.kind = uint8_t(current_);
        BuildStandardFormatCode(format);
    } else if (current_ >= kStandardEntries) {
        format.kind = STD_STYLE_USER_DEFINED;
        SetCode(format, records_[current_].code);
    } else {
        format.kind = STD_STYLE_USER_DEFINED;
        SetCode(format, pattern_);
    }
    return format;
}

void CStylePage::Apply() {
    if (apply_) apply_(Built());
}

bool CStylePage::Choose(int entry) {
    if (entry == current_ || entry < 0 || entry >= int(records_.size())) return true;
    if (!Read()) {
        Select(current_); // the list returns to the entry whose options are wrong
        // A key or click in the list is still being handled, and the list would then show
        // the refused entry selected: the entry in force is selected again once it is done.
        QMetaObject::invokeMethod(
            this, [this] { Select(current_); }, Qt::QueuedConnection);
        return false;
    }
    current_ = entry;
    MakeSubPage();
    Fill();
    Apply();
    return true;
}

void CStylePage::PatternTyped(const QString& text) {
    const std::string code = FormatCodeFromUser(FromQt(text));
    // Written with the internal separators a pattern may grow past what a style holds: it is
    // refused and the pattern before it comes back, as a cut one would be another pattern.
    if (code.size() > std::size_t(kMaxFormatCode)) {
        Fill();
        ShowStringMessage(IDS_MAX_CHARACTERS, MB_OK | MB_ICONEXCLAMATION,
                          QString::number(ui_->id205->text().size()));
        return;
    }
    // A user style holds 49 characters: longer typing becomes a pattern of its own.
    if (current_ >= kStandardEntries && code.size() <= kMaxUserPattern) {
        SetCode(records_[current_], code);
        UserStyles()[current_ - kStandardEntries].pattern = code;
    } else {
        current_ = -1;
        pattern_ = code;
        MakeSubPage();
        Select(-1);
    }
    Apply();
}

void CStylePage::AddUserStyle() {
    if (UserStyles().size() >= kMaxUserNumericFormats - 1 ||
        ui_->id1020->count() >= kMaxUserNumericFormats)
        return;
    const std::string code = FormatCodeFromUser(FromQt(ui_->id205->text()));
    if (code.size() > kMaxUserPattern) {
        ShowStringMessage(IDS_MAX_CHARACTERS, MB_OK | MB_ICONEXCLAMATION,
                          QString::number(kMaxUserPattern));
        return;
    }
    pattern_ = code;
    CStyleNameDlg dialog(this, QString("Style %1.").arg(ui_->id1020->count()));
    if (UiServices().RunDialog(dialog) != QDialog::Accepted) return;
    UserStyles().push_back({FromQt(dialog.Name()), code});
    StandardFormat record;
    record.kind = STD_STYLE_USER_DEFINED;
    SetCode(record, code);
    records_.push_back(record);
    filling_ = true;
    ui_->id1020->addItem(dialog.Name());
    filling_ = false;
    Select(current_);
}

void CStylePage::RenameUserStyle(int entry) {
    if (entry < kStandardEntries || entry >= int(records_.size())) return;
    auto& style = UserStyles()[size_t(entry - kStandardEntries)];
    CStyleNameDlg dialog(this, ToQt(style.name));
    if (UiServices().RunDialog(dialog) != QDialog::Accepted) return;
    style.name = FromQt(dialog.Name());
    ui_->id1020->item(entry)->setText(dialog.Name());
    Select(entry);
}

void CStylePage::DeleteUserStyle() {
    if (current_ < kStandardEntries) return;
    const int entry = current_;
    UserStyles().erase(UserStyles().begin() + (entry - kStandardEntries));
    records_.erase(records_.begin() + entry);
    filling_ = true;
    delete ui_->id1020->takeItem(entry);
    filling_ = false;
    current_ = entry - 1;
    MakeSubPage();
    Fill();
    Apply();
}

void CStylePage::OnCopy() {
    g_clipboard.filled = true;
    g_clipboard.entry = current_;
    g_clipboard.record = current_ >= 0 ? records_[current_] : StandardFormat{};
    g_clipboard.pattern = pattern_;
}

void CStylePage::OnPaste() {
    // A user style deleted since the copy leaves its pattern as a typed one.
    current_ = g_clipboard.entry < int(records_.size()) ? g_clipboard.entry : -1;
    pattern_ =
        current_ < 0 && g_clipboard.entry >= 0 ? g_clipboard.record.code : g_clipboard.pattern;
    if (current_ >= 0) records_[current_] = g_clipboard.record;
    MakeSubPage();
    Fill();
    Apply();
}

bool CStylePage::ClipboardFilled() const {
    return g_clipboard.filled;
}

} // namespace vl
