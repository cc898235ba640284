#pragma once
// The "Change Width/Height" dialog of Row Height and Column Width: one numeric field, the
// other disabled, taking 0 to 4095 pixels.

#include "core/clock.h"

#include <QDialog>
#include <memory>

namespace Ui {
class ChangeSizeDialog;
}

namespace vl {

class CNumberEdit;

class CChangeSizeDlg : public QDialog {
public:
    static constexpr int kLargest = 4095;
    // `columnWidth` chooses the width field, else the height field; `value` is shown.
    CChangeSizeDlg(QWidget* parent, bool columnWidth, int value);
    ~CChangeSizeDlg() override;
    int Value() const { return value_; }
    CNumberEdit* Field() const { return field_; }
    // Keeps the dialog open with string 130 unless the field holds 0 to 4095.
    void accept() override;

private:
    std::unique_ptr<Ui::ChangeSizeDialog> ui_;
    CNumberEdit* field_ = nullptr;
    int value_ = 0;
};

} // namespace vl
