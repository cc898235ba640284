#pragma once
// The Workbook Protection dialog (no protection, or a password with RC4 encryption and
// perhaps read-only access without it) and the password asked when a protected file opens.
// Passwords take only characters of the program's code page, which is what gets hashed.

#include "ui/uiservices.h"

#include <QDialog>
#include <memory>

class QLineEdit;

namespace Ui {
class ProtectionDialog;
class PasswordDialog;
} // namespace Ui

namespace vl {

class CProtectionDlg : public QDialog {
public:
    static constexpr int kHelpTopic = 3;
    static constexpr int kShortestPassword = 6;
    // Edits `choice`: OK writes it, Cancel leaves it.
    CProtectionDlg(QWidget* parent, ProtectionChoice& choice);
    ~CProtectionDlg() override;
    Ui::ProtectionDialog& Form() { return *ui_; }
    void accept() override;

private:
    void EnableInputs();

    std::unique_ptr<Ui::ProtectionDialog> ui_;
    ProtectionChoice& choice_;
};

class CPasswordDlg : public QDialog {
public:
    explicit CPasswordDlg(QWidget* parent, bool readOnlyOffered);
    ~CPasswordDlg() override;
    Ui::PasswordDialog& Form() { return *ui_; }
    QString Password() const;
    bool ReadOnlyChosen() const { return readOnly_; }

private:
    std::unique_ptr<Ui::PasswordDialog> ui_;
    bool readOnly_ = false;
};

// Keeps characters outside Windows-1252 out of a password edit.
void RestrictToCodePage(QLineEdit* edit);

} // namespace vl
