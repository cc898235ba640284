#pragma once
// The list page: which of the workbook's drop-down lists the selection offers, and the lists
// themselves (new, renamed, edited, removed), written straight into the workbook's table.

#include "dialogs/formatpage.h"
#include "dialogs/formatpageapi.h"

#include <QDialog>
#include <memory>

namespace Ui {
class ListPage;
class ListNameDialog;
} // namespace Ui

namespace vl {

// "Drop-down List Name": one name of up to 29 characters.
class CListNameDlg : public QDialog {
public:
    CListNameDlg(QWidget* parent, const QString& name);
    ~CListNameDlg() override;
    Ui::ListNameDialog& Form() { return *ui_; }
    QString Name() const;

private:
    std::unique_ptr<Ui::ListNameDialog> ui_;
};

class CListPage : public CFormatPage {
public:
    static constexpr int kCommand = 33053;
    CListPage(QWidget* parent, const StyleRecord& style, DropDownListRecord* lists,
              ApplyStyleFn apply);
    ~CListPage() override;
    Ui::ListPage& Form() { return *ui_; }
    const StyleRecord& Record() const { return record_; }
    void NewList();
    void RenameList();
    void RemoveList();
    void SetListRemoved(ListRemovedFn removed) { removed_ = std::move(removed); }

protected:
    void OnCopy() override;
    void OnPaste() override;
    bool ClipboardFilled() const override;

private:
    void Fill();
    void Read();
    void Apply();
    // Writes the edited items into the chosen list when they were changed.
    void SaveItems();
    // The name the user gives; false on Cancel or an empty name.
    bool AskName(QString& name);
    DropDownListRecord* Chosen() const;

    std::unique_ptr<Ui::ListPage> ui_;
    StyleRecord record_;
    DropDownListRecord* lists_;
    ApplyStyleFn apply_;
    ListRemovedFn removed_;
};

} // namespace vl
