#pragma once
// The General page of the print sheet: the printer, what to print, copies, collation and
// printing to a file.

#include "dialogs/printsheet.h"

#include <QString>
#include <memory>

namespace Ui {
class PrintGeneralPage;
}

namespace vl {

class CPrintGeneralPage : public CPrintPage {
public:
    enum Range : uint32_t { kEntireWorksheet = 0, kSelection = 1, kPages = 2 };

    explicit CPrintGeneralPage(CPrintSheet& sheet);
    ~CPrintGeneralPage() override;
    Ui::PrintGeneralPage& Form() { return *ui_; }

    bool Exchange(bool save) override;
    bool Validate() override;
    void Load(const PageSetupRecord& record) override;
    void Store(PageSetupRecord& record) const override;

    // Lists the printers and selects the sheet's; the number listed.
    int FillPrinterList();
    void ShowPrinterStatus();
    // The printer chosen in the list becomes the sheet's, with its own settings.
    void OnPrinterCloseUp();
    // Properties...: the system's Print Setup.
    void OnProperties();

    bool PrintToFile() const { return printToFile_ != 0; }
    uint32_t RangeChoice() const { return range_; }

private:
    void OnRangeClicked();

    std::unique_ptr<Ui::PrintGeneralPage> ui_;
    std::vector<PrinterEntry> printers_;
    uint32_t printToFile_ = 0;
    uint32_t range_ = kEntireWorksheet;
    QString pages_;
    uint32_t copies_ = 1;
    uint32_t collate_ = 0;
};

} // namespace vl
