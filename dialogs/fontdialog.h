#pragma once
// The font chooser with a colour, shared by the chart pages and printing: faces, sizes in a
// range, bold, italic, underline, strikeout and a colour list.

#include "model/stylerecords.h"
#include "ui/uiservices.h"

#include <QDialog>
#include <memory>

namespace Ui {
class FontColorDialog;
}

namespace vl {

struct LogFont;

class CFontColorDlg : public QDialog {
public:
    CFontColorDlg(QWidget* parent, int minPoints, int maxPoints);
    ~CFontColorDlg() override;
    void SetChoice(const LogFont& font, COLORREF color);
    // False when the size is out of range; `font` then keeps what it held.
    bool Choice(LogFont& font, COLORREF& color) const;
    Ui::FontColorDialog& Form() { return *ui_; }
    // Refuses a size outside the range with a box and stays open.
    void accept() override;

private:
    bool ReadSize(int& points) const;
    void ShowSample();

    std::unique_ptr<Ui::FontColorDialog> ui_;
    int minPoints_;
    int maxPoints_;
};

// Takes into `record` what the chooser changed: `before` is the font it was given (the
// record with its defaults filled in), `after` what it gave back. A field the user left as
// it was keeps the record's own value, so an unset face or size stays unset.
void KeepChangedFont(FontRecord& record, const LogFont& before, const LogFont& after);

// Edits a chart font through the UI services' chooser (sizes 4 to 72). A chosen colour equal
// to the window-text colour is stored as no colour of its own. False on Cancel, which
// leaves the record as it was.
bool EditChartFont(ColoredFont& font);

} // namespace vl
