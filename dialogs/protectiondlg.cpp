#include "dialogs/protectiondlg.h"

#include "dialogs/dialogutil.h"
#include "dialogs/formatpage.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui_passworddlg.h"
#include "ui_protectiondlg.h"

#include <QPushButton>
#include <QValidator>

namespace vl {

namespace {

constexpr int kLongestPassword = 1024;

class CCodePageValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return IsCp1252Text(input) ? Acceptable : Invalid;
    }
};

} // namespace

void RestrictToCodePage(QLineEdit* edit) {
    edit->setValidator(new CCodePageValidator(edit));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(kLongestPassword);
}

CProtectionDlg::CProtectionDlg(QWidget* parent, ProtectionChoice& choice)
    : QDialog(parent), ui_(std::make_unique<Ui::ProtectionDialog>()), choice_(choice) {
    ui_->setupUi(this);
    RestrictToCodePage(ui_->id205);
    RestrictToCodePage(ui_->id257);
    ui_->id215->setCurrentIndex(choice.encryption == 1 ? 1 : 0);
    // The confirmation opens matching the kept password, so that OK without a change keeps it.
    if (IsCp1252Text(choice.password)) {
        ui_->id205->setText(choice.password.left(kLongestPassword));
        ui_->id257->setText(ui_->id205->text());
    }
    ui_->id216->setChecked(choice.allowReadOnly);
    (choice.on ? ui_->id189 : ui_->id400)->setChecked(true);
    EnableInputs();
    connect(ui_->id400, &QRadioButton::clicked, this, &CProtectionDlg::EnableInputs);
    connect(ui_->id189, &QRadioButton::clicked, this, &CProtectionDlg::EnableInputs);
    connect(ui_->id1, &QPushButton::clicked, this, &CProtectionDlg::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->id9, &QPushButton::clicked, this, [] {
        if (CFormatPage::showHelp) CFormatPage::showHelp(kHelpTopic);
    });
    ui_->id1->setDefault(true);
    ApplyProfileOpacity(this);
}

CProtectionDlg::~CProtectionDlg() = default;

void CProtectionDlg::EnableInputs() {
    const bool on = ui_->id189->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(ui_->id205), static_cast<QWidget*>(ui_->id257),
                       static_cast<QWidget*>(ui_->id216)})
        w->setEnabled(on);
}

void CProtectionDlg::accept() {
    const bool on = ui_->id189->isChecked();
    const int encryption = ui_->id215->currentIndex();
    if (!on) {
        choice_.on = false;
        if (encryption >= 0) choice_.encryption = encryption;
        QDialog::accept();
        return;
    }
    const bool allowReadOnly = ui_->id216->isChecked();
    if (allowReadOnly &&
        ShowStringMessage(IDS_ALLOW_READ_ONLY, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    const QString password = ui_->id205->text();
    if (password.size() < kShortestPassword) {
        ShowStringMessage(IDS_PASSWORD_TOO_SHORT, MB_OK | MB_ICONEXCLAMATION);
        ui_->id205->setFocus();
        ui_->id205->selectAll();
        return;
    }
    if (ui_->id257->text() != password) {
        ShowStringMessage(IDS_PASSWORDS_DIFFER, MB_OK | MB_ICONEXCLAMATION);
        ui_->id257->setFocus();
        ui_->id257->selectAll();
        return;
    }
    choice_.on = true;
    if (encryption >= 0) choice_.encryption = encryption;
    choice_.allowReadOnly = allowReadOnly;
    choice_.password = password;
    QDialog::accept();
}

CPasswordDlg::CPasswordDlg(QWidget* parent, bool readOnlyOffered)
    : QDialog(parent), ui_(std::make_unique<Ui::PasswordDialog>()) {
    ui_->setupUi(this);
    RestrictToCodePage(ui_->id205);
    ui_->id408->setEnabled(readOnlyOffered);
    connect(ui_->id1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->id408, &QPushButton::clicked, this, [this] {
        readOnly_ = true;
        QDialog::accept();
    });
    ui_->id1->setDefault(true);
    ApplyProfileOpacity(this);
}

CPasswordDlg::~CPasswordDlg() = default;

QString CPasswordDlg::Password() const {
    return ui_->id205->text();
}

} // namespace vl
