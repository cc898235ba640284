#pragma once
// The Statistics dialog: worksheets, folders, cells by kind and containers of the workbook,
// the active worksheet's folder, the active worksheet or the selection, counted again at
// every change of scope. The scope chosen last stays for the rest of the run.

#include "model/cellrange.h"
#include "model/workbookstats.h"

#include <QDialog>
#include <memory>

namespace Ui {
class StatisticsDialog;
}

namespace vl {

class CWorkbook;

class CStatisticsDlg : public QDialog {
public:
    CStatisticsDlg(QWidget* parent, const CWorkbook& workbook, const CellRange& selection);
    ~CStatisticsDlg() override;
    Ui::StatisticsDialog& Form() { return *ui_; }
    // Reads the radios into the scope, counts and shows the counts.
    void Recount();
    // The scope of the run (Worksheet at start).
    static uint32_t& Scope();

private:
    std::unique_ptr<Ui::StatisticsDialog> ui_;
    const CWorkbook& workbook_;
    CellRange selection_;
};

// A count with the user's thousands separator and no decimals.
QString CountText(uint64_t count);

} // namespace vl
