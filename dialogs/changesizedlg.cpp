#include "dialogs/changesizedlg.h"

#include "core/settings.h"
#include "dialogs/dialoguiservices.h"
#include "dialogs/formatpage.h"
#include "dialogs/numberedit.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"
#include "ui_changesizedlg.h"

#include <QHBoxLayout>

namespace vl {

namespace {

CUpDown* AttachUpDown(QWidget* place, CNumberEdit* field, const IClock& clock) {
    auto* layout = new QHBoxLayout(place);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* arrows = new CUpDown(clock, place);
    layout->addWidget(arrows);
    arrows->onStep = [field](int delta) { field->Step(delta); };
    arrows->SetBuddy(field);
    // Held, the arrows step by 1, by 5 after 4 seconds and by 10 after 6.
    arrows->SetAcceleration({{0, 1}, {4, 5}, {6, 10}});
    return arrows;
}

} // namespace

CChangeSizeDlg::CChangeSizeDlg(QWidget* parent, bool columnWidth, int value)
    : QDialog(parent), ui_(std::make_unique<Ui::ChangeSizeDialog>()), value_(value) {
    QWidget* body = AddFormWithOkCancel(*this);
    ui_->setupUi(body);
    setWindowTitle(body->windowTitle());
    field_ = columnWidth ? ui_->id257 : ui_->id205;
    CNumberEdit* other = columnWidth ? ui_->id205 : ui_->id257;
    field_->SetInteger(0, kLargest);
    other->SetInteger(0, kLargest);
    AttachUpDown(columnWidth ? ui_->id370 : ui_->id369, field_, ProcessClock());
    QWidget* otherArrows = columnWidth ? ui_->id369 : ui_->id370;
    AttachUpDown(otherArrows, other, ProcessClock());
    other->setEnabled(false);
    otherArrows->setEnabled(false);
    field_->setText(QString::number(value));
    field_->selectAll();
    field_->setFocus();
    SetWindowOpacity(this, Profile().opacity);
}

CChangeSizeDlg::~CChangeSizeDlg() = default;

void CChangeSizeDlg::accept() {
    bool number = false;
    const int value = field_->text().trimmed().toInt(&number);
    if (number && value >= 0 && value <= kLargest) {
        value_ = value;
        QDialog::accept();
        return;
    }
    QString text = AppString(IDS_ENTER_INTEGER, QStringLiteral("0"));
    text.replace(QStringLiteral("%2!d!"), QString::number(kLargest));
    UiServices().MessageBox(text, AppTitle(), MB_OK | MB_ICONEXCLAMATION);
    field_->setFocus();
    field_->selectAll();
}

int CDialogUiServices::ChangeSizeDialog(QWidget* parent, bool columnWidth, int& value) {
    CChangeSizeDlg dialog(parent ? parent : MessageOwner(), columnWidth, value);
    if (RunDialog(dialog) != QDialog::Accepted) return IDCANCEL;
    value = dialog.Value();
    return IDOK;
}

} // namespace vl
