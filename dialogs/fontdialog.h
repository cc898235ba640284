#pragma once
// The font chooser with a colour, shared by the chart pages and printing: faces, sizes in a
// range, bold, italic, underline, strikeout and a colour list.

#include "app/uiservices.h"
#include "model/stylerecords.h"

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

// Edits a chart font through the UI services' chooser (sizes 4 to 72). A chosen colour equal
// to the window-text colour is stored as no colour of its own. False on Cancel, which
// leaves the record as it was.
bool EditChartFont(ColoredFont& font);

// The UI services of the program with the dialogs' choosers added: everything else goes to
// `base`.
class CDialogUiServices : public IUiServices {
public:
    explicit CDialogUiServices(IUiServices& base) : base_(base) {}
    int MessageBox(const QString& text, const QString& title, uint32_t flags) override;
    QString GetOpenFileName(const QString& caption, const QString& folder,
                            const QString& filter) override;
    QString GetSaveFileName(const QString& caption, const QString& folder,
                            const QString& filter) override;
    void Beep() override;
    void SetWaitCursor(bool on) override;
    QString ChooseOpenFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override;
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override;
    int WaitForFile(const QString& path, const IClock& clock,
                    const std::function<bool()>& retry) override;
    int AskPassword(bool readOnlyOffered, QString& password, bool& readOnly) override;
    bool ChooseColor(uint32_t& color, uint32_t customColors[16]) override;
    bool ChooseFontWithColor(LogFont& font, uint32_t& color, int minPoints, int maxPoints) override;
    int RunDialog(QDialog& dialog) override;
    int AskBookmarkName(QString& name) override;
    int ChangeSizeDialog(QWidget* parent, bool columnWidth, int& value) override;
    bool HasChangeSizeDialog() const override { return true; }

private:
    IUiServices& base_;
};

} // namespace vl
