#pragma once
// The xBase table dialog ("Open/Save ... File"): the table's summary, its field list and the
// character set; in save mode a field's definition can be changed. It works on a copy of
// header and descriptors that OK writes back.

#include "exchange/xbasetexts.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class XBaseDialog;
class XBaseFieldDialog;
} // namespace Ui

namespace vl {

class CXBaseDlg : public QDialog {
public:
    static constexpr int kHelpTopic = 16;
    enum Mode { kOpen = 0, kSave = 1 };
    CXBaseDlg(QWidget* parent, XBaseSaveOptions& options, const QString& path, Mode mode);
    ~CXBaseDlg() override;
    Ui::XBaseDialog& Form() { return *ui_; }
    // Opens the field dialog on the selected row (save mode only).
    void EditSelectedField();
    // Takes a field's new definition into the copy; error 61 shown and nothing taken when
    // the record would grow past 65,535 bytes.
    bool ApplyEdit(uint32_t row, const XBaseFieldEdit& edit);
    const uint8_t* Header() const { return header_; }
    const uint8_t* Descriptors() const { return descriptors_.data(); }
    void accept() override;

private:
    void FillRows();

    std::unique_ptr<Ui::XBaseDialog> ui_;
    XBaseSaveOptions& options_;
    Mode mode_;
    uint8_t header_[32];
    std::vector<uint8_t> descriptors_;
    uint32_t count_;
};

class CXBaseFieldDlg : public QDialog {
public:
    explicit CXBaseFieldDlg(QWidget* parent, const XBaseFieldEdit& field);
    ~CXBaseFieldDlg() override;
    Ui::XBaseFieldDialog& Form() { return *ui_; }
    // The definition as the dialog holds it (after OK, as accepted).
    const XBaseFieldEdit& Field() const { return field_; }
    // A type chosen in the list: fixed lengths for Logical, Date and Memo, edits enabled
    // for the type.
    void ChangeType(int index);
    void accept() override;

private:
    bool ReadValues();
    void ShowValues();

    std::unique_ptr<Ui::XBaseFieldDialog> ui_;
    XBaseFieldEdit field_;
};

} // namespace vl
