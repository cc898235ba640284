#pragma once
// The Sort dialog: up to five keys, each used or not, with a column position inside the
// selection (1 to 1,024) and an order.

#include "ui/uiservices.h"

#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;

namespace Ui {
class SortDialog;
}

namespace vl {

class CNumberEdit;

class CSortDlg : public QDialog {
public:
    static constexpr int kKeys = 5;
    static constexpr int kLastPosition = 1024;
    // Edits `settings`: OK writes them, Cancel leaves them.
    CSortDlg(QWidget* parent, SortSettings& settings);
    ~CSortDlg() override;
    Ui::SortDialog& Form() { return *ui_; }
    struct KeyControls {
        QCheckBox* used;
        CNumberEdit* position;
        QComboBox* order;
    };
    KeyControls Key(int i) const { return keys_[i]; }
    // A used key whose position is no number from 1 to 1,024 keeps the dialog open.
    void accept() override;

private:
    std::unique_ptr<Ui::SortDialog> ui_;
    SortSettings& settings_;
    std::array<KeyControls, kKeys> keys_;
};

} // namespace vl
