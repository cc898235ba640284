#pragma once
// The Content page of the print sheet: scale or fit, the first page's number and headers,
// rows and columns left out, and the headings printed.

#include "dialogs/printsheet.h"

#include <QString>
#include <memory>

namespace Ui {
class PrintContentPage;
}

namespace vl {

class CPrintContentPage : public CPrintPage {
public:
    explicit CPrintContentPage(CPrintSheet& sheet);
    ~CPrintContentPage() override;
    Ui::PrintContentPage& Form() { return *ui_; }

    bool Exchange(bool save) override;
    bool Validate() override;
    void Load(const PageSetupRecord& record) override;
    void Store(PageSetupRecord& record) const override;

private:
    void OnFitClicked();

    std::unique_ptr<Ui::PrintContentPage> ui_;
    uint32_t fit_ = 0;
    uint32_t scale_ = 100;
    uint32_t onFirstPage_ = 1;
    uint32_t firstPage_ = 1;
    QString rows_;
    QString columns_;
    uint32_t columnHeadings_ = 1;
    uint32_t rowHeadings_ = 1;
};

} // namespace vl
