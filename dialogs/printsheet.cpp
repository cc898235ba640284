#include "dialogs/printsheet.h"

#include "core/clock.h"
#include "core/settings.h"
#include "dialogs/formatpage.h"
#include "dialogs/numberedit.h"
#include "dialogs/printcontentpage.h"
#include "dialogs/printgeneralpage.h"
#include "dialogs/printlayoutpage.h"
#include "dialogs/printsetup.h"
#include "platform/core/cp1252.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"

#include <QDialogButtonBox>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vl {

namespace {

// One inch is 25.3995 mm in these pages, as the stored settings were always converted.
constexpr double kMillimetresToThousandthInches = 39.37085375696372;
constexpr double kInchesToThousandthMillimetres = 25399.5;
constexpr int kHelpTopic = 2;

} // namespace

CUpDown* AttachUpDown(QWidget* holder, CNumberEdit* edit, const std::function<void()>& changed) {
    auto* upDown = new CUpDown(ProcessClock(), holder);
    upDown->setObjectName("updown" + holder->objectName().mid(2));
    holder->layout()->addWidget(upDown);
    upDown->onStep = [edit, changed](int delta) {
        if (edit->Step(delta)) changed();
    };
    upDown->SetBuddy(edit);
    return upDown;
}

QString PageText(const char* field) {
    return QString::fromStdString(
        Cp1252ToUtf8(std::string_view(field, strnlen(field, kPageTextSize))));
}

void SetPageText(char* field, const QString& text) {
    const std::string bytes = Utf8ToCp1252(text.toStdString());
    std::memset(field, 0, kPageTextSize);
    std::memcpy(field, bytes.data(), std::min<size_t>(bytes.size(), kPageTextSize - 1));
}

bool UsesInches(const QLocale& locale) {
    return locale.measurementSystem() != QLocale::MetricSystem;
}

double LengthInUnit(double millimetres, bool inches) {
    return inches ? std::trunc(millimetres * kMillimetresToThousandthInches + 0.5) * 0.001
                  : millimetres * 0.1;
}

std::string LengthText(double millimetres, bool inches, int decimals, char decimal) {
    return FormatNumber(decimal, LengthInUnit(millimetres, inches), decimals);
}

bool LengthMillimetres(const std::string& text, bool inches, char decimal, double& millimetres) {
    double value = 0;
    if (!ParseNumber(text, decimal, value)) return false;
    millimetres =
        inches ? std::trunc(value * kInchesToThousandthMillimetres + 0.5) * 0.001 : value * 10;
    return true;
}

CPrintPage::CPrintPage(CPrintSheet& sheet) : sheet_(sheet) {}

void CPrintPage::OnSetActive() {
    visited_ = true;
    CPrintSheet::StartPage(sheet_.PageSetupMode()) = sheet_.Tabs()->indexOf(this);
}

bool CPrintPage::OnKillActive() {
    return Exchange(true) && Validate();
}

bool CPrintPage::OnApply() {
    const bool ok = Exchange(true) && Validate();
    sheet_.SetApplied(ok);
    if (ok) sheet_.SetPageChanged(this, false);
    return ok;
}

void CPrintPage::OnQueryCancel() {
    sheet_.SetCancelPressed();
}

void CPrintPage::Changed() {
    if (!filling_) sheet_.SetPageChanged(this, true);
}

bool CPrintPage::Refuse(QWidget* control, int id, const QString& first, const QString& second) {
    UiServices().Beep();
    QString text = AppString(id, first);
    text.replace(QLatin1String("%2!d!"), second);
    UiServices().MessageBox(text, AppTitle(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    refused_ = control;
    FocusRefused();
    return false;
}

void CPrintPage::FocusRefused() {
    if (refused_ && refused_->isVisible()) refused_->setFocus();
}

bool CPrintPage::ReadUnsigned(QWidget* control, const QString& text, uint32_t& value) {
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok);
    if (ok && v <= 0xFFFFFFFFull) {
        value = uint32_t(v);
        return true;
    }
    UiServices().Beep();
    refused_ = control;
    FocusRefused();
    return false;
}

int& CPrintSheet::StartPage(bool pageSetupMode) {
    static int print = 0;
    static int pageSetup = 0;
    return pageSetupMode ? pageSetup : print;
}

CPrintSheet::CPrintSheet(QWidget* owner, bool pageSetupMode, bool inches,
                         const IPrinterService& printers, const QString& caption)
    : QDialog(owner), printers_(printers), pageSetupMode_(pageSetupMode), inches_(inches),
      tabs_(new QTabWidget(this)) {
    setWindowTitle(caption);
    setModal(true);
    printSetup = [this](QWidget* parent, DeviceMode& mode) {
        return RunPrintSetup(parent, printers_, mode);
    };
    if (!pageSetupMode) {
        general_ = new CPrintGeneralPage(*this);
        tabs_->addTab(general_, general_->windowTitle());
    }
    layout_ = new CPrintLayoutPage(*this);
    tabs_->addTab(layout_, layout_->windowTitle());
    content_ = new CPrintContentPage(*this);
    tabs_->addTab(content_, content_->windowTitle());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                             QDialogButtonBox::Apply | QDialogButtonBox::Help,
                                         this);
    applyButton_ = buttons->button(QDialogButtonBox::Apply);
    applyButton_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPrintSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPrintSheet::reject);
    connect(applyButton_, &QPushButton::clicked, this, [this] { ApplyNow(); });
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] {
        if (CFormatPage::showHelp) CFormatPage::showHelp(kHelpTopic);
    });
    auto* box = new QVBoxLayout(this);
    box->addWidget(tabs_);
    box->addWidget(buttons);
    SetWindowOpacity(this, Profile().opacity);
}

