#include "dialogs/dialogutil.h"
#include "dialogs/numberedit.h"
#include "dialogs/xbasedlg.h"
#include "platform/core/cp1252.h"
#include "ui_xbasefielddlg.h"

#include <QPushButton>

namespace vl {

namespace {

constexpr char kTypes[] = {'C', 'N', 'F', 'L', 'D', 'M'};
constexpr int kLongestName = 10;
constexpr int32_t kLongestField = 32767;
constexpr int32_t kMostDecimals = 18;

int TypeIndex(char type) {
    for (int i = 0; i < int(std::size(kTypes)); ++i)
        if (kTypes[i] == type) return i;
    return -1;
}

// Logical, Date and Memo fields have one length and no decimals.
void FixLength(XBaseFieldEdit& f) {
    if (f.type == 'L') f.length = 1;
    if (f.type == 'D') f.length = 8;
    if (f.type == 'M') f.length = 10;
    if (f.type == 'L' || f.type == 'D' || f.type == 'M') f.decimals = 0;
}

} // namespace

CXBaseFieldDlg::CXBaseFieldDlg(QWidget* parent, const XBaseFieldEdit& field)
    : QDialog(parent), ui_(std::make_unique<Ui::XBaseFieldDialog>()), field_(field) {
    ui_->setupUi(this);
    ui_->id257->SetInteger(1, kLongestField);
    ui_->id405->SetInteger(0, kMostDecimals);
    AttachUpDown(ui_->id369, ui_->id257);
    AttachUpDown(ui_->id370, ui_->id405);
    ui_->id205->setMaxLength(kLongestName); // typing stops at the tenth character
    ui_->id205->setText(QString::fromStdString(Cp1252ToUtf8(field_.name)));
    ui_->id205->selectAll(); // a name typed replaces the proposed one
    ui_->id215->setCurrentIndex(TypeIndex(field_.type));
    FixLength(field_);
    ShowValues();
    connect(ui_->id215, &QComboBox::activated, this, &CXBaseFieldDlg::ChangeType);
    connect(ui_->id1, &QPushButton::clicked, this, &CXBaseFieldDlg::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    ui_->id1->setDefault(true);
    ApplyProfileOpacity(this);
}

CXBaseFieldDlg::~CXBaseFieldDlg() = default;

void CXBaseFieldDlg::ShowValues() {
    ui_->id257->setText(QString::number(field_.length));
    ui_->id405->setText(QString::number(field_.decimals));
    const char t = field_.type;
    ui_->id257->setEnabled(t == 'C' || t == 'N' || t == 'F');
    ui_->id405->setEnabled(t == 'N');
}

bool CXBaseFieldDlg::ReadValues() {
    const QString name = ui_->id205->text();
    if (name.size() > kLongestName || !IsCp1252Text(name)) {
        RefuseInput(ui_->id205);
        return false;
    }
    int64_t length = 0, decimals = 0;
    if (!ReadWholeNumber(*ui_->id257, length) || length < 1 || length > kLongestField) {
        RefuseInput(ui_->id257);
        return false;
    }
    if (!ReadWholeNumber(*ui_->id405, decimals) || decimals < 0 || decimals > kMostDecimals) {
        RefuseInput(ui_->id405);
        return false;
    }
    field_.name = Utf8ToCp1252(name.toStdString());
    field_.length = uint32_t(length);
    field_.decimals = uint32_t(decimals);
    const int index = ui_->id215->currentIndex();
    if (index >= 0) field_.type = kTypes[index];
    return true;
}

void CXBaseFieldDlg::ChangeType(int index) {
    const XBaseFieldEdit before = field_;
    if (!ReadValues()) field_ = before;
    if (index >= 0 && index < int(std::size(kTypes))) field_.type = kTypes[index];
    FixLength(field_);
    ShowValues();
}

void CXBaseFieldDlg::accept() {
    if (!ReadValues()) return;
    QDialog::accept();
}

} // namespace vl
