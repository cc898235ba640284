#pragma once
// The number style page: a standard family with its options sub-page, a user style, or a
// typed pattern, applied at once.

#include "dialogs/formatpage.h"
#include "dialogs/formatpageapi.h"

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class StylePage;
class StyleNameDialog;
} // namespace Ui

namespace vl {

// "User Style Name": a name of up to 49 characters.
class CStyleNameDlg : public QDialog {
public:
    CStyleNameDlg(QWidget* parent, const QString& name);
    ~CStyleNameDlg() override;
    Ui::StyleNameDialog& Form() { return *ui_; }
    QString Name() const;

private:
    std::unique_ptr<Ui::StyleNameDialog> ui_;
};

class CStylePage : public CFormatPage {
public:
    static constexpr int kCommand = 32818;
    static constexpr int kStandardEntries = 10;
    // A user style's pattern has room for 49 characters.
    static constexpr size_t kMaxUserPattern = 49;
    CStylePage(QWidget* parent, const StandardFormat& format, ApplyNumberFormatFn apply);
    ~CStylePage() override;
    Ui::StylePage& Form() { return *ui_; }
    // The selected entry, -1 while a typed pattern is in force.
    int Current() const { return current_; }
    QWidget* SubPage() const { return subPage_; }
    // Chooses a list entry as a click does; false when the sub-page could not be read.
    bool Choose(int entry);
    void AddUserStyle();
    void DeleteUserStyle();
    void RenameUserStyle(int entry);

protected:
    void OnCopy() override;
    void OnPaste() override;
    bool ClipboardFilled() const override;

private:
    void FillList();
    void Select(int entry);
    void MakeSubPage();
    void OrderOptionsAfterTheList();
    void Fill();
    bool Read();
    void Apply();
    void PatternTyped(const QString& text);
    StandardFormat Built() const;

    std::unique_ptr<Ui::StylePage> ui_;
    std::vector<StandardFormat> records_; // one per list entry
    int current_ = -1;
    std::string pattern_; // the typed pattern, internal separators
    QWidget* subPage_ = nullptr;
    ApplyNumberFormatFn apply_;
    bool filling_ = false;
};

} // namespace vl