CPrintSheet::~CPrintSheet() = default;

CPrintPage* CPrintSheet::PageAt(int index) const {
    return static_cast<CPrintPage*>(tabs_->widget(index));
}

void CPrintSheet::LoadPageSettings(const PageSetupRecord& record) {
    loaded_ = record;
    for (int i = 0; i < tabs_->count(); ++i) PageAt(i)->Load(record);
    // The pages fill their controls now; the start page then becomes active.
    const int start = std::clamp(StartPage(pageSetupMode_), 0, tabs_->count() - 1);
    switching_ = true;
    tabs_->setCurrentIndex(start);
    switching_ = false;
    activeIndex_ = start;
    PageAt(start)->OnSetActive();
    connect(tabs_, &QTabWidget::currentChanged, this, &CPrintSheet::OnTabChanged,
            Qt::UniqueConnection);
}

void CPrintSheet::StorePageSettings(PageSetupRecord& record) {
    for (int i = 0; i < tabs_->count(); ++i) PageAt(i)->Store(record);
    record.backToFront = 0;
}

bool CPrintSheet::Outcome(PageSetupRecord& record, DeviceMode& mode) {
    if (result() == QDialog::Accepted) {
        StorePageSettings(record);
        mode = mode_;
        return true;
    }
    // Cancel keeps what the last Apply stored, not what the pages read since.
    if (!lastApplied_) return false;
    record = *lastApplied_;
    mode = lastAppliedMode_;
    return true;
}

void CPrintSheet::SetPageChanged(CPrintPage* page, bool changed) {
    std::erase(changed_, page);
    if (changed) changed_.push_back(page);
    applyButton_->setEnabled(!changed_.empty());
}

void CPrintSheet::ShowPage(int index) {
    switching_ = true;
    tabs_->setCurrentIndex(index);
    switching_ = false;
    activeIndex_ = index;
    PageAt(index)->OnSetActive();
}

void CPrintSheet::OnTabChanged(int index) {
    if (switching_ || index == activeIndex_) return;
    if (activeIndex_ >= 0) {
        // The page being left checks itself while it still shows: a refusal is about it.
        switching_ = true;
        tabs_->setCurrentIndex(activeIndex_);
        switching_ = false;
        CPrintPage* leaving = PageAt(activeIndex_);
        if (!leaving->OnKillActive()) {
            // Once the key that switched is handled: the tabs take the keys when nothing
            // has them, as nothing does while the message's window goes.
            QPointer<CPrintPage> page = leaving;
            QTimer::singleShot(0, this, [page] {
                if (page) page->FocusRefused();
            });
            return;
        }
        switching_ = true;
        tabs_->setCurrentIndex(index);
        switching_ = false;
    }
    activeIndex_ = index;
    PageAt(index)->OnSetActive();
}

bool CPrintSheet::ApplyPages() {
    if (activeIndex_ >= 0 && !PageAt(activeIndex_)->OnKillActive()) return false;
    for (int i = 0; i < tabs_->count(); ++i) {
        CPrintPage* page = PageAt(i);
        if (!page->Visited()) continue;
        if (!page->OnApply()) {
            if (i != activeIndex_) ShowPage(i);
            page->FocusRefused();
            return false;
        }
    }
    return true;
}

bool CPrintSheet::ApplyNow() {
    if (!ApplyPages()) return false;
    PageSetupRecord record = loaded_;
    StorePageSettings(record);
    lastApplied_ = record;
    lastAppliedMode_ = mode_;
    return true;
}

void CPrintSheet::accept() {
    if (ApplyPages()) QDialog::accept();
}

void CPrintSheet::reject() {
    if (activeIndex_ >= 0) PageAt(activeIndex_)->OnQueryCancel();
    QDialog::reject();
}

} // namespace vl
