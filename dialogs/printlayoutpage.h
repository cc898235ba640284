#pragma once
// The Layout page of the print sheet: paper, source, orientation, pages per sheet, margins
// with the page's alignment between them, and the header and footer with their font.

#include "dialogs/printsheet.h"

#include <QString>
#include <memory>

namespace Ui {
class PrintLayoutPage;
}

namespace vl {

class CPrintLayoutPage : public CPrintPage {
public:
    explicit CPrintLayoutPage(CPrintSheet& sheet);
    ~CPrintLayoutPage() override;
    Ui::PrintLayoutPage& Form() { return *ui_; }

    bool Exchange(bool save) override;
    bool Validate() override;
    void Load(const PageSetupRecord& record) override;
    void Store(PageSetupRecord& record) const override;

    // Refill the lists from the sheet's printer.
    void FillPaperSizes();
    void FillPaperSources();
    // Fo&nt...: the font chooser with colour over the header and footer font.
    void OnFont();

    const FontRecord& HeaderFont() const { return font_; }
    uint32_t HeaderColor() const { return color_; }

private:
    void ApplyListsToMode();
    bool CheckMargins();

    std::unique_ptr<Ui::PrintLayoutPage> ui_;
    QString paperName_;
    QString sourceName_;
    int paperCode_ = 9; // A4
    int sourceCode_ = kAutomaticBin;
    uint32_t landscape_ = 0;
    uint32_t rows_ = 1;
    uint32_t columns_ = 1;
    QString margins_[4]; // left, right, top, bottom
    int horizontal_ = 0;
    int vertical_ = 0;
    QString header_;
    QString footer_;
    QString headerPosition_;
    QString footerPosition_;
    // The lengths as Load showed them and as the record held them: a text left so stores the
    // length it was shown from, since the shown text is rounded (a position to a tenth).
    QString shownLengths_[6]; // the margins, then the header and footer positions
    double loadedLengths_[6] = {};
    uint8_t loadedAlignment_ = 0;
    QString loadedPaper_, shownPaper_; // the record's paper name, and the paper shown for it
    FontRecord font_;
    uint32_t color_ = 0;
};

} // namespace vl
