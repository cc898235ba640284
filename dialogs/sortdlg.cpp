#include "dialogs/sortdlg.h"

#include "dialogs/dialogutil.h"
#include "dialogs/numberedit.h"
#include "ui_sortdlg.h"

#include <QPushButton>

namespace vl {

CSortDlg::CSortDlg(QWidget* parent, SortSettings& settings)
    : QDialog(parent), ui_(std::make_unique<Ui::SortDialog>()), settings_(settings) {
    ui_->setupUi(this);
    keys_ = {{{ui_->id216, ui_->id205, ui_->id215},
              {ui_->id218, ui_->id257, ui_->id229},
              {ui_->id1001, ui_->id405, ui_->id1019},
              {ui_->id1007, ui_->id207, ui_->id1021},
              {ui_->id1002, ui_->id1006, ui_->id221}}};
    QWidget* upDowns[kKeys] = {ui_->id369, ui_->id370, ui_->id1008, ui_->id1009, ui_->id1010};
    for (int i = 0; i < kKeys; ++i) {
        const KeyControls& k = keys_[i];
        const SortKeySetting& s = settings.keys[i];
        k.position->SetInteger(1, kLastPosition);
        AttachUpDown(upDowns[i], k.position);
        k.order->setCurrentIndex(s.descending ? 1 : 0);
        k.used->setChecked(s.enabled != 0);
        k.position->setText(QString::number(s.position));
    }
    connect(ui_->id1, &QPushButton::clicked, this, &CSortDlg::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    ui_->id1->setDefault(true);
    ApplyProfileOpacity(this);
}

CSortDlg::~CSortDlg() = default;

void CSortDlg::accept() {
    SortSettings read = settings_;
    for (int i = 0; i < kKeys; ++i) {
        const KeyControls& k = keys_[i];
        SortKeySetting& s = read.keys[i];
        s.descending = k.order->currentIndex() == 1 ? 1 : 0;
        s.enabled = k.used->isChecked() ? 1 : 0;
        int64_t position = 0;
        const bool valid =
            ReadWholeNumber(*k.position, position) && position >= 1 && position <= kLastPosition;
        if (valid) {
            s.position = uint32_t(position);
        } else if (s.enabled) {
            // An unread position would sort by a stale or outside column.
            RefuseInput(k.position);
            return;
        }
    }
    settings_ = read;
    QDialog::accept();
}

} // namespace vl
